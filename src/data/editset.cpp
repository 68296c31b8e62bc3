#include "data/editset.h"

#include "data/connection.h"
#include "data/currency.h"
#include "data/recordset.h"

#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace velto {

namespace {

QString tableNameOf(const QString &source)
{
    static const QRegularExpression fromRe(QStringLiteral("\\bFROM\\s+\\[?([A-Za-z_][A-Za-z0-9_]*)\\]?"),
                                           QRegularExpression::CaseInsensitiveOption);
    const auto m = fromRe.match(source);
    if (m.hasMatch())
        return m.captured(1);
    return source.trimmed();
}

} // namespace

QVariant valueForField(const FieldDef &field, const QVariant &value, QString *why)
{
    if (value.isNull() || !value.isValid())
        return QVariant();
    bool ok = true;
    QVariant out;
    switch (field.kind) {
    case FieldKind::Integer:
    case FieldKind::SmallInt: {
        const qlonglong v = value.toLongLong(&ok);
        if (ok && field.kind == FieldKind::SmallInt && (v < -32768 || v > 32767))
            ok = false;
        out = v;
        break;
    }
    case FieldKind::YesNo: out = value.toBool() ? 1 : 0; break;
    case FieldKind::Date: {
        const QDate d =
            value.typeId() == QMetaType::QDate ? value.toDate() : QDate::fromString(value.toString(), Qt::ISODate);
        ok = d.isValid();
        out = d.toString(Qt::ISODate);
        break;
    }
    case FieldKind::Currency: {
        std::optional<Currency> c;
        if (value.canConvert<Currency>() && value.userType() == qMetaTypeId<Currency>()) {
            c = value.value<Currency>();
        } else if (value.typeId() == QMetaType::QString) {
            c = Currency::fromInvariant(value.toString());
        } else {
            const double d = value.toDouble(&ok);
            // Beyond what fits, the conversion itself would be undefined.
            if (ok && std::isfinite(d) && std::fabs(d) < 1e14)
                c = Currency::fromDouble(d);
        }
        ok = c.has_value() && c->isStorable();
        if (ok)
            out = c->toInvariant();
        break;
    }
    case FieldKind::Text:
    case FieldKind::Memo: {
        const QString s = value.toString();
        if (s.size() > field.size) {
            ok = false;
            if (why)
                *why = QStringLiteral("The text is longer than the %1 characters the field %2 holds.")
                           .arg(field.size)
                           .arg(QLatin1String(field.name));
            return QVariant();
        }
        out = s;
        break;
    }
    }
    if (!ok) {
        if (why)
            *why = QStringLiteral("The value '%1' does not fit the field %2.")
                       .arg(value.toString(), QLatin1String(field.name));
        return QVariant();
    }
    return out;
}

Status EditSet::open(const QString &sourceOrTable, Connection &connection)
{
    close();
    const QString tableName = tableNameOf(sourceOrTable);
    m_table = findTable(tableName);
    if (!m_table)
        return Status::failure(kErrorBadStatement, QStringLiteral("Unknown table: %1").arg(tableName));
    m_conn = &connection;
    const bool wholeTable = !sourceOrTable.contains(QStringLiteral("SELECT"), Qt::CaseInsensitive);
    if (wholeTable)
        return Status::success(); // opened for AddNew only
    Recordset rs;
    Status st = rs.open(sourceOrTable, connection, CursorType::Static);
    if (!st)
        return st;
    const int n = int(m_table->fields.size());
    QList<int> map;
    for (const FieldDef &f : m_table->fields)
        map << rs.fieldIndex(QString::fromLatin1(f.name));
    for (; !rs.eof(); rs.moveNext()) {
        Row r;
        for (int i = 0; i < n; ++i)
            r.values << (map[i] >= 0 ? rs.value(map[i]) : QVariant());
        r.original = r.values;
        r.dirty = QList<bool>(n, false);
        m_rows << r;
    }
    return Status::success();
}

void EditSet::close()
{
    m_rows.clear();
    m_row = 0;
    m_table = nullptr;
    m_conn = nullptr;
}

int EditSet::fieldIndex(QStringView field) const
{
    if (!m_table)
        return -1;
    for (int i = 0; i < m_table->fields.size(); ++i)
        if (field.compare(QLatin1String(m_table->fields[i].name), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant EditSet::value(QStringView field) const
{
    const int i = fieldIndex(field);
    if (i < 0 || eof())
        return QVariant();
    return m_rows[m_row].values[i];
}

Status EditSet::setValue(QStringView field, const QVariant &value)
{
    const int i = fieldIndex(field);
    if (i < 0)
        return Status::failure(kErrorBadValue, QStringLiteral("Unknown field: %1").arg(field));
    if (eof())
        return Status::failure(kErrorBadValue, QStringLiteral("There is no current record."));
    const FieldDef &f = m_table->fields[i];
    if (f.autoNumber)
        return Status::failure(kErrorBadValue, QStringLiteral("The field %1 is assigned by the database.").arg(field));
    QString why;
    const QVariant stored = valueForField(f, value, &why);
    if (!why.isEmpty())
        return Status::failure(kErrorBadValue, why);
    Row &r = m_rows[m_row];
    // Kept in the form the set reads back, so value() shows what was set.
    QVariant shown = stored;
    if (!stored.isNull()) {
        switch (f.kind) {
        case FieldKind::YesNo: shown = stored.toInt() != 0; break;
        case FieldKind::Date: shown = QDate::fromString(stored.toString(), Qt::ISODate); break;
        case FieldKind::Currency: shown = QVariant::fromValue(*Currency::fromInvariant(stored.toString())); break;
        default: break;
        }
    }
    r.values[i] = shown;
    r.dirty[i] = true;
    return Status::success();
}

void EditSet::addNew()
{
    if (!m_table)
        return;
    Row r;
    const int n = int(m_table->fields.size());
    for (int i = 0; i < n; ++i) {
        const FieldDef &f = m_table->fields[i];
        r.values << (f.defaultValue ? QVariant(QString::fromLatin1(f.defaultValue).toLongLong()) : QVariant());
    }
    r.original = r.values;
    r.dirty = QList<bool>(n, false);
    r.isNew = true;
    m_rows << r;
    m_row = int(m_rows.size()) - 1;
}

Status EditSet::writeRow(Row &row)
{
    if (!m_conn || !m_conn->isOpen())
        return Status::failure(kErrorNotOpen, QStringLiteral("The connection is not open."));
    const FieldDef *pk = primaryKey(*m_table);
    const int pkIndex = pk ? fieldIndex(QString::fromLatin1(pk->name)) : -1;
    QStringList cols;
    QList<QVariant> values;
    for (int i = 0; i < m_table->fields.size(); ++i) {
        if (!row.dirty[i])
            continue;
        cols << QLatin1String(m_table->fields[i].name);
        QString why;
        const QVariant v = valueForField(m_table->fields[i], row.values[i], &why);
        // Yes/No goes as a truth value: each engine stores it its own way.
        values << (m_table->fields[i].kind == FieldKind::YesNo && !v.isNull() ? QVariant(v.toBool()) : v);
    }
    QByteArray sql;
    if (row.isNew) {
        if (cols.isEmpty())
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(QLatin1String(m_table->name)).toUtf8();
        else
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(QLatin1String(m_table->name), cols.join(QStringLiteral(", ")),
                           QStringList(cols.size(), QStringLiteral("?")).join(QStringLiteral(", ")))
                      .toUtf8();
    } else {
        if (cols.isEmpty())
            return Status::success();
        if (pkIndex < 0)
            return Status::failure(kErrorBadStatement,
                                   QStringLiteral("The table %1 has no key.").arg(QLatin1String(m_table->name)));
        QStringList sets;
        for (const QString &c : cols)
            sets << c + QStringLiteral(" = ?");
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                  .arg(QLatin1String(m_table->name), sets.join(QStringLiteral(", ")), QLatin1String(pk->name))
                  .toUtf8();
        values << row.original[pkIndex];
    }
    TranslatedSql t = translateSql(QString::fromUtf8(sql), LiteralMode::Lift, m_conn->dialect());
    for (const QVariant &v : values)
        t.params.push_back(sqlParam(v, m_conn->dialect()));
    qint64 affected = 0;
    if (Status st = m_conn->executeTranslated(t, &affected); !st)
        return st;
    if (!row.isNew && affected == 0)
        return Status::failure(kErrorNoRowUpdated,
                               QStringLiteral("The record no longer exists: it was changed or deleted meanwhile."));
    if (row.isNew && pk && pk->autoNumber)
        row.values[pkIndex] = QVariant::fromValue<qlonglong>(m_conn->lastInsertId());
    row.isNew = false;
    row.original = row.values;
    row.dirty.fill(false);
    return Status::success();
}

Status EditSet::update()
{
    if (eof())
        return Status::failure(kErrorNoRowUpdated, QStringLiteral("There is no current record."));
    return writeRow(m_rows[m_row]);
}

Status EditSet::updateBatch()
{
    for (Row &r : m_rows) {
        Status st = writeRow(r);
        if (!st)
            return st;
    }
    return Status::success();
}

void EditSet::cancelUpdate()
{
    QList<Row> kept;
    for (Row &r : m_rows) {
        if (r.isNew)
            continue;
        r.values = r.original;
        r.dirty.fill(false);
        kept << r;
    }
    m_rows = kept;
    if (m_row >= m_rows.size())
        m_row = int(m_rows.size());
}

} // namespace velto
