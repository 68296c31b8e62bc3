#include "data/rowreader.h"

#include "data/connection.h"
#include "data/statement.h"

#include <QDate>

namespace velto {

RowReader::RowReader() = default;
RowReader::~RowReader() = default;

Status RowReader::open(const QString &statement, const QString &connectionString)
{
    m_stmt.reset();
    m_ownConnection = std::make_unique<Connection>();
    m_status = m_ownConnection->open(connectionString);
    return m_status ? open(statement, *m_ownConnection) : m_status;
}

Status RowReader::open(const QString &statement, Connection &connection)
{
    m_stmt = std::make_unique<Statement>();
    m_status = connection.query(statement, m_stmt.get());
    return m_status;
}

bool RowReader::next()
{
    if (!m_stmt || !m_status)
        return false;
    if (m_stmt->next())
        return true;
    m_status = m_stmt->status();
    m_stmt->release();
    return false;
}

int RowReader::column(const char *name) const
{
    return m_stmt ? m_stmt->columnIndex(name) : -1;
}

bool RowReader::isNull(int column) const
{
    return column < 0 || m_stmt->type(column) == ValueType::Null;
}

qint64 RowReader::integer(int column) const
{
    return column < 0 ? 0 : m_stmt->integer(column);
}

Currency RowReader::currency(int column) const
{
    switch (column < 0 ? ValueType::Null : m_stmt->type(column)) {
    case ValueType::Integer: return Currency::fromUnits(m_stmt->integer(column) * Currency::kScale);
    case ValueType::Real: return Currency::fromDouble(m_stmt->real(column));
    case ValueType::Text: return Currency::fromInvariant(QString::fromUtf8(text(column))).value_or(Currency());
    case ValueType::Null: break;
    }
    return Currency();
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
    if (column < 0 || m_stmt->type(column) != ValueType::Text)
        return {};
    return m_stmt->text(column);
}

} // namespace velto
