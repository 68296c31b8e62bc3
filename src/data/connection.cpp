#include "data/connection.h"

#include "data/datachange.h"

#include "data/schema.h"
#include "data/sqldialect.h"
#include "data/sqlitebind.h"
#include "data/statement.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace velto {

namespace {
// Waits this long for another process that holds the file locked.
constexpr int kDefaultBusyTimeoutMs = 5000;
int g_busyTimeoutMs = kDefaultBusyTimeoutMs;
constexpr std::size_t kCacheSize = 16;
} // namespace

void setBusyTimeoutMs(int ms)
{
    g_busyTimeoutMs = ms < 0 ? 0 : ms;
}

int busyTimeoutMs()
{
    return g_busyTimeoutMs;
}

bool isBusy(const Status &st)
{
    // Our own codes start at 1000 and never share SQLite's primary codes.
    const int primary = st.code() & 0xff;
    return !st
        && (st.code() == kErrorServerBusy
            || (st.code() < 1000 && (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)));
}

struct Connection::Cache {
    // Most recently used last. Small: a unit of work uses a handful of shapes.
    std::vector<std::pair<QByteArray, sqlite3_stmt *>> entries;

    ~Cache() { clear(); }
    void clear()
    {
        for (auto &e : entries)
            sqlite3_finalize(e.second);
        entries.clear();
    }
    sqlite3_stmt *find(const QByteArray &shape)
    {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if (it->first == shape) {
                if (it != entries.rbegin())
                    std::swap(*it, entries.back());
                return entries.back().second;
            }
        }
        return nullptr;
    }
    void add(const QByteArray &shape, sqlite3_stmt *stmt)
    {
        if (entries.size() >= kCacheSize) {
            sqlite3_finalize(entries.front().second);
            entries.erase(entries.begin());
        }
        entries.emplace_back(shape, stmt);
    }
};

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

QString Connection::dataSourceOf(const QString &connectionString)
{
    const QString key = QStringLiteral("Data Source=");
    const qsizetype at = connectionString.indexOf(key, 0, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    qsizetype from = at + key.size();
    while (from < connectionString.size() && connectionString.at(from).isSpace())
        ++from;
    // A quoted value runs to its closing quote; a doubled quote inside it
    // stands for one. That is how a path holding ";" travels.
    if (from < connectionString.size() && (connectionString.at(from) == u'"' || connectionString.at(from) == u'\'')) {
        const QChar quote = connectionString.at(from);
        QString value;
        for (qsizetype i = from + 1; i < connectionString.size(); ++i) {
            if (connectionString.at(i) != quote) {
                value += connectionString.at(i);
            } else if (i + 1 < connectionString.size() && connectionString.at(i + 1) == quote) {
                value += quote;
                ++i;
            } else {
                return value;
            }
        }
        return QString(); // no closing quote: no file can be meant
    }
    qsizetype end = connectionString.indexOf(u';', from);
    if (end < 0)
        end = connectionString.size();
    return connectionString.mid(from, end - from).trimmed();
}

Status Connection::openForSetup(const QString &connectionString)
{
    close();
    m_forSetup = true;
    Status st = open(connectionString);
    m_forSetup = false;
    return st;
}

Status Connection::open(const QString &connectionString)
{
    close();
    m_connectionString = connectionString;
    if (isServerLocation(connectionString))
        return openServer(connectionString);
    const QString path = dataSourceOf(connectionString);
    if (path.isEmpty())
        return Status::failure(SQLITE_CANTOPEN, QStringLiteral("The connection names no database file."));
    // Never create: a missing file is an error the start-up check relies on.
    // A connection lives within one unit of work on one thread, so SQLite
    // need not lock it against other threads on every call.
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        Status st = Status::failure(
            rc,
            QStringLiteral("%1: %2").arg(QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc)), path));
        sqlite3_close(m_db);
        m_db = nullptr;
        return st;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, g_busyTimeoutMs);
    m_cache = std::make_unique<Cache>();
    // SQLite opens lazily; reading the catalogue proves the file is a
    // database, and one of ours.
    sqlite3_stmt *stmt = nullptr;
    rc = sqlite3_prepare_v2(
        m_db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN ('Transactions','Accounts','Dbs')", -1,
        &stmt, nullptr);
    int tables = 0;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            tables = sqlite3_column_int(stmt, 0);
            rc = SQLITE_OK;
        }
    }
    Status st;
    if (rc != SQLITE_OK)
        st = Status::failure(rc, QStringLiteral("%1: %2").arg(QString::fromUtf8(sqlite3_errmsg(m_db)), path));
    else if (tables != 3 && !m_forSetup)
        st = Status::failure(kErrorNotVeltoDatabase, QStringLiteral("The file is not a Velto database: %1").arg(path));
    sqlite3_finalize(stmt);
    if (!st)
        close();
    return st;
}

void Connection::close()
{
    if (m_inTransaction || m_inRead) {
        // An unfinished unit of work is never half-kept.
        simple("ROLLBACK");
        m_inTransaction = m_inRead = false;
    }
    closeServer();
    if (!m_db)
        return;
    m_cache.reset();
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

Status Connection::liteError(int rc) const
{
    return Status::failure(rc, m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc)));
}

Status bindParams(sqlite3_stmt *stmt, const TranslatedSql &t)
{
    int index = 1;
    for (const SqlParam &p : t.params) {
        int rc = SQLITE_OK;
        switch (p.kind) {
        case SqlParam::Integer: rc = sqlite3_bind_int64(stmt, index, p.i); break;
        case SqlParam::Real: rc = sqlite3_bind_double(stmt, index, p.d); break;
        case SqlParam::Text:
            rc = sqlite3_bind_text(stmt, index, p.text.constData(), int(p.text.size()), SQLITE_TRANSIENT);
            break;
        case SqlParam::Null: rc = sqlite3_bind_null(stmt, index); break;
        }
        if (rc != SQLITE_OK)
            return Status::failure(rc, QString::fromUtf8(sqlite3_errstr(rc)));
        ++index;
    }
    return Status::success();
}

Status Connection::prepareLite(const TranslatedSql &t, Statement *out, bool cached)
{
    out->release();
    if (!m_db)
        return Status::failure(kErrorNotOpen, QStringLiteral("The connection is not open."));
    if (!t.ok())
        return Status::failure(kErrorBadStatement, t.error);
    sqlite3_stmt *s = cached ? m_cache->find(t.sql) : nullptr;
    if (!s) {
        const char *tail = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, t.sql.constData(), int(t.sql.size()), &s, &tail);
        if (rc != SQLITE_OK)
            return liteError(rc);
        if (!s)
            return Status::failure(kErrorBadStatement, QStringLiteral("The statement is empty."));
        const char *end = t.sql.constData() + t.sql.size();
        if (tail && tail < end) {
            // One statement per call: a second one would run unseen. SQLite
            // stops reading at a NUL, so text after one would be dropped
            // unseen as well; the rest is taken up to the real end.
            const QByteArray rest(tail, end - tail);
            if (!rest.trimmed().isEmpty() && rest.trimmed() != ";") {
                sqlite3_finalize(s);
                return Status::failure(kErrorBadStatement, QStringLiteral("Only one statement can run at a time."));
            }
        }
        if (cached)
            m_cache->add(t.sql, s);
    } else {
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
    }
    out->m_lite = s;
    out->m_owned = !cached;
    Status st = bindParams(s, t);
    if (!st) {
        out->release();
        return st;
    }
    return Status::success();
}

Status Connection::query(const QString &statement, Statement *out)
{
    return queryTranslated(translateSql(statement, LiteralMode::Automatic, dialect()), out);
}

Status Connection::queryTranslated(const TranslatedSql &t, Statement *out, bool reuse)
{
    if (m_server)
        return serverQuery(t, out, nullptr);
    return prepareLite(t, out, reuse);
}

Status Connection::execute(const QString &statement, qint64 *affected)
{
    return executeTranslated(translateSql(statement, LiteralMode::Automatic, dialect()), affected);
}

Status Connection::executeTranslated(const TranslatedSql &t, qint64 *affected)
{
    if (affected)
        *affected = 0;
    if (m_server)
        return serverQuery(t, nullptr, affected);
    Statement stmt;
    Status st = prepareLite(t, &stmt, true);
    if (!st)
        return st;
    while (stmt.next()) { }
    if (!stmt.status())
        return liteError(stmt.status().code());
    if (affected)
        *affected = sqlite3_changes64(m_db);
    return Status::success();
}

Status Connection::queueTranslated(const TranslatedSql &t)
{
    if (m_server)
        return serverQueue(t);
    return executeTranslated(t);
}

Status Connection::flushQueued()
{
    return m_server ? serverFlush() : Status::success();
}

Status Connection::simple(const char *sql)
{
    if (m_server)
        return serverSimple(sql);
    if (!m_db)
        return Status::failure(kErrorNotOpen, QStringLiteral("The connection is not open."));
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? Status::success() : liteError(rc);
}

Status Connection::beginTrans()
{
    if (m_server) {
        Status st = serverBegin();
        if (st)
            m_inTransaction = true;
        return st;
    }
    // IMMEDIATE takes the write lock now, so a busy file is noticed before
    // the first row rather than halfway through a series.
    Status st = simple("BEGIN IMMEDIATE");
    if (st && hasMoved()) {
        // While this connection waited for the lock, a restore put another
        // file at the database's path: the one it holds is no longer the
        // database and the engine would refuse every write. Nothing has been
        // read under the lock yet, so the work starts again on the file now
        // there, provided no statement of this connection outlives it.
        simple("ROLLBACK");
        m_cache->clear();
        if (sqlite3_next_stmt(m_db, nullptr))
            return Status::failure(SQLITE_READONLY_DBMOVED,
                                   QStringLiteral("The database file was replaced meanwhile."));
        const QString connectionString = m_connectionString;
        if (!(st = open(connectionString)))
            return st;
        st = simple("BEGIN IMMEDIATE");
    }
    if (st)
        m_inTransaction = true;
    return st;
}

Status Connection::beginRead()
{
    // A file's deferred transaction keeps the state of its first read; a
    // server's needs repeatable read for that.
    Status st = simple(m_server ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY" : "BEGIN");
    m_inRead = st.ok();
    return st;
}

Status Connection::endRead()
{
    if (!m_inRead)
        return Status::success();
    m_inRead = false;
    return simple("COMMIT");
}

bool Connection::hasMoved() const
{
    int moved = 0;
    return sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved;
}

Status Connection::commitTrans()
{
    Status st = m_server ? serverFlush() : Status::success();
    if (st)
        st = simple("COMMIT");
    if (st) {
        m_inTransaction = false;
        announceDataChange();
    }
    return st;
}

Status Connection::rollbackTrans()
{
    Status st = simple("ROLLBACK");
    m_inTransaction = false;
    return st;
}

Status Connection::executeAlone(const QString &connectionString, const QString &statement)
{
    Connection conn;
    Status st = conn.open(connectionString);
    if (st)
        st = conn.execute(statement);
    conn.close();
    return st;
}

Status Connection::transaction(const std::function<Status()> &work)
{
    Status st = beginTrans();
    if (!st)
        return st;
    st = work();
    if (st)
        st = commitTrans();
    if (!st)
        rollbackTrans(); // the first failure is the one to report
    return st;
}

namespace {

// Runs a query to its first row; SQLITE_ROW and SQLITE_DONE are both fine.
int firstRow(sqlite3 *db, const QByteArray &sql)
{
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            rc = SQLITE_OK;
        else if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    return rc;
}

bool journalModeIsWal(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    bool wal = false;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        wal = qstricmp(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)), "wal") == 0;
    sqlite3_finalize(stmt);
    return wal;
}

QByteArray quotedName(const QByteArray &name)
{
    QByteArray q = name;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

} // namespace

Status Connection::checkStructure()
{
    if (m_server)
        return serverCheckStructure();
    if (!m_db)
        return Status::failure(kErrorNotOpen, QStringLiteral("The connection is not open."));
    const char *file = sqlite3_db_filename(m_db, "main");
    const qint64 size = file ? QFileInfo(QString::fromUtf8(file)).size() : -1;
    qint64 pages = 0;
    qint64 pageSize = 0;
    sqlite3_stmt *stmt = nullptr;
    for (const char *pragma : {"PRAGMA page_count", "PRAGMA page_size"}) {
        if (sqlite3_prepare_v2(m_db, pragma, -1, &stmt, nullptr) != SQLITE_OK || sqlite3_step(stmt) != SQLITE_ROW) {
            sqlite3_finalize(stmt);
            return liteError(sqlite3_errcode(m_db));
        }
        (pages == 0 ? pages : pageSize) = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
    }
    // A file cut short, or with something written past its end. In
    // write-ahead-log mode committed pages may still lie in the log, and
    // the file holds whole pages only.
    const bool wal = journalModeIsWal(m_db);
    if (wal ? size % pageSize != 0 : size != pages * pageSize)
        return Status::failure(kErrorNotVeltoDatabase, QStringLiteral("The database file is damaged."));

    // The small tables (data sheets, clients) and their indexes are checked
    // whole; of the deadlines, which hold nearly all of a file's pages, the
    // first pages of the table and of each index are read.
    struct Tree {
        QByteArray type, name, table, firstColumn;
    };
    std::vector<Tree> trees;
    if (sqlite3_prepare_v2(m_db,
                           "SELECT m.type, m.name, m.tbl_name, "
                           "(SELECT i.name FROM pragma_index_info(m.name) AS i WHERE i.seqno = 0) "
                           "FROM sqlite_master AS m WHERE m.type IN ('table', 'index') AND m.rootpage > 0",
                           -1, &stmt, nullptr)
        != SQLITE_OK)
        return liteError(sqlite3_errcode(m_db));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        auto text = [stmt](int c) { return QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c))); };
        trees.push_back({text(0), text(1), text(2), text(3)});
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        return liteError(rc);
    for (const Tree &t : trees) {
        QByteArray sql;
        if (t.type == "table" && t.name != "Transactions") {
            const QByteArray pragma = "PRAGMA quick_check(" + quotedName(t.name) + ")";
            if (sqlite3_prepare_v2(m_db, pragma.constData(), -1, &stmt, nullptr) != SQLITE_OK)
                return liteError(sqlite3_errcode(m_db));
            rc = sqlite3_step(stmt);
            if (rc != SQLITE_ROW) {
                sqlite3_finalize(stmt);
                return liteError(rc); // a lock held by another program, not damage
            }
            const bool ok = qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)), "ok") == 0;
            sqlite3_finalize(stmt);
            if (!ok)
                return Status::failure(kErrorNotVeltoDatabase, QStringLiteral("The database file is damaged."));
            continue;
        }
        if (t.type == "table")
            sql = "SELECT * FROM " + quotedName(t.name) + " LIMIT 2";
        else if (t.table != "Transactions")
            continue; // checked with its table
        else if (!t.firstColumn.isEmpty())
            sql = "SELECT " + quotedName(t.firstColumn) + " FROM " + quotedName(t.table) + " INDEXED BY "
                + quotedName(t.name) + " ORDER BY " + quotedName(t.firstColumn) + " LIMIT 2";
        else
            continue; // an index of the engine's own, read with its table
        if ((rc = firstRow(m_db, sql)) != SQLITE_OK)
            return liteError(rc);
    }
    return Status::success();
}

bool Connection::hasColumn(const char *table, const char *column)
{
    if (m_server)
        return serverHasColumn(table, column);
    sqlite3_stmt *stmt = nullptr;
    bool found = false;
    if (m_db
        && sqlite3_prepare_v2(m_db, "SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE", -1, &stmt,
                              nullptr)
            == SQLITE_OK) {
        sqlite3_bind_text(stmt, 1, table, -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, column, -1, SQLITE_STATIC);
        found = sqlite3_step(stmt) == SQLITE_ROW;
    }
    sqlite3_finalize(stmt);
    return found;
}

Status Connection::createTableIfMissing(QStringView table)
{
    return execute(velto::createTableIfMissing(table, dialect()));
}

Status Connection::checkLayout()
{
    if (!isOpen())
        return Status::failure(kErrorNotOpen, QStringLiteral("The connection is not open."));
    for (const TableDef &t : schemaTables())
        for (const FieldDef &f : t.fields)
            if (!addedByUpgrade(t, f) && !hasColumn(t.name, f.name))
                return Status::failure(kErrorNotVeltoDatabase,
                                       QStringLiteral("%1.%2").arg(QLatin1String(t.name), QLatin1String(f.name)));
    return Status::success();
}

qint64 Connection::lastInsertId() const
{
    if (m_server)
        return serverLastInsertId();
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

BoundStatement::BoundStatement(Connection &conn, const QString &statement)
    : m_conn(conn), m_statement(translateSql(statement, LiteralMode::Lift, conn.dialect()))
{
    // The caller's values take the marks; a literal lifted from the text
    // would shift them.
    if (m_statement.ok() && !m_statement.params.empty())
        m_statement.error = QStringLiteral("A statement with bound values holds no literals.");
    m_marks = int(std::count(statement.cbegin(), statement.cend(), u'?'));
    m_statement.params.reserve(m_marks);
}

BoundStatement &BoundStatement::add(qint64 value)
{
    m_statement.params.push_back({SqlParam::Integer, value, 0, {}});
    return *this;
}

BoundStatement &BoundStatement::add(const QString &value)
{
    return add(value.toUtf8());
}

BoundStatement &BoundStatement::add(const QByteArray &utf8)
{
    m_statement.params.push_back({SqlParam::Text, 0, 0, utf8});
    return *this;
}

BoundStatement &BoundStatement::add(const QDate &value)
{
    // As a date literal reaches the engine: ISO text.
    return add(value.toString(Qt::ISODate).toLatin1());
}

BoundStatement &BoundStatement::add(Currency value)
{
    // As the amount's text reaches the engine: a whole amount as an
    // integer, any other as the double nearest to its decimal text.
    SqlParam p;
    const std::int64_t units = value.units();
    if (units % Currency::kScale == 0) {
        p.kind = SqlParam::Integer;
        p.i = units / Currency::kScale;
    } else {
        p.kind = SqlParam::Real;
        constexpr std::int64_t kExact = std::int64_t(1) << 53;
        p.d = units > -kExact && units < kExact ? double(units) / double(Currency::kScale)
                                                : value.toInvariant().toDouble();
    }
    m_statement.params.push_back(std::move(p));
    return *this;
}

Status BoundStatement::run(bool queued, qint64 *affected)
{
    Status st;
    if (m_statement.ok() && int(m_statement.params.size()) != m_marks)
        st = Status::failure(
            kErrorBadStatement,
            QStringLiteral("%1 values given for %2 marks.").arg(m_statement.params.size()).arg(m_marks));
    else
        st = queued ? m_conn.queueTranslated(m_statement) : m_conn.executeTranslated(m_statement, affected);
    m_statement.params.clear();
    return st;
}

} // namespace velto
