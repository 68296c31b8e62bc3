#pragma once
// The months ahead as money: per month the open credits and debits of a
// data sheet and the balance they leave, counted from today. What is
// overdue belongs to the first month, since it is still to be collected
// or paid. Appointments carry no amount and are left out.

#include "data/currency.h"
#include "data/status.h"

#include <QDate>
#include <QList>
#include <QString>

namespace velto {

struct CashFlowMonth {
    QDate month;        // its first day
    Currency credits{}; // open credits due in the month
    Currency debits{};  // open debits due in the month, as a positive amount
    int creditCount = 0;
    int debitCount = 0;
    Currency balance{}; // credits less debits from today to the month's end

    bool operator==(const CashFlowMonth &) const = default;
};

struct CashFlow {
    QDate today;
    // Dated before today, already counted in the first month.
    Currency overdueCredits;
    Currency overdueDebits;
    int overdueCreditCount = 0;
    int overdueDebitCount = 0;
    QList<CashFlowMonth> months;
};

inline constexpr int kCashFlowMonths = 12;

// The open credits and debits of the sheet for monthCount months from
// today's month on.
Status cashFlow(const QString &connectionString, int sheetId, const QDate &today, int monthCount, CashFlow *flow);

} // namespace velto
