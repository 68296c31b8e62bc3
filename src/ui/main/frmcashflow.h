#pragma once
// The cash-flow window: the active data sheet's open credits and debits of
// the next twelve months as bars, the balance they leave as a line, and the
// same figures in a table that the keyboard and screen readers reach. A
// month picked on the chart or in the table becomes the main calendar's
// selection. The figures come from the core; this window only draws them.
// One instance, modeless, gone when closed.

#include "deadlines/cashflow.h"

#include <QWidget>

#include <functional>

class QBarSet;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;
class QTableWidget;

namespace velto {

class UserPrompts;

class frmCashFlow : public QWidget
{
    Q_OBJECT
public:
    // Picks a period in the main window's calendar.
    using SelectPeriod = std::function<void(const QDate &first, const QDate &last)>;

    frmCashFlow(UserPrompts &prompts, SelectPeriod selectPeriod, QWidget *parent = nullptr);

    // Reads the figures again and redraws; a failure is shown and leaves
    // the window empty rather than showing stale figures as current.
    void reload();
    [[nodiscard]] const CashFlow &flow() const { return m_flow; }

    // What hovering a bar shows: series, month, amount and count. set 0
    // is the credits, 1 the debits.
    [[nodiscard]] QString barText(int set, int month) const;
    // Makes the month's days the main calendar's selection.
    void selectMonth(int month);
    void savePng();
    void print();

    [[nodiscard]] QChartView *chartView() const { return m_view; }
    [[nodiscard]] QTableWidget *table() const { return m_table; }
    [[nodiscard]] QBarSet *creditsSet() const { return m_credits; }
    [[nodiscard]] QBarSet *debitsSet() const { return m_debits; }
    [[nodiscard]] QLineSeries *balanceSeries() const { return m_balance; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void build();
    void draw();
    [[nodiscard]] QString monthName(int month) const;

    UserPrompts &m_prompts;
    SelectPeriod m_selectPeriod;
    CashFlow m_flow;
    QChart *m_chart = nullptr;
    QChartView *m_view = nullptr;
    QBarSet *m_credits = nullptr;
    QBarSet *m_debits = nullptr;
    QLineSeries *m_balance = nullptr;
    QLabel *m_lblOverdue = nullptr;
    QLabel *m_lblMonths = nullptr;
    QTableWidget *m_table = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QPushButton *m_cmdPrint = nullptr;
    QPushButton *m_cmdClose = nullptr;
};

} // namespace velto
