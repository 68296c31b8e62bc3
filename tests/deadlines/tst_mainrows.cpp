// What the main grid and the start list show of each kind of deadline,
// on the core's typed rows: type, series counter, open balance, date
// buckets, closed state, client; and which rows the filters and the start
// list take.

#include "app/mainmod.h"
#include "data/connection.h"
#include "deadlines/mainrows.h"
#include "seed.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;

class TestMainRows : public QObject
{
    Q_OBJECT
private slots:
    void rowShowsItsKind_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("done");
        QTest::addColumn<int>("group"); // place in a series of 12; 0 on its own
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("client");
        QTest::addColumn<qint64>("open");   // open balance, ten-thousandths
        QTest::addColumn<int>("byDate");    // bucket by due date (today 15 June 2026)
        QTest::addColumn<QString>("shown"); // description with counters shown
        const QString none;
        QTest::addRow("open credit today")
            << 1 << false << 0 << QDate(2026, 6, 15) << "Rossi" << 250000LL << 0 << "Rent";
        QTest::addRow("open debit later this month")
            << -1 << false << 0 << QDate(2026, 6, 30) << none << -250000LL << 1 << "Rent";
        QTest::addRow("closed credit next month")
            << 1 << true << 0 << QDate(2026, 7, 1) << "Rossi" << 0LL << 2 << "Rent";
        QTest::addRow("appointment member overdue")
            << -2 << false << 3 << QDate(2025, 12, 31) << none << 0LL << 0 << "Rent 3/12";
        QTest::addRow("closed debit member")
            << -1 << true << 12 << QDate(2027, 1, 1) << "Verdi" << 0LL << 2 << "Rent 12/12";
        // Its client deleted behind the program's back: shown as one without.
        QTest::addRow("client gone") << 1 << false << 0 << QDate(2026, 6, 15) << "(gone)" << 250000LL << 0 << "Rent";
    }

    void rowShowsItsKind()
    {
        QFETCH(int, type);
        QFETCH(bool, done);
        QFETCH(int, group);
        QFETCH(QDate, day);
        QFETCH(QString, client);
        QFETCH(qint64, open);
        QFETCH(int, byDate);
        QFETCH(QString, shown);
        test::Sandbox box;
        QVERIFY(box.createDatabase());
        const qint64 account = client.isEmpty() ? 0 : test::seedAccount(client, QStringLiteral("notes"));
        const DeadlineType kind = *deadlineTypeFromCode(type);
        const Currency value = kind == DeadlineType::Appointment ? Currency() : test::money("25");
        const qint64 id = test::seedDeadline(1, kind, day, QStringLiteral("Rent"), account, value, done, group ? 7 : 0,
                                             group, group ? 12 : 0);
        if (client == QLatin1String("(gone)")) {
            QVERIFY(Connection::executeAlone(app().ConnectionString,
                                             QStringLiteral("DELETE FROM Accounts WHERE AcId=%1").arg(account)));
            client.clear();
        }
        MainRows rows;
        QVERIFY(readMainRows(app().ConnectionString, 1, MainFilter::All, {}, {}, &rows));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.rowId(0), id);
        QCOMPARE(rows.type(0), kind);
        QCOMPARE(rows.done(0), done);
        QCOMPARE(rows.date(0), day);
        QCOMPARE(rows.openBalance(0).units(), open);
        QCOMPARE(rows.amount(0).has_value(), kind != DeadlineType::Appointment);
        QCOMPARE(rows.isSeriesMember(0), group > 0);
        QCOMPARE(rows.dateBucket(0, Layout::ByDate, QDate(2026, 6, 15)), byDate);
        QCOMPARE(rows.dateBucket(0, Layout::ByMonth, QDate(2026, 6, 15)), day.year() * 100 + day.month());
        QCOMPARE(rows.shownDescription(0, QStringLiteral("/")), shown);
        QCOMPARE(rows.shownDescription(0, QString()), QStringLiteral("Rent"));
        QCOMPARE(rows.accountName(0), client.isEmpty() ? QString() : client);
        QCOMPARE(rows.clientIndex(0) < 0, client.isEmpty());
        QCOMPARE(rows.accountNotes(0), client.isEmpty() ? QString() : QStringLiteral("notes"));
    }

    void filtersAndStartListTakeTheirRows()
    {
        test::Sandbox box;
        QVERIFY(box.createDatabase());
        const QDate day(2026, 6, 15);
        test::seedDeadline(1, DeadlineType::Credit, day, QStringLiteral("credit"), 0, test::money("1"));
        test::seedDeadline(1, DeadlineType::Appointment, day.addDays(1), QStringLiteral("meeting"), 0, Currency());
        test::seedDeadline(1, DeadlineType::Debit, day.addDays(2), QStringLiteral("closed"), 0, test::money("2"), true);
        test::seedSheet(2, QStringLiteral("Casa"));
        test::seedDeadline(2, DeadlineType::Credit, day, QStringLiteral("other sheet"), 0, test::money("3"));
        // Written last, listed first: the grid's rows come by date, then by key.
        test::seedDeadline(1, DeadlineType::Debit, day.addDays(-1), QStringLiteral("earlier"), 0, test::money("4"),
                           true);
        auto descriptions = [](const MainRows &rows) {
            QStringList list;
            for (int i = 0; i < rows.size(); ++i)
                list << rows.description(i);
            return list;
        };
        const QString cs = app().ConnectionString;
        MainRows rows;
        QVERIFY(readMainRows(cs, 1, MainFilter::OpenCreditsAndDebits, {}, {}, &rows));
        QCOMPARE(descriptions(rows), QStringList{"credit"});
        QVERIFY(readMainRows(cs, 1, MainFilter::Closed, {}, {}, &rows));
        QCOMPARE(descriptions(rows), (QStringList{"earlier", "closed"}));
        QVERIFY(readMainRows(cs, 1, MainFilter::CalendarPeriod, day.addDays(1), day.addDays(2), &rows));
        QCOMPARE(descriptions(rows), (QStringList{"meeting", "closed"}));
        // The start list: open deadlines of the days, newest first.
        QVERIFY(readStartList(cs, 1, day, day.addDays(2), &rows));
        QCOMPARE(descriptions(rows), (QStringList{"meeting", "credit"}));
    }
};

QTEST_GUILESS_MAIN(TestMainRows)
#include "tst_mainrows.moc"
