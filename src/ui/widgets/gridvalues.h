#pragma once
// How the grid compares and shows the typed values of its sources.

#include <QLocale>
#include <QString>
#include <QVariant>

namespace velto {

// A total order over grid values: null first, then numbers (bool, integers,
// doubles, Currency compared by value), dates, then text (case-insensitive,
// ties broken case-sensitively so equal keys are equal texts).
[[nodiscard]] int compareGridValues(const QVariant &a, const QVariant &b);
[[nodiscard]] bool isEmptyGridValue(const QVariant &v);
// The value as a cell shows it under a column format (see GridColumn::format).
[[nodiscard]] QString formatGridValue(const QVariant &v, const QString &format, const QLocale &locale = QLocale());

} // namespace velto
