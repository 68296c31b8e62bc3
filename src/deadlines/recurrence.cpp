#include "deadlines/recurrence.h"

#include <QStringList>

namespace velto {

namespace {

constexpr const char *kFrequencyNames[] = {"days", "weeks", "months", "years", "weekday", "lastworkingday"};
constexpr const char *kShiftNames[] = {"none", "previous", "next"};

template<size_t N>
int indexOf(const char *const (&names)[N], QStringView name)
{
    for (size_t i = 0; i < N; ++i)
        if (name == QLatin1String(names[i]))
            return int(i);
    return -1;
}

bool isMonthEnd(const QDate &d)
{
    return d.day() == d.daysInMonth();
}

QDate monthEnd(const QDate &d)
{
    return QDate(d.year(), d.month(), d.daysInMonth());
}

// The k-th scheduled date before any shift, or an invalid date for a month
// without one (never, for the kinds we have).
QDate scheduled(const Recurrence &r, const QDate &first, qint64 k, const WorkingDays &days)
{
    const qint64 step = k * r.interval;
    switch (r.frequency) {
    case Frequency::Days: return first.addDays(step);
    case Frequency::Weeks: return first.addDays(7 * step);
    case Frequency::Months: {
        const QDate d = first.addMonths(int(step));
        return isMonthEnd(first) ? monthEnd(d) : d;
    }
    case Frequency::Years: return first.addYears(int(step));
    case Frequency::NthWeekday: {
        const QDate m = QDate(first.year(), first.month(), 1).addMonths(int(step));
        if (r.ordinal < 0) {
            const QDate last = monthEnd(m);
            return last.addDays(-((last.dayOfWeek() - r.weekday + 7) % 7));
        }
        return m.addDays((r.weekday - m.dayOfWeek() + 7) % 7 + 7 * (r.ordinal - 1));
    }
    case Frequency::LastWorkingDay:
        return days.shifted(monthEnd(QDate(first.year(), first.month(), 1).addMonths(int(step))), DateShift::Previous);
    }
    return QDate();
}

} // namespace

QString Recurrence::toText() const
{
    QStringList parts{QStringLiteral("freq=") + QLatin1String(kFrequencyNames[int(frequency)]),
                      QStringLiteral("interval=%1").arg(interval)};
    if (frequency == Frequency::NthWeekday)
        parts << QStringLiteral("ordinal=%1").arg(ordinal) << QStringLiteral("weekday=%1").arg(weekday);
    parts << QStringLiteral("shift=") + QLatin1String(kShiftNames[int(shift)]);
    if (country != HolidayCountry::None)
        parts << QStringLiteral("holidays=") + holidayCountryCode(country);
    if (until.isValid())
        parts << QStringLiteral("until=") + until.toString(Qt::ISODate);
    return parts.join(u';');
}

bool Recurrence::fromText(QStringView text, Recurrence *rule)
{
    Recurrence r;
    bool hasFrequency = false;
    for (QStringView part : text.split(u';')) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            return false;
        const QStringView key = part.left(eq), value = part.mid(eq + 1);
        bool ok = true;
        if (key == u"freq") {
            const int i = indexOf(kFrequencyNames, value);
            ok = hasFrequency = i >= 0;
            r.frequency = Frequency(i);
        } else if (key == u"interval") {
            r.interval = value.toInt(&ok);
        } else if (key == u"ordinal") {
            r.ordinal = value.toInt(&ok);
        } else if (key == u"weekday") {
            r.weekday = value.toInt(&ok);
        } else if (key == u"shift") {
            const int i = indexOf(kShiftNames, value);
            ok = i >= 0;
            r.shift = DateShift(i);
        } else if (key == u"holidays") {
            r.country = holidayCountryFromCode(value);
            ok = r.country != HolidayCountry::None;
        } else if (key == u"until") {
            r.until = QDate::fromString(value.toString(), Qt::ISODate);
            ok = r.until.isValid();
        } else {
            ok = false;
        }
        if (!ok)
            return false;
    }
    if (!hasFrequency || !r.isValid())
        return false;
    *rule = r;
    return true;
}

bool Recurrence::isValid() const
{
    const bool weekdayOk = frequency != Frequency::NthWeekday
        || ((ordinal == -1 || (ordinal >= 1 && ordinal <= 4)) && weekday >= 1 && weekday <= 7);
    return interval >= 1 && interval <= kMaxRecurrenceInterval && weekdayOk && int(shift) >= 0
        && int(shift) < kDateShiftCount;
}

QList<QDate> expandRecurrence(const Recurrence &rule, const QDate &first, int count, int limit)
{
    QList<QDate> dates;
    if (!rule.isValid() || !first.isValid())
        return dates;
    const WorkingDays days(rule.country);
    const int wanted = rule.until.isValid() ? limit : std::min(count, limit);
    // Scheduled dates only grow; a shift may put two on one day, which is
    // kept once. Past the year 9999 no date can be stored.
    for (qint64 k = 0; dates.size() < wanted; ++k) {
        const QDate s = scheduled(rule, first, k, days);
        if (!s.isValid() || s.year() > 9999 || (rule.until.isValid() && s > rule.until))
            break;
        if (s < first)
            continue; // the weekday kinds: the first month's date lies before the start
        const QDate d = rule.frequency == Frequency::LastWorkingDay ? s : days.shifted(s, rule.shift);
        if (dates.isEmpty() || dates.constLast() != d)
            dates << d;
    }
    return dates;
}

} // namespace velto
