// The cash flow's monthly figures against SQL sums over the same rows:
// open credits and debits of the sheet, overdue ones in the first month,
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
        Sandbox box;
        QVERIFY(box.createDatabase());
        using T = DeadlineType;
        const struct {
            T type;
            QDate day;
            const char *amount;
            bool done;
            int sheet;
        } rows[] = {{T::Credit, {2026, 11, 3}, "100.25", false, 1},  {T::Debit, {2027, 1, 14}, "40", false, 1},
                    {T::Credit, {2027, 1, 31}, "50.5", false, 1},    {T::Debit, {2027, 3, 1}, "200", false, 1},
                    {T::Debit, {2027, 3, 31}, "0.75", false, 1},     {T::Credit, {2027, 2, 1}, "999", true, 1},
                    {T::Appointment, {2027, 2, 2}, "999", false, 1}, {T::Credit, {2027, 2, 3}, "999", false, 2},
                    {T::Debit, {2027, 12, 31}, "10", false, 1},      {T::Credit, {2028, 1, 1}, "999", false, 1}};
        for (const auto &r : rows)
            seedDeadline(r.sheet, r.type, r.day, QStringLiteral("d"), 0, money(r.amount), r.done);

        CashFlow flow;
        QVERIFY(cashFlow(app().ConnectionString, 1, {2027, 1, 15}, kCashFlowMonths, &flow));

        auto sqlSum = [](int type, const QDate &from, const QDate &to, int *count) {
            Recordset rs;
            rs.open("SELECT Sum(TrValue) AS S, Count(TrRowId) AS C FROM Transactions WHERE TrDbId=1 AND TrDone=False"
                    " AND TrType="
                        + QString::number(type) + " AND TrDate>=" + sql::date(from) + " AND TrDate<=" + sql::date(to),
                    app().ConnectionString);
            *count = int(rs.intValue(1));
            return rs.currencyValue(0);
        };
        QCOMPARE(flow.months.size(), kCashFlowMonths);
        Currency running;
        int credits = 0, debits = 0;
        for (int i = 0; i < kCashFlowMonths; ++i) {
            const CashFlowMonth &m = flow.months[i];
            const QDate first = QDate(2027, 1, 1).addMonths(i), from = i ? first : QDate(1900, 1, 1);
            QCOMPARE(m.month, first);
            QCOMPARE(m.credits, sqlSum(1, from, first.addMonths(1).addDays(-1), &credits));
            QCOMPARE(m.debits, sqlSum(-1, from, first.addMonths(1).addDays(-1), &debits));
            QCOMPARE(QList<int>({m.creditCount, m.debitCount}), QList<int>({credits, debits}));
            QCOMPARE(m.balance, running += m.credits - m.debits);
        }
        QCOMPARE(flow.overdueCredits - flow.overdueDebits,
                 sqlSum(1, {1900, 1, 1}, {2027, 1, 14}, &credits) - sqlSum(-1, {1900, 1, 1}, {2027, 1, 14}, &debits));
        // The figures meant, not the same mistake made twice.
        QCOMPARE(QList<Currency>({flow.months[0].credits, flow.months[2].debits, flow.months[11].balance}),
                 QList<Currency>({money("150.75"), money("200.75"), money("-100")}));
    }
};

QTEST_GUILESS_MAIN(TestCashFlow)
#include "tst_cashflow.moc"
