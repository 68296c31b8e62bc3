#include "testsupport.h"

#include "app/backups.h"
#include "app/mainmod.h"
#include "data/connection.h"
#include "data/recordset.h"

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
