#pragma once
// The workflows on deadlines already stored: read one by its key, save an
// edit, close or reopen, delete one, a series member or a whole series.
// Each is one unit of work on its own connection and returns the
// database's message, or ours, when it fails; nothing half done stays.
// The connection string is passed in: nothing here reads program state.

#include "data/status.h"
#include "deadlines/deadline.h"

#include <QString>

namespace velto {

class Recordset;
class UndoHistory;

// The deadline with this TrRowId; kErrorMissing when it is gone.
Status loadDeadline(const QString &connectionString, qint64 rowId, Deadline *out);

// Writes the edit only when the row still holds what the window read
// (asLoaded); otherwise kErrorChangedMeanwhile and nothing is written, so a
// change made meanwhile elsewhere (closed from the grid, saved from another
// window) is never overwritten. The balance follows the type and the value;
// an appointment carries no amount; a negative amount and a client/supplier
// that no longer exists are refused, and so is a deadline whose data sheet is gone.
// Every write below records itself in history when one is given.
Status saveDeadline(const QString &connectionString, const Deadline &edited, const Deadline &asLoaded,
                    UndoHistory *history = nullptr);

// Closes an open deadline (wasDone false), reopens a closed one (true), but
// only while it still holds that state: otherwise kErrorChangedMeanwhile,
// with the text saying what happened, and nothing is written. Its data
// sheet must still exist.
Status toggleDone(const QString &connectionString, qint64 rowId, bool wasDone, UndoHistory *history = nullptr);
// Deletes one deadline on its own; one gone meanwhile is kErrorMissing (so
// is a series with no member left).
Status deleteDeadline(const QString &connectionString, qint64 rowId, UndoHistory *history = nullptr);
// Deletes one member of a series and renumbers the rest, both or neither.
Status deleteSeriesMember(const QString &connectionString, qint64 rowId, UndoHistory *history = nullptr);
// Deletes every deadline of the series, whatever its data sheet.
Status deleteSeries(const QString &connectionString, qint64 groupId, UndoHistory *history = nullptr);

// The deadline at the current row of a recordset over Transactions (every
// field of the table, by name).
[[nodiscard]] Deadline deadlineAt(const Recordset &rs);

} // namespace velto
