#pragma once
// A grid source held in memory: used by tests and by lists the program
// builds itself.

#include "ui/widgets/gridsource.h"

#include <QList>
#include <QStringList>

namespace velto {

class VectorGridSource : public GridSource
{
public:
    using Row = QList<QVariant>;

    VectorGridSource() = default;
    VectorGridSource(QStringList names, QList<Row> rows);

    void appendRow(Row row);
    // Every cell of the column shows this picture (from 1; 0 for none).
    void setColumnImage(int col, int image);

    [[nodiscard]] int columnCount() const override { return int(m_names.size()); }
    [[nodiscard]] QString columnName(int col) const override;
    [[nodiscard]] int rowCount() const override { return int(m_rows.size()); }
    // A short row reads as null in its missing fields.
    [[nodiscard]] QVariant value(int row, int col) const override;
    [[nodiscard]] int image(int row, int col) const override;

private:
    QStringList m_names;
    QList<Row> m_rows;
    QList<int> m_images; // by column
};

} // namespace velto
