#include "data/recordset.h"

#include "data/connection.h"
#include "data/statement.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace velto {

namespace {

// 'YYYY-MM-DD' (a time part after it is ignored) to a Julian day, or -1.
qint64 parseIsoDay(const unsigned char *s, int len)
{
    if (len < 10 || s[4] != '-' || s[7] != '-')
        return -1;
    auto digits = [&](int from, int n) {
        int v = 0;
        for (int k = from; k < from + n; ++k) {
            if (s[k] < '0' || s[k] > '9')
                return -1;
            v = v * 10 + (s[k] - '0');
        }
        return v;
    };
    const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
    if (y < 0 || m < 0 || d < 0 || (len > 10 && s[10] != ' ' && s[10] != 'T'))
        return -1;
    const QDate date(y, m, d);
    return date.isValid() ? date.toJulianDay() : -1;
}

} // namespace

Recordset::CellBuffer::~CellBuffer()
{
    release();
}

void Recordset::CellBuffer::release()
{
    std::free(m_values);
    std::free(m_types);
    m_values = nullptr;
    m_types = nullptr;
    m_size = m_capacity = 0;
}

std::size_t Recordset::CellBuffer::grow(std::size_t n)
{
    if (m_size + n > m_capacity) {
        std::size_t capacity = m_capacity ? m_capacity * 2 : 256;
        while (capacity < m_size + n)
            capacity *= 2;
        void *values = std::realloc(m_values, capacity * sizeof(std::int64_t));
        if (!values)
            throw std::bad_alloc();
        m_values = static_cast<std::int64_t *>(values);
        void *types = std::realloc(m_types, capacity * sizeof(CellType));
        if (!types)
            throw std::bad_alloc();
        m_types = static_cast<CellType *>(types);
        m_capacity = capacity;
    }
    const std::size_t first = m_size;
    m_size += n;
    return first;
}

namespace {
// Kept for the next result at most: 8M cells (72 MB) and 64 MB of text.
constexpr std::size_t kMaxSpareCells = std::size_t(8) << 20;
constexpr qsizetype kMaxSpareText = qsizetype(64) << 20;
} // namespace

// The grids re-read the same query after every change. Mapping fresh memory
// for its rows costs more than reading them, so the buffers of a closed
// static set are kept, one set of them per thread, for the next one.
namespace {
// Set once the thread's spare buffers are destroyed, so that a set closed
// later (a static one, at exit) frees its own.
thread_local bool t_spareGone = false;
} // namespace

struct Recordset::Spare {
    CellBuffer cells;
    QByteArray text;
    ~Spare() { t_spareGone = true; }
};

Recordset::Spare &Recordset::spare()
{
    static thread_local Spare s;
    return s;
}

void Recordset::adoptSpareBuffers()
{
    if (t_spareGone)
        return;
    Spare &sp = spare();
    if (m_cells.capacity() == 0 && sp.cells.capacity() > 0) {
        m_cells.swap(sp.cells);
        m_cells.clear();
    }
    if (m_text.capacity() == 0 && sp.text.capacity() > 0) {
        m_text.swap(sp.text);
        m_text.resize(0);
    }
}

void Recordset::recycleBuffers()
{
    if (t_spareGone) {
        m_cells.release();
        m_text = QByteArray();
        return;
    }
    Spare &sp = spare();
    if (m_cells.capacity() > sp.cells.capacity() && m_cells.capacity() <= kMaxSpareCells)
        m_cells.swap(sp.cells);
    m_cells.release();
    if (m_text.capacity() > sp.text.capacity() && m_text.capacity() <= kMaxSpareText)
        m_text.swap(sp.text);
    m_text = QByteArray();
}

Recordset::Recordset() = default;

Recordset::~Recordset()
{
    close();
}

Status Recordset::open(const QString &statement, Connection &connection, CursorType cursor)
{
    close();
    return openOn(statement, connection, cursor);
}

Status Recordset::open(const QString &statement, const QString &connectionString, CursorType cursor)
{
    close();
    auto *conn = new Connection;
    Status st = conn->open(connectionString);
    if (!st) {
        delete conn;
        return st;
    }
    m_ownConnection = conn;
    st = openOn(statement, *conn, cursor);
    if (!st || cursor == CursorType::Static) {
        // A static set holds its rows; the file is free again.
        delete m_ownConnection;
        m_ownConnection = nullptr;
    }
    return st;
}

Status Recordset::openOn(const QString &statement, Connection &connection, CursorType cursor)
{
    m_cursor = cursor;
    m_status = Status::success();
    m_stmt = std::make_unique<Statement>();
    Status st = connection.query(statement, m_stmt.get());
    if (!st) {
        m_stmt.reset();
        return st;
    }
    readColumns();
    m_open = true;
    m_row = 0;
    if (cursor == CursorType::ForwardOnly) {
        stepForward();
        if (!m_status.ok()) {
            st = m_status;
            close();
            return st;
        }
        return Status::success();
    }
    adoptSpareBuffers();
    m_rows = 0;
    while (m_stmt->next()) {
        fetchRow();
        ++m_rows;
    }
    if (!m_stmt->status()) {
        st = m_stmt->status();
        close();
        return st;
    }
    m_stmt.reset();
    m_eof = m_rows == 0;
    return Status::success();
}

void Recordset::readColumns()
{
    const int n = m_stmt->columnCount();
    m_names.clear();
    m_kinds.clear();
    m_typedByValue.clear();
    for (int i = 0; i < n; ++i) {
        m_names << QString::fromUtf8(m_stmt->columnName(i));
        bool byValue = false;
        m_kinds.push_back(m_stmt->declaredKind(i, &byValue));
        m_typedByValue.push_back(byValue);
    }
}

void Recordset::fetchRow()
{
    const int n = fieldCount();
    QByteArray &text = m_text;
    const std::size_t first = m_cells.grow(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        Cell c;
        c.i = 0;
        c.type = CellNull;
        const Statement &stmt = *m_stmt;
        switch (stmt.type(i)) {
        case ValueType::Integer:
            c.type = CellInt;
            c.i = stmt.integer(i);
            break;
        case ValueType::Real:
            c.type = CellReal;
            c.d = stmt.real(i);
            break;
        case ValueType::Null: c.type = CellNull; break;
        case ValueType::Text: {
            const QByteArrayView v = stmt.text(i);
            const auto *s = reinterpret_cast<const unsigned char *>(v.data());
            const int len = int(v.size());
            if (m_kinds[std::size_t(i)] == FieldKind::Date && !m_typedByValue[std::size_t(i)]) {
                const qint64 jd = parseIsoDay(s, len);
                if (jd >= 0) {
                    c.type = CellDate;
                    c.i = jd;
                    break;
                }
            }
            c.type = CellText;
            c.t.off = std::uint32_t(text.size());
            c.t.len = std::uint32_t(len);
            text.append(reinterpret_cast<const char *>(s), len);
            break;
        }
        }
        m_cells.set(first + std::size_t(i), c);
    }
}

void Recordset::stepForward()
{
    m_cells.clear();
    m_text.resize(0); // keeps its room for the next row
    if (m_stmt->next()) {
        fetchRow();
        m_eof = false;
    } else {
        m_eof = true;
        m_status = m_stmt->status();
    }
}

void Recordset::close()
{
    m_stmt.reset();
    delete m_ownConnection;
    m_ownConnection = nullptr;
    m_open = false;
    m_eof = true;
    recycleBuffers();
    m_rows = 0;
    m_row = 0;
}

void Recordset::moveNext()
{
    if (!m_open || m_eof)
        return;
    if (m_cursor == CursorType::ForwardOnly) {
        stepForward();
        return;
    }
    ++m_row;
    m_eof = m_row >= m_rows;
}

void Recordset::moveFirst()
{
    if (m_cursor != CursorType::Static)
        return;
    m_row = 0;
    m_eof = m_rows == 0;
}

qint64 Recordset::recordCount() const
{
    return m_cursor == CursorType::Static ? m_rows : -1;
}

void Recordset::setBookmark(int row)
{
    if (m_cursor != CursorType::Static)
        return;
    m_row = row;
    m_eof = row < 0 || row >= m_rows;
}

int Recordset::fieldIndex(QStringView name) const
{
    for (int i = 0; i < m_names.size(); ++i)
        if (name.compare(m_names[i], Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Recordset::Cell Recordset::cell(int row, int field) const
{
    Cell none;
    none.i = 0;
    none.type = CellNull;
    if (field < 0 || field >= fieldCount())
        return none;
    const std::size_t index = m_cursor == CursorType::ForwardOnly
        ? std::size_t(field)
        : std::size_t(row) * std::size_t(fieldCount()) + std::size_t(field);
    if (row < 0 || index >= m_cells.size())
        return none;
    return m_cells.at(index);
}

qint64 Recordset::intOf(const Cell &c, qint64 dflt) const
{
    switch (c.type) {
    case CellInt:
    case CellDate: return c.i;
    case CellReal: return qint64(std::llround(c.d));
    case CellText: {
        bool ok = false;
        const qint64 v = QByteArray(m_text.constData() + c.t.off, c.t.len).trimmed().toLongLong(&ok);
        return ok ? v : dflt;
    }
    default: return dflt;
    }
}

double Recordset::doubleOf(const Cell &c, double dflt) const
{
    switch (c.type) {
    case CellInt: return double(c.i);
    case CellReal: return c.d;
    case CellText: {
        bool ok = false;
        const double v = QByteArray(m_text.constData() + c.t.off, c.t.len).trimmed().toDouble(&ok);
        return ok ? v : dflt;
    }
    default: return dflt;
    }
}

Currency Recordset::currencyOf(const Cell &c) const
{
    switch (c.type) {
    case CellInt: return Currency::fromUnits(c.i * Currency::kScale);
    case CellReal: return Currency::fromDouble(c.d);
    case CellText:
        return Currency::fromInvariant(QString::fromUtf8(m_text.constData() + c.t.off, c.t.len)).value_or(Currency());
    default: return Currency();
    }
}

QDate Recordset::dateOf(const Cell &c) const
{
    if (c.type == CellDate)
        return QDate::fromJulianDay(c.i);
    if (c.type == CellText) {
        const qint64 jd =
            parseIsoDay(reinterpret_cast<const unsigned char *>(m_text.constData() + c.t.off), int(c.t.len));
        if (jd >= 0)
            return QDate::fromJulianDay(jd);
    }
    return QDate();
}

QString Recordset::textOf(const Cell &c) const
{
    switch (c.type) {
    case CellText: return QString::fromUtf8(m_text.constData() + c.t.off, c.t.len);
    case CellInt: return QString::number(c.i);
    case CellReal: return QString::number(c.d, 'g', 17);
    case CellDate: return QDate::fromJulianDay(c.i).toString(Qt::ISODate);
    default: return QString();
    }
}

QVariant Recordset::valueOf(const Cell &c, int field) const
{
    if (c.type == CellNull)
        return QVariant();
    if (m_typedByValue[std::size_t(field)]) {
        switch (c.type) {
        case CellInt: return QVariant::fromValue<qlonglong>(c.i);
        case CellReal: return c.d;
        default: return textOf(c);
        }
    }
    switch (m_kinds[std::size_t(field)]) {
    case FieldKind::Integer:
    case FieldKind::SmallInt:
        if (c.type == CellText)
            return textOf(c);
        return QVariant::fromValue<qlonglong>(intOf(c, 0));
    case FieldKind::YesNo: return intOf(c, 0) != 0;
    case FieldKind::Date: {
        const QDate d = dateOf(c);
        return d.isValid() ? QVariant(d) : QVariant(textOf(c));
    }
    case FieldKind::Currency: return QVariant::fromValue(currencyOf(c));
    case FieldKind::Text:
    case FieldKind::Memo: return textOf(c);
    }
    return QVariant();
}

bool Recordset::isNull(int field) const
{
    return cell(m_row, field).type == CellNull;
}
QVariant Recordset::value(int field) const
{
    if (field < 0 || field >= fieldCount())
        return QVariant();
    return valueOf(cell(m_row, field), field);
}
QVariant Recordset::value(QStringView name) const
{
    return value(fieldIndex(name));
}
qint64 Recordset::intValue(int field, qint64 dflt) const
{
    return intOf(cell(m_row, field), dflt);
}
double Recordset::doubleValue(int field, double dflt) const
{
    return doubleOf(cell(m_row, field), dflt);
}
Currency Recordset::currencyValue(int field) const
{
    return currencyOf(cell(m_row, field));
}
bool Recordset::boolValue(int field) const
{
    return intOf(cell(m_row, field), 0) != 0;
}
QDate Recordset::dateValue(int field) const
{
    return dateOf(cell(m_row, field));
}
QString Recordset::textValue(int field) const
{
    return textOf(cell(m_row, field));
}
QByteArrayView Recordset::textBytes(int field) const
{
    const Cell c = cell(m_row, field);
    if (c.type != CellText)
        return {};
    return QByteArrayView(m_text.constData() + c.t.off, c.t.len);
}

bool Recordset::isNullAt(int row, int field) const
{
    return cell(row, field).type == CellNull;
}
QVariant Recordset::valueAt(int row, int field) const
{
    if (field < 0 || field >= fieldCount())
        return QVariant();
    return valueOf(cell(row, field), field);
}
qint64 Recordset::intAt(int row, int field) const
{
    return intOf(cell(row, field), 0);
}
Currency Recordset::currencyAt(int row, int field) const
{
    return currencyOf(cell(row, field));
}
QDate Recordset::dateAt(int row, int field) const
{
    return dateOf(cell(row, field));
}
QString Recordset::textAt(int row, int field) const
{
    return textOf(cell(row, field));
}

} // namespace velto
