// Backups, their rotation, and restores, also when killed or while another
// program saves (the binary plays the other process: --restore, --save,
// --backup, --wal).
#include "app/backups.h"
#include "app/mainmod.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/databasefile.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "deadlines/datasheets.h"
#include "deadlines/deadlinestore.h"
#include "deadlines/purge.h"
#include "deadlines/series.h"
#include "promptrecorder.h"
#include "seed.h"
#include "selfprocess.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <signal.h>
#include <sys/stat.h>

using namespace velto;

namespace {

QString dump(const QString &connectionString = app().ConnectionString)
{
    return test::dumpTables(connectionString);
}

QStringList backupFiles(const QString &cs = app().ConnectionString)
{
    return QDir(backupFolderFor(cs)).entryList({QStringLiteral("velto-*.mdb")}, QDir::Files, QDir::Name);
}

QString fileCs(const QString &path)
{
    return QStringLiteral("Data Source=") + path;
}

int modeOf(const QString &path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Statements run on one connection, opened while the file still is a Velto
// database.
bool rework(const QString &path, const QStringList &statements)
{
    Connection c;
    bool ok = c.open(fileCs(path)).ok();
    for (const QString &s : statements)
        ok = ok && c.execute(s).ok();
    return ok;
}

// The descriptions of every deadline in the file.
QSet<QString> descriptions(const QString &path)
{
    QSet<QString> out;
    Recordset rs;
    if (rs.open(QStringLiteral("SELECT TrDescription FROM Transactions"), fileCs(path), CursorType::Static))
        for (; !rs.eof(); rs.moveNext())
            out << rs.textValue(0);
    return out;
}

const QString kSaved = QStringLiteral("saved ");

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
        test::seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 5), QStringLiteral("closed"), 0, test::money("9"),
                           true);
        test::seedDeadline(2, DeadlineType::Credit, QDate(2027, 1, 6), QStringLiteral("other sheet"), 0,
                           test::money("3"));
        for (int row : {1, 2})
            test::seedDeadline(1, DeadlineType::Credit, QDate(2027, row, 1), QStringLiteral("s"), 0, test::money("1"),
                               false, 7, row, 2);
    }

    void destructiveCommandBacksUpFirst_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("folderWritable");
        const char *commands[] = {"purge of closed deadlines", "deletion of a data sheet",
                                  "deletion of a whole series"};
        for (int c = 0; c < 6; ++c)
            QTest::addRow("%s%s", commands[c % 3], c < 3 ? "" : " refused when the backup folder cannot be written")
                << c % 3 << (c < 3);
    }
    void destructiveCommandBacksUpFirst()
    {
        QFETCH(int, command);
        QFETCH(bool, folderWritable);
        const QString before = dump(), &cs = app().ConnectionString;
        if (!folderWritable)
            QVERIFY(test::writeFile(backupFolder(), "a file where the folder should be"));
        const Status st = command == 0 ? purgeClosedUpTo(cs, 1, QDate(2030, 1, 1), nullptr)
            : command == 1             ? deleteDataSheet(cs, 2, 1)
                                       : deleteSeries(cs, 7);
        QCOMPARE(st.ok(), folderWritable);
        QCOMPARE(dump() == before, !folderWritable);
        QCOMPARE(st.message().startsWith(LoadResString(1690)), !folderWritable);
        QCOMPARE(backupFiles().size(), int(folderWritable));
        if (folderWritable)
            QCOMPARE(dump(fileCs(backupFolderFor(cs) + u'/' + backupFiles()[0])), before);
    }

    // Each database keeps its own backups: its daily one, its rotation, its list.
    void rotationKeepsNewestTwentyAndOneDailyBackupPerDatabase()
    {
        const QString otherDir = m_box->path() + QStringLiteral("/other"), other = connectionStringFor(otherDir);
        QVERIFY(QDir().mkpath(otherDir) && QFile::copy(m_box->databasePath(), otherDir + QStringLiteral("/velto.mdb")));
        bool made = false;
        for (const QString &cs : {app().ConnectionString, other}) {
            QVERIFY(dailyBackup(cs, &made) && made);
            QVERIFY(dailyBackup(cs, &made) && !made);
        }
        QStringList all = backupFiles();
        for (QString path; all.size() < kBackupsKept + 2; all << QFileInfo(path).fileName())
            QVERIFY(makeBackup(app().ConnectionString, &path));
        QCOMPARE(backupFiles(), all.mid(2));
        QList<BackupInfo> list;
        QVERIFY(listBackups(other, &list));
        QCOMPARE(list.size(), 1);
        QCOMPARE(test::readFile(backupFolderFor(other) + QStringLiteral("/database.txt")),
                 QFileInfo(otherDir + QStringLiteral("/velto.mdb")).canonicalFilePath().toUtf8() + '\n');
    }

    // Files of other names, even old ones, and backups named later than
    // today (a clock that was ahead, or is now set back) are left alone, and
    // still one backup a day is made, named by the clock.
    void dailyBackupAndRotationLeaveOtherFilesAlone_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("removed");
        const QString part = QStringLiteral("velto-2020-01-01_00-00-00-000.mdb.4242.part");
        QTest::newRow("other names, and a copy cut short")
            << QStringList{QStringLiteral("holiday.part1.rar"), QStringLiteral("velto-2020-01-01.mdb"),
                           QStringLiteral("velto-2020-01-01_00-00-00-000.mdb.bak"), part,
                           part + QStringLiteral("-journal")}
            << QStringList{part, part + QStringLiteral("-journal")};
        QTest::newRow("a backup named in the future")
            << QStringList{QStringLiteral("velto-2099-01-01_00-00-00-000.mdb")} << QStringList();
        QStringList ahead;
        for (int day = 1; day < kBackupsKept; ++day)
            ahead << QStringLiteral("velto-2099-02-%1_00-00-00-000.mdb").arg(day, 2, 10, QLatin1Char('0'));
        QTest::newRow("a clock set back a century") << ahead << QStringList();
    }
    void dailyBackupAndRotationLeaveOtherFilesAlone()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, removed);
        const QString folder = backupFolderFor(app().ConnectionString);
        QVERIFY(QDir().mkpath(folder));
        for (const QString &name : present) {
            QFile f(folder + u'/' + name);
            QVERIFY(f.open(QIODevice::WriteOnly)
                    && f.setFileTime(QDateTime::currentDateTime().addSecs(-1200), QFile::FileModificationTime));
        }
        int made = 0;
        for (int start = 0; start < 3; ++start) {
            bool one = false;
            QVERIFY(dailyBackup(app().ConnectionString, &one));
            made += one;
        }
        QCOMPARE(made, 1);
        QStringList added = QDir(folder).entryList(QDir::Files);
        for (const QString &name : present) {
            QCOMPARE(added.removeAll(name), qsizetype(!removed.contains(name)));
        }
        added.removeAll(QStringLiteral("database.txt"));
        QCOMPARE(added.size(), 1);
        QVERIFY2(added[0].startsWith(QStringLiteral("velto-") + today().toString(Qt::ISODate) + u'_'),
                 qPrintable(added[0]));
    }

    // Two programs backing up the same database at the same moments.
    void concurrentBackupsAllSucceed()
    {
        const QString go = m_box->path() + QStringLiteral("/go");
        QProcess children[2];
        for (QProcess &c : children)
            QVERIFY(test::startSelf(c, {QStringLiteral("--backup"), m_box->dataDir(), backupFolder(), go}, "ready"));
        QVERIFY(test::writeFile(go, ""));
        for (QProcess &c : children) {
            QVERIFY(c.waitForFinished(60000));
            QVERIFY2(c.exitCode() == 0, c.readAllStandardOutput().constData());
        }
        QCOMPARE(backupFiles().size(), kBackupsKept);
    }

    // Every save another program was told succeeded is in the copy the
    // restore kept of the file it replaced, or in the database afterwards.
    void restoreKeepsEverySaveAnotherProgramWasToldOf()
    {
        QString chosen;
        QVERIFY(makeBackup(app().ConnectionString, &chosen));
        const QString stop = m_box->path() + QStringLiteral("/stop");
        QProcess child;
        QVERIFY(test::startSelf(child, {QStringLiteral("--save"), m_box->dataDir(), stop}, "saving"));
        for (int k = 0; k < 10; ++k) {
            QThread::msleep(40);
            const Status st = restoreBackup(app().ConnectionString, chosen);
            QVERIFY2(st, qPrintable(st.message()));
        }
        QVERIFY(test::writeFile(stop, "") && child.waitForFinished(30000));
        QSet<QString> kept = descriptions(m_box->databasePath());
        for (const QString &name : backupFiles())
            kept |= descriptions(backupFolderFor(app().ConnectionString) + u'/' + name);
        QStringList acked, lost;
        for (const QString &line : QString::fromLatin1(child.readAllStandardOutput()).split(u'\n'))
            if (line.startsWith(kSaved))
                acked << line.mid(kSaved.size());
        for (const QString &d : acked)
            if (!kept.contains(d))
                lost << d;
        QVERIFY2(
            lost.isEmpty(),
            qPrintable(
                QStringLiteral("%1 of %2 saves lost: %3").arg(lost.size()).arg(acked.size()).arg(lost.join(u' '))));
        QVERIFY(acked.size() > 20);
        // The restore keeps the file itself: a connection opened before it
        // writes into the restored database, never into a file no one reads.
        Connection early;
        QVERIFY(early.open(app().ConnectionString) && restoreBackup(app().ConnectionString, chosen));
        QVERIFY(early.execute(sql::createSheet(9, QStringLiteral("late"))));
        QCOMPARE(test::column(QStringLiteral("SELECT DbName FROM Dbs WHERE DbId = 9")), QStringList{"late"});
    }

    // Backups and the restored file keep the database file's permissions.
    void restoreRoundTrip()
    {
        const QString before = dump(), damaged = m_box->path() + QStringLiteral("/damaged.mdb"),
                      &cs = app().ConnectionString;
        QVERIFY(::chmod(QFile::encodeName(m_box->databasePath()).constData(), 0640) == 0);
        QString chosen;
        QVERIFY(makeBackup(cs, &chosen) && deleteSeries(cs, 7));
        const QString after = dump();
        QVERIFY(test::writeFile(damaged, QByteArray(8192, 'x')));
        QVERIFY(!restoreBackup(cs, damaged));
        QCOMPARE(dump(), after);

        QVERIFY(::chmod(QFile::encodeName(m_box->databasePath()).constData(), 0600) == 0);
        QVERIFY(restoreBackup(cs, chosen));
        QCOMPARE(dump(), before);
        QList<BackupInfo> list;
        QVERIFY(listBackups(cs, &list));
        QCOMPARE(list.size(), 3); // the file replaced, before the series' deletion, the chosen one
        QCOMPARE(dump(fileCs(list[0].path)), after);
        QCOMPARE(list[2].sheets.size(), 2); // "Casa" first, by name
        QCOMPARE(list[2].sheets[0].deadlines + 10 * list[2].sheets[1].deadlines, 31);
        QCOMPARE(QList<int>({modeOf(list[2].path), modeOf(list[0].path), modeOf(m_box->databasePath())}),
                 QList<int>({0640, 0600, 0600}));
    }

    // A backup of an older layout works at once after the restore; one in
    // write-ahead-log mode comes back with a rollback journal; a file without
    // every table and column of a Velto database is refused.
    void restoreChecksAndUpgradesTheFile_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<bool>("restores");
        const QString insert = QStringLiteral(
            "INSERT INTO Transactions (TrDbId, TrType, TrDate, TrDescription) VALUES (1, 1, #01/05/2020#, 'old')");
        const QStringList drop = {QStringLiteral("DROP TABLE Transactions"), QStringLiteral("DROP TABLE Accounts"),
                                  QStringLiteral("DROP TABLE Dbs")};
        QTest::newRow("older layout") << QStringList{insert, QStringLiteral("DROP INDEX TrGrpId"),
                                                     QStringLiteral("ALTER TABLE Transactions DROP COLUMN TrGrpId")}
                                      << true;
        QTest::newRow("write-ahead-log mode") << QStringList{insert, QStringLiteral("PRAGMA journal_mode=WAL")} << true;
        QTest::newRow("tables of the three names only") << drop
                + QStringList{QStringLiteral("CREATE TABLE Transactions (TrRowId, TrDbId, TrDate)"),
                              QStringLiteral("CREATE TABLE Accounts (AcId)"),
                              QStringLiteral("CREATE TABLE Dbs (DbId, DbName)")}
                                                        << false;
        QTest::newRow("another program's database")
            << drop + QStringList{QStringLiteral("CREATE TABLE Notes (x)")} << false;
    }
    void restoreChecksAndUpgradesTheFile()
    {
        QFETCH(QStringList, statements);
        QFETCH(bool, restores);
        const QString file = m_box->path() + QStringLiteral("/chosen.mdb"), before = dump(),
                      &cs = app().ConnectionString;
        QVERIFY(createDatabaseFile(file) && rework(file, statements));
        const Status st = restoreBackup(cs, file);
        QVERIFY2(st.ok() == restores, qPrintable(st.message()));
        if (!restores) {
            QCOMPARE(dump(), before);
            QVERIFY(st.message().contains(LoadResString(1820)));
            return;
        }
        QVERIFY(InsertDeadlines(cs, 1, {.description = QStringLiteral("new"), .date = QDate(2027, 1, 1)}));
        QCOMPARE(descriptions(m_box->databasePath()), QSet<QString>({QStringLiteral("old"), QStringLiteral("new")}));
        QCOMPARE(test::column(QStringLiteral("PRAGMA journal_mode")), QStringList{QStringLiteral("delete")});
    }

    // A database another program left in write-ahead-log mode, its log
    // still beside it after a crash: the start opens it, the daily backup
    // holds every deadline, and a copy of it restores.
    void walDatabaseStartsBacksUpAndRestores()
    {
        QProcess child;
        QVERIFY(test::startSelf(child, {QStringLiteral("--wal"), m_box->dataDir()}, "wal")
                && child.waitForFinished(30000));
        QVERIFY(QFileInfo(m_box->databasePath() + QStringLiteral("-wal")).size() > 0);
        WriteSetting(HKEY_LOCAL_MACHINE, settingsKeyFor(QLatin1String(kAppTitle)), REG_SZ, QLatin1String(kCurDb),
                     m_box->dataDir());
        test::PromptRecorder prompts;
        QVERIFY(runStartup(prompts, 0));
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(test::column(QStringLiteral("PRAGMA journal_mode")), QStringList{QStringLiteral("wal")});
        QCOMPARE(test::column(QStringLiteral("SELECT count(*) FROM Transactions")), QStringList{QStringLiteral("404")});
        const QString all = dump(), copy = m_box->path() + QStringLiteral("/copy.mdb");
        QCOMPARE(backupFiles().size(), 1);
        const QString daily = backupFolderFor(app().ConnectionString) + u'/' + backupFiles()[0];
        QCOMPARE(dump(fileCs(daily)), all);
        QCOMPARE(test::readFile(daily).mid(18, 2), QByteArray("\x01\x01")); // a rollback journal
        QVERIFY(QFile::copy(m_box->databasePath(), copy) && test::exec(QStringLiteral("DELETE * FROM Transactions")));
        QVERIFY(restoreBackup(app().ConnectionString, copy));
        QCOMPARE(dump(), all);
        QCOMPARE(test::column(QStringLiteral("PRAGMA journal_mode")), QStringList{QStringLiteral("delete")});
    }

    void killedRestoreLeavesOldOrRestored()
    {
        // The old state A and the restored state B, 10,000 deadlines each.
        const QString b = m_box->path() + QStringLiteral("/b.mdb"), a = m_box->path() + QStringLiteral("/a.mdb");
        QString dumps[2];
        for (int i : {1, 0}) {
            QVERIFY(test::exec(QStringLiteral("DELETE * FROM Transactions")));
            QVERIFY(InsertDeadlines(app().ConnectionString, 1,
                                    {.description = QString::number(i),
                                     .recurring = true,
                                     .date = QDate(2027, 1, 1),
                                     .count = 10000,
                                     .cadence = Cadence::Daily}));
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
            QVERIFY(test::startSelf(child, {QStringLiteral("--restore"), m_box->dataDir(), backupFolder(), b},
                                    "restoring"));
            t.start();
            // Every other kill aims at the swap, which follows the backup of the file replaced.
            while (k % 2 && child.state() == QProcess::Running
                   && backupFiles().value(backupFiles().size() - 1) == newest)
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

// The other process, on the database in folder argv[2].
int playRole(const QByteArray &role, char **argv)
{
    test::pointAt(QString::fromLocal8Bit(argv[2]));
    const QString &cs = app().ConnectionString, arg3 = QString::fromLocal8Bit(argv[3]);
    if (role == "--restore") { // backup folder, backup
        setBackupFolder(arg3);
        test::tell("restoring");
        return restoreBackup(cs, QString::fromLocal8Bit(argv[4])) ? 0 : 1;
    }
    if (role == "--save") { // stop file: saves until it appears, telling each one that succeeded
        test::tell("saving");
        for (int i = 0; i < 3000 && !QFileInfo::exists(arg3); ++i, QThread::usleep(1000))
            if (InsertDeadlines(cs, 1, {.description = QStringLiteral("s%1").arg(i), .date = QDate(2027, 1, 1)}))
                test::tell(qPrintable(kSaved + QStringLiteral("s%1").arg(i)));
        return 0;
    }
    if (role == "--backup") { // backup folder, go file: 15 backups as fast as it can once that appears
        setBackupFolder(arg3);
        test::tell("ready");
        while (!QFileInfo::exists(QString::fromLocal8Bit(argv[4])))
            QThread::usleep(100);
        for (int i = 0; i < 15; ++i)
            if (const Status st = makeBackup(cs); !st)
                return test::tell(qPrintable(st.message())), 1;
        return 0;
    }
    // --wal: 400 deadlines written in write-ahead-log mode, then a crash
    // before the log is copied into the file (a reader open meanwhile keeps
    // the writer from doing so when it closes).
    Connection hold;
    if (!hold.open(cs) || !hold.execute(QStringLiteral("PRAGMA journal_mode=WAL"))
        || !hold.execute(QStringLiteral("BEGIN")) || !hold.execute(QStringLiteral("SELECT count(*) FROM Dbs"))
        || !InsertDeadlines(cs, 1,
                            {.description = QStringLiteral("w"),
                             .recurring = true,
                             .date = QDate(2027, 1, 1),
                             .count = 400,
                             .cadence = Cadence::Daily}))
        return 1;
    test::tell("wal");
    std::_Exit(0);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc >= 3 && QByteArray(argv[1]).startsWith("--") && QByteArray(argv[1]) != "--")
        return playRole(argv[1], argv);
    tst_Backups tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_backups.moc"
