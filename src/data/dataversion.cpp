#include "data/dataversion.h"

#include "data/connection.h"

#include <QFile>

#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <utility>

namespace velto {

namespace {

// PRAGMA data_version in a read transaction of its own; false while a
// writer holds the file or it cannot be read.
bool readVersion(sqlite3 *db, qint64 *version)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &stmt, nullptr) != SQLITE_OK)
        return false;
    const bool ok = sqlite3_step(stmt) == SQLITE_ROW;
    if (ok)
        *version = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return ok;
}

} // namespace

DataVersionProbe::~DataVersionProbe()
{
    closeHandle();
}

void DataVersionProbe::closeHandle()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    if (m_listener)
        PQfinish(m_listener);
    m_listener = nullptr;
    m_version = -1;
}

void DataVersionProbe::watch(const QString &connectionString)
{
    stop();
    m_connectionString = connectionString;
    m_path = Connection::dataSourceOf(connectionString);
    m_firstLook = true;
    look();
}

void DataVersionProbe::stop()
{
    closeHandle();
    m_connectionString.clear();
    m_path.clear();
    m_seen = false;
}

DataVersionProbe::Look DataVersionProbe::lookAtServer()
{
    const bool first = std::exchange(m_firstLook, false);
    if (m_listener && PQstatus(m_listener) != CONNECTION_OK)
        closeHandle();
    if (!m_listener) {
        Status st;
        m_listener = connectToServer(m_connectionString, &st);
        PGresult *r = m_listener ? PQexec(m_listener, "LISTEN velto_data") : nullptr;
        const bool listening = r && PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!listening) {
            closeHandle();
            return Look::Unknown;
        }
        // Whatever was committed while nobody listened is not known.
        return first ? Look::Unchanged : Look::Changed;
    }
    if (!PQconsumeInput(m_listener)) {
        closeHandle();
        return Look::Unknown;
    }
    bool changed = false;
    while (PGnotify *n = PQnotifies(m_listener)) {
        changed = true;
        PQfreemem(n);
    }
    return changed ? Look::Changed : Look::Unchanged;
}

DataVersionProbe::Look DataVersionProbe::look()
{
    if (isServerLocation(m_connectionString))
        return lookAtServer();
    if (m_path.isEmpty())
        return Look::Unknown;
    const bool first = std::exchange(m_firstLook, false);
    struct stat st { };
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0)
        return Look::Unknown;
    const bool replaced = m_seen && (st.st_dev != m_device || st.st_ino != m_inode);
    if (replaced || !m_db) {
        closeHandle();
        // Never created here: a missing file is the windows' to report.
        if (sqlite3_open_v2(QFile::encodeName(m_path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr)
            != SQLITE_OK) {
            closeHandle();
            return Look::Unknown;
        }
        sqlite3_busy_timeout(m_db, 0);
        m_seen = true;
        m_device = st.st_dev;
        m_inode = st.st_ino;
        if (!readVersion(m_db, &m_version))
            m_version = -1;
        return first ? Look::Unchanged : Look::Changed;
    }
    qint64 version = 0;
    if (!readVersion(m_db, &version))
        return Look::Unknown;
    // Not read since opening (a writer held the file then): it may have
    // committed meanwhile.
    const bool changed = m_version != version;
    m_version = version;
    return changed ? Look::Changed : Look::Unchanged;
}

} // namespace velto
