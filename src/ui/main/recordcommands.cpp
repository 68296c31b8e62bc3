#include "ui/main/recordcommands.h"

#include "app/mainmod.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "deadlines/series.h"
#include "ui/deadlines/frmScadenze.h"
#include "ui/deadlines/frmScadenzeNuovo.h"
#include "ui/common/refreshorder.h"
#include "ui/widgets/grid.h"

namespace velto {

RecordCommands::RecordCommands(QWidget *owner, Grid &gex, UserPrompts &prompts)
    : QObject(owner), m_owner(owner), m_gex(gex), m_prompts(prompts)
{
    connect(&m_gex, &Grid::doubleClicked, this, &RecordCommands::gexDblClick);
    connect(&m_gex, &Grid::keyDown, this, &RecordCommands::gexKeyDown, Qt::DirectConnection);
}

frmScadenzeNuovo *RecordCommands::newDeadlineWindow() const
{
    return m_new;
}

frmScadenze *RecordCommands::editWindow() const
{
    return m_edit;
}

bool RecordCommands::isRecordRow(int position) const
{
    if (position < 1 || position > m_gex.rowCount())
        return false;
    return !m_gex.row(position).isGroupRow();
}

void RecordCommands::showError(const QString &text)
{
    m_prompts.message(text, MessageIcon::Critical);
}

void RecordCommands::rebindGrid()
{
    // A failing reload is reported by the grid's own loadFailed signal.
    m_gex.rebind();
}

frmScadenzeNuovo *RecordCommands::openNew()
{
    if (!m_new)
        m_new = new frmScadenzeNuovo(m_owner, m_prompts);
    m_new->Nuovo();
    return m_new;
}

frmScadenzeNuovo *RecordCommands::openNewForGroup(int type, const QString &description, qint64 accountId,
                                                  Currency amount, qint64 groupId)
{
    if (!m_new)
        m_new = new frmScadenzeNuovo(m_owner, m_prompts);
    m_new->Nuovo2(type, description, accountId, amount, groupId);
    return m_new;
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
    if (!isRecordRow(position) || m_gex.row(position).value(ColGrpId).toLongLong() == 0) {
        openNew();
        return;
    }
    const GridRow row = m_gex.row(position);
    switch (m_prompts.askGroupQuestion(GroupQuestionKind::Add)) {
    case 1:
        openNew();
        break;
    case 2: {
        const QVariant value = m_gex.recordValue(row.bookmark(), QStringLiteral("TrValue"));
        const Currency amount = value.userType() == qMetaTypeId<Currency>() ? value.value<Currency>()
                                                                             : Currency::fromDouble(NzNum(value, 0));
        openNewForGroup(int(NzNum(row.value(ColType), 1)),
                        NzStr(m_gex.recordValue(row.bookmark(), QStringLiteral("TrDescription")), QString()),
                        qint64(NzNum(row.value(ColAcId), 0)), amount, row.value(ColGrpId).toLongLong());
        break;
    }
    default:
        break;
    }
}

void RecordCommands::EditDeadline()
{
    const int position = m_gex.currentRow();
    if (isRecordRow(position))
        openEdit(m_gex.row(position).value(ColRowId).toLongLong());
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
    if (!isRecordRow(position))
        return;
    const qint64 rowId = m_gex.row(position).value(ColRowId).toLongLong();
    const Status st = Connection::executeAlone(app().ConnectionString, sql::toggleDone(rowId));
    if (!st)
        showError(userMessage(st));
    PauseAfterWrite();
    refreshBeforeRebind();
    rebindGrid();
    // The same place, even when the row moved or left the view.
    m_gex.setCurrentRow(std::min(position, m_gex.rowCount()));
}

void RecordCommands::DeleteDeadline(int position)
{
    if (!isRecordRow(position))
        return;
    const GridRow row = m_gex.row(position);
    const qint64 rowId = row.value(ColRowId).toLongLong();
    const qint64 groupId = row.value(ColGrpId).toLongLong();

    Status st;
    if (groupId == 0) {
        if (!m_prompts.askYesNo(LoadResString(1055), false))
            return;
        st = Connection::executeAlone(app().ConnectionString, sql::deleteOne(rowId));
    } else {
        const int choice = m_prompts.askGroupQuestion(GroupQuestionKind::Erase);
        if (choice == 1) {
            // The deletion and the renumbering of the rest of the group are
            // one change: both or neither.
            Connection conn;
            st = conn.open(app().ConnectionString);
            if (st) {
                st = conn.transaction([&] {
                    Status deleted = conn.execute(sql::deleteOne(rowId));
                    return deleted ? RenumberGroup(conn, groupId) : deleted;
                });
            }
            conn.close();
        } else if (choice == 2) {
            st = Connection::executeAlone(app().ConnectionString, sql::deleteGroup(groupId));
        }
    }
    if (!st)
        showError(userMessage(st));
    PauseAfterWrite();
    refreshBeforeRebind();
    rebindGrid();
    refreshStartPanelVisibility();
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
    if (app().GroupOption >= 1 && m_gex.rowCount() > 0)
        m_gex.setRowExpanded(1, true);
}

void RecordCommands::gexKeyDown(int &key, Qt::KeyboardModifiers modifiers)
{
    const int position = m_gex.currentRow();
    if (position < 1 || !isRecordRow(position) || (modifiers & (Qt::ControlModifier | Qt::AltModifier)))
        return;
    switch (key) {
    case Qt::Key_Space:
        key = 0;
        ToggleDone();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = 0;
        openEdit(m_gex.row(position).value(ColRowId).toLongLong());
        break;
    case Qt::Key_Delete:
        key = 0;
        DeleteDeadline(position);
        break;
    default:
        break;
    }
}

} // namespace velto
