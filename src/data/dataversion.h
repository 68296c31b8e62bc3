#pragma once
// Whether the database file changed since the last look: a commit of any
// other connection (SQLite's data_version, read on a connection kept open
// for it) or another file put in place of it (a restore renames a new file
// over the old one, and the kept connection would go on reading the old
// one). Each look takes the file's shared lock for a moment and reads its
// header only, so it can be asked several times a second. A look never
// waits for a lock and never writes or creates the file.
//
// A server database tells instead: a connection kept for it listens for the
// notice every writing unit of work sends at its commit, and a look reads
// what arrived, without a round trip to the server.

#include <QString>

#include <sys/types.h>

struct sqlite3;
struct pg_conn;

namespace velto {

class DataVersionProbe
{
public:
    enum class Look { Unchanged, Changed, Unknown };

    DataVersionProbe() = default;
    ~DataVersionProbe();
    DataVersionProbe(const DataVersionProbe &) = delete;
    DataVersionProbe &operator=(const DataVersionProbe &) = delete;

    // Looks at the database of this connection string from now on; the
    // first look only takes its measure.
    void watch(const QString &connectionString);
    void stop();
    [[nodiscard]] const QString &connectionString() const { return m_connectionString; }

    // Changed when another connection committed or the file was replaced
    // since the last look; Unknown when the file could not be read this time
    // (missing, locked by a writer, not a database): ask again later.
    Look look();

private:
    void closeHandle();
    Look lookAtServer();

    QString m_connectionString;
    QString m_path;
    sqlite3 *m_db = nullptr;
    pg_conn *m_listener = nullptr;
    bool m_seen = false; // a file was found at the path before
    bool m_firstLook = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    qint64 m_version = -1; // -1: not read since the file was opened
};

} // namespace velto
