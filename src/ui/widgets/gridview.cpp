#include "ui/widgets/gridview.h"

#include "ui/widgets/accessibility.h"
#include "ui/widgets/gridmodel.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace velto {

GridView::GridView(QWidget *parent) : QTreeView(parent)
{
    installAccessibility();
}

bool GridView::holdsRecords(const QModelIndex &parent) const
{
    // The grid's records never have children and never share a parent
    // with a group row, so the first child tells for all of them.
    return model()->rowCount(parent) == 0 || (model()->flags(model()->index(0, 0, parent)) & Qt::ItemNeverHasChildren);
}

int GridView::shownBelow(const QModelIndex &parent) const
{
    if (!model())
        return 0;
    const int n = model()->rowCount(parent);
    int total = n;
    if (!holdsRecords(parent)) {
        for (int r = 0; r < n; ++r) {
            const QModelIndex child = model()->index(r, 0, parent);
            if (isExpanded(child))
                total += shownBelow(child);
        }
    }
    return total;
}

QModelIndex GridView::shownRow(int row) const
{
    if (!model() || row < 0)
        return {};
    QModelIndex parent;
    for (;;) {
        const int n = model()->rowCount(parent);
        if (holdsRecords(parent))
            return row < n ? model()->index(row, 0, parent) : QModelIndex();
        bool descended = false;
        for (int r = 0; r < n && !descended; ++r) {
            const QModelIndex child = model()->index(r, 0, parent);
            if (row == 0)
                return child;
            --row;
            const int below = isExpanded(child) ? shownBelow(child) : 0;
            if (row < below) {
                parent = child;
                descended = true;
            } else {
                row -= below;
            }
        }
        if (!descended)
            return {};
    }
}

int GridView::shownRowOf(const QModelIndex &index) const
{
    if (!model() || !index.isValid())
        return -1;
    QModelIndex item = index.siblingAtColumn(0);
    int row = 0;
    for (;;) {
        const QModelIndex parent = item.parent();
        if (holdsRecords(parent)) {
            row += item.row();
        } else {
            for (int r = 0; r < item.row(); ++r) {
                const QModelIndex sibling = model()->index(r, 0, parent);
                row += 1 + (isExpanded(sibling) ? shownBelow(sibling) : 0);
            }
        }
        if (!parent.isValid())
            return row;
        if (!isExpanded(parent))
            return -1;
        row += 1;
        item = parent;
    }
}

int GridView::firstShownLeft() const
{
    for (int v = 0; v < header()->count(); ++v) {
        const int logical = header()->logicalIndex(v);
        if (!header()->isSectionHidden(logical))
            return header()->sectionViewportPosition(logical);
    }
    return 0;
}

int GridView::depthOf(const QModelIndex &index) const
{
    int depth = 1; // the root is decorated, so level one already takes an indent
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        ++depth;
    return depth;
}

void GridView::mousePressEvent(QMouseEvent *event)
{
    // The branch of a group row is drawn here, not where the view would
    // look for it, so a click on it is handled here too.
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    if (event->button() == Qt::LeftButton && index.isValid() && index.data(GridModel::GroupRowRole).toBool()) {
        const int depth = depthOf(index);
        const int right = firstShownLeft() + indentation() * depth;
        if (pos.x() >= right - indentation() && pos.x() < right) {
            setExpanded(index.siblingAtColumn(0), !isExpanded(index.siblingAtColumn(0)));
            return;
        }
    }
    QTreeView::mousePressEvent(event);
}

void GridView::drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!index.data(GridModel::GroupRowRole).toBool())
        return QTreeView::drawRow(painter, option, index);

    const int depth = depthOf(index);
    const int treeColumn = std::max(0, treePosition());
    const int left = firstShownLeft();
    const QRect row(0, option.rect.y(), viewport()->width(), option.rect.height());
    const int textLeft = left + indentation() * depth;

    QStyleOptionViewItem opt = option;
    opt.rect = QRect(textLeft, row.y(), std::max(0, row.right() - textLeft), row.height());
    opt.state &= ~QStyle::State_HasFocus;
    const bool selected = selectionModel() && selectionModel()->isRowSelected(index.row(), index.parent());
    if (selected)
        opt.state |= QStyle::State_Selected;
    else
        opt.state &= ~QStyle::State_Selected;

    const QVariant background = index.data(Qt::BackgroundRole);
    if (selected)
        painter->fillRect(row,
                          opt.palette.brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
    else if (background.isValid())
        painter->fillRect(row, background.value<QBrush>());

    const QModelIndex tree = index.siblingAtColumn(treeColumn);
    drawBranches(painter, QRect(left, row.y(), indentation() * depth, row.height()), tree);
    itemDelegateForIndex(tree)->paint(painter, opt, tree);

    if (currentIndex().isValid() && currentIndex().row() == index.row() && currentIndex().parent() == index.parent()
        && hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = row;
        focus.backgroundColor = opt.palette.color(QPalette::Highlight);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
}

} // namespace velto
