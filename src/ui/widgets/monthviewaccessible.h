#pragma once
// Screen readers see a month view as a table of 6 rows by 7 columns of
// days, each with its full date and selected state.

#include <QAccessibleWidget>
#include <QList>

namespace velto {

class MonthView;

class MonthViewAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit MonthViewAccessible(MonthView *view);
    ~MonthViewAccessible() override;

    void *interface_cast(QAccessible::InterfaceType type) override;
    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface *child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *child) const override;
    [[nodiscard]] QAccessibleInterface *childAt(int x, int y) const override;
    [[nodiscard]] QAccessibleInterface *focusChild() const override;

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    int columnCount() const override { return 7; }
    int rowCount() const override { return 6; }
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override { }

    [[nodiscard]] MonthView *monthView() const;

private:
    mutable QList<QAccessible::Id> m_cells; // by visible day, created on first use
};

} // namespace velto
