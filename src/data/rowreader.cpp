#include "data/rowreader.h"

#include "data/connection.h"

#include <sqlite3.h>

#include <QDate>

namespace velto {

RowReader::~RowReader()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    delete m_connection;
}

Status RowReader::open(const QString &statement, const QString &connectionString)
{
    m_connection = new Connection;
    Status st = m_connection->open(connectionString);
    if (st)
        st = m_connection->prepareOwned(statement, &m_stmt);
    m_status = st;
    return st;
}

bool RowReader::next()
{
    if (!m_stmt || !m_status)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_status = m_connection->lastError(rc);
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    return false;
}

int RowReader::column(const char *name) const
{
    const int n = m_stmt ? sqlite3_column_count(m_stmt) : 0;
    for (int i = 0; i < n; ++i) {
        if (sqlite3_stricmp(sqlite3_column_name(m_stmt, i), name) == 0)
            return i;
    }
    return -1;
}

bool RowReader::isNull(int column) const
{
    return column < 0 || sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 RowReader::integer(int column) const
{
    return column < 0 ? 0 : sqlite3_column_int64(m_stmt, column);
}

Currency RowReader::currency(int column) const
{
    switch (column < 0 ? SQLITE_NULL : sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Currency::fromUnits(sqlite3_column_int64(m_stmt, column) * Currency::kScale);
    case SQLITE_FLOAT:
        return Currency::fromDouble(sqlite3_column_double(m_stmt, column));
    case SQLITE_TEXT:
        return Currency::fromInvariant(QString::fromUtf8(text(column))).value_or(Currency());
    default:
        return Currency();
    }
}

qint64 RowReader::julianDay(int column) const
{
    const QByteArrayView t = text(column);
    const auto *s = reinterpret_cast<const unsigned char *>(t.data());
    if (t.size() < 10 || s[4] != '-' || s[7] != '-')
        return 0;
    int v[3] = {0, 0, 0};
    const int from[3] = {0, 5, 8}, len[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (int k = from[p]; k < from[p] + len[p]; ++k) {
            if (s[k] < '0' || s[k] > '9')
                return 0;
            v[p] = v[p] * 10 + (s[k] - '0');
        }
    }
    const int y = v[0], m = v[1], d = v[2];
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31)
        return 0;
    if (d > 28 && d > QDate(y, m, 1).daysInMonth())
        return 0;
    // The Julian day of a Gregorian date, as QDate counts it.
    const int a = (14 - m) / 12;
    const qint64 yy = qint64(y) + 4800 - a;
    const int mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

QByteArrayView RowReader::text(int column) const
{
    if (column < 0 || sqlite3_column_type(m_stmt, column) != SQLITE_TEXT)
        return {};
    const auto *s = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(s, sqlite3_column_bytes(m_stmt, column));
}

} // namespace velto
