#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "testsupport.h"

#include <QTest>

#include <memory>

using namespace velto;

Q_DECLARE_METATYPE(CursorType)

class tst_Recordset : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::Sandbox> m_box;
    qint64 m_accountId = 0;

    static Currency money(const char *text) { return *Currency::fromInvariant(QString::fromLatin1(text)); }

private slots:
    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
        Connection conn;
        QVERIFY(conn.open(app().ConnectionString));
        QVERIFY(conn.execute(QStringLiteral("INSERT INTO Accounts ( AcName, AcNotes ) SELECT 'Rossi Srl', 'note'")));
        m_accountId = conn.lastInsertId();
        // Inserted out of date order; the main query has no ORDER BY, so
        // rows are looked up by description.
        QVERIFY(conn.execute(sql::insertSingle(1, 1, QDate(2027, 1, 31), QStringLiteral("credit"), m_accountId,
                                               money("1234.5678"), money("1234.5678"), 0)));
        QVERIFY(conn.execute(sql::insertSingle(1, -1, QDate(2024, 2, 29), QStringLiteral("debit"), 0, money("0.0001"),
                                               money("-0.0001"), 0)));
        QVERIFY(
            conn.execute(sql::insertSeriesRow(1, -2, QDate(2026, 12, 1), QStringLiteral("big"), 99,
                                              money("99999999999.9999"), money("-99999999999.9999"), u'm', 2, 3, 7)));
        QVERIFY(conn.execute(sql::toggleDone(conn.lastInsertId())));
        QVERIFY(conn.execute(sql::insertSingle(2, 1, QDate(2027, 1, 1), QStringLiteral("other sheet"), 0, {}, {}, 0)));
    }

    void mainQueryGivesTypedValues_data()
    {
        QTest::addColumn<CursorType>("cursor");
        QTest::newRow("forward-only") << CursorType::ForwardOnly;
        QTest::newRow("static") << CursorType::Static;
    }

    void mainQueryGivesTypedValues()
    {
        QFETCH(CursorType, cursor);
        Recordset rs;
        QVERIFY(rs.open(sql::mainSelect(1, sql::mainFilter(0)), app().ConnectionString, cursor));
        QCOMPARE(rs.recordCount(), cursor == CursorType::Static ? 3 : -1);

        QHash<QString, QHash<QString, QVariant>> rows;
        for (; !rs.eof(); rs.moveNext()) {
            QHash<QString, QVariant> r;
            for (int f = 0; f < rs.fieldCount(); ++f)
                r.insert(rs.fieldName(f).toLower(), rs.value(f));
            rows.insert(rs.textValue(rs.fieldIndex(u"TrDescription")), r);
        }
        QVERIFY(rs.status().ok());
        QCOMPARE(rows.size(), 3);

        const auto &credit = rows.value(QStringLiteral("credit"));
        QCOMPARE(credit.value("trdate"), QVariant(QDate(2027, 1, 31)));
        QCOMPARE(credit.value("trdone"), QVariant(false));
        QCOMPARE(credit.value("trvalue").value<Currency>(), money("1234.5678"));
        QCOMPARE(credit.value("trbalance").value<Currency>(), money("1234.5678"));
        QCOMPARE(credit.value("trtype").toInt(), 1);
        QCOMPARE(credit.value("trgrptype"), QVariant(QStringLiteral("n")));
        QCOMPARE(credit.value("acname"), QVariant(QStringLiteral("Rossi Srl")));
        QVERIFY(credit.value("trgrprow").isNull()); // not written for a single deadline
        QVERIFY(credit.value("trnotes").isNull());
        QCOMPARE(credit.value("trgrpid").toInt(), 0);

        const auto &debit = rows.value(QStringLiteral("debit"));
        QCOMPARE(debit.value("trdate"), QVariant(QDate(2024, 2, 29)));
        QCOMPARE(debit.value("trbalance").value<Currency>(), money("-0.0001"));
        QVERIFY(debit.value("acid").isNull()); // no client: the joined columns are empty
        QVERIFY(debit.value("acname").isNull());

        const auto &big = rows.value(QStringLiteral("big"));
        QCOMPARE(big.value("trdone"), QVariant(true));
        QCOMPARE(big.value("trvalue").value<Currency>(), money("99999999999.9999"));
        QCOMPARE(big.value("trbalance").value<Currency>(), money("-99999999999.9999"));
        QCOMPARE(big.value("trgrprow").toInt(), 2);
        QCOMPARE(big.value("trgrpmday").toInt(), 3);
        QCOMPARE(big.value("trgrpid").toInt(), 7);
    }

    void periodIncludesBothEnds()
    {
        Recordset rs;
        QVERIFY(rs.open(sql::mainSelectPeriod(1, QDate(2026, 12, 1), QDate(2027, 1, 31)), app().ConnectionString,
                        CursorType::Static));
        QCOMPARE(rs.recordCount(), 2);
    }

    void fieldNamesAreCaseInsensitive_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::newRow("lower case") << "trdescription" << true;
        QTest::newRow("upper case") << "TRDESCRIPTION" << true;
        QTest::newRow("joined table field") << "acnotes" << true;
        QTest::newRow("unknown") << "TrDescriptio" << false;
        QTest::newRow("empty") << "" << false;
    }

    void fieldNamesAreCaseInsensitive()
    {
        QFETCH(QString, name);
        QFETCH(bool, found);
        Recordset rs;
        QVERIFY(rs.open(sql::mainSelect(1, sql::mainFilter(3)), app().ConnectionString));
        QCOMPARE(rs.fieldIndex(name) >= 0, found);
        if (found)
            QVERIFY(!rs.value(name).isNull());
        else
            QVERIFY(!rs.value(name).isValid());
    }

    void staticSetMovesBackAndKeepsBookmarks()
    {
        Recordset rs;
        QVERIFY(rs.open(QStringLiteral("SELECT * FROM Transactions WHERE TrDbId=1 ORDER BY TrDate"),
                        app().ConnectionString, CursorType::Static));
        const int date = rs.fieldIndex(u"TrDate");
        rs.moveNext();
        const int second = rs.bookmark();
        while (!rs.eof())
            rs.moveNext();
        rs.moveFirst();
        QCOMPARE(rs.dateValue(date), QDate(2024, 2, 29));
        rs.setBookmark(second);
        QCOMPARE(rs.dateValue(date), QDate(2026, 12, 1));
        QCOMPARE(rs.dateAt(2, date), QDate(2027, 1, 31));
        QCOMPARE(rs.currencyAt(0, rs.fieldIndex(u"TrValue")), money("0.0001"));
        rs.setBookmark(3);
        QVERIFY(rs.eof());
    }

    // Closed sets hand their buffers on to the next one.
    void setsKeepTheirRowsWhileOthersCloseAndOpen()
    {
        auto first = std::make_unique<Recordset>();
        Recordset second;
        QVERIFY(first->open(sql::mainSelect(1, sql::mainFilter(0)), app().ConnectionString, CursorType::Static));
        QVERIFY(second.open(sql::mainSelect(1, sql::mainFilter(6)), app().ConnectionString, CursorType::Static));
        first.reset();
        Recordset third;
        QVERIFY(third.open(sql::mainSelect(1, sql::mainFilter(3)), app().ConnectionString, CursorType::Static));
        QVERIFY(second.open(sql::mainSelect(1, sql::mainFilter(6)), app().ConnectionString, CursorType::Static));
        QCOMPARE(second.recordCount(), 1);
        QCOMPARE(second.textValue(second.fieldIndex(u"TrDescription")), QStringLiteral("big"));
        QCOMPARE(third.recordCount(), 1);
        QCOMPARE(third.textValue(third.fieldIndex(u"TrDescription")), QStringLiteral("credit"));
        QCOMPARE(third.textValue(third.fieldIndex(u"AcName")), QStringLiteral("Rossi Srl"));
    }

    void emptyResultIsEof()
    {
        Recordset rs;
        QVERIFY(rs.open(sql::mainSelectColumnsOnly(), app().ConnectionString, CursorType::Static));
        QVERIFY(rs.eof());
        QCOMPARE(rs.recordCount(), 0);
        QVERIFY(!rs.value(0).isValid());
    }
};

QTEST_GUILESS_MAIN(tst_Recordset)
#include "tst_recordset.moc"
