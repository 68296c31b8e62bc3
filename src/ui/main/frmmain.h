#pragma once
// The main window: menus, both toolbars, the filter strip, the deadline
// grid with its notes line and empty-grid panel, the calendar with the
// start list under it, and the status bar with the due indicator. It lives
// for the whole run; closing it saves the layout and ends the program.
//
// Commands that other windows provide are wired through the table in
// wireCommands(): each has one empty slot below (marked "later") and
// stays disabled until its row there says it is ready.

#include "app/layout.h"
#include "deadlines/deadline.h"
#include "deadlines/mainquery.h"
#include "ui/common/mainrefresh.h"

#include <QDate>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QVector>

#include <memory>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;

namespace velto {

class frmCashFlow;
class Grid;
class GridSource;
class MainRows;
class MonthView;
class RecordCommands;
class UserPrompts;

class frmMain : public QMainWindow, public MainRefresh
{
    Q_OBJECT
public:
    // The indexes of the filter list; the last one follows the calendar.
    static constexpr int kFilterCount = kMainFilterCount;
    static constexpr int kCalendarFilter = int(MainFilter::CalendarPeriod);
    // Image numbers of the grid's image list (from 1).
    enum GexImage {
        imgCreditOpen = 5,
        imgDebitOpen = 6,
        imgAppointmentOpen = 7,
        imgGroupOpen = 9,
        imgDebitClosed = 10,
        imgCreditClosed = 11,
        imgAppointmentClosed = 12,
        imgGroupClosed = 13,
        GexImageCount = 13
    };

    // Runs the initialisation (settings read into the program state) and
    // installs itself as the window every other window refreshes.
    explicit frmMain(UserPrompts &prompts, QWidget *parent = nullptr);
    ~frmMain() override;

    // The load sequence: texts, stored layout, grid set-up, first loads.
    void Form_Load();
    // Saves the layout and language settings (also run when the window closes).
    void Form_Unload();
    [[nodiscard]] bool isLoaded() const { return m_loaded; }

    // MainRefresh
    void reloadAll() override;
    void gexFind(qint64 rowId) override;

    // The parts reloadAll reloads: the grid for a filter index of the view
    // list, the start list for the calendar selection, the due indicator and
    // data sheet name in the status bar, the empty-grid panel, the
    // calendar's bold days.
    void gexUpdate(int filterIndex);
    void gextasksUpdate();
    void sbBallon();
    void picStartVisible();
    void mvGetDayBold();
    [[nodiscard]] int currentFilterIndex() const;

    void gextasksUpdate(const QDate &first, const QDate &last);
    // Fits the four shown columns to the grid's width.
    void SizeGridColumns();
    // Groups the grid by layout 0 (plain) to 3 (client/supplier).
    void applyLayout(Layout layout);
    // The layout's menu and toolbar checks and the program state, no reload.
    void checkLayout(Layout layout);
    // The day-bold request of the calendar: one query per day asked.
    void mv_GetDayBold(const QDate &first, int count, QVector<bool> &state);
    // The folder choice of the Tools menu: stored for the next start.
    void changeDatabaseFolder();
    // A pick in the Languages menu.
    void mnuLangs_Click(int index);

    // Accessors for the windows and commands that work on these controls.
    [[nodiscard]] Grid *gex() const { return m_gex; }
    [[nodiscard]] Grid *gextasks() const { return m_gextasks; }
    [[nodiscard]] MonthView *mv() const { return m_mv; }
    [[nodiscard]] MonthView *mvMain() const { return m_mv; }
    [[nodiscard]] QComboBox *cmbFilter() const { return m_cmbFilter; }
    [[nodiscard]] QLabel *lblShow() const { return m_lblShow; }
    [[nodiscard]] QWidget *accNotes() const { return m_accNotes; }
    [[nodiscard]] QLabel *lblAccNotes() const { return m_lblAccNotes; }
    [[nodiscard]] QLabel *imgAcc() const { return m_imgAcc; }
    [[nodiscard]] QWidget *picStart() const { return m_picStart; }
    [[nodiscard]] QLabel *lblStart() const { return m_lblStart; }
    [[nodiscard]] QToolBar *tb() const { return m_tb; }
    [[nodiscard]] QToolBar *tbLayout() const { return m_tbLayout; }
    // Status bar panel 1 (help texts) and panel 2 (due indicator).
    [[nodiscard]] QLabel *sbPanel1() const { return m_sbText; }
    [[nodiscard]] QLabel *sbPanel2() const { return m_sbSheet; }
    [[nodiscard]] QLabel *sbPanel2Picture() const { return m_sbImage; }
    // 1 when nothing is due, 2 when an open deadline is dated today or earlier.
    [[nodiscard]] int dueImage() const { return m_dueImage; }

    // Menu items by the index of their array; separators included.
    [[nodiscard]] QAction *mnuFile(int i) const { return m_mnuFile.value(i); }
    [[nodiscard]] QAction *mnuRecord(int i) const { return m_mnuRecord.value(i); }
    [[nodiscard]] QAction *mnuView(int i) const { return m_mnuView.value(i); }
    [[nodiscard]] QAction *mnuGroupby(int i) const { return m_mnuGroupby.value(i); }
    [[nodiscard]] QAction *mnuTools(int i) const { return m_mnuTools.value(i); }
    [[nodiscard]] QAction *mnuLangs(int i) const { return m_mnuLangs.value(i); }
    [[nodiscard]] QAction *mnuHelp(int i) const { return m_mnuHelp.value(i); }
    [[nodiscard]] QMenu *mnuFileGrp() const { return m_mnuFileGrp; }
    [[nodiscard]] QAction *actExportCalendar() const { return m_actExportCalendar; }
    // File > Restore from backup, above Exit.
    [[nodiscard]] QAction *actRestore() const { return m_actRestore; }
    [[nodiscard]] QMenu *mnuRecordGrp() const { return m_mnuRecordGrp; }
    [[nodiscard]] QMenu *mnuViewGrp() const { return m_mnuViewGrp; }
    [[nodiscard]] QMenu *mnuToolsGrp() const { return m_mnuToolsGrp; }
    [[nodiscard]] QMenu *mnuHelpGrp() const { return m_mnuHelpGrp; }
    // Toolbar buttons numbered from 1, separators included.
    [[nodiscard]] QAction *tbButton(int n) const { return m_tbButtons.value(n - 1); }
    [[nodiscard]] QAction *tbLayoutButton(int n) const { return m_tbLayoutButtons.value(n - 1); }
    // Undo and Redo: at the top of the Record menu and at the end of the
    // toolbar, outside the numbered lists.
    [[nodiscard]] QAction *actUndo() const { return m_actUndo; }
    [[nodiscard]] QAction *actRedo() const { return m_actRedo; }

    // Quick search over the grid, and the cash-flow window (null while closed).
    [[nodiscard]] QLineEdit *txtSearch() const { return m_txtSearch; }
    [[nodiscard]] QAction *actSearch() const { return m_actSearch; }
    [[nodiscard]] QAction *actCashFlow() const { return m_actCashFlow; }
    [[nodiscard]] frmCashFlow *cashFlowWindow() const;
    // The deadline fields the quick search looks in.
    [[nodiscard]] static QStringList searchFields();
    // Makes the days the calendar's selection, as a mouse selection does.
    void selectCalendarPeriod(const QDate &first, const QDate &last);

    // Twips of this window's screen.
    [[nodiscard]] int toTwipsX(int pixels) const;
    [[nodiscard]] int toTwipsY(int pixels) const;
    [[nodiscard]] int toPixelsX(int twips) const;
    [[nodiscard]] int toPixelsY(int twips) const;
    static constexpr int kMinWidthTwips = 10905;
    static constexpr int kMinHeightTwips = 7545;

public slots:
    // Commands provided by other windows: one slot each, empty here ("later").
    void mnuScadenziari_Click();    // File 0: data sheets
    void mnuPrint_Click();          // File 2, toolbar 8
    void mnuExport_Click();         // File 3, toolbar 9
    void mnuExportCalendar_Click(); // File: export to calendar
    void mnuNew_Click();            // Record 0, toolbar 1, double click on the start panel
    void mnuEdit_Click();           // Record 1, toolbar 2
    void mnuToggleDone_Click();     // Record 2, toolbar 3
    void mnuDelete_Click();         // Record 3, toolbar 4
    void mnuFirst_Click();          // Record 5
    void mnuLast_Click();           // Record 6
    void mnuAccounts_Click();       // View 0, toolbar 6
    void mnuExpand_Click();         // View 4, layout toolbar 2
    void mnuCollapse_Click();       // View 5, layout toolbar 3
    void mnuOptions_Click();        // View 7 (then the grid is reloaded)
    void tbOptions_Click();         // toolbar 11 (no reload)
    void mnuDelClosed_Click();      // Tools 0
    void mnuHelpContents_Click();   // Help 0, F1
    void mnuAbout_Click();          // Help 2
    // Take back / make again the newest change of this run (Record menu,
    // Ctrl+Z / Ctrl+Shift+Z, toolbar).
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuRestore_Click();  // File, above Exit
    void mnuCashFlow_Click(); // View, after the numbered items

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Initialize();
    void buildMenus();
    void buildToolbars();
    void buildCentre();
    void buildStatusBar();
    void wireCommands();
    void buildUndoActions();
    void updateUndoActions();
    void stepHistory(bool back);
    void loadTexts();
    void setupGrid();
    void setupStartList();
    void restoreLayoutSettings();
    void placePicStart();
    void layoutKey(int &key, Qt::KeyboardModifiers modifiers, bool allowed);
    void showStatusText(int id);
    void showError(const QString &text);
    // On the data-changed notice: back to the fallback data sheet when the
    // active one is gone, then reloadAll.
    void showDataChange();
    // False (and the fallback sheet active) when the active sheet is gone.
    bool followActiveSheet();

    void gex_CurrentRowChanged(int previousRow);
    void mv_SelectionChanged(const QDate &first, const QDate &last);
    // The deadline grid's rows for a load (none: only its columns).
    [[nodiscard]] std::unique_ptr<GridSource> mainGridRows(std::shared_ptr<const MainRows> rows, int filterIndex) const;
    void buildSearchAndCashFlow();
    void loadSearchAndCashFlowTexts();

    UserPrompts &m_prompts;
    RecordCommands *m_commands = nullptr;
    bool m_loaded = false;
    bool m_showingChange = false; // a notice came while a message of the last one was open
    bool m_changeAgain = false;
    QString FILTER[kFilterCount]; // the captions of the filter list
    QString CounterSeparator;
    int m_dueImage = 0;

    Grid *m_gex = nullptr;
    Grid *m_gextasks = nullptr;
    MonthView *m_mv = nullptr;
    QComboBox *m_cmbFilter = nullptr;
    QLabel *m_lblShow = nullptr;
    QWidget *m_accNotes = nullptr;
    QLabel *m_lblAccNotes = nullptr;
    QLabel *m_imgAcc = nullptr;
    QWidget *m_picStart = nullptr;
    QLabel *m_lblStart = nullptr;
    QLabel *m_lblStartHint = nullptr;
    QToolBar *m_tb = nullptr;
    QToolBar *m_picTools = nullptr;
    QToolBar *m_tbLayout = nullptr;
    QWidget *m_side = nullptr;
    QLabel *m_sbText = nullptr;
    QLabel *m_sbImage = nullptr;
    QLabel *m_sbSheet = nullptr;

    QMenu *m_mnuFileGrp = nullptr;
    QMenu *m_mnuRecordGrp = nullptr;
    QMenu *m_mnuViewGrp = nullptr;
    QMenu *m_mnuGroupbyMenu = nullptr;
    QMenu *m_mnuToolsGrp = nullptr;
    QMenu *m_mnuLangsMenu = nullptr;
    QMenu *m_mnuHelpGrp = nullptr;
    QList<QAction *> m_mnuFile, m_mnuRecord, m_mnuView, m_mnuGroupby, m_mnuTools, m_mnuLangs, m_mnuHelp;
    QList<QAction *> m_tbButtons, m_tbLayoutButtons;
    // Outside the index list, so the indexes of the File items stay.
    QAction *m_actExportCalendar = nullptr;
    QActionGroup *m_layoutGroup = nullptr;
    QAction *m_actUndo = nullptr;
    QAction *m_actRedo = nullptr;
    QAction *m_actRestore = nullptr;

    // Not in the numbered lists above, so no item there moves.
    QLabel *m_lblSearch = nullptr;
    QLineEdit *m_txtSearch = nullptr;
    QAction *m_actSearch = nullptr;
    QAction *m_actCashFlow = nullptr;
    QPointer<frmCashFlow> m_cashFlow;
};

} // namespace velto
