// Reading, editing, closing and deleting stored deadlines by their key.

#include "app/mainmod.h"
#include "deadlines/deadlinestore.h"
#include "seed.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;
using namespace velto::test;

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
        const qint64 id = seedDeadline(1, DeadlineType::Debit, QDate(2027, 4, 1), QStringLiteral("Rata"), 0, money("90"));
        Deadline window;
        QVERIFY(loadDeadline(cs(), id, &window));
        if (meanwhile == QLatin1String("toggle")) {
            QVERIFY(toggleDone(cs(), id));
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
        const qint64 id = seedDeadline(1, DeadlineType::Debit, QDate(2027, 4, 1), QStringLiteral("Rata"), 0, money("90"));
        Deadline loaded;
        QVERIFY(loadDeadline(cs(), id, &loaded));
        Deadline edited = loaded;
        edited.value = Currency::fromUnits(amount);
        edited.accountId = account;

        QCOMPARE(saveDeadline(cs(), edited, loaded).code(), code);
        QCOMPARE(storedDeadlines().value(0), loaded);
    }

    void loadingAMissingRowSaysSo()
    {
        Deadline d;
        const Status st = loadDeadline(cs(), 12345, &d);
        QCOMPARE(st.code(), int(kErrorMissing));
        QVERIFY(!st.message().isEmpty());
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
        QVERIFY(test::exec(QStringLiteral("CREATE TRIGGER noRenumber BEFORE UPDATE ON Transactions "
                                        "BEGIN SELECT RAISE(ABORT, 'database is locked'); END")));
        const QList<Deadline> before = storedDeadlines();

        const Status st = deleteSeriesMember(cs(), ids[1]);

        QVERIFY(st.message().contains(QStringLiteral("locked")));
        QCOMPARE(storedDeadlines(), before);
    }

    void deletingASeriesDeletesItInEverySheet()
    {
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 15), QStringLiteral("Rata"), 0, money("90"), false, 3, 1, 2);
        seedDeadline(2, DeadlineType::Debit, QDate(2027, 2, 15), QStringLiteral("Rata"), 0, money("90"), false, 3, 2, 2);
        const qint64 kept = seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 1), QStringLiteral("Single"), 0,
                                         money("1"));

        QVERIFY(deleteSeries(cs(), 3));

        const QList<Deadline> rest = storedDeadlines();
        QCOMPARE(rest.size(), 1);
        QCOMPARE(rest[0].rowId, kept);
    }

    void closingTwiceReopens()
    {
        const qint64 id = seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 1), QStringLiteral("Fattura"), 0,
                                       money("10"));
        QVERIFY(toggleDone(cs(), id));
        QVERIFY(storedDeadlines().value(0).done);
        QVERIFY(toggleDone(cs(), id));
        QVERIFY(!storedDeadlines().value(0).done);
    }

private:
    static QString cs() { return app().ConnectionString; }

    std::unique_ptr<Sandbox> m_box;
    qint64 m_rossi = 0;
};

QTEST_GUILESS_MAIN(tst_DeadlineStore)
#include "tst_deadlinestore.moc"
