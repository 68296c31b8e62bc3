#include "ui/accounts/frmAccounts.h"

#include "app/datawatcher.h"
#include "app/mainmod.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "deadlines/clients.h"
#include "deadlines/undohistory.h"
#include "ui/accounts/frmNewAcc.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/vectorgridsource.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <cmath>

namespace velto {

namespace {
constexpr int kColId = 1;
constexpr int kColName = 2;
constexpr int kColNotes = 3;
} // namespace

frmAccounts::frmAccounts(QWidget *owner, UserPrompts &prompts) : QMainWindow(owner), m_prompts(prompts)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmAccounts"));
    setWindowFlag(Qt::Window);
    setWindowTitle(LoadResString(1320));
    setAccessibleName(windowTitle());

    QStyle *st = style();
    auto *aNew = new QAction(QIcon::fromTheme(QStringLiteral("contact-new"), st->standardIcon(QStyle::SP_FileIcon)),
                             LoadResString(303), this);
    aNew->setObjectName(QStringLiteral("mnuRecord0"));
    aNew->setShortcut(Qt::Key_F5);
    aNew->setToolTip(LoadResString(1340));
    auto *aEdit = new QAction(
        QIcon::fromTheme(QStringLiteral("document-properties"), st->standardIcon(QStyle::SP_FileDialogDetailedView)),
        LoadResString(304), this);
    aEdit->setObjectName(QStringLiteral("mnuRecord1"));
    aEdit->setToolTip(LoadResString(1341));
    auto *aDelete = new QAction(QIcon::fromTheme(QStringLiteral("edit-delete"), st->standardIcon(QStyle::SP_TrashIcon)),
                                LoadResString(306), this);
    aDelete->setObjectName(QStringLiteral("mnuRecord2"));
    aDelete->setShortcut(Qt::Key_Delete);
    aDelete->setToolTip(LoadResString(1342));
    auto *aPrint = new QAction(
        QIcon::fromTheme(QStringLiteral("document-print"), st->standardIcon(QStyle::SP_FileDialogContentsView)),
        LoadResString(205), this);
    aPrint->setObjectName(QStringLiteral("mnuFile0"));
    aPrint->setToolTip(LoadResString(907));
    auto *aExit = new QAction(
        QIcon::fromTheme(QStringLiteral("application-exit"), st->standardIcon(QStyle::SP_DialogCloseButton)),
        LoadResString(209), this);
    aExit->setObjectName(QStringLiteral("mnuFile2"));
    aExit->setToolTip(LoadResString(210));
    aExit->setShortcut(Qt::Key_Escape);

    QMenu *file = menuBar()->addMenu(LoadResString(201));
    file->setObjectName(QStringLiteral("mnuFileGrp"));
    file->addAction(aPrint);
    file->addSeparator();
    file->addAction(aExit);
    QMenu *record = menuBar()->addMenu(LoadResString(301));
    record->setObjectName(QStringLiteral("mnuRecordGrp"));
    record->addAction(aNew);
    record->addAction(aEdit);
    record->addAction(aDelete);

    tb = addToolBar(LoadResString(1649));
    tb->setAccessibleName(tb->windowTitle());
    tb->setObjectName(QStringLiteral("tb"));
    tb->setMovable(false);
    tb->setIconSize(QSize(24, 24));
    tb->addAction(aNew);
    tb->addAction(aEdit);
    tb->addAction(aDelete);
    tb->addSeparator();
    tb->addAction(aPrint);
    tb->addSeparator();
    tb->addAction(aExit);

    gex = new Grid(this);
    gex->setObjectName(QStringLiteral("gex"));
    gex->setAccessibleName(windowTitle());
    setCentralWidget(gex);
    m_status = new QLabel(LoadResString(1325), statusBar());
    m_status->setObjectName(QStringLiteral("sbPanel1"));
    statusBar()->addWidget(m_status, 1);

    gex->hide();
    rebind();
    if (gex->columnCount() >= kColNotes) {
        gex->setColumnWidth(kColId, 315);
        gex->setColumnCaption(kColId, QString());
        // The key column is a narrow marker column: the number itself is not shown.
        gex->setColumnTextHidden(kColId, true);
        gex->setColumnCaption(kColName, LoadResString(1321));
        gex->setColumnCaption(kColNotes, LoadResString(1322));
    }
    gex->setNavigatorText(LoadResString(1326));
    gex->show();
    resize(560, 400);

    connect(aNew, &QAction::triggered, this, &frmAccounts::NewAccount);
    connect(aEdit, &QAction::triggered, this, &frmAccounts::EditAccount);
    connect(aDelete, &QAction::triggered, this, &frmAccounts::DeleteAccount);
    connect(aPrint, &QAction::triggered, this, &frmAccounts::PrintList);
    connect(aExit, &QAction::triggered, this, &QWidget::close);
    connect(gex, &Grid::doubleClicked, this, &frmAccounts::EditAccount);
    connect(gex, &Grid::keyDown, this, [this](int &key, Qt::KeyboardModifiers) {
        if (gex->recordCount() < 1)
            return;
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            key = 0;
            EditAccount();
        } else if (key == Qt::Key_Delete) {
            key = 0;
            DeleteAccount();
        }
    });
    // Clients added, changed or deleted elsewhere show at once; the selected
    // one stays selected.
    connect(&dataWatcher(), &DataWatcher::dataChanged, this, [this] {
        const Grid::Place place = gex->place(1);
        rebind();
        gex->restorePlace(place);
    });
}

qint64 frmAccounts::currentAccountId() const
{
    const GridRow row = gex->row(gex->currentRow());
    return row.isValid() && !row.isGroupRow() ? gex->recordValue(row.bookmark(), QStringLiteral("Id")).toLongLong() : 0;
}

void frmAccounts::rebind()
{
    QList<Client> clients;
    const Status st = listClients(currentDatabase(), &clients);
    if (!st) {
        m_prompts.message(userMessage(st), MessageIcon::Critical);
        return;
    }
    QList<VectorGridSource::Row> rows;
    rows.reserve(clients.size());
    for (const Client &c : clients)
        rows.append({c.id, c.name, c.notes});
    gex->setRows(std::make_unique<VectorGridSource>(
        QStringList{QStringLiteral("Id"), QStringLiteral("Name"), QStringLiteral("Notes")}, rows));
}

void frmAccounts::sizeColumns()
{
    if (gex->columnCount() < kColNotes)
        return;
    const double twipsPerPixel = 1440.0 / logicalDpiX();
    const double scrollBar = app().ScrollBarWidth > 0
        ? app().ScrollBarWidth
        : style()->pixelMetric(QStyle::PM_ScrollBarExtent) * twipsPerPixel;
    const double w = gex->width() * twipsPerPixel - (345 + scrollBar);
    // A tiny window leaves no room; the widths are then left as they are.
    if (w <= 0)
        return;
    gex->setColumnWidth(kColName, int(std::lround(0.4 * w)));
    gex->setColumnWidth(kColNotes, int(std::lround(0.6 * w)));
}

void frmAccounts::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    sizeColumns();
}

void frmAccounts::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    sizeColumns();
}

void frmAccounts::NewAccount()
{
    frmNewAcc editor(this, m_prompts);
    if (editor.Nuovo(QString()) > 0)
        rebind();
}

void frmAccounts::EditAccount()
{
    if (gex->recordCount() < 1 || gex->currentRow() < 1 || gex->row(gex->currentRow()).isGroupRow())
        return;
    const qint64 id = currentAccountId();
    frmNewAcc editor(this, m_prompts);
    if (editor.Apri(id))
        rebind();
}

void frmAccounts::DeleteAccount()
{
    if (gex->recordCount() < 1 || gex->currentRow() < 1)
        return;
    const qint64 id = currentAccountId();
    // Named by a deadline of any data sheet: it stays, and nothing is asked.
    Status st = checkClientDeletable(currentDatabase(), id);
    if (!st) {
        m_prompts.message(userMessage(st), st.code() == kErrorInUse ? MessageIcon::Information : MessageIcon::Critical);
        return;
    }
    if (!m_prompts.askYesNo(LoadResString(1305), false))
        return;
    st = deleteClient(currentDatabase(), id, &programHistory());
    if (st)
        PauseAfterWrite();
    else
        m_prompts.message(userMessage(st), MessageIcon::Critical);
    rebind();
}

void frmAccounts::PrintList()
{
    QPrinter printer;
    if (!m_prompts.setUpPrinter(printer))
        return;
    QString error;
    if (!gex->print(&printer, &error))
        m_prompts.message(error, MessageIcon::Critical);
}

} // namespace velto
