#include "ui/maintenance/frmrestore.h"

#include "app/localeinfo.h"
#include "app/mainmod.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "deadlines/undohistory.h"
#include "ui/common/refreshorder.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace velto {

namespace {

QString dateText(const QDateTime &t)
{
    return QLocale().toString(t.date(), fourDigitYearFormat(QLocale()));
}

// With seconds: backups minutes apart are common, and two rows must differ.
QString timeText(const QDateTime &t)
{
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    if (!format.contains(u's'))
        format.replace(QStringLiteral("mm"), QStringLiteral("mm:ss"));
    return QLocale().toString(t.time(), format);
}

QString sheetsText(const BackupInfo &b)
{
    if (!b.readable)
        return LoadResString(1703);
    QStringList parts;
    for (const SheetCount &s : b.sheets)
        parts << s.name + QStringLiteral(": ") + QLocale().toString(s.deadlines);
    return parts.join(QStringLiteral("; "));
}

} // namespace

void frmRestore::run(UserPrompts &prompts, QWidget *owner)
{
    frmRestore dialog(prompts, owner);
    dialog.exec();
}

frmRestore::frmRestore(UserPrompts &prompts, QWidget *parent) : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(LoadResString(1693));
    setAccessibleName(windowTitle());
    setModal(true);
    // Left through its own buttons, as every dialog of the program.
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
                   & ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));

    auto *lblList = new QLabel(LoadResString(1694), this);
    m_lst = new QTreeWidget(this);
    m_lst->setObjectName(QStringLiteral("lst"));
    m_lst->setRootIsDecorated(false);
    m_lst->setHeaderLabels({LoadResString(1695), LoadResString(1696), LoadResString(1697)});
    m_lst->setAccessibleName(LoadResString(1694).remove(u'&').remove(u':').trimmed());
    lblList->setBuddy(m_lst);
    m_lblFolder = new QLabel(this);
    m_lblFolder->setWordWrap(true);
    m_lblFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_cmdRestore = new QPushButton(LoadResString(1698), this);
    m_cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    m_cmdRestore->setDefault(true);
    m_cmdClose = new QPushButton(LoadResString(1324), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_lblFolder, 1);
    buttons->addWidget(m_cmdRestore);
    buttons->addWidget(m_cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblList);
    layout->addWidget(m_lst, 1);
    layout->addLayout(buttons);
    resize(640, 360);

    connect(m_cmdRestore, &QPushButton::clicked, this, &frmRestore::cmdRestore_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_lst, &QTreeWidget::itemActivated, this, &frmRestore::cmdRestore_Click);
    loadList();
}

void frmRestore::loadList()
{
    (void)listBackups(currentDatabase(), &m_backups);
    m_lst->clear();
    for (const BackupInfo &b : m_backups) {
        auto *item = new QTreeWidgetItem(m_lst, {dateText(b.made), timeText(b.made), sheetsText(b)});
        item->setToolTip(2, item->text(2));
    }
    m_lst->header()->resizeSections(QHeaderView::ResizeToContents);
    if (!m_backups.isEmpty())
        m_lst->setCurrentItem(m_lst->topLevelItem(0));
    m_cmdRestore->setEnabled(!m_backups.isEmpty());
    if (backedUpByServer(currentDatabase()))
        m_lblFolder->setText(LoadResString(1926));
    else
        m_lblFolder->setText(LoadResString(m_backups.isEmpty() ? 1701 : 1704) + u' '
                             + QDir::toNativeSeparators(backupFolderFor(currentDatabase())));
}

void frmRestore::cmdRestore_Click()
{
    const int row = m_lst->indexOfTopLevelItem(m_lst->currentItem());
    if (row < 0 || row >= m_backups.size())
        return;
    const BackupInfo chosen = m_backups[row];
    if (!m_prompts.askYesNo(LoadResString(1699).arg(dateText(chosen.made), timeText(chosen.made)), false))
        return;
    const Status st = restoreBackup(currentDatabase(), chosen.path);
    if (!st) {
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        loadList();
        return;
    }
    // Another file now stands at the same path: no change of this run
    // applies to it.
    programHistory().clear();
    PauseAfterWrite();
    // The restored file may not hold the active data sheet: the first one
    // is taken then, as at start.
    Status sheet;
    if (!followActiveSheet(&sheet) && !sheet)
        m_prompts.message(userMessage(sheet), MessageIcon::Critical);
    showOwnWrite(0, true);
    m_prompts.message(LoadResString(1700), MessageIcon::Information);
    accept();
}

} // namespace velto
