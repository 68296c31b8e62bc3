#include "deadlines/holidays.h"

#include "app/preferences.h"

#include <algorithm>

namespace velto {

namespace {

struct CountryInfo {
    HolidayCountry country;
    const char *code;
    QLocale::Territory territory;
};

constexpr CountryInfo kCountries[] = {
    {HolidayCountry::Italy, "IT", QLocale::Italy},
    {HolidayCountry::Germany, "DE", QLocale::Germany},
    {HolidayCountry::France, "FR", QLocale::France},
    {HolidayCountry::Spain, "ES", QLocale::Spain},
    {HolidayCountry::UnitedKingdom, "GB", QLocale::UnitedKingdom},
    {HolidayCountry::UnitedStates, "US", QLocale::UnitedStates},
};

bool isWeekend(const QDate &d)
{
    return d.dayOfWeek() >= Qt::Saturday;
}

// The n-th (1-based) weekday of a month, or the last one for n = -1.
QDate nthWeekday(int year, int month, int weekday, int n)
{
    if (n < 0) {
        const QDate last(year, month, QDate(year, month, 1).daysInMonth());
        return last.addDays(-((last.dayOfWeek() - weekday + 7) % 7));
    }
    const QDate first(year, month, 1);
    return first.addDays((weekday - first.dayOfWeek() + 7) % 7 + 7 * (n - 1));
}

// How a country gives a day off for a holiday that falls on a weekend.
enum class Substitute { None, NextFreeWeekday, NearestWeekday };

Substitute substituteRule(HolidayCountry c)
{
    switch (c) {
    case HolidayCountry::UnitedKingdom: return Substitute::NextFreeWeekday;
    case HolidayCountry::UnitedStates: return Substitute::NearestWeekday;
    default: return Substitute::None;
    }
}

// The holidays themselves, before any substitute day.
QList<QDate> ownHolidays(HolidayCountry c, int y)
{
    const QDate easter = easterSunday(y);
    auto fixed = [y](int m, int d) { return QDate(y, m, d); };
    switch (c) {
    case HolidayCountry::None: return {};
    case HolidayCountry::Italy: {
        QList<QDate> days{fixed(1, 1), fixed(1, 6),  easter,       easter.addDays(1), fixed(4, 25),  fixed(5, 1),
                          fixed(6, 2), fixed(8, 15), fixed(11, 1), fixed(12, 8),      fixed(12, 25), fixed(12, 26)};
        // Saint Francis of Assisi is a national holiday again from 2026.
        if (y >= 2026)
            days << fixed(10, 4);
        return days;
    }
    case HolidayCountry::Germany:
        return {fixed(1, 1),        easter.addDays(-2), easter.addDays(1), fixed(5, 1),  easter.addDays(39),
                easter.addDays(50), fixed(10, 3),       fixed(12, 25),     fixed(12, 26)};
    case HolidayCountry::France:
        return {fixed(1, 1),  easter.addDays(1), fixed(5, 1),  fixed(5, 8),   easter.addDays(39), easter.addDays(50),
                fixed(7, 14), fixed(8, 15),      fixed(11, 1), fixed(11, 11), fixed(12, 25)};
    case HolidayCountry::Spain:
        return {fixed(1, 1),   fixed(1, 6),  easter.addDays(-2), fixed(5, 1),  fixed(8, 15),
                fixed(10, 12), fixed(11, 1), fixed(12, 6),       fixed(12, 8), fixed(12, 25)};
    case HolidayCountry::UnitedKingdom:
        return {fixed(1, 1),
                easter.addDays(-2),
                easter.addDays(1),
                nthWeekday(y, 5, Qt::Monday, 1),
                nthWeekday(y, 5, Qt::Monday, -1),
                nthWeekday(y, 8, Qt::Monday, -1),
                fixed(12, 25),
                fixed(12, 26)};
    case HolidayCountry::UnitedStates: {
        QList<QDate> days{fixed(1, 1),
                          nthWeekday(y, 1, Qt::Monday, 3),
                          nthWeekday(y, 2, Qt::Monday, 3),
                          nthWeekday(y, 5, Qt::Monday, -1),
                          fixed(7, 4),
                          nthWeekday(y, 9, Qt::Monday, 1),
                          nthWeekday(y, 10, Qt::Monday, 2),
                          fixed(11, 11),
                          nthWeekday(y, 11, Qt::Thursday, 4),
                          fixed(12, 25)};
        if (y >= 2021)
            days << fixed(6, 19); // Juneteenth
        return days;
    }
    }
    return {};
}

} // namespace

QString holidayCountryCode(HolidayCountry country)
{
    for (const CountryInfo &c : kCountries)
        if (c.country == country)
            return QLatin1String(c.code);
    return QString();
}

HolidayCountry holidayCountryFromCode(QStringView code)
{
    for (const CountryInfo &c : kCountries)
        if (code.compare(QLatin1String(c.code), Qt::CaseInsensitive) == 0)
            return c.country;
    return HolidayCountry::None;
}

HolidayCountry holidayCountryOf(const QLocale &locale)
{
    for (const CountryInfo &c : kCountries)
        if (c.territory == locale.territory())
            return c.country;
    return HolidayCountry::None;
}

static_assert(kHolidayCountryCount == kHolidayChoices, "the preferences store every country by its number");

HolidayCountry holidayCountryChosen(int stored, const QLocale &regional)
{
    return stored >= 0 && stored < kHolidayCountryCount ? HolidayCountry(stored) : holidayCountryOf(regional);
}

QDate easterSunday(int year)
{
    // The Gregorian computus (Meeus/Jones/Butcher).
    const int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7, m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31, day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

QList<QDate> publicHolidays(HolidayCountry country, int year)
{
    // Substitutes can cross the turn of the year both ways.
    QList<QDate> own;
    for (int y = year - 1; y <= year + 1; ++y)
        own << ownHolidays(country, y);
    std::sort(own.begin(), own.end());
    QList<QDate> all = own;
    const Substitute rule = substituteRule(country);
    for (const QDate &d : std::as_const(own)) {
        if (!isWeekend(d) || rule == Substitute::None)
            continue;
        if (rule == Substitute::NearestWeekday) {
            all << d.addDays(d.dayOfWeek() == Qt::Saturday ? -1 : 1);
            continue;
        }
        // The first weekday after it that is not already a day off.
        QDate s = d.addDays(1);
        while (isWeekend(s) || all.contains(s))
            s = s.addDays(1);
        all << s;
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    all.removeIf([year](const QDate &d) { return d.year() != year; });
    return all;
}

bool WorkingDays::isWorkingDay(const QDate &d) const
{
    if (isWeekend(d))
        return false;
    if (m_country == HolidayCountry::None)
        return true;
    auto it = m_years.find(d.year());
    if (it == m_years.end()) {
        std::vector<qint64> days;
        for (const QDate &h : publicHolidays(m_country, d.year()))
            days.push_back(h.toJulianDay());
        it = m_years.emplace(d.year(), std::move(days)).first;
    }
    return !std::binary_search(it->second.begin(), it->second.end(), d.toJulianDay());
}

QDate WorkingDays::shifted(const QDate &d, DateShift shift) const
{
    if (shift == DateShift::None)
        return d;
    const int step = shift == DateShift::Previous ? -1 : 1;
    QDate s = d;
    while (!isWorkingDay(s))
        s = s.addDays(step);
    return s;
}

} // namespace velto
