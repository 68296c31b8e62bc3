#include "data/statement.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace velto {

namespace {

// The server's type numbers of the columns the program reads.
enum : Oid {
    kBool = 16,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kFloat4 = 700,
    kFloat8 = 701,
    kChar = 1042,
    kVarchar = 1043,
    kDate = 1082,
    kNumeric = 1700,
};

} // namespace

FieldKind kindOfDeclaredType(const char *declared, bool *byValue)
{
    *byValue = false;
    if (!declared) {
        *byValue = true;
        return FieldKind::Integer;
    }
    const QByteArray d = QByteArray(declared).toUpper();
    if (d.startsWith("BOOL") || d == "YESNO" || d == "BIT")
        return FieldKind::YesNo;
    if (d.startsWith("DATE"))
        return FieldKind::Date;
    if (d.startsWith("CURRENCY") || d.startsWith("MONEY"))
        return FieldKind::Currency;
    if (d.startsWith("SMALLINT"))
        return FieldKind::SmallInt;
    if (d.contains("INT"))
        return FieldKind::Integer;
    if (d.startsWith("MEMO"))
        return FieldKind::Memo;
    if (d.contains("CHAR") || d.contains("TEXT") || d.contains("CLOB"))
        return FieldKind::Text;
    *byValue = true;
    return FieldKind::Integer;
}

void Statement::release()
{
    if (m_lite) {
        if (m_owned) {
            sqlite3_finalize(m_lite);
        } else {
            sqlite3_reset(m_lite);
            sqlite3_clear_bindings(m_lite);
        }
        m_lite = nullptr;
    }
    if (m_server) {
        PQclear(m_server);
        m_server = nullptr;
    }
    m_row = -1;
    m_rows = 0;
}

bool Statement::next()
{
    if (m_server)
        return ++m_row < m_rows;
    if (!m_lite || !m_status)
        return false;
    const int rc = sqlite3_step(m_lite);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_status = Status::failure(rc, QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(m_lite))));
    return false;
}

int Statement::columnCount() const
{
    if (m_server)
        return PQnfields(m_server);
    return m_lite ? sqlite3_column_count(m_lite) : 0;
}

QByteArray Statement::columnName(int column) const
{
    if (m_server)
        return QByteArray(PQfname(m_server, column));
    return QByteArray(sqlite3_column_name(m_lite, column));
}

int Statement::columnIndex(const char *name) const
{
    const int n = columnCount();
    for (int i = 0; i < n; ++i) {
        const char *c = m_server ? PQfname(m_server, i) : sqlite3_column_name(m_lite, i);
        if (qstricmp(c, name) == 0)
            return i;
    }
    return -1;
}

FieldKind Statement::declaredKind(int column, bool *byValue) const
{
    if (!m_server)
        return kindOfDeclaredType(sqlite3_column_decltype(m_lite, column), byValue);
    *byValue = false;
    switch (PQftype(m_server, column)) {
    case kBool: return FieldKind::YesNo;
    case kDate: return FieldKind::Date;
    case kNumeric: return FieldKind::Currency;
    case kInt2: return FieldKind::SmallInt;
    case kInt4:
    case kInt8: return FieldKind::Integer;
    case kChar:
    case kVarchar: return FieldKind::Text;
    case kText: return FieldKind::Memo;
    default: *byValue = true; return FieldKind::Integer;
    }
}

ValueType Statement::type(int column) const
{
    if (m_server) {
        if (PQgetisnull(m_server, m_row, column))
            return ValueType::Null;
        switch (PQftype(m_server, column)) {
        case kBool:
        case kInt2:
        case kInt4:
        case kInt8: return ValueType::Integer;
        case kFloat4:
        case kFloat8:
        case kNumeric: return ValueType::Real;
        default: return ValueType::Text;
        }
    }
    switch (sqlite3_column_type(m_lite, column)) {
    case SQLITE_INTEGER: return ValueType::Integer;
    case SQLITE_FLOAT: return ValueType::Real;
    case SQLITE_NULL: return ValueType::Null;
    default: return ValueType::Text;
    }
}

qint64 Statement::integer(int column) const
{
    if (m_server) {
        const char *v = PQgetvalue(m_server, m_row, column);
        if (PQftype(m_server, column) == kBool)
            return v[0] == 't' ? 1 : 0;
        return std::strtoll(v, nullptr, 10);
    }
    return sqlite3_column_int64(m_lite, column);
}

double Statement::real(int column) const
{
    if (m_server) {
        // Whatever the regional settings: the server writes a point.
        const char *v = PQgetvalue(m_server, m_row, column);
        double d = 0;
        std::from_chars(v, v + std::strlen(v), d);
        return d;
    }
    return sqlite3_column_double(m_lite, column);
}

QByteArrayView Statement::text(int column) const
{
    if (m_server)
        return QByteArrayView(PQgetvalue(m_server, m_row, column), PQgetlength(m_server, m_row, column));
    const auto *s = reinterpret_cast<const char *>(sqlite3_column_text(m_lite, column));
    return QByteArrayView(s, sqlite3_column_bytes(m_lite, column));
}

} // namespace velto
