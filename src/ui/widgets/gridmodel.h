#pragma once
// The grid's rows as an item model: records of one source, nested under
// group rows in the order the groups were added, ordered by the sort keys.
//
// Sorting and grouping never move the source's rows: one sort of row
// indices orders records by group keys then sort keys, and the groups are
// the runs of equal keys in that order. Columns and rows are numbered from
// 1 (see gridtypes.h); a model column is the grid column minus one. Rows
// are numbered over the fully expanded tree, so a collapsed group keeps the
// numbers of the rows under it and every record has exactly one number.

#include "ui/widgets/gridrow.h"
#include "ui/widgets/gridsource.h"
#include "ui/widgets/gridtypes.h"

#include <QAbstractItemModel>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace velto {

class GridModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Role {
        ValueRole = Qt::UserRole + 1, // the typed value, before formatting
        BookmarkRole,                 // source row of a record, -1 for a group row
        GroupRowRole,                 // true on group rows
        PositionRole,                 // row number from 1
    };

    explicit GridModel(QObject *parent = nullptr);
    ~GridModel() override;

    // Replaces the rows. Columns whose field name is still there keep their
    // settings.
    void setSource(std::unique_ptr<GridSource> source);
    [[nodiscard]] const GridSource *source() const { return m_source.get(); }

    [[nodiscard]] int gridColumnCount() const { return int(m_columns.size()); }
    [[nodiscard]] const GridColumn &gridColumn(int column) const;
    void setGridColumn(int column, const GridColumn &def);
    // 0 when no column carries the field name (case-insensitive).
    [[nodiscard]] int columnOfField(const QString &name) const;

    void clearGroups();
    void addGroup(int column, Qt::SortOrder order = Qt::AscendingOrder);
    // Groups by these columns, ascending, outermost first, in one rebuild.
    void setGroups(const QList<int> &columns);
    [[nodiscard]] int groupCount() const { return int(m_groupKeys.size()); }
    // Level from 1 (outermost).
    [[nodiscard]] GridSortKey groupKey(int level) const { return m_groupKeys.value(level - 1); }

    [[nodiscard]] QList<GridSortKey> sortKeys() const { return m_sortKeys; }
    void setSortKeys(const QList<GridSortKey> &keys);

    void addFormatCondition(int column, const QVariant &value, const GridStyle &style);
    void clearFormatConditions();
    void setRowStyle(GridRowStyle kind, const GridStyle &style);
    [[nodiscard]] GridStyle rowStyle(GridRowStyle kind) const { return m_rowStyles[int(kind)]; }
    void setImageList(const QList<QIcon> &images);
    [[nodiscard]] QList<QIcon> imageList() const { return m_images; }
    // The font the view draws with; styled rows derive theirs from it.
    void setBaseFont(const QFont &font);
    // Forgets the group captions and redraws.
    void refresh();

    [[nodiscard]] int recordCount() const { return int(m_order.size()); }
    [[nodiscard]] int rowTotal() const { return int(m_flat.size()); }
    // The row at a number; invalid outside 1..rowTotal.
    [[nodiscard]] GridRow row(int position) const;
    [[nodiscard]] QModelIndex indexAt(int position, int column = 1) const;
    [[nodiscard]] int positionOf(const QModelIndex &index) const;
    [[nodiscard]] int positionOfRecord(int bookmark) const;
    // The place of a record among the records from 1; 0 for a group row.
    [[nodiscard]] int recordOrdinal(int position) const;
    // The first row in display order whose column equals value; 0 when none.
    [[nodiscard]] int find(int column, const QVariant &value) const;
    // The record's value of a column.
    [[nodiscard]] QVariant cellValue(int bookmark, int column) const;
    // A cell as shown: formatted, the empty text for nothing, a caption on group rows.
    [[nodiscard]] QString cellText(int position, int column) const;

    // Group rows, numbered from 0 like the groups of the requests.
    [[nodiscard]] int groupTotal() const { return int(m_groups.size()); }
    [[nodiscard]] int positionOfGroup(int group) const;
    // The group columns and keys that lead to a group, outermost first, as
    // one text: the same group after the rows were replaced has the same one.
    [[nodiscard]] QString groupPath(int group) const;
    [[nodiscard]] int groupLevelOf(int group) const;
    [[nodiscard]] QVariant groupValueOf(int group) const;
    [[nodiscard]] QVariant aggregate(int group, int column, GridAggregate function) const;

    // QAbstractItemModel
    [[nodiscard]] QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    [[nodiscard]] QModelIndex parent(const QModelIndex &child) const override;
    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Group {
        int parent = -1;
        int level = 0; // from 0
        int rowInParent = 0;
        int firstOrder = 0; // first record in m_order
        int count = 0;
        QVariant key;
        QList<int> children; // subgroups; empty on the innermost level
        mutable bool formatted = false;
        mutable QString caption;
    };
    struct Condition {
        int column;
        QVariant value;
        GridStyle style;
    };
    struct Node {
        int group = -1;
        int record = -1;
    };

    void build();
    void relayout();
    void resetWith(const std::function<void()> &change);
    void dropCaches();
    [[nodiscard]] bool childrenAreGroups(int node) const;
    [[nodiscard]] int childCount(int node) const;
    [[nodiscard]] Node resolve(const QModelIndex &index) const;
    [[nodiscard]] QModelIndex groupIndex(int group, int modelColumn) const;
    [[nodiscard]] QModelIndex recordIndex(int bookmark, int modelColumn) const;
    [[nodiscard]] QString groupCaption(int group) const;
    [[nodiscard]] std::optional<GridStyle> conditionStyle(int bookmark) const;
    [[nodiscard]] QFont styledFont(const GridStyle &style) const;
    [[nodiscard]] QString recordText(int bookmark, int column) const;
    [[nodiscard]] QString accessibleRole(int bookmark, int column, int role) const;
    [[nodiscard]] int firstShownColumn() const;

    std::unique_ptr<GridSource> m_source;
    QList<GridColumn> m_columns;
    QList<GridSortKey> m_groupKeys;
    QList<GridSortKey> m_sortKeys;
    QList<Condition> m_conditions;
    GridStyle m_rowStyles[4];
    QList<QIcon> m_images;
    QFont m_baseFont;

    // Built from the source by build().
    int m_builtLevels = 0;
    std::vector<int> m_order;     // source rows in display order
    std::vector<int> m_orderPos;  // source row -> place in m_order
    std::vector<int> m_leafGroup; // source row -> innermost group, -1 without groups
    std::vector<int> m_flat;      // display rows: a source row, or -(group + 1)
    std::vector<int> m_flatOfRecord;
    std::vector<int> m_flatOfGroup;
    QList<Group> m_groups;
    QList<int> m_topGroups;
};

} // namespace velto
