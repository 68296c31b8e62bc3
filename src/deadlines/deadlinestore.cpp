#include "deadlines/deadlinestore.h"

#include "app/backups.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/editset.h"
#include "data/recordset.h"
#include "deadlines/clients.h"
#include "deadlines/series.h"

namespace velto {

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
    if (!(st = checkClientExists(conn, edited.accountId)))
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

Status saveDeadline(const QString &connectionString, const Deadline &edited, const Deadline &asLoaded)
{
    if (edited.description.isEmpty())
        return Status::failure(kErrorInvalidEntry, LoadResString(1582));
    if (edited.type != DeadlineType::Appointment && edited.value.units() < 0)
        return Status::failure(kErrorInvalidEntry, LoadResString(1503));
    if (!edited.value.isStorable())
        return Status::failure(kErrorInvalidEntry, LoadResString(1588).arg(edited.value.toInvariant(),
                                        Currency::fromUnits(Currency::kMaxStoredUnits).toInvariant()));
    Connection conn;
    Status st = conn.open(connectionString);
    if (st)
        st = conn.transaction([&] { return writeEdit(conn, edited, asLoaded); });
    conn.close();
    return st;
}

Status toggleDone(const QString &connectionString, qint64 rowId)
{
    return Connection::executeAlone(connectionString, sql::toggleDone(rowId));
}

Status deleteDeadline(const QString &connectionString, qint64 rowId)
{
    return Connection::executeAlone(connectionString, sql::deleteOne(rowId));
}

Status deleteSeriesMember(const QString &connectionString, qint64 rowId)
{
    Connection conn;
    Status st = conn.open(connectionString);
    if (st) {
        // The deletion and the renumbering of the rest of the series are one
        // change: both or neither.
        st = conn.transaction([&] {
            Deadline member;
            Status done = readDeadline(conn, rowId, &member);
            if (done)
                done = conn.execute(sql::deleteOne(rowId));
            return done ? RenumberGroup(conn, member.groupId) : done;
        });
    }
    conn.close();
    return st;
}

Status deleteSeries(const QString &connectionString, qint64 groupId)
{
    if (Status st = backupBeforeDeleting(connectionString); !st)
        return st;
    return Connection::executeAlone(connectionString, sql::deleteGroup(groupId));
}

} // namespace velto
