#include "deadlines/deadlinestore.h"

#include "app/backups.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/editset.h"
#include "data/recordset.h"
#include "deadlines/clients.h"
#include "deadlines/datasheets.h"
#include "deadlines/series.h"
#include "deadlines/undohistory.h"

#include <functional>

namespace velto {

namespace {
constexpr int kClosedMeanwhile = 1801;
constexpr int kReopenedMeanwhile = 1802;
} // namespace

Deadline deadlineAt(const Recordset &rs)
{
    auto field = [&rs](const char16_t *name) { return rs.fieldIndex(QStringView(name)); };
    Deadline d;
    d.rowId = rs.intValue(field(u"TrRowId"));
    d.sheetId = int(rs.intValue(field(u"TrDbId")));
    // A code the program does not know reads as a credit, as the type box shows it.
    d.type = deadlineTypeFromCode(rs.intValue(field(u"TrType"), 1)).value_or(DeadlineType::Credit);
    d.done = rs.boolValue(field(u"TrDone"));
    d.date = rs.dateValue(field(u"TrDate"));
    d.description = rs.textValue(field(u"TrDescription"));
    d.accountId = rs.intValue(field(u"TrAcId"));
    d.value = rs.currencyValue(field(u"TrValue"));
    d.balance = rs.currencyValue(field(u"TrBalance"));
    d.groupType = rs.textValue(field(u"TrGrpType"));
    d.groupRow = int(rs.intValue(field(u"TrGrpRow")));
    d.groupCount = int(rs.intValue(field(u"TrGrpMDay")));
    d.notes = rs.textValue(field(u"TrNotes"));
    d.groupId = rs.intValue(field(u"TrGrpId"));
    return d;
}

namespace {

Status readDeadline(Connection &conn, qint64 rowId, Deadline *out)
{
    Recordset rs;
    Status st = rs.open(sql::editDeadline(rowId), conn, CursorType::ForwardOnly);
    if (!st)
        return st;
    if (rs.eof())
        return Status::failure(kErrorMissing, LoadResString(1504));
    *out = deadlineAt(rs);
    return Status::success();
}

// What a deadline holds as a whole is compared, not only the fields the
// window edits: a close from the grid changes TrDone alone.
Status writeEdit(Connection &conn, const Deadline &edited, const Deadline &asLoaded)
{
    Deadline now;
    Status st = readDeadline(conn, asLoaded.rowId, &now);
    if (!st)
        return st;
    if (!(now == asLoaded))
        return Status::failure(kErrorChangedMeanwhile, LoadResString(1500));
    if (!(st = checkSheetExists(conn, now.sheetId)) || !(st = checkClientExists(conn, edited.accountId)))
        return st;

    // Appointments carry no amount; the balance takes the type's sign.
    const Currency value = edited.type == DeadlineType::Appointment ? Currency() : edited.value;
    EditSet record;
    if (!(st = record.open(sql::editDeadline(asLoaded.rowId), conn)))
        return st;
    if (record.eof())
        return Status::failure(kErrorMissing, LoadResString(1504));
    const struct {
        const char16_t *field;
        QVariant value;
    } changes[] = {
        {u"TrType", typeCode(edited.type)},
        {u"TrDate", edited.date},
        {u"TrDescription", edited.description},
        {u"TrAcId", edited.accountId},
        {u"TrValue", QVariant::fromValue(value)},
        {u"TrBalance", QVariant::fromValue(value * typeCode(edited.type))},
        {u"TrDone", edited.done},
    };
    for (const auto &c : changes)
        if (!(st = record.setValue(QStringView(c.field), c.value)))
            return st;
    return record.update();
}

} // namespace

Status loadDeadline(const QString &connectionString, qint64 rowId, Deadline *out)
{
    Connection conn;
    Status st = conn.open(connectionString);
    if (st)
        st = readDeadline(conn, rowId, out);
    conn.close();
    return st;
}

// One recorded write on one deadline or one series: the rows the query
// selects, before and after.
static Status writeRows(const QString &connectionString, UndoHistory *history, const QString &rows,
                        const std::function<Status(Connection &)> &work, ChangeKind kind)
{
    return recordedWrite(connectionString, history, kind, [&](Connection &conn, ChangeRecorder &recorder) {
        Status done = recorder.before(RecordTable::Deadlines, rows);
        if (done)
            done = work(conn);
        return done ? recorder.after() : done;
    });
}

Status saveDeadline(const QString &connectionString, const Deadline &edited, const Deadline &asLoaded,
                    UndoHistory *history)
{
    if (edited.description.isEmpty())
        return Status::failure(kErrorInvalidEntry, LoadResString(1582));
    if (edited.type != DeadlineType::Appointment && edited.value.units() < 0)
        return Status::failure(kErrorInvalidEntry, LoadResString(1503));
    if (!edited.value.isStorable())
        return Status::failure(kErrorInvalidEntry,
                               LoadResString(1588).arg(edited.value.toInvariant(),
                                                       Currency::fromUnits(Currency::kMaxStoredUnits).toInvariant()));
    return writeRows(
        connectionString, history, sql::editDeadline(asLoaded.rowId),
        [&](Connection &conn) { return writeEdit(conn, edited, asLoaded); }, ChangeKind::EditDeadline);
}

Status toggleDone(const QString &connectionString, qint64 rowId, bool wasDone, UndoHistory *history)
{
    return writeRows(
        connectionString, history, sql::editDeadline(rowId),
        [&](Connection &conn) {
            // Someone else may have closed or reopened it since the user saw it:
            // flipping it then would undo what both meant.
            Deadline now;
            Status st = readDeadline(conn, rowId, &now);
            if (st && now.done != wasDone)
                st = Status::failure(kErrorChangedMeanwhile,
                                     LoadResString(now.done ? kClosedMeanwhile : kReopenedMeanwhile));
            if (st)
                st = checkSheetExists(conn, now.sheetId);
            return st ? conn.execute(sql::toggleDone(rowId)) : st;
        },
        wasDone ? ChangeKind::ReopenDeadline : ChangeKind::CloseDeadline);
}

// A row gone meanwhile is said so, never reported as deleted.
static Status deleteRows(Connection &conn, const QString &statement)
{
    qint64 affected = 0;
    const Status st = conn.execute(statement, &affected);
    return st && affected == 0 ? Status::failure(kErrorMissing, LoadResString(1504)) : st;
}

Status deleteDeadline(const QString &connectionString, qint64 rowId, UndoHistory *history)
{
    return writeRows(
        connectionString, history, sql::editDeadline(rowId),
        [&](Connection &conn) { return deleteRows(conn, sql::deleteOne(rowId)); }, ChangeKind::DeleteDeadline);
}

Status deleteSeriesMember(const QString &connectionString, qint64 rowId, UndoHistory *history)
{
    Deadline member;
    Status st = loadDeadline(connectionString, rowId, &member);
    if (!st)
        return st;
    // Group 0 holds every single deadline: renumbering it would make them
    // all look like members of one series.
    if (member.groupId == 0)
        return deleteDeadline(connectionString, rowId, history);
    // The deletion and the renumbering of the rest of the series are one
    // change: both or neither. The member is read again inside it.
    return writeRows(
        connectionString, history, sql::groupRows(member.groupId),
        [&](Connection &conn) {
            Deadline now;
            Status done = readDeadline(conn, rowId, &now);
            if (done && now.groupId != member.groupId)
                done = Status::failure(kErrorChangedMeanwhile, LoadResString(1500));
            if (done)
                done = conn.execute(sql::deleteOne(rowId));
            return done ? RenumberGroup(conn, now.groupId) : done;
        },
        ChangeKind::DeleteSeriesMember);
}

Status deleteSeries(const QString &connectionString, qint64 groupId, UndoHistory *history)
{
    // Group 0 is not a series but every single deadline.
    if (groupId <= 0)
        return Status::failure(kErrorMissing, LoadResString(1504));
    if (Status st = backupBeforeDeleting(connectionString); !st)
        return st;
    return writeRows(
        connectionString, history, sql::groupRows(groupId),
        [&](Connection &conn) { return deleteRows(conn, sql::deleteGroup(groupId)); }, ChangeKind::DeleteSeries);
}

} // namespace velto
