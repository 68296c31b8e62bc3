#pragma once
// Locale items for a given locale; GetLocaleString asks them of the system's.

#include <QLocale>
#include <QString>

namespace velto {

// The four-digit lower-case hexadecimal language id of a locale ("0410").
QString languageIdOf(const QLocale &locale);
QString localeItem(const QLocale &locale, int item);

// The locale's short date format, in its own order and with its own
// separators, but with the year in four digits ("dd.MM.yyyy" for German):
// two digits lose the century in a file and make years before 2000
// impossible to type.
[[nodiscard]] QString fourDigitYearFormat(const QLocale &locale);

} // namespace velto
