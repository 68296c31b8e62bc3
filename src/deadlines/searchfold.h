#pragma once
// How the quick search compares texts: a text and what the user typed are
// both folded, then one must contain the other as it stands. Folding drops
// case and accents the way a reader of the language does, so "citta"
// finds "Città" and "strasse" finds "Straße".

#include <QLocale>
#include <QString>
#include <QStringView>

namespace velto {

[[nodiscard]] QString searchFold(QStringView text, const QLocale &locale);

// Whether folded text holds folded needle; an empty needle is in every text.
[[nodiscard]] inline bool searchMatches(const QString &foldedText, const QString &foldedNeedle)
{
    return foldedText.contains(foldedNeedle, Qt::CaseSensitive);
}

} // namespace velto
