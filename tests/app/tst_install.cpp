// Installs the built program into a temporary prefix and runs it from there.

#include "app/mainmod.h"
#include "app/settings.h"
#include "selfprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

// Runs the installed program until the database appears; the main window
// (when there is one) keeps running and is stopped here.
static bool runUntilFileAppears(const QString &exe, const QProcessEnvironment &env, const QString &file, QString *log,
                                const QStringList &asUser = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (asUser.isEmpty())
        p.start(exe, {});
    else
        p.start(asUser.first(), asUser.mid(1) << exe);
    if (!p.waitForStarted(10000))
        return false;
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && p.state() == QProcess::Running && !QFileInfo::exists(file))
        p.waitForFinished(200);
    if (p.state() == QProcess::Running) {
        QThread::msleep(500); // let the start-up finish what it began
        p.terminate();
        if (!p.waitForFinished(3000)) {
            p.kill();
            p.waitForFinished(3000);
        }
    } else if (p.exitCode() != 0) {
        *log = QString::fromLocal8Bit(p.readAll()) + u" exit %1"_s.arg(p.exitCode());
        return false;
    }
    *log = QString::fromLocal8Bit(p.readAll());
    return QFileInfo(file).size() > 0;
}

class tst_Install : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        install.start(u"cmake"_s, {u"--install"_s, QStringLiteral(VELTO_BUILD_DIR), u"--prefix"_s, m_prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
        m_exe = m_prefix.path() + u"/bin/velto"_s;
        // The installed program folder is read-only, as after a system-wide
        // install; everyone may read and run it, so another user can start it.
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(m_prefix.path(), readOnly | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(m_prefix.path() + u"/bin"_s, readOnly));
        QVERIFY(QFile::setPermissions(m_prefix.path() + u"/share/velto"_s, readOnly));
    }

    void cleanupTestCase()
    {
        const QFile::Permissions rwx = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QFile::setPermissions(m_prefix.path() + u"/bin"_s, rwx);
        QFile::setPermissions(m_prefix.path() + u"/share/velto"_s, rwx);
    }

    void installsEveryFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("executable") << u"bin/velto"_s;
        QTest::newRow("template beside the help files") << u"share/velto/master.gen"_s;
        QTest::newRow("desktop entry") << u"share/applications/velto.desktop"_s;
        QTest::newRow("AppStream metainfo") << u"share/metainfo/com.kelvorn.velto.metainfo.xml"_s;
        QTest::newRow("scalable icon") << u"share/icons/hicolor/scalable/apps/velto.svg"_s;
        for (int s : {16, 32, 48, 64, 128, 256})
            QTest::addRow("icon %d px", s) << QStringLiteral("share/icons/hicolor/%1x%1/apps/velto.png").arg(s);
    }

    void installsEveryFile()
    {
        QFETCH(QString, path);
        const QFileInfo fi(m_prefix.path() + u'/' + path);
        QVERIFY2(fi.isFile() && fi.size() > 0, qPrintable(path));
        if (path.endsWith(u".png"_s)) {
            const int size = path.section(u'/', 3, 3).section(u'x', 0, 0).toInt();
            // The PNG header (IHDR) holds width and height as big-endian words.
            const QByteArray head = velto::test::readFile(fi.filePath()).left(24);
            QCOMPARE(head.left(8), QByteArray("\x89PNG\r\n\x1a\n"));
            QCOMPARE(qFromBigEndian<quint32>(head.constData() + 16), quint32(size));
            QCOMPARE(qFromBigEndian<quint32>(head.constData() + 20), quint32(size));
        }
    }

    void answersCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expectOut");
        QTest::addColumn<QString>("expectErr");
        QTest::newRow("--version") << QStringList{u"--version"_s} << 0 << QStringLiteral("Velto " VELTO_VERSION)
                                   << QString();
        QTest::newRow("--help names the settings and data folders")
            << QStringList{u"--help"_s} << 0 << u"VELTO_SETTINGS_DIR|/data/Kelvorn/Velto"_s << QString();
        QTest::newRow("-h names today's override") << QStringList{u"-h"_s} << 0 << u"VELTO_TODAY"_s << QString();
        QTest::newRow("unknown option") << QStringList{u"--frobnicate"_s} << 2 << QString() << u"Usage: velto"_s;
        QTest::newRow("stray argument") << QStringList{u"file.mdb"_s} << 2 << QString() << u"Usage: velto"_s;
        QTest::newRow("--copy-database needs two locations")
            << QStringList{u"--copy-database"_s, u"/tmp"_s} << 2 << QString() << u"two locations must follow"_s;
    }

    void answersCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, expectOut);
        QFETCH(QString, expectErr);
        QTemporaryDir home;
        QProcessEnvironment env = freshEnvironment(home.path());
        // No window system at all: these must answer before any window is made.
        env.remove(u"QT_QPA_PLATFORM"_s);
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(m_exe, arguments);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), status);
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        for (const QString &part : expectOut.split(u'|', Qt::SkipEmptyParts))
            QVERIFY2(out.contains(part), qPrintable(out));
        if (!expectErr.isEmpty())
            QVERIFY2(err.contains(expectErr), qPrintable(err));
        QVERIFY(!QFileInfo::exists(home.path() + u"/data/Kelvorn/Velto"_s));
    }

    void installedProgramCreatesDatabaseInUserDataFolder()
    {
        QTemporaryDir home;
        const QString programFolder = m_prefix.path() + u"/share/velto"_s;
        const bool root = ::access(QFile::encodeName(programFolder).constData(), W_OK) == 0;
        // As root the read-only folder is writable all the same: the program
        // rightly uses it, which still shows that it found ../share/velto.
        const QString expected = (root ? programFolder : home.path() + u"/data/Kelvorn/Velto"_s) + u"/velto.mdb"_s;
        QString log;
        QVERIFY2(runUntilFileAppears(m_exe, freshEnvironment(home.path()), expected, &log), qPrintable(log));
        QVERIFY(!QFileInfo::exists(m_prefix.path() + u"/bin/velto.mdb"_s));
        QCOMPARE(velto::test::readFile(expected).left(16), QByteArray("SQLite format 3\0", 16));
        if (!root) {
            QVERIFY(!QFileInfo::exists(programFolder + u"/velto.mdb"_s));
            return;
        }
        QVERIFY(QFile::remove(expected));

        // As root, start it once more as an unprivileged user, for whom the
        // program folder really is read-only.
        const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
        if (setpriv.isEmpty())
            QSKIP("running as root without setpriv: the user data folder case cannot be shown");
        QTemporaryDir other;
        QVERIFY(QFile::setPermissions(other.path(), QFile::Permissions(0x7777)));
        const QString userDb = other.path() + u"/data/Kelvorn/Velto/velto.mdb"_s;
        QVERIFY2(runUntilFileAppears(m_exe, freshEnvironment(other.path()), userDb, &log,
                                     {setpriv, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s}),
                 qPrintable(log));
        QVERIFY(!QFileInfo::exists(programFolder + u"/velto.mdb"_s));
    }

    void desktopEntryValidates()
    {
        const QString tool = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
        if (tool.isEmpty())
            QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(tool, {m_prefix.path() + u"/share/applications/velto.desktop"_s});
        QVERIFY(p.waitForFinished(20000));
        const QByteArray out = p.readAll();
        QVERIFY2(p.exitCode() == 0 && out.trimmed().isEmpty(), out.constData());
    }

    void programFolderIsFound_data()
    {
        QTest::addColumn<QString>("templateAt"); // relative to the root, empty for none
        QTest::addColumn<QString>("expected");
        QTest::newRow("build tree: template beside the executable") << u"bin/master.gen"_s << u"bin"_s;
        QTest::newRow("no template anywhere: the executable's folder") << QString() << u"bin"_s;
    }

    void programFolderIsFound()
    {
        QFETCH(QString, templateAt);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.path() + u"/bin"_s));
        if (!templateAt.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(root.path() + u'/' + templateAt).path()));
            QVERIFY(velto::test::writeFile(root.path() + u'/' + templateAt, {}));
        }
        QCOMPARE(velto::programFolderFor(root.path() + u"/bin"_s), root.path() + u'/' + expected);
    }

    void defaultDatabaseFolderFollowsWritability()
    {
        QTemporaryDir root;
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.path() + u"/data"_s));
        const QString userFolder = root.path() + u"/data/Kelvorn/Velto"_s;
        QCOMPARE(velto::userDatabaseFolder(), userFolder);

        velto::setProgramFolder(root.path() + u"/missing"_s);
        QCOMPARE(velto::curDbDefault(), userFolder);
        QVERIFY(!QFileInfo::exists(userFolder)); // created only by the start-up

        // procfs takes no new files, whoever asks, so this holds for root too.
        velto::setProgramFolder(u"/proc/self"_s);
        QCOMPARE(velto::curDbDefault(), userFolder);
    }

private:
    QProcessEnvironment freshEnvironment(const QString &home) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, home);
        env.insert(u"XDG_DATA_HOME"_s, home + u"/data"_s);
        env.insert(u"XDG_CONFIG_HOME"_s, home + u"/config"_s);
        env.insert(u"VELTO_SETTINGS_DIR"_s, home + u"/settings"_s);
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        return env;
    }

    QTemporaryDir m_prefix;
    QString m_exe;
};

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"
