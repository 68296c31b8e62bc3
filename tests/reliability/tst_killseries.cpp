// A series of 10,000 deadlines written by another process that is killed
// with SIGKILL at random moments: afterwards the file passes SQLite's
// integrity check, the deadlines written before are all there, and the
// series is there whole or not at all.
//
// The test binary plays the writer itself when started with --write-series.

#include "app/mainmod.h"
#include "data/catalogue.h"
#include "deadlines/series.h"
#include "selfprocess.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <cstdio>

#include <signal.h>

using namespace velto;

namespace {

constexpr int kSeriesSize = 10000;
constexpr int kKillsPerRow = 20;
const QString kSentinel = QStringLiteral("written before, must survive");

DeadlineEntry seriesEntry(const QString &description, int count)
{
    return {.type = DeadlineType::Credit,
            .description = description,
            .amount = Currency::fromUnits(10 * Currency::kScale),
            .recurring = true,
            .date = QDate(2027, 1, 1),
            .count = count,
            .cadence = Cadence::Daily};
}

// The writer: says when it starts writing, writes, says when it is done.
int writeSeries(char **args)
{
    test::pointAt(QString::fromLocal8Bit(args[0]));
    test::tell("writing");
    const Status st = InsertDeadlines(app().ConnectionString, app().CurrentDbId,
                                      seriesEntry(QString::fromLocal8Bit(args[1]), kSeriesSize));
    std::fprintf(stderr, "%s\n", qPrintable(st.message()));
    return st ? 0 : 1;
}

qint64 firstNumber(const QString &statement)
{
    const QStringList values = test::column(statement);
    return values.isEmpty() ? -1 : values[0].toLongLong();
}

} // namespace

class tst_KillSeries : public QObject
{
    Q_OBJECT

private:
    // What a kill must leave behind; removes the series again when whole.
    void checkAfterKill(const QString &description, bool finished)
    {
        // A journal left behind means the kill caught the file itself being written.
        if (QFileInfo(m_box->databasePath() + QStringLiteral("-journal")).size() > 0)
            ++m_hotJournals;
        QCOMPARE(test::column(QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
        const QString where = QStringLiteral(" FROM Transactions WHERE TrDescription=");
        QCOMPARE(firstNumber(QStringLiteral("SELECT Count(TrRowId)") + where + sql::text(kSentinel)), qint64(3));
        const QString mine = where + sql::text(description);
        const qint64 rows = firstNumber(QStringLiteral("SELECT Count(TrRowId)") + mine);
        QVERIFY2(rows == 0 || rows == kSeriesSize, qPrintable(QStringLiteral("%1 rows of the series").arg(rows)));
        if (finished)
            QCOMPARE(rows, qint64(kSeriesSize));
        if (rows == kSeriesSize) {
            // whole means numbered whole too
            QCOMPARE(firstNumber(QStringLiteral("SELECT Count(DISTINCT TrGrpRow)") + mine), qint64(kSeriesSize));
            QCOMPARE(firstNumber(QStringLiteral("SELECT Max(TrGrpMDay)") + mine), qint64(kSeriesSize));
            QVERIFY(test::exec(QStringLiteral("DELETE *") + mine));
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
        QProcess child;
        QVERIFY(test::startSelf(
            child, {QStringLiteral("--write-series"), m_box->dataDir(), QStringLiteral("calibration")}, "writing"));
        t.start();
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
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
            // a writer killed that long after it began writing
            QProcess child;
            QVERIFY(
                test::startSelf(child, {QStringLiteral("--write-series"), m_box->dataDir(), description}, "writing"));
            QThread::usleep(quint64(delay));
            if (child.state() == QProcess::Running)
                ::kill(pid_t(child.processId()), SIGKILL);
            child.waitForFinished(30000);
            ++m_kills;
            checkAfterKill(description, child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0);
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

VELTO_TEST_MAIN_WITH_ROLE(tst_KillSeries, "--write-series", 2, writeSeries)

#include "tst_killseries.moc"
