#pragma once
// What every window asks of the main window after it has changed data.
// A writer closes its connection, calls PauseAfterWrite, then these in the
// order its own flow needs.

#include <QtGlobal>

namespace velto {

class MainRefresh
{
public:
    virtual ~MainRefresh() = default;
    // Reloads the deadline grid for a filter index of the view list.
    virtual void gexUpdate(int filterIndex) = 0;
    // Makes the deadline with this TrRowId current (0: none).
    virtual void gexFind(qint64 rowId) = 0;
    // Reloads the start list for the calendar selection.
    virtual void gextasksUpdate() = 0;
    // Due indicator and data sheet name in the status bar.
    virtual void sbBallon() = 0;
    // Shows or hides the empty-grid panel.
    virtual void picStartVisible() = 0;
    // Re-reads the bold days of the calendar.
    virtual void mvGetDayBold() = 0;
    // The filter index currently chosen in the view list.
    [[nodiscard]] virtual int currentFilterIndex() const = 0;
};

// The main window of the running program; null before it exists (tests
// install a recorder of their own).
MainRefresh *mainRefresh();
void setMainRefresh(MainRefresh *refresh);

} // namespace velto
