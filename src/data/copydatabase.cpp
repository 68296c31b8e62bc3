#include "data/copydatabase.h"

#include "data/catalogue.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "data/statement.h"

#include <QFile>
#include <QMap>

namespace velto {

namespace {

struct TableToCopy {
    const char *table;
    const char *key; // a column every layout of the table has
};
// Data sheets first: deadlines name them and their clients.
constexpr TableToCopy kTables[] = {
    {"Dbs", "DbId"},         {"Accounts", "AcId"}, {"Transactions", "TrRowId"}, {"SeriesRules", "SrGrpId"},
    {"DbIdentity", "IdKey"},
};

// Keys drawn from the engine's counters, and how a server names its sequence.
struct Counter {
    const char *table;
    const char *key;
};
constexpr Counter kCounters[] = {{"Transactions", "TrRowId"}, {"Accounts", "AcId"}};

TranslatedSql bound(const Connection &cn, const QString &sql)
{
    return translateSql(sql, LiteralMode::Lift, cn.dialect());
}

Status firstInteger(Connection &cn, const TranslatedSql &t, qint64 *value)
{
    Statement stmt;
    Status st = cn.queryTranslated(t, &stmt);
    *value = st && stmt.next() && stmt.type(0) != ValueType::Null ? stmt.integer(0) : 0;
    return st ? stmt.status() : st;
}

// The highest key each counter has given, whether or not its row remains.
Status readCounters(Connection &cn, QMap<QString, qint64> *out)
{
    // A server draws the keys of these tables from sequences of its own.
    for (const Counter &c : kCounters) {
        if (!cn.isServer())
            break; // a file keeps every counter in sqlite_sequence
        qint64 v = 0;
        TranslatedSql t = bound(cn, QStringLiteral("SELECT pg_sequence_last_value(pg_get_serial_sequence(?, ?))"));
        t.params = {sqlParam(QString::fromLatin1(c.table).toLower(), cn.dialect()),
                    sqlParam(QString::fromLatin1(c.key).toLower(), cn.dialect())};
        if (Status st = firstInteger(cn, t, &v); !st)
            return st;
        out->insert(QString::fromLatin1(c.table).toLower(), v);
    }
    // The rest as SQLite keeps them (on a server, the program's own table of them).
    Statement stmt;
    Status st = cn.query(QStringLiteral("SELECT name, seq FROM sqlite_sequence"), &stmt);
    while (st && stmt.next())
        out->insert(QString::fromUtf8(stmt.text(0)).toLower(), stmt.integer(1));
    return st ? stmt.status() : st;
}

Status writeCounters(Connection &cn, const QMap<QString, qint64> &counters)
{
    for (auto it = counters.cbegin(); it != counters.cend(); ++it) {
        if (it.value() <= 0)
            continue;
        QString table;
        for (const TableToCopy &t : kTables)
            if (it.key().compare(QLatin1String(t.table), Qt::CaseInsensitive) == 0)
                table = QLatin1String(t.table);
        if (table.isEmpty())
            continue;
        TranslatedSql t;
        const Counter *server = nullptr;
        for (const Counter &c : kCounters)
            if (table == QLatin1String(c.table))
                server = &c;
        if (cn.isServer() && server) {
            t = bound(cn, QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), ?)"));
            t.params = {sqlParam(table.toLower(), cn.dialect()),
                        sqlParam(QString::fromLatin1(server->key).toLower(), cn.dialect()),
                        sqlParam(it.value(), cn.dialect())};
        } else {
            // A file's counters, and the data sheets' one of a server.
            if (Status st = cn.execute(QStringLiteral("DELETE FROM sqlite_sequence WHERE name=") + sql::text(table));
                !st)
                return st;
            t = bound(cn, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"));
            t.params = {sqlParam(table, cn.dialect()), sqlParam(it.value(), cn.dialect())};
        }
        Statement stmt;
        if (Status st = cn.queryTranslated(t, &stmt); !st)
            return st;
    }
    return Status::success();
}

// Every row of one table, values and keys as they are.
Status copyRows(Connection &from, Connection &to, const TableToCopy &table)
{
    Statement rows;
    Status st = from.query(
        QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(QLatin1String(table.table), QLatin1String(table.key)),
        &rows);
    if (!st)
        return st;
    const int n = rows.columnCount();
    QStringList names;
    std::vector<bool> truth(std::size_t(n), false);
    for (int i = 0; i < n; ++i) {
        names << QString::fromUtf8(rows.columnName(i));
        bool byValue = false;
        truth[std::size_t(i)] = rows.declaredKind(i, &byValue) == FieldKind::YesNo && !byValue;
    }
    TranslatedSql insert =
        bound(to,
              QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(QLatin1String(table.table), names.join(u','), QStringList(n, QStringLiteral("?")).join(u',')));
    while (rows.next()) {
        insert.params.clear();
        for (int i = 0; i < n; ++i) {
            QVariant v;
            switch (rows.type(i)) {
            case ValueType::Integer:
                v = truth[std::size_t(i)] ? QVariant(rows.integer(i) != 0) : QVariant(rows.integer(i));
                break;
            case ValueType::Real: v = rows.real(i); break;
            case ValueType::Text: v = QString::fromUtf8(rows.text(i)); break;
            case ValueType::Null: break;
            }
            insert.params.push_back(sqlParam(v, to.dialect()));
        }
        if (!(st = to.queueTranslated(insert)))
            return st;
    }
    if (!rows.status())
        return rows.status();
    return to.flushQueued();
}

Status holdsRows(Connection &cn, bool *any)
{
    *any = false;
    for (const TableToCopy &t : kTables) {
        if (!cn.hasColumn(t.table, t.key))
            continue;
        qint64 count = 0;
        if (Status st = firstInteger(
                cn, bound(cn, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(t.table))), &count);
            !st)
            return st;
        *any = *any || count > 0;
    }
    return Status::success();
}

// The copy itself, in the target's unit of work; the source is read under
// its write lock, so that it is one state of the book.
Status copyInto(Connection &source, Connection &target, bool fileTarget)
{
    return source.transaction([&] {
        return target.transaction([&] {
            Status st;
            if (target.isServer()) {
                if (!target.hasColumn("Transactions", "TrRowId")) {
                    for (const QString &s : schemaStatements(Dialect::PostgreSQL))
                        if (!(st = target.execute(s)))
                            return st;
                }
                bool any = false;
                if (!(st = holdsRows(target, &any)))
                    return st;
                if (any)
                    return Status::failure(kErrorNotEmpty, QStringLiteral("The target database already holds data."));
            } else if (fileTarget) {
                // A new file comes with the first data sheet; the source's own go in.
                if (!(st = target.execute(QStringLiteral("DELETE * FROM Dbs"))))
                    return st;
            }
            if (source.hasColumn("DbIdentity", "IdKey") && !(st = target.execute(sql::createIdentityTable())))
                return st;
            for (const TableToCopy &t : kTables) {
                if (!source.hasColumn(t.table, t.key))
                    continue;
                if (!(st = copyRows(source, target, t)))
                    return st;
            }
            QMap<QString, qint64> counters;
            if (!(st = readCounters(source, &counters)))
                return st;
            return writeCounters(target, counters);
        });
    });
}

QString quotedPath(const QString &path)
{
    QString p = path;
    return QStringLiteral("Data Source=\"") + p.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

} // namespace

Status readBookTotals(const QString &connectionString, BookTotals *out)
{
    *out = BookTotals();
    Recordset rs;
    Status st = rs.open(QStringLiteral("SELECT TrDbId, Count(TrRowId) AS n, Sum(TrValue) AS v, Sum(TrBalance) AS b "
                                       "FROM Transactions GROUP BY TrDbId ORDER BY TrDbId"),
                        connectionString, CursorType::Static);
    for (; st && !rs.eof(); rs.moveNext())
        out->perSheet.append(
            {rs.intValue(0), rs.intValue(1), rs.currencyValue(2).units(), rs.currencyValue(3).units()});
    for (auto [table, count] : {std::pair{"Dbs", &out->sheets}, std::pair{"Accounts", &out->clients}}) {
        if (!st)
            break;
        Recordset n;
        st = n.open(QStringLiteral("SELECT Count(*) AS n FROM %1").arg(QLatin1String(table)), connectionString,
                    CursorType::Static);
        *count = st && !n.eof() ? n.intValue(0) : 0;
    }
    return st;
}

Status copyDatabase(const QString &from, const QString &to)
{
    Connection source;
    Status st = source.open(from);
    if (!st)
        return st;
    Connection target;
    const bool server = isServerLocation(to);
    QString file, part;
    if (server) {
        st = target.openForSetup(to);
    } else {
        file = Connection::dataSourceOf(to);
        if (file.isEmpty() || QFile::exists(file))
            return Status::failure(kErrorNotEmpty, QStringLiteral("The target already holds a database: %1").arg(file));
        // Written under another name and renamed when whole: an interrupted
        // copy leaves no database behind.
        part = file + QStringLiteral(".copying");
        QFile::remove(part);
        st = createDatabaseFile(part);
        if (st)
            st = target.open(quotedPath(part));
    }
    if (st)
        st = copyInto(source, target, !server);
    target.close();
    source.close();
    const QString written = server ? to : quotedPath(part);
    BookTotals a, b;
    if (st)
        st = readBookTotals(from, &a);
    if (st)
        st = readBookTotals(written, &b);
    if (st && !(a == b))
        st = Status::failure(kErrorServer, QStringLiteral("The copy does not hold what the original holds."));
    if (!server) {
        if (st && !QFile::rename(part, file))
            st = Status::failure(kErrorFileNotWritten, QStringLiteral("%1 could not be written.").arg(file));
        if (!st)
            QFile::remove(part);
    }
    return st;
}

Status setUpServerDatabase(const QString &location, const QString &templatePath)
{
    Connection target;
    Status st = target.openForSetup(location);
    if (!st || target.hasColumn("Transactions", "TrRowId"))
        return st;
    target.close();
    return copyDatabase(quotedPath(templatePath), location);
}

} // namespace velto
