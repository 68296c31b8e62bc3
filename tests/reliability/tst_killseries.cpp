// A series of 10,000 deadlines written by another process that is killed
// with SIGKILL at random moments: afterwards the file passes SQLite's
// integrity check, the deadlines written before are all there, and the
// series is there whole or not at all.
//
// The test binary plays the writer itself when started with --write-series.

#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "deadlines/series.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstring>

#include <sys/types.h>
#include <signal.h>

using namespace velto;

namespace {

constexpr int kSeriesSize = 10000;
constexpr int kKillsPerRow = 20;
const QString kSentinel = QStringLiteral("written before, must survive");

DeadlineEntry seriesEntry(const QString &description, int count)
{
    DeadlineEntry e;
    e.type = DeadlineType::Credit;
    e.description = description;
    e.amount = Currency::fromUnits(10 * Currency::kScale);
    e.recurring = true;
    e.date = QDate(2027, 1, 1);
    e.count = count;
    e.cadence = Cadence::Daily;
    return e;
}

// The writer: says when it starts writing, writes, says when it is done.
int writeSeries(const QString &folder, const QString &description)
{
    setWritePauseMs(0);
    app().DatabaseFolder = folder;
    app().ConnectionString = connectionStringFor(folder);
    app().CurrentDbId = 1;
    std::fputs("writing\n", stdout);
    std::fflush(stdout);
    const Status st = InsertDeadlines(app().ConnectionString, app().CurrentDbId, seriesEntry(description, kSeriesSize));
    if (!st) {
        std::fprintf(stderr, "%s\n", qPrintable(st.message()));
        return 1;
    }
    std::fputs("done\n", stdout);
    std::fflush(stdout);
    return 0;
}

QString firstText(const QString &statement, Connection &conn)
{
    Recordset rs;
    const Status st = rs.open(statement, conn, CursorType::ForwardOnly);
    if (!st)
        return st.message();
    return rs.eof() ? QString() : rs.textValue(0);
}

qint64 firstNumber(const QString &statement, Connection &conn)
{
    Recordset rs;
    if (!rs.open(statement, conn, CursorType::ForwardOnly) || rs.eof())
        return -1;
    return rs.intValue(0);
}

struct Outcome {
    bool started = false;
    bool finishedBeforeKill = false;
};

} // namespace

class tst_KillSeries : public QObject
{
    Q_OBJECT

private:
    // Starts a writer and kills it delayUs after it began writing.
    Outcome runAndKill(const QString &description, qint64 delayUs)
    {
        Outcome out;
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QStringLiteral("--write-series"), m_box->dataDir(), description});
        child.start();
        if (!child.waitForStarted(10000))
            return out;
        while (!child.canReadLine() && child.state() == QProcess::Running)
            child.waitForReadyRead(50);
        if (!child.readLine().startsWith("writing"))
            return out;
        out.started = true;
        if (delayUs > 0)
            QThread::usleep(quint64(delayUs));
        if (child.state() == QProcess::Running)
            ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(30000);
        out.finishedBeforeKill = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
        return out;
    }

    // What a kill must leave behind; removes the series again when whole.
    void checkAfterKill(const QString &description, bool finished)
    {
        // A journal left behind means the kill caught the file itself being written.
        if (QFileInfo(m_box->databasePath() + QStringLiteral("-journal")).size() > 0)
            ++m_hotJournals;
        Connection conn;
        const Status st = conn.open(app().ConnectionString);
        QVERIFY2(st, qPrintable(st.message()));
        QCOMPARE(firstText(QStringLiteral("PRAGMA integrity_check"), conn), QStringLiteral("ok"));
        QCOMPARE(firstNumber(QStringLiteral("SELECT Count(TrRowId) FROM Transactions WHERE TrDescription=")
                                 + sql::text(kSentinel), conn),
                 qint64(3));
        const QString mine = QStringLiteral(" FROM Transactions WHERE TrDescription=") + sql::text(description);
        const qint64 rows = firstNumber(QStringLiteral("SELECT Count(TrRowId)") + mine, conn);
        QVERIFY2(rows == 0 || rows == kSeriesSize, qPrintable(QStringLiteral("%1 rows of the series").arg(rows)));
        if (finished)
            QCOMPARE(rows, qint64(kSeriesSize));
        if (rows == kSeriesSize) {
            // whole means numbered whole too
            QCOMPARE(firstNumber(QStringLiteral("SELECT Count(DISTINCT TrGrpRow)") + mine, conn), qint64(kSeriesSize));
            QCOMPARE(firstNumber(QStringLiteral("SELECT Max(TrGrpMDay)") + mine, conn), qint64(kSeriesSize));
            QVERIFY(conn.execute(QStringLiteral("DELETE * FROM Transactions WHERE TrDescription=") + sql::text(description)));
            ++m_completed;
        } else {
            ++m_killedMidWrite;
        }
    }

private slots:
    void initTestCase()
    {
        m_box.reset(new test::Sandbox);
        QVERIFY(m_box->createDatabase());
        QVERIFY(InsertDeadlines(app().ConnectionString, app().CurrentDbId, seriesEntry(kSentinel, 3)));

        // How long a whole series takes here, so that the kills can be spread over it.
        QElapsedTimer t;
        {
            QProcess child;
            child.setProgram(QCoreApplication::applicationFilePath());
            child.setArguments({QStringLiteral("--write-series"), m_box->dataDir(), QStringLiteral("calibration")});
            child.start();
            QVERIFY(child.waitForStarted(10000));
            while (!child.canReadLine() && child.state() == QProcess::Running)
                child.waitForReadyRead(50);
            QVERIFY(child.readLine().startsWith("writing"));
            t.start();
            QVERIFY(child.waitForFinished(60000));
            QCOMPARE(child.exitCode(), 0);
        }
        m_seriesUs = qMax<qint64>(t.nsecsElapsed() / 1000, 1000);
        checkAfterKill(QStringLiteral("calibration"), true);
        m_completed = 0;
        m_killedMidWrite = 0;
        m_hotJournals = 0;
        qInfo("a whole series of %d takes %lld ms", kSeriesSize, m_seriesUs / 1000);
    }

    void killedWriterLeavesAllOrNothing_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        // Fractions of the time a whole series takes, counted from the
        // moment the writer starts.
        QTest::newRow("soon after the transaction opens") << 0.0 << 0.2;
        QTest::newRow("while the rows are written") << 0.2 << 0.8;
        QTest::newRow("around the commit") << 0.8 << 1.2;
    }
    void killedWriterLeavesAllOrNothing()
    {
        QFETCH(double, from);
        QFETCH(double, to);
        QRandomGenerator gen(quint32(from * 1000) + 20271231u);
        for (int k = 0; k < kKillsPerRow; ++k) {
            const QString description = QStringLiteral("series %1 '%2'").arg(QTest::currentDataTag()).arg(k);
            const qint64 delay = qint64(m_seriesUs * (from + (to - from) * gen.generateDouble()));
            const Outcome o = runAndKill(description, delay);
            QVERIFY(o.started);
            ++m_kills;
            checkAfterKill(description, o.finishedBeforeKill);
            if (QTest::currentTestFailed())
                return;
        }
    }

    void cleanupTestCase()
    {
        qInfo("%d kills: %d landed while the series was being written (%d of them left a journal to roll "
              "back), %d after it was whole",
              m_kills, m_killedMidWrite, m_hotJournals, m_completed);
        QVERIFY(m_kills >= 50);
        // most kills must hit the writer at work, or the test proves little
        QVERIFY(m_killedMidWrite >= m_kills / 2);
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
    qint64 m_seriesUs = 0;
    int m_kills = 0;
    int m_killedMidWrite = 0;
    int m_completed = 0;
    int m_hotJournals = 0;
};

int main(int argc, char *argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--write-series") == 0) {
        QCoreApplication app(argc, argv);
        return writeSeries(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    tst_KillSeries tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_killseries.moc"
