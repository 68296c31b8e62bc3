#pragma once
// The step a window takes after its own write, once the write has returned.

#include <QtGlobal>

namespace velto {

// Every window shows the new state now (the data-changed notice delivered at
// once instead of on the next turn of the event loop, so the next key meets
// it); then the main grid makes rowId current and takes the focus (0: the
// grid stays where it is). viewChanged: the window also changed what the
// main window shows (another data sheet), so it reloads even when nothing
// was written.
void showOwnWrite(qint64 rowId = 0, bool viewChanged = false);
// A change of view, not of data (another data sheet, other display
// options): the main window reloads every part. Skipped without one.
void reloadMainWindow();

} // namespace velto
