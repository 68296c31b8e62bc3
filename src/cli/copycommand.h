#pragma once
// "--copy-database FROM TO": a whole book copied from one database location
// to another (a folder or a server, either way), with no window.

#include <QString>

namespace velto {

// Copies the book at from into to (locations as the user gives them; a
// password in a server address is used for this run only), prints what was
// copied or why not, in the user's language. 0, or kExitError (2) on failure.
[[nodiscard]] int copyDatabaseCommand(const QString &from, const QString &to);

// Runs --copy-database when the arguments name it; -1 otherwise.
[[nodiscard]] int runCopyCommand(int argc, char *argv[]);

} // namespace velto
