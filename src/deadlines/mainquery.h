#pragma once
// What the main window reads besides its lists (mainrows.h): the filters
// of the deadline grid, the days that hold open deadlines and whether
// anything is due.

#include "data/status.h"

#include <QDate>
#include <QList>
#include <QString>

namespace velto {

// The filters of the main window's list, in its order; the last one shows
// the period selected in the calendar.
enum class MainFilter : int {
    All = 0,
    Open,
    OpenCreditsAndDebits,
    OpenCredits,
    OpenDebits,
    OpenAppointments,
    Closed,
    CalendarPeriod,
};
inline constexpr int kMainFilterCount = 8;

// The days from first to last that hold an open deadline of the sheet.
Status openDeadlineDays(const QString &connectionString, int sheetId, const QDate &first, const QDate &last,
                        QList<QDate> *days);
// Whether an open deadline of the sheet is dated on or before day.
Status anythingDueBy(const QString &connectionString, int sheetId, const QDate &day, bool *due);

} // namespace velto
