#pragma once
// What the main window reads: the deadline grid's record source for a
// filter or a calendar period, the start list of the selected days, the
// days that hold open deadlines and whether anything is due. The grid reads
// its record source through its own loader; the rest is read here.

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

// The deadline grid's record source: the data sheet's deadlines with their
// client/supplier, by filter, or (CalendarPeriod) dated first to last.
[[nodiscard]] QString mainQuerySource(int sheetId, MainFilter filter, const QDate &first = QDate(),
                                      const QDate &last = QDate());
// The same columns and no row, to set the grid's columns up.
[[nodiscard]] QString mainQueryColumns();
// The start list: open deadlines dated first to last, newest first.
[[nodiscard]] QString startListSource(int sheetId, const QDate &first, const QDate &last);

// The days from first to last that hold an open deadline of the sheet.
Status openDeadlineDays(const QString &connectionString, int sheetId, const QDate &first, const QDate &last,
                        QList<QDate> *days);
// Whether an open deadline of the sheet is dated on or before day.
Status anythingDueBy(const QString &connectionString, int sheetId, const QDate &day, bool *due);

} // namespace velto
