// Backups, their rotation, and restores, also when killed (the binary
// plays the restoring process when started with --restore).
#include "app/backups.h"
#include "app/mainmod.h"
#include "app/strings.h"
#include "data/databasefile.h"
#include "data/recordset.h"
#include "deadlines/datasheets.h"
#include "deadlines/deadlinestore.h"
#include "deadlines/purge.h"
#include "deadlines/series.h"
#include "seed.h"
#include "selfprocess.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <signal.h>

using namespace velto;

namespace {

// Every row of the three tables, as text.
QString dump(const QString &connectionString = app().ConnectionString)
{
    QString out;
    for (const char *table : {"Dbs ORDER BY DbId", "Accounts ORDER BY AcId", "Transactions ORDER BY TrRowId"}) {
        Recordset rs;
        if (!rs.open(QStringLiteral("SELECT * FROM ") + QLatin1String(table), connectionString))
            return QStringLiteral("unreadable");
        for (; !rs.eof(); rs.moveNext(), out += u'\n')
            for (int f = 0; f < rs.fieldCount(); ++f)
                out += rs.value(f).toString() + u'|';
    }
    return out;
}

QStringList backupFiles() { return QDir(backupFolder()).entryList({QStringLiteral("velto-*.mdb")}, QDir::Files, QDir::Name); }

} // namespace

class tst_Backups : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_box.reset();
        m_box.reset(new test::Sandbox);
        QVERIFY(m_box->createDatabase());
        test::seedSheet(2, QStringLiteral("Casa"));
        test::seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 5), QStringLiteral("closed"), 0, test::money("9"), true);
        test::seedDeadline(2, DeadlineType::Credit, QDate(2027, 1, 6), QStringLiteral("other sheet"), 0, test::money("3"));
        for (int row : {1, 2})
            test::seedDeadline(1, DeadlineType::Credit, QDate(2027, row, 1), QStringLiteral("s"), 0, test::money("1"), false, 7, row, 2);
    }

    void destructiveCommandBacksUpFirst_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("folderWritable");
        const char *commands[] = {"purge of closed deadlines", "deletion of a data sheet", "deletion of a whole series"};
        for (int c = 0; c < 6; ++c)
            QTest::addRow("%s%s", commands[c % 3], c < 3 ? "" : " refused when the backup folder cannot be written") << c % 3 << (c < 3);
    }
    void destructiveCommandBacksUpFirst()
    {
        QFETCH(int, command);
        QFETCH(bool, folderWritable);
        const QString before = dump(), &cs = app().ConnectionString;
        if (!folderWritable)
            QVERIFY(test::writeFile(backupFolder(), "a file where the folder should be"));
        const Status st = command == 0 ? purgeClosedUpTo(cs, 1, QDate(2030, 1, 1), nullptr)
                        : command == 1 ? deleteDataSheet(cs, 2, 1) : deleteSeries(cs, 7);
        QCOMPARE(st.ok(), folderWritable);
        QCOMPARE(dump() == before, !folderWritable);
        QCOMPARE(st.message().startsWith(LoadResString(1690)), !folderWritable);
        QCOMPARE(backupFiles().size(), int(folderWritable));
        if (folderWritable)
            QCOMPARE(dump(QStringLiteral("Data Source=") + (backupFolder() + u'/' + backupFiles()[0])), before);
    }

    void rotationKeepsNewestTwentyAndOneDailyBackup()
    {
        bool made = false;
        QVERIFY(dailyBackup(app().ConnectionString, &made) && made);
        QVERIFY(dailyBackup(app().ConnectionString, &made) && !made);
        QStringList all = backupFiles();
        for (QString path; all.size() < kBackupsKept + 2; all << QFileInfo(path).fileName())
            QVERIFY(makeBackup(app().ConnectionString, &path));
        QCOMPARE(backupFiles(), all.mid(2));
    }

    void restoreRoundTrip()
    {
        const QString before = dump(), damaged = m_box->path() + QStringLiteral("/damaged.mdb");
        QString chosen;
        QVERIFY(makeBackup(app().ConnectionString, &chosen) && deleteSeries(app().ConnectionString, 7));
        const QString after = dump();
        QVERIFY(test::writeFile(damaged, QByteArray(8192, 'x')));
        QVERIFY(!restoreBackup(app().ConnectionString, damaged));
        QCOMPARE(dump(), after);

        QVERIFY(restoreBackup(app().ConnectionString, chosen));
        QCOMPARE(dump(), before);
        QList<BackupInfo> list;
        QVERIFY(listBackups(&list));
        QCOMPARE(list.size(), 3); // the file replaced, before the series' deletion, the chosen one
        QCOMPARE(dump(QStringLiteral("Data Source=") + (list[0].path)), after);
        QCOMPARE(list[2].sheets.size(), 2); // "Casa" first, by name
        QCOMPARE(list[2].sheets[0].deadlines + 10 * list[2].sheets[1].deadlines, 31);
    }

    void killedRestoreLeavesOldOrRestored()
    {
        // The old state A and the restored state B, 10,000 deadlines each.
        const QString b = m_box->path() + QStringLiteral("/b.mdb"), a = m_box->path() + QStringLiteral("/a.mdb");
        QString dumps[2];
        for (int i : {1, 0}) {
            QVERIFY(test::seedExec(QStringLiteral("DELETE * FROM Transactions")));
            QVERIFY(InsertDeadlines(app().ConnectionString, 1, {.description = QString::number(i), .recurring = true,
                .date = QDate(2027, 1, 1), .count = 10000, .cadence = Cadence::Daily}));
            QVERIFY(copyDatabaseFile(m_box->databasePath(), i ? b : a));
            dumps[i] = dump();
        }
        QRandomGenerator gen(20270115u);
        double wholeUs = 0; // measured by the first run, which is not killed
        int killedMidway = 0;
        for (int k = -1; k < 20; ++k) {
            QVERIFY(QFile::remove(m_box->databasePath()) && QFile::copy(a, m_box->databasePath()));
            QProcess child;
            QElapsedTimer t;
            const QString newest = backupFiles().value(backupFiles().size() - 1);
            QVERIFY(test::startSelf(child, {QStringLiteral("--restore"), m_box->dataDir(), backupFolder(), b}, "restoring"));
            t.start();
            // Every other kill aims at the swap, which follows the backup of the file replaced.
            while (k % 2 && child.state() == QProcess::Running && backupFiles().value(backupFiles().size() - 1) == newest)
                QThread::usleep(100);
            QThread::usleep(quint64(k % 2 ? gen.bounded(30000) : wholeUs * 1.2 * gen.generateDouble()));
            if (k >= 0)
                ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(30000) && (k >= 0 || child.exitCode() == 0));
            wholeUs = qMax(wholeUs, t.nsecsElapsed() / 1000.0);
            QCOMPARE(test::column(QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
            const QString now = dump();
            QVERIFY2(now == dumps[0] || now == dumps[1], qPrintable(QStringLiteral("kill %1 left a mix").arg(k)));
            QVERIFY(k >= 0 || now == dumps[1]);
            killedMidway += now == dumps[0];
        }
        qInfo("a restore takes %.0f ms; %d of 20 kills left the old file", wholeUs / 1000, killedMidway);
        QVERIFY(killedMidway >= 3); // kills must catch the restore at work, not only after it
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--restore") {
        setWritePauseMs(0);
        setBackupFolder(QString::fromLocal8Bit(argv[3]));
        test::tell("restoring");
        return restoreBackup(connectionStringFor(QString::fromLocal8Bit(argv[2])), QString::fromLocal8Bit(argv[4])) ? 0 : 1;
    }
    tst_Backups tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_backups.moc"
