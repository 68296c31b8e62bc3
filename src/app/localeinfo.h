#pragma once
// Locale items for a given locale; GetLocaleString asks them of the system's.

#include <QLocale>
#include <QString>

namespace velto {

// The four-digit lower-case hexadecimal language id of a locale ("0410").
QString languageIdOf(const QLocale &locale);
QString localeItem(const QLocale &locale, int item);

} // namespace velto
