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

void VectorGridSource::setColumnImage(int col, int image)
{
    if (col < 0)
        return;
    if (m_images.size() <= col)
        m_images.resize(col + 1, 0);
    m_images[col] = image;
}

int VectorGridSource::image(int, int col) const
{
    return m_images.value(col, 0);
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
