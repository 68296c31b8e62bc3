#include "ui/widgets/monthview.h"

#include "app/mainmod.h"
#include "app/strings.h"
#include "ui/widgets/monthviewaccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace velto {

namespace {

QAccessibleInterface *monthViewAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("velto::MonthView") && object && object->isWidgetType())
        return new MonthViewAccessible(static_cast<MonthView *>(object));
    return nullptr;
}

} // namespace

MonthView::MonthView(QWidget *parent) : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(monthViewAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover, false);
    setAccessibleName(LoadResString(1596));
    m_firstDay = QLocale().firstDayOfWeek();
    const QDate t = velto::today();
    m_value = m_selStart = m_selEnd = m_anchor = t;
    m_shown = QDate(t.year(), t.month(), 1);
}

void MonthView::setValue(const QDate &date)
{
    if (!date.isValid())
        return;
    m_value = m_anchor = date;
    selectRange(date, date);
    showMonthOf(date);
}

void MonthView::setSelection(const QDate &start, const QDate &end)
{
    if (!start.isValid() || !end.isValid())
        return;
    m_anchor = start;
    m_value = end;
    selectRange(start, end);
    showMonthOf(end);
}

void MonthView::setFirstDayOfWeek(Qt::DayOfWeek day)
{
    if (day == m_firstDay)
        return;
    m_firstDay = day;
    requestBold();
    update();
}

void MonthView::showMonth(int year, int month)
{
    const QDate first(year, month, 1);
    if (!first.isValid() || first == m_shown)
        return;
    m_shown = first;
    requestBold();
    update();
    // The table-change type has an event class of its own; the screen reader
    // bridge reads its extra fields, which a plain event does not have.
    QAccessibleTableModelChangeEvent ev(this, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&ev);
}

void MonthView::showMonthOf(const QDate &date)
{
    showMonth(date.year(), date.month());
    update();
}

void MonthView::showPreviousMonth()
{
    const QDate d = m_shown.addMonths(-1);
    showMonth(d.year(), d.month());
}

void MonthView::showNextMonth()
{
    const QDate d = m_shown.addMonths(1);
    showMonth(d.year(), d.month());
}

QDate MonthView::visibleDay(int k) const
{
    if (k < 1 || k > kVisibleDays)
        return {};
    const int lead = (m_shown.dayOfWeek() - int(m_firstDay) + 7) % 7;
    return m_shown.addDays(k - 1 - lead);
}

void MonthView::setDayBold(const QDate &date, bool bold)
{
    if (!date.isValid() || bold == m_bold.contains(date))
        return;
    if (bold)
        m_bold.insert(date);
    else
        m_bold.remove(date);
    update();
}

void MonthView::clearBold()
{
    if (m_bold.isEmpty())
        return;
    m_bold.clear();
    update();
}

void MonthView::refresh()
{
    update();
}

void MonthView::requestBold()
{
    m_boldAsked = true;
    const QDate first = firstVisibleDay();
    QVector<bool> state(kVisibleDays);
    for (int i = 0; i < kVisibleDays; ++i)
        state[i] = m_bold.contains(first.addDays(i));
    emit getDayBold(first, kVisibleDays, state);
    for (int i = 0; i < kVisibleDays && i < state.size(); ++i) {
        if (state[i])
            m_bold.insert(first.addDays(i));
        else
            m_bold.remove(first.addDays(i));
    }
    update();
}

void MonthView::selectRange(const QDate &a, const QDate &b)
{
    const QDate start = std::min(a, b), end = std::max(a, b);
    if (start == m_selStart && end == m_selEnd)
        return;
    m_selStart = start;
    m_selEnd = end;
    update();
    QAccessibleEvent ev(this, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&ev);
}

void MonthView::announceSelection()
{
    emit selectionChanged(m_selStart, m_selEnd);
}

int MonthView::headerHeight() const
{
    return fontMetrics().height() * 2;
}

int MonthView::weekdayHeight() const
{
    return fontMetrics().height() * 3 / 2;
}

QRect MonthView::daysArea() const
{
    const int top = headerHeight() + weekdayHeight();
    return QRect(0, top, width(), std::max(6, height() - top));
}

QRect MonthView::previousButtonRect() const
{
    return QRect(0, 0, headerHeight(), headerHeight());
}

QRect MonthView::nextButtonRect() const
{
    return QRect(width() - headerHeight(), 0, headerHeight(), headerHeight());
}

QRect MonthView::dayRect(const QDate &date) const
{
    const qint64 k = firstVisibleDay().daysTo(date);
    if (!date.isValid() || k < 0 || k >= kVisibleDays)
        return {};
    const QRect area = daysArea();
    const int col = int(k % 7), row = int(k / 7);
    const int x0 = area.left() + area.width() * col / 7, x1 = area.left() + area.width() * (col + 1) / 7;
    const int y0 = area.top() + area.height() * row / 6, y1 = area.top() + area.height() * (row + 1) / 6;
    return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
}

QDate MonthView::dayAt(const QPoint &pos) const
{
    const QRect area = daysArea();
    if (!area.contains(pos))
        return {};
    const int col = std::clamp((pos.x() - area.left()) * 7 / std::max(1, area.width()), 0, 6);
    const int row = std::clamp((pos.y() - area.top()) * 6 / std::max(1, area.height()), 0, 5);
    return visibleDay(row * 7 + col + 1);
}

QSize MonthView::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    const int cell = std::max(fm.horizontalAdvance(QStringLiteral("000")), fm.horizontalAdvance(QStringLiteral("Www")))
        + fm.height() / 2;
    return QSize(cell * 7, headerHeight() + weekdayHeight() + fm.height() * 6 * 3 / 2);
}

QSize MonthView::minimumSizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return QSize(fm.horizontalAdvance(QStringLiteral("00")) * 7 + 14,
                 headerHeight() + weekdayHeight() + fm.height() * 6);
}

void MonthView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    const QLocale locale;
    p.fillRect(rect(), pal.base());

    // Header: month and year between the two arrows.
    const QRect header(0, 0, width(), headerHeight());
    p.fillRect(header, pal.button());
    QStyleOption arrow;
    arrow.initFrom(this);
    const int inset = headerHeight() / 4;
    arrow.rect = previousButtonRect().adjusted(inset, inset, -inset, -inset);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowLeft, &arrow, &p, this);
    arrow.rect = nextButtonRect().adjusted(inset, inset, -inset, -inset);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowRight, &arrow, &p, this);
    QFont titleFont = font();
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(pal.buttonText().color());
    p.drawText(header, Qt::AlignCenter,
               locale.standaloneMonthName(m_shown.month()) + u' ' + QString::number(m_shown.year()));

    // Weekday names in the order of the first day of the week.
    p.setFont(font());
    p.setPen(pal.placeholderText().color());
    const QRect area = daysArea();
    for (int c = 0; c < 7; ++c) {
        const int day = (int(m_firstDay) - 1 + c) % 7 + 1;
        const QRect r(area.left() + area.width() * c / 7, headerHeight(), area.width() / 7, weekdayHeight());
        p.drawText(r, Qt::AlignCenter, locale.dayName(day, QLocale::ShortFormat));
    }
    p.setPen(pal.mid().color());
    p.drawLine(0, area.top() - 1, width(), area.top() - 1);

    QFont bold = font();
    bold.setBold(true);
    const QDate today = velto::today();
    for (int k = 1; k <= kVisibleDays; ++k) {
        const QDate d = visibleDay(k);
        const QRect r = dayRect(d);
        const bool selected = d >= m_selStart && d <= m_selEnd;
        const bool inMonth = d.month() == m_shown.month();
        if (selected)
            p.fillRect(r, pal.highlight());
        QColor text = selected ? pal.highlightedText().color()
                               : (inMonth ? pal.text().color() : pal.color(QPalette::Disabled, QPalette::Text));
        p.setPen(text);
        p.setFont(m_bold.contains(d) ? bold : font());
        p.drawText(r, Qt::AlignCenter, QString::number(d.day()));
        if (d == today) {
            QPen pen(selected ? pal.highlightedText().color() : pal.highlight().color());
            pen.setWidth(std::max(1, fontMetrics().height() / 12));
            p.setPen(pen);
            p.drawRect(r.adjusted(1, 1, -2, -2));
        }
        if (d == m_value && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = r.adjusted(2, 2, -2, -2);
            focus.backgroundColor = selected ? pal.highlight().color() : pal.base().color();
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    }
}

void MonthView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    if (previousButtonRect().contains(pos)) {
        showPreviousMonth();
        return;
    }
    if (nextButtonRect().contains(pos)) {
        showNextMonth();
        return;
    }
    const QDate d = dayAt(pos);
    if (!d.isValid())
        return;
    m_pressStart = m_selStart;
    m_pressEnd = m_selEnd;
    if (!(event->modifiers() & Qt::ShiftModifier) || !m_anchor.isValid())
        m_anchor = d;
    m_value = d;
    selectRange(m_anchor, d);
    m_dragging = true;
}

void MonthView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return QWidget::mouseMoveEvent(event);
    // Dragging past the edge of the days keeps the nearest day.
    const QRect area = daysArea();
    QPoint pos = event->position().toPoint();
    pos.setX(std::clamp(pos.x(), area.left(), area.right()));
    pos.setY(std::clamp(pos.y(), area.top(), area.bottom()));
    const QDate d = dayAt(pos);
    if (!d.isValid())
        return;
    m_value = d;
    selectRange(m_anchor, d);
}

void MonthView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    // The month turns only once the selection is made, so a drag does not
    // move the days under the mouse.
    if (m_value.month() != m_shown.month() || m_value.year() != m_shown.year())
        showMonthOf(m_value);
    if (m_selStart != m_pressStart || m_selEnd != m_pressEnd)
        announceSelection();
}

void MonthView::moveFocusTo(const QDate &date, bool extend)
{
    if (!date.isValid())
        return;
    if (!extend || !m_anchor.isValid())
        m_anchor = date;
    m_value = date;
    const QDate oldStart = m_selStart, oldEnd = m_selEnd;
    selectRange(m_anchor, date);
    showMonthOf(date);
    update();
    if (m_selStart != oldStart || m_selEnd != oldEnd)
        announceSelection();
}

void MonthView::keyPressEvent(QKeyEvent *event)
{
    int key = event->key();
    emit keyDown(key, event->modifiers());
    if (key == 0)
        return;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Left: moveFocusTo(m_value.addDays(-1), extend); break;
    case Qt::Key_Right: moveFocusTo(m_value.addDays(1), extend); break;
    case Qt::Key_Up: moveFocusTo(m_value.addDays(-7), extend); break;
    case Qt::Key_Down: moveFocusTo(m_value.addDays(7), extend); break;
    case Qt::Key_PageUp: moveFocusTo(m_value.addMonths(-1), extend); break;
    case Qt::Key_PageDown: moveFocusTo(m_value.addMonths(1), extend); break;
    case Qt::Key_Home: moveFocusTo(QDate(m_value.year(), m_value.month(), 1), extend); break;
    case Qt::Key_End: moveFocusTo(QDate(m_value.year(), m_value.month(), m_value.daysInMonth()), extend); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void MonthView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
    emit gotFocus();
}

void MonthView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
    emit lostFocus();
}

void MonthView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_boldAsked)
        requestBold();
}

void MonthView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace velto
