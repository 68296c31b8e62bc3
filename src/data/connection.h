#pragma once
// One unit of work on the database: opened with the connection string,
// closed at the end. The database is a file (SQLite) or lives on a
// PostgreSQL server; which one is known here and nowhere above. Statements
// come in the program's dialect and are translated on the way into the
// engine's (see sqldialect.h).

#include "data/currency.h"
#include "data/sqldialect.h"
#include "data/status.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <QHash>

#include <functional>
#include <memory>

struct sqlite3;
struct pg_conn;

namespace velto {

class Statement;

// Where a database lives: a folder holding the file, or a PostgreSQL server
// named by a URI as libpq reads it ("postgresql://user@host:port/dbname").
// For a server the location is the connection string itself.
[[nodiscard]] bool isServerLocation(QStringView location);
// The password for a server, kept for this run only and never written
// anywhere; libpq's own sources (~/.pgpass, PGPASSFILE, PGPASSWORD) come
// first.
void setServerPassword(const QString &location, const QString &password);
// Whether a server connection refused or asked for a password.
[[nodiscard]] bool needsPassword(const Status &st);
// Ends the sessions kept open for later units of work (before a server is
// stopped, or a database dropped).
void dropIdleServerSessions();
// A new session with the server, for the data layer's own use (the
// change listener); nullptr and the reason when it cannot be had.
pg_conn *connectToServer(const QString &location, Status *st);

class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // The database file named by "Data Source=" in the connection string.
    static QString dataSourceOf(const QString &connectionString);

    Status open(const QString &connectionString);
    // The same, for a database that may hold none of the program's tables
    // yet (a new server database being set up, a copy's target).
    Status openForSetup(const QString &connectionString);
    void close();
    [[nodiscard]] bool isOpen() const { return m_db != nullptr || m_server != nullptr; }
    [[nodiscard]] bool isServer() const { return m_server != nullptr; }
    [[nodiscard]] Dialect dialect() const { return m_server ? Dialect::PostgreSQL : Dialect::SQLite; }

    // Runs one statement; affected receives the number of rows it changed.
    Status execute(const QString &statement, qint64 *affected = nullptr);
    // One statement as its own unit of work: open, run, close.
    static Status executeAlone(const QString &connectionString, const QString &statement);

    Status beginTrans();
    Status commitTrans();
    Status rollbackTrans();
    [[nodiscard]] bool inTransaction() const { return m_inTransaction; }
    // Reads that must agree with one another (rows and the clients they
    // name) see one state of the database, from the first read until
    // endRead(). Nothing is locked for writing: a file's writers wait only
    // as they wait for any reader, a server's not at all.
    Status beginRead();
    Status endRead();
    // One unit of work: begins, runs work, commits; any failure (of the
    // work or of the commit) rolls everything back and is returned.
    Status transaction(const std::function<Status()> &work);

    [[nodiscard]] qint64 lastInsertId() const;

    // Turns away a file that was cut short or partly overwritten, reading
    // only a few pages: the size its header declares against the file's
    // size, the schema, and the first rows of every table and index. (A
    // check of every page would cost a read of the whole file at every
    // start.) kErrorNotVeltoDatabase, or the engine's error, when it fails.
    Status checkStructure();
    // Turns away a file whose tables lack a table or column of the schema
    // (those the schema upgrade adds may be missing: an older layout).
    // kErrorNotVeltoDatabase with the missing "Table.Column" as message.
    Status checkLayout();
    // True when the table has the column.
    [[nodiscard]] bool hasColumn(const char *table, const char *column);
    // Creates a table of the schema that is not there yet.
    Status createTableIfMissing(QStringView table);

    // The result of a statement, for the data layer's own readers: a
    // statement of its own that outlives other calls on this connection.
    Status query(const QString &statement, Statement *out);
    // reuse: a statement of the same shape asked again and again (a file
    // keeps it prepared); it must be released before the next call.
    Status queryTranslated(const TranslatedSql &t, Statement *out, bool reuse = false);
    // Runs a statement already translated, with its parameters bound.
    Status executeTranslated(const TranslatedSql &t, qint64 *affected = nullptr);
    // The same, for many statements in a row whose results are not needed
    // one by one: a server gets them in one stream, answered together at
    // flushQueued(), the first failure reported there. A file runs each now.
    Status queueTranslated(const TranslatedSql &t);
    Status flushQueued();

private:
    Status prepareLite(const TranslatedSql &t, Statement *out, bool cached);
    Status liteError(int rc) const;
    Status simple(const char *sql);
    // True when the file this connection holds is no longer at its path.
    [[nodiscard]] bool hasMoved() const;

    // The server's side of each step; see serverconnection.cpp.
    Status openServer(const QString &location);
    Status serverQuery(const TranslatedSql &t, Statement *out, qint64 *affected);
    Status serverSimple(const char *sql);
    Status serverQueue(const TranslatedSql &t);
    Status serverBegin();
    Status serverFlush();
    Status serverCheckStructure();
    bool serverHasColumn(const char *table, const char *column);
    [[nodiscard]] qint64 serverLastInsertId() const;
    void closeServer();

    sqlite3 *m_db = nullptr;
    pg_conn *m_server = nullptr;
    QString m_connectionString;
    bool m_inTransaction = false;
    bool m_inRead = false;
    bool m_forSetup = false;
    struct Cache;
    std::unique_ptr<Cache> m_cache;
    QHash<QByteArray, QByteArray> m_serverStatements; // text -> prepared name
    int m_queued = 0;
};

// A statement of the program's dialect translated once and run again and
// again with the values given for its '?' marks, in order: the rows of one
// series differ only in their values, so they share one prepared statement
// and no row is written out as text. Values are bound as the dialect step
// binds the same literals, so a row reads back the same either way.
class BoundStatement
{
public:
    BoundStatement(Connection &conn, const QString &statement);
    BoundStatement &add(qint64 value);
    BoundStatement &add(int value) { return add(qint64(value)); }
    BoundStatement &add(const QString &value);
    // Text already in UTF-8: a value bound on every row is converted once.
    BoundStatement &add(const QByteArray &utf8);
    BoundStatement &add(QChar value) { return add(QString(value)); }
    BoundStatement &add(char16_t value) { return add(QChar(value)); }
    BoundStatement &add(const QDate &value);
    BoundStatement &add(Currency value);
    // Runs with the values added since the last run; then takes new ones.
    Status execute(qint64 *affected = nullptr) { return run(false, affected); }
    // Runs later: a server gets the rows in one stream (see
    // Connection::queueTranslated); flush() waits for them.
    Status queue() { return run(true, nullptr); }
    Status flush() { return m_conn.flushQueued(); }

private:
    Status run(bool queued, qint64 *affected);

    Connection &m_conn;
    TranslatedSql m_statement;
    int m_marks = 0;
};

// How long a statement waits for another process that holds the file
// locked before it reports the database's "locked" message. Tests shorten
// it here; nothing else changes it.
void setBusyTimeoutMs(int ms);
[[nodiscard]] int busyTimeoutMs();

// True when the status is the database's answer that another connection
// holds the data locked: it is there but busy, not damaged.
[[nodiscard]] bool isBusy(const Status &st);

} // namespace velto
