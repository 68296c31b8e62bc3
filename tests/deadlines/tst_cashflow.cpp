// The cash flow's monthly figures against SQL sums over the same rows:
// open credits and debits of the sheet, what is overdue in the first month,
// nothing closed, no appointment, no other sheet, nothing after the last month.

#include "app/mainmod.h"
#include "data/catalogue.h"
#include "data/recordset.h"
#include "deadlines/cashflow.h"
#include "seed.h"
#include "testsupport.h"

#include <QTest>

using namespace velto;
using namespace velto::test;

class TestCashFlow : public QObject
{
    Q_OBJECT
private slots:
    void monthlySumsEqualSqlSums()
    {
        // Given deadlines around 15 January 2027 on two sheets
        Sandbox box;
        QVERIFY(box.createDatabase());
        seedSheet(2, QStringLiteral("Other"));
        const QDate today(2027, 1, 15);
        seedDeadline(1, DeadlineType::Credit, QDate(2026, 11, 3), "overdue credit", 0, money("100.25"));
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 1, 14), "overdue debit", 0, money("40"));
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 1, 31), "end of month", 0, money("50.5"));
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 3, 1), "March", 0, money("200"));
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 3, 31), "March too", 0, money("0.75"));
        seedDeadline(1, DeadlineType::Credit, QDate(2027, 2, 1), "closed", 0, money("999"), true);
        seedDeadline(1, DeadlineType::Appointment, QDate(2027, 2, 2), "appointment", 0, money("999"));
        seedDeadline(2, DeadlineType::Credit, QDate(2027, 2, 3), "other sheet", 0, money("999"));
        seedDeadline(1, DeadlineType::Debit, QDate(2027, 12, 31), "last month", 0, money("10"));
        seedDeadline(1, DeadlineType::Credit, QDate(2028, 1, 1), "after the last month", 0, money("999"));

        // When the flow is read
        CashFlow flow;
        QVERIFY(cashFlow(app().ConnectionString, 1, today, kCashFlowMonths, &flow));

        // Then each month holds what SQL sums over the same rows
        QCOMPARE(flow.months.size(), kCashFlowMonths);
        auto sqlSum = [](int type, const QDate &from, const QDate &to, int *count) {
            Recordset rs;
            const QString where = QStringLiteral(" FROM Transactions WHERE TrDbId=1 AND TrDone=False AND TrType=")
                + QString::number(type) + " AND TrDate>=" + sql::date(from) + " AND TrDate<=" + sql::date(to);
            if (!rs.open("SELECT Sum(TrValue) AS S, Count(TrRowId) AS C" + where, app().ConnectionString))
                return Currency::fromUnits(-1);
            *count = int(rs.intValue(1));
            return rs.currencyValue(0);
        };
        Currency running;
        for (int i = 0; i < kCashFlowMonths; ++i) {
            const CashFlowMonth &m = flow.months[i];
            const QDate first = QDate(2027, 1, 1).addMonths(i);
            QCOMPARE(m.month, first);
            const QDate from = i == 0 ? QDate(1900, 1, 1) : first;
            int credits = 0, debits = 0;
            QCOMPARE(m.credits, sqlSum(1, from, first.addMonths(1).addDays(-1), &credits));
            QCOMPARE(m.debits, sqlSum(-1, from, first.addMonths(1).addDays(-1), &debits));
            QCOMPARE(m.creditCount, credits);
            QCOMPARE(m.debitCount, debits);
            running += m.credits - m.debits;
            QCOMPARE(m.balance, running);
        }
        int overdueCredits = 0, overdueDebits = 0;
        QCOMPARE(flow.overdueCredits, sqlSum(1, QDate(1900, 1, 1), today.addDays(-1), &overdueCredits));
        QCOMPARE(flow.overdueDebits, sqlSum(-1, QDate(1900, 1, 1), today.addDays(-1), &overdueDebits));
        QCOMPARE(overdueCredits + overdueDebits, flow.overdueCreditCount + flow.overdueDebitCount);
        // and the figures are the ones meant, not two equal mistakes
        QCOMPARE(flow.months[0].credits, money("150.75"));
        QCOMPARE(flow.months[2].debits, money("200.75"));
        QCOMPARE(flow.months[11].balance, money("-100"));
    }
};

QTEST_GUILESS_MAIN(TestCashFlow)
#include "tst_cashflow.moc"
