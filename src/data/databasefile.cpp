#include "data/databasefile.h"

#include "data/connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace velto {

namespace {

Status engineError(sqlite3 *db, int rc, const QString &path)
{
    return Status::failure(rc, QStringLiteral("%1: %2").arg(
        QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)), path));
}

Status systemError(const QString &what, const QString &path)
{
    return Status::failure(SQLITE_IOERR, QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(errno))));
}

// The rename of a file is durable only once its folder is synced.
bool syncFolderOf(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

struct Handle {
    sqlite3 *db = nullptr;
    ~Handle() { sqlite3_close(db); }
};

} // namespace

Status copyDatabaseFile(const QString &sourcePath, const QString &targetPath)
{
    if (QFileInfo::exists(targetPath))
        return Status::failure(SQLITE_CANTOPEN, QStringLiteral("The file exists already: %1").arg(targetPath));
    Handle source, target;
    int rc = sqlite3_open_v2(QFile::encodeName(sourcePath).constData(), &source.db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        return engineError(source.db, rc, sourcePath);
    sqlite3_busy_timeout(source.db, busyTimeoutMs());
    rc = sqlite3_open_v2(QFile::encodeName(targetPath).constData(), &target.db,
                         SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Status st;
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(target.db, "main", source.db, "main");
        if (!backup) {
            rc = sqlite3_errcode(target.db);
        } else {
            // All pages in one step: the copy is one state of the source. A
            // writer holding the file is waited for by the busy timeout, as
            // any statement waits.
            rc = sqlite3_backup_step(backup, -1);
            const int finish = sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE)
                rc = finish;
        }
        if (rc != SQLITE_OK)
            st = engineError(target.db, rc, targetPath);
    } else {
        st = engineError(target.db, rc, targetPath);
    }
    sqlite3_close(target.db);
    target.db = nullptr;
    if (!st) {
        QFile::remove(targetPath);
        QFile::remove(targetPath + QStringLiteral("-journal"));
        return st;
    }
    // The copy's own commit synced its pages; its name is made to last by
    // the rename that gives it its final one.
    return Status::success();
}

Status renameDurably(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to) || !QFile::rename(from, to))
        return systemError(QStringLiteral("Cannot rename to"), to);
    if (!syncFolderOf(to))
        return systemError(QStringLiteral("Cannot sync the folder of"), to);
    return Status::success();
}

Status replaceDatabaseFile(const QString &preparedPath, const QString &dbPath)
{
    Handle old;
    int rc = sqlite3_open_v2(QFile::encodeName(dbPath).constData(), &old.db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        return engineError(old.db, rc, dbPath);
    sqlite3_busy_timeout(old.db, busyTimeoutMs());
    // Taking the lock rolls back a transaction that a crash interrupted,
    // and keeps every other writer out until the new file is in place, so
    // no journal of the old file can appear meanwhile.
    rc = sqlite3_exec(old.db, "BEGIN EXCLUSIVE; SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return engineError(old.db, rc, dbPath);
    for (const char *suffix : {"-journal", "-wal", "-shm"}) {
        const QString side = dbPath + QLatin1String(suffix);
        if (QFileInfo::exists(side) && !QFile::remove(side))
            return systemError(QStringLiteral("Cannot remove"), side);
    }
    if (::rename(QFile::encodeName(preparedPath).constData(), QFile::encodeName(dbPath).constData()) != 0)
        return systemError(QStringLiteral("Cannot rename"), preparedPath);
    syncFolderOf(dbPath);
    // The old file's lock goes with its handle; nothing was written to it.
    sqlite3_exec(old.db, "ROLLBACK", nullptr, nullptr, nullptr);
    return Status::success();
}

} // namespace velto
