#pragma once
// Rows of one table read for changing: the record a dialog edits, a new
// record (AddNew), or the rows of a group rewritten one by one. Values go
// back through bound parameters, keyed by the table's primary key; a write
// that finds its row gone is an error.

#include "data/schema.h"
#include "data/status.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace velto {

class Connection;

class EditSet
{
public:
    // "SELECT * FROM <table> WHERE ..." (optionally ORDER BY), or a bare
    // table name, which opens the table empty, ready for AddNew.
    Status open(const QString &sourceOrTable, Connection &connection);
    void close();

    [[nodiscard]] bool eof() const { return m_row >= m_rows.size(); }
    [[nodiscard]] int recordCount() const { return int(m_rows.size()); }
    void moveNext()
    {
        if (!eof())
            ++m_row;
    }
    void moveFirst() { m_row = 0; }
    [[nodiscard]] const TableDef *table() const { return m_table; }

    [[nodiscard]] QVariant value(QStringView field) const;
    // Checked against the field's type: a value that does not fit is refused.
    Status setValue(QStringView field, const QVariant &value);

    void addNew();
    // Writes the current row (after AddNew: inserts it and reads back its id).
    Status update();
    // Writes every changed row.
    Status updateBatch();
    // Forgets every change not yet written.
    void cancelUpdate();

private:
    struct Row {
        QList<QVariant> values;
        QList<QVariant> original;
        QList<bool> dirty;
        bool isNew = false;
    };
    int fieldIndex(QStringView field) const;
    Status writeRow(Row &row);

    Connection *m_conn = nullptr;
    const TableDef *m_table = nullptr;
    QList<Row> m_rows;
    int m_row = 0;
};

// A value converted to what a field of this kind stores, or an invalid
// QVariant when it does not fit. Null stays null.
QVariant valueForField(const FieldDef &field, const QVariant &value, QString *why);

} // namespace velto
