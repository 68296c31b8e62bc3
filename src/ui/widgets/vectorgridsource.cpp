#include "ui/widgets/vectorgridsource.h"

namespace velto {

VectorGridSource::VectorGridSource(QStringList names, QList<Row> rows)
    : m_names(std::move(names)), m_rows(std::move(rows))
{
}

void VectorGridSource::appendRow(Row row)
{
    m_rows.append(std::move(row));
}

QString VectorGridSource::columnName(int col) const
{
    return m_names.value(col);
}

QVariant VectorGridSource::value(int row, int col) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows.at(row).value(col);
}

} // namespace velto
