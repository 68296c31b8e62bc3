#include "ui/deadlines/frmScadenze.h"

#include "app/datawatcher.h"
#include "app/mainmod.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "data/currency.h"
#include "deadlines/deadlinestore.h"
#include "deadlines/undohistory.h"
#include "ui/common/dialogframe.h"
#include "ui/common/refreshorder.h"
#include "ui/deadlines/accountcombo.h"
#include "ui/deadlines/amountbox.h"
#include "ui/deadlines/deadlinedialogkeys.h"
#include "ui/deadlines/deadlinefields.h"
#include "ui/deadlines/typecombo.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

namespace velto {

frmScadenze::frmScadenze(QWidget *owner, UserPrompts &prompts) : QDialog(owner), m_prompts(prompts)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmScadenze"));
    build();
}

void frmScadenze::build()
{
    setWindowTitle(LoadResString(1101));
    setAccessibleName(windowTitle());
    f = new DeadlineFields(this, this, "datData", "lblData1");
    chkData = new QCheckBox(LoadResString(1107), this);
    chkData->setObjectName(QStringLiteral("chkData"));
    const DialogFrame::ButtonRow buttons = DialogFrame::buttonRow(this);
    cmdSalva = buttons.accept;
    cmdAnnulla = buttons.cancel;
    sb = new QStatusBar(this);
    sb->setObjectName(QStringLiteral("sb"));
    // Said at once in the window, not in a box that each change would pop up.
    lblChanged = new QLabel(this);
    lblChanged->setObjectName(QStringLiteral("lblChanged"));
    lblChanged->setWordWrap(true);
    lblChanged->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold"));
    lblChanged->setVisible(false);

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(10);
    f->placeType(form, 0);
    f->placeDate(form, 1);
    const int row = f->placeEntry(form, 2);
    form->addWidget(chkData, row, 1, 1, 2);
    form->addWidget(lblChanged, row + 1, 0, 1, 3);
    form->setColumnStretch(1, 1);
    DialogFrame::layOut(this, form, buttons.box, sb);
    setMinimumWidth(460);

    setTabOrder(f->type, f->date);
    setTabOrder(f->chainEntryTabs(f->date), chkData);
    setTabOrder(chkData, cmdSalva);
    setTabOrder(cmdSalva, cmdAnnulla);

    m_frame = new DialogFrame(this, sb);
    f->registerWith(m_frame);
    m_frame->setHelp(chkData, 1115);
    m_frame->setHelp(cmdSalva, 1116);
    m_frame->setHelp(cmdAnnulla, 1117);
    m_frame->enterAsTab(chkData);

    connect(cmdSalva, &QPushButton::clicked, this, [this] { cmdSalva_Click(); });
    connect(cmdAnnulla, &QPushButton::clicked, this, [this] { cmdAnnulla_Click(); });
    connect(f->addClient, &QToolButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(&dataWatcher(), &DataWatcher::dataChanged, this, &frmScadenze::compareWithStored);
    DialogFrame::RemoveCloseCommand(this);
}

QString frmScadenze::statusText() const
{
    return m_frame->statusText();
}

QString frmScadenze::changedNotice() const
{
    return lblChanged->isVisibleTo(this) ? lblChanged->text() : QString();
}

void frmScadenze::compareWithStored()
{
    if (m_rowId == 0)
        return;
    Deadline stored;
    const Status st = loadDeadline(currentDatabase(), m_rowId, &stored);
    // Unreadable for now (a writer holds the file): the next notice tells.
    if (!st && st.code() != kErrorMissing)
        return;
    const int id = !st ? 1842 : stored == m_loaded ? 0 : 1841;
    lblChanged->setText(id ? LoadResString(id) : QString());
    lblChanged->setAccessibleName(lblChanged->text());
    lblChanged->setVisible(id != 0);
}

Status frmScadenze::InitCombos()
{
    const Status st = f->client->reload();
    if (!st)
        m_prompts.message(userMessage(st), MessageIcon::Critical);
    return st;
}

Status frmScadenze::Apri(qint64 rowId)
{
    m_rowId = rowId;
    InitCombos();
    const Status st = loadDeadline(currentDatabase(), rowId, &m_loaded);
    if (!st) {
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        close();
        return st;
    }
    showDeadline(m_loaded);
    show();
    raise();
    activateWindow();
    f->description->setFocus();
    return Status::success();
}

void frmScadenze::showDeadline(const Deadline &d)
{
    f->date->setDate(d.date);
    f->description->setText(d.description);
    f->client->setBoundValue(d.accountId);
    f->amount->setAmount(d.value);
    chkData->setChecked(d.done);
    f->type->selectType(d.type);
    f->type->setEnabled(false);
    f->applyTypeRule();
}

void frmScadenze::cmdSalva_Click()
{
    if (f->description->text().isEmpty()) {
        f->description->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (QWidget *invalid = m_frame->focusFirstInvalid()) {
        if (invalid == f->amount)
            m_prompts.message(f->amount->refusalText(), MessageIcon::Warning);
        return;
    }
    Deadline edited = m_loaded;
    edited.type = f->type->type();
    edited.date = f->date->date();
    edited.description = f->description->text();
    edited.accountId = f->client->boundValue();
    // An appointment carries no amount, whatever the record held.
    edited.value = edited.type == DeadlineType::Appointment ? Currency() : f->amount->amount().value_or(Currency());
    edited.done = chkData->isChecked();
    const Status st = saveDeadline(currentDatabase(), edited, m_loaded, &programHistory());
    if (!st) {
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        if (st.code() == kErrorChangedMeanwhile && InitCombos()) {
            // Changed elsewhere since it was read: show it as it is now,
            // so the next save starts from there.
            if (loadDeadline(currentDatabase(), m_rowId, &m_loaded))
                showDeadline(m_loaded);
            compareWithStored();
        }
        return;
    }
    PauseAfterWrite();
    // Its own save is no news to this window.
    disconnect(&dataWatcher(), nullptr, this, nullptr);
    showOwnWrite(m_rowId);
    close();
}

void frmScadenze::cmdAnnulla_Click()
{
    close();
}

void frmScadenze::cmdAdd_Click()
{
    addClientInto(this, f->client, m_prompts);
}

void frmScadenze::keyPressEvent(QKeyEvent *event)
{
    if (!deadlineDialogKey(
            event, f->client, [this] { cmdAnnulla_Click(); }, [this] { cmdAdd_Click(); }))
        QDialog::keyPressEvent(event);
}

} // namespace velto
