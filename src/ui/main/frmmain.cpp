#include "ui/main/frmmain.h"

#include "app/datawatcher.h"
#include "app/languages.h"
#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/startup.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "deadlines/datasheets.h"
#include "deadlines/icalexport.h"
#include "deadlines/undohistory.h"
#include "ui/about/frmabout.h"
#include "ui/accounts/managecounts.h"
#include "ui/common/dialogframe.h"
#include "ui/common/refreshorder.h"
#include "ui/main/exportprint.h"
#include "ui/main/helpwindow.h"
#include "ui/main/mainicons.h"
#include "ui/main/recordcommands.h"
#include "ui/maintenance/frmdelclosedrows.h"
#include "ui/maintenance/frmoptions.h"
#include "ui/maintenance/frmrestore.h"
#include "ui/sheets/frmscadenziari.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/monthview.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace velto {

namespace {

QAction *separatorIn(QMenu *menu, QList<QAction *> &items)
{
    QAction *a = menu->addSeparator();
    items.append(a);
    return a;
}

// The caption designed as a message id, translated for this run.
QString caption(int id)
{
    return LoadResString(id);
}

} // namespace

frmMain::frmMain(UserPrompts &prompts, QWidget *parent) : QMainWindow(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(icons::icon(icons::Kind::AppPicture));
    buildMenus();
    buildToolbars();
    buildUndoActions();
    buildCentre();
    buildStatusBar();
    m_commands = new RecordCommands(this, *m_gex, m_prompts);
    wireCommands();
    buildSearchAndCashFlow();
    setMinimumSize(toPixelsX(kMinWidthTwips), toPixelsY(kMinHeightTwips));
    Form_Initialize();
    setMainRefresh(this);
    connect(&dataWatcher(), &DataWatcher::dataChanged, this, &frmMain::showDataChange);
}

frmMain::~frmMain()
{
    // The base class's destructor still hides the children (the grid then
    // lays out its rows again) and moves the focus; by then nothing may reach
    // this window's slots.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    disconnect(&dataWatcher(), nullptr, this, nullptr);
    dataWatcher().stop();
    const QList<QObject *> children = findChildren<QObject *>();
    for (QObject *child : children)
        child->disconnect(this);
    if (mainRefresh() == this)
        setMainRefresh(nullptr);
    programHistory().setListener(nullptr);
}

void frmMain::Form_Initialize()
{
    // The options as stored; the language stays the one the start chose.
    Preferences &p = preferences();
    const Preferences stored = Preferences::load();
    p.saveLayout = stored.saveLayout;
    p.showGroupTotals = stored.showGroupTotals;
    p.showGroupCounters = stored.showGroupCounters;
    p.layout = stored.layout;
}

// ---------------------------------------------------------------- building

void frmMain::buildUndoActions()
{
    m_actUndo = new QAction(icons::icon(icons::Kind::Undo), QString(), this);
    m_actUndo->setObjectName(QStringLiteral("actUndo"));
    m_actUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_actRedo = new QAction(icons::icon(icons::Kind::Redo), QString(), this);
    m_actRedo->setObjectName(QStringLiteral("actRedo"));
    m_actRedo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    // Inserted, not appended to the numbered lists: no index there moves.
    QAction *first = m_mnuRecord.value(0);
    m_mnuRecordGrp->insertAction(first, m_actUndo);
    m_mnuRecordGrp->insertAction(first, m_actRedo);
    m_mnuRecordGrp->insertSeparator(first);
    m_tb->addSeparator();
    m_tb->addAction(m_actUndo);
    m_tb->addAction(m_actRedo);
    connect(m_actUndo, &QAction::triggered, this, &frmMain::mnuUndo_Click);
    connect(m_actRedo, &QAction::triggered, this, &frmMain::mnuRedo_Click);
    // The history belongs to the database the windows show: opening the
    // menu after the folder changed finds it empty.
    connect(m_mnuRecordGrp, &QMenu::aboutToShow, this, [this] {
        programHistory().follow(currentDatabase());
        updateUndoActions();
    });
    programHistory().setListener([this] { updateUndoActions(); });
    updateUndoActions();
}

void frmMain::updateUndoActions()
{
    const UndoHistory &h = programHistory();
    const struct {
        QAction *action;
        QString text;
        bool enabled;
    } items[] = {{m_actUndo, h.undoText(), h.canUndo()}, {m_actRedo, h.redoText(), h.canRedo()}};
    for (const auto &item : items) {
        item.action->setText(item.text);
        // The tooltip and screen readers show the text without its access key.
        QString plain = item.text;
        plain.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
            .remove(u'&')
            .replace(QStringLiteral("\x01"), QStringLiteral("&"));
        item.action->setToolTip(plain);
        item.action->setEnabled(item.enabled);
    }
}

void frmMain::stepHistory(bool back)
{
    UndoHistory &h = programHistory();
    h.follow(currentDatabase());
    const RecordedChange *change = back ? h.nextUndo() : h.nextRedo();
    if (!change)
        return;
    const int active = app().CurrentDbId;
    // A change of another data sheet is taken back where the user sees it;
    // that sheet becomes the active one only when the step is taken.
    QString sheetName;
    const bool otherSheet = change->sheetId != 0 && change->sheetId != active
        && dataSheetName(currentDatabase(), change->sheetId, &sheetName);
    const int stepSheet = otherSheet ? change->sheetId : active;
    qint64 rowId = 0;
    const Status st =
        back ? h.undo(currentDatabase(), stepSheet, &rowId) : h.redo(currentDatabase(), stepSheet, &rowId);
    bool switched = false;
    if (!st) {
        const bool refused = st.code() == kErrorChangedMeanwhile || st.code() == kErrorInUse;
        m_prompts.message(userMessage(st), refused ? MessageIcon::Information : MessageIcon::Critical);
    } else if (otherSheet) {
        const Status selected = selectActiveSheet(stepSheet);
        switched = selected || app().CurrentDbId == stepSheet;
        if (!selected)
            showError(userMessage(selected));
    }
    PauseAfterWrite();
    // The step may have renamed the active data sheet the status bar names.
    LoadCurrentDbName();
    showOwnWrite(rowId, switched);
}

void frmMain::mnuUndo_Click()
{
    stepHistory(true);
}
void frmMain::mnuRedo_Click()
{
    stepHistory(false);
}

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setAccessibleName(LoadResString(1594));

    m_mnuFileGrp = bar->addMenu(QStringLiteral("201"));
    m_mnuFile << m_mnuFileGrp->addAction(QStringLiteral("203"));
    m_mnuFile[0]->setShortcut(Qt::Key_F12);
    separatorIn(m_mnuFileGrp, m_mnuFile);
    m_mnuFile << m_mnuFileGrp->addAction(QStringLiteral("205"));
    m_mnuFile[2]->setShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_F12));
    m_mnuFile << m_mnuFileGrp->addAction(QStringLiteral("207"));
    separatorIn(m_mnuFileGrp, m_mnuFile);
    m_mnuFile << m_mnuFileGrp->addAction(QStringLiteral("209"));
    connect(m_mnuFile[5], &QAction::triggered, this, &QWidget::close);
    m_actExportCalendar = new QAction(QStringLiteral("1720"), this);
    m_actExportCalendar->setObjectName(QStringLiteral("actExportCalendar"));
    m_mnuFileGrp->insertAction(m_mnuFile[4], m_actExportCalendar);
    connect(m_actExportCalendar, &QAction::triggered, this, &frmMain::mnuExportCalendar_Click);
    // Kept out of the indexed list, whose numbers the File commands go by.
    m_actRestore = new QAction(this);
    m_actRestore->setObjectName(QStringLiteral("actRestore"));
    m_mnuFileGrp->insertAction(m_mnuFile[4], m_actRestore);

    m_mnuRecordGrp = bar->addMenu(QStringLiteral("301"));
    m_mnuRecord << m_mnuRecordGrp->addAction(QStringLiteral("303"));
    m_mnuRecord[0]->setShortcut(Qt::Key_F5);
    m_mnuRecord << m_mnuRecordGrp->addAction(QStringLiteral("304"));
    m_mnuRecord << m_mnuRecordGrp->addAction(QStringLiteral("305"));
    m_mnuRecord << m_mnuRecordGrp->addAction(QStringLiteral("306"));
    m_mnuRecord[3]->setShortcut(Qt::Key_Delete);
    separatorIn(m_mnuRecordGrp, m_mnuRecord);
    m_mnuRecord << m_mnuRecordGrp->addAction(QStringLiteral("307"));
    m_mnuRecord << m_mnuRecordGrp->addAction(QStringLiteral("309"));

    m_mnuViewGrp = bar->addMenu(QStringLiteral("401"));
    m_mnuView << m_mnuViewGrp->addAction(QStringLiteral("403"));
    m_mnuView[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F5));
    separatorIn(m_mnuViewGrp, m_mnuView);
    m_mnuGroupbyMenu = new QMenu(QStringLiteral("410"), this);
    m_mnuView << m_mnuViewGrp->addMenu(m_mnuGroupbyMenu);
    separatorIn(m_mnuViewGrp, m_mnuView);
    m_mnuView << m_mnuViewGrp->addAction(QStringLiteral("311"));
    m_mnuView << m_mnuViewGrp->addAction(QStringLiteral("313"));
    separatorIn(m_mnuViewGrp, m_mnuView);
    m_mnuView << m_mnuViewGrp->addAction(QStringLiteral("419"));

    m_layoutGroup = new QActionGroup(this);
    m_layoutGroup->setExclusive(true);
    for (int g = 0; g < 4; ++g) {
        QAction *a = m_mnuGroupbyMenu->addAction(QString::number(412 + g));
        a->setCheckable(true);
        m_layoutGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, g] { applyLayout(Layout(g)); });
        m_mnuGroupby << a;
    }

    m_mnuToolsGrp = bar->addMenu(QStringLiteral("501"));
    m_mnuTools << m_mnuToolsGrp->addAction(QStringLiteral("503"));
    separatorIn(m_mnuToolsGrp, m_mnuTools);
    m_mnuLangsMenu = new QMenu(QStringLiteral("504"), this);
    m_mnuTools << m_mnuToolsGrp->addMenu(m_mnuLangsMenu);
    separatorIn(m_mnuToolsGrp, m_mnuTools);
    m_mnuTools << m_mnuToolsGrp->addAction(QStringLiteral("506"));
    connect(m_mnuTools[4], &QAction::triggered, this, &frmMain::changeDatabaseFolder);

    for (const LanguageMenuItem &item : languageMenuItems()) {
        if (item.separator) {
            separatorIn(m_mnuLangsMenu, m_mnuLangs);
            continue;
        }
        QAction *a = m_mnuLangsMenu->addAction(item.captionId ? QString::number(item.captionId) : item.fixedCaption);
        a->setCheckable(true);
        const int index = item.index;
        connect(a, &QAction::triggered, this, [this, index] { mnuLangs_Click(index); });
        m_mnuLangs << a;
    }

    m_mnuHelpGrp = bar->addMenu(QStringLiteral("601"));
    m_mnuHelp << m_mnuHelpGrp->addAction(QStringLiteral("603"));
    m_mnuHelp[0]->setShortcut(Qt::Key_F1);
    separatorIn(m_mnuHelpGrp, m_mnuHelp);
    m_mnuHelp << m_mnuHelpGrp->addAction(QStringLiteral("607"));
}

void frmMain::buildToolbars()
{
    using icons::Kind;
    m_tb = addToolBar(QStringLiteral("tb"));
    m_tb->setObjectName(QStringLiteral("tb"));
    m_tb->setMovable(false);
    m_tb->setFloatable(false);
    m_tb->setIconSize(QSize(24, 24));
    m_tb->setContextMenuPolicy(Qt::PreventContextMenu);
    auto button = [this](Kind kind, int tipId) {
        QAction *a = m_tb->addAction(icons::icon(kind), QString());
        a->setToolTip(QString::number(tipId));
        m_tbButtons << a;
    };
    auto separator = [this] { m_tbButtons << m_tb->addSeparator(); };
    button(Kind::NewRow, 901);
    button(Kind::EditRow, 902);
    button(Kind::ToggleDone, 903);
    button(Kind::DeleteRow, 904);
    separator();
    button(Kind::Accounts, 905);
    separator();
    button(Kind::Print, 907);
    button(Kind::Export, 909);
    separator();
    button(Kind::Options, 911);

    // The filter strip: "Show:", the filter list and the layout buttons.
    m_picTools = addToolBar(QStringLiteral("picTools"));
    m_picTools->setObjectName(QStringLiteral("picTools"));
    m_picTools->setMovable(false);
    m_picTools->setFloatable(false);
    m_picTools->setContextMenuPolicy(Qt::PreventContextMenu);
    m_lblShow = new QLabel(QStringLiteral("981"), m_picTools);
    m_lblShow->setObjectName(QStringLiteral("lblShow"));
    m_lblShow->setContentsMargins(8, 0, 4, 0);
    m_cmbFilter = new QComboBox(m_picTools);
    m_cmbFilter->setObjectName(QStringLiteral("cmbFilter"));
    m_cmbFilter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_cmbFilter->setMinimumContentsLength(28);
    m_lblShow->setBuddy(m_cmbFilter);
    m_picTools->addWidget(m_lblShow);
    m_picTools->addWidget(m_cmbFilter);
    m_cmbFilter->installEventFilter(this);
    connect(m_cmbFilter, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_loaded)
            return;
        gexUpdate(index);
        m_gex->setFocus();
        picStartVisible();
    });

    m_tbLayout = addToolBar(QStringLiteral("tbLayout"));
    m_tbLayout->setObjectName(QStringLiteral("tbLayout"));
    m_tbLayout->setMovable(false);
    m_tbLayout->setFloatable(false);
    m_tbLayout->setIconSize(QSize(20, 20));
    m_tbLayout->setContextMenuPolicy(Qt::PreventContextMenu);
    auto spacer = new QWidget(m_tbLayout);
    spacer->setFixedWidth(toPixelsX(45));
    m_tbLayoutButtons << m_tbLayout->addWidget(spacer);
    auto layoutButton = [this](Kind kind, int tipId) {
        QAction *a = m_tbLayout->addAction(icons::icon(kind), QString());
        a->setToolTip(QString::number(tipId));
        m_tbLayoutButtons << a;
        return a;
    };
    layoutButton(Kind::ExpandAll, 913);
    layoutButton(Kind::CollapseAll, 915);
    m_tbLayoutButtons << m_tbLayout->addSeparator();
    const Kind layoutKinds[] = {Kind::LayoutSimple, Kind::LayoutDate, Kind::LayoutMonth, Kind::LayoutAccount};
    auto *buttons = new QActionGroup(this);
    buttons->setExclusive(true);
    for (int g = 0; g < 4; ++g) {
        QAction *a = layoutButton(layoutKinds[g], 412 + g);
        a->setCheckable(true);
        buttons->addAction(a);
        connect(a, &QAction::triggered, this, [this, g] { applyLayout(Layout(g)); });
        // The accessibility interface's toggle checks the button and its
        // action without triggering it: a check that no trigger followed
        // switches the layout too.
        connect(a, &QAction::toggled, this, [this, g](bool on) {
            if (on)
                QTimer::singleShot(0, this, [this, g] {
                    if (preferences().layout != Layout(g))
                        applyLayout(Layout(g));
                });
        });
    }
}

void frmMain::buildCentre()
{
    auto *centre = new QWidget(this);
    centre->setObjectName(QStringLiteral("centre"));
    auto *row = new QHBoxLayout(centre);
    row->setContentsMargins(0, toPixelsY(6), 0, 0);
    row->setSpacing(toPixelsX(30));

    auto *left = new QWidget(centre);
    auto *leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    leftColumn->setSpacing(toPixelsY(16));
    m_gex = new Grid(left);
    m_gex->setObjectName(QStringLiteral("gex"));
    m_gex->setAccessibleName(LoadResString(1595));
    m_gex->installEventFilter(this);
    leftColumn->addWidget(m_gex, 1);

    m_accNotes = new QWidget(left);
    m_accNotes->setObjectName(QStringLiteral("accNotes"));
    auto *notes = new QHBoxLayout(m_accNotes);
    notes->setContentsMargins(4, 0, 4, 2);
    m_imgAcc = new QLabel(m_accNotes);
    m_imgAcc->setObjectName(QStringLiteral("imgAcc"));
    m_imgAcc->setPixmap(icons::icon(icons::Kind::Account).pixmap(16, 16));
    m_imgAcc->setAccessibleName(LoadResString(1015));
    m_imgAcc->setVisible(false);
    m_lblAccNotes = new QLabel(m_accNotes);
    m_lblAccNotes->setObjectName(QStringLiteral("lblAccNotes"));
    m_lblAccNotes->setTextFormat(Qt::PlainText);
    m_lblAccNotes->setMinimumHeight(fontMetrics().height() + 4);
    notes->addWidget(m_imgAcc);
    notes->addWidget(m_lblAccNotes, 1);
    leftColumn->addWidget(m_accNotes);
    row->addWidget(left, 1);

    // The calendar at the right, the start list under it.
    m_side = new QWidget(centre);
    auto *sideColumn = new QVBoxLayout(m_side);
    sideColumn->setContentsMargins(0, 0, 0, 0);
    sideColumn->setSpacing(toPixelsY(30));
    m_mv = new MonthView(m_side);
    m_mv->setObjectName(QStringLiteral("mv"));
    m_mv->setAccessibleName(LoadResString(1596));
    m_mv->setFixedSize(m_mv->sizeHint().expandedTo(QSize(toPixelsX(3400), 0)));
    m_side->setFixedWidth(m_mv->width());
    sideColumn->addWidget(m_mv);
    m_gextasks = new Grid(m_side);
    m_gextasks->setObjectName(QStringLiteral("gextasks"));
    m_gextasks->setAccessibleName(LoadResString(1597));
    m_gextasks->installEventFilter(this);
    sideColumn->addWidget(m_gextasks, 1);
    row->addWidget(m_side);

    // The start panel lies over the middle of the empty grid.
    m_picStart = new QWidget(m_gex);
    m_picStart->setObjectName(QStringLiteral("picStart"));
    m_picStart->setAccessibleName(LoadResString(1598));
    m_picStart->setAutoFillBackground(true);
    auto *start = new QVBoxLayout(m_picStart);
    start->setContentsMargins(24, 16, 24, 16);
    auto *startPicture = new QLabel(m_picStart);
    startPicture->setPixmap(icons::icon(icons::Kind::AppPicture).pixmap(64, 64));
    startPicture->setAlignment(Qt::AlignCenter);
    m_lblStart = new QLabel(QStringLiteral("Velto"), m_picStart);
    m_lblStart->setObjectName(QStringLiteral("lblStart"));
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(26);
    f.setBold(true);
    m_lblStart->setFont(f);
    m_lblStart->setAlignment(Qt::AlignCenter);
    m_lblStart->setStyleSheet(QStringLiteral("color: #254b6c"));
    m_lblStartHint = new QLabel(m_picStart);
    m_lblStartHint->setAlignment(Qt::AlignCenter);
    m_lblStartHint->setStyleSheet(QStringLiteral("color: #606060"));
    start->addWidget(startPicture);
    start->addWidget(m_lblStart);
    start->addWidget(m_lblStartHint);
    m_picStart->installEventFilter(this);
    m_lblStart->installEventFilter(this);
    startPicture->installEventFilter(this);
    m_picStart->hide();

    setCentralWidget(centre);
}

void frmMain::buildStatusBar()
{
    QStatusBar *sb = statusBar();
    sb->setObjectName(QStringLiteral("sb"));
    sb->setSizeGripEnabled(true);
    m_sbText = new QLabel(sb);
    m_sbText->setObjectName(QStringLiteral("sbPanel1"));
    m_sbText->setTextFormat(Qt::PlainText);
    sb->addWidget(m_sbText, 1);
    auto *panel2 = new QWidget(sb);
    auto *p2 = new QHBoxLayout(panel2);
    p2->setContentsMargins(4, 0, 8, 0);
    p2->setSpacing(0);
    m_sbImage = new QLabel(panel2);
    m_sbImage->setObjectName(QStringLiteral("sbPanel2Picture"));
    m_sbSheet = new QLabel(panel2);
    m_sbSheet->setObjectName(QStringLiteral("sbPanel2"));
    m_sbSheet->setTextFormat(Qt::PlainText);
    m_sbSheet->setMinimumWidth(toPixelsX(2400));
    p2->addWidget(m_sbImage);
    p2->addWidget(m_sbSheet);
    sb->addPermanentWidget(panel2);
}

// Commands of other windows. Each row: the slot and the menu items and
// buttons that run it, and whether the command is there yet. Wiring one
// command is the slot's body and "true" in its row.
void frmMain::wireCommands()
{
    struct Command {
        void (frmMain::*slot)();
        QList<QAction *> triggers;
        bool ready;
    };
    const Command commands[] = {
        {&frmMain::mnuScadenziari_Click, {m_mnuFile[0]}, true},
        {&frmMain::mnuPrint_Click, {m_mnuFile[2], tbButton(8)}, true},
        {&frmMain::mnuExport_Click, {m_mnuFile[3], tbButton(9)}, true},
        {&frmMain::mnuNew_Click, {m_mnuRecord[0], tbButton(1)}, true},
        {&frmMain::mnuEdit_Click, {m_mnuRecord[1], tbButton(2)}, true},
        {&frmMain::mnuToggleDone_Click, {m_mnuRecord[2], tbButton(3)}, true},
        {&frmMain::mnuDelete_Click, {m_mnuRecord[3], tbButton(4)}, true},
        {&frmMain::mnuFirst_Click, {m_mnuRecord[5]}, true},
        {&frmMain::mnuLast_Click, {m_mnuRecord[6]}, true},
        {&frmMain::mnuAccounts_Click, {m_mnuView[0], tbButton(6)}, true},
        {&frmMain::mnuExpand_Click, {m_mnuView[4], tbLayoutButton(2)}, true},
        {&frmMain::mnuCollapse_Click, {m_mnuView[5], tbLayoutButton(3)}, true},
        {&frmMain::mnuOptions_Click, {m_mnuView[7]}, true},
        {&frmMain::tbOptions_Click, {tbButton(11)}, true},
        {&frmMain::mnuDelClosed_Click, {m_mnuTools[0]}, true},
        {&frmMain::mnuHelpContents_Click, {m_mnuHelp[0]}, true},
        {&frmMain::mnuAbout_Click, {m_mnuHelp[2]}, true},
        {&frmMain::mnuRestore_Click, {m_actRestore}, true},
    };
    for (const Command &c : commands) {
        for (QAction *a : c.triggers) {
            connect(a, &QAction::triggered, this, c.slot);
            a->setEnabled(c.ready);
        }
    }
}

// ---------------------------------------------------------------- commands of other windows

void frmMain::mnuScadenziari_Click()
{
    frmScadenziari dialog(m_prompts, this);
    dialog.exec();
}
void frmMain::mnuPrint_Click()
{
    PrintGrid(*m_gex, m_prompts);
}
void frmMain::mnuExport_Click()
{
    ExportGrid(*m_gex, m_prompts);
}
void frmMain::mnuExportCalendar_Click()
{
    SaveFileRequest request;
    request.title = QStringLiteral("Velto - ") + LoadResString(1721);
    request.filter = qtFileFilter(LoadResString(1722));
    request.defaultSuffix = QStringLiteral("ics");
    const QString path = m_prompts.chooseSaveFile(request);
    if (path.isEmpty())
        return;
    if (const Status st = exportCalendar(currentDatabase(), app().CurrentDbId, path); !st)
        m_prompts.message(userMessage(st), MessageIcon::Critical);
}
void frmMain::mnuNew_Click()
{
    m_commands->NewDeadline(m_gex->currentRow());
}
void frmMain::mnuEdit_Click()
{
    m_commands->EditDeadline();
}
void frmMain::mnuToggleDone_Click()
{
    m_commands->ToggleDone();
}
void frmMain::mnuDelete_Click()
{
    m_commands->DeleteDeadline(m_gex->currentRow());
}
void frmMain::mnuFirst_Click()
{
    m_commands->FirstRow();
}
void frmMain::mnuLast_Click()
{
    m_commands->LastRow();
}
void frmMain::mnuAccounts_Click()
{
    ManageCounts(this, m_prompts);
}
void frmMain::mnuExpand_Click()
{
    m_commands->ExpandAll();
}
void frmMain::mnuCollapse_Click()
{
    m_commands->CollapseAll();
}
void frmMain::mnuOptions_Click()
{
    frmOptions::runFromViewMenu(m_prompts, this);
}
void frmMain::tbOptions_Click()
{
    // From the toolbar the grid shows the change at its next reload.
    frmOptions dialog(m_prompts, this);
    dialog.exec();
}
void frmMain::mnuDelClosed_Click()
{
    frmDelClosedRows::run(m_prompts, this);
}
void frmMain::mnuHelpContents_Click()
{
    showHelp(this, &m_prompts);
}
void frmMain::mnuAbout_Click()
{
    frmAbout::showAbout(m_prompts, this);
}
void frmMain::mnuRestore_Click()
{
    frmRestore::run(m_prompts, this);
}

// ---------------------------------------------------------------- load

void frmMain::loadTexts()
{
    for (QMenu *m : {m_mnuFileGrp, m_mnuRecordGrp, m_mnuViewGrp, m_mnuToolsGrp, m_mnuHelpGrp})
        m->setTitle(translateCaption(m->title()));
    m_actExportCalendar->setText(translateCaption(m_actExportCalendar->text()));
    for (const QList<QAction *> *items : {&m_mnuFile, &m_mnuRecord, &m_mnuView, &m_mnuTools, &m_mnuHelp}) {
        for (QAction *a : *items) {
            if (!a->isSeparator())
                a->setText(translateCaption(a->text()));
        }
    }
    m_mnuGroupbyMenu->setTitle(translateCaption(m_mnuGroupbyMenu->title()));
    m_mnuLangsMenu->setTitle(translateCaption(m_mnuLangsMenu->title()));
    // Space and Ctrl+1 to Ctrl+4 belong to the grid, the filter and the
    // calendar; the menu only shows them. Bound to the menu items alone,
    // they are drawn in the menu and announced as the items' keys, and
    // fire nowhere else.
    m_mnuRecord[2]->setShortcut(Qt::Key_Space);
    m_mnuRecord[2]->setShortcutContext(Qt::WidgetShortcut);
    m_mnuRecordGrp->installEventFilter(this);
    menuBar()->installEventFilter(this);
    for (int g = 0; g < m_mnuGroupby.size(); ++g) {
        QAction *a = m_mnuGroupby[g];
        a->setText(caption(412 + g));
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + g)));
        a->setShortcutContext(Qt::WidgetShortcut);
        a->setChecked(Layout(g) == preferences().layout);
    }
    m_mnuLangs[0]->setText(caption(505));
    m_actRestore->setText(caption(1692));
    m_actRestore->setStatusTip(caption(1705));

    for (const QList<QAction *> *buttons : {&m_tbButtons, &m_tbLayoutButtons}) {
        for (QAction *a : *buttons) {
            if (!a->toolTip().isEmpty() && !a->isSeparator()) {
                a->setToolTip(translateCaption(a->toolTip()));
                a->setText(a->toolTip()); // read by screen readers
            }
        }
    }
    m_tb->setWindowTitle(caption(301).remove(QLatin1Char('&')));
    m_tb->setAccessibleName(m_tb->windowTitle());
    m_tbLayout->setWindowTitle(caption(410).remove(QLatin1Char('&')));
    m_tbLayout->setAccessibleName(m_tbLayout->windowTitle());
    m_picTools->setWindowTitle(caption(981));
    m_picTools->setAccessibleName(m_picTools->windowTitle());
    m_lblShow->setText(caption(981));
    updateUndoActions();
    m_cmbFilter->setAccessibleName(DialogFrame::labelName(caption(981)));
    m_cmbFilter->setAccessibleDescription(caption(980));
    m_lblStartHint->setText(caption(901));
    m_mv->setAccessibleName(caption(958));
    m_mv->setBoldDayDescription(caption(1646));
    m_picStart->setAccessibleName(QStringLiteral("Velto - ") + caption(901));
    loadSearchAndCashFlowTexts();
}

void frmMain::restoreLayoutSettings()
{
    Preferences &p = preferences();
    // Without a remembered layout these are the defaults already.
    const Preferences stored = Preferences::load();
    if (stored.saveLayout) {
        if (stored.maximized)
            setWindowState(windowState() | Qt::WindowMaximized);
        else
            resize(toPixelsX(stored.widthTwips), toPixelsY(stored.heightTwips));
    }
    m_cmbFilter->setCurrentIndex(stored.view < kFilterCount ? stored.view : 0);
    p.layout = stored.layout;
    p.sortColumn = stored.sortColumn;
    p.sortAscending = stored.sortAscending;
}

void frmMain::Form_Load()
{
    AppState &s = app();
    m_loaded = false;
    setWindowTitle(s.AppTitle);
    CounterSeparator = QLatin1Char(' ') + caption(1050) + QLatin1Char(' ');
    m_gex->setUpdatesEnabled(false);

    m_cmbFilter->blockSignals(true);
    m_cmbFilter->clear();
    for (int i = 0; i < kFilterCount; ++i) {
        FILTER[i] = caption(951 + i);
        m_cmbFilter->addItem(FILTER[i]);
    }
    m_cmbFilter->blockSignals(false);
    restoreLayoutSettings();
    loadTexts();

    m_mv->setValue(today());
    setupGrid();
    setupStartList();
    // Locale first day: 0 = Monday .. 6 = Sunday.
    bool ok = false;
    const int first = GetLocaleString(LOCALE_USER_DEFAULT, LOCALE_IFIRSTDAYOFWEEK).toInt(&ok);
    if (ok && first >= 0 && first <= 6)
        m_mv->setFirstDayOfWeek(Qt::DayOfWeek(first + 1));

    // Sorted and grouped before the first rows come, and loaded once for
    // the stored filter and layout: every step after a load would sort or
    // rebuild all of its rows again.
    const Preferences &prefs = preferences();
    if (m_gex->sortKeyCount() == 0)
        m_gex->addSortKey(prefs.sortColumn, prefs.sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    checkLayout(prefs.layout);
    gexUpdate(m_cmbFilter->currentIndex());
    gextasksUpdate(m_mv->selectionStart(), m_mv->selectionEnd());
    m_loaded = true;
    sbBallon();
    picStartVisible();
    m_gex->refresh();
    m_gex->setCurrentRow(1);
    m_gex->setUpdatesEnabled(true);
    // From here on every window follows the database, whoever writes it.
    dataWatcher().start();
    if (const auto item = checkedLanguageItem(prefs.languageChoice)) {
        for (int i = 0; i < m_mnuLangs.size(); ++i)
            m_mnuLangs[i]->setChecked(i == *item);
    }
}

// ---------------------------------------------------------------- layout

void frmMain::checkLayout(Layout layout)
{
    const int index = int(layout);
    if (index < 0 || index >= kLayoutCount)
        return;
    m_mnuGroupby[index]->setChecked(true);
    tbLayoutButton(index + 5)->setChecked(true);
    preferences().layout = layout;
}

void frmMain::applyLayout(Layout layout)
{
    if (int(layout) < 0 || int(layout) >= kLayoutCount)
        return;
    checkLayout(layout);
    gexUpdate(m_cmbFilter->currentIndex());
    m_gex->refresh();
}

void frmMain::layoutKey(int &key, Qt::KeyboardModifiers modifiers, bool allowed)
{
    if (!allowed || !(modifiers & Qt::ControlModifier))
        return;
    if (key >= Qt::Key_1 && key <= Qt::Key_4) {
        applyLayout(Layout(key - Qt::Key_1));
        key = 0;
    }
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // A size set below the minimum (by a stored size, say) comes back up.
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const QSize min = minimumSize();
        if (width() < min.width() || height() < min.height())
            resize(size().expandedTo(min));
    }
    placePicStart();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_gex && event->type() == QEvent::Resize) {
        SizeGridColumns();
        placePicStart();
    } else if (watched == m_gextasks && event->type() == QEvent::Resize) {
        m_gextasks->setColumnWidth(1, qMax(0, toTwipsX(m_gextasks->width()) - 60 - int(app().ScrollBarWidth)));
    } else if (watched == m_cmbFilter) {
        if (event->type() == QEvent::FocusIn)
            showStatusText(980);
        else if (event->type() == QEvent::FocusOut)
            m_sbText->clear();
        else if (event->type() == QEvent::KeyPress) {
            auto *k = static_cast<QKeyEvent *>(event);
            int key = k->key();
            layoutKey(key, k->modifiers(), true);
            if (key == 0)
                return true;
        }
    } else if ((watched == m_mnuRecordGrp || watched == menuBar()) && event->type() == QEvent::ShortcutOverride
               && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
        // While the menu bar is driven from the keyboard it holds the focus,
        // so the Space shown beside Close/Reopen would fire from the bar or
        // the open menu; there Space opens the menu or picks the highlighted
        // item, as everywhere.
        event->accept();
        return true;
    } else if (event->type() == QEvent::MouseButtonDblClick
               && (watched == m_picStart || watched == m_lblStart || watched->parent() == m_picStart)) {
        if (m_mnuRecord[0]->isEnabled())
            m_commands->openNew(); // the start panel always opens an empty entry
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::placePicStart()
{
    if (!m_picStart->isVisible())
        return;
    m_picStart->adjustSize();
    m_picStart->move((m_gex->width() - m_picStart->width()) / 2, (m_gex->height() - m_picStart->height()) / 2);
    m_picStart->raise();
}

// ---------------------------------------------------------------- unload

void frmMain::Form_Unload()
{
    Preferences &p = preferences();
    if (p.saveLayout) {
        p.view = m_cmbFilter->currentIndex();
        if (m_gex->sortKeyCount() > 0) {
            const GridSortKey key = m_gex->sortKey(1);
            p.sortColumn = key.column;
            p.sortAscending = key.order == Qt::AscendingOrder;
        }
        if (windowState() & Qt::WindowMinimized) {
            // A minimised window keeps the placement stored before.
            const Preferences stored = Preferences::load();
            p.maximized = stored.maximized;
            p.widthTwips = stored.widthTwips;
            p.heightTwips = stored.heightTwips;
        } else {
            p.maximized = windowState() & Qt::WindowMaximized;
            // A maximised window keeps the size it will return to.
            const QSize size = p.maximized && normalGeometry().isValid() ? normalGeometry().size() : this->size();
            p.widthTwips = toTwipsX(size.width());
            p.heightTwips = toTwipsY(size.height());
        }
    }
    if (const Status st = p.save(); !st)
        showError(userMessage(st));
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------- tools

void frmMain::mnuLangs_Click(int index)
{
    Preferences &p = preferences();
    const auto store = languageToStore(p.languageChoice, index);
    if (!store) {
        // Qt toggled the item on the click; put the check back where it was.
        if (const auto item = checkedLanguageItem(p.languageChoice)) {
            for (int i = 0; i < m_mnuLangs.size(); ++i)
                m_mnuLangs[i]->setChecked(i == *item);
        }
        return;
    }
    p.languageChoice = *store;
    for (int i = 0; i < m_mnuLangs.size(); ++i)
        m_mnuLangs[i]->setChecked(i == index);
    if (const Status st = p.saveLanguage(); !st) {
        showError(userMessage(st));
        return;
    }
    m_prompts.message(caption(1362), MessageIcon::None);
}

void frmMain::changeDatabaseFolder()
{
    chooseDatabase(m_prompts, 1920, 506, 1362);
}

// ---------------------------------------------------------------- helpers

void frmMain::showStatusText(int id)
{
    m_sbText->setText(caption(id));
}

void frmMain::showError(const QString &text)
{
    m_prompts.message(text, MessageIcon::Critical);
}

int frmMain::toTwipsX(int pixels) const
{
    return qRound(pixels * 1440.0 / logicalDpiX());
}
int frmMain::toTwipsY(int pixels) const
{
    return qRound(pixels * 1440.0 / logicalDpiY());
}
int frmMain::toPixelsX(int twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}
int frmMain::toPixelsY(int twips) const
{
    return qRound(twips * logicalDpiY() / 1440.0);
}

} // namespace velto
