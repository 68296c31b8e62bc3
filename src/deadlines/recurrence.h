#pragma once
// The rule a series' dates follow beyond the five plain cadences: every N
// days, weeks, months or years, the n-th or last weekday of the month, the
// last working day of the month; an end after a count or on a date; and
// dates that fall on a weekend or public holiday moved to a working day.

#include "deadlines/holidays.h"

#include <QDate>
#include <QList>
#include <QString>

namespace velto {

// Stored in the series' rule text by name: the numbers may change.
enum class Frequency { Days, Weeks, Months, Years, NthWeekday, LastWorkingDay };

struct Recurrence {
    Frequency frequency = Frequency::Months;
    int interval = 1;                              // every N units (months for the weekday kinds)
    int ordinal = 1;                               // NthWeekday: 1 to 4, or -1 for the last
    int weekday = Qt::Monday;                      // NthWeekday: 1 Monday to 7 Sunday
    DateShift shift = DateShift::None;             // for a date that is not a working day
    HolidayCountry country = HolidayCountry::None; // whose holidays are days off
    QDate until{};                                 // valid: the series ends on this date, not after a count

    // The stored form, e.g. "freq=months;interval=2;shift=previous;holidays=IT;until=2028-12-31".
    [[nodiscard]] QString toText() const;
    // False for a text that is not a whole, valid rule.
    [[nodiscard]] static bool fromText(QStringView text, Recurrence *rule);
    [[nodiscard]] bool isValid() const;
    bool operator==(const Recurrence &) const = default;
};

// The largest interval a rule accepts.
inline constexpr int kMaxRecurrenceInterval = 999;

// The dates of a series starting on first, in order and never twice the same:
// at most count dates, or with rule.until the dates up to it, and never more
// than limit (so a caller learns that a series is too long from limit dates).
// A series on the last day of a month stays on month ends, one on the 29th to
// 31st comes back to that day after a shorter month; a yearly one from 29
// February falls on 28 February in common years. Scheduled dates are computed
// from the first one, then shifted; rule.until limits the scheduled dates.
// For the weekday kinds the first date is the earliest the series may start.
[[nodiscard]] QList<QDate> expandRecurrence(const Recurrence &rule, const QDate &first, int count, int limit);

} // namespace velto
