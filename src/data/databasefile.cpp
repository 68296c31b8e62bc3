#include "data/databasefile.h"

#include "data/connection.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velto {

namespace {

Status engineError(sqlite3 *db, int rc, const QString &path)
{
    return Status::failure(
        rc, QStringLiteral("%1: %2").arg(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)), path));
}

Status systemError(const QString &what, const QString &path)
{
    return Status::failure(SQLITE_IOERR,
                           QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(errno))));
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

// The permission bits of a file; owner read and write when it cannot be read.
mode_t modeOf(const QString &path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : S_IRUSR | S_IWUSR;
}

// A new, empty file with exactly these permission bits, whatever the umask:
// a copy of a private database is never readable by others, not even while
// it is written.
int createFile(const QString &path, mode_t mode)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 && ::fchmod(fd, mode) != 0) {
        ::close(fd);
        ::unlink(QFile::encodeName(path).constData());
        return -1;
    }
    return fd;
}

bool execOk(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The first column of a statement's first row, as text; empty on failure.
QByteArray firstText(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *stmt = nullptr;
    QByteArray out;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        out = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    return out;
}

struct OpenDb {
    sqlite3 *db = nullptr;
    ~OpenDb() { sqlite3_close(db); }
};

} // namespace

struct DatabaseFileLock::Handle {
    sqlite3 *db = nullptr;
    ~Handle()
    {
        // Nothing was written through this connection: the rollback only
        // ends the transaction and its lock.
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
};

Status copyDatabaseFile(const QString &sourcePath, const QString &targetPath)
{
    if (QFileInfo::exists(targetPath))
        return Status::failure(SQLITE_CANTOPEN, QStringLiteral("The file exists already: %1").arg(targetPath));
    OpenDb source, target;
    int rc = sqlite3_open_v2(QFile::encodeName(sourcePath).constData(), &source.db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        return engineError(source.db, rc, sourcePath);
    sqlite3_busy_timeout(source.db, busyTimeoutMs());
    const int fd = createFile(targetPath, modeOf(sourcePath));
    if (fd < 0)
        return systemError(QStringLiteral("Cannot create"), targetPath);
    ::close(fd);
    rc = sqlite3_open_v2(QFile::encodeName(targetPath).constData(), &target.db, SQLITE_OPEN_READWRITE, nullptr);
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
        // A source in write-ahead-log mode hands that mode on with its
        // first page; our copies keep the rollback journal.
        if (rc == SQLITE_OK && firstText(target.db, "PRAGMA journal_mode=DELETE") != "delete")
            rc = sqlite3_errcode(target.db) == SQLITE_OK ? SQLITE_BUSY : sqlite3_errcode(target.db);
        if (rc != SQLITE_OK)
            st = engineError(target.db, rc, targetPath);
    } else {
        st = engineError(target.db, rc, targetPath);
    }
    sqlite3_close(target.db);
    target.db = nullptr;
    if (!st) {
        for (const char *side : {"", "-journal", "-wal", "-shm"})
            QFile::remove(targetPath + QLatin1String(side));
        return st;
    }
    // The copy's own commit synced its pages; its name is made to last by
    // the rename that gives it its final one.
    return Status::success();
}

Status renameDurably(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    // One step that fails when the name is taken; where the file system
    // knows no such rename, a hard link does the same, and only where that
    // fails too is the name looked at first.
    int rc = ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)) {
        rc = ::link(source.constData(), target.constData());
        if (rc == 0)
            ::unlink(source.constData());
        else if (errno != EEXIST && !QFileInfo::exists(to))
            rc = ::rename(source.constData(), target.constData());
        else
            errno = EEXIST;
    }
    if (rc != 0)
        return systemError(QStringLiteral("Cannot rename to"), to);
    if (!syncFolderOf(to))
        return systemError(QStringLiteral("Cannot sync the folder of"), to);
    return Status::success();
}

DatabaseFileLock::DatabaseFileLock() = default;
DatabaseFileLock::~DatabaseFileLock() = default;

Status DatabaseFileLock::lock(const QString &dbPath, const QString &sourcePath)
{
    m_handle = std::make_unique<Handle>();
    m_path = dbPath;
    sqlite3 *&db = m_handle->db;
    int rc = sqlite3_open_v2(QFile::encodeName(dbPath).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        return engineError(db, rc, dbPath);
    sqlite3_busy_timeout(db, busyTimeoutMs());
    // In write-ahead-log mode an exclusive transaction keeps out writers
    // only, and committed pages may still lie in the log beside the file.
    // Taking the lock rolls back a transaction that a crash interrupted.
    // The mode is left unchanged, not refused, while another connection
    // has the file open in that mode: then the file is busy.
    if (firstText(db, "PRAGMA journal_mode=DELETE") != "delete")
        return engineError(nullptr, sqlite3_errcode(db) == SQLITE_OK ? SQLITE_BUSY : sqlite3_errcode(db), dbPath);
    // The engine attaches only outside a transaction.
    if (!sourcePath.isEmpty()) {
        sqlite3_stmt *attach = nullptr;
        const QByteArray source = QFile::encodeName(sourcePath);
        rc = sqlite3_prepare_v2(db, "ATTACH DATABASE ? AS src", -1, &attach, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_bind_text(attach, 1, source.constData(), int(source.size()), SQLITE_TRANSIENT);
        if (rc == SQLITE_OK)
            rc = sqlite3_step(attach) == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(db);
        sqlite3_finalize(attach);
        if (rc != SQLITE_OK)
            return engineError(db, rc, sourcePath);
    }
    if (!execOk(db, "BEGIN EXCLUSIVE") || !execOk(db, "SELECT count(*) FROM sqlite_master"))
        return engineError(db, sqlite3_extended_errcode(db), dbPath);
    return Status::success();
}

Status DatabaseFileLock::copyTo(const QString &targetPath)
{
    // Read through the engine's own handle: opening and closing the file
    // once more would drop this process's locks on it.
    sqlite3_file *file = nullptr;
    if (!m_handle || sqlite3_file_control(m_handle->db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file)
        return Status::failure(kErrorNotOpen, QStringLiteral("The database is not locked: %1").arg(m_path));
    sqlite3_int64 size = 0;
    int rc = file->pMethods->xFileSize(file, &size);
    if (rc != SQLITE_OK)
        return engineError(nullptr, rc, m_path);
    const int fd = createFile(targetPath, modeOf(m_path));
    if (fd < 0)
        return systemError(QStringLiteral("Cannot create"), targetPath);
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    bool written = true;
    for (sqlite3_int64 at = 0; rc == SQLITE_OK && written && at < size; at += buffer.size()) {
        const int n = int(qMin<sqlite3_int64>(buffer.size(), size - at));
        rc = file->pMethods->xRead(file, buffer.data(), n, at);
        written = rc == SQLITE_OK && ::write(fd, buffer.constData(), size_t(n)) == n;
    }
    written = written && ::fsync(fd) == 0;
    Status st = rc != SQLITE_OK ? engineError(nullptr, rc, m_path)
        : written               ? Status::success()
                                : systemError(QStringLiteral("Cannot write"), targetPath);
    ::close(fd);
    if (!st)
        QFile::remove(targetPath);
    return st;
}

Status DatabaseFileLock::replaceContent()
{
    if (!m_handle)
        return Status::failure(kErrorNotOpen, QStringLiteral("The database is not locked: %1").arg(m_path));
    sqlite3 *db = m_handle->db;
    // Every table of the program, column by column, inside the transaction
    // that holds the lock: the file keeps its name, its inode and its
    // journal, so a connection another process opened before never finds a
    // stranger's journal beside a file it still holds, and a crash rolls the
    // whole content back. Counters only grow: a key handed out before the
    // restore is never handed out again.
    QByteArrayList statements;
    for (const TableDef &t : schemaTables()) {
        QByteArrayList columns;
        for (const FieldDef &f : t.fields)
            columns << QByteArray(f.name);
        const QByteArray list = columns.join(", ");
        statements << "DELETE FROM main." + QByteArray(t.name)
                   << "INSERT INTO main." + QByteArray(t.name) + " (" + list + ") SELECT " + list + " FROM src."
                + t.name;
    }
    statements << "UPDATE main.sqlite_sequence SET seq = s.seq FROM src.sqlite_sequence AS s"
                  " WHERE s.name = main.sqlite_sequence.name AND s.seq > main.sqlite_sequence.seq"
               << "INSERT INTO main.sqlite_sequence (name, seq) SELECT name, seq FROM src.sqlite_sequence"
                  " WHERE name NOT IN (SELECT name FROM main.sqlite_sequence)"
               << "COMMIT";
    for (const QByteArray &sql : statements) {
        if (!execOk(db, sql.constData()))
            return engineError(db, sqlite3_extended_errcode(db), m_path);
    }
    execOk(db, "DETACH DATABASE src");
    return Status::success();
}

} // namespace velto
