#pragma once
// Which language a run speaks, and the Languages menu that picks it.

#include <QList>
#include <QString>

#include <optional>

namespace velto {

// What the start-up sequence derives from the language choice: the offset of
// the string block and the help file name, to be appended to the program
// folder ("/eng_help.html").
struct LanguageSelection {
    int offset = 3000;
    QString helpFileName;
};

// choice is the stored "appset_intlang"; a non-zero choice decides alone.
// Choice 0 (automatic) follows the user's language id, a four-digit
// lower-case hexadecimal text ("0410"), compared exactly.
[[nodiscard]] LanguageSelection selectLanguage(int languageChoice, const QString &localeLanguageId);

// The language code Qt's translation files use for a string block ("de" for
// the German block); empty for English, which needs no translation.
[[nodiscard]] QString qtLanguageCode(int languageOffset);

// Loads Qt's own texts (standard buttons, input and file dialogs, key names
// such as "Strg" in menus) for the language of a string block, replacing the
// ones loaded before. They follow the language the program speaks, not the
// system's, so a box never mixes two languages. False when the language has
// texts but Qt's file for it is not installed; English always succeeds.
bool installQtTranslations(int languageOffset);

// The items of the Languages menu by index. The index is the value stored as
// the language choice.
enum LanguageMenuIndex {
    LanguageAutomatic = 0,
    LanguageSeparator = 1,
    LanguageGerman = 2,
    LanguageEnglish = 3,
    LanguageSpanish = 4,
    LanguageFrench = 5,
    LanguageItalian = 6,
    LanguageMenuItemCount
};

struct LanguageMenuItem {
    int index = 0;
    bool separator = false;
    int captionId = 0;    // message id of a translated caption, else 0
    QString fixedCaption; // a language's own name, shown untranslated
};

// Item 0 "Automatico" (message 505, translated), item 1 a separator, items 2
// to 6 the language names in their own language.
[[nodiscard]] QList<LanguageMenuItem> languageMenuItems();

// The caption shown for item index in this run's language: "-" for the
// separator, empty for an index outside the menu.
[[nodiscard]] QString languageMenuCaption(int index);

// The item to check for a stored choice; none when the choice names no item
// (the separator, 7 and up, negative values: those runs speak English).
[[nodiscard]] std::optional<int> checkedLanguageItem(int languageChoice);

// The choice to store when the user picks item pickedIndex; the caller then
// writes it and shows message 1362. Nothing (no write, no message) when the
// item is the current choice, or is not a language item at all.
[[nodiscard]] std::optional<int> languageToStore(int currentChoice, int pickedIndex);

} // namespace velto
