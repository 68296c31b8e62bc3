#include "app/backups.h"

#include "app/mainmod.h"
#include "app/settings.h"
#include "app/strings.h"
#include "data/connection.h"
#include "data/databasefile.h"
#include "data/recordset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace velto {

namespace {

QString g_backupFolder;

// "velto-2027-01-15_14-30-05-123.mdb": sorting the names sorts by time.
const QString kPrefix = QStringLiteral("velto-");
const QString kSuffix = QStringLiteral(".mdb");
const QString kStampFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz");
// A copy being written; never listed, removed when found.
const QString kPartSuffix = QStringLiteral(".part");

QDateTime stampOf(const QString &fileName)
{
    if (!fileName.startsWith(kPrefix) || !fileName.endsWith(kSuffix))
        return QDateTime();
    return QDateTime::fromString(fileName.mid(kPrefix.size(), fileName.size() - kPrefix.size() - kSuffix.size()),
                                 kStampFormat);
}

// Our backups only, newest first; other files in the folder are left alone.
QStringList backupNames()
{
    QStringList names;
    const QStringList all = QDir(backupFolder()).entryList({kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files);
    for (const QString &name : all)
        if (stampOf(name).isValid())
            names << name;
    std::sort(names.begin(), names.end(), std::greater<>());
    return names;
}

QString connectionStringForFile(QString path)
{
    if (path.contains(u';') || path.contains(u'"') || path.contains(u'\'') || path != path.trimmed())
        path = QLatin1Char('"') + path.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + QLatin1Char('"');
    return QStringLiteral("Data Source=") + path;
}

Status failed(int messageId, const Status &cause)
{
    return Status::failure(kErrorBackupFailed, LoadResString(messageId) + QStringLiteral("\n") + cause.message());
}

// The time in the name is the wall clock's, on the day today() answers, so
// that a forced day (VELTO_TODAY) names and finds its backups too.
QDateTime now() { return QDateTime(today(), QTime::currentTime()); }

Status readSheets(const QString &path, QList<SheetCount> *out)
{
    Recordset rs;
    const Status st = rs.open(QStringLiteral("SELECT Dbs.DbName, Count(Transactions.TrRowId) AS N FROM Dbs LEFT JOIN "
                                             "Transactions ON Transactions.TrDbId = Dbs.DbId "
                                             "GROUP BY Dbs.DbId, Dbs.DbName ORDER BY Dbs.DbName"),
                              connectionStringForFile(path), CursorType::Static);
    if (!st)
        return st;
    for (; !rs.eof(); rs.moveNext())
        out->append({rs.textValue(0), rs.intValue(1)});
    return Status::success();
}

// The whole file read and checked: a backup with a damaged page is never
// put in place of the database.
Status checkBackup(const QString &path)
{
    Recordset rs;
    Status st = rs.open(QStringLiteral("PRAGMA integrity_check"), connectionStringForFile(path), CursorType::Static);
    if (st && (rs.eof() || rs.textValue(0) != QStringLiteral("ok")))
        st = Status::failure(kErrorNotVeltoDatabase, LoadResString(1706));
    return st;
}

} // namespace

QString backupFolder()
{
    return g_backupFolder.isEmpty() ? userDatabaseFolder() + QStringLiteral("/backups") : g_backupFolder;
}

void setBackupFolder(const QString &folder) { g_backupFolder = folder; }

Status makeBackup(const QString &connectionString, QString *made)
{
    const QString folder = backupFolder();
    if (!QDir().mkpath(folder))
        return Status::failure(kErrorBackupFailed, QStringLiteral("Cannot create the folder %1").arg(folder));
    // Two backups in one millisecond still get two names.
    QDateTime stamp = now();
    const QStringList existing = backupNames();
    if (!existing.isEmpty() && stampOf(existing.first()) >= stamp)
        stamp = stampOf(existing.first()).addMSecs(1);
    const QString path = folder + QLatin1Char('/') + kPrefix + stamp.toString(kStampFormat) + kSuffix;
    const QString part = path + kPartSuffix;
    QFile::remove(part);
    QFile::remove(part + QStringLiteral("-journal"));
    Status st = copyDatabaseFile(Connection::dataSourceOf(connectionString), part);
    if (!st)
        return st;
    // Only a whole copy carries a backup's name.
    if (!(st = renameDurably(part, path))) {
        QFile::remove(part);
        return st;
    }
    if (made)
        *made = path;
    const QStringList names = backupNames();
    for (qsizetype i = kBackupsKept; i < names.size(); ++i)
        QFile::remove(folder + QLatin1Char('/') + names[i]);
    // Copies cut short by a crash; one of another instance still being
    // written is younger than this.
    const QDateTime stale = QDateTime::currentDateTime().addSecs(-600);
    for (const QFileInfo &left : QDir(folder).entryInfoList({QLatin1Char('*') + kPartSuffix + QLatin1Char('*')}, QDir::Files))
        if (left.lastModified() < stale)
            QFile::remove(left.filePath());
    return Status::success();
}

Status backupBeforeDeleting(const QString &connectionString)
{
    const Status st = makeBackup(connectionString);
    return st ? st : failed(1690, st);
}

Status dailyBackup(const QString &connectionString, bool *made)
{
    const QStringList names = backupNames();
    const bool todayDone = !names.isEmpty() && stampOf(names.first()).date() == today();
    if (made)
        *made = !todayDone;
    if (todayDone)
        return Status::success();
    const Status st = makeBackup(connectionString);
    return st ? st : failed(1691, st);
}

Status listBackups(QList<BackupInfo> *out)
{
    out->clear();
    const QString folder = backupFolder();
    for (const QString &name : backupNames()) {
        BackupInfo info;
        info.path = folder + QLatin1Char('/') + name;
        info.made = stampOf(name);
        info.readable = readSheets(info.path, &info.sheets).ok();
        out->append(info);
    }
    return Status::success();
}

Status restoreBackup(const QString &connectionString, const QString &backupPath)
{
    const QString dbPath = Connection::dataSourceOf(connectionString);
    Status st = checkBackup(backupPath);
    if (!st)
        return failed(1702, st);
    // The copy is made first: keeping the current file may rotate the
    // chosen backup away when it is the oldest of a full folder.
    const QString prepared = dbPath + QStringLiteral(".restoring");
    QFile::remove(prepared);
    QFile::remove(prepared + QStringLiteral("-journal"));
    if (!(st = copyDatabaseFile(backupPath, prepared)))
        return failed(1702, st);
    if (!(st = makeBackup(connectionString)) || !(st = replaceDatabaseFile(prepared, dbPath))) {
        QFile::remove(prepared);
        return failed(1702, st);
    }
    return Status::success();
}

} // namespace velto
