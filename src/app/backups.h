#pragma once
// Automatic backups of the database file: a consistent copy before every
// command that deletes many deadlines at once and at the first start of
// each day, kept in the user's data folder apart for each database, the
// newest kBackupsKept of each; and the restore of one of them in place of
// the database. A database on a server is backed up by the server's own
// means: for it, making a backup does nothing and succeeds, and there are
// no backups to list.

#include "data/status.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace velto {

inline constexpr int kBackupsKept = 20;
// A backup that could not be made, or a restore that did not happen; the
// message says so in the user's language, the engine's words after it.
inline constexpr int kErrorBackupFailed = 1090;

// userDatabaseFolder()/backups. Tests point it elsewhere here; nothing
// else changes it.
[[nodiscard]] QString backupFolder();
void setBackupFolder(const QString &folder);
// The backups of one database: a subfolder of backupFolder() named from a
// hash of the database file's canonical path, so that every database keeps
// its own; the file "database.txt" in it names the path for people.
[[nodiscard]] QString backupFolderFor(const QString &connectionString);

// True for a database on a server, whose backups are the server's.
[[nodiscard]] bool backedUpByServer(const QString &connectionString);

struct SheetCount {
    QString name;
    qint64 deadlines = 0;
};

struct BackupInfo {
    QString path;
    QDateTime made;
    // The data sheets of the copy, by name; empty when it cannot be read
    // (readable is false then).
    QList<SheetCount> sheets;
    bool readable = true;
};

// Copies the database of the connection string into its backup folder,
// named by the time (velto-yyyy-MM-dd_HH-mm-ss-zzz.mdb; a name another
// program took in the same millisecond moves on by one), then removes the
// oldest of its backups beyond kBackupsKept, never the new one. Only files
// of that name, and copies of ours cut short, are ever removed. Nothing is
// removed when the copy fails. made receives the new file's path.
Status makeBackup(const QString &connectionString, QString *made = nullptr);
// The same, worded for a command that stops because of it: "nothing was
// deleted". Called by every workflow that deletes many deadlines at once.
Status backupBeforeDeleting(const QString &connectionString);
// A backup unless one named with today's date exists already; made tells
// which. A clock set back, or a backup named in the future, makes one
// backup a day as ever.
Status dailyBackup(const QString &connectionString, bool *made = nullptr);

// The database's backups, newest first, with the deadlines per data sheet
// of each.
Status listBackups(const QString &connectionString, QList<BackupInfo> *out);

// Puts the backup in place of the database: the backup is checked (a
// damaged file, or one without every table and column of a Velto database
// in this or an older layout, is refused), copied beside the database with
// its permissions and brought to the current layout; then, under the
// database's exclusive lock, the current file is kept as one more backup
// and the copy is renamed over it: a save another program was told
// succeeded is in that kept backup or in the restored file. On failure
// the database is as it was. Success is announced as a change of the data.
Status restoreBackup(const QString &connectionString, const QString &backupPath);

} // namespace velto
