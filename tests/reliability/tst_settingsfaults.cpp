// The settings store under faults, as the program meets them:
// - hive files left corrupt start the program on the defaults, and the next
//   write keeps the old file as ".corrupt";
// - a hive that cannot be written makes the folder choice report the
//   store's refusal, and the program goes on;
// - a writer killed in the middle of a write leaves the previous file whole.
//
// The test binary plays the killed writer itself with --write-settings.

#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/strings.h"
#include "promptrecorder.h"
#include "selfprocess.h"
#include "testsupport.h"

#include <QDir>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <signal.h>

using namespace velto;
using velto::test::readFile;
using velto::test::writeFile;

namespace {

const QString kKey = QStringLiteral("Software\\Kelvorn\\Velto\\Settings");
const QString kBig = QStringLiteral("test_big_value");

// The killed writer: each round writes a large text and then a number, both
// carrying the round.
int writeSettings(char **args)
{
    qputenv("VELTO_SETTINGS_DIR", args[0]);
    test::tell("writing");
    const QString filler(50000, u'x');
    // Goes on from the last whole round, so that each round is newer than any on file.
    const int last = ReadSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, QLatin1String(kMeWidth), 0).toInt();
    for (int round = last + 1;; ++round) {
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_SZ, kBig, filler + QString::number(round));
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, QLatin1String(kMeWidth), round);
    }
}

} // namespace

class tst_SettingsFaults : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        test::renew(m_box);
        app() = AppState();
    }
    void corruptHivesStartOnDefaultsAndAreKeptOnNextWrite_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("cut off in the middle")
            << QByteArray("{\"Software\\\\Kelvorn\\\\Velto\\\\Settings\": {\"appset_cursca\": {\"ty");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\x13\x37garbage\x00", 12);
        QTest::newRow("valid JSON of another shape") << QByteArray("{\"appset_intlang\": 6}");
    }
    void corruptHivesStartOnDefaultsAndAreKeptOnNextWrite()
    {
        QFETCH(QByteArray, contents);
        // given both hive files damaged, and a database where the program folder holds it
        const QString user = hiveFilePath(HKEY_CURRENT_USER);
        const QString machine = hiveFilePath(HKEY_LOCAL_MACHINE);
        QVERIFY(writeFile(user, contents));
        QVERIFY(writeFile(machine, contents));
        QVERIFY(QFile::copy(test::builtTemplatePath(), m_box->programDir() + QStringLiteral("/velto.mdb")));

        test::PromptRecorder prompts;
        QVERIFY(runStartup(prompts, 0));
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(app().DatabaseFolder, m_box->programDir());
        QCOMPARE(app().CurrentDbId, 1);
        QCOMPARE(preferences().languageChoice, 0);

        // and the first writes keep each damaged file beside the fresh one
        WriteSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(kIntLang), 3);
        WriteSetting(HKEY_LOCAL_MACHINE, app().SettingsKey, REG_SZ, QLatin1String(kCurDb), m_box->dataDir());
        QCOMPARE(readFile(user + QStringLiteral(".corrupt")), contents);
        QCOMPARE(readFile(machine + QStringLiteral(".corrupt")), contents);
        QCOMPARE(ReadSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(kIntLang)), QVariant(3));
        QCOMPARE(ReadSetting(HKEY_LOCAL_MACHINE, app().SettingsKey, REG_SZ, QLatin1String(kCurDb)),
                 QVariant(m_box->dataDir()));
    }

    void unwritableHiveIsReportedAndTheProgramGoesOn_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("settings folder that takes no files") << "procfs";
        QTest::newRow("hive file is a folder") << "folder";
        QTest::newRow("settings folder below a regular file") << "below file";
    }
    void unwritableHiveIsReportedAndTheProgramGoesOn()
    {
        QFETCH(QString, how);
        if (how == QLatin1String("procfs")) {
            qputenv("VELTO_SETTINGS_DIR", "/proc/self");
        } else if (how == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(hiveFilePath(HKEY_LOCAL_MACHINE)));
        } else {
            QVERIFY(writeFile(m_box->path() + QStringLiteral("/plain"), "x"));
            qputenv("VELTO_SETTINGS_DIR", (m_box->path() + QStringLiteral("/plain/settings")).toLocal8Bit());
        }
        app().SettingsKey = kKey;

        test::PromptRecorder prompts;
        prompts.folder = m_box->dataDir();
        frmForFolders::Apri(prompts);

        // then the store's refusal is shown with its text, and nothing claims the folder was stored
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.messages[0].startsWith(QStringLiteral("Failed to ")), qPrintable(prompts.messages[0]));
        QVERIFY(prompts.messages[0].contains(kKey));
        QCOMPARE(prompts.icons[0], MessageIcon::Critical);
        QCOMPARE(ReadSetting(HKEY_LOCAL_MACHINE, kKey, REG_SZ, QLatin1String(kCurDb), QStringLiteral("none")),
                 QVariant(QStringLiteral("none")));
    }

    void killedWriteLeavesThePreviousFileWhole_data()
    {
        QTest::addColumn<int>("fromMs");
        QTest::addColumn<int>("toMs");
        QTest::newRow("during the first writes") << 0 << 15;
        QTest::newRow("after many writes") << 15 << 150;
    }
    void killedWriteLeavesThePreviousFileWhole()
    {
        QFETCH(int, fromMs);
        QFETCH(int, toMs);
        const QString user = hiveFilePath(HKEY_CURRENT_USER);
        QRandomGenerator gen(quint32(fromMs) + 2027u);
        int lastRound = 0;
        for (int k = 0; k < 15; ++k) {
            QProcess child;
            QVERIFY(test::startSelf(child, {QStringLiteral("--write-settings"), m_box->settingsDir()}, "writing"));
            QThread::usleep(quint64(gen.bounded(fromMs * 1000, toMs * 1000 + 1)));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            // the file is whole JSON whenever it exists, and its two values belong together
            if (!QFile::exists(user))
                continue;
            QVERIFY2(QJsonDocument::fromJson(readFile(user)).isObject(), "the hive file was left broken");
            QVERIFY(!QFile::exists(user + QStringLiteral(".corrupt")));
            const QString big = ReadSetting(HKEY_CURRENT_USER, kKey, REG_SZ, kBig).toString();
            const int width = ReadSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, QLatin1String(kMeWidth), 0).toInt();
            QCOMPARE(big.left(50000), QString(50000, u'x'));
            const int round = big.mid(50000).toInt();
            QVERIFY2(width == round || width == round - 1,
                     qPrintable(QStringLiteral("text of round %1 beside number of round %2").arg(round).arg(width)));
            QVERIFY2(round >= lastRound, "an older round came back");
            lastRound = round;
        }
        QVERIFY2(lastRound > 0, "no write ever completed");
    }

private:
    std::unique_ptr<test::Sandbox> m_box;
};

VELTO_TEST_MAIN_WITH_ROLE(tst_SettingsFaults, "--write-settings", 1, writeSettings)

#include "tst_settingsfaults.moc"
