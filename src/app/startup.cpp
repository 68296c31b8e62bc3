#include "app/startup.h"

#include "app/backups.h"
#include "app/languages.h"
#include "app/mainmod.h"
#include "app/networkfolder.h"
#include "app/preferences.h"
#include "app/settings.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velto {

void chooseDatabaseFolder(UserPrompts &prompts, int promptId, int doneMessageId)
{
    const QString folder = prompts.browseForFolder(LoadResString(promptId));
    if (folder.isEmpty())
        return;
    try {
        WriteSetting(HKEY_LOCAL_MACHINE, app().SettingsKey, REG_SZ, QLatin1String(kCurDb), folder);
    } catch (const RegistryError &e) {
        // Nothing was stored, so the next start would fail the same way: say so.
        prompts.message(e.description, MessageIcon::Critical);
        return;
    }
    prompts.message(LoadResString(doneMessageId), MessageIcon::Information);
    noticeNetworkFolder(prompts, folder);
}

void frmForFolders::Apri(UserPrompts &prompts)
{
    chooseDatabaseFolder(prompts, 1401, 1402);
}

bool runStartup(UserPrompts &prompts, float scrollBarTwips)
{
    AppState &s = app();
    s.SettingsKey = settingsKeyFor(QLatin1String(kAppTitle));
    s.ScrollBarWidth = scrollBarTwips;

    const int language = preferences().languageChoice = Preferences::loadLanguageChoice();
    const LanguageSelection lang =
        selectLanguage(language, language == 0 ? GetLocaleString(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE) : QString());
    s.LanguageOffset = lang.offset;
    s.HelpFile = programFolder() + lang.helpFileName;
    // Before the first message box, so that even a failed start answers
    // with buttons in the user's language. A missing file leaves Qt's
    // English texts, which is all that can be done.
    installQtTranslations(s.LanguageOffset);

    s.DatabaseFolder = NzStr(ReadSetting(HKEY_LOCAL_MACHINE, s.SettingsKey, REG_SZ, QLatin1String(kCurDb), curDbDefault()),
                             curDbDefault());
    s.ConnectionString = connectionStringFor(s.DatabaseFolder);
    // The user's data folder is ours to create; a stored folder is the
    // user's choice and is never made up.
    if (s.DatabaseFolder == userDatabaseFolder() && !QFileInfo::exists(s.DatabaseFolder))
        QDir().mkpath(s.DatabaseFolder);

    const DatabaseCheck check = CheckDatabase(s.ConnectionString);
    if (check == DatabaseCheck::InUse) {
        // The file is there and sound as far as anyone knows: no template is
        // copied, nothing is replaced and no other folder is asked for.
        prompts.message(LoadResString(1540) + QStringLiteral("\r\n") + LoadResString(1358), MessageIcon::Critical);
        return false;
    }
    if (check == DatabaseCheck::Fails) {
        const QString dbFile = s.DatabaseFolder + QLatin1Char('/') + QLatin1String(kDatabaseFileName);
        bool templateCopied = true;
        bool recovered = false;
        if (!QFile::exists(dbFile)) {
            templateCopied = CopyDatabaseTemplate();
            recovered = templateCopied && !ConnectionFails(s.ConnectionString);
        }
        if (!recovered) {
            const int first = templateCopied ? 1357 : 1359;
            prompts.message(LoadResString(first) + QStringLiteral("\r\n") + LoadResString(1358), MessageIcon::Critical);
            frmForFolders::Apri(prompts);
            return false;
        }
    }

    noticeNetworkFolder(prompts, s.DatabaseFolder);
    s.AppTitle = QLatin1String(kAppTitle);
    // Before the schema upgrade, the first write of the day. A failed
    // backup is told, but the data is all there: the program goes on.
    if (const Status st = dailyBackup(s.ConnectionString); !st)
        prompts.message(userMessage(st), MessageIcon::Warning);
    if (const Status st = UpgradeSchema(); !st)
        prompts.message(userMessage(st), MessageIcon::Warning);
    LoadCurrentDb();
    LoadCurrentDbName();
    return true;
}

} // namespace velto
