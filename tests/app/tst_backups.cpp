// Backups before the commands that delete many deadlines at once, their
// rotation, and the restore of one, also when the restoring process is
// killed at random moments. The binary plays that process itself when
// started with --restore.

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

#include <cstring>

#include <signal.h>

using namespace velto;

namespace {

QString fileDb(const QString &path) { return QStringLiteral("Data Source=") + path; }

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

QStringList backupFiles()
{
    return QDir(backupFolder()).entryList({QStringLiteral("velto-*.mdb")}, QDir::Files, QDir::Name);
}

void series(const QString &description, int count)
{
    QVERIFY(InsertDeadlines(app().ConnectionString, 1, {.description = description, .amount = test::money("12.5"),
                                                       .recurring = true, .date = QDate(2027, 1, 1), .count = count,
                                                       .cadence = Cadence::Daily}));
}

int restoreChild(const QStringList &args)
{
    setWritePauseMs(0);
    app().ConnectionString = connectionStringFor(args[0]);
    setBackupFolder(args[1]);
    test::tell("restoring");
    return restoreBackup(app().ConnectionString, args[2]) ? 0 : 1;
}

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
        test::seedDeadline(1, DeadlineType::Credit, QDate(2027, 2, 1), QStringLiteral("s1"), 0, test::money("1"), false, 7, 1, 2);
        test::seedDeadline(1, DeadlineType::Credit, QDate(2027, 3, 1), QStringLiteral("s2"), 0, test::money("1"), false, 7, 2, 2);
    }

    void destructiveCommandBacksUpFirst_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("folderWritable");
        for (bool writable : {true, false}) {
            const char *how = writable ? "" : " refused when the backup folder cannot be written";
            QTest::addRow("purge of closed deadlines%s", how) << 0 << writable;
            QTest::addRow("deletion of a data sheet%s", how) << 1 << writable;
            QTest::addRow("deletion of a whole series%s", how) << 2 << writable;
        }
    }
    void destructiveCommandBacksUpFirst()
    {
        QFETCH(int, command);
        QFETCH(bool, folderWritable);
        const QString before = dump();
        if (!folderWritable)
            QVERIFY(test::writeFile(backupFolder(), "a file where the folder should be"));
        const QString &cs = app().ConnectionString;
        const Status st = command == 0 ? purgeClosedUpTo(cs, 1, QDate(2030, 1, 1), nullptr)
                        : command == 1 ? deleteDataSheet(cs, 2, 1) : deleteSeries(cs, 7);
        if (!folderWritable) {
            QCOMPARE(st.code(), kErrorBackupFailed);
            QVERIFY2(st.message().startsWith(LoadResString(1690)), qPrintable(st.message()));
            QCOMPARE(dump(), before);
            return;
        }
        QVERIFY2(st, qPrintable(st.message()));
        QVERIFY(dump() != before);
        QCOMPARE(backupFiles().size(), 1);
        QCOMPARE(dump(fileDb(backupFolder() + u'/' + backupFiles()[0])), before);
    }

    void rotationKeepsNewestTwentyAndOneDailyBackup()
    {
        bool made = false;
        QVERIFY(dailyBackup(app().ConnectionString, &made) && made);
        QVERIFY(dailyBackup(app().ConnectionString, &made) && !made);
        QStringList all = backupFiles();
        for (int i = 0; i < kBackupsKept + 1; ++i) {
            QString path;
            QVERIFY(makeBackup(app().ConnectionString, &path));
            all << QFileInfo(path).fileName();
        }
        QCOMPARE(backupFiles(), all.mid(2));
    }

    void restoreRoundTrip()
    {
        const QString before = dump();
        QString chosen;
        QVERIFY(makeBackup(app().ConnectionString, &chosen));
        QVERIFY(deleteSeries(app().ConnectionString, 7));
        const QString after = dump();
        QVERIFY(test::writeFile(m_box->path() + QStringLiteral("/damaged.mdb"), QByteArray(8192, 'x')));
        QCOMPARE(restoreBackup(app().ConnectionString, m_box->path() + QStringLiteral("/damaged.mdb")).code(),
                 kErrorBackupFailed);
        QCOMPARE(dump(), after);

        QVERIFY(restoreBackup(app().ConnectionString, chosen));
        QCOMPARE(dump(), before);
        QList<BackupInfo> list;
        QVERIFY(listBackups(&list));
        QCOMPARE(list.size(), 3); // before, before the series' deletion, the file replaced
        QCOMPARE(dump(fileDb(list[0].path)), after);
        QCOMPARE(list[2].sheets.size(), 2);
        QCOMPARE(list[2].sheets[0].name, QStringLiteral("Casa"));
        QCOMPARE(list[2].sheets[0].deadlines, 1);
        QCOMPARE(list[2].sheets[1].deadlines, 3);
    }

    void killedRestoreLeavesOldOrRestored()
    {
        // The restored state B and the old state A, each 10,000 deadlines.
        series(QStringLiteral("B"), 10000);
        const QString restored = m_box->path() + QStringLiteral("/b.mdb"), old = m_box->path() + QStringLiteral("/a.mdb");
        QVERIFY(copyDatabaseFile(m_box->databasePath(), restored));
        const QString dumpB = dump();
        QVERIFY(test::seedExec(QStringLiteral("DELETE * FROM Transactions WHERE TrDescription='B'")));
        series(QStringLiteral("A"), 10000);
        QVERIFY(copyDatabaseFile(m_box->databasePath(), old));
        const QString dumpA = dump();
        const QStringList args{QStringLiteral("--restore"), m_box->dataDir(), backupFolder(), restored};

        QElapsedTimer t;
        QProcess child;
        QVERIFY(test::startSelf(child, args, "restoring"));
        t.start();
        QVERIFY(child.waitForFinished(30000) && child.exitCode() == 0);
        const qint64 wholeUs = qMax<qint64>(t.nsecsElapsed() / 1000, 1000);
        QCOMPARE(dump(), dumpB);

        QRandomGenerator gen(20270115u);
        int killedMidway = 0;
        for (int k = 0; k < 20; ++k) {
            QVERIFY(QFile::remove(m_box->databasePath()) && QFile::copy(old, m_box->databasePath()));
            QVERIFY(test::startSelf(child, args, "restoring"));
            QThread::usleep(quint64(wholeUs * 1.2 * gen.generateDouble()));
            if (child.state() == QProcess::Running)
                ::kill(pid_t(child.processId()), SIGKILL);
            child.waitForFinished(30000);
            QCOMPARE(test::column(QStringLiteral("PRAGMA integrity_check")), QStringList{QStringLiteral("ok")});
            const QString now = dump();
            QVERIFY2(now == dumpA || now == dumpB, qPrintable(QStringLiteral("kill %1: a mix").arg(k)));
            killedMidway += child.exitStatus() == QProcess::CrashExit;
        }
        qInfo("a restore takes %lld ms; %d of 20 kills caught it at work", wholeUs / 1000, killedMidway);
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "--restore") == 0)
        return restoreChild(QCoreApplication::arguments().mid(2));
    tst_Backups tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_backups.moc"
