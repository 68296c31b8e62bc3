#pragma once
// A month calendar: six weeks of seven days beginning on the configured
// first day of the week, with the month's first day in the top row. Days
// are selected with the mouse (press and drag, or shift-click to extend)
// or the keyboard (arrows, shift+arrows, PageUp/PageDown for months,
// Home/End for the month's ends).
//
// Visible days are addressed 1 to 42. Bold days are asked for through
// getDayBold whenever the visible range changes (and when first shown);
// the program may also set them directly with setDayBold.

#include <QDate>
#include <QSet>
#include <QVector>
#include <QWidget>

namespace velto {

class MonthView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kVisibleDays = 42;

    explicit MonthView(QWidget *parent = nullptr);

    // The day with the keyboard focus; setting it selects that single day
    // and shows its month.
    [[nodiscard]] QDate value() const { return m_value; }
    void setValue(const QDate &date);

    [[nodiscard]] QDate selectionStart() const { return m_selStart; }
    [[nodiscard]] QDate selectionEnd() const { return m_selEnd; }
    // Given in either order; raises no selectionChanged.
    void setSelection(const QDate &start, const QDate &end);

    [[nodiscard]] Qt::DayOfWeek firstDayOfWeek() const { return m_firstDay; }
    void setFirstDayOfWeek(Qt::DayOfWeek day);

    // The first day of the month shown.
    [[nodiscard]] QDate shownMonth() const { return m_shown; }
    void showMonth(int year, int month);

    // k from 1 to 42; an invalid date outside that range.
    [[nodiscard]] QDate visibleDay(int k) const;
    [[nodiscard]] QDate firstVisibleDay() const { return visibleDay(1); }
    [[nodiscard]] QDate lastVisibleDay() const { return visibleDay(kVisibleDays); }
    // The cell of a visible day in widget coordinates; empty when not visible.
    [[nodiscard]] QRect dayRect(const QDate &date) const;
    [[nodiscard]] QDate dayAt(const QPoint &pos) const;

    [[nodiscard]] bool isDayBold(const QDate &date) const { return m_bold.contains(date); }
    void setDayBold(const QDate &date, bool bold);
    void clearBold();
    // What screen readers add to a bold day; the window gives it in the
    // user's language.
    void setBoldDayDescription(const QString &text) { m_boldDescription = text; }
    [[nodiscard]] QString boldDayDescription() const { return m_boldDescription; }
    // Repaints; the bold days stay as they are.
    void refresh();

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

public slots:
    void showPreviousMonth();
    void showNextMonth();

signals:
    // Emitted once per completed mouse selection and for each keyboard move.
    void selectionChanged(const QDate &start, const QDate &end);
    // state holds count entries, pre-filled with the current bold state;
    // connect directly and write into it.
    void getDayBold(const QDate &first, int count, QVector<bool> &state);
    void gotFocus();
    void lostFocus();
    // Setting key to 0 swallows the key.
    void keyDown(int &key, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    [[nodiscard]] int headerHeight() const;
    [[nodiscard]] int weekdayHeight() const;
    [[nodiscard]] QRect daysArea() const;
    [[nodiscard]] QRect previousButtonRect() const;
    [[nodiscard]] QRect nextButtonRect() const;
    void showMonthOf(const QDate &date);
    void requestBold();
    void selectRange(const QDate &a, const QDate &b);
    void moveFocusTo(const QDate &date, bool extend);
    void announceSelection();

    QDate m_shown;
    QDate m_value;
    QDate m_selStart;
    QDate m_selEnd;
    QDate m_anchor;
    QDate m_pressStart;
    QDate m_pressEnd;
    Qt::DayOfWeek m_firstDay = Qt::Monday;
    QSet<QDate> m_bold;
    QString m_boldDescription = tr("has open deadlines");
    bool m_dragging = false;
    bool m_boldAsked = false;
};

} // namespace velto
