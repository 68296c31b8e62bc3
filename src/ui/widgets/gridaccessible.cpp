#include "ui/widgets/gridaccessible.h"

#include "ui/widgets/gridcellaccessible.h"
#include "ui/widgets/gridview.h"

#include <QHeaderView>

namespace velto {

GridAccessible::GridAccessible(GridView *view) : QAccessibleWidget(view, QAccessible::Tree) { }

GridAccessible::~GridAccessible()
{
    forgetCells();
}

void GridAccessible::forgetCells()
{
    for (QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    for (QAccessible::Id id : std::as_const(m_headers))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
    m_headers.clear();
}

GridView *GridAccessible::view() const
{
    return static_cast<GridView *>(widget());
}

void *GridAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString GridAccessible::text(QAccessible::Text t) const
{
    // The windows name the grid widget; the view inside it is what takes
    // the focus, so it reads the grid's name and description.
    QString own = QAccessibleWidget::text(t);
    const QWidget *grid = view()->parentWidget();
    if (!grid || (t != QAccessible::Name && t != QAccessible::Description))
        return own;
    const QString outer = t == QAccessible::Name ? grid->accessibleName() : grid->accessibleDescription();
    return view()->accessibleName().isEmpty() && !outer.isEmpty() ? outer : own;
}

int GridAccessible::columnCount() const
{
    return view()->model() ? view()->model()->columnCount() : 0;
}

int GridAccessible::rowCount() const
{
    return view()->shownRowCount();
}

int GridAccessible::childCount() const
{
    return (rowCount() + 1) * columnCount();
}

QAccessibleInterface *GridAccessible::headerFor(int column) const
{
    if (column < 0 || column >= columnCount())
        return nullptr;
    auto it = m_headers.constFind(column);
    if (it == m_headers.constEnd())
        it = m_headers.insert(column, QAccessible::registerAccessibleInterface(new GridCellAccessible(view(), column)));
    return QAccessible::accessibleInterface(*it);
}

QAccessibleInterface *GridAccessible::cellFor(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != view()->model())
        return nullptr;
    auto it = m_cells.constFind(QPersistentModelIndex(index));
    if (it == m_cells.constEnd()) {
        it = m_cells.insert(QPersistentModelIndex(index),
                            QAccessible::registerAccessibleInterface(new GridCellAccessible(view(), index)));
    }
    return QAccessible::accessibleInterface(*it);
}

QAccessibleInterface *GridAccessible::child(int index) const
{
    const int columns = columnCount();
    if (index < 0 || columns == 0)
        return nullptr;
    if (index < columns)
        return headerFor(index);
    return cellAt(index / columns - 1, index % columns);
}

QAccessibleInterface *GridAccessible::cellAt(int row, int column) const
{
    if (column < 0 || column >= columnCount())
        return nullptr;
    const QModelIndex first = view()->shownRow(row);
    return first.isValid() ? cellFor(first.siblingAtColumn(column)) : nullptr;
}

int GridAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const QAccessibleTableCellInterface *cell =
        child ? const_cast<QAccessibleInterface *>(child)->tableCellInterface() : nullptr;
    if (!cell || cell->table() != this)
        return -1;
    if (static_cast<const GridCellAccessible *>(child)->isHeader())
        return cell->columnIndex();
    const int row = cell->rowIndex();
    return row < 0 ? -1 : (row + 1) * columnCount() + cell->columnIndex();
}

QAccessibleInterface *GridAccessible::childAt(int x, int y) const
{
    const QPoint inHeader = view()->header()->mapFromGlobal(QPoint(x, y));
    if (view()->header()->isVisible() && view()->header()->rect().contains(inHeader))
        return headerFor(view()->header()->logicalIndexAt(inHeader.x()));
    return cellFor(view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface *GridAccessible::focusChild() const
{
    return view()->hasFocus() ? cellFor(view()->currentIndex()) : nullptr;
}

int GridAccessible::selectedCellCount() const
{
    return int(selectedCells().size());
}

QList<QAccessibleInterface *> GridAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> cells;
    if (!view()->selectionModel())
        return cells;
    const QModelIndexList selected = view()->selectionModel()->selectedIndexes();
    for (const QModelIndex &i : selected) {
        if (!view()->isColumnHidden(i.column()))
            cells.append(cellFor(i));
    }
    return cells;
}

QString GridAccessible::columnDescription(int column) const
{
    QAccessibleInterface *header = headerFor(column);
    return header ? header->text(QAccessible::Name) : QString();
}

QList<int> GridAccessible::selectedRows() const
{
    QList<int> rows;
    if (!view()->selectionModel())
        return rows;
    const QModelIndexList selected = view()->selectionModel()->selectedRows();
    for (const QModelIndex &i : selected) {
        const int row = view()->shownRowOf(i);
        if (row >= 0)
            rows.append(row);
    }
    return rows;
}

int GridAccessible::selectedRowCount() const
{
    return int(selectedRows().size());
}

bool GridAccessible::isRowSelected(int row) const
{
    const QModelIndex first = view()->shownRow(row);
    return first.isValid() && view()->selectionModel()
        && view()->selectionModel()->isRowSelected(first.row(), first.parent());
}

bool GridAccessible::selectRow(int row)
{
    const QModelIndex first = view()->shownRow(row);
    if (!first.isValid())
        return false;
    view()->setCurrentIndex(first);
    return true;
}

void GridAccessible::modelChange(QAccessibleTableModelChangeEvent *)
{
    // Rows come and go with every reload and every regrouping; cells are
    // made again when next asked for.
    forgetCells();
}

} // namespace velto
