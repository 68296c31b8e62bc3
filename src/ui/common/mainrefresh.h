#pragma once
// What other windows ask of the main window. Data changes need nothing of
// them: the main window reloads on the one data-changed notice. What is left
// is a change of view (another data sheet chosen, other display options)
// and the step a writer takes after its own write.

#include <QtGlobal>

namespace velto {

class MainRefresh
{
public:
    virtual ~MainRefresh() = default;
    // Every part from the database: grid (current deadline, scroll position,
    // collapsed groups and search kept), bold days, start list, due
    // indicator, empty-grid panel, cash flow.
    virtual void reloadAll() = 0;
    // Makes the deadline with this TrRowId current and focuses the grid (0: none).
    virtual void gexFind(qint64 rowId) = 0;
};

// The main window of the running program; null before it exists (tests
// install a recorder of their own).
MainRefresh *mainRefresh();
void setMainRefresh(MainRefresh *refresh);

} // namespace velto
