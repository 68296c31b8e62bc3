#include "ui/widgets/gridview.h"

#include "ui/widgets/gridmodel.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace velto {

GridView::GridView(QWidget *parent)
    : QTreeView(parent)
{
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
        painter->fillRect(row, opt.palette.brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
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
