#pragma once
// Program-wide state and the small routines every window shares.

#include "data/status.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace velto {

// The run's state, one instance for the whole process: what the start
// settled (settings key, language, database, active data sheet). Filled by
// the start-up sequence; see StartUp for who sets what. The user's choices
// (options, grouping, sort key, language choice) are preferences().
struct AppState {
    QString SettingsKey;
    float ScrollBarWidth = 0;  // twips
    int LanguageOffset = 3000; // 0, 3000, 6000, 9000, 12000
    QString HelpFile;          // full path of the language's help file
    QString DatabaseFolder;    // the location: a folder (no trailing separator) or a server URI
    QString ConnectionString;
    QString AppTitle = QStringLiteral("Velto");
    int CurrentDbId = 1;
    QString CurrentDbName;
};

AppState &app();
// The database the windows work on: the connection string of the chosen
// location, passed to every workflow of the core.
inline const QString &currentDatabase()
{
    return app().ConnectionString;
}

// The application title and the settings key path built from it.
inline constexpr const char *kAppTitle = "Velto";
QString settingsKeyFor(const QString &appTitle);

// The folder of the program (template, help files): the executable's own
// folder when the template lies beside it (the build tree), otherwise the
// installed share/velto found relative to it. Tests set it here.
QString programFolder();
void setProgramFolder(const QString &folder);
// The program folder for an executable in exeDir, as programFolder() finds it.
[[nodiscard]] QString programFolderFor(const QString &exeDir);

// The one answer to "what day is it". VELTO_TODAY=YYYY-MM-DD overrides it.
QDate today();

// "#mm/dd/yyyy#", whatever the regional settings.
QString SqlDate(const QDate &d);
// The variant as text when it holds text; otherwise the default.
QString NzStr(const QVariant &v, const QString &dflt);
// The variant as a number when it is numeric (numeric text counts); otherwise the default.
double NzNum(const QVariant &v, double dflt);
// Key filters of the entry fields: the key code kept, or 0 to cancel it.
int KeyFilterDigits(int key);
int KeyFilterDecimal(int key);

// Sleeps after a database write, before the windows re-read the data.
// Tests set the pause to zero here; nothing else changes it.
void PauseAfterWrite();
void setWritePauseMs(int ms);
int writePauseMs();

// Locale items as the program asks for them.
inline constexpr int LOCALE_USER_DEFAULT = 1024;
inline constexpr int LOCALE_ILANGUAGE = 1;
inline constexpr int LOCALE_SDECIMAL = 14;
inline constexpr int LOCALE_IFIRSTDAYOFWEEK = 4108;
QString GetLocaleString(int localeId, int item);

// The connection string for a database location: for a folder, the folder
// and "velto.mdb" joined with "/"; a server's URI is its own.
QString connectionStringFor(const QString &location);
// The location as it may be kept: a password in a server's URI
// ("user:secret@host", "?password=secret") is taken out and kept for this
// run only (setServerPassword). A folder is returned as it is.
[[nodiscard]] QString keepPasswordForRun(const QString &location);
// The location as the user reads it: a folder in the system's form with a
// trailing separator, a server's address as it is.
[[nodiscard]] QString locationText(const QString &location);
// A location given for one run (--database) instead of the stored one; not
// kept in the settings (a folder is made absolute). Empty: the stored one.
void setDatabaseForRun(const QString &location);
// The location this run works on: the one given for the run, or the stored
// choice, or the default folder. SettingsKey must be set.
[[nodiscard]] QString databaseLocation();
inline constexpr const char *kDatabaseFileName = "velto.mdb";
inline constexpr const char *kTemplateFileName = "master.gen";

// Whether the database opens and reads whole. InUse: another process holds
// the file locked, so it is busy rather than damaged or missing.
enum class DatabaseCheck { Opens, InUse, Fails };
[[nodiscard]] DatabaseCheck CheckDatabase(const QString &connectionString);
bool ConnectionFails(const QString &connectionString);
// Copies the template into the database folder; never replaces a file.
bool CopyDatabaseTemplate();
// Gives a database of an older layout the fields and indexes of the
// current one (TrGrpId), in one transaction; a current one is left as it is.
Status upgradeLayout(const QString &connectionString);
// The same for the program's database; a failure is the caller's to tell.
Status UpgradeSchema();
void LoadCurrentDb();
void LoadCurrentDbName();
// Makes a data sheet of the open database the active one: for this run, and
// kept for the next start. kErrorMissing, nothing changed, when the sheet is
// not there (any more); a choice the settings refuse to keep is returned
// with the sheet active for this run all the same.
Status selectActiveSheet(int sheetId);
// The active data sheet as the database now holds it: its name read again
// (another process may have renamed it); the first data sheet, which cannot
// be deleted, made active when the active one is gone. False when it was gone.
bool followActiveSheet(Status *status);
inline constexpr int kFirstSheetId = 1;

} // namespace velto
