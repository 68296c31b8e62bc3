// The one data-changed notice: raised once for any number of this process's
// commits, after the workflow, and within one period for a commit of another
// process, a file put in place of the database or another folder; never
// when nothing changed.

#include "app/datawatcher.h"
#include "app/mainmod.h"
#include "data/connection.h"
#include "selfprocess.h"
#include "testsupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>

using namespace velto;

namespace {

constexpr int kPeriodMs = 100;

// The other process: one statement on the database in this folder.
int writeAsAnotherProcess(char **args)
{
    test::pointAt(QString::fromLocal8Bit(args[0]));
    return test::exec(QString::fromUtf8(args[1])) ? 0 : 1;
}

} // namespace

class TestDataWatcher : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::Sandbox> m_box;

    void writeElsewhere(const char *statement)
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--write", m_box->dataDir(), statement});
        QVERIFY(child.waitForFinished(20000) && child.exitCode() == 0);
    }

private slots:
    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
        dataWatcher().start(kPeriodMs);
    }
    void cleanup() { dataWatcher().stop(); }

    void oneNoticePerChange_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("notices");
        QTest::newRow("idle") << "idle" << 0;
        QTest::newRow("another process commits") << "other" << 1;
        QTest::newRow("three own commits") << "own" << 1;
        QTest::newRow("own write that fails") << "failed" << 0;
        QTest::newRow("file replaced") << "replaced" << 1;
        QTest::newRow("another folder") << "folder" << 1;
    }

    void oneNoticePerChange()
    {
        QFETCH(QString, change);
        QFETCH(int, notices);
        QSignalSpy spy(&dataWatcher(), &DataWatcher::dataChanged);
        if (change == "other") {
            writeElsewhere("INSERT INTO Accounts (AcName) VALUES ('Rossi')");
        } else if (change == "own" || change == "failed") {
            Connection c;
            QVERIFY(c.open(app().ConnectionString));
            for (int i = 0; i < 3; ++i)
                c.transaction([&] {
                    return c.execute(change == "own" ? "INSERT INTO Accounts (AcName) VALUES ('Rossi')"
                                                     : "INSERT INTO Nowhere VALUES (1)");
                });
            // Never inside the workflow: once it has finished, through the event loop.
            QCOMPARE(spy.count(), 0);
        } else if (change == "replaced") {
            const QString copy = m_box->dataDir() + "/copy.mdb";
            QVERIFY(QFile::copy(m_box->databasePath(), copy));
            QCOMPARE(
                std::rename(QFile::encodeName(copy).constData(), QFile::encodeName(m_box->databasePath()).constData()),
                0);
        } else if (change == "folder") {
            const QString other = m_box->path() + "/other";
            QVERIFY(QDir().mkpath(other) && QFile::copy(m_box->databasePath(), other + "/velto.mdb"));
            app().ConnectionString = connectionStringFor(other);
        }
        if (notices > 0)
            QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, 1000);
        QTest::qWait(4 * kPeriodMs);
        QCOMPARE(spy.count(), notices);
    }

    void catchUpDeliversAtOnce()
    {
        QSignalSpy spy(&dataWatcher(), &DataWatcher::dataChanged);
        dataWatcher().stop(); // no tick in between: only catchUp can tell
        dataWatcher().start(60000);
        writeElsewhere("UPDATE Dbs SET DbName = 'Casa'");
        QVERIFY(dataWatcher().catchUp());
        QCOMPARE(spy.count(), 1);
        Connection c;
        QVERIFY(c.open(app().ConnectionString)
                && c.transaction([&] { return c.execute("UPDATE Dbs SET DbName = 'Ufficio'"); }));
        QVERIFY(dataWatcher().catchUp());
        QVERIFY(!dataWatcher().catchUp());
        QTest::qWait(2 * kPeriodMs);
        QCOMPARE(spy.count(), 2);
    }
};

VELTO_TEST_MAIN_WITH_ROLE(TestDataWatcher, "--write", 2, writeAsAnotherProcess)
#include "tst_datawatcher.moc"
