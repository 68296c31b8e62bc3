#pragma once
// One desktop notification through the freedesktop notification service on
// the session bus, with an action that opens the program.

#include "data/status.h"

#include <QString>

namespace velto {

struct DesktopNotification {
    QString summary;
    QString body;       // plain text; escaped where the service reads markup
    QString actionText; // the label of the action that opens the program
};

// Sends the notification. Where the service offers actions, waits until
// the notification is closed (at most waitMs) and, when the user chose the
// action, starts programPath on its own. A missing bus or service is a
// failure with the bus's reason; nothing is retried.
Status sendDesktopNotification(const DesktopNotification &n, const QString &programPath, int waitMs);

} // namespace velto
