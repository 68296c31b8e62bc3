#include "ui/accounts/frmNewAcc.h"

#include "app/mainmod.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "deadlines/undohistory.h"
#include "ui/common/dialogframe.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace velto {

frmNewAcc::frmNewAcc(QWidget *owner, UserPrompts &prompts) : QDialog(owner), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmNewAcc"));
    setModal(true);
    const int captions[2] = {1332, 1333};
    const int tips[2] = {1335, 1336};
    const int limits[2] = {clientNameMaxLength(), clientNotesMaxLength()};
    auto *form = new QGridLayout;
    for (int i = 0; i < 2; ++i) {
        lblData[i] = new QLabel(LoadResString(captions[i]), this);
        lblData[i]->setObjectName(QStringLiteral("lblData%1").arg(i));
        txtData[i] = new QLineEdit(this);
        txtData[i]->setObjectName(QStringLiteral("txtData%1").arg(i));
        // As long as the column: the text cannot be typed longer than it keeps.
        txtData[i]->setMaxLength(std::min(limits[i], 65535));
        form->addWidget(lblData[i], i, 0);
        form->addWidget(txtData[i], i, 1);
    }
    txtData[0]->setMinimumWidth(280);
    const DialogFrame::ButtonRow buttons = DialogFrame::buttonRow(this);
    cmdSalva = buttons.accept;
    cmdAnnulla = buttons.cancel;
    sb = new QStatusBar(this);
    sb->setObjectName(QStringLiteral("sb"));
    DialogFrame::layOut(this, form, buttons.box, sb);

    m_frame = new DialogFrame(this, sb);
    for (int i = 0; i < 2; ++i) {
        m_frame->setHelp(txtData[i], tips[i]);
        m_frame->enterAsTab(txtData[i]);
        m_frame->linkLabel(lblData[i], txtData[i]);
    }
    m_frame->setHelp(cmdSalva, 1116);
    m_frame->setHelp(cmdAnnulla, 1117);
    m_frame->addValidation(txtData[0], [this] { return !txtData[0]->text().isEmpty(); });
    connect(cmdSalva, &QPushButton::clicked, this, [this] { cmdSalva_Click(); });
    connect(cmdAnnulla, &QPushButton::clicked, this, [this] { cmdAnnulla_Click(); });
    DialogFrame::RemoveCloseCommand(this);
}

frmNewAcc::~frmNewAcc() = default;

QString frmNewAcc::statusText() const
{
    return m_frame->statusText();
}

void frmNewAcc::startClean(int titleId)
{
    setWindowTitle(LoadResString(titleId));
    setAccessibleName(windowTitle());
    m_savedId = 0;
    m_saved = false;
    m_finished = false;
    m_asLoaded = Client();
    showClient(m_asLoaded);
}

void frmNewAcc::showClient(const Client &client)
{
    txtData[0]->setText(client.name);
    txtData[1]->setText(client.notes);
    txtData[0]->setFocus();
}

qint64 frmNewAcc::Nuovo(const QString &name)
{
    startClean(1331);
    m_isNew = true;
    txtData[0]->setText(name);
    exec();
    return m_saved ? m_savedId : 0;
}

bool frmNewAcc::Apri(qint64 accountId)
{
    startClean(1330);
    m_isNew = false;
    const Status st = loadClient(currentDatabase(), accountId, &m_asLoaded);
    if (!st) {
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        return false;
    }
    showClient(m_asLoaded);
    exec();
    return m_saved;
}

void frmNewAcc::cmdSalva_Click()
{
    if (m_frame->focusFirstInvalid())
        return;
    const Client edited{m_asLoaded.id, txtData[0]->text(), txtData[1]->text()};
    qint64 id = m_asLoaded.id;
    const Status st = m_isNew ? createClient(currentDatabase(), edited, &id, &programHistory())
                              : saveClient(currentDatabase(), edited, m_asLoaded, &programHistory());
    if (st.code() == kErrorChangedMeanwhile) {
        m_prompts.message(userMessage(st), MessageIcon::Warning);
        // Shown as it now is: a second save writes over what the user has
        // now seen, never over what was hidden.
        const Status reread = loadClient(currentDatabase(), m_asLoaded.id, &m_asLoaded);
        if (reread) {
            showClient(m_asLoaded);
            return;
        }
        m_prompts.message(userMessage(reread), MessageIcon::Critical);
        cmdAnnulla_Click();
        return;
    }
    if (st.code() == kErrorMissing) {
        // Deleted meanwhile: there is nothing left to save into.
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        cmdAnnulla_Click();
        return;
    }
    if (!st) {
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        return;
    }
    m_savedId = id;
    m_saved = true;
    PauseAfterWrite();
    finish();
}

void frmNewAcc::cmdAnnulla_Click()
{
    m_savedId = 0;
    m_saved = false;
    finish();
}

void frmNewAcc::finish()
{
    m_finished = true;
    hide();
}

void frmNewAcc::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        cmdAnnulla_Click();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmNewAcc::closeEvent(QCloseEvent *event)
{
    // Closing through the window system is a cancel.
    if (!m_finished) {
        cmdAnnulla_Click();
    }
    QDialog::closeEvent(event);
}

} // namespace velto
