#include "ui/widgets/gridcellaccessible.h"

#include "ui/widgets/gridview.h"

#include <QHeaderView>

namespace velto {

GridCellAccessible::GridCellAccessible(GridView *view, const QModelIndex &index) : m_view(view), m_index(index) { }

GridCellAccessible::GridCellAccessible(GridView *view, int headerColumn)
    : m_view(view), m_headerColumn(headerColumn) { }

bool GridCellAccessible::isValid() const
{
    if (!m_view || !m_view->model())
        return false;
    return isHeader() ? m_headerColumn < m_view->model()->columnCount() : m_index.isValid();
}

QAccessibleInterface *GridCellAccessible::parent() const
{
    return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
}

QAccessible::Role GridCellAccessible::role() const
{
    return isHeader() ? QAccessible::ColumnHeader : QAccessible::TreeItem;
}

bool GridCellAccessible::columnHidden() const
{
    return !m_view || m_view->isColumnHidden(columnIndex());
}

QString GridCellAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    const int role = t == QAccessible::Name ? Qt::AccessibleTextRole
        : t == QAccessible::Description     ? Qt::AccessibleDescriptionRole
                                            : -1;
    if (role < 0)
        return {};
    const QVariant v =
        isHeader() ? m_view->model()->headerData(m_headerColumn, Qt::Horizontal, role) : m_index.data(role);
    if (v.isValid() || role != Qt::AccessibleTextRole)
        return v.toString();
    return isHeader() ? m_view->model()->headerData(m_headerColumn, Qt::Horizontal).toString()
                      : m_index.data(Qt::DisplayRole).toString();
}

QRect GridCellAccessible::rect() const
{
    if (!isValid() || columnHidden())
        return {};
    if (isHeader()) {
        const QHeaderView *h = m_view->header();
        const QRect r(h->sectionViewportPosition(m_headerColumn), 0, h->sectionSize(m_headerColumn), h->height());
        return QRect(h->mapToGlobal(r.topLeft()), r.size());
    }
    const QRect r = m_view->visualRect(m_index);
    return QRect(m_view->viewport()->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State GridCellAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    // A hidden column is there for the program, not for the user.
    if (columnHidden() || !m_view->isVisible() || (isHeader() && m_view->header()->isHidden())) {
        s.invisible = true;
        return s;
    }
    if (isHeader())
        return s;
    if (rowIndex() < 0) {
        s.invisible = true; // under a collapsed group
        return s;
    }
    if (!m_view->viewport()->rect().intersects(m_view->visualRect(m_index)))
        s.offscreen = true;
    const Qt::ItemFlags flags = m_index.flags();
    if (flags & Qt::ItemIsSelectable) {
        s.selectable = true;
        s.focusable = true;
    }
    s.selected = isSelected();
    s.focused = m_view->currentIndex() == m_index;
    const QModelIndex first = m_index.sibling(m_index.row(), 0);
    if (m_view->model()->hasChildren(first)) {
        s.expandable = true;
        s.expanded = m_view->isExpanded(first);
        s.collapsed = !s.expanded;
    }
    return s;
}

void *GridCellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface *>(this);
    return nullptr;
}

bool GridCellAccessible::isSelected() const
{
    return !isHeader() && isValid() && m_view->selectionModel() && m_view->selectionModel()->isSelected(m_index);
}

QList<QAccessibleInterface *> GridCellAccessible::columnHeaderCells() const
{
    if (isHeader() || !isValid())
        return {};
    QAccessibleInterface *table = parent();
    QAccessibleInterface *header = table ? table->child(columnIndex()) : nullptr;
    return header ? QList<QAccessibleInterface *>{header} : QList<QAccessibleInterface *>{};
}

int GridCellAccessible::columnIndex() const
{
    return isHeader() ? m_headerColumn : m_index.column();
}

int GridCellAccessible::rowIndex() const
{
    if (isHeader() || !m_view)
        return -1;
    return m_view->shownRowOf(m_index);
}

} // namespace velto
