#pragma once
// The login reminder: an XDG autostart entry that runs the program with
// "--due --notify" when the user logs in. Its presence is the setting, so
// an entry the user removed by hand reads as off.

#include "data/status.h"

#include <QString>

namespace velto {

// $XDG_CONFIG_HOME/autostart/velto-reminder.desktop (~/.config/autostart/...).
[[nodiscard]] QString loginReminderPath();
[[nodiscard]] bool loginReminderInstalled();
// Writes the entry for the program at programPath, replacing an older one.
Status installLoginReminder(const QString &programPath);
// Succeeds when there is no entry left, also when there was none.
Status removeLoginReminder();

// One argument of a desktop entry's Exec key, quoted where the entry format
// asks for it.
[[nodiscard]] QString desktopExecArgument(const QString &argument);

} // namespace velto
