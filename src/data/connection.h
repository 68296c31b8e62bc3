#pragma once
// One unit of work on the database file: opened with the connection string,
// closed at the end. Statements come in the program's dialect and are
// translated on the way (see sqldialect.h).

#include "data/currency.h"
#include "data/sqldialect.h"
#include "data/status.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace velto {

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
    void close();
    [[nodiscard]] bool isOpen() const { return m_db != nullptr; }

    // Runs one statement; affected receives the number of rows it changed.
    Status execute(const QString &statement, qint64 *affected = nullptr);
    // One statement as its own unit of work: open, run, close.
    static Status executeAlone(const QString &connectionString, const QString &statement);

    Status beginTrans();
    Status commitTrans();
    Status rollbackTrans();
    [[nodiscard]] bool inTransaction() const { return m_inTransaction; }
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

    // For the data layer's own classes.
    [[nodiscard]] sqlite3 *handle() const { return m_db; }
    // A prepared statement for the text, with its literals bound. Statements
    // of the same shape are prepared once per connection. The statement
    // stays owned by the connection; reset it when done.
    Status prepare(const QString &statement, sqlite3_stmt **stmt);
    // A statement of its own for a result set that outlives other calls;
    // the caller finalizes it.
    Status prepareOwned(const QString &statement, sqlite3_stmt **stmt);
    [[nodiscard]] Status lastError(int rc) const;
    // Runs a statement already translated, with its parameters bound.
    Status executeTranslated(const TranslatedSql &t, qint64 *affected = nullptr);

private:
    Status prepareTranslated(const TranslatedSql &t, sqlite3_stmt **stmt, bool cached);
    Status simple(const char *sql);
    // True when the file this connection holds is no longer at its path.
    [[nodiscard]] bool hasMoved() const;

    sqlite3 *m_db = nullptr;
    QString m_connectionString;
    bool m_inTransaction = false;
    struct Cache;
    std::unique_ptr<Cache> m_cache;
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
    Status execute(qint64 *affected = nullptr);

private:
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
// holds the file locked: the data is there but busy, not damaged.
[[nodiscard]] bool isBusy(const Status &st);

// Binds the lifted literals of a translated statement.
Status bindParams(sqlite3_stmt *stmt, const TranslatedSql &t);

} // namespace velto
