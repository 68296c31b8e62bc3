#include "deadlines/cashflow.h"

#include "data/catalogue.h"
#include "data/recordset.h"
#include "deadlines/deadline.h"

namespace velto {

Status cashFlow(const QString &connectionString, int sheetId, const QDate &today, int monthCount, CashFlow *flow)
{
    *flow = CashFlow();
    flow->today = today;
    if (!today.isValid() || monthCount < 1)
        return {};
    const QDate firstMonth(today.year(), today.month(), 1);
    for (int m = 0; m < monthCount; ++m)
        flow->months.append({firstMonth.addMonths(m)});
    const QDate last = firstMonth.addMonths(monthCount).addDays(-1);

    Recordset rs;
    if (const Status st = rs.open(sql::openAmountsUpTo(last, sheetId), connectionString); !st)
        return st;
    const int typeField = rs.fieldIndex(u"TrType");
    const int dateField = rs.fieldIndex(u"TrDate");
    const int valueField = rs.fieldIndex(u"TrValue");
    for (; !rs.eof(); rs.moveNext()) {
        const QDate day = rs.dateValue(dateField);
        const auto type = deadlineTypeFromCode(rs.intValue(typeField));
        if (!day.isValid() || !type || *type == DeadlineType::Appointment)
            continue;
        const Currency value = rs.currencyValue(valueField);
        // Anything before the first month is overdue and falls into it.
        const int index =
            day < firstMonth ? 0 : (day.year() - firstMonth.year()) * 12 + day.month() - firstMonth.month();
        if (index < 0 || index >= flow->months.size())
            continue; // the statement reads no later day; a stray one is not this chart's
        CashFlowMonth &month = flow->months[index];
        const bool credit = *type == DeadlineType::Credit;
        (credit ? month.credits : month.debits) += value;
        ++(credit ? month.creditCount : month.debitCount);
        if (day < today) {
            (credit ? flow->overdueCredits : flow->overdueDebits) += value;
            ++(credit ? flow->overdueCreditCount : flow->overdueDebitCount);
        }
    }
    const Status read = rs.status();
    rs.close();
    if (!read) {
        flow->months.clear();
        return read;
    }
    Currency running;
    for (CashFlowMonth &month : flow->months) {
        running += month.credits - month.debits;
        month.balance = running;
    }
    return {};
}

} // namespace velto
