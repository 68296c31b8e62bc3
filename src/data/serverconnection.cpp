// The server's side of a Connection: a PostgreSQL database reached with
// libpq. Values travel as text, typed by the server from where they stand
// (numbers are sent as numbers, so that "-?" and sums stay numeric).

#include "data/connection.h"

#include "data/datachange.h"
#include "data/statement.h"

#include <QHash>
#include <QMutex>

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace velto {

namespace {

QMutex g_passwordLock;
QHash<QString, QString> &passwords()
{
    static QHash<QString, QString> p;
    return p;
}

// One advisory lock is the book's write lock: a writing unit of work takes
// it at its start, as SQLite's BEGIN IMMEDIATE takes the file's.
constexpr const char *kWriteLockKey = "5649207011"; // "Velto" as a number of its own

// Rows queued before their answers are read: the answers of one batch must
// fit the socket's buffers while the rest is still being sent.
constexpr int kQueueBatch = 256;

enum : Oid { kInt8 = 20, kNumeric = 1700 };

QString trimmed(const char *message)
{
    return QString::fromUtf8(message ? message : "").trimmed();
}

// The kind of a server error by its SQLSTATE (and the connection's state).
int codeOf(PGconn *conn, const PGresult *result)
{
    if (!conn || PQstatus(conn) == CONNECTION_BAD)
        return kErrorServerLost;
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    if (!state)
        return kErrorServer;
    const QByteArray s(state);
    if (s == "57014")
        return kErrorServerTimeout;
    if (s == "55P03" || s == "40001" || s == "40P01")
        return kErrorServerBusy;
    if (s.startsWith("28"))
        return kErrorServerLogin;
    if (s.startsWith("08") || s.startsWith("57P"))
        return kErrorServerLost;
    return kErrorServer;
}

Status failureOf(PGconn *conn, const PGresult *result)
{
    const QString message = result ? trimmed(PQresultErrorMessage(result)) : QString();
    return Status::failure(codeOf(conn, result), message.isEmpty() ? trimmed(PQerrorMessage(conn)) : message);
}

// The values of a translated statement as the server takes them.
struct ServerParams {
    std::vector<QByteArray> storage;
    std::vector<const char *> values;
    std::vector<Oid> types;

    explicit ServerParams(const TranslatedSql &t)
    {
        const std::size_t n = t.params.size();
        storage.resize(n);
        values.resize(n);
        types.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const SqlParam &p = t.params[i];
            switch (p.kind) {
            case SqlParam::Integer:
                storage[i] = QByteArray::number(qlonglong(p.i));
                types[i] = kInt8;
                break;
            case SqlParam::Real:
                storage[i] = QByteArray::number(p.d, 'g', 17);
                types[i] = kNumeric;
                break;
            case SqlParam::Text:
                storage[i] = p.text;
                types[i] = 0; // typed by the server from where it stands
                break;
            case SqlParam::Null: types[i] = 0; break;
            }
            values[i] = p.kind == SqlParam::Null ? nullptr : storage[i].constData();
        }
    }
    [[nodiscard]] int count() const { return int(values.size()); }
};

// Sessions of closed connections, kept for the next unit of work on the
// same server: a new session costs the server a process of its own.
struct IdleSession {
    QString location;
    PGconn *conn = nullptr;
    QHash<QByteArray, QByteArray> statements;
};
constexpr int kIdleSessions = 4;
QMutex g_idleLock;
std::vector<IdleSession> &idleSessions()
{
    // Never destroyed: sessions still kept at exit end with the process.
    static auto *idle = new std::vector<IdleSession>;
    return *idle;
}

// Whether a kept session is still open at the server's end, found out
// without a round trip. A server that ends a session (stopped, or the
// session terminated) sends its last words and closes the socket; one read
// takes the words only, so reading goes on while the socket has more.
bool stillOpen(PGconn *conn)
{
    for (int reads = 0; reads < 4; ++reads) {
        if (!PQconsumeInput(conn) || PQstatus(conn) != CONNECTION_OK || PQtransactionStatus(conn) != PQTRANS_IDLE)
            return false;
        pollfd waiting{PQsocket(conn), POLLIN, 0};
        if (::poll(&waiting, 1, 0) == 0)
            return true;
    }
    return false;
}

// An idle session of this server still open at the server's end; nullptr
// when there is none.
PGconn *takeIdleSession(const QString &location, QHash<QByteArray, QByteArray> *statements)
{
    QMutexLocker lock(&g_idleLock);
    auto &idle = idleSessions();
    while (true) {
        auto it = std::find_if(idle.begin(), idle.end(), [&](const IdleSession &s) { return s.location == location; });
        if (it == idle.end())
            return nullptr;
        IdleSession s = std::move(*it);
        idle.erase(it);
        if (stillOpen(s.conn)) {
            while (PGnotify *n = PQnotifies(s.conn))
                PQfreemem(n);
            *statements = std::move(s.statements);
            return s.conn;
        }
        PQfinish(s.conn);
    }
}

void keepIdleSession(const QString &location, PGconn *conn, QHash<QByteArray, QByteArray> &&statements)
{
    if (PQstatus(conn) != CONNECTION_OK || PQtransactionStatus(conn) != PQTRANS_IDLE) {
        PQfinish(conn);
        return;
    }
    QMutexLocker lock(&g_idleLock);
    auto &idle = idleSessions();
    if (int(idle.size()) >= kIdleSessions) {
        PQfinish(idle.front().conn);
        idle.erase(idle.begin());
    }
    idle.push_back({location, conn, std::move(statements)});
}

} // namespace

void dropIdleServerSessions()
{
    QMutexLocker lock(&g_idleLock);
    for (IdleSession &s : idleSessions())
        PQfinish(s.conn);
    idleSessions().clear();
}

bool isServerLocation(QStringView location)
{
    return location.startsWith(u"postgresql://", Qt::CaseInsensitive)
        || location.startsWith(u"postgres://", Qt::CaseInsensitive);
}

void setServerPassword(const QString &location, const QString &password)
{
    QMutexLocker lock(&g_passwordLock);
    passwords().insert(location, password);
}

bool needsPassword(const Status &st)
{
    return !st && st.code() == kErrorServerLogin;
}

PGconn *connectToServer(const QString &location, Status *st)
{
    const QByteArray uri = location.toUtf8();
    QByteArray password;
    {
        QMutexLocker lock(&g_passwordLock);
        password = passwords().value(location).toUtf8();
    }
    // Later keywords override what the URI says; dates come as ISO text.
    const char *keys[] = {"dbname",
                          "connect_timeout",
                          "application_name",
                          "client_encoding",
                          "options",
                          password.isEmpty() ? nullptr : "password",
                          nullptr};
    const char *values[] = {
        uri.constData(),      "10",   "Velto", "UTF8", "-c DateStyle=ISO,YMD -c client_min_messages=warning",
        password.constData(), nullptr};
    PGconn *conn = PQconnectdbParams(keys, values, 1);
    if (PQstatus(conn) == CONNECTION_OK) {
        // The server's notices (a NOTICE, a WARNING before it shuts down)
        // are not the user's business; its errors come with each result.
        PQsetNoticeProcessor(
            conn, [](void *, const char *) {}, nullptr);
        *st = Status::success();
        return conn;
    }
    const QString message = trimmed(PQerrorMessage(conn));
    const bool login = PQconnectionNeedsPassword(conn) || message.contains(QLatin1String("authentication"))
        || message.contains(QLatin1String("password"));
    PQfinish(conn);
    *st = Status::failure(login ? kErrorServerLogin : kErrorServerUnreachable, message);
    return nullptr;
}

Status Connection::openServer(const QString &location)
{
    if ((m_server = takeIdleSession(location, &m_serverStatements)))
        return Status::success();
    Status opened;
    m_server = connectToServer(location, &opened);
    if (!m_server)
        return opened;
    PGresult *r = PQexec(m_server,
                         "SELECT (to_regclass('transactions') IS NOT NULL)::int + (to_regclass('accounts') IS NOT "
                         "NULL)::int + (to_regclass('dbs') IS NOT NULL)::int");
    Status st;
    if (PQresultStatus(r) != PGRES_TUPLES_OK)
        st = failureOf(m_server, r);
    else if (std::atoi(PQgetvalue(r, 0, 0)) != 3 && !m_forSetup)
        st = Status::failure(kErrorNotVeltoDatabase, QStringLiteral("The server database holds no Velto book."));
    PQclear(r);
    if (!st) {
        PQfinish(m_server);
        m_server = nullptr;
    }
    return st;
}

void Connection::closeServer()
{
    if (!m_server)
        return;
    if (m_queued)
        serverFlush();
    keepIdleSession(m_connectionString, m_server, std::move(m_serverStatements));
    m_server = nullptr;
    m_serverStatements.clear();
    m_queued = 0;
}

Status Connection::serverSimple(const char *sql)
{
    // Rows still queued are answered first (a failure among them has
    // already spoiled the unit of work this statement ends).
    if (m_queued)
        serverFlush();
    PGresult *r = PQexec(m_server, sql);
    const ExecStatusType s = PQresultStatus(r);
    Status st = s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK ? Status::success() : failureOf(m_server, r);
    PQclear(r);
    return st;
}

Status Connection::serverQuery(const TranslatedSql &t, Statement *out, qint64 *affected)
{
    if (out)
        out->release();
    if (!t.ok())
        return Status::failure(kErrorBadStatement, t.error);
    if (m_queued) {
        if (Status st = serverFlush(); !st)
            return st;
    }
    const ServerParams p(t);
    PGresult *r =
        PQexecParams(m_server, t.sql.constData(), p.count(), p.types.data(), p.values.data(), nullptr, nullptr, 0);
    const ExecStatusType s = PQresultStatus(r);
    if (s != PGRES_TUPLES_OK && s != PGRES_COMMAND_OK) {
        Status st = failureOf(m_server, r);
        PQclear(r);
        return st;
    }
    if (affected)
        *affected = std::atoll(PQcmdTuples(r));
    // A write outside a unit of work commits by itself: the listening
    // windows are told as of any commit.
    if (s == PGRES_COMMAND_OK && !m_inTransaction) {
        if (Status told = serverSimple("NOTIFY velto_data"); !told) {
            PQclear(r);
            return told;
        }
    }
    if (out) {
        out->m_server = r;
        out->m_rows = PQntuples(r);
        out->m_row = -1;
    } else {
        PQclear(r);
    }
    return Status::success();
}

Status Connection::serverQueue(const TranslatedSql &t)
{
    if (!t.ok())
        return Status::failure(kErrorBadStatement, t.error);
    const ServerParams p(t);
    // Prepared for the types of its values: an amount may come as a whole
    // number in one row and as a fraction in the next.
    const QByteArray key =
        t.sql + QByteArray(reinterpret_cast<const char *>(p.types.data()), qsizetype(p.types.size() * sizeof(Oid)));
    QByteArray name = m_serverStatements.value(key);
    if (name.isEmpty()) {
        if (m_queued) {
            if (Status st = serverFlush(); !st)
                return st;
        }
        name = "velto" + QByteArray::number(m_serverStatements.size() + 1);
        PGresult *r = PQprepare(m_server, name.constData(), t.sql.constData(), p.count(), p.types.data());
        Status st = PQresultStatus(r) == PGRES_COMMAND_OK ? Status::success() : failureOf(m_server, r);
        PQclear(r);
        if (!st)
            return st;
        m_serverStatements.insert(key, name);
    }
    if (m_queued == 0 && !PQenterPipelineMode(m_server))
        return failureOf(m_server, nullptr);
    if (!PQsendQueryPrepared(m_server, name.constData(), p.count(), p.values.data(), nullptr, nullptr, 0)) {
        Status st = failureOf(m_server, nullptr);
        serverFlush();
        return st;
    }
    if (++m_queued >= kQueueBatch)
        return serverFlush();
    return Status::success();
}

Status Connection::serverFlush()
{
    if (m_queued == 0)
        return Status::success();
    m_queued = 0;
    Status first;
    if (!PQpipelineSync(m_server)) {
        first = failureOf(m_server, nullptr);
    } else {
        // Every queued statement answers with its result and a null; the
        // sync point ends the batch.
        for (;;) {
            PGresult *r = PQgetResult(m_server);
            if (!r) {
                if (PQstatus(m_server) == CONNECTION_BAD) {
                    if (first)
                        first = failureOf(m_server, nullptr);
                    break;
                }
                continue;
            }
            const ExecStatusType s = PQresultStatus(r);
            if (s == PGRES_PIPELINE_SYNC) {
                PQclear(r);
                break;
            }
            if (first && s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
                first = s == PGRES_PIPELINE_ABORTED ? Status::failure(kErrorServer, QStringLiteral("Aborted."))
                                                    : failureOf(m_server, r);
            PQclear(r);
        }
    }
    PQexitPipelineMode(m_server);
    return first;
}

Status Connection::serverBegin()
{
    // The write lock first, waiting no longer than a file's writer would;
    // then everything the work reads is as the last writer left it. The
    // notice reaches every listening window when the work commits.
    const QByteArray sql = "BEGIN; SET LOCAL lock_timeout = " + QByteArray::number(busyTimeoutMs())
        + "; SELECT pg_advisory_xact_lock(" + kWriteLockKey + "); NOTIFY velto_data";
    Status st = serverSimple(sql.constData());
    if (!st && PQstatus(m_server) == CONNECTION_OK)
        serverSimple("ROLLBACK");
    return st;
}

Status Connection::serverCheckStructure()
{
    // The server keeps its own pages whole; what can be checked here is that
    // every table answers.
    for (const char *sql :
         {"SELECT * FROM Transactions LIMIT 1", "SELECT * FROM Accounts LIMIT 1", "SELECT * FROM Dbs LIMIT 1"}) {
        if (Status st = serverSimple(sql); !st)
            return st;
    }
    return Status::success();
}

bool Connection::serverHasColumn(const char *table, const char *column)
{
    const char *values[] = {table, column};
    PGresult *r = PQexecParams(m_server,
                               "SELECT 1 FROM information_schema.columns WHERE table_schema = current_schema() "
                               "AND table_name = lower($1) AND column_name = lower($2)",
                               2, nullptr, values, nullptr, nullptr, 0);
    const bool found = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0;
    PQclear(r);
    return found;
}

qint64 Connection::serverLastInsertId() const
{
    // The key the last insert of this session drew from its table's sequence.
    PGresult *r = PQexec(m_server, "SELECT lastval()");
    const qint64 id = PQresultStatus(r) == PGRES_TUPLES_OK ? std::atoll(PQgetvalue(r, 0, 0)) : 0;
    PQclear(r);
    return id;
}

} // namespace velto
