#pragma once
// Automatic backups of the database file: a consistent copy before every
// command that deletes many deadlines at once and at the first start of
// each day, kept in the user's data folder, the newest kBackupsKept of
// them; and the restore of one of them in place of the database.

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

// Copies the database of the connection string into the backup folder,
// then removes the oldest backups beyond kBackupsKept. Nothing is removed
// when the copy fails. made receives the new file's path.
Status makeBackup(const QString &connectionString, QString *made = nullptr);
// The same, worded for a command that stops because of it: "nothing was
// deleted". Called by every workflow that deletes many deadlines at once.
Status backupBeforeDeleting(const QString &connectionString);
// A backup unless one was made today already; made tells which.
Status dailyBackup(const QString &connectionString, bool *made = nullptr);

// The backups, newest first, with the deadlines per data sheet of each.
Status listBackups(QList<BackupInfo> *out);

// Puts the backup in place of the database: the backup is checked and
// copied beside the database, the current file is kept as one more backup,
// and the copy is renamed over the database. On failure the database is
// as it was.
Status restoreBackup(const QString &connectionString, const QString &backupPath);

} // namespace velto
