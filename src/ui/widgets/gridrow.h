#pragma once
// One row of a grid as the program sees it: a group row or a record.

#include "ui/widgets/gridtypes.h"

#include <QString>
#include <QVariant>

namespace velto {

class GridModel;

class GridRow
{
public:
    GridRow() = default;

    [[nodiscard]] bool isValid() const { return m_model != nullptr && m_position > 0; }
    [[nodiscard]] bool isGroupRow() const { return m_group >= 0; }
    // Row number from 1, group rows included.
    [[nodiscard]] int position() const { return m_position; }
    // The source row of a record (from 0); -1 for a group row.
    [[nodiscard]] int bookmark() const { return m_record; }
    // 1 for the outermost group, 0 for a record.
    [[nodiscard]] int groupLevel() const;
    // The column grouped at this row's level; 0 for a record.
    [[nodiscard]] int groupColumn() const;
    [[nodiscard]] QVariant groupValue() const;

    // A record's value; for a group row, the group value in its own column
    // and null elsewhere.
    [[nodiscard]] QVariant value(int column) const;

    // A group row's caption as shown; empty for a record.
    [[nodiscard]] QString caption() const { return m_caption; }

    // Over the records of this group; null for a record row.
    [[nodiscard]] QVariant aggregate(int column, GridAggregate function) const;

private:
    friend class GridModel;
    const GridModel *m_model = nullptr;
    int m_position = 0;
    int m_group = -1;
    int m_record = -1;
    QString m_caption;
};

} // namespace velto

Q_DECLARE_METATYPE(velto::GridRow)
