#include "app/backups.h"

#include "app/mainmod.h"
#include "app/settings.h"
#include "app/strings.h"
#include "data/connection.h"
#include "data/databasefile.h"
#include "data/datachange.h"
#include "data/recordset.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <functional>

namespace velto {

namespace {

QString g_backupFolder;

// "velto-2027-01-15_14-30-05-123.mdb": sorting the names sorts by time.
const QString kPrefix = QStringLiteral("velto-");
const QString kSuffix = QStringLiteral(".mdb");
const QString kStampFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz");
#define VELTO_BACKUP_NAME "velto-\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d-\\d{3}\\.mdb"
// A copy being written, by the process of that id, with the engine's side
// files while it writes; never listed, removed when found old.
const QRegularExpression kPartName(QStringLiteral("^" VELTO_BACKUP_NAME "\\.\\d+\\.part(-journal|-wal|-shm)?$"));
const QRegularExpression kBackupName(QStringLiteral("^" VELTO_BACKUP_NAME "$"));
const QString kPathNote = QStringLiteral("database.txt");

QDateTime stampOf(const QString &fileName)
{
    if (!kBackupName.match(fileName).hasMatch())
        return QDateTime();
    return QDateTime::fromString(fileName.mid(kPrefix.size(), fileName.size() - kPrefix.size() - kSuffix.size()),
                                 kStampFormat);
}

// Our backups only, newest first; other files in the folder are left alone.
QStringList backupNames(const QString &folder)
{
    QStringList names;
    for (const QString &name : QDir(folder).entryList({kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files))
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
QDateTime now()
{
    return QDateTime(today(), QTime::currentTime());
}

QString databasePathOf(const QString &connectionString)
{
    const QFileInfo file(Connection::dataSourceOf(connectionString));
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical;
}

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
    else if (!st && st.code() == kErrorNotVeltoDatabase)
        st = Status::failure(kErrorNotVeltoDatabase, LoadResString(1820));
    return st;
}

// Every table and column of the schema, or an older layout the upgrade
// completes; then the upgrade, so the file works as soon as it is in place.
Status bringToLayout(const QString &path)
{
    Connection c;
    Status st = c.open(connectionStringForFile(path));
    if (st && !(st = c.checkLayout()))
        st =
            Status::failure(kErrorNotVeltoDatabase, LoadResString(1820) + u' ' + LoadResString(1821).arg(st.message()));
    c.close();
    return st ? upgradeLayout(connectionStringForFile(path)) : st;
}

// Writes the path of the database beside its backups, for people looking
// into the folder.
Status notePath(const QString &folder, const QString &dbPath)
{
    const QString note = folder + QLatin1Char('/') + kPathNote;
    const QByteArray text = dbPath.toUtf8() + '\n';
    QFile current(note);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == text)
        return Status::success();
    QSaveFile out(note);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
        return Status::failure(kErrorBackupFailed, QStringLiteral("%1: %2").arg(out.errorString(), note));
    return Status::success();
}

// A new backup of the database, the file written by writeCopy at the path
// it is given; then the rotation.
Status storeBackup(const QString &connectionString, const std::function<Status(const QString &)> &writeCopy,
                   QString *made)
{
    const QString folder = backupFolderFor(connectionString);
    if (!QDir().mkpath(folder))
        return Status::failure(kErrorBackupFailed, QStringLiteral("Cannot create the folder %1").arg(folder));
    Status st = notePath(folder, databasePathOf(connectionString));
    if (!st)
        return st;
    const QString part = folder + QLatin1Char('/') + kPrefix + now().toString(kStampFormat) + kSuffix + u'.'
        + QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".part");
    for (const char *side : {"", "-journal", "-wal", "-shm"})
        QFile::remove(part + QLatin1String(side));
    if (!(st = writeCopy(part)))
        return st;
    // Only a whole copy carries a backup's name, and never one that is taken.
    const QDateTime stamp = now();
    QString path;
    for (int ms = 0; ms < 1000; ++ms) {
        path = folder + QLatin1Char('/') + kPrefix + stamp.addMSecs(ms).toString(kStampFormat) + kSuffix;
        if ((st = renameDurably(part, path)) || !QFileInfo::exists(path))
            break;
    }
    if (!st) {
        QFile::remove(part);
        return st;
    }
    if (made)
        *made = path;
    QStringList others = backupNames(folder);
    others.removeOne(QFileInfo(path).fileName());
    for (qsizetype i = kBackupsKept - 1; i < others.size(); ++i)
        QFile::remove(folder + QLatin1Char('/') + others[i]);
    // Copies cut short by a crash; one of another instance still being
    // written is younger than this.
    const QDateTime stale = QDateTime::currentDateTime().addSecs(-600);
    for (const QFileInfo &left : QDir(folder).entryInfoList(QDir::Files))
        if (kPartName.match(left.fileName()).hasMatch() && left.lastModified() < stale)
            QFile::remove(left.filePath());
    return Status::success();
}

} // namespace

QString backupFolder()
{
    return g_backupFolder.isEmpty() ? userDatabaseFolder() + QStringLiteral("/backups") : g_backupFolder;
}

void setBackupFolder(const QString &folder)
{
    g_backupFolder = folder;
}

QString backupFolderFor(const QString &connectionString)
{
    const QByteArray hash =
        QCryptographicHash::hash(databasePathOf(connectionString).toUtf8(), QCryptographicHash::Sha256);
    return backupFolder() + QLatin1Char('/') + QString::fromLatin1(hash.toHex().left(16));
}

bool backedUpByServer(const QString &connectionString)
{
    return isServerLocation(connectionString);
}

Status makeBackup(const QString &connectionString, QString *made)
{
    if (backedUpByServer(connectionString))
        return Status::success();
    const QString dbPath = Connection::dataSourceOf(connectionString);
    return storeBackup(
        connectionString, [&dbPath](const QString &part) { return copyDatabaseFile(dbPath, part); }, made);
}

Status backupBeforeDeleting(const QString &connectionString)
{
    const Status st = makeBackup(connectionString);
    return st ? st : failed(1690, st);
}

Status dailyBackup(const QString &connectionString, bool *made)
{
    if (made)
        *made = false;
    if (backedUpByServer(connectionString))
        return Status::success();
    const QStringList names = backupNames(backupFolderFor(connectionString));
    const bool todayDone =
        std::any_of(names.begin(), names.end(), [](const QString &n) { return stampOf(n).date() == today(); });
    if (made)
        *made = !todayDone;
    if (todayDone)
        return Status::success();
    const Status st = makeBackup(connectionString);
    return st ? st : failed(1691, st);
}

Status listBackups(const QString &connectionString, QList<BackupInfo> *out)
{
    out->clear();
    if (backedUpByServer(connectionString))
        return Status::success();
    const QString folder = backupFolderFor(connectionString);
    for (const QString &name : backupNames(folder)) {
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
    for (const char *side : {"", "-journal", "-wal", "-shm"})
        QFile::remove(prepared + QLatin1String(side));
    st = copyDatabaseFile(backupPath, prepared);
    if (st && !QFile::setPermissions(prepared, QFile::permissions(dbPath)))
        st = Status::failure(kErrorBackupFailed, QStringLiteral("Cannot set the permissions of %1").arg(prepared));
    if (st)
        st = bringToLayout(prepared);
    if (st) {
        // From here on no other program reads or writes the database until
        // the copy is in its place.
        DatabaseFileLock lock;
        if ((st = lock.lock(dbPath, prepared)))
            st = storeBackup(
                connectionString, [&lock](const QString &part) { return lock.copyTo(part); }, nullptr);
        if (st)
            st = lock.replaceContent();
    }
    // The prepared copy has served either way.
    for (const char *side : {"", "-journal", "-wal", "-shm"})
        QFile::remove(prepared + QLatin1String(side));
    if (!st)
        return failed(1702, st);
    announceDataChange();
    return Status::success();
}

} // namespace velto
