// Choosing the database folder or server, from the Tools menu and after a failed
// start: what is stored machine-wide, what is shown, and that the running
// program keeps its folder until the next start.

#include "app/mainmod.h"
#include "app/networkfolder.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/strings.h"
#include "promptrecorder.h"
#include "testsupport.h"

#include <QScopeGuard>
#include <QtTest>

using namespace velto;
using velto::test::PromptRecorder;

namespace {
quint32 g_probed = 0;

QVariant storedFolder()
{
    return ReadSetting(HKEY_LOCAL_MACHINE, app().SettingsKey, REG_SZ, QLatin1String(kCurDb), QVariant());
}

// The two ways in: the Tools menu item and the start-up failure.
void choose(const QString &path, PromptRecorder &prompts)
{
    if (path == QLatin1String("tools"))
        chooseDatabase(prompts, 1920, 506, 1362);
    else
        frmForFolders::Apri(prompts);
}
} // namespace

class TestDatabaseFolder : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        test::renew(m_box);
        QVERIFY(m_box->createDatabase());
        app().SettingsKey = settingsKeyFor(QStringLiteral("Velto"));
        app().LanguageOffset = 0;
    }

    void chosenFolderIsStoredForTheNextStart_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("prompt");
        QTest::addColumn<int>("done");
        QTest::addColumn<QString>("stored"); // for a server: the address kept, or "" when refused
        QTest::newRow("Tools menu") << "tools"
                                    << "/srv/shared/velto" << 506 << 1362 << "";
        QTest::newRow("Tools menu, folder with one percent sign") << "tools"
                                                                  << "/srv/100%" << 506 << 1362 << "";
        QTest::newRow("start-up failure") << "startup"
                                          << "/media/usb" << 1401 << 1402 << "";
        // An empty folder is the cancelled question: nothing stored, nothing shown.
        QTest::newRow("Tools menu, cancelled") << "tools"
                                               << "" << 506 << 0 << "";
        QTest::newRow("start-up failure, cancelled") << "startup"
                                                     << "" << 1401 << 0 << "";
        // A password typed into a server's address is never written down.
        QTest::newRow("Tools menu, server with a password")
            << "tools"
            << "postgresql://ann:s%40cret@db:5432/velto" << 0 << 1362 << "postgresql://ann@db:5432/velto";
        QTest::newRow("start-up failure, server with a password parameter")
            << "startup"
            << "postgres://db/velto?password=x&sslmode=require" << 0 << 1402 << "postgres://db/velto?sslmode=require";
        QTest::newRow("Tools menu, not a server's address") << "tools"
                                                            << "db.example/velto" << 0 << 1924 << "";
    }

    void chosenFolderIsStoredForTheNextStart()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(int, prompt);
        QFETCH(int, done);
        QFETCH(QString, stored);
        const QString runningFolder = app().DatabaseFolder;
        const QString runningConnection = app().ConnectionString;
        WriteSetting(HKEY_LOCAL_MACHINE, app().SettingsKey, REG_SZ, QLatin1String(kCurDb), QStringLiteral("/old"));
        PromptRecorder prompts;
        prompts.folder = folder;
        if (!prompt) {
            prompts.kindAnswers = {DatabaseKind::Server};
            prompts.textAnswers = {folder};
        }

        choose(path, prompts);

        QCOMPARE(prompts.kindPrompts, QStringList{LoadResString(path == u"tools" ? 1920 : 1927)});
        QCOMPARE(prompts.folderPrompts, prompt ? QStringList{LoadResString(prompt)} : QStringList());
        QCOMPARE(prompts.textPrompts, prompt ? QStringList() : QStringList{LoadResString(1923)});
        if (prompt)
            stored = folder;
        QCOMPARE(storedFolder().toString(), stored.isEmpty() ? QStringLiteral("/old") : stored);
        QCOMPARE(prompts.messages, done ? QStringList{LoadResString(done)} : QStringList());
        // Nothing is reopened while the program runs.
        QCOMPARE(app().DatabaseFolder, runningFolder);
        QCOMPARE(app().ConnectionString, runningConnection);
    }

    // The folder's file system decides; each folder on a network file system is told once, whichever way it comes.
    void networkFolderIsToldOncePerFolder_data()
    {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<bool>("told");
        QTest::newRow("NFS") << 0x6969u << true;
        QTest::newRow("SMB/CIFS") << 0xFF534D42u << true;
        QTest::newRow("sshfs (FUSE)") << 0x65735546u << true;
        QTest::newRow("ext4") << 0xEF53u << false;
        QTest::newRow("tmpfs") << 0x01021994u << false;
    }

    void networkFolderIsToldOncePerFolder()
    {
        QFETCH(quint32, type);
        QFETCH(bool, told);
        QVERIFY(filesystemTypeOf(m_box->dataDir()).has_value());
        g_probed = type;
        setFilesystemProbe([](const QString &) { return std::optional<quint32>(g_probed); });
        const auto probe = qScopeGuard([] { setFilesystemProbe(nullptr); });
        PromptRecorder prompts;
        prompts.folder = QStringLiteral("/srv/shared/velto");

        choose(QStringLiteral("tools"), prompts);
        choose(QStringLiteral("tools"), prompts);
        QCOMPARE(noticeNetworkFolder(prompts, QStringLiteral("/srv/other")), told);
        QVERIFY(!noticeNetworkFolder(prompts, QStringLiteral("/srv/other/")));

        const QString notice = LoadResString(1803).arg(QStringLiteral("/srv/shared/velto"));
        QCOMPARE(prompts.messages.count(notice), told ? 1 : 0);
        QCOMPARE(prompts.messages.size(), told ? 4 : 2);
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
};

QTEST_GUILESS_MAIN(TestDatabaseFolder)
#include "tst_databasefolder.moc"
