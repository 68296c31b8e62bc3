#pragma once
// The string table: every text the user sees, in five languages.

#include <QList>
#include <QString>

namespace velto {

// The blocks of the table. A message is known by its Italian id; its text in
// another language lies at that id plus the language's offset.
inline constexpr int kLanguageOffsets[] = {0, 3000, 6000, 9000, 12000};
inline constexpr int kOffsetItalian = 0;
inline constexpr int kOffsetEnglish = 3000;
inline constexpr int kOffsetFrench = 6000;
inline constexpr int kOffsetSpanish = 9000;
inline constexpr int kOffsetGerman = 12000;

// The text of message id (Italian id) in the language of this run, that is
// the entry id + app().LanguageOffset. Empty when the table has no such entry.
[[nodiscard]] QString LoadResString(int id);

// The entry with this id in any block (201 to 13414); empty when there is none.
[[nodiscard]] QString stringForId(int fullId);
[[nodiscard]] bool hasString(int fullId);

// The Italian ids of all messages, ascending.
[[nodiscard]] QList<int> messageIds();

// The text for a caption designed as a message id ("1108"). A separator "-",
// an empty caption and anything that is not a known id stay as they are, so
// a window can pass every caption through this.
[[nodiscard]] QString translateCaption(const QString &designed);

} // namespace velto
