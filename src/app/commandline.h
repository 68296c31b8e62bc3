#pragma once

#include <QString>
#include <QStringList>

namespace velto {

// What the command line asks for. Qt's own options (-platform, -style...)
// pass through to QApplication; anything else is refused.
struct CommandLine
{
    enum class Action { Run, ShowVersion, ShowHelp, Refuse };
    Action action = Action::Run;
    QString offending; // the argument that was refused
};

[[nodiscard]] CommandLine parseCommandLine(const QStringList &arguments);

// "Velto 1.0.0".
[[nodiscard]] QString versionText();
// Short usage: options, the environment variables that matter and where the
// database and the settings live for this user.
[[nodiscard]] QString usageText();

// Handles --version, --help and refused arguments before any window system is
// touched. Returns the exit status to end with, or -1 to go on and start.
[[nodiscard]] int handleCommandLine(int argc, char *argv[]);

} // namespace velto
