#include "app/languages.h"

#include "app/strings.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

#include <iterator>
#include <memory>

namespace velto {

namespace {

struct LocaleRow {
    int offset;
    const char *helpFileName;
    QStringList languageIds;
};

// Searched in this order; a language id not listed runs in English.
const QList<LocaleRow> &localeRows()
{
    static const QList<LocaleRow> rows = {
        {kOffsetItalian, "/ita_help.html", {"0410", "0810"}},
        {kOffsetFrench,
         "/fra_help.html",
         {"040c", "080c", "2c0c", "0c0c", "240c", "300c", "3c0c", "140c", "340c", "180c", "380c", "e40c", "200c",
          "280c", "100c", "1c0c"}},
        {kOffsetSpanish, "/esp_help.html", {"0c0a", "040a", "2c0a", "400a", "340a", "240a", "140a", "1c0a",
                                            "300a", "440a", "100a", "480a", "e40a", "080a", "4c0a", "180a",
                                            "3c0a", "280a", "500a", "540a", "380a", "200a"}},
        {kOffsetGerman, "/deu_help.html", {"0407", "0c07", "1407", "1007", "0807"}},
    };
    return rows;
}

const char *const kEnglishHelp = "/eng_help.html";

// The names stand in their own language in every run, so that a user who
// cannot read the current language still finds their own.
const char *const kLanguageNames[] = {"Deutch", "English", "Español", "Français", "Italiano"};

constexpr int kAutomaticCaptionId = 505;

bool isLanguageItem(int index)
{
    return index >= 0 && index < LanguageMenuItemCount && index != LanguageSeparator;
}

} // namespace

LanguageSelection selectLanguage(int languageChoice, const QString &localeLanguageId)
{
    switch (languageChoice) {
    case LanguageAutomatic: break;
    case LanguageGerman: return {kOffsetGerman, QStringLiteral("/deu_help.html")};
    case LanguageSpanish: return {kOffsetSpanish, QStringLiteral("/esp_help.html")};
    case LanguageFrench: return {kOffsetFrench, QStringLiteral("/fra_help.html")};
    case LanguageItalian: return {kOffsetItalian, QStringLiteral("/ita_help.html")};
    default:
        // 1 (the separator's index), values from newer versions and damaged
        // settings all fall back to English.
        return {kOffsetEnglish, QString::fromLatin1(kEnglishHelp)};
    }

    for (const LocaleRow &row : localeRows()) {
        if (row.languageIds.contains(localeLanguageId, Qt::CaseSensitive))
            return {row.offset, QString::fromLatin1(row.helpFileName)};
    }
    return {kOffsetEnglish, QString::fromLatin1(kEnglishHelp)};
}

QString qtLanguageCode(int languageOffset)
{
    switch (languageOffset) {
    case kOffsetItalian: return QStringLiteral("it");
    case kOffsetFrench: return QStringLiteral("fr");
    case kOffsetSpanish: return QStringLiteral("es");
    case kOffsetGerman: return QStringLiteral("de");
    default: return QString();
    }
}

bool installQtTranslations(int languageOffset)
{
    // One translator for the whole run; a second call (tests start several
    // runs in one process) swaps its file instead of stacking translators.
    static std::unique_ptr<QTranslator> translator;
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
    const QString code = qtLanguageCode(languageOffset);
    if (code.isEmpty())
        return true;
    auto loaded = std::make_unique<QTranslator>();
    if (!loaded->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(loaded.get());
    translator = std::move(loaded);
    return true;
}

QList<LanguageMenuItem> languageMenuItems()
{
    QList<LanguageMenuItem> items;
    items.append({LanguageAutomatic, false, kAutomaticCaptionId, QString()});
    items.append({LanguageSeparator, true, 0, QString()});
    for (int i = 0; i < int(std::size(kLanguageNames)); ++i)
        items.append({LanguageGerman + i, false, 0, QString::fromUtf8(kLanguageNames[i])});
    return items;
}

QString languageMenuCaption(int index)
{
    if (index == LanguageAutomatic)
        return LoadResString(kAutomaticCaptionId);
    if (index == LanguageSeparator)
        return QStringLiteral("-");
    if (index > LanguageSeparator && index < LanguageMenuItemCount)
        return QString::fromUtf8(kLanguageNames[index - LanguageGerman]);
    return QString();
}

std::optional<int> checkedLanguageItem(int languageChoice)
{
    if (!isLanguageItem(languageChoice))
        return std::nullopt;
    return languageChoice;
}

std::optional<int> languageToStore(int currentChoice, int pickedIndex)
{
    if (!isLanguageItem(pickedIndex) || pickedIndex == currentChoice)
        return std::nullopt;
    return pickedIndex;
}

} // namespace velto
