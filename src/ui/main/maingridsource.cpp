#include "ui/main/maingridsource.h"

#include "app/strings.h"
#include "deadlines/namecollation.h"
#include "ui/main/frmmain.h"
#include "ui/widgets/gridrow.h"

#include <QLocale>

#include <algorithm>
#include <limits>
#include <numeric>

namespace velto {

namespace {

constexpr qint64 kNullRank = std::numeric_limits<qint64>::min();

QVariant money(Currency c)
{
    return QVariant::fromValue(c);
}

} // namespace

MainGridSource::MainGridSource(std::shared_ptr<const MainRows> rows, Look look)
    : m_rows(std::move(rows)), m_look(std::move(look))
{
}

QString MainGridSource::nameOf(MainColumn column)
{
    static const char *const names[kMainColumnCount] = {
        "RowId",     "SheetId",     "Type",         "Done",     "Date",        "Description", "AccountRef",
        "Value",     "Balance",     "GroupType",    "GroupRow", "GroupCount",  "Notes",       "GroupId",
        "AccountId", "AccountName", "AccountNotes", "GroupKey", "OpenBalance",
    };
    const int c = col(column);
    return c >= 1 && c <= kMainColumnCount ? QLatin1String(names[c - 1]) : QString();
}

QVariant MainGridSource::value(int row, int col) const
{
    if (row < 0 || row >= m_rows->size())
        return {};
    const MainRows &r = *m_rows;
    switch (MainColumn(col + 1)) {
    case MainColumn::RowId: return r.rowId(row);
    case MainColumn::SheetId: return qint64(r.sheetId(row));
    case MainColumn::Type: {
        const auto type = r.type(row);
        return type ? QVariant(qint64(typeCode(*type))) : QVariant();
    }
    case MainColumn::Done: return r.done(row);
    case MainColumn::Date: return r.date(row);
    case MainColumn::Description: return r.shownDescription(row, m_look.counterSeparator);
    case MainColumn::AccountRef: return r.accountId(row);
    case MainColumn::Value: {
        // An appointment has no amount: its cell stays empty.
        const auto amount = r.amount(row);
        return amount ? money(*amount) : QVariant();
    }
    case MainColumn::Balance: return money(r.balance(row));
    case MainColumn::GroupType: return r.groupType(row);
    case MainColumn::GroupRow: return qint64(r.groupRow(row));
    case MainColumn::GroupCount: return qint64(r.groupCount(row));
    case MainColumn::Notes: {
        const QString notes = r.notes(row);
        return notes.isEmpty() ? QVariant() : QVariant(notes);
    }
    case MainColumn::GroupId: return r.groupId(row);
    case MainColumn::AccountId: return r.clientIndex(row) < 0 ? QVariant() : QVariant(r.accountId(row));
    case MainColumn::AccountName: return r.clientIndex(row) < 0 ? QVariant() : QVariant(r.accountName(row));
    case MainColumn::AccountNotes: return r.clientIndex(row) < 0 ? QVariant() : QVariant(r.accountNotes(row));
    case MainColumn::GroupKey: return r.dateBucket(row, m_look.layout, m_look.today);
    case MainColumn::OpenBalance: return money(r.openBalance(row));
    }
    return {};
}

QString MainGridSource::searchedText(int row, int col) const
{
    switch (MainColumn(col + 1)) {
    case MainColumn::Description: return m_rows->description(row);
    case MainColumn::Notes: return m_rows->notes(row);
    case MainColumn::AccountName: return m_rows->accountName(row);
    default: return value(row, col).toString();
    }
}

bool MainGridSource::rank(int col, std::vector<qint64> *ranks) const
{
    const MainRows &r = *m_rows;
    const int n = r.size();
    ranks->resize(std::size_t(n));
    auto fill = [&](auto of) {
        for (int i = 0; i < n; ++i) {
            const qint64 v = of(i);
            (*ranks)[std::size_t(i)] = v == kNullRank ? kNullRank + 1 : v;
        }
        return true;
    };
    switch (MainColumn(col + 1)) {
    case MainColumn::RowId: return fill([&](int i) { return r.rowId(i); });
    case MainColumn::SheetId: return fill([&](int i) { return qint64(r.sheetId(i)); });
    case MainColumn::Done: return fill([&](int i) { return qint64(r.done(i)); });
    case MainColumn::Date: return fill([&](int i) { return r.julianDay(i); });
    case MainColumn::Balance: return fill([&](int i) { return qint64(r.balance(i).units()); });
    case MainColumn::OpenBalance: return fill([&](int i) { return qint64(r.openBalance(i).units()); });
    case MainColumn::GroupRow: return fill([&](int i) { return qint64(r.groupRow(i)); });
    case MainColumn::GroupCount: return fill([&](int i) { return qint64(r.groupCount(i)); });
    case MainColumn::GroupId: return fill([&](int i) { return r.groupId(i); });
    case MainColumn::AccountRef: return fill([&](int i) { return r.accountId(i); });
    case MainColumn::GroupKey: return fill([&](int i) { return qint64(r.dateBucket(i, m_look.layout, m_look.today)); });
    case MainColumn::AccountName: {
        // The clients are ranked once, in the language's order of names;
        // a deadline without one comes first.
        const int clients = r.clientCount();
        const QCollator collator = nameCollator();
        std::vector<int> order(static_cast<std::size_t>(clients));
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = collator.compare(r.clientName(a), r.clientName(b));
            return c != 0 ? c < 0 : r.clientName(a) < r.clientName(b);
        });
        std::vector<qint64> rankOf(static_cast<std::size_t>(clients));
        for (int k = 0; k < clients; ++k) {
            // Two clients of the same name make one group, as their names do.
            const bool same = k > 0 && r.clientName(order[std::size_t(k)]) == r.clientName(order[std::size_t(k - 1)]);
            rankOf[std::size_t(order[std::size_t(k)])] = same ? rankOf[std::size_t(order[std::size_t(k - 1)])] : k;
        }
        for (int i = 0; i < n; ++i) {
            const int c = r.clientIndex(i);
            (*ranks)[std::size_t(i)] = c < 0 ? kNullRank : rankOf[std::size_t(c)];
        }
        return true;
    }
    default: return false;
    }
}

int MainGridSource::image(int row, int col) const
{
    const MainRows &r = *m_rows;
    const bool done = r.done(row);
    if (MainColumn(col + 1) == MainColumn::Description) {
        if (!r.isSeriesMember(row))
            return 0;
        return done ? frmMain::imgGroupClosed : frmMain::imgGroupOpen;
    }
    if (MainColumn(col + 1) != MainColumn::Type)
        return 0;
    switch (r.type(row).value_or(DeadlineType(0))) {
    case DeadlineType::Credit: return done ? frmMain::imgCreditClosed : frmMain::imgCreditOpen;
    case DeadlineType::Debit: return done ? frmMain::imgDebitClosed : frmMain::imgDebitOpen;
    case DeadlineType::Appointment: return done ? frmMain::imgAppointmentClosed : frmMain::imgAppointmentOpen;
    }
    return 0;
}

MainGridSource::Spoken MainGridSource::spoken(int row, int col, const QString &shown) const
{
    // Every cell says whether the deadline is open or closed, which the
    // grid shows only as grey strike-through; the type cell names the type
    // (and the place in a series) that its picture shows.
    const MainRows &r = *m_rows;
    Spoken s{shown, LoadResString(r.done(row) ? 1644 : 1645)};
    if (MainColumn(col + 1) != MainColumn::Type)
        return s;
    const auto type = r.type(row);
    if (!type)
        return s; // an unknown code reads as it is shown
    switch (*type) {
    case DeadlineType::Credit: s.text = LoadResString(1640); break;
    case DeadlineType::Debit: s.text = LoadResString(1641); break;
    case DeadlineType::Appointment: s.text = LoadResString(1642); break;
    }
    if (r.isSeriesMember(row))
        s.text += QStringLiteral(", ") + LoadResString(1643).arg(r.groupRow(row)).arg(r.groupCount(row));
    return s;
}

QString MainGridSource::totalSuffix(const GridRow &group) const
{
    const QVariant sum = group.aggregate(col(MainColumn::OpenBalance), GridAggregate::Sum);
    return QStringLiteral(" [") + sum.value<Currency>().toLocaleCurrency(QLocale()) + QLatin1Char(']');
}

QString MainGridSource::groupCaption(const GridRow &group) const
{
    switch (MainColumn(group.groupColumn())) {
    case MainColumn::SheetId: {
        QString text = m_look.sheetCaption;
        if (m_look.layout == Layout::ByClient && m_look.showTotals)
            text += totalSuffix(group);
        return text;
    }
    case MainColumn::AccountName:
        if (!m_look.showTotals)
            return group.caption();
        return (group.groupValue().toString().isEmpty() ? LoadResString(1054) : group.caption()) + totalSuffix(group);
    case MainColumn::GroupKey: {
        QString text;
        if (m_look.layout == Layout::ByDate)
            text = QLatin1Char(' ') + LoadResString(1060 + group.groupValue().toInt());
        else if (m_look.layout == Layout::ByMonth) {
            const int month = group.groupValue().toInt(); // year * 100 + month
            text =
                QLatin1Char(' ') + QLocale().toString(QDate(month / 100, month % 100, 1), QStringLiteral("MMMM yyyy"));
        } else
            return group.caption();
        if (m_look.showTotals)
            text += totalSuffix(group);
        return text;
    }
    default: return group.caption();
    }
}

} // namespace velto
