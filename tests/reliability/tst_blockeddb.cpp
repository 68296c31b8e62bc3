// Writes against a database they cannot change:
// - locked by another process: every write reports the database's message
//   within the busy timeout, nothing of it is kept (not even by the next
//   statement on the same connection), and once the lock is gone the other
//   process's work is there and the write goes through;
// - at start: a file another process holds for writing is reported as in
//   use, never as damaged, and nothing is copied or replaced;
// - a read-only file or folder: every write reports its error and the file
//   stays exactly as it was.
//
// The test binary plays the other process itself (--other): it keeps a lock
// until told to let go, or runs every write once and prints the outcomes
// (as an unprivileged user when the test runs as root, since root writes
// through any permission).

#include "app/mainmod.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/editset.h"
#include "data/recordset.h"
#include "deadlines/series.h"
#include "promptrecorder.h"
#include "selfprocess.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <functional>

#include <sys/prctl.h>
#include <unistd.h>

using namespace velto;

namespace {

constexpr int kBusyMs = 300;
constexpr int kNobody = 65534;
constexpr int kSqliteBusy = 5;

DeadlineEntry entry(const QString &description, int count = 1)
{
    return {.type = DeadlineType::Debit,
            .description = description,
            .amount = Currency::fromUnits(80 * Currency::kScale),
            .recurring = count > 1,
            .date = QDate(2027, 3, 10),
            .count = count};
}

qint64 countWhere(const QString &table, const QString &where)
{
    return test::column(QStringLiteral("SELECT Count(*) FROM %1 WHERE %2").arg(table, where))
        .value(0, QStringLiteral("-1"))
        .toLongLong();
}

qint64 deadlines(const QString &description, const QString &extra = QString())
{
    return countWhere(QStringLiteral("Transactions"),
                      QStringLiteral("TrDescription=") + sql::text(description) + extra);
}

qint64 idOf(const QString &description)
{
    return test::column(QStringLiteral("SELECT TrRowId FROM Transactions WHERE TrDescription=")
                        + sql::text(description))
        .value(0)
        .toLongLong();
}

Status addClient(const QString &name)
{
    Connection conn;
    EditSet set;
    Status st = conn.open(app().ConnectionString);
    if (st && (st = set.open(QLatin1String(sql::kAccountsTable), conn)))
        set.addNew();
    if (st && (st = set.setValue(u"AcName", name)))
        st = set.updateBatch();
    return st;
}

// One write of each kind the program makes, and how to tell it was kept.
struct Write {
    const char *name;
    std::function<Status()> run;
    std::function<bool()> kept;
};

const QList<Write> &writes()
{
    static const QList<Write> all = {
        {"new deadline",
         [] { return InsertDeadlines(app().ConnectionString, app().CurrentDbId, entry(QStringLiteral("new single"))); },
         [] { return deadlines(QStringLiteral("new single")) == 1; }},
        {"new series",
         [] {
             return InsertDeadlines(app().ConnectionString, app().CurrentDbId, entry(QStringLiteral("new series"), 12));
         },
         [] { return deadlines(QStringLiteral("new series")) == 12; }},
        {"deadline closed",
         [] {
             return Connection::executeAlone(app().ConnectionString, sql::toggleDone(idOf(QStringLiteral("to close"))));
         },
         [] { return deadlines(QStringLiteral("to close"), QStringLiteral(" AND TrDone=True")) == 1; }},
        {"client added", [] { return addClient(QStringLiteral("new client")); },
         [] { return countWhere(QStringLiteral("Accounts"), QStringLiteral("AcName='new client'")) == 1; }},
    };
    return all;
}

// The other process: takes the lock, says so, holds it until a line comes
// on its input, then finishes its own work and says so.
int holdLock(const QString &folder, const QByteArray &kind)
{
    test::pointAt(folder);
    Connection conn;
    Status st = conn.open(app().ConnectionString);
    Recordset reader;
    if (st && kind == "reader") {
        // A reader in the middle of a result keeps others from committing.
        st = conn.execute(QStringLiteral("BEGIN"));
        if (st)
            st = reader.open(QStringLiteral("SELECT * FROM Transactions"), conn, CursorType::ForwardOnly);
    } else if (st) {
        st = conn.execute(kind == "exclusive" ? QStringLiteral("BEGIN EXCLUSIVE") : QStringLiteral("BEGIN IMMEDIATE"));
        if (st)
            st = conn.execute(sql::insertSingle(1, 1, QDate(2027, 5, 5), QStringLiteral("the other process's deadline"),
                                                0, Currency::fromUnits(10000), Currency::fromUnits(10000), 0));
    }
    char line[64];
    if (st) {
        test::tell("locked");
        if (!std::fgets(line, sizeof line, stdin))
            return 1;
        reader.close();
        st = conn.execute(QStringLiteral("COMMIT"));
    }
    std::fprintf(stderr, "%s\n", qPrintable(st.message()));
    return st ? 0 : 1;
}

// Runs every write once and prints name, outcome and message, one per line.
int writeAll(const QString &folder)
{
    if (geteuid() == 0) {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) {
            std::fputs("cannot drop to an unprivileged user\n", stderr);
            return 2;
        }
        // Changing user makes the process undumpable, which would keep the
        // leak checker of a sanitizer build from examining it.
        prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
    }
    test::pointAt(folder);
    for (const Write &w : writes()) {
        const Status st = w.run();
        std::printf("%s\t%d\t%s\n", w.name, st.ok() ? 1 : 0, qPrintable(st.message()));
    }
    std::fflush(stdout);
    return 0;
}

// The other process, in the database folder args[0]: args[1] is "write-all"
// or the kind of lock to hold.
int playOther(char **args)
{
    const QString folder = QString::fromLocal8Bit(args[0]);
    return std::strcmp(args[1], "write-all") == 0 ? writeAll(folder) : holdLock(folder, QByteArray(args[1]));
}

} // namespace

class tst_BlockedDatabase : public QObject
{
    Q_OBJECT

private:
    void seed()
    {
        QVERIFY(m_box->createDatabase());
        for (const char *d : {"to close", "bystander"})
            QVERIFY(InsertDeadlines(app().ConnectionString, app().CurrentDbId, entry(QLatin1String(d))));
    }

private slots:
    void init()
    {
        test::renew(m_box);
        setBusyTimeoutMs(kBusyMs);
    }
    void cleanup()
    {
        setBusyTimeoutMs(5000);
        QFile(m_box->dataDir()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void writeToLockedDatabaseReportsAndKeepsNothing_data()
    {
        QTest::addColumn<int>("write");
        QTest::addColumn<QString>("lock");
        for (const char *lock : {"immediate", "exclusive", "reader"})
            for (int i = 0; i < writes().size(); ++i)
                QTest::addRow("%s while another process holds a lock (%s)", writes()[i].name, lock)
                    << i << QString::fromLatin1(lock);
    }
    void writeToLockedDatabaseReportsAndKeepsNothing()
    {
        QFETCH(int, write);
        QFETCH(QString, lock);
        seed();
        const Write *w = &writes()[write];

        const qint64 bystander = idOf(QStringLiteral("bystander"));
        // a connection of our own, open before the lock is taken
        Connection same;
        QVERIFY(same.open(app().ConnectionString));

        QProcess holder;
        QVERIFY2(test::startSelf(holder, {QStringLiteral("--other"), m_box->dataDir(), lock}, "locked"),
                 holder.readAllStandardError().constData());

        // when the write is made, it waits a bounded time and reports the database's message
        QElapsedTimer t;
        t.start();
        const Status st = w->run();
        const qint64 waited = t.elapsed();
        QVERIFY2(!st, "a write to a locked database was reported as saved");
        QCOMPARE(st.code() & 0xff, kSqliteBusy);
        QVERIFY2(st.message().contains(QStringLiteral("locked")), qPrintable(st.message()));
        QVERIFY2(waited < kBusyMs * 2 + 3000, qPrintable(QStringLiteral("waited %1 ms").arg(waited)));
        // and so does a single statement on a connection that stays open
        QVERIFY(!same.execute(sql::toggleDone(bystander)));

        // then, once the other process lets go, its work is there and the refused writes are not,
        // even after the open connection has written again
        holder.write("release\n");
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(holder.exitCode(), 0);
        QVERIFY(same.execute(sql::deleteOne(0)));
        same.close();
        QCOMPARE(deadlines(QStringLiteral("the other process's deadline")),
                 qint64(lock == QLatin1String("reader") ? 0 : 1));
        QVERIFY2(!w->kept(), "the refused write was kept");
        QCOMPARE(deadlines(QStringLiteral("bystander"), QStringLiteral(" AND TrDone=True")), qint64(0));
        const Status again = w->run();
        QVERIFY2(again, qPrintable(again.message()));
        QVERIFY(w->kept());
    }

    void startWhileAnotherProcessHoldsTheFile_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::addColumn<bool>("starts");
        QTest::newRow("a writer that has not yet written lets the program start") << "immediate" << true;
        QTest::newRow("a writer holding the file keeps it out, told as in use") << "exclusive" << false;
    }
    void startWhileAnotherProcessHoldsTheFile()
    {
        QFETCH(QString, lock);
        QFETCH(bool, starts);
        seed();
        const QString key = settingsKeyFor(QLatin1String(kAppTitle));
        WriteSetting(HKEY_LOCAL_MACHINE, key, REG_SZ, QLatin1String(kCurDb), m_box->dataDir());
        QProcess holder;
        QVERIFY2(test::startSelf(holder, {QStringLiteral("--other"), m_box->dataDir(), lock}, "locked"),
                 holder.readAllStandardError().constData());

        test::PromptRecorder prompts;
        prompts.folder = m_box->path() + QStringLiteral("/elsewhere");
        const bool started = runStartup(prompts, 0);

        // then it either starts, or says the file is in use and asks for no other folder
        QCOMPARE(started, starts);
        const QStringList told =
            starts ? QStringList() : QStringList{LoadResString(1540) + QStringLiteral("\r\n") + LoadResString(1358)};
        QCOMPARE(prompts.messages, told);
        QVERIFY(prompts.folderPrompts.isEmpty());
        QCOMPARE(ReadSetting(HKEY_LOCAL_MACHINE, key, REG_SZ, QLatin1String(kCurDb)).toString(), m_box->dataDir());
        // and the file is the same database: the other process's work lands in it
        holder.write("release\n");
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(holder.exitCode(), 0);
        test::pointAt(m_box->dataDir());
        QCOMPARE(deadlines(QStringLiteral("the other process's deadline")), qint64(1));
        QCOMPARE(deadlines(QStringLiteral("bystander")), qint64(1));
        QVERIFY(!QFileInfo::exists(m_box->databasePath() + QStringLiteral(".partial")));
    }

    void writeToReadOnlyDatabaseReportsEveryFailure_data()
    {
        QTest::addColumn<bool>("folderReadOnly");
        QTest::newRow("read-only file in a writable folder") << false;
        QTest::newRow("writable file in a read-only folder") << true;
    }
    void writeToReadOnlyDatabaseReportsEveryFailure()
    {
        QFETCH(bool, folderReadOnly);
        seed();
        // given a file the writer may not change (as root, the writer is an unprivileged user who
        // must reach the folder)
        for (QString p = m_box->dataDir(); geteuid() == 0 && p.startsWith(m_box->path()); p = QFileInfo(p).path())
            QFile(p).setPermissions(QFile(p).permissions() | QFile::ExeOther | QFile::ReadOther);
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        if (folderReadOnly) {
            QFile(m_box->databasePath())
                .setPermissions(readOnly | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther);
            QFile(m_box->dataDir()).setPermissions(readOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
        } else {
            QFile(m_box->databasePath()).setPermissions(readOnly);
        }
        const QByteArray before = test::readFile(m_box->databasePath());

        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--other"), m_box->dataDir(), QStringLiteral("write-all")});
        QVERIFY(writer.waitForFinished(60000));
        QVERIFY2(writer.exitCode() == 0, writer.readAllStandardError().constData());

        // then each one reports its error and none is reported as saved
        const QList<QByteArray> lines = writer.readAllStandardOutput().split('\n');
        int reported = 0;
        for (const QByteArray &line : lines) {
            const QList<QByteArray> parts = line.split('\t');
            if (parts.size() != 3)
                continue;
            ++reported;
            QVERIFY2(parts[1] == "0", (parts[0] + " was reported as saved").constData());
            QVERIFY2(!parts[2].trimmed().isEmpty(), (parts[0] + " failed without a message").constData());
        }
        QCOMPARE(reported, int(writes().size()));
        QCOMPARE(test::readFile(m_box->databasePath()), before);
        QVERIFY(!QFile::exists(m_box->databasePath() + QStringLiteral("-journal")));
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
};

VELTO_TEST_MAIN_WITH_ROLE(tst_BlockedDatabase, "--other", 2, playOther)

#include "tst_blockeddb.moc"
