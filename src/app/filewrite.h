#pragma once
// Files the user names (exports, calendars, pictures) are written whole or
// not at all: a temporary file beside the target is renamed over it. Only
// a regular file or nothing may stand under that name; a device, a pipe or
// a folder is refused, never replaced by a file.

#include "data/status.h"

#include <QByteArray>
#include <QString>

namespace velto {

// kErrorFileNotWritten with the message for the user when refused or failed.
Status writeWholeFile(const QString &path, const QByteArray &bytes);

} // namespace velto
