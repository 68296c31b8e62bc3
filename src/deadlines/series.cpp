#include "deadlines/series.h"

#include "app/mainmod.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/currency.h"
#include "data/editset.h"
#include "data/recordset.h"
#include "data/schema.h"

#include <QLocale>

#include <optional>

namespace velto {

bool IsLastDayOfMonth(const QDate &d)
{
    return d.addDays(1).month() != d.month();
}

QDate EndOfMonth(const QDate &d)
{
    const QDate next = d.addMonths(1);
    return QDate(next.year(), next.month(), 1).addDays(-1);
}

QDate seriesDate(const QDate &first, Cadence cadence, int k, bool keepMonthEnd)
{
    // Always computed from the first date, never from the previous one, so a
    // day that a short month forced down comes back in the next months.
    switch (cadence) {
    case Cadence::Daily: return first.addDays(k);
    case Cadence::Weekly: return first.addDays(7LL * k);
    case Cadence::Monthly: {
        const QDate d = first.addMonths(k);
        return keepMonthEnd ? EndOfMonth(d) : d;
    }
    case Cadence::Quarterly: {
        const QDate d = first.addMonths(3 * k);
        return keepMonthEnd ? EndOfMonth(d) : d;
    }
    case Cadence::Yearly: return first.addYears(k);
    }
    return first;
}

QChar cadenceLetter(int cadenceIndex)
{
    static const QString letters = QStringLiteral("dwmqy");
    return cadenceIndex >= 0 && cadenceIndex < kCadenceCount ? letters.at(cadenceIndex) : QChar();
}

int typeCodeOfKey(const QString &key)
{
    return key.right(2).toInt();
}

Status RenumberGroup(Connection &connection, qint64 groupId)
{
    Recordset count;
    Status st = count.open(sql::groupSize(groupId), connection, CursorType::ForwardOnly);
    if (!st)
        return st;
    const qint64 c = count.eof() ? 0 : count.intValue(count.fieldIndex(u"CTrRowId"));
    count.close();

    EditSet rows;
    st = rows.open(sql::groupRows(groupId), connection);
    if (!st)
        return st;
    int k = 1;
    for (; !rows.eof(); rows.moveNext(), ++k) {
        if (!(st = rows.setValue(u"TrGrpRow", k)) || !(st = rows.setValue(u"TrGrpMDay", c)) || !(st = rows.update()))
            return st;
    }
    return Status::success();
}

namespace {

// Text that reads as no amount at all stores 0, as an empty box does; but
// digits too many for any amount are a mistake to report, not a zero.
bool tooManyDigits(const QString &amountText)
{
    int digits = 0;
    for (const QChar c : amountText)
        digits += c.isDigit() ? 1 : 0;
    return digits > 15;
}

Status validate(const DeadlineEntry &e, int type)
{
    // Dates are stored and written into statements with four-digit years.
    constexpr int kLastYear = 9999;
    if (type != 1 && type != -1 && type != -2)
        return Status::failure(kErrorInvalidEntry, LoadResString(1581).arg(e.typeKey));
    if (e.description.isEmpty())
        return Status::failure(kErrorInvalidEntry, LoadResString(1582));
    // Refused whole rather than stored cut short.
    const int size = fieldSize(u"Transactions", u"TrDescription");
    if (e.description.size() > size)
        return Status::failure(kErrorInvalidEntry, LoadResString(1583).arg(size));
    if (!e.date.isValid() || e.date.year() < 1 || e.date.year() > kLastYear)
        return Status::failure(kErrorInvalidEntry, LoadResString(1584));
    if (e.recurring) {
        if (e.count < 2)
            return Status::failure(kErrorInvalidEntry, LoadResString(1585));
        // Row numbers and the count live in 16-bit fields.
        if (e.count > kMaxSeriesCount)
            return Status::failure(kErrorInvalidEntry, LoadResString(1586).arg(kMaxSeriesCount));
        if (e.cadenceIndex < 0 || e.cadenceIndex >= kCadenceCount)
            return Status::failure(kErrorInvalidEntry, LoadResString(1587));
        // A count that fits the fields can still carry a yearly or quarterly
        // series past the year 9999; the dates only grow, so the last one
        // decides, and it is checked before anything is written.
        const QDate last = seriesDate(e.date, Cadence(e.cadenceIndex), e.count - 1, IsLastDayOfMonth(e.date));
        if (!last.isValid() || last.year() > kLastYear)
            return Status::failure(kErrorInvalidEntry, LoadResString(1589));
    }
    return Status::success();
}

Status writeEntry(Connection &conn, const DeadlineEntry &e, int type, Currency value, Currency balance, qint64 accountId)
{
    const int dbId = app().CurrentDbId;
    if (!e.recurring)
        return conn.execute(sql::insertSingle(dbId, type, e.date, e.description, accountId, value, balance, e.addToGroupId));

    qint64 group = e.addToGroupId;
    if (group <= 0) {
        Recordset rs;
        Status st = rs.open(sql::nextGroupId(), conn, CursorType::ForwardOnly);
        if (!st)
            return st;
        group = rs.eof() ? 1 : qint64(NzNum(rs.value(rs.fieldIndex(u"mId")), 0)) + 1;
    }
    const Cadence cadence = Cadence(e.cadenceIndex);
    const QChar letter = cadenceLetter(e.cadenceIndex);
    const bool monthEnd = IsLastDayOfMonth(e.date);
    for (int k = 1; k <= e.count; ++k) {
        const QDate day = seriesDate(e.date, cadence, k - 1, monthEnd);
        Status st = conn.execute(sql::insertSeriesRow(dbId, type, day, e.description, accountId, value, balance,
                                                      letter, k, e.count, group));
        if (!st)
            return st;
    }
    return Status::success();
}

} // namespace

Status InsertDeadlines(const DeadlineEntry &entry)
{
    const int type = typeCodeOfKey(entry.typeKey);
    Status st = validate(entry, type);
    if (!st)
        return st;

    // Appointments carry no amount; text that does not read as money is 0.
    const std::optional<Currency> read =
        type == -2 ? std::optional<Currency>(Currency()) : Currency::fromLocaleText(entry.amountText, QLocale());
    const Currency value = read.value_or(Currency());
    if (!value.isStorable() || (!read && tooManyDigits(entry.amountText)))
        return Status::failure(kErrorInvalidEntry,
                               LoadResString(1588).arg(entry.amountText.trimmed(),
                                        Currency::fromUnits(Currency::kMaxStoredUnits).toInvariant()));
    const Currency balance = value * type;
    const qint64 accountId = qint64(NzNum(entry.accountId, 0));

    Connection conn;
    if (!(st = conn.open(app().ConnectionString)))
        return st;
    // One transaction for the rows and the renumbering of a joined group:
    // either the whole entry is stored, or nothing of it.
    st = conn.transaction([&] {
        Status written = writeEntry(conn, entry, type, value, balance, accountId);
        if (written && entry.addToGroupId > 0)
            written = RenumberGroup(conn, entry.addToGroupId);
        return written;
    });
    conn.close();
    return st;
}

} // namespace velto
