#pragma once
// A data sheet's open deadlines as an iCalendar file: one all-day event per
// deadline. The UID of an event is made of the database and the deadline's
// row id, so a calendar that imports the file again, or subscribes to it,
// updates its events instead of adding them twice.

#include "data/status.h"
#include "deadlines/duelist.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

namespace velto {

// "<row id>-<database key>@velto"; the key is the database's own
// (databaseIdentity), so UIDs stay when the file moves and differ between
// databases.
[[nodiscard]] QString calendarEventUid(const QString &databaseKey, qint64 rowId);

// The calendar text; stamp is the DTSTAMP of every event.
[[nodiscard]] QByteArray calendarText(const QList<DueItem> &items, const QString &databaseKey, const QLocale &locale,
                                      const QDateTime &stamp);

// Reads the sheet's open deadlines and writes the file whole or not at all
// (writeWholeFile: nothing but a regular file is replaced).
Status exportCalendar(const QString &connectionString, int sheetId, const QString &path,
                      const QLocale &locale = QLocale());

} // namespace velto
