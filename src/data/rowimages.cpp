#include "data/rowimages.h"

#include "data/connection.h"
#include "data/statement.h"

namespace velto {

namespace {

QVariant columnValue(const Statement &stmt, int i, bool truthValues)
{
    switch (stmt.type(i)) {
    case ValueType::Integer: {
        bool byValue = false;
        if (truthValues && stmt.declaredKind(i, &byValue) == FieldKind::YesNo)
            return QVariant(stmt.integer(i) != 0);
        return QVariant(qint64(stmt.integer(i)));
    }
    case ValueType::Real: return QVariant(stmt.real(i));
    case ValueType::Text: return QVariant(QString::fromUtf8(stmt.text(i)));
    case ValueType::Null: break;
    }
    return QVariant();
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.typeId() == b.typeId() && (a.isNull() || a == b);
}

// A statement of the engine's own SQL with one value bound for each '?'.
TranslatedSql boundSql(const Connection &cn, const QString &sql)
{
    return translateSql(sql, LiteralMode::Lift, cn.dialect());
}

} // namespace

Status readRowImages(Connection &connection, const QString &selectAll, RowImages *images)
{
    Statement stmt;
    Status st = connection.query(selectAll, &stmt);
    if (!st)
        return st;
    const int count = stmt.columnCount();
    QStringList columns;
    int keyIndex = -1;
    for (int i = 0; i < count; ++i) {
        columns << QString::fromUtf8(stmt.columnName(i));
        if (columns.last().compare(images->keyColumn, Qt::CaseInsensitive) == 0)
            keyIndex = i;
    }
    if (keyIndex < 0 || (!images->columns.isEmpty() && images->columns != columns))
        return Status::failure(kErrorBadStatement,
                               QStringLiteral("The query does not read whole rows of %1.").arg(images->table));
    images->columns = columns;
    const bool truthValues = connection.isServer();
    while (stmt.next()) {
        QVariantList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i)
            row.append(columnValue(stmt, i, truthValues));
        images->rows.insert(stmt.integer(keyIndex), row);
    }
    return stmt.status();
}

Status rowsMatch(Connection &connection, const RowImages &expected, const QList<qint64> &keys, bool *match)
{
    *match = true;
    if (keys.isEmpty())
        return Status::success();
    TranslatedSql select =
        boundSql(connection, QStringLiteral("SELECT * FROM %1 WHERE %2=?").arg(expected.table, expected.keyColumn));
    const bool truthValues = connection.isServer();
    for (const qint64 key : keys) {
        select.params = {sqlParam(QVariant(key), connection.dialect())};
        Statement stmt;
        if (Status st = connection.queryTranslated(select, &stmt, true); !st)
            return st;
        const bool found = stmt.next();
        if (!stmt.status())
            return stmt.status();
        const auto want = expected.rows.constFind(key);
        if (found != (want != expected.rows.cend())) {
            *match = false;
            return Status::success();
        }
        if (!found)
            continue;
        // A column added to the table since (an upgrade) also counts as a change.
        const int count = stmt.columnCount();
        if (count != want->size()) {
            *match = false;
            return Status::success();
        }
        for (int i = 0; i < count; ++i) {
            if (!sameValue(columnValue(stmt, i, truthValues), want->at(i))) {
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
    TranslatedSql remove =
        boundSql(connection, QStringLiteral("DELETE FROM %1 WHERE %2=?").arg(current.table, current.keyColumn));
    for (const qint64 key : keys) {
        if (!current.rows.contains(key))
            continue;
        remove.params = {sqlParam(QVariant(key), connection.dialect())};
        if (Status st = connection.executeTranslated(remove); !st)
            return st;
    }

    if (target.columns.isEmpty())
        return Status::success();
    const QStringList marks(target.columns.size(), QStringLiteral("?"));
    TranslatedSql insert = boundSql(connection,
                                    QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                        .arg(target.table, target.columns.join(u','), marks.join(u',')));
    for (const qint64 key : keys) {
        const auto row = target.rows.constFind(key);
        if (row == target.rows.cend())
            continue;
        insert.params.clear();
        for (const QVariant &v : *row)
            insert.params.push_back(sqlParam(v, connection.dialect()));
        if (Status st = connection.executeTranslated(insert); !st)
            return st;
    }
    return Status::success();
}

} // namespace velto
