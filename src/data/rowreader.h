#pragma once
// A result read row by row straight from the prepared statement: nothing is
// copied, a value is taken only when asked for. For the core's typed reads
// of many rows (the main grid); a text is valid until the next row.

#include "data/currency.h"
#include "data/status.h"

#include <QByteArrayView>
#include <QString>

#include <memory>

namespace velto {

class Connection;
class Statement;

class RowReader
{
public:
    RowReader();
    ~RowReader();
    RowReader(const RowReader &) = delete;
    RowReader &operator=(const RowReader &) = delete;

    // On a connection of its own, opened with the connection string.
    Status open(const QString &statement, const QString &connectionString);
    // On a connection already open, which must outlive the reading.
    Status open(const QString &statement, Connection &connection);
    // Steps to the next row; false at the end or on a failure (status()).
    bool next();
    [[nodiscard]] const Status &status() const { return m_status; }

    // -1 when the result has no such column (case-insensitive).
    [[nodiscard]] int column(const char *name) const;
    [[nodiscard]] bool isNull(int column) const;
    [[nodiscard]] qint64 integer(int column) const;
    // A number with at most four decimals, as stored.
    [[nodiscard]] Currency currency(int column) const;
    // An ISO date ('YYYY-MM-DD') as its Julian day; 0 for null or no date.
    [[nodiscard]] qint64 julianDay(int column) const;
    [[nodiscard]] QByteArrayView text(int column) const;

private:
    std::unique_ptr<Connection> m_ownConnection;
    std::unique_ptr<Statement> m_stmt;
    Status m_status;
};

} // namespace velto
