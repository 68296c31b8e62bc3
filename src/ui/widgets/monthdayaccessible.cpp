#include "ui/widgets/monthdayaccessible.h"

#include "app/strings.h"

#include "ui/widgets/monthview.h"

#include <QLocale>

namespace velto {

MonthDayAccessible::MonthDayAccessible(MonthView *view, int visibleDay) : m_view(view), m_day(visibleDay) { }

QAccessibleInterface *MonthDayAccessible::parent() const
{
    return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
}

QString MonthDayAccessible::text(QAccessible::Text t) const
{
    if (!m_view)
        return {};
    const QDate d = m_view->visibleDay(m_day);
    switch (t) {
    case QAccessible::Name: return QLocale().toString(d, QLocale::LongFormat);
    case QAccessible::Value: return d.toString(Qt::ISODate);
    case QAccessible::Description: return m_view->isDayBold(d) ? m_view->boldDayDescription() : QString();
    default: return {};
    }
}

QRect MonthDayAccessible::rect() const
{
    if (!m_view)
        return {};
    const QRect r = m_view->dayRect(m_view->visibleDay(m_day));
    return QRect(m_view->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State MonthDayAccessible::state() const
{
    QAccessible::State s;
    if (!m_view) {
        s.invalid = true;
        return s;
    }
    s.selectable = true;
    s.focusable = true;
    s.selected = isSelected();
    s.focused = m_view->hasFocus() && m_view->value() == m_view->visibleDay(m_day);
    s.invisible = !m_view->isVisible();
    return s;
}

void *MonthDayAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface *>(this);
    return nullptr;
}

bool MonthDayAccessible::isSelected() const
{
    if (!m_view)
        return false;
    const QDate d = m_view->visibleDay(m_day);
    return d >= m_view->selectionStart() && d <= m_view->selectionEnd();
}

} // namespace velto
