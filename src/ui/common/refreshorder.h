#pragma once
// The order in which a writer asks the main window to reload. Every call
// is skipped when there is no main window (tests without one).

#include <QtGlobal>

namespace velto {

// After a deadline dialog has saved: grid for the current filter, calendar
// bold days, start list, status bar, empty-grid panel, then the grid
// selects rowId (0: none).
void refreshAfterDeadlineSave(qint64 rowId);
// The first half of what the record commands do after a write: status bar,
// calendar bold days, start list. The grid rebind follows in the command.
void refreshBeforeRebind();
void refreshStartPanelVisibility();
// After the rows of a whole data sheet changed (another sheet selected, a
// purge, a restored file): grid, start list, bold days, empty-grid panel and
// status bar.
void refreshAfterSheetChange();

} // namespace velto
