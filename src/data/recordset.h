#pragma once
// A read-only result: forward-only (rows stepped as they are read) or static
// (every row fetched at open, with a record count and bookmarks).
//
// Values are kept as the engine gives them (numbers as numbers, text as UTF-8 in
// one buffer, dates as day numbers) and typed only when a field is read, by
// the column's declared type: dates, Yes/No, currency, numbers, text.

#include "data/currency.h"
#include "data/schema.h"
#include "data/status.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace velto {

class Connection;
class Statement;

enum class CursorType { ForwardOnly, Static };

class Recordset
{
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    // On an open connection; a forward-only set must be closed before the
    // connection is.
    Status open(const QString &statement, Connection &connection, CursorType cursor = CursorType::ForwardOnly);
    // On a connection of its own, opened with the connection string. A
    // static set closes that connection once the rows are fetched.
    Status open(const QString &statement, const QString &connectionString, CursorType cursor = CursorType::ForwardOnly);
    void close();
    [[nodiscard]] bool isOpen() const { return m_open; }

    [[nodiscard]] bool eof() const { return m_eof; }
    void moveNext();
    // Static sets only.
    void moveFirst();
    [[nodiscard]] qint64 recordCount() const; // -1 for forward-only
    [[nodiscard]] int bookmark() const { return m_row; }
    void setBookmark(int row);
    // Set when stepping a forward-only result failed midway.
    [[nodiscard]] const Status &status() const { return m_status; }

    [[nodiscard]] int fieldCount() const { return int(m_names.size()); }
    [[nodiscard]] QString fieldName(int field) const { return m_names.value(field); }
    [[nodiscard]] FieldKind fieldKind(int field) const { return m_kinds[std::size_t(field)]; }
    // Case-insensitive; -1 when there is no such field.
    [[nodiscard]] int fieldIndex(QStringView name) const;

    [[nodiscard]] bool isNull(int field) const;
    [[nodiscard]] QVariant value(int field) const;
    [[nodiscard]] QVariant value(QStringView name) const;
    [[nodiscard]] qint64 intValue(int field, qint64 dflt = 0) const;
    [[nodiscard]] double doubleValue(int field, double dflt = 0) const;
    [[nodiscard]] Currency currencyValue(int field) const;
    [[nodiscard]] bool boolValue(int field) const;
    [[nodiscard]] QDate dateValue(int field) const;
    [[nodiscard]] QString textValue(int field) const;
    // The UTF-8 bytes of a text value, valid until the set moves or closes.
    [[nodiscard]] QByteArrayView textBytes(int field) const;

    // The same values at any row of a static set, without moving.
    [[nodiscard]] bool isNullAt(int row, int field) const;
    [[nodiscard]] QVariant valueAt(int row, int field) const;
    [[nodiscard]] qint64 intAt(int row, int field) const;
    [[nodiscard]] Currency currencyAt(int row, int field) const;
    [[nodiscard]] QDate dateAt(int row, int field) const;
    [[nodiscard]] QString textAt(int row, int field) const;

private:
    enum CellType : std::uint8_t { CellNull, CellInt, CellReal, CellText, CellDate };
    struct TextSpan {
        std::uint32_t off;
        std::uint32_t len;
    };
    struct Cell {
        union {
            std::int64_t i;
            double d;
            TextSpan t;
        };
        CellType type;
    };

    // Rows × fields, grown with realloc: large blocks are moved by the
    // system's page mapping rather than copied. Values and their types lie
    // in two arrays, 9 bytes a cell instead of 16.
    class CellBuffer
    {
    public:
        CellBuffer() = default;
        ~CellBuffer();
        CellBuffer(const CellBuffer &) = delete;
        CellBuffer &operator=(const CellBuffer &) = delete;
        // Room for n more cells; the index of the first of them.
        std::size_t grow(std::size_t n);
        void set(std::size_t i, const Cell &c)
        {
            std::memcpy(m_values + i, &c.i, sizeof(std::int64_t));
            m_types[i] = c.type;
        }
        void clear() { m_size = 0; }
        void release();
        void swap(CellBuffer &other) noexcept
        {
            std::swap(m_values, other.m_values);
            std::swap(m_types, other.m_types);
            std::swap(m_size, other.m_size);
            std::swap(m_capacity, other.m_capacity);
        }
        [[nodiscard]] std::size_t size() const { return m_size; }
        [[nodiscard]] std::size_t capacity() const { return m_capacity; }
        [[nodiscard]] Cell at(std::size_t i) const
        {
            Cell c;
            std::memcpy(&c.i, m_values + i, sizeof(std::int64_t));
            c.type = m_types[i];
            return c;
        }

    private:
        std::int64_t *m_values = nullptr;
        CellType *m_types = nullptr;
        std::size_t m_size = 0;
        std::size_t m_capacity = 0;
    };

    // The buffers of the last closed static set, for the next one.
    struct Spare;
    static Spare &spare();
    void adoptSpareBuffers();
    void recycleBuffers();

    Status openOn(const QString &statement, Connection &connection, CursorType cursor);
    void readColumns();
    void fetchRow();
    void stepForward();
    [[nodiscard]] Cell cell(int row, int field) const;
    [[nodiscard]] QVariant valueOf(const Cell &c, int field) const;
    [[nodiscard]] qint64 intOf(const Cell &c, qint64 dflt) const;
    [[nodiscard]] double doubleOf(const Cell &c, double dflt) const;
    [[nodiscard]] Currency currencyOf(const Cell &c) const;
    [[nodiscard]] QDate dateOf(const Cell &c) const;
    [[nodiscard]] QString textOf(const Cell &c) const;

    bool m_open = false;
    bool m_eof = true;
    CursorType m_cursor = CursorType::ForwardOnly;
    std::unique_ptr<Statement> m_stmt;
    Connection *m_ownConnection = nullptr;
    int m_row = 0;
    qint64 m_rows = 0;
    Status m_status;
    QStringList m_names;
    std::vector<FieldKind> m_kinds;
    std::vector<bool> m_typedByValue; // expressions: typed by what they hold
    CellBuffer m_cells;
    QByteArray m_text;
};

} // namespace velto
