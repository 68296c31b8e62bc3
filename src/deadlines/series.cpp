#include "deadlines/series.h"

#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/currency.h"
#include "data/editset.h"
#include "data/recordset.h"
#include "data/schema.h"
#include "deadlines/clients.h"
#include "deadlines/datasheets.h"
#include "deadlines/undohistory.h"

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

QChar cadenceLetter(Cadence cadence)
{
    static const QString letters = QStringLiteral("dwmqy");
    const int index = int(cadence);
    return index >= 0 && index < kCadenceCount ? letters.at(index) : QChar();
}

QList<QDate> seriesDates(const DeadlineEntry &e, int limit)
{
    if (e.rule)
        return expandRecurrence(*e.rule, e.date, e.count, limit);
    QList<QDate> dates;
    const bool monthEnd = IsLastDayOfMonth(e.date);
    for (int k = 0; k < std::min(e.count, limit); ++k) {
        const QDate d = seriesDate(e.date, e.cadence, k, monthEnd);
        if (!d.isValid() || d.year() > 9999)
            break;
        dates << d;
    }
    return dates;
}

Status loadSeriesRule(const QString &connectionString, qint64 groupId, std::optional<Recurrence> *rule)
{
    rule->reset();
    Recordset rs;
    const Status st = rs.open(sql::seriesRule(groupId), connectionString, CursorType::ForwardOnly);
    if (!st)
        return st;
    Recurrence r;
    if (!rs.eof() && Recurrence::fromText(rs.textValue(0), &r))
        *rule = r;
    return rs.status();
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

Status checkSeriesDates(const DeadlineEntry &e, const QList<QDate> &dates)
{
    if (dates.size() > kMaxSeriesCount)
        return Status::failure(kErrorInvalidEntry, LoadResString(1586).arg(kMaxSeriesCount));
    if (e.rule && e.rule->until.isValid())
        return dates.size() < 2 ? Status::failure(kErrorInvalidEntry, LoadResString(1585)) : Status::success();
    // A count that fits the fields can still carry a yearly or quarterly
    // series past the year 9999: the dates stop there.
    return dates.size() < e.count ? Status::failure(kErrorInvalidEntry, LoadResString(1589)) : Status::success();
}

namespace {

Status validate(const DeadlineEntry &e)
{
    // Dates are stored and written into statements with four-digit years.
    constexpr int kLastYear = 9999;
    if (!deadlineTypeFromCode(typeCode(e.type)))
        return Status::failure(kErrorInvalidEntry, LoadResString(1581).arg(typeCode(e.type)));
    if (e.description.isEmpty())
        return Status::failure(kErrorInvalidEntry, LoadResString(1582));
    // Refused whole rather than stored cut short.
    const int size = fieldSize(u"Transactions", u"TrDescription");
    if (e.description.size() > size)
        return Status::failure(kErrorInvalidEntry, LoadResString(1583).arg(size));
    if (!e.date.isValid() || e.date.year() < 1 || e.date.year() > kLastYear)
        return Status::failure(kErrorInvalidEntry, LoadResString(1584));
    if (e.recurring) {
        if (e.rule ? !e.rule->isValid() : int(e.cadence) < 0 || int(e.cadence) >= kCadenceCount)
            return Status::failure(kErrorInvalidEntry, LoadResString(1587));
        // A series that ends on a date takes its count from its dates.
        if (!(e.rule && e.rule->until.isValid())) {
            if (e.count < 2)
                return Status::failure(kErrorInvalidEntry, LoadResString(1585));
            // Row numbers and the count live in 16-bit fields.
            if (e.count > kMaxSeriesCount)
                return Status::failure(kErrorInvalidEntry, LoadResString(1586).arg(kMaxSeriesCount));
        }
    }
    // The sign of an amount comes from the type, never from the amount.
    if (e.type != DeadlineType::Appointment && e.amount.units() < 0)
        return Status::failure(kErrorInvalidEntry, LoadResString(1503));
    if (!e.amount.isStorable())
        return Status::failure(kErrorInvalidEntry,
                               LoadResString(1588).arg(e.amount.toInvariant(),
                                                       Currency::fromUnits(Currency::kMaxStoredUnits).toInvariant()));
    return Status::success();
}

// A member joins a series only where the user sees it: in the same data
// sheet, and only while the series still exists.
Status checkJoinsSeriesOfSheet(Connection &conn, qint64 groupId, int sheetId)
{
    Recordset rs;
    Status st = rs.open(sql::groupRows(groupId), conn, CursorType::ForwardOnly);
    if (!st)
        return st;
    const int sheetField = rs.fieldIndex(u"TrDbId");
    bool any = false;
    for (; !rs.eof(); rs.moveNext()) {
        any = true;
        if (rs.intValue(sheetField) != sheetId)
            return Status::failure(kErrorInvalidEntry, LoadResString(1502));
    }
    if (!rs.status())
        return rs.status();
    return any ? Status::success() : Status::failure(kErrorMissing, LoadResString(1504));
}

// The letter an older reader of the file sees for a rule series.
QChar ruleLetter(const Recurrence &r)
{
    switch (r.frequency) {
    case Frequency::Days: return u'd';
    case Frequency::Weeks: return u'w';
    case Frequency::Years: return u'y';
    default: return u'm';
    }
}

Status writeEntry(Connection &conn, int sheetId, const DeadlineEntry &e, const QList<QDate> &dates, qint64 *firstRowId)
{
    const int type = typeCode(e.type);
    // Appointments carry no amount.
    const Currency value = e.type == DeadlineType::Appointment ? Currency() : e.amount;
    const Currency balance = value * type;
    if (!e.recurring) {
        const Status st = conn.execute(
            sql::insertSingle(sheetId, type, e.date, e.description, e.accountId, value, balance, e.addToGroupId));
        if (st && firstRowId)
            *firstRowId = conn.lastInsertId();
        return st;
    }

    // A new series is numbered by the key of its first row, which the
    // engine never hands out again: a number freed by an undo or a deletion
    // never passes to another series (whose later redo would merge the two).
    // Numbers of older files are all below the keys given since; should a
    // file hold higher ones, the highest plus one is taken instead.
    qint64 group = e.addToGroupId;
    if (group <= 0) {
        Recordset rs;
        Status st = rs.open(sql::nextGroupId(), conn, CursorType::ForwardOnly);
        if (!st)
            return st;
        group = rs.eof() ? 1 : rs.intValue(rs.fieldIndex(u"mId"), 0) + 1;
    }
    const QChar letter = e.rule ? ruleLetter(*e.rule) : cadenceLetter(e.cadence);
    const int count = int(dates.size());
    BoundStatement insert(conn, sql::insertSeriesRowMarks());
    const QByteArray description = e.description.toUtf8();
    const QByteArray cadence = QString(letter).toUtf8();
    for (int k = 1; k <= count; ++k) {
        insert.add(sheetId)
            .add(type)
            .add(dates.at(k - 1))
            .add(description)
            .add(e.accountId)
            .add(value)
            .add(balance)
            .add(cadence)
            .add(k)
            .add(count)
            .add(group);
        // The first row's key is needed at once; the others go to a server
        // in one stream, answered at the flush below.
        Status st = k == 1 ? insert.execute() : insert.queue();
        if (!st)
            return st;
        if (k > 1)
            continue;
        const qint64 first = conn.lastInsertId();
        if (firstRowId)
            *firstRowId = first;
        if (e.addToGroupId <= 0 && first > group) {
            group = first;
            if (!(st = conn.execute(sql::setGroupId(first, group))))
                return st;
        }
    }
    if (Status st = insert.flush(); !st)
        return st;
    // A new series keeps its rule; a number used before keeps no old one.
    if (e.addToGroupId <= 0) {
        Status st = conn.execute(sql::deleteSeriesRule(group));
        if (st && e.rule)
            st = conn.execute(sql::insertSeriesRule(group, e.rule->toText()));
        if (!st)
            return st;
    }
    return Status::success();
}

} // namespace

Status InsertDeadlines(const QString &connectionString, int sheetId, const DeadlineEntry &entry, qint64 *firstRowId,
                       UndoHistory *history)
{
    Status st = validate(entry);
    const QList<QDate> dates = entry.recurring && st ? seriesDates(entry) : QList<QDate>();
    if (st && entry.recurring)
        st = checkSeriesDates(entry, dates);
    if (!st)
        return st;

    // One transaction for the rows and the renumbering of a joined series:
    // either the whole entry is stored, or nothing of it.
    const ChangeKind kind = entry.addToGroupId > 0 ? ChangeKind::JoinSeries
        : entry.recurring                          ? ChangeKind::NewSeries
                                                   : ChangeKind::NewDeadline;
    qint64 first = 0;
    st = recordedWrite(connectionString, history, kind, [&](Connection &conn, ChangeRecorder &recorder) {
        Status written = checkSheetExists(conn, sheetId);
        if (written)
            written = checkClientExists(conn, entry.accountId);
        if (written && entry.addToGroupId > 0)
            written = checkJoinsSeriesOfSheet(conn, entry.addToGroupId, sheetId);
        // The members a joined series renumbers, as they were.
        if (written && entry.addToGroupId > 0)
            written = recorder.before(RecordTable::Deadlines, sql::groupRows(entry.addToGroupId));
        if (written)
            written = writeEntry(conn, sheetId, entry, dates, &first);
        if (written && entry.addToGroupId > 0)
            written = RenumberGroup(conn, entry.addToGroupId);
        if (written)
            written = recorder.after();
        // Keys only grow: the new rows are the first one and every one after it.
        if (written)
            written = recorder.afterAlso(RecordTable::Deadlines, sql::rowsFrom(first));
        return written;
    });
    if (st && firstRowId)
        *firstRowId = first;
    return st;
}

} // namespace velto
