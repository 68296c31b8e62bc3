#include "ui/widgets/gridrow.h"

#include "ui/widgets/gridmodel.h"
#include "ui/widgets/gridsource.h"

namespace velto {

QString GridSource::groupCaption(const GridRow &group) const
{
    return group.caption();
}

int GridRow::groupLevel() const
{
    return (m_model && m_group >= 0) ? m_model->groupLevelOf(m_group) + 1 : 0;
}

int GridRow::groupColumn() const
{
    return (m_model && m_group >= 0) ? m_model->groupKey(m_model->groupLevelOf(m_group) + 1).column : 0;
}

QVariant GridRow::groupValue() const
{
    return (m_model && m_group >= 0) ? m_model->groupValueOf(m_group) : QVariant();
}

QVariant GridRow::value(int column) const
{
    if (!m_model)
        return {};
    if (m_group >= 0)
        return column == groupColumn() ? groupValue() : QVariant();
    return m_model->cellValue(m_record, column);
}

QVariant GridRow::aggregate(int column, GridAggregate function) const
{
    return (m_model && m_group >= 0) ? m_model->aggregate(m_group, column, function) : QVariant();
}

} // namespace velto
