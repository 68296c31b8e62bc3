#include "data/rowimages.h"

#include "data/connection.h"

#include <sqlite3.h>

namespace velto {

namespace {

QVariant columnValue(sqlite3_stmt *stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)),
                                          sqlite3_column_bytes(stmt, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, i)), sqlite3_column_bytes(stmt, i)));
    default: return QVariant();
    }
}

int bindValue(sqlite3_stmt *stmt, int i, const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::LongLong: return sqlite3_bind_int64(stmt, i, v.toLongLong());
    case QMetaType::Double: return sqlite3_bind_double(stmt, i, v.toDouble());
    case QMetaType::QString: {
        const QByteArray utf8 = v.toString().toUtf8();
        return sqlite3_bind_text(stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return sqlite3_bind_blob(stmt, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    default: return sqlite3_bind_null(stmt, i);
    }
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.typeId() == b.typeId() && (a.isNull() || a == b);
}

QString quoted(const QString &name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// A statement of the engine's own SQL (no dialect: keys are bound, never
// written into the text), finalized when it goes out of scope.
class Statement
{
public:
    Status prepare(Connection &cn, const QString &sql)
    {
        const int rc = sqlite3_prepare_v2(cn.handle(), sql.toUtf8().constData(), -1, &m_stmt, nullptr);
        return rc == SQLITE_OK ? Status::success() : cn.lastError(rc);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    [[nodiscard]] sqlite3_stmt *get() const { return m_stmt; }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace

Status readRowImages(Connection &connection, const QString &selectAll, RowImages *images)
{
    sqlite3_stmt *stmt = nullptr;
    Status st = connection.prepareOwned(selectAll, &stmt);
    if (!st)
        return st;
    const int count = sqlite3_column_count(stmt);
    QStringList columns;
    int keyIndex = -1;
    for (int i = 0; i < count; ++i) {
        columns << QString::fromUtf8(sqlite3_column_name(stmt, i));
        if (columns.last().compare(images->keyColumn, Qt::CaseInsensitive) == 0)
            keyIndex = i;
    }
    if (keyIndex < 0 || (!images->columns.isEmpty() && images->columns != columns)) {
        sqlite3_finalize(stmt);
        return Status::failure(kErrorBadStatement, QStringLiteral("The query does not read whole rows of %1.")
                                                       .arg(images->table));
    }
    images->columns = columns;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i)
            row.append(columnValue(stmt, i));
        images->rows.insert(sqlite3_column_int64(stmt, keyIndex), row);
    }
    if (rc != SQLITE_DONE)
        st = connection.lastError(rc);
    sqlite3_finalize(stmt);
    return st;
}

Status rowsMatch(Connection &connection, const RowImages &expected, const QList<qint64> &keys, bool *match)
{
    *match = true;
    if (keys.isEmpty())
        return Status::success();
    Statement select;
    Status st = select.prepare(connection, QStringLiteral("SELECT * FROM %1 WHERE %2=?")
                                               .arg(quoted(expected.table), quoted(expected.keyColumn)));
    if (!st)
        return st;
    sqlite3_stmt *stmt = select.get();
    const int count = sqlite3_column_count(stmt);
    for (const qint64 key : keys) {
        sqlite3_reset(stmt);
        sqlite3_bind_int64(stmt, 1, key);
        const int rc = sqlite3_step(stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return connection.lastError(rc);
        const auto want = expected.rows.constFind(key);
        if ((rc == SQLITE_ROW) != (want != expected.rows.cend())) {
            *match = false;
            return Status::success();
        }
        if (rc == SQLITE_DONE)
            continue;
        // A column added to the table since (an upgrade) also counts as a change.
        if (count != want->size()) {
            *match = false;
            return Status::success();
        }
        for (int i = 0; i < count; ++i) {
            if (!sameValue(columnValue(stmt, i), want->at(i))) {
                *match = false;
                return Status::success();
            }
        }
    }
    return Status::success();
}

Status writeRowImages(Connection &connection, const RowImages &current, const RowImages &target,
                      const QList<qint64> &keys)
{
    Statement remove;
    Status st = remove.prepare(connection, QStringLiteral("DELETE FROM %1 WHERE %2=?")
                                               .arg(quoted(current.table), quoted(current.keyColumn)));
    if (!st)
        return st;
    for (const qint64 key : keys) {
        if (!current.rows.contains(key))
            continue;
        sqlite3_reset(remove.get());
        sqlite3_bind_int64(remove.get(), 1, key);
        const int rc = sqlite3_step(remove.get());
        if (rc != SQLITE_DONE)
            return connection.lastError(rc);
    }

    if (target.columns.isEmpty())
        return Status::success();
    QStringList names, marks;
    for (const QString &c : target.columns) {
        names << quoted(c);
        marks << QStringLiteral("?");
    }
    Statement insert;
    st = insert.prepare(connection, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                        .arg(quoted(target.table), names.join(u','), marks.join(u',')));
    if (!st)
        return st;
    sqlite3_stmt *stmt = insert.get();
    for (const qint64 key : keys) {
        const auto row = target.rows.constFind(key);
        if (row == target.rows.cend())
            continue;
        sqlite3_reset(stmt);
        for (int i = 0; i < row->size(); ++i) {
            const int rc = bindValue(stmt, i + 1, row->at(i));
            if (rc != SQLITE_OK)
                return connection.lastError(rc);
        }
        const int rc = sqlite3_step(stmt);
        if (rc != SQLITE_DONE)
            return connection.lastError(rc);
    }
    return Status::success();
}

} // namespace velto
