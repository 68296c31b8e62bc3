#pragma once
// One statement's result being read, whichever engine gave it: SQLite steps
// its prepared statement row by row; a server's result arrives whole and is
// stepped here. For the data layer's own readers (Recordset, RowReader, the
// undo history's row images); values are typed as SQLite types them.

#include "data/schema.h"
#include "data/status.h"

#include <QByteArrayView>

#include <cstdint>

struct sqlite3_stmt;
struct pg_result;

namespace velto {

enum class ValueType : std::uint8_t { Null, Integer, Real, Text };

class Statement
{
public:
    Statement() = default;
    ~Statement() { release(); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    [[nodiscard]] bool isValid() const { return m_lite || m_server; }
    // Done with it: a statement the connection keeps is reset for its next
    // use, any other freed.
    void release();

    // Steps to the next row; false at the end or on a failure (status()).
    bool next();
    [[nodiscard]] const Status &status() const { return m_status; }

    [[nodiscard]] int columnCount() const;
    [[nodiscard]] QByteArray columnName(int column) const;
    // -1 when there is no such column (case-insensitive).
    [[nodiscard]] int columnIndex(const char *name) const;
    // The kind the column was declared with; byValue when it has none (an
    // expression), so that its values are typed by what they hold.
    [[nodiscard]] FieldKind declaredKind(int column, bool *byValue) const;

    [[nodiscard]] ValueType type(int column) const;
    [[nodiscard]] qint64 integer(int column) const;
    [[nodiscard]] double real(int column) const;
    // UTF-8, valid until the next row.
    [[nodiscard]] QByteArrayView text(int column) const;

private:
    friend class Connection;
    sqlite3_stmt *m_lite = nullptr;
    bool m_owned = false;
    pg_result *m_server = nullptr;
    int m_row = -1;
    int m_rows = 0;
    Status m_status;
};

// The kind a declared column type stands for (SQLite's declared types).
FieldKind kindOfDeclaredType(const char *declared, bool *byValue);

} // namespace velto
