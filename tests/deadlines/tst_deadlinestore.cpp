// Reading, editing, closing and deleting stored deadlines by their key.

#include "app/mainmod.h"
#include "app/strings.h"
#include "deadlines/datasheets.h"
#include "deadlines/deadlinestore.h"
#include "deadlines/purge.h"
#include "deadlines/series.h"
#include "seed.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;
using namespace velto::test;
Q_DECLARE_METATYPE(std::function<velto::Status(qint64)>)

class tst_DeadlineStore : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        renew(m_box);
        QVERIFY(m_box->createDatabase());
        m_rossi = seedAccount(QStringLiteral("Rossi"));
    }
    void editIsWrittenWithTheBalanceOfItsType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<qint64>("balance");
        QTest::newRow("debit edited to 80 counts -80") << -1 << qint64(-800000);
        QTest::newRow("credit counts +80") << 1 << qint64(800000);
        QTest::newRow("appointment carries no amount") << -2 << qint64(0);
    }
    void editIsWrittenWithTheBalanceOfItsType()
    {
        QFETCH(int, type);
        QFETCH(qint64, balance);
        const qint64 id = seedDeadline(1, DeadlineType(type), QDate(2027, 4, 1), QStringLiteral("Bolletta"), 0,
                                       money("100"), false, 9, 2, 5);
        Deadline loaded;
        QVERIFY(loadDeadline(cs(), id, &loaded));

        Deadline edited = loaded;
        edited.value = money("80");
        edited.description = QStringLiteral("Bolletta luce");
        edited.accountId = m_rossi;
        edited.done = true;
        QVERIFY(saveDeadline(cs(), edited, loaded));

        const Deadline stored = storedDeadlines().value(0);
        QCOMPARE(stored.description, QStringLiteral("Bolletta luce"));
        QCOMPARE(stored.accountId, m_rossi);
        QVERIFY(stored.done);
        QCOMPARE(stored.balance.units(), balance);
        QCOMPARE(stored.value.units(), type == -2 ? 0 : qint64(800000));
        // Its place in the series stays as it was.
        QCOMPARE(stored.groupId, qint64(9));
        QCOMPARE(stored.groupRow, 2);
        QCOMPARE(stored.groupCount, 5);
    }

    // A window that read the row, then saves after the row changed by
    // another path, must not put the old values back.
    void editOfARowChangedMeanwhileIsRefused_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::newRow("closed from the grid") << "toggle";
        QTest::newRow("saved by another window") << "save";
        QTest::newRow("deleted") << "delete";
    }
    void editOfARowChangedMeanwhileIsRefused()
    {
        QFETCH(QString, meanwhile);
        const qint64 id =
            seedDeadline(1, DeadlineType::Debit, QDate(2027, 4, 1), QStringLiteral("Rata"), 0, money("90"));
        Deadline window;
        QVERIFY(loadDeadline(cs(), id, &window));
        if (meanwhile == QLatin1String("toggle")) {
            QVERIFY(toggleDone(cs(), id, false));
        } else if (meanwhile == QLatin1String("save")) {
            Deadline other = window;
            other.description = QStringLiteral("Rata mutuo");
            QVERIFY(saveDeadline(cs(), other, window));
        } else {
            QVERIFY(deleteDeadline(cs(), id));
        }
        const QList<Deadline> before = storedDeadlines();

        Deadline edited = window;
        edited.value = money("95");
        const Status st = saveDeadline(cs(), edited, window);

        QCOMPARE(st.code(), meanwhile == QLatin1String("delete") ? int(kErrorMissing) : int(kErrorChangedMeanwhile));
        QVERIFY(!st.message().isEmpty());
        QCOMPARE(storedDeadlines(), before);
    }

    void editRefusesWhatNoWindowMayStore_data()
    {
        QTest::addColumn<qint64>("amount");
        QTest::addColumn<qint64>("account");
        QTest::addColumn<int>("code");
        QTest::newRow("negative amount") << qint64(-500000) << qint64(0) << int(kErrorInvalidEntry);
        QTest::newRow("client that no longer exists") << qint64(500000) << qint64(404) << int(kErrorMissing);
    }
    void editRefusesWhatNoWindowMayStore()
    {
        QFETCH(qint64, amount);
        QFETCH(qint64, account);
        QFETCH(int, code);
        const qint64 id =
            seedDeadline(1, DeadlineType::Debit, QDate(2027, 4, 1), QStringLiteral("Rata"), 0, money("90"));
        Deadline loaded;
        QVERIFY(loadDeadline(cs(), id, &loaded));
        Deadline edited = loaded;
        edited.value = Currency::fromUnits(amount);
        edited.accountId = account;

        QCOMPARE(saveDeadline(cs(), edited, loaded).code(), code);
        QCOMPARE(storedDeadlines().value(0), loaded);
    }

    void deletingAMemberRenumbersTheRest_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("deleted");
        QTest::newRow("middle of three") << 3 << 2;
        QTest::newRow("first of three") << 3 << 1;
        QTest::newRow("last of four") << 4 << 4;
        QTest::newRow("the only member") << 1 << 1;
    }
    void deletingAMemberRenumbersTheRest()
    {
        QFETCH(int, size);
        QFETCH(int, deleted);
        const QList<qint64> ids =
            seedSeries(1, DeadlineType::Debit, QDate(2027, 1, 15), size, QStringLiteral("Rata"), 0, money("90"), 3);
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 1), QStringLiteral("Other series"), 0, money("1"), false,
                     4, 1, 2);

        QVERIFY(deleteSeriesMember(cs(), ids[deleted - 1]));

        const QList<Deadline> rest = storedDeadlines(QStringLiteral("TrGrpId=3"));
        QCOMPARE(rest.size(), size - 1);
        QVERIFY(numberedInOrder(rest));
        for (const Deadline &d : rest)
            QVERIFY(d.rowId != ids[deleted - 1]);
        QCOMPARE(storedDeadlines(QStringLiteral("TrGrpId=4")).value(0).groupCount, 2);
    }

    void singlesAreNeverTakenForASeries()
    {
        const qint64 a = seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 15), QStringLiteral("a"), 0, money("9"));
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 16), QStringLiteral("b"), 0, money("9"));
        QVERIFY(!deleteSeries(cs(), 0));
        QVERIFY(deleteSeriesMember(cs(), a));
        const QList<Deadline> rest = storedDeadlines();
        QCOMPARE(rest.size(), 1);
        QCOMPARE(QList<int>({rest[0].groupId == 0, rest[0].groupRow, rest[0].groupCount}), QList<int>({1, 0, 0}));
    }

    void failingRenumberingKeepsTheMember()
    {
        QList<qint64> ids;
        for (int k = 1; k <= 3; ++k)
            ids << seedDeadline(1, DeadlineType::Debit, QDate(2027, k, 15), QStringLiteral("Rata"), 0, money("90"),
                                false, 3, k, 3);
        QVERIFY(test::refuseWrites(QStringLiteral("UPDATE"), QString(), QStringLiteral("database is locked")));
        const QList<Deadline> before = storedDeadlines();

        const Status st = deleteSeriesMember(cs(), ids[1]);

        QVERIFY(st.message().contains(QStringLiteral("locked")));
        QCOMPARE(storedDeadlines(), before);
    }

    void deletingASeriesDeletesItInEverySheet()
    {
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 15), QStringLiteral("Rata"), 0, money("90"), false, 3, 1,
                     2);
        seedDeadline(2, DeadlineType::Debit, QDate(2027, 2, 15), QStringLiteral("Rata"), 0, money("90"), false, 3, 2,
                     2);
        const qint64 kept =
            seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 1), QStringLiteral("Single"), 0, money("1"));

        QVERIFY(deleteSeries(cs(), 3));

        const QList<Deadline> rest = storedDeadlines();
        QCOMPARE(rest.size(), 1);
        QCOMPARE(rest[0].rowId, kept);
    }

    void closingTwiceReopens()
    {
        const qint64 id =
            seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 1), QStringLiteral("Fattura"), 0, money("10"));
        QVERIFY(toggleDone(cs(), id, false));
        QVERIFY(storedDeadlines().value(0).done);
        QVERIFY(toggleDone(cs(), id, true));
        QVERIFY(!storedDeadlines().value(0).done);
    }

    // What another user did between the user's look and the write: closed or reopened the deadline, deleted it or
    // its data sheet (a deadline left naming it, as older versions could leave one). Nothing is written, nothing is
    // reported as done.
    void writesOnWhatChangedMeanwhileAreRefused_data()
    {
        QTest::addColumn<std::function<Status(qint64)>>("write");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        using W = std::function<Status(qint64)>;
        const auto entry = [](bool series) {
            return DeadlineEntry{DeadlineType::Debit, QStringLiteral("Gas"), 0, money("5"), series,
                                 QDate(2027, 3, 1),   series ? 3 : 1};
        };
        const QString gone = LoadResString(1800);
        QTest::newRow("close of one closed meanwhile") << W([](qint64) { return toggleDone(cs(), 1, false); })
                                                       << int(kErrorChangedMeanwhile) << LoadResString(1801);
        QTest::newRow("reopen of one reopened meanwhile") << W([](qint64) { return toggleDone(cs(), 2, true); })
                                                          << int(kErrorChangedMeanwhile) << LoadResString(1802);
        QTest::newRow("new deadline into a deleted sheet")
            << W([=](qint64) { return InsertDeadlines(cs(), 2, entry(false)); }) << int(kErrorMissing) << gone;
        QTest::newRow("new series into a deleted sheet")
            << W([=](qint64) { return InsertDeadlines(cs(), 2, entry(true)); }) << int(kErrorMissing) << gone;
        QTest::newRow("edit in a deleted sheet") << W([](qint64 orphan) {
            Deadline d;
            return loadDeadline(cs(), orphan, &d) ? saveDeadline(cs(), d, d) : Status();
        }) << int(kErrorMissing) << gone;
        QTest::newRow("close in a deleted sheet")
            << W([](qint64 orphan) { return toggleDone(cs(), orphan, false); }) << int(kErrorMissing) << gone;
        QTest::newRow("rename of a deleted sheet")
            << W([](qint64) { return renameDataSheet(cs(), 2, QStringLiteral("Casa")); }) << int(kErrorMissing) << gone;
        QTest::newRow("purge of a deleted sheet")
            << W([](qint64) { return purgeClosedUpTo(cs(), 2, QDate(2027, 12, 31), nullptr); }) << int(kErrorMissing)
            << gone;
        QTest::newRow("delete of a deleted sheet")
            << W([](qint64) { return deleteDataSheet(cs(), 2, 1); }) << int(kErrorMissing) << gone;
        QTest::newRow("delete of a deleted deadline")
            << W([](qint64) { return deleteDeadline(cs(), 99); }) << int(kErrorMissing) << LoadResString(1504);
        QTest::newRow("delete of a deleted series")
            << W([](qint64) { return deleteSeries(cs(), 99); }) << int(kErrorMissing) << LoadResString(1504);
    }
    void writesOnWhatChangedMeanwhileAreRefused()
    {
        QFETCH(std::function<Status(qint64)>, write);
        QFETCH(int, code);
        QFETCH(QString, text);
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 1), QStringLiteral("closed meanwhile"), 0, money("1"),
                     true);
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 2), QStringLiteral("reopened meanwhile"), 0, money("1"));
        seedSheet(2, QStringLiteral("Home"));
        const qint64 orphan =
            seedDeadline(2, DeadlineType::Debit, QDate(2027, 1, 3), QStringLiteral("left"), 0, money("1"));
        QVERIFY(test::exec(QStringLiteral("DELETE FROM Dbs WHERE DbId=2")));
        const QList<Deadline> before = storedDeadlines();

        const Status st = write(orphan);

        QCOMPARE(st.code(), code);
        QCOMPARE(st.message(), text);
        QCOMPARE(storedDeadlines(), before);
    }

private:
    static QString cs() { return app().ConnectionString; }

    std::unique_ptr<Sandbox> m_box;
    qint64 m_rossi = 0;
};

QTEST_GUILESS_MAIN(tst_DeadlineStore)
#include "tst_deadlinestore.moc"
