#pragma once
// Data sheets: named books of deadlines in one database. Which one is
// active is the caller's business (it stores the id and reloads); these
// functions only read and change the Dbs table and, on delete, the
// deadlines of that sheet.

#include "data/status.h"

#include <QList>
#include <QString>

namespace velto {

class Connection;
class UndoHistory;

struct DataSheet {
    int id = 0;
    QString name;
    friend bool operator==(const DataSheet &, const DataSheet &) = default;
};

// The data sheet start-up falls back to; it is never deleted.
inline constexpr int kFallbackSheetId = 1;

[[nodiscard]] int dataSheetNameMaxLength();

// Every data sheet, sorted by name as the user's language sorts.
Status listDataSheets(const QString &connectionString, QList<DataSheet> *out);
// kErrorMissing when there is no such sheet.
Status dataSheetName(const QString &connectionString, int id, QString *name);
// The name is trimmed; a blank one is refused (kErrorInvalidEntry). The new
// id is above every id this database has ever given, kept in the engine's
// own counter table: the id of a deleted sheet is never given again, so a
// deadline saved by someone still on the deleted sheet never lands in a
// new one.
// The writes here record themselves in history when one is given.
Status createDataSheet(const QString &connectionString, const QString &name, int *newId,
                       UndoHistory *history = nullptr);
// The name is trimmed; blank is refused; a sheet gone meanwhile is kErrorMissing.
Status renameDataSheet(const QString &connectionString, int id, const QString &name, UndoHistory *history = nullptr);
// The refusals, in the order the user meets them: a sheet gone meanwhile
// (kErrorMissing), the only sheet, the active sheet, the fallback sheet
// (kErrorInUse), each with the text to show.
Status checkDataSheetDeletable(const QString &connectionString, int id, int activeSheetId);
// Checks again, then deletes the sheet and all its deadlines in one
// transaction: either both go, or neither; a sheet gone meanwhile is kErrorMissing.
Status deleteDataSheet(const QString &connectionString, int id, int activeSheetId, UndoHistory *history = nullptr);

// Inside a writing transaction: kErrorMissing, with its text, when the data
// sheet no longer exists (another user deleted it meanwhile).
Status checkSheetExists(Connection &connection, qint64 sheetId);

} // namespace velto
