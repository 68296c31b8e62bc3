#pragma once
// The grids' loader for the running program: a record source (SQL text or a
// table name) read once through the data layer into a static recordset that
// keeps its values compactly; the grid asks for one cell at a time.

#include "ui/widgets/gridsource.h"

#include "data/recordset.h"

#include <memory>

namespace velto {

class RecordsetGridSource : public GridSource
{
public:
    // A bare table name reads the whole table.
    static std::unique_ptr<GridSource> load(const QString &connection, const QString &source, QString *error);

    [[nodiscard]] int columnCount() const override { return m_set.fieldCount(); }
    [[nodiscard]] QString columnName(int col) const override { return m_set.fieldName(col); }
    [[nodiscard]] int rowCount() const override { return m_rows; }
    [[nodiscard]] QVariant value(int row, int col) const override { return m_set.valueAt(row, col); }

private:
    Recordset m_set;
    int m_rows = 0;
};

// Makes every Grid read its record source through the data layer.
void installDatabaseGridLoader();

} // namespace velto
