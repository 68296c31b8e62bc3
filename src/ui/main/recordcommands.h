#pragma once
// The commands on the deadline under the cursor of the main window's grid:
// new, edit, close/reopen, delete (one deadline, one member of a group, or
// the whole group), first and last row, expand and collapse all.
//
// Each command takes the deadline's key from the grid and reads
// or writes the deadline through the core by that key. A failing statement
// is shown with its text, and the grid is still reloaded, so that it shows
// what the database holds.

#include "deadlines/deadline.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace velto {

class Grid;
class UserPrompts;
class frmScadenze;
class frmScadenzeNuovo;

class RecordCommands : public QObject
{
    Q_OBJECT
public:
    // Connects itself to the grid's double click and keys (Space, Enter,
    // Delete on a record row).
    RecordCommands(QWidget *owner, Grid &gex, UserPrompts &prompts);

    // Record menu item 0 and its toolbar button: position = gex.currentRow().
    void NewDeadline(int position);
    // Record menu item 1 and its toolbar button.
    void EditDeadline();
    // Grid double click.
    void gexDblClick();
    // Space in the grid; Record menu item 2 and its toolbar button.
    void ToggleDone();
    // Delete key in the grid; Record menu item 3 and its toolbar button.
    void DeleteDeadline(int position);
    // Record menu items 5 and 6.
    void FirstRow();
    void LastRow();
    // View menu items 4 and 5 and the layout toolbar.
    void ExpandAll();
    void CollapseAll();
    // The grid's key request: Space, Enter and Delete on a record row.
    void gexKeyDown(int &key, Qt::KeyboardModifiers modifiers);

    // The windows the commands opened, while they are open.
    [[nodiscard]] frmScadenzeNuovo *newDeadlineWindow() const;
    [[nodiscard]] frmScadenze *editWindow() const;

    // Opens the new-deadline window empty / for a group (also for the start
    // panel's double click).
    frmScadenzeNuovo *openNew();
    frmScadenzeNuovo *openNewForSeries(const Deadline &member);
    frmScadenze *openEdit(qint64 rowId);

private:
    // The TrRowId of the record row at the position; 0 for a group row or
    // no row. The key is all a command takes from the grid.
    [[nodiscard]] qint64 rowIdAt(int position) const;
    // Reads the deadline; a failure is shown and the grid reloaded.
    bool load(qint64 rowId, Deadline *out);
    void showError(const QString &text);
    void rebindGrid();

    QWidget *m_owner;
    Grid &m_gex;
    UserPrompts &m_prompts;
    QPointer<frmScadenzeNuovo> m_new;
    QPointer<frmScadenze> m_edit;
};

} // namespace velto
