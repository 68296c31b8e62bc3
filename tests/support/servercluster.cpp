#include "servercluster.h"

#include "data/connection.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace velto::test {

namespace {

QString binDir()
{
    // Debian keeps each major version's binaries apart; the newest wins.
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    const QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        const QString dir = versions.filePath(*it + QStringLiteral("/bin"));
        if (QFile::exists(dir + QStringLiteral("/initdb")))
            return dir;
    }
    return QString();
}

class Cluster
{
public:
    Cluster()
    {
        m_bin = binDir();
        if (m_bin.isEmpty()) {
            m_why = QStringLiteral("The PostgreSQL server binaries (initdb, pg_ctl) are not installed.");
            return;
        }
        if (!m_dir.isValid()) {
            m_why = QStringLiteral("No temporary folder for the cluster.");
            return;
        }
        QFile::setPermissions(m_dir.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                  | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        QDir().mkpath(dataDir());
        QDir().mkpath(socketDir());
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            if (!nobody || ::chown(QFile::encodeName(dataDir()).constData(), nobody->pw_uid, nobody->pw_gid) != 0
                || ::chown(QFile::encodeName(socketDir()).constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
                m_why = QStringLiteral("The cluster's folder cannot be given to the user nobody.");
                return;
            }
        }
        QString out;
        if (run(QStringLiteral("initdb"),
                {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"), QStringLiteral("velto"), QStringLiteral("-A"),
                 QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--no-locale"),
                 QStringLiteral("--no-sync")},
                &out)
            != 0) {
            m_why = QStringLiteral("initdb failed: ") + out;
            return;
        }
        m_running = start();
    }

    // Starts the server of the cluster made (again, after a test stopped it).
    bool start()
    {
        const QString options = QStringLiteral("-k %1 -c listen_addresses= -c fsync=off -c synchronous_commit=off "
                                               "-c full_page_writes=off -c max_connections=200")
                                    .arg(socketDir());
        QString out;
        if (run(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), dataDir(), QStringLiteral("-o"), options, QStringLiteral("-l"),
                 dataDir() + QStringLiteral("/log"), QStringLiteral("-w"), QStringLiteral("start")},
                &out)
            != 0) {
            m_why = QStringLiteral("The server did not start: ") + out;
            return false;
        }
        return true;
    }
    ~Cluster()
    {
        if (m_running)
            run(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"), QStringLiteral("immediate"),
                 QStringLiteral("stop")});
    }

    int run(const QString &tool, const QStringList &arguments, QString *output = nullptr) const
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        const QString program = m_bin + u'/' + tool;
        if (::geteuid() == 0)
            p.start(QStringLiteral("runuser"),
                    QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), program}
                        + arguments);
        else
            p.start(program, arguments);
        p.waitForFinished(120000);
        if (output)
            *output = QString::fromLocal8Bit(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QString location(const QString &database) const
    {
        return QStringLiteral("postgresql://velto@/%1?host=%2").arg(database, socketDir());
    }

    QString dataDir() const { return m_dir.path() + QStringLiteral("/data"); }
    QString socketDir() const { return m_dir.path() + QStringLiteral("/socket"); }
    bool running() const { return m_running; }
    const QString &why() const { return m_why; }
    int next() { return ++m_databases; }

private:
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/velto-pg-XXXXXX")};
    QString m_bin;
    QString m_why;
    bool m_running = false;
    int m_databases = 0;
};

Cluster &cluster()
{
    static Cluster c;
    return c;
}

} // namespace

bool serverRun()
{
    return qgetenv("VELTO_TEST_ENGINE") == "server";
}

QString newServerDatabase(QString *why)
{
    Cluster &c = cluster();
    if (!c.running()) {
        *why = c.why();
        return QString();
    }
    const QString name = QStringLiteral("book%1_%2").arg(::getpid()).arg(c.next());
    Connection admin;
    Status st = admin.openForSetup(c.location(QStringLiteral("postgres")));
    if (st)
        st = admin.execute(QStringLiteral("CREATE DATABASE %1").arg(name));
    if (!st) {
        *why = QStringLiteral("CREATE DATABASE failed: ") + st.message();
        return QString();
    }
    return c.location(name);
}

QString emptiedServerDatabase(QString *why)
{
    static QString own;
    if (own.isEmpty())
        return own = newServerDatabase(why);
    Connection cn;
    Status st = cn.openForSetup(own);
    if (st)
        st = cn.execute(QStringLiteral("DROP SCHEMA public CASCADE"));
    if (st)
        st = cn.execute(QStringLiteral("CREATE SCHEMA public"));
    if (!st) {
        *why = st.message();
        return QString();
    }
    return own;
}

QString serverSocketDir()
{
    return cluster().socketDir();
}

QString serverDataDir()
{
    return cluster().dataDir();
}

int runServerTool(const QString &tool, const QStringList &arguments, QString *output)
{
    return cluster().run(tool, arguments, output);
}

bool startServerAgain(QString *why)
{
    Cluster &c = cluster();
    if (c.start())
        return true;
    *why = c.why();
    return false;
}

} // namespace velto::test
