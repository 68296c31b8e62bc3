#include "testsupport.h"

#include "app/backups.h"
#include "app/mainmod.h"
#include "data/connection.h"
#include "data/copydatabase.h"
#include "data/recordset.h"
#include "servercluster.h"

#include <QDir>
#include <QFile>

namespace velto::test {

QString builtTemplatePath()
{
    return QStringLiteral(VELTO_PROGRAM_DIR_FOR_TESTS "/master.gen");
}

Sandbox::Sandbox()
{
    QDir().mkpath(settingsDir());
    QDir().mkpath(programDir());
    QDir().mkpath(dataDir());
    QFile::copy(builtTemplatePath(), programDir() + QStringLiteral("/master.gen"));
    qputenv("VELTO_SETTINGS_DIR", settingsDir().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (path() + QStringLiteral("/config")).toLocal8Bit());
    setProgramFolder(programDir());
    setBackupFolder(backupDir());
    setWritePauseMs(0);
}

Sandbox::~Sandbox()
{
    setProgramFolder(QString());
    // Only its own: a sandbox made before this one went is in charge then.
    if (backupFolder() == backupDir())
        setBackupFolder(QString());
}

bool Sandbox::createDatabase()
{
    if (serverRun()) {
        // The same book on the suite's server: the template's rows in a new
        // database of the throwaway cluster.
        QString why;
        const QString location = emptiedServerDatabase(&why);
        const Status st = location.isEmpty() ? Status::failure(kErrorServerUnreachable, why)
                                             : setUpServerDatabase(location, builtTemplatePath());
        if (!st) {
            qWarning("No server database: %s", qPrintable(st.message()));
            return false;
        }
        app().DatabaseFolder = location;
        app().ConnectionString = location;
        app().CurrentDbId = 1;
        return true;
    }
    QFile::remove(databasePath());
    if (!QFile::copy(builtTemplatePath(), databasePath()))
        return false;
    QFile(databasePath()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    app().DatabaseFolder = dataDir();
    app().ConnectionString = connectionStringFor(dataDir());
    app().CurrentDbId = 1;
    return true;
}

bool exec(const QString &statement)
{
    const Status st = Connection::executeAlone(app().ConnectionString, statement);
    if (!st)
        qWarning("%s in %s", qPrintable(st.message()), qPrintable(statement));
    return st.ok();
}

bool refuseWrites(const QString &event, const QString &condition, const QString &message)
{
    static int made = 0;
    const QString name = QStringLiteral("refuse%1").arg(++made);
    if (isServerLocation(app().ConnectionString)) {
        return exec(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                                   "$$BEGIN RAISE EXCEPTION '%2'; END$$")
                        .arg(name, message))
            && exec(
                   QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON Transactions FOR EACH ROW %3 EXECUTE FUNCTION %1()")
                       .arg(name, event, condition.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(condition)));
    }
    return exec(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON Transactions %3 BEGIN SELECT RAISE(ABORT, '%4'); END")
                    .arg(name, event, condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition, message));
}

QStringList column(const QString &statement)
{
    QStringList values;
    Recordset rs;
    if (rs.open(statement, app().ConnectionString))
        for (; !rs.eof(); rs.moveNext())
            values << rs.value(0).toString();
    return values;
}

QString dumpTables(const QString &connectionString)
{
    QString out;
    for (const char *table : {"Dbs ORDER BY DbId", "Accounts ORDER BY AcId", "Transactions ORDER BY TrRowId"}) {
        Recordset rs;
        if (!rs.open(QStringLiteral("SELECT * FROM ") + QLatin1String(table), connectionString, CursorType::Static))
            return QStringLiteral("unreadable");
        for (; !rs.eof(); rs.moveNext(), out += u'\n')
            for (int f = 0; f < rs.fieldCount(); ++f)
                out += QLatin1String(rs.value(f).typeName()) + u':' + rs.value(f).toString() + u'|';
    }
    return out;
}

} // namespace velto::test
