// A unit of work on a server cut off in its middle: the server stopped, the
// session ended by the server, the statement out of time. The purge of
// 20,000 closed deadlines is held half done by a slow trigger while the
// fault strikes; it fails with the fault's own error, never succeeds, the
// book is as it was before, and the next unit of work (which takes a kept
// session first) works once the server is back. And a file book copied
// onto a server arrives whole.

#include "app/mainmod.h"
#include "data/connection.h"
#include "data/copydatabase.h"
#include "deadlines/purge.h"
#include "selfprocess.h"
#include "servercluster.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

using namespace velto;

namespace {

constexpr int kClosed = 20000;
const QDate kUpTo(2027, 1, 1);

// A statement as the server's own client runs it, past the dialect step.
bool psql(const QString &sql, QString *out = nullptr)
{
    QString text;
    const bool ok =
        test::runServerTool(QStringLiteral("psql"),
                            {"-X", "-q", "-A", "-t", "-v", "ON_ERROR_STOP=1", "-d", app().ConnectionString, "-c", sql},
                            &text)
        == 0;
    if (!ok)
        qWarning("psql: %s", qPrintable(text));
    if (out)
        *out = text.trimmed();
    return ok;
}

bool purgeIsHalfDone()
{
    QString sleeping;
    return psql(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE application_name = 'Velto' "
                               "AND wait_event = 'PgSleep'"),
                &sleeping)
        && sleeping == u"1";
}

// The other process: copies a whole book, to be killed in the middle.
int copyBook(char **argv)
{
    test::tell("copying");
    return copyDatabase(QString::fromLocal8Bit(argv[0]), QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}

} // namespace

class tst_ServerFaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::Sandbox> m_box;

private slots:
    void initTestCase() { qputenv("VELTO_TEST_ENGINE", "server"); }
    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
    }
    void cleanup()
    {
        psql(QStringLiteral(
            "DO $$BEGIN EXECUTE format('ALTER DATABASE %I RESET statement_timeout', current_database()); END$$"));
        dropIdleServerSessions();
    }

    void aPurgeCutOffLeavesTheBookAsItWas_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("code");
        QTest::newRow("server stopped") << "stop" << int(kErrorServerLost);
        QTest::newRow("session ended by the server") << "terminate" << int(kErrorServerLost);
        QTest::newRow("statement out of time") << "timeout" << int(kErrorServerTimeout);
    }

    void aPurgeCutOffLeavesTheBookAsItWas()
    {
        QFETCH(QString, fault);
        QFETCH(int, code);
        QVERIFY(psql(
            QStringLiteral("INSERT INTO Transactions (TrDbId, TrType, TrDone, TrDate, TrDescription, TrAcId, TrValue, "
                           "TrBalance, TrGrpType) SELECT 1, -1, g > 3, DATE '2026-01-01' + g % 300, 'Rent ' || g, 0, "
                           "g, -g, 'n' FROM generate_series(1, %1) g")
                .arg(kClosed + 3)));
        // Half the rows deleted, the purge sleeps on the next one.
        QVERIFY(
            psql(QStringLiteral("CREATE FUNCTION slow() RETURNS trigger LANGUAGE plpgsql AS "
                                "$$BEGIN PERFORM pg_sleep(60); RETURN OLD; END$$; CREATE TRIGGER slow BEFORE DELETE ON "
                                "Transactions FOR EACH ROW WHEN (OLD.TrRowId = %1) EXECUTE FUNCTION slow()")
                     .arg(kClosed / 2)));
        if (fault == u"timeout")
            QVERIFY(psql(QStringLiteral("DO $$BEGIN EXECUTE format('ALTER DATABASE %I SET statement_timeout = 500', "
                                        "current_database()); END$$")));
        dropIdleServerSessions(); // the timeout comes with a new session
        const QString before = test::dumpTables(app().ConnectionString);
        QVERIFY(before.count(u'\n') > kClosed);

        Status st = Status::failure(kErrorServer, QStringLiteral("not run"));
        qint64 deleted = -1;
        std::unique_ptr<QThread> purge(
            QThread::create([&] { st = purgeClosedUpTo(app().ConnectionString, 1, kUpTo, &deleted); }));
        purge->start();
        const auto waitForPurge = qScopeGuard([&] { purge->wait(); });
        if (fault != u"timeout") {
            QTRY_VERIFY_WITH_TIMEOUT(purgeIsHalfDone(), 20000);
            // Readers go on meanwhile; their session is kept for later.
            qint64 closed = 0;
            QVERIFY(countClosedUpTo(app().ConnectionString, 1, kUpTo, &closed) && closed == kClosed);
            if (fault == u"stop")
                QCOMPARE(test::runServerTool(QStringLiteral("pg_ctl"),
                                             {"-D", test::serverDataDir(), "-m", "immediate", "stop"}),
                         0);
            else
                QVERIFY(psql(
                    QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = "
                                   "'Velto' AND wait_event = 'PgSleep'")));
        }
        QVERIFY(purge->wait(30000));
        QVERIFY2(!st && st.code() == code, qPrintable(QStringLiteral("%1: %2").arg(st.code()).arg(st.message())));
        QCOMPARE(deleted, qint64(-1));
        QString why;
        if (fault == u"stop")
            QVERIFY2(test::startServerAgain(&why), qPrintable(why));

        // Kept sessions of the server that went away are not handed out.
        qint64 closed = 0;
        st = countClosedUpTo(app().ConnectionString, 1, kUpTo, &closed);
        QVERIFY2(st, qPrintable(st.message()));
        QCOMPARE(closed, qint64(kClosed));
        QCOMPARE(test::dumpTables(app().ConnectionString), before);
    }

    // Killed while the rows go in, a copy leaves its target as empty as it
    // was: no tables on a server (its unit of work never committed), no
    // database file in a folder.
    void aCopyKilledHalfWayLeavesTheTargetEmpty_data()
    {
        QTest::addColumn<bool>("toServer");
        QTest::newRow("onto a server") << true;
        QTest::newRow("into a folder") << false;
    }

    void aCopyKilledHalfWayLeavesTheTargetEmpty()
    {
        QFETCH(bool, toServer);
        QVERIFY(psql(
            QStringLiteral("INSERT INTO Transactions (TrDbId, TrType, TrDone, TrDate, TrDescription, TrAcId, TrValue, "
                           "TrBalance, TrGrpType) SELECT 1, -1, false, DATE '2026-01-01' + g % 300, 'Rent ' || g, 0, "
                           "g, -g, 'n' FROM generate_series(1, 200000) g")));
        QTemporaryDir folder;
        QString why;
        const QString target = toServer ? test::newServerDatabase(&why) : connectionStringFor(folder.path());
        QVERIFY2(!target.isEmpty(), qPrintable(why));
        const QString file = folder.path() + QStringLiteral("/velto.mdb");
        const QString database = target.section(u'/', 3).section(u'?', 0, 0);
        QProcess child;
        QVERIFY(test::startSelf(child, {QStringLiteral("--copy"), app().ConnectionString, target}, "copying"));
        // Rows are going in: the target's unit of work holds some already.
        const auto midway = [&] {
            if (!toServer)
                return QFileInfo(file + QStringLiteral(".copying")).size() > 2 * 1024 * 1024;
            QString busy;
            return psql(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = '%1' AND "
                                       "application_name = 'Velto' AND xact_start IS NOT NULL AND now() - xact_start > "
                                       "interval '300 milliseconds'")
                            .arg(database),
                        &busy)
                && busy == u"1";
        };
        QTRY_VERIFY_WITH_TIMEOUT(midway() || child.state() != QProcess::Running, 60000);
        QCOMPARE(child.state(), QProcess::Running); // killed in the middle, not after
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(30000);

        QVERIFY(!QFile::exists(file));
        if (toServer) {
            // Once the server has noticed its client gone, nothing is left.
            const auto gone = [&] {
                QString n;
                return psql(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = '%1'").arg(database),
                            &n)
                    && n == u"0";
            };
            QTRY_VERIFY_WITH_TIMEOUT(gone(), 20000);
            Connection cn;
            QVERIFY(cn.openForSetup(target));
            QVERIFY(!cn.hasColumn("Transactions", "TrRowId"));
            QVERIFY(!cn.hasColumn("Dbs", "DbId"));
        }
    }

    // A file stores a whole amount as an integer and another as a real: the
    // rows of one statement come with values of either type.
    void aBookWhoseAmountsAreWholeAndFractionalIsCopiedOntoTheServer()
    {
        const QString file = QStringLiteral("Data Source=") + m_box->databasePath();
        QVERIFY(QFile::copy(test::builtTemplatePath(), m_box->databasePath()));
        QFile::setPermissions(m_box->databasePath(), QFile::ReadOwner | QFile::WriteOwner);
        for (const char *value : {"10", "11.25", "-3"})
            QVERIFY(
                Connection::executeAlone(file,
                                         QStringLiteral("INSERT INTO Transactions (TrDbId, TrType, TrDate, TrValue, "
                                                        "TrBalance) VALUES (1, -1, #01/31/2027#, %1, %1)")
                                             .arg(value)));
        QString why;
        const QString server = test::newServerDatabase(&why);
        QVERIFY2(!server.isEmpty(), qPrintable(why));
        const Status st = copyDatabase(file, server);
        QVERIFY2(st, qPrintable(st.message()));
        BookTotals copied;
        QVERIFY(readBookTotals(server, &copied));
        QCOMPARE(copied.perSheet.value(0).valueUnits, qint64(182500));
    }
};

VELTO_TEST_MAIN_WITH_ROLE(tst_ServerFaults, "--copy", 2, copyBook)
#include "tst_serverfaults.moc"
