#include "ui/maintenance/frmdelclosedrows.h"

#include "app/localeinfo.h"
#include "app/mainmod.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "deadlines/purge.h"
#include "deadlines/undohistory.h"
#include "ui/common/dialogframe.h"
#include "ui/common/refreshorder.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velto {

void frmDelClosedRows::run(UserPrompts &prompts, QWidget *owner)
{
    const QString question = LoadResString(1301) + QStringLiteral("\r\n\r\n") + LoadResString(1302);
    if (!prompts.askYesNo(question, true))
        return;
    frmDelClosedRows dialog(prompts, owner);
    dialog.exec();
}

frmDelClosedRows::frmDelClosedRows(UserPrompts &prompts, QWidget *parent) : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmDelClosedRows"));
    setWindowTitle(LoadResString(1300));
    setAccessibleName(LoadResString(1300).trimmed());
    setModal(true);
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
                   & ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));

    auto *lblData = new QLabel(LoadResString(1303), this);
    lblData->setWordWrap(true);
    m_dtp = new QDateEdit(today().addDays(-1), this);
    m_dtp->setObjectName(QStringLiteral("dtp"));
    m_dtp->setCalendarPopup(true);
    m_dtp->setDisplayFormat(fourDigitYearFormat(QLocale()));
    m_dtp->setAccessibleName(LoadResString(1303));
    lblData->setBuddy(m_dtp);

    const DialogFrame::ButtonRow buttons = DialogFrame::buttonRow(this, {.acceptText = 1306, .acceptIsDefault = true});
    m_cmdSalva = buttons.accept;
    m_cmdAnnulla = buttons.cancel;

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblData);
    layout->addWidget(m_dtp);
    layout->addStretch(1);
    layout->addWidget(buttons.box);
    resize(380, 150);

    connect(m_cmdSalva, &QPushButton::clicked, this, &frmDelClosedRows::cmdSalva_Click);
    connect(m_cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

void frmDelClosedRows::cmdSalva_Click()
{
    const int dbId = app().CurrentDbId;
    const QDate upTo = m_dtp->date();

    qint64 count = 0;
    Status st = countClosedUpTo(currentDatabase(), dbId, upTo, &count);
    if (!st) {
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        reject();
        return;
    }

    const QString found = LoadResString(1307);
    QString text = found == QStringLiteral(" ") ? QString() : found + u' ';
    text += QString::number(count) + u' ' + LoadResString(1308) + QStringLiteral("\r\n") + LoadResString(1305);
    if (!m_prompts.askYesNo(text, false)) {
        m_prompts.message(LoadResString(1323), MessageIcon::Information);
        reject();
        return;
    }

    st = purgeClosedUpTo(currentDatabase(), dbId, m_dtp->date(), nullptr, &programHistory());
    if (!st) {
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        reject();
        return;
    }
    m_prompts.message(LoadResString(1309), MessageIcon::Information);
    showOwnWrite();
    accept();
}

} // namespace velto
