#pragma once

#include <QString>
#include <QStringList>

namespace velto {

// What the command line asks for. Qt's own options (-platform, -style...)
// pass through to QApplication; anything else is refused.
struct CommandLine {
    enum class Action { Run, ShowVersion, ShowHelp, Refuse, Due, ExportCalendar, CopyDatabase };
    Action action = Action::Run;
    QString offending; // the argument that was refused
    QString reason;    // why, when it is not an unknown option

    // --due and --export-ics: no window is opened.
    int days = 0;    // --days N: also what falls due in the next N days
    int sheetId = 0; // --sheet ID; 0 for the active data sheet
    bool allSheets = false;
    bool notify = false;
    QString calendarFile; // --export-ics FILE
    // --database LOCATION: the database of this run instead of the chosen one.
    QString database;
    // --copy-database FROM TO: two locations, folders or server URIs.
    QString copyFrom;
    QString copyTo;
};

// The largest --days: ten years ahead.
inline constexpr int kMaxDueDays = 3650;

[[nodiscard]] CommandLine parseCommandLine(const QStringList &arguments);

// "Velto 1.0.0".
[[nodiscard]] QString versionText();
// Short usage: options, the environment variables that matter and where the
// database and the settings live for this user.
[[nodiscard]] QString usageText();

// Handles --version, --help and refused arguments before any window system is
// touched, and takes --database as this run's database (setDatabaseForRun).
// Returns the exit status to end with, or -1 to go on: to start the
// program, or for --due, --export-ics and --copy-database, which the
// commands of src/cli run.
[[nodiscard]] int handleCommandLine(int argc, char *argv[]);

} // namespace velto
