#include "ui/deadlines/frmScadenze.h"

#include "app/datawatcher.h"
#include "app/localeinfo.h"
#include "app/mainmod.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "data/schema.h"
#include "deadlines/deadlinestore.h"
#include "data/currency.h"
#include "ui/deadlines/accountcombo.h"
#include "ui/deadlines/amountbox.h"
#include "ui/deadlines/deadlinedialogkeys.h"
#include "ui/common/dialogframe.h"
#include "ui/common/refreshorder.h"
#include "ui/deadlines/typecombo.h"
#include "deadlines/undohistory.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QIcon>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

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
    const int captions[5] = {1102, 1103, 1104, 1105, 1106};
    for (int i = 0; i < 5; ++i) {
        lblData[i] = new QLabel(LoadResString(captions[i]), this);
        lblData[i]->setObjectName(QStringLiteral("lblData%1").arg(i));
    }
    imgcmbData = new TypeCombo(this);
    imgcmbData->setObjectName(QStringLiteral("imgcmbData"));
    datData = new QDateEdit(this);
    datData->setObjectName(QStringLiteral("datData"));
    datData->setCalendarPopup(true);
    datData->setDisplayFormat(fourDigitYearFormat(QLocale()));
    txtDescription = new QLineEdit(this);
    txtDescription->setObjectName(QStringLiteral("txtData0"));
    txtDescription->setMaxLength(descriptionMaxLength());
    dtcData = new AccountCombo(this);
    dtcData->setObjectName(QStringLiteral("dtcData"));
    cmdAdd = new QToolButton(this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setIcon(QIcon::fromTheme(QStringLiteral("contact-new"), style()->standardIcon(QStyle::SP_FileDialogNewFolder)));
    cmdAdd->setToolTip(LoadResString(1340));
    cmdAdd->setAccessibleName(LoadResString(1340));
    cmdAdd->setFocusPolicy(Qt::NoFocus);
    txtAmount = new AmountBox(this);
    txtAmount->setObjectName(QStringLiteral("txtData1"));
    chkData = new QCheckBox(LoadResString(1107), this);
    chkData->setObjectName(QStringLiteral("chkData"));
    cmdSalva = new QPushButton(LoadResString(1108), this);
    cmdSalva->setObjectName(QStringLiteral("cmdSalva"));
    cmdAnnulla = new QPushButton(LoadResString(1109), this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    for (QPushButton *b : {cmdSalva, cmdAnnulla}) {
        b->setAutoDefault(false);
        b->setAccessibleName(b->text());
    }
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
    form->addWidget(lblData[0], 0, 0);
    form->addWidget(imgcmbData, 0, 1, 1, 2);
    form->addWidget(lblData[1], 1, 0);
    form->addWidget(datData, 1, 1);
    form->addWidget(lblData[2], 2, 0);
    form->addWidget(txtDescription, 2, 1, 1, 2);
    form->addWidget(lblData[3], 3, 0);
    form->addWidget(dtcData, 3, 1);
    form->addWidget(cmdAdd, 3, 2);
    form->addWidget(lblData[4], 4, 0);
    form->addWidget(txtAmount, 4, 1, 1, 2);
    form->addWidget(chkData, 5, 1, 1, 2);
    form->addWidget(lblChanged, 6, 0, 1, 3);
    form->setColumnStretch(1, 1);
    DialogFrame::layOut(this, form, cmdSalva, cmdAnnulla, sb);
    setMinimumWidth(460);

    setTabOrder(imgcmbData, datData);
    setTabOrder(datData, txtDescription);
    setTabOrder(txtDescription, dtcData);
    setTabOrder(dtcData, txtAmount);
    setTabOrder(txtAmount, chkData);
    setTabOrder(chkData, cmdSalva);
    setTabOrder(cmdSalva, cmdAnnulla);

    m_frame = new DialogFrame(this, sb);
    m_frame->setHelp(imgcmbData, 1110);
    m_frame->setHelp(datData, 1111);
    m_frame->setHelp(txtDescription, 1112);
    m_frame->setHelp(dtcData, 1113);
    m_frame->setHelp(txtAmount, 1114);
    m_frame->setHelp(chkData, 1115);
    m_frame->setHelp(cmdSalva, 1116);
    m_frame->setHelp(cmdAnnulla, 1117);
    for (QWidget *w : std::initializer_list<QWidget *>{imgcmbData, datData, txtDescription, dtcData, txtAmount, chkData})
        m_frame->enterAsTab(w);
    m_frame->linkLabel(lblData[0], imgcmbData);
    m_frame->linkLabel(lblData[1], datData);
    m_frame->linkLabel(lblData[2], txtDescription);
    m_frame->linkLabel(lblData[3], dtcData);
    m_frame->linkLabel(lblData[4], txtAmount);
    m_frame->addValidation(txtDescription, [this] { return !txtDescription->text().isEmpty(); });
    m_frame->addValidation(txtAmount, [this] { return txtAmount->isNumeric(); });

    connect(cmdSalva, &QPushButton::clicked, this, [this] { cmdSalva_Click(); });
    connect(cmdAnnulla, &QPushButton::clicked, this, [this] { cmdAnnulla_Click(); });
    connect(cmdAdd, &QToolButton::clicked, this, [this] { cmdAdd_Click(); });
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
    const Status st = dtcData->reload();
    if (!st)
        m_prompts.message(userMessage(st), MessageIcon::Critical);
    return st;
}

void frmScadenze::applyTypeRule()
{
    const bool appointment = imgcmbData->isAppointment();
    txtAmount->setEnabled(!appointment);
    if (appointment)
        txtAmount->clear();
    else if (txtAmount->text().isEmpty())
        txtAmount->setAmount(Currency()); // back from an appointment: an amount to start from
    QPalette pal = txtAmount->palette();
    pal.setColor(QPalette::Base, palette().color(appointment ? QPalette::Button : QPalette::Base));
    txtAmount->setPalette(pal);
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
    txtDescription->setFocus();
    return Status::success();
}

void frmScadenze::showDeadline(const Deadline &d)
{
    datData->setDate(d.date);
    txtDescription->setText(d.description);
    dtcData->setBoundValue(d.accountId);
    txtAmount->setAmount(d.value);
    chkData->setChecked(d.done);
    imgcmbData->selectType(d.type);
    imgcmbData->setEnabled(false);
    applyTypeRule();
}

void frmScadenze::cmdSalva_Click()
{
    if (txtDescription->text().isEmpty()) {
        txtDescription->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (QWidget *invalid = m_frame->focusFirstInvalid()) {
        if (invalid == txtAmount)
            m_prompts.message(txtAmount->refusalText(), MessageIcon::Warning);
        return;
    }
    Deadline edited = m_loaded;
    edited.type = imgcmbData->type();
    edited.date = datData->date();
    edited.description = txtDescription->text();
    edited.accountId = dtcData->boundValue();
    // An appointment carries no amount, whatever the record held.
    edited.value = edited.type == DeadlineType::Appointment ? Currency() : txtAmount->amount().value_or(Currency());
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
    addClientInto(this, dtcData, m_prompts);
}

void frmScadenze::keyPressEvent(QKeyEvent *event)
{
    if (!deadlineDialogKey(event, dtcData, [this] { cmdAnnulla_Click(); }, [this] { cmdAdd_Click(); }))
        QDialog::keyPressEvent(event);
}

} // namespace velto
