#include "ui/widgets/monthviewaccessible.h"

#include "app/strings.h"

#include "ui/widgets/monthdayaccessible.h"
#include "ui/widgets/monthview.h"

#include <QLocale>

namespace velto {

MonthViewAccessible::MonthViewAccessible(MonthView *view) : QAccessibleWidget(view, QAccessible::Table) { }

MonthViewAccessible::~MonthViewAccessible()
{
    for (QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
}

MonthView *MonthViewAccessible::monthView() const
{
    return static_cast<MonthView *>(widget());
}

void *MonthViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

int MonthViewAccessible::childCount() const
{
    return MonthView::kVisibleDays;
}

QAccessibleInterface *MonthViewAccessible::child(int index) const
{
    if (index < 0 || index >= MonthView::kVisibleDays)
        return nullptr;
    if (m_cells.isEmpty()) {
        for (int k = 1; k <= MonthView::kVisibleDays; ++k)
            m_cells.append(QAccessible::registerAccessibleInterface(new MonthDayAccessible(monthView(), k)));
    }
    return QAccessible::accessibleInterface(m_cells.at(index));
}

int MonthViewAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    for (int i = 0; i < m_cells.size(); ++i) {
        if (QAccessible::accessibleInterface(m_cells.at(i)) == child)
            return i;
    }
    return -1;
}

QAccessibleInterface *MonthViewAccessible::childAt(int x, int y) const
{
    const QDate d = monthView()->dayAt(monthView()->mapFromGlobal(QPoint(x, y)));
    if (!d.isValid())
        return nullptr;
    return child(int(monthView()->firstVisibleDay().daysTo(d)));
}

QAccessibleInterface *MonthViewAccessible::focusChild() const
{
    const qint64 k = monthView()->firstVisibleDay().daysTo(monthView()->value());
    return k >= 0 && k < MonthView::kVisibleDays ? child(int(k)) : nullptr;
}

QAccessibleInterface *MonthViewAccessible::cellAt(int row, int column) const
{
    if (row < 0 || row >= 6 || column < 0 || column >= 7)
        return nullptr;
    return child(row * 7 + column);
}

int MonthViewAccessible::selectedCellCount() const
{
    return int(selectedCells().size());
}

QList<QAccessibleInterface *> MonthViewAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> cells;
    for (int i = 0; i < MonthView::kVisibleDays; ++i) {
        QAccessibleInterface *c = child(i);
        if (c && c->tableCellInterface() && c->tableCellInterface()->isSelected())
            cells.append(c);
    }
    return cells;
}

QString MonthViewAccessible::columnDescription(int column) const
{
    const int day = (int(monthView()->firstDayOfWeek()) - 1 + column) % 7 + 1;
    return QLocale().dayName(day, QLocale::LongFormat);
}

QString MonthViewAccessible::rowDescription(int row) const
{
    return LoadResString(1602).arg(row + 1);
}

} // namespace velto
