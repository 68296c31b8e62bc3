#pragma once
// Lists of names in the order the user's language sorts them: case and
// accents count the way a reader expects ("alpha, Alpha2, beta, Émile,
// Zeta"), not the order of their character codes.

#include <QCollator>
#include <QList>
#include <QLocale>

#include <algorithm>

namespace velto {

// The collator of the default locale. The C locale has no collation of its
// own and would put every capital before every small letter and accented
// letters after Z, so it sorts as English does.
[[nodiscard]] inline QCollator nameCollator()
{
    const QLocale locale;
    return QCollator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
}

// Sorts by name; equal names keep the order of their ids, so a list never
// shuffles between two loads.
template<typename T>
void sortByName(QList<T> &items)
{
    const QCollator collator = nameCollator();
    std::stable_sort(items.begin(), items.end(), [&collator](const T &a, const T &b) {
        const int c = collator.compare(a.name, b.name);
        return c != 0 ? c < 0 : a.id < b.id;
    });
}

} // namespace velto
