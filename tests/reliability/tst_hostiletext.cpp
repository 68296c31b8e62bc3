// Text the user can type goes through the real write paths and comes back
// byte for byte: deadline descriptions through InsertDeadlines, client and
// supplier names and notes through an EditSet, data sheet names through the
// catalogue's statements. Text longer than its field is
// refused and leaves nothing behind. Amounts are stored exactly or refused.

#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/editset.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "deadlines/series.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

namespace {

// The hostile values, each short enough for the smallest field (50).
void addHostileRows()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("run of apostrophes") << QStringLiteral("''''");
    QTest::newRow("lone apostrophe") << QStringLiteral("'");
    QTest::newRow("date-like text") << QStringLiteral("#03/05/2024#");
    QTest::newRow("statement end and a second one") << QStringLiteral("x'; DELETE * FROM Dbs; --");
    QTest::newRow("bracketed name") << QStringLiteral("[x] [TrDone]");
    QTest::newRow("the word True") << QStringLiteral("True");
    QTest::newRow("backslashes") << QStringLiteral("C:\\rent\\\\2027\\");
    QTest::newRow("double quotes") << QStringLiteral("say \"hi\" \"\"");
    QTest::newRow("parameter markers") << QStringLiteral("? :name @id $1");
    QTest::newRow("percent pairs") << QStringLiteral("%HOME% 100%");
    QTest::newRow("line breaks") << QStringLiteral("one\r\ntwo\nthree");
    QTest::newRow("leading and trailing blanks") << QStringLiteral("  padded  ");
    QTest::newRow("Cyrillic") << QStringLiteral("Аренда квартиры");
    QTest::newRow("Chinese") << QStringLiteral("房租 一月");
    QTest::newRow("emoji with joiners") << QStringLiteral("👩‍👩‍👧 🏳️‍🌈");
    QTest::newRow("combining accents") << QStringLiteral("e\u0301te\u0301");
}

struct Row {
    QString text;
    QByteArray bytes;
    int count = 0;
};

// Every value of a column for a statement, with its stored bytes.
QList<Row> readColumn(const QString &statement, const char *column)
{
    QList<Row> rows;
    Recordset rs;
    const Status st = rs.open(statement, app().ConnectionString, CursorType::Static);
    if (!st) {
        qWarning("%s", qPrintable(st.message()));
        return rows;
    }
    const int field = rs.fieldIndex(QString::fromLatin1(column));
    for (; !rs.eof(); rs.moveNext())
        rows.append({rs.textValue(field), rs.textBytes(field).toByteArray(), 1});
    return rows;
}

DeadlineEntry entryWith(const QString &description, bool recurring)
{
    return {.type = DeadlineType::Debit,
            .description = description,
            .amount = Currency::fromUnits(125000),
            .recurring = recurring,
            .date = QDate(2027, 1, 31),
            .count = recurring ? 3 : 1,
            .cadence = Cadence::Monthly};
}

// Adds a client through the table, as the editor's New does; returns its id.
qint64 addAccount(const QString &name, const QString &notes, Status *st)
{
    Connection conn;
    if (!(*st = conn.open(app().ConnectionString)))
        return 0;
    EditSet set;
    if (!(*st = set.open(QLatin1String(sql::kAccountsTable), conn)))
        return 0;
    set.addNew();
    if (!(*st = set.setValue(u"AcName", name)) || !(*st = set.setValue(u"AcNotes", notes))
        || !(*st = set.updateBatch()))
        return 0;
    return set.value(u"AcId").toLongLong();
}

} // namespace

class tst_HostileText : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
    }
    void textRoundTripsThroughEveryWritePath_data() { addHostileRows(); }
    void textRoundTripsThroughEveryWritePath()
    {
        QFETCH(QString, text);
        // a single deadline and a series of 3, both described by the text
        QVERIFY2(InsertDeadlines(app().ConnectionString, app().CurrentDbId, entryWith(text, false)),
                 "single deadline refused");
        QVERIFY2(InsertDeadlines(app().ConnectionString, app().CurrentDbId, entryWith(text, true)), "series refused");
        const QList<Row> rows = readColumn(sql::mainSelect(1, sql::mainFilter(0)), "TrDescription");
        QCOMPARE(rows.size(), 4);
        for (const Row &r : rows) {
            QCOMPARE(r.text, text);
            QCOMPARE(r.bytes, text.toUtf8());
        }

        // a client added with the text as name and as notes
        Status st;
        const qint64 id = addAccount(text, text + QStringLiteral("\n") + text, &st);
        QVERIFY2(st, qPrintable(st.message()));
        QVERIFY(id > 0);
        QCOMPARE(readColumn(sql::editAccount(id), "AcName").value(0).bytes, text.toUtf8());
        QCOMPARE(readColumn(sql::editAccount(id), "AcNotes").value(0).text, text + QStringLiteral("\n") + text);

        // and through the pick list
        const QList<Row> pick = readColumn(sql::accountPickList(), "AcName");
        QCOMPARE(pick.size(), 1);
        QCOMPARE(pick[0].text, text);

        // a data sheet created and renamed by the catalogue's statements
        Connection conn;
        QVERIFY(conn.open(app().ConnectionString));
        st = conn.execute(sql::createSheet(2, text));
        QVERIFY2(st, qPrintable(st.message()));
        QCOMPARE(readColumn(sql::lookupSheet(2), "DbName").value(0).bytes, text.toUtf8());
        QVERIFY(conn.execute(sql::renameSheet(text + QStringLiteral("2"), 1)));
        QCOMPARE(readColumn(sql::lookupSheet(1), "DbName").value(0).text, text + QStringLiteral("2"));
        QCOMPARE(test::column(sql::listSheets()).size(), 2);
    }

    // Texts at and just over each field's size, in scripts of one and of
    // several UTF-8 bytes per character: never cut, the whole text or nothing.
    void textOverItsFieldSizeIsRefused_data()
    {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<int>("over"); // characters over the size; -1 for twenty times the size
        QTest::newRow("latin over the size") << QChar(u'x') << 1;
        QTest::newRow("apostrophes at the size") << QChar(u'\'') << 0;
        QTest::newRow("apostrophes over the size") << QChar(u'\'') << 1;
        QTest::newRow("Cyrillic at the size") << QChar(0x0416) << 0;
        QTest::newRow("Chinese over the size") << QChar(0x623F) << 1;
        QTest::newRow("far over the size") << QChar(u'y') << -1;
    }
    void textOverItsFieldSizeIsRefused()
    {
        QFETCH(QChar, letter);
        QFETCH(int, over);
        const bool fits = over == 0;
        auto sized = [&](const char16_t *table, const char16_t *field) {
            const int size = fieldSize(table, field);
            return QString(over < 0 ? size * 20 : size + over, letter);
        };
        // a deadline description, single and series
        QString text = sized(u"Transactions", u"TrDescription");
        const Status single = InsertDeadlines(app().ConnectionString, app().CurrentDbId, entryWith(text, false));
        const Status series = InsertDeadlines(app().ConnectionString, app().CurrentDbId, entryWith(text, true));
        QCOMPARE(single.ok(), fits);
        QCOMPARE(series.ok(), fits);
        const QList<Row> rows = readColumn(sql::mainSelect(1, sql::mainFilter(0)), "TrDescription");
        QCOMPARE(rows.size(), fits ? 4 : 0);
        for (const Row &r : rows)
            QCOMPARE(r.text, text);
        if (!fits)
            QVERIFY2(!single.message().isEmpty(), "the refusal carries no message");

        // a client name
        text = sized(u"Accounts", u"AcName");
        Status st;
        addAccount(text, QString(), &st);
        QCOMPARE(st.ok(), fits);
        const QList<Row> clients = readColumn(sql::accountPickList(), "AcName");
        QCOMPARE(clients.size(), fits ? 1 : 0);
        if (fits)
            QCOMPARE(clients[0].text, text);

        // a data sheet name, refused alike by every way it reaches the table
        text = sized(u"Dbs", u"DbName");
        Connection conn;
        QVERIFY(conn.open(app().ConnectionString));
        const QString before = readColumn(sql::lookupSheet(1), "DbName").value(0).text;
        QCOMPARE(conn.execute(sql::createSheet(2, text)).ok(), fits);
        QCOMPARE(conn.execute(sql::renameSheet(text, 1)).ok(), fits);
        EditSet set;
        QVERIFY(set.open(sql::lookupSheet(1), conn));
        QCOMPARE(set.setValue(u"DbName", text).ok(), fits);
        QCOMPARE(test::column(sql::listSheets()).size(), fits ? 2 : 1);
        QCOMPARE(readColumn(sql::lookupSheet(1), "DbName").value(0).text, fits ? text : before);
    }

    void amountRoundTripsOrIsRefused_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("amountText");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<qint64>("units");
        QTest::newRow("debit with decimals") << -1 << "1234.5" << true << qint64(12345000);
        QTest::newRow("largest amount stored exactly") << 1 << "99999999999.9999" << true << qint64(999999999999999);
        QTest::newRow("one step over") << 1 << "100000000000" << false << qint64(0);
        QTest::newRow("large amount that would be rounded") << -1 << "123456789012345.6789" << false << qint64(0);
        QTest::newRow("empty box") << 1 << "" << true << qint64(0);
        QTest::newRow("appointment ignores the amount") << -2 << "99999999999999999999" << true << qint64(0);
    }
    void amountRoundTripsOrIsRefused()
    {
        QFETCH(int, type);
        QFETCH(QString, amountText);
        QFETCH(bool, fits);
        QFETCH(qint64, units);
        QLocale::setDefault(QLocale::c());
        DeadlineEntry e = entryWith(QStringLiteral("amount"), false);
        e.type = DeadlineType(type);
        // The amount box reads the text; an appointment's box is empty.
        const std::optional<Currency> read = amountText.isEmpty() || e.type == DeadlineType::Appointment
            ? std::optional<Currency>(Currency())
            : Currency::fromLocaleText(amountText, QLocale());
        e.amount = read.value_or(Currency());
        const bool stored = read && InsertDeadlines(app().ConnectionString, app().CurrentDbId, e).ok();
        QCOMPARE(stored, fits);
        Recordset rs;
        QVERIFY(rs.open(sql::mainSelect(1, sql::mainFilter(0)), app().ConnectionString, CursorType::Static));
        QCOMPARE(rs.recordCount(), qint64(fits ? 1 : 0));
        if (!fits)
            return;
        QCOMPARE(rs.currencyValue(rs.fieldIndex(u"TrValue")).units(), units);
        QCOMPARE(rs.currencyValue(rs.fieldIndex(u"TrBalance")).units(), units * type);

        // the editor writes the same amount back, and one over it is refused
        Connection conn;
        QVERIFY(conn.open(app().ConnectionString));
        EditSet set;
        QVERIFY(set.open(sql::editDeadline(rs.intValue(0)), conn));
        QVERIFY(set.setValue(u"TrBalance", QVariant::fromValue(Currency::fromUnits(units * type))));
        QVERIFY(!set.setValue(u"TrValue", QVariant::fromValue(Currency::fromUnits(Currency::kMaxStoredUnits + 1))));
        QVERIFY(set.updateBatch());
        Recordset again;
        QVERIFY(again.open(sql::editDeadline(rs.intValue(0)), conn, CursorType::Static));
        QCOMPARE(again.currencyValue(again.fieldIndex(u"TrBalance")).units(), units * type);
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
};

QTEST_GUILESS_MAIN(tst_HostileText)
#include "tst_hostiletext.moc"
