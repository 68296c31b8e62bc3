#pragma once
// The nationwide public holidays of the countries a series can follow, by
// their own rules (fixed dates, Easter-based, nth weekday, substitute days),
// and the working days they leave.

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

#include <unordered_map>
#include <vector>

namespace velto {

// Stored as numbers in the preferences: keep the order.
enum class HolidayCountry { None = 0, Italy, Germany, France, Spain, UnitedKingdom, UnitedStates };
inline constexpr int kHolidayCountryCount = 7;

// "IT", "DE", "FR", "ES", "GB", "US"; empty for None.
[[nodiscard]] QString holidayCountryCode(HolidayCountry country);
// None for an empty or unknown code.
[[nodiscard]] HolidayCountry holidayCountryFromCode(QStringView code);
// The country of the regional settings, None where we know no holidays.
[[nodiscard]] HolidayCountry holidayCountryOf(const QLocale &locale);

// The country of the preferences' number (-1: of the regional settings).
[[nodiscard]] HolidayCountry holidayCountryChosen(int stored, const QLocale &regional = QLocale::system());

[[nodiscard]] QDate easterSunday(int year);

// The days off falling in the year, sorted: the holidays and the days that
// stand in for them (a substitute day may belong to a holiday of the next
// year, as the United States observe a Saturday New Year on 31 December).
// Italy, Germany (nationwide only), France, Spain (nationwide only), the
// United Kingdom as England and Wales, the United States (federal).
[[nodiscard]] QList<QDate> publicHolidays(HolidayCountry country, int year);

// Where a date that is not a working day goes.
enum class DateShift { None = 0, Previous = 1, Next = 2 };
inline constexpr int kDateShiftCount = 3;

// Monday to Friday, less the public holidays of one country. Holidays are
// computed once per year and kept.
class WorkingDays
{
public:
    explicit WorkingDays(HolidayCountry country) : m_country(country) { }
    [[nodiscard]] bool isWorkingDay(const QDate &d) const;
    // The date itself when it is a working day, else the nearest working day
    // before or after it (or the date unchanged with DateShift::None).
    [[nodiscard]] QDate shifted(const QDate &d, DateShift shift) const;
    [[nodiscard]] HolidayCountry country() const { return m_country; }

private:
    HolidayCountry m_country;
    mutable std::unordered_map<int, std::vector<qint64>> m_years; // sorted day numbers
};

} // namespace velto
