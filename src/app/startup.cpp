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
#include "data/connection.h"
#include "data/copydatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velto {

namespace {

// A server database's address, asked with the form it takes; empty when
// cancelled or when what was typed is no such address (the user is told).
QString askServerLocation(UserPrompts &prompts)
{
    const QString current =
        isServerLocation(app().DatabaseFolder) ? app().DatabaseFolder : QStringLiteral("postgresql://");
    const QString typed = prompts.askText(LoadResString(1923), current, 0).value_or(QString()).trimmed();
    if (typed.isEmpty() || typed == QLatin1String("postgresql://"))
        return QString();
    if (!isServerLocation(typed)) {
        prompts.message(LoadResString(1924), MessageIcon::Warning);
        return QString();
    }
    return typed;
}

// A book on a server: an empty database is given the schema and the
// template's rows (the template file is not copied anywhere), and a server
// that asks for a password is asked it once.
Status openOnServer(UserPrompts &prompts)
{
    const QString &location = app().DatabaseFolder;
    const QString templatePath = programFolder() + QLatin1Char('/') + QLatin1String(kTemplateFileName);
    const auto attempt = [&] {
        if (!QFile::exists(templatePath))
            return Status::failure(kErrorMissing, LoadResString(1359) + QStringLiteral(": ") + templatePath);
        Status st = setUpServerDatabase(location, templatePath);
        Connection c;
        if (st)
            st = c.open(location);
        return st ? c.checkStructure() : st;
    };
    Status st = attempt();
    if (!needsPassword(st))
        return st;
    const std::optional<QString> password = prompts.askPassword(LoadResString(1925).arg(location));
    if (!password)
        return st;
    setServerPassword(location, *password);
    return attempt();
}

// The book in a folder: a missing file is made from the template, one in
// use or damaged ends the start. False when the program must end.
bool openFolder(UserPrompts &prompts)
{
    AppState &s = app();
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
    return true;
}

} // namespace

void chooseDatabase(UserPrompts &prompts, int kindPromptId, int folderPromptId, int doneMessageId)
{
    QString location;
    switch (prompts.askDatabaseKind(LoadResString(kindPromptId))) {
    case DatabaseKind::Cancelled: return;
    case DatabaseKind::Folder: location = prompts.browseForFolder(LoadResString(folderPromptId)); break;
    case DatabaseKind::Server: location = askServerLocation(prompts); break;
    }
    if (location.isEmpty())
        return;
    // A password typed into the address is never written down.
    location = keepPasswordForRun(location);
    try {
        WriteSetting(HKEY_LOCAL_MACHINE, app().SettingsKey, REG_SZ, QLatin1String(kCurDb), location);
    } catch (const RegistryError &e) {
        // Nothing was stored, so the next start would fail the same way: say so.
        prompts.message(e.description, MessageIcon::Critical);
        return;
    }
    prompts.message(LoadResString(doneMessageId), MessageIcon::Information);
    if (!isServerLocation(location))
        noticeNetworkFolder(prompts, location);
}

void frmForFolders::Apri(UserPrompts &prompts)
{
    chooseDatabase(prompts, 1927, 1401, 1402);
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

    s.DatabaseFolder = databaseLocation();
    s.ConnectionString = connectionStringFor(s.DatabaseFolder);
    if (isServerLocation(s.DatabaseFolder)) {
        // Backups and the safety of the data are the server's; no file is
        // looked at.
        if (const Status st = openOnServer(prompts); !st) {
            prompts.message(userMessage(st) + QStringLiteral("\r\n") + LoadResString(1358), MessageIcon::Critical);
            frmForFolders::Apri(prompts);
            return false;
        }
    } else if (!openFolder(prompts)) {
        return false;
    }
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
