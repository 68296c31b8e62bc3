#include "app/mainmod.h"
#include "app/registry.h"
#include "app/settings.h"
#include "selfprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace velto;

namespace {

const QString kKey = QStringLiteral("Software\\Kelvorn\\Velto\\Settings");

// The stored {type, data} of a value as the file holds it.
QJsonObject storedEntry(const QString &file, const QString &name)
{
    return QJsonDocument::fromJson(test::readFile(file)).object().value(kKey).toObject().value(name).toObject();
}

int storedType(int hive, const QString &name)
{
    return storedEntry(hiveFilePath(hive), name).value(QStringLiteral("type")).toInt(-1);
}

} // namespace

class tst_Registry : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_settings = m_dir->path() + QStringLiteral("/settings");
        qputenv("VELTO_SETTINGS_DIR", m_settings.toLocal8Bit());
        setWritePauseMs(0);
    }

    // Reading an empty store gives the default and writes nothing; the first
    // write creates the folder, file and key path.
    void writtenValueIsStoredByItsTypeAndReadBack_data()
    {
        QTest::addColumn<int>("writeType");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QByteArray>("entry"); // as the file holds it
        QTest::addColumn<int>("readType");
        QTest::addColumn<QVariant>("read");
        const QVariant bytes(QByteArray("\x00\x01\xfe\xff", 4));
        QTest::newRow("DWORD") << REG_DWORD << QVariant(3) << QByteArray(R"({"type":4,"data":3})") << REG_DWORD
                               << QVariant(3);
        // Asked big-endian, stored little-endian, so it still reads as written.
        QTest::newRow("big-endian 16-bit integer")
            << REG_DWORD_BIG_ENDIAN << QVariant::fromValue<short>(-12) << QByteArray(R"({"type":4,"data":-12})")
            << REG_DWORD << QVariant(-12);
        QTest::newRow("single rounds half to even")
            << REG_DWORD << QVariant(2.5f) << QByteArray(R"({"type":4,"data":2})") << REG_DWORD << QVariant(2);
        QTest::newRow("64-bit integer that fits")
            << REG_DWORD << QVariant(qint64(10785)) << QByteArray(R"({"type":4,"data":10785})") << REG_DWORD
            << QVariant(10785);
        QTest::newRow("text read where a number is expected stays text")
            << REG_SZ << QVariant("12") << QByteArray(R"({"type":1,"data":"12"})") << REG_DWORD << QVariant("12");
        // Written by hand (write type 0): read by the type the file names.
        QTest::newRow("big-endian word reads byte-swapped")
            << 0 << QVariant() << QByteArray(R"({"type":5,"data":305419896})") << REG_DWORD
            << QVariant(qint32(0x78563412));
        QTest::newRow("unsigned word reads signed")
            << 0 << QVariant() << QByteArray(R"({"type":4,"data":4294967295})") << REG_DWORD << QVariant(-1);
        QTest::newRow("multi-string keeps each string's NUL")
            << 0 << QVariant() << QByteArray(R"({"type":7,"data":["a","bc"]})") << REG_DWORD
            << QVariant(QString::fromUtf16(u"a\0bc\0", 5));
        QTest::newRow("unknown type reads as bytes") << 0 << QVariant() << QByteArray(R"({"type":11,"data":"00ff10"})")
                                                     << REG_DWORD << QVariant(QByteArray("\x00\xff\x10", 3));
        QTest::newRow("binary as hex") << REG_BINARY << bytes << QByteArray(R"({"type":3,"data":"0001feff"})")
                                       << REG_BINARY << bytes;
    }
    void writtenValueIsStoredByItsTypeAndReadBack()
    {
        QFETCH(int, writeType);
        QFETCH(QVariant, value);
        QFETCH(QByteArray, entry);
        QFETCH(int, readType);
        QFETCH(QVariant, read);
        QCOMPARE(ReadSetting(HKEY_CURRENT_USER, kKey, readType, kMeHeight, 99), QVariant(99));
        QVERIFY(!ReadSetting(HKEY_CURRENT_USER, kKey, readType, kMeHeight).isValid());
        QVERIFY(!QFileInfo::exists(m_settings));
        if (writeType == 0) {
            QVERIFY(QDir().mkpath(m_settings));
            QVERIFY(test::writeFile(hiveFilePath(HKEY_CURRENT_USER),
                                    R"({"Software\\Kelvorn\\Velto\\Settings": {"me_height": )" + entry + "}}"));
        } else {
            WriteSetting(HKEY_CURRENT_USER, kKey, writeType, kMeHeight, value);
        }
        QCOMPARE(storedEntry(hiveFilePath(HKEY_CURRENT_USER), kMeHeight), QJsonDocument::fromJson(entry).object());
        const QVariant got = ReadSetting(HKEY_CURRENT_USER, kKey, readType, kMeHeight);
        QCOMPARE(got, read);
        QCOMPARE(got.typeId(), read.typeId());
        if (writeType == REG_SZ)
            QCOMPARE(NzNum(got, 1), 12.0);
    }

    void textWithPercentPairIsExpandedOnRead_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("read");
        const QString home = QStringLiteral("/srv/tst home");
        QTest::newRow("variable reference expands") << "%TST_VELTO_HOME%/db" << REG_EXPAND_SZ << home + "/db";
        QTest::newRow("adjacent percents stay plain") << "a%%b" << REG_SZ << "a%%b";
        QTest::newRow("unknown name kept as written") << "%TST_VELTO_NONE%" << REG_EXPAND_SZ << "%TST_VELTO_NONE%";
        QTest::newRow("closing percent of a non-name opens the next")
            << "50% of %TST_VELTO_HOME%" << REG_EXPAND_SZ << "50% of " + home;
    }
    void textWithPercentPairIsExpandedOnRead()
    {
        QFETCH(QString, written);
        QFETCH(int, type);
        QFETCH(QString, read);
        qputenv("TST_VELTO_HOME", "/srv/tst home");
        WriteSetting(HKEY_LOCAL_MACHINE, kKey, REG_SZ, kCurDb, written);

        QCOMPARE(storedType(HKEY_LOCAL_MACHINE, kCurDb), type);
        comRegistry reg;
        reg.setClassKey(HKEY_LOCAL_MACHINE);
        reg.setSectionKey(kKey);
        reg.setValueKey(kCurDb);
        reg.setValueType(REG_SZ);
        QCOMPARE(reg.Value(), QVariant(read));
        QCOMPARE(reg.ValueType(), type);
    }

    void dwordWriteOfNonNumberKeepsOldValue_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("Boolean") << QVariant(true);
        QTest::newRow("numeric text") << QVariant(QStringLiteral("7"));
        QTest::newRow("double") << QVariant(7.0);
        QTest::newRow("empty variant") << QVariant();
    }
    void dwordWriteOfNonNumberKeepsOldValue()
    {
        QFETCH(QVariant, value);
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kMeWidth, 9000);
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kMeWidth, value);
        QCOMPARE(ReadSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kMeWidth, kMeWidthDefault), QVariant(9000));
    }

    void corruptFileReadsEmptyAndIsMovedAsideOnWrite_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("number held as text")
            << QByteArray(R"({"Software\\Kelvorn\\Velto\\Settings": {"me_width": {"type": 4, "data": "9000"}}})");
        QTest::newRow("names differing only in case")
            << QByteArray(R"({"Software\\Kelvorn\\Velto\\Settings": {"me_width": {"type": 4, "data": 1},)"
                          R"( "ME_WIDTH": {"type": 4, "data": 2}}})");
    }
    void corruptFileReadsEmptyAndIsMovedAsideOnWrite()
    {
        QFETCH(QByteArray, contents);
        const QString path = hiveFilePath(HKEY_CURRENT_USER);
        QVERIFY(QDir().mkpath(m_settings));
        QVERIFY(test::writeFile(path, contents));
        QVERIFY(test::writeFile(path + ".corrupt", "an older casualty"));

        QCOMPARE(ReadSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kMeWidth, kMeWidthDefault), QVariant(10785));
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kMeHeight, 5000);

        QCOMPARE(test::readFile(path + ".corrupt"), contents);
        QVERIFY(QJsonDocument::fromJson(test::readFile(path)).isObject());
        QCOMPARE(ReadSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kMeHeight), QVariant(5000));
    }

    void refusedWriteRaisesWithDescription_data()
    {
        QTest::addColumn<QString>("settingsDir");
        QTest::addColumn<QString>("description");
        QTest::newRow("folder below a regular file cannot be created")
            << "file/settings"
            << "Failed to create registry Key: 'Software\\Kelvorn\\Velto\\Settings";
        // procfs takes no new files, whoever asks (a read-only folder would not stop root).
        QTest::newRow("folder that takes no new files")
            << "/proc/self"
            << "Failed to set registry value Key: '-2147483647',Section: "
               "'Software\\Kelvorn\\Velto\\Settings',Key: 'appset_intlang' to value: '3'";
    }
    void refusedWriteRaisesWithDescription()
    {
        QFETCH(QString, settingsDir);
        QFETCH(QString, description);
        QVERIFY(test::writeFile(m_dir->path() + "/file", "x"));
        if (!settingsDir.startsWith('/'))
            settingsDir = m_dir->path() + '/' + settingsDir;
        qputenv("VELTO_SETTINGS_DIR", settingsDir.toLocal8Bit());

        try {
            WriteSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kIntLang, 3);
            QFAIL("the write was not refused");
        } catch (const RegistryError &e) {
            QCOMPARE(e.number, 26001);
            QCOMPARE(e.description, description);
            QCOMPARE(e.source, QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".comRegistry");
        }
    }

    void unusableAddressOrTypeRaisesOnWrite_data()
    {
        QTest::addColumn<int>("hive");
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("no such hive") << 0 << REG_DWORD << QVariant(3);
        QTest::newRow("multi-string is not writable") << HKEY_CURRENT_USER << REG_MULTI_SZ << QVariant("a");
        QTest::newRow("binary needs bytes") << HKEY_CURRENT_USER << REG_BINARY << QVariant("a");
        QTest::newRow("number too wide for a DWORD") << HKEY_CURRENT_USER << REG_DWORD << QVariant(qint64(1) << 40);
    }
    void unusableAddressOrTypeRaisesOnWrite()
    {
        QFETCH(int, hive);
        QFETCH(int, type);
        QFETCH(QVariant, value);
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kGroupOpt, 2);
        QVERIFY_THROWS_EXCEPTION(RegistryError, WriteSetting(hive, kKey, type, kGroupOpt, value));
        QCOMPARE(ReadSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kGroupOpt), QVariant(2));
        QCOMPARE(ReadSetting(hive, kKey, REG_DWORD, QStringLiteral("other"), 9), QVariant(9));
    }

    void writesKeepOtherValuesAndHivesApart()
    {
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_SZ, kCurDb, QStringLiteral("/home/u/db"));
        WriteSetting(HKEY_LOCAL_MACHINE, kKey, REG_SZ, kCurDb, QStringLiteral("/srv/velto"));
        WriteSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kMeMaximized, 0);
        // Names match regardless of case, as registry names do.
        WriteSetting(HKEY_CURRENT_USER, kKey.toUpper(), REG_DWORD, QStringLiteral("ME_MAXIMIZED"), 2);

        QCOMPARE(ReadSetting(HKEY_CURRENT_USER, kKey, REG_SZ, kCurDb), QVariant("/home/u/db"));
        QCOMPARE(ReadSetting(HKEY_LOCAL_MACHINE, kKey, REG_SZ, kCurDb), QVariant("/srv/velto"));
        QCOMPARE(ReadSetting(HKEY_CURRENT_USER, kKey, REG_DWORD, kMeMaximized), QVariant(2));
        QCOMPARE(storedType(HKEY_CURRENT_USER, kMeMaximized), REG_DWORD);
        QVERIFY(!ReadSetting(HKEY_LOCAL_MACHINE, kKey, REG_DWORD, kMeMaximized).isValid());
    }

    void machineValueComesFromTheUsersStoreFirst_data()
    {
        QTest::addColumn<QString>("systemHolds"); // appset_curdb in the system file beforehand, empty for none
        QTest::addColumn<QString>("userHolds");   // in the user's machine store beforehand
        QTest::addColumn<QString>("systemAfter");
        QTest::addColumn<QString>("userAfter");
        QTest::newRow("system file writable: the write goes there") << "/srv/old"
                                                                    << ""
                                                                    << "/srv/new"
                                                                    << "";
        QTest::newRow("user's store already holds the value: it keeps taking the writes") << "/srv/old"
                                                                                          << "/home/mine"
                                                                                          << "/srv/old"
                                                                                          << "/srv/new";
    }
    void machineValueComesFromTheUsersStoreFirst()
    {
        QFETCH(QString, systemHolds);
        QFETCH(QString, userHolds);
        QFETCH(QString, systemAfter);
        QFETCH(QString, userAfter);
        const QString systemDir = m_dir->path() + "/system";
        QVERIFY(QDir().mkpath(m_settings));
        auto hold = [](const QString &file, const QString &folder) {
            QVERIFY(test::writeFile(file,
                                    QStringLiteral(R"({"%1": {"appset_curdb": {"type": 1, "data": "%2"}}})")
                                        .arg(QString(kKey).replace("\\", "\\\\"), folder)
                                        .toUtf8()));
        };
        if (!systemHolds.isEmpty()) {
            QVERIFY(QDir().mkpath(systemDir));
            hold(systemDir + "/machine.json", systemHolds);
        }
        if (!userHolds.isEmpty())
            hold(hiveFilePath(HKEY_LOCAL_MACHINE), userHolds);
        qputenv("VELTO_SYSTEM_SETTINGS_DIR", systemDir.toLocal8Bit());
        const QString before = userHolds.isEmpty() ? systemHolds : userHolds;
        QCOMPARE(ReadSetting(HKEY_LOCAL_MACHINE, kKey, REG_SZ, kCurDb, "dflt").toString(),
                 before.isEmpty() ? QStringLiteral("dflt") : before);

        WriteSetting(HKEY_LOCAL_MACHINE, kKey, REG_SZ, kCurDb, QStringLiteral("/srv/new"));

        qunsetenv("VELTO_SYSTEM_SETTINGS_DIR");
        QCOMPARE(systemMachineFilePath(), QString()); // a settings folder of one's own hides the system file
        const auto stored = [](const QString &file) {
            return storedEntry(file, QLatin1String(kCurDb)).value(QLatin1String("data")).toString();
        };
        QCOMPARE(stored(systemDir + "/machine.json"), systemAfter);
        QCOMPARE(stored(hiveFilePath(HKEY_LOCAL_MACHINE)), userAfter);
        qputenv("VELTO_SYSTEM_SETTINGS_DIR", systemDir.toLocal8Bit());
        QCOMPARE(ReadSetting(HKEY_LOCAL_MACHINE, kKey, REG_SZ, kCurDb).toString(), QStringLiteral("/srv/new"));
        qunsetenv("VELTO_SYSTEM_SETTINGS_DIR");
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_settings;
};

QTEST_GUILESS_MAIN(tst_Registry)
#include "tst_registry.moc"
