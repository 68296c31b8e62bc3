#pragma once
// One day cell of a month view for screen readers. It addresses a visible
// position, not a date, so it stays valid when the month turns.

#include <QAccessible>
#include <QPointer>

namespace velto {

class MonthView;
class MonthViewAccessible;

class MonthDayAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    MonthDayAccessible(MonthView *view, int visibleDay);

    [[nodiscard]] bool isValid() const override { return !m_view.isNull(); }
    [[nodiscard]] QObject *object() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface *parent() const override;
    [[nodiscard]] QAccessibleInterface *child(int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    [[nodiscard]] QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override { }
    [[nodiscard]] QRect rect() const override;
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::Cell; }
    [[nodiscard]] QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return (m_day - 1) % 7; }
    int rowIndex() const override { return (m_day - 1) / 7; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    QPointer<MonthView> m_view;
    int m_day; // 1 to 42
};

} // namespace velto
