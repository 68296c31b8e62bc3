#pragma once
// The text a window shows for a failed Status, in the user's language.

#include "data/status.h"

#include <QString>

namespace velto {

// The data layer knows no languages: its own refusals carry a code and an
// English text for the log. This gives their text from the string table;
// a database server's refusals are told in the user's words with the
// server's after them; the database engine's messages and texts the core
// already took from the string table pass through as they are.
[[nodiscard]] QString userMessage(const Status &status);

} // namespace velto
