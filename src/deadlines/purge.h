#pragma once
// Purging closed deadlines: those of one data sheet marked done and dated on
// or before a day. Open deadlines and other data sheets are never touched.

#include "data/status.h"

#include <QDate>
#include <QString>

namespace velto {

class UndoHistory;

Status countClosedUpTo(const QString &connectionString, int sheetId, const QDate &day, qint64 *count);
// A data sheet gone meanwhile is kErrorMissing. With a history, the purge
// is recorded in it as one change.
Status purgeClosedUpTo(const QString &connectionString, int sheetId, const QDate &day, qint64 *deleted,
                       UndoHistory *history = nullptr);

} // namespace velto
