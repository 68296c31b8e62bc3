// An ordinary user, for whom the system's machine-wide settings file is out
// of reach, chooses another database folder (from the Tools menu, or after
// a failed start) and finds it in use at the next start.
//
// The binary runs itself again as that user: as root through setpriv as
// user 65534, otherwise as the same user with the system folder read-only.
// Its settings live in a temporary home; the system file is a temporary one
// named by VELTO_SYSTEM_SETTINGS_DIR, so nothing real is touched.

#include "app/mainmod.h"
#include "app/registry.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/strings.h"
#include "promptrecorder.h"
#include "selfprocess.h"
#include "testsupport.h"
#include "ui/main/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

#include <unistd.h>

using namespace velto;

namespace {

const char *const kAsUser = "--as-user";

QString systemFolderForDatabase()
{
    return qEnvironmentVariable("VELTO_TEST_SYSTEM_DB_FOLDER");
}

} // namespace

class tst_OrdinaryUser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setWritePauseMs(0);
        QVERIFY(!systemMachineFilePath().isEmpty());
        QVERIFY2(::access(QFile::encodeName(QFileInfo(systemMachineFilePath()).path()).constData(), W_OK) != 0,
                 "the system settings folder must be out of this user's reach");
        QVERIFY(m_program.isValid());
        QVERIFY(QFile::copy(test::builtTemplatePath(), m_program.path() + QStringLiteral("/master.gen")));
        setProgramFolder(m_program.path());
    }

    void init() { QFile::remove(hiveFilePath(HKEY_LOCAL_MACHINE)); }

    void chosenFolderIsInUseAfterRestart_data()
    {
        QTest::addColumn<bool>("afterFailedStart");
        QTest::newRow("Tools > Change database in the main window") << false;
        QTest::newRow("folder question after a failed start") << true;
    }

    void chosenFolderIsInUseAfterRestart()
    {
        QFETCH(bool, afterFailedStart);
        const QString systemDb = systemFolderForDatabase() + QStringLiteral("/velto.mdb");
        QFile::remove(systemDb);
        if (afterFailedStart) // given a damaged database in the machine-wide folder
            QVERIFY(test::writeFile(systemDb, QByteArray(4096, 'x')));
        QTemporaryDir chosen(QDir::homePath() + QStringLiteral("/chosen;folder-XXXXXX"));
        QVERIFY(chosen.isValid());
        test::PromptRecorder prompts;
        prompts.folder = chosen.path();
        app() = AppState();

        // when the program starts on the system's folder and the user picks another
        const bool started = runStartup(prompts, 0);
        QCOMPARE(app().DatabaseFolder, systemFolderForDatabase());
        QCOMPARE(started, !afterFailedStart);
        if (started) {
            frmMain w(prompts);
            w.Form_Load();
            w.show();
            w.mnuTools(4)->trigger();
            QVERIFY(w.close());
        }

        QCOMPARE(prompts.messages.last(), LoadResString(afterFailedStart ? 1402 : 1362));
        QCOMPARE(prompts.folderPrompts.size(), 1);
        QVERIFY(QFile::exists(hiveFilePath(HKEY_LOCAL_MACHINE)));

        app() = AppState();
        test::PromptRecorder again;
        QVERIFY(runStartup(again, 0));
        QCOMPARE(again.messages, QStringList());
        QCOMPARE(app().DatabaseFolder, chosen.path());
        QVERIFY(QFileInfo(chosen.path() + QStringLiteral("/velto.mdb")).size() > 0);
    }

private:
    QTemporaryDir m_program{QDir::homePath() + QStringLiteral("/program-XXXXXX")};
};

// Sets up the home, the system folder (holding the machine-wide database
// folder) and runs the tests as the ordinary user.
static int runAsOrdinaryUser(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir base;
    if (!base.isValid())
        return 1;
    const QString home = base.path() + QStringLiteral("/home");
    const QString system = base.path() + QStringLiteral("/system");
    const QString systemDb = base.path() + QStringLiteral("/shared");
    for (const QString &d : {home, system, systemDb})
        QDir().mkpath(d);
    const QString systemFile = system + QStringLiteral("/machine.json");
    const QByteArray before =
        QStringLiteral(R"({"Software\\Kelvorn\\Velto\\Settings": {"appset_curdb": {"type": 1, "data": "%1"}}})")
            .arg(systemDb)
            .toUtf8();
    if (!test::writeFile(systemFile, before))
        return 1;

    const QFile::Permissions readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
        | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    const QFile::Permissions everyone = readable | QFile::WriteGroup | QFile::WriteOther;
    QFile::setPermissions(base.path(), readable);
    QFile::setPermissions(home, everyone);
    QFile::setPermissions(systemDb, everyone);
    QStringList command{QCoreApplication::applicationFilePath(), QLatin1String(kAsUser)};
    for (int i = 1; i < argc; ++i)
        command << QString::fromLocal8Bit(argv[i]);
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty()) {
            std::fputs("running as root without setpriv: an ordinary user cannot be shown\n", stderr);
            return 1;
        }
        command = QStringList{setpriv, QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                              QStringLiteral("--clear-groups")}
            + command;
    } else {
        QFile::setPermissions(system, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("VELTO_SYSTEM_SETTINGS_DIR"), system);
    env.insert(QStringLiteral("VELTO_TEST_SYSTEM_DB_FOLDER"), systemDb);
    env.remove(QStringLiteral("VELTO_SETTINGS_DIR"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(command.takeFirst(), command);
    if (!child.waitForFinished(240000))
        return 1;
    QFile::setPermissions(system, readable);
    if (test::readFile(systemFile) != before) {
        std::fputs("FAIL: the system's settings file was changed\n", stderr);
        return 1;
    }
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

int main(int argc, char *argv[])
{
    if (argc < 2 || std::strcmp(argv[1], kAsUser) != 0)
        return runAsOrdinaryUser(argc, argv);
    // drop our own marker before QtTest reads the arguments
    for (int i = 1; i + 1 < argc; ++i)
        argv[i] = argv[i + 1];
    --argc;
    QApplication app(argc, argv);
    tst_OrdinaryUser tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_ordinaryuser.moc"
