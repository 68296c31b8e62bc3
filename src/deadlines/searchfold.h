#pragma once
// How the quick search compares texts: a text and what the user typed are
// both folded, then one must contain the other as it stands. Folding drops
// case and accents the way a reader of the language does, so "citta"
// finds "Città" and "strasse" finds "Straße".

#include <QLocale>
#include <QString>
#include <QStringView>

namespace velto {

// The folded text, searched with the needle's folding; a text with German
// umlauts holds a second folding with them transcribed.
[[nodiscard]] QString searchFold(QStringView text, const QLocale &locale);
// What the user typed, folded.
[[nodiscard]] QString searchNeedle(QStringView text, const QLocale &locale);
// Stands between the two foldings of a text; never part of a needle.
inline constexpr QChar kFoldAlternative{0xFFFF};

// Whether folded text holds folded needle; an empty needle is in every text.
[[nodiscard]] inline bool searchMatches(const QString &foldedText, const QString &foldedNeedle)
{
    return foldedText.contains(foldedNeedle, Qt::CaseSensitive);
}

} // namespace velto
