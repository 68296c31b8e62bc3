#include "ui/main/recordcommands.h"

#include "app/datawatcher.h"
#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "deadlines/deadlinestore.h"
#include "deadlines/undohistory.h"
#include "ui/common/refreshorder.h"
#include "ui/deadlines/frmScadenze.h"
#include "ui/deadlines/frmScadenzeNuovo.h"
#include "ui/widgets/grid.h"

namespace velto {

RecordCommands::RecordCommands(QWidget *owner, Grid &gex, UserPrompts &prompts)
    : QObject(owner), m_owner(owner), m_gex(gex), m_prompts(prompts)
{
    connect(&m_gex, &Grid::doubleClicked, this, &RecordCommands::gexDblClick);
    connect(&m_gex, &Grid::keyDown, this, &RecordCommands::gexKeyDown);
}

frmScadenzeNuovo *RecordCommands::newDeadlineWindow() const
{
    return m_new;
}

frmScadenze *RecordCommands::editWindow() const
{
    return m_edit;
}

void RecordCommands::showError(const QString &text)
{
    m_prompts.message(text, MessageIcon::Critical);
}

void RecordCommands::rebindGrid()
{
    // The change that made the row go is news to every window; without one
    // found, the main window reads again all the same.
    if (!dataWatcher().catchUp())
        reloadMainWindow();
}

frmScadenzeNuovo *RecordCommands::openNew()
{
    if (!m_new)
        m_new = new frmScadenzeNuovo(m_owner, m_prompts);
    m_new->Nuovo();
    return m_new;
}

frmScadenzeNuovo *RecordCommands::openNewForSeries(const Deadline &member)
{
    if (!m_new)
        m_new = new frmScadenzeNuovo(m_owner, m_prompts);
    m_new->Nuovo2(member);
    return m_new;
}

qint64 RecordCommands::rowIdAt(int position) const
{
    if (position < 1 || position > m_gex.rowCount())
        return 0;
    const GridRow row = m_gex.row(position);
    return row.isGroupRow() ? 0 : row.value(col(MainColumn::RowId)).toLongLong();
}

bool RecordCommands::load(qint64 rowId, Deadline *out)
{
    const Status st = loadDeadline(currentDatabase(), rowId, out);
    if (st)
        return true;
    // Gone or unreadable since the grid was loaded: say so and show what
    // the database holds now.
    showError(userMessage(st));
    rebindGrid();
    return false;
}

frmScadenze *RecordCommands::openEdit(qint64 rowId)
{
    // One edit window: a second request for the same deadline brings it to
    // the front; another deadline gets a window of its own.
    if (m_edit && m_edit->rowId() == rowId) {
        m_edit->raise();
        m_edit->activateWindow();
        return m_edit;
    }
    auto *dlg = new frmScadenze(m_owner, m_prompts);
    if (!dlg->Apri(rowId))
        return nullptr; // shown, and the window is gone
    m_edit = dlg;
    return dlg;
}

void RecordCommands::NewDeadline(int position)
{
    // What the deadline is, is read from the database by its key, never
    // from what the grid row shows.
    const qint64 rowId = rowIdAt(position);
    Deadline current;
    if (rowId == 0 || !load(rowId, &current) || !current.isSeriesMember()) {
        if (rowId == 0 || current.rowId != 0)
            openNew();
        return;
    }
    switch (m_prompts.askGroupQuestion(GroupQuestionKind::Add)) {
    case 1: openNew(); break;
    case 2: openNewForSeries(current); break;
    default: break;
    }
}

void RecordCommands::EditDeadline()
{
    if (const qint64 rowId = rowIdAt(m_gex.currentRow()))
        openEdit(rowId);
}

void RecordCommands::gexDblClick()
{
    if (m_gex.rowCount() == 0) {
        openNew();
        return;
    }
    EditDeadline();
}

void RecordCommands::ToggleDone()
{
    const int position = m_gex.currentRow();
    const qint64 rowId = rowIdAt(position);
    if (rowId == 0)
        return;
    // The state the user saw decides whether this is a close or a reopen;
    // the core refuses it when the deadline holds another state by now, and
    // the reload below shows it as it is.
    const bool shownDone = m_gex.row(position).value(col(MainColumn::Done)).toBool();
    const Status st = toggleDone(currentDatabase(), rowId, shownDone, &programHistory());
    if (!st)
        showError(userMessage(st));
    PauseAfterWrite();
    showOwnWrite();
    // The same place, even when the row moved or left the view.
    m_gex.setCurrentRow(std::min(position, m_gex.rowCount()));
}

void RecordCommands::DeleteDeadline(int position)
{
    const qint64 rowId = rowIdAt(position);
    Deadline target;
    if (rowId == 0 || !load(rowId, &target))
        return;

    Status st;
    if (!target.isSeriesMember()) {
        if (!m_prompts.askYesNo(LoadResString(1055), false))
            return;
        st = deleteDeadline(currentDatabase(), rowId, &programHistory());
    } else {
        const int choice = m_prompts.askGroupQuestion(GroupQuestionKind::Erase);
        if (choice == 1)
            st = deleteSeriesMember(currentDatabase(), rowId, &programHistory());
        else if (choice == 2)
            st = deleteSeries(currentDatabase(), target.groupId, &programHistory());
    }
    if (!st)
        showError(userMessage(st));
    PauseAfterWrite();
    showOwnWrite();
}

void RecordCommands::FirstRow()
{
    if (m_gex.rowCount() > 0)
        m_gex.setCurrentRow(1);
}

void RecordCommands::LastRow()
{
    if (m_gex.rowCount() > 0)
        m_gex.setCurrentRow(m_gex.rowCount());
}

void RecordCommands::ExpandAll()
{
    m_gex.expandAll();
}

void RecordCommands::CollapseAll()
{
    m_gex.collapseAll();
    // The data sheet row stays open, so the second-level groups stay in sight.
    if (preferences().layout != Layout::Simple && m_gex.rowCount() > 0)
        m_gex.setRowExpanded(1, true);
}

void RecordCommands::gexKeyDown(int &key, Qt::KeyboardModifiers modifiers)
{
    const int position = m_gex.currentRow();
    const qint64 rowId = rowIdAt(position);
    if (rowId == 0 || (modifiers & (Qt::ControlModifier | Qt::AltModifier)))
        return;
    switch (key) {
    case Qt::Key_Space:
        key = 0;
        ToggleDone();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = 0;
        openEdit(rowId);
        break;
    case Qt::Key_Delete:
        key = 0;
        DeleteDeadline(position);
        break;
    default: break;
    }
}

} // namespace velto
