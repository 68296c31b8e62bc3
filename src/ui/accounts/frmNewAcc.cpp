#include "ui/accounts/frmNewAcc.h"

#include "app/mainmod.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "data/catalogue.h"
#include "ui/common/dialogframe.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
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
    const char *fields[2] = {"AcName", "AcNotes"};
    auto *form = new QGridLayout;
    for (int i = 0; i < 2; ++i) {
        lblData[i] = new QLabel(LoadResString(captions[i]), this);
        lblData[i]->setObjectName(QStringLiteral("lblData%1").arg(i));
        txtData[i] = new QLineEdit(this);
        txtData[i]->setObjectName(QStringLiteral("txtData%1").arg(i));
        // As long as the column: the text cannot be typed longer than it keeps.
        txtData[i]->setMaxLength(std::min(fieldSize(u"Accounts", QString::fromLatin1(fields[i])), 65535));
        form->addWidget(lblData[i], i, 0);
        form->addWidget(txtData[i], i, 1);
    }
    txtData[0]->setMinimumWidth(280);
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
    DialogFrame::layOut(this, form, cmdSalva, cmdAnnulla, sb);

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

frmNewAcc::~frmNewAcc()
{
    m_row.close();
    m_conn.close();
}

QString frmNewAcc::statusText() const
{
    return m_frame->statusText();
}

bool frmNewAcc::openRow(const QString &source, bool isNew)
{
    Status st = m_conn.open(app().ConnectionString);
    if (st)
        st = m_row.open(source, m_conn);
    if (st && !isNew && m_row.eof())
        st = Status::failure(kErrorMissing, LoadResString(1604));
    if (!st) {
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        m_row.close();
        m_conn.close();
        return false;
    }
    if (isNew)
        m_row.addNew();
    return true;
}

qint64 frmNewAcc::Nuovo(const QString &name)
{
    setWindowTitle(LoadResString(1331));
    setAccessibleName(windowTitle());
    if (!openRow(QString::fromLatin1(sql::kAccountsTable), true))
        return 0;
    txtData[0]->setText(name);
    txtData[0]->setFocus();
    exec();
    return m_saved ? m_savedId : 0;
}

bool frmNewAcc::Apri(qint64 accountId)
{
    setWindowTitle(LoadResString(1330));
    setAccessibleName(windowTitle());
    if (!openRow(sql::editAccount(accountId), false))
        return false;
    txtData[0]->setText(NzStr(m_row.value(u"AcName"), QString()));
    txtData[1]->setText(NzStr(m_row.value(u"AcNotes"), QString()));
    txtData[0]->setFocus();
    exec();
    return m_saved;
}

void frmNewAcc::cmdSalva_Click()
{
    if (m_frame->focusFirstInvalid())
        return;
    Status st = m_row.setValue(u"AcName", txtData[0]->text());
    if (st)
        st = m_row.setValue(u"AcNotes", txtData[1]->text());
    if (st)
        st = m_row.update();
    if (!st) {
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        return;
    }
    m_savedId = m_row.value(u"AcId").toLongLong();
    m_saved = true;
    m_row.close();
    m_conn.close();
    PauseAfterWrite();
    finish();
}

void frmNewAcc::cmdAnnulla_Click()
{
    m_savedId = 0;
    m_saved = false;
    m_row.cancelUpdate();
    m_row.close();
    m_conn.close();
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
