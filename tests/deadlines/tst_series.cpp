#include "app/mainmod.h"
#include "app/strings.h"
#include "deadlines/series.h"
#include "seed.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

Q_DECLARE_METATYPE(velto::DeadlineEntry)

namespace {

DeadlineEntry series(const QDate &first, int count, int cadence, qint64 group = 0)
{
    DeadlineEntry e;
    e.description = QStringLiteral("Rent");
    e.amount = Currency::fromUnits(100 * Currency::kScale);
    e.recurring = true;
    e.date = first;
    e.count = count;
    e.cadence = Cadence(cadence);
    e.addToGroupId = group;
    return e;
}

DeadlineEntry single(const QDate &day, qint64 group = 0)
{
    DeadlineEntry e;
    e.description = QStringLiteral("One");
    e.amount = Currency::fromUnits(10 * Currency::kScale);
    e.date = day;
    e.addToGroupId = group;
    return e;
}

Status insert(const DeadlineEntry &e, int sheet = 1)
{
    return InsertDeadlines(app().ConnectionString, sheet, e);
}

} // namespace

class tst_Series : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<test::Sandbox> m_box;

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
    }

    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void valuesAreStoredByType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<qint64>("amount");
        QTest::addColumn<qint64>("account");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<qint64>("balance");

        QTest::newRow("credit with a client")
            << 1 << qint64(12345000) << qint64(1) << qint64(12345000) << qint64(12345000);
        QTest::newRow("debit of 50 is stored negative")
            << -1 << qint64(500000) << qint64(0) << qint64(500000) << qint64(-500000);
        QTest::newRow("appointment carries no amount") << -2 << qint64(500000) << qint64(1) << qint64(0) << qint64(0);
    }

    void valuesAreStoredByType()
    {
        QFETCH(int, type);
        QFETCH(qint64, amount);
        QFETCH(qint64, account);
        QFETCH(qint64, value);
        QFETCH(qint64, balance);
        QVERIFY(test::exec(QStringLiteral("INSERT INTO Accounts (AcId, AcName) VALUES (1, 'Rossi')")));

        for (bool recurring : {false, true}) {
            QVERIFY(test::exec(QStringLiteral("DELETE * FROM Transactions")));
            DeadlineEntry e = recurring ? series(QDate(2027, 1, 31), 2, 2) : single(QDate(2027, 1, 31));
            e.type = DeadlineType(type);
            e.amount = Currency::fromUnits(amount);
            e.accountId = account;
            QVERIFY(insert(e));
            const QList<Deadline> rows = test::storedDeadlines();
            QCOMPARE(rows.size(), recurring ? 2 : 1);
            for (const Deadline &r : rows) {
                QCOMPARE(int(r.type), type);
                QCOMPARE(r.value.units(), value);
                QCOMPARE(r.balance.units(), balance);
                QCOMPARE(r.accountId, account);
                QCOMPARE(r.sheetId, 1);
            }
        }
    }

    void entriesRefusedBeforeAnythingIsWritten_data()
    {
        QTest::addColumn<DeadlineEntry>("entry");
        QTest::addColumn<int>("messageId");
        QTest::addColumn<QString>("argument");
        DeadlineEntry e = series(QDate(2027, 1, 1), kMaxSeriesCount + 1, 0);
        QTest::newRow("count beyond 16 bits") << e << 1586 << QString::number(kMaxSeriesCount);
        e = series(QDate(2027, 1, 1), 1, 2);
        QTest::newRow("series of one") << e << 1585 << QString();
        e = series(QDate(2027, 1, 1), 3, 5);
        QTest::newRow("unknown cadence") << e << 1587 << QString();
        e = single(QDate(2027, 1, 1));
        e.description.clear();
        QTest::newRow("empty description") << e << 1582 << QString();
        e = single(QDate());
        QTest::newRow("no date") << e << 1584 << QString();
        e = single(QDate(2027, 1, 1));
        e.type = DeadlineType(7);
        QTest::newRow("unknown type") << e << 1581 << QStringLiteral("7");
        // The sign comes from the type: a pasted "-50" never makes a debit a credit.
        e = single(QDate(2027, 1, 1));
        e.type = DeadlineType::Debit;
        e.amount = Currency::fromUnits(-50 * Currency::kScale);
        QTest::newRow("negative debit") << e << 1503 << QString();
        e = series(QDate(2027, 1, 1), 3, 2);
        e.amount = Currency::fromUnits(-1);
        QTest::newRow("negative credit series") << e << 1503 << QString();
        // Counts that fit the 16-bit fields, dates that do not fit four digits.
        QTest::newRow("yearly series ending in 10000") << series(QDate(2027, 1, 1), 7974, 4) << 1589 << QString();
        QTest::newRow("quarterly series ending in 10026") << series(QDate(2027, 1, 1), 32000, 3) << 1589 << QString();
        QTest::newRow("monthly series from a month end past 9999")
            << series(QDate(9999, 10, 31), 4, 2) << 1589 << QString();
        // A series that ends on a date counts its dates.
        e = series(QDate(2027, 1, 1), 0, 0);
        e.rule = Recurrence{Frequency::Days, 1, 1, 1, DateShift::None, HolidayCountry::None, QDate(2027, 1, 1)};
        QTest::newRow("one date up to the end") << e << 1585 << QString();
        e.rule->until = QDate(2200, 1, 1);
        QTest::newRow("too many dates up to the end") << e << 1586 << QString::number(kMaxSeriesCount);
        e.rule->interval = 0;
        QTest::newRow("rule every 0 days") << e << 1587 << QString();
    }

    void entriesRefusedBeforeAnythingIsWritten()
    {
        QFETCH(DeadlineEntry, entry);
        QFETCH(int, messageId);
        QFETCH(QString, argument);
        app().LanguageOffset = kOffsetGerman;
        const Status st = insert(entry);
        app().LanguageOffset = kOffsetEnglish;
        QCOMPARE(st.code(), int(kErrorInvalidEntry));
        QString expected = stringForId(messageId + kOffsetGerman);
        if (!argument.isEmpty())
            expected = expected.arg(argument);
        QCOMPARE(st.message(), expected);
        QVERIFY(test::storedDeadlines().isEmpty());
    }

    // A rule series stores its dates (moved, each once) and keeps its rule;
    // a joining member leaves the rule as it is; a plain series never takes
    // the number, nor the rule, of a deleted one.
    void ruleIsKeptWithItsSeries()
    {
        DeadlineEntry e = series(QDate(2027, 12, 24), 3, 0);
        e.rule = Recurrence{Frequency::Days, 1, 1, 1, DateShift::Next, HolidayCountry::UnitedKingdom, QDate()};
        QVERIFY(insert(e));
        QVERIFY(insert(single(QDate(2028, 1, 5), 1)));
        QCOMPARE(test::column(QStringLiteral("SELECT TrDate || TrGrpType || TrGrpRow || TrGrpMDay FROM Transactions")),
                 QStringList({"2027-12-24d14", "2027-12-29d24", "2027-12-30d34", "2028-01-05n44"}));
        std::optional<Recurrence> kept;
        QVERIFY(loadSeriesRule(app().ConnectionString, 1, &kept));
        QCOMPARE(kept, e.rule);
        QVERIFY(test::exec(QStringLiteral("DELETE FROM Transactions")));
        QVERIFY(insert(series(QDate(2027, 1, 1), 2, 2)));
        QCOMPARE(test::column(QStringLiteral("SELECT DISTINCT TrGrpId FROM Transactions")), QStringList{"5"});
        QVERIFY(loadSeriesRule(app().ConnectionString, 5, &kept));
        QVERIFY(!kept);
    }

    void seriesIsStoredToItsLastDate_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("cadence");
        QTest::addColumn<QDate>("last");
        QTest::newRow("yearly, reaching the year 9999") << 7973 << 4 << QDate(9999, 1, 1);
        QTest::newRow("largest count") << kMaxSeriesCount << 0 << QDate(2027, 1, 1).addDays(kMaxSeriesCount - 1);
        QTest::newRow("quarterly") << 3 << 3 << QDate(2027, 7, 1);
    }

    void seriesIsStoredToItsLastDate()
    {
        QFETCH(int, count);
        QFETCH(int, cadence);
        QFETCH(QDate, last);
        QVERIFY(insert(series(QDate(2027, 1, 1), count, cadence)));
        const QList<Deadline> rows = test::storedDeadlines(QStringLiteral("TrGrpRow=") + QString::number(count));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].groupCount, count);
        QCOMPARE(rows[0].date, last);
        QCOMPARE(rows[0].groupType, QString(QStringLiteral("dwmqy").at(cadence)));
    }

    // Before: a single deadline on 1 Jan 2026, then a monthly series of three
    // when the write joins it (group 1) or its trigger refuses an update.
    void refusedRowReachesTheCallerAndKeepsNothing_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<DeadlineEntry>("entry");
        QTest::addColumn<int>("before");
        QTest::newRow("third row of a series fails")
            << "INSERT:NEW.TrGrpRow = 3" << series(QDate(2027, 1, 1), 5, 2) << 1;
        QTest::newRow("single deadline fails") << "INSERT:" << single(QDate(2027, 1, 1)) << 1;
        QTest::newRow("renumbering of the joined series fails") << "UPDATE:" << single(QDate(2027, 1, 15), 1) << 3;
    }

    void refusedRowReachesTheCallerAndKeepsNothing()
    {
        QFETCH(QString, trigger);
        QFETCH(DeadlineEntry, entry);
        QFETCH(int, before);
        QVERIFY(insert(before == 1 ? single(QDate(2026, 1, 1)) : series(QDate(2026, 1, 1), before, 2)));
        QVERIFY(test::refuseWrites(trigger.section(u':', 0, 0), trigger.section(u':', 1),
                                   QStringLiteral("row refused by test")));

        const Status st = insert(entry);
        QVERIFY(!st.ok());
        QVERIFY2(st.message().contains(QStringLiteral("row refused by test")), qPrintable(st.message()));
        QCOMPARE(test::storedDeadlines().size(), before);
        QCOMPARE(test::storedDeadlines().value(0).date, QDate(2026, 1, 1));
    }

    // The members are numbered by date and all know the size; the other group is untouched.
    void joiningAGroupRenumbersItInDateOrder()
    {
        QVERIFY(insert(series(QDate(2027, 1, 1), 3, 2)));
        QVERIFY(insert(series(QDate(2027, 1, 1), 2, 0)));

        QVERIFY(insert(single(QDate(2027, 1, 15), 1)));

        QList<Deadline> rows = test::storedDeadlines(QStringLiteral("TrGrpId=1"));
        const QList<QDate> expected = {QDate(2027, 1, 1), QDate(2027, 1, 15), QDate(2027, 2, 1), QDate(2027, 3, 1)};
        QCOMPARE(rows.size(), 4);
        QVERIFY(test::numberedInOrder(rows));
        for (int k = 0; k < 4; ++k)
            QCOMPARE(rows[k].date, expected[k]);
        QCOMPARE(rows[1].groupType, QStringLiteral("n"));
        QCOMPARE(rows[2].groupType, QStringLiteral("m"));

        QVERIFY(insert(series(QDate(2027, 2, 8), 2, 1, 1))); // weekly: 8 and 15 Feb
        rows = test::storedDeadlines(QStringLiteral("TrGrpId=1"));
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[3].date, QDate(2027, 2, 8));
        QCOMPARE(rows[3].groupType, QStringLiteral("w"));
        QVERIFY(test::numberedInOrder(rows));
        QCOMPARE(test::storedDeadlines(QStringLiteral("TrGrpId>1")).size(), 2);
        QVERIFY(test::numberedInOrder(test::storedDeadlines(QStringLiteral("TrGrpId>1"))));
    }

    // The user switched sheets: nothing is written and the series keeps its numbering.
    void deadlineJoinsOnlyWhatExistsInItsSheet()
    {
        QVERIFY(insert(series(QDate(2027, 1, 1), 3, 2)));
        test::seedSheet(2, QStringLiteral("Home"));

        const Status st = insert(single(QDate(2027, 1, 15), 1), 2);

        QCOMPARE(st.code(), int(kErrorInvalidEntry));
        const QList<Deadline> rows = test::storedDeadlines();
        QCOMPARE(rows.size(), 3);
        QVERIFY(test::numberedInOrder(rows));
        // A series or a client that no longer exists takes no deadline either.
        QCOMPARE(insert(single(QDate(2027, 1, 15), 9)).code(), int(kErrorMissing));
        DeadlineEntry e = series(QDate(2027, 1, 1), 2, 2);
        e.accountId = 77;
        QCOMPARE(insert(e).code(), int(kErrorMissing));
        QCOMPARE(test::storedDeadlines().size(), 3);
    }
};

QTEST_GUILESS_MAIN(tst_Series)
#include "tst_series.moc"
