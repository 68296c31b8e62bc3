#pragma once
// The commands that work without a window: "--due" prints (or, with
// "--notify", sends as a desktop notification) the open deadlines due by a
// day; "--export-ics" writes a sheet's open deadlines to a calendar file.
// They read the program's settings and database and write to neither.

namespace velto {

// Exit statuses of --due.
inline constexpr int kExitDue = 0;
inline constexpr int kExitNothingDue = 1;
inline constexpr int kExitError = 2;

// The settings key and the user's language, as the program's start
// settles them; every command answers in that language.
void settleLanguage();

// Runs the command the arguments name. Returns its exit status, or -1 when
// they name no reminder command (the program starts as usual).
[[nodiscard]] int runReminderCommand(int argc, char *argv[]);

} // namespace velto
