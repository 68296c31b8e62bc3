#pragma once
// One cell or column header of a grid for screen readers. The text is what
// the model gives for screen readers (Qt::AccessibleTextRole), so an empty
// cell reads as empty; a cell or header of a hidden column is invisible.

#include <QAccessible>
#include <QPersistentModelIndex>
#include <QPointer>

namespace velto {

class GridView;

class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    // A cell of the model index.
    GridCellAccessible(GridView *view, const QModelIndex &index);
    // The header of a model column.
    GridCellAccessible(GridView *view, int headerColumn);

    [[nodiscard]] bool isValid() const override;
    [[nodiscard]] QObject *object() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface *parent() const override;
    [[nodiscard]] QAccessibleInterface *child(int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    [[nodiscard]] QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override { }
    [[nodiscard]] QRect rect() const override;
    [[nodiscard]] QAccessible::Role role() const override;
    [[nodiscard]] QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface *> columnHeaderCells() const override;
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

    [[nodiscard]] bool isHeader() const { return m_headerColumn >= 0; }

private:
    [[nodiscard]] bool columnHidden() const;

    QPointer<GridView> m_view;
    QPersistentModelIndex m_index;
    int m_headerColumn = -1;
};

} // namespace velto
