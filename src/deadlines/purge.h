#pragma once
// Purging closed deadlines: those of one data sheet marked done and dated on
// or before a day. Open deadlines and other data sheets are never touched.

#include "data/status.h"

#include <QDate>
#include <QString>

namespace velto {

Status countClosedUpTo(const QString &connectionString, int sheetId, const QDate &day, qint64 *count);
Status purgeClosedUpTo(const QString &connectionString, int sheetId, const QDate &day, qint64 *deleted);

} // namespace velto
