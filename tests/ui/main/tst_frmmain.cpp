// The main window on a real database: filters, layouts with their captions
// and totals, counters, the due indicator, bold days, the empty-grid panel,
// the stored layout, the minimum size, the Languages and Tools commands.

#include "app/mainmod.h"
#include "app/registry.h"
#include "app/settings.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "data/catalogue.h"
#include "data/connection.h"
#include "data/currency.h"
#include "data/recordset.h"
#include "testsupport.h"
#include "ui/main/frmmain.h"
#include "ui/main/frmsplash.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/monthview.h"
#include "ui/widgets/recordsetgridsource.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QToolBar>
#include <QtTest>

#include "promptrecorder.h"
#include <QTreeView>

#include <memory>

using namespace velto;

namespace {

constexpr auto kToday = "2027-01-15";

using Prompts = test::PromptRecorder;

QString money(double amount)
{
    return QStringLiteral(" [") + Currency::fromDouble(amount).toLocaleCurrency(QLocale()) + QLatin1Char(']');
}

QDate d(int month, int day) { return QDate(2027, month, day); }

} // namespace

class tst_frmMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void filterListChoosesRows_data();
    void filterListChoosesRows();
    void calendarSelectionDrivesGridOnlyOnCalendarFilter();
    void groupingsCaptionGroupsWithOpenSignedTotals_data();
    void groupingsCaptionGroupsWithOpenSignedTotals();
    void layoutKeysWorkInComboGridAndCalendar();
    void seriesCountersFollowTheSetting_data();
    void seriesCountersFollowTheSetting();
    void appointmentsShowNoAmount();
    void dueIndicatorShowsOpenDeadlinesDueByToday_data();
    void dueIndicatorShowsOpenDeadlinesDueByToday();
    void boldDaysAreOpenDeadlinesOfTheActiveSheet();
    void closingTheLastOpenDeadlineOfADayUnboldsIt();
    void startListShowsOpenDeadlinesOfTheSelectionLatestFirst();
    void emptyGridPanelShowsWhenNoRecord_data();
    void emptyGridPanelShowsWhenNoRecord();
    void layoutIsSavedAndRestored();
    void withoutSaveLayoutClosingResetsTheView();
    void firstStartOpensMaximisedOnDefaults();
    void windowKeepsItsMinimumSize();
    void closingWhileMinimisedKeepsTheStoredSize();
    void choosingTheCheckedLayoutReloadsAnyway();
    void splashShowsTitleAndLoadingText();
    void notesLineShowsTheClientOfTheCurrentRow();
    void languagePickStoresTheChoiceAndAsksForRestart();
    void changeDatabaseStoresTheFolder();
    void refusedFolderWriteShowsTheSettingsError();
    void databaseErrorsAreShownAndTheWindowGoesOn();
    void everyCommandIsWired();
    void closingFromTheMenuAndDeletingWithTheKeyReachTheDatabase();

private:
    void insert(int dbId, int type, const QDate &day, const QString &text, qint64 account, double value,
                bool done = false, qint64 group = 0, int row = 0, int count = 0);
    void addAccount(const QString &name, const QString &notes);
    void addSheet(int id, const QString &name);
    void standardFixture();
    void setUserSetting(const char *name, int value);
    [[nodiscard]] int userSetting(const char *name, int dflt) const;
    std::unique_ptr<frmMain> openWindow();
    [[nodiscard]] QStringList groupCaptions(const Grid *grid) const;
    [[nodiscard]] QString shownDescription(frmMain &w, qint64 rowId) const;
    static void chooseFilter(frmMain &w, int index);
    static QTreeView *viewOf(Grid *grid) { return grid->findChild<QTreeView *>(); }

    std::unique_ptr<test::Sandbox> m_sandbox;
    Prompts m_prompts;
    qint64 m_nextId = 0;
};

void tst_frmMain::initTestCase()
{
    qputenv("VELTO_TODAY", kToday);
    installDatabaseGridLoader();
}

void tst_frmMain::init()
{
    m_sandbox = std::make_unique<test::Sandbox>();
    QVERIFY(m_sandbox->createDatabase());
    AppState &s = app();
    s.SettingsKey = settingsKeyFor(QLatin1String(kAppTitle));
    s.LanguageOffset = kOffsetEnglish;
    s.LanguageChoice = 3;
    s.CurrentDbId = 1;
    s.CurrentDbName = QLatin1String(kFirstDataSheetName);
    s.ScrollBarWidth = 255;
    m_prompts = Prompts();
    m_nextId = 0;
}

void tst_frmMain::cleanup()
{
    m_sandbox.reset();
}

// ---------------------------------------------------------------- fixture

void tst_frmMain::insert(int dbId, int type, const QDate &day, const QString &text, qint64 account, double value,
                         bool done, qint64 group, int row, int count)
{
    Connection cn;
    QVERIFY(cn.open(app().ConnectionString));
    const Currency v = Currency::fromDouble(value);
    const Currency balance = type == -2 ? Currency() : v * type;
    const QString statement = group > 0
        ? sql::insertSeriesRow(dbId, type, day, text, account, v, balance, u'm', row, count, group)
        : sql::insertSingle(dbId, type, day, text, account, v, balance, 0);
    QVERIFY2(cn.execute(statement), qPrintable(statement));
    m_nextId = cn.lastInsertId();
    if (done)
        QVERIFY(cn.execute(sql::toggleDone(m_nextId)));
}

void tst_frmMain::addAccount(const QString &name, const QString &notes)
{
    Connection cn;
    QVERIFY(cn.open(app().ConnectionString));
    QVERIFY(cn.execute(QStringLiteral("INSERT INTO Accounts (AcName, AcNotes) VALUES (") + sql::text(name)
                       + QStringLiteral(", ") + sql::text(notes) + QStringLiteral(")")));
}

void tst_frmMain::addSheet(int id, const QString &name)
{
    Connection cn;
    QVERIFY(cn.open(app().ConnectionString));
    QVERIFY(cn.execute(sql::createSheet(id, name)));
}

// Sheet 1: an open credit today, an open debit at the month's end, an
// appointment with a stray amount next month, a closed credit, a monthly
// series of three debits. Sheet 2: one open credit today.
void tst_frmMain::standardFixture()
{
    addAccount(QStringLiteral("Rossi"), QStringLiteral("Calls after 3"));
    addAccount(QStringLiteral("Bianchi"), QString());
    addSheet(2, QStringLiteral("Other"));
    insert(1, 1, d(1, 15), QStringLiteral("Rent"), 1, 100);
    insert(1, -1, d(1, 31), QStringLiteral("Power"), 1, 30);
    insert(1, -2, d(2, 1), QStringLiteral("Meeting"), 0, 55);
    insert(1, 1, d(1, 10), QStringLiteral("Old invoice"), 2, 70, true);
    insert(1, -1, d(1, 16), QStringLiteral("Lease"), 2, 40, false, 7, 1, 3);
    insert(1, -1, d(2, 16), QStringLiteral("Lease"), 2, 40, false, 7, 2, 3);
    insert(1, -1, d(3, 16), QStringLiteral("Lease"), 2, 40, false, 7, 3, 3);
    insert(2, 1, d(1, 15), QStringLiteral("Other sheet"), 1, 999);
}

void tst_frmMain::setUserSetting(const char *name, int value)
{
    WriteSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(name), value);
}

int tst_frmMain::userSetting(const char *name, int dflt) const
{
    return int(NzNum(ReadSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(name), dflt), dflt));
}

std::unique_ptr<frmMain> tst_frmMain::openWindow()
{
    auto w = std::make_unique<frmMain>(m_prompts);
    w->Form_Load();
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("window not active");
    return w;
}

QStringList tst_frmMain::groupCaptions(const Grid *grid) const
{
    QStringList captions;
    for (int r = 1; r <= grid->rowCount(); ++r) {
        const GridRow row = grid->row(r);
        if (row.isGroupRow())
            captions << row.caption();
    }
    return captions;
}

QString tst_frmMain::shownDescription(frmMain &w, qint64 rowId) const
{
    w.gexFind(rowId);
    return w.gex()->value(col(MainColumn::Description)).toString();
}

// As a user does it: focus the list, go to its top, step down.
void tst_frmMain::chooseFilter(frmMain &w, int index)
{
    QComboBox *combo = w.cmbFilter();
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), index);
}

// ---------------------------------------------------------------- filters

void tst_frmMain::filterListChoosesRows_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("records");
    QTest::newRow("all deadlines of the sheet") << 0 << 7;
    QTest::newRow("open") << 1 << 6;
    QTest::newRow("open credits and debits") << 2 << 5;
    QTest::newRow("open credits") << 3 << 1;
    QTest::newRow("open debits") << 4 << 4;
    QTest::newRow("open appointments") << 5 << 1;
    QTest::newRow("closed") << 6 << 1;
}

void tst_frmMain::filterListChoosesRows()
{
    QFETCH(int, filter);
    QFETCH(int, records);
    standardFixture();
    auto w = openWindow();
    chooseFilter(*w, filter);
    QCOMPARE(w->gex()->recordCount(), records);
    QCOMPARE(w->currentFilterIndex(), filter);
    if (filter > 0) // a changed choice hands the focus to the grid
        QVERIFY(viewOf(w->gex())->hasFocus());
    // The top group names the sheet and the filter.
    QCOMPARE(groupCaptions(w->gex()).value(0),
             QStringLiteral("Scadenziario - ") + LoadResString(951 + filter));
}

void tst_frmMain::calendarSelectionDrivesGridOnlyOnCalendarFilter()
{
    standardFixture();
    auto w = openWindow();
    MonthView *mv = w->mv();
    QCOMPARE(w->gex()->recordCount(), 7);

    // Drag from the 14th to the 17th: Rent (15th) and Lease 1 (16th).
    auto drag = [mv](const QDate &from, const QDate &to) {
        QTest::mousePress(mv, Qt::LeftButton, {}, mv->dayRect(from).center());
        QMouseEvent move(QEvent::MouseMove, mv->dayRect(to).center(), mv->mapToGlobal(mv->dayRect(to).center()),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(mv, &move);
        QTest::mouseRelease(mv, Qt::LeftButton, {}, mv->dayRect(to).center());
    };
    drag(d(1, 14), d(1, 17));
    QCOMPARE(mv->selectionStart(), d(1, 14));
    QCOMPARE(mv->selectionEnd(), d(1, 17));
    QCOMPARE(w->gex()->recordCount(), 7); // another filter: the grid stays
    QCOMPARE(w->gextasks()->recordCount(), 2);

    chooseFilter(*w, frmMain::kCalendarFilter);
    QCOMPARE(w->gex()->recordCount(), 2);
    drag(d(1, 10), d(1, 31));
    QCOMPARE(w->gex()->recordCount(), 4); // closed ones too: the calendar filter has no state test
}

// ---------------------------------------------------------------- layouts

void tst_frmMain::groupingsCaptionGroupsWithOpenSignedTotals_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("totals");
    QTest::addColumn<QStringList>("captions");
    const QString top = QStringLiteral("Scadenziario - All Deadlines");
    auto month = [](int m) { return QLatin1Char(' ') + QLocale().toString(d(m, 1), QStringLiteral("MMMM yyyy")); };

    QTest::newRow("simple: one sheet row without total") << 0 << true << QStringList{top};
    QTest::newRow("by date: buckets with open signed totals")
        << 1 << true
        << QStringList{top, QStringLiteral(" Until Today") + money(100), QStringLiteral(" Until end of month") + money(-70),
                       QStringLiteral(" Next month onwards") + money(-80)};
    QTest::newRow("by date without totals")
        << 1 << false
        << QStringList{top, QStringLiteral(" Until Today"), QStringLiteral(" Until end of month"),
                       QStringLiteral(" Next month onwards")};
    QTest::newRow("by month: closed credit not counted")
        << 2 << true << QStringList{top, month(1) + money(30), month(2) + money(-40), month(3) + money(-40)};
    QTest::newRow("by client: sheet total and (none) group")
        << 3 << true
        << QStringList{top + money(-50), QStringLiteral("(none)") + money(0),
                       QStringLiteral("Client/Supplier: Bianchi") + money(-120),
                       QStringLiteral("Client/Supplier: Rossi") + money(70)};
    QTest::newRow("by client without totals: captions untouched")
        << 3 << false
        << QStringList{top, QStringLiteral("Client/Supplier: (none)"), QStringLiteral("Client/Supplier: Bianchi"),
                       QStringLiteral("Client/Supplier: Rossi")};
}

void tst_frmMain::groupingsCaptionGroupsWithOpenSignedTotals()
{
    QFETCH(int, layout);
    QFETCH(bool, totals);
    QFETCH(QStringList, captions);
    standardFixture();
    setUserSetting(kShowsGroupTotals, totals ? 1 : 0);
    auto w = openWindow();
    w->mnuGroupby(layout)->trigger();
    QCOMPARE(app().GroupOption, layout);
    QVERIFY(w->mnuGroupby(layout)->isChecked());
    QVERIFY(w->tbLayoutButton(layout + 5)->isChecked());
    QStringList shown = groupCaptions(w->gex());
    QCOMPARE(shown.value(0), captions.value(0));
    // Below the sheet row the order follows the group keys; compare as sets.
    shown.removeFirst();
    captions.removeFirst();
    shown.sort();
    captions.sort();
    QCOMPARE(shown, captions);
    QCOMPARE(w->gex()->recordCount(), 7);
}

void tst_frmMain::layoutKeysWorkInComboGridAndCalendar()
{
    standardFixture();
    auto w = openWindow();
    QTest::keyClick(w->cmbFilter(), Qt::Key_2, Qt::ControlModifier);
    QCOMPARE(app().GroupOption, 1);
    QCOMPARE(w->cmbFilter()->currentIndex(), 0);
    w->gex()->setCurrentRow(2);
    QTest::keyClick(viewOf(w->gex()), Qt::Key_4, Qt::ControlModifier);
    QCOMPARE(app().GroupOption, 3);
    QVERIFY(w->mnuGroupby(3)->isChecked());
    QTest::keyClick(w->mv(), Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(app().GroupOption, 2);
    QTest::keyClick(w->mv(), Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(app().GroupOption, 0);
    QCOMPARE(groupCaptions(w->gex()).size(), 1);
}

void tst_frmMain::seriesCountersFollowTheSetting_data()
{
    QTest::addColumn<bool>("counters");
    QTest::addColumn<bool>("member");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("startList");
    QTest::newRow("series member, counters on") << true << true << "Lease 2 of 3" << "Lease 2/3";
    QTest::newRow("series member, counters off") << false << true << "Lease" << "Lease";
    QTest::newRow("single deadline never counts") << true << false << "Rent" << "Rent";
}

void tst_frmMain::seriesCountersFollowTheSetting()
{
    QFETCH(bool, counters);
    QFETCH(bool, member);
    QFETCH(QString, shown);
    QFETCH(QString, startList);
    if (member)
        insert(1, -1, d(1, 15), QStringLiteral("Lease"), 0, 40, false, 9, 2, 3);
    else
        insert(1, 1, d(1, 15), QStringLiteral("Rent"), 0, 40);
    setUserSetting(kShowsGrpDlCounters, counters ? 1 : 0);
    auto w = openWindow();
    QCOMPARE(shownDescription(*w, m_nextId), shown);
    QCOMPARE(w->gextasks()->recordCount(), 1);
    QCOMPARE(w->gextasks()->row(1).value(1).toString(), startList);
}

void tst_frmMain::appointmentsShowNoAmount()
{
    standardFixture();
    auto w = openWindow();
    for (int r = 1; r <= w->gex()->rowCount(); ++r) {
        const GridRow row = w->gex()->row(r);
        if (row.isGroupRow())
            continue;
        const QString amount = row.value(col(MainColumn::Value)).toString();
        if (w->gex()->recordValue(row.bookmark(), QStringLiteral("TrType")).toInt() == -2)
            QVERIFY2(amount.isEmpty(), qPrintable(amount));
        else
            QVERIFY(!row.value(col(MainColumn::Value)).isNull());
    }
}

// ---------------------------------------------------------------- indicators

void tst_frmMain::dueIndicatorShowsOpenDeadlinesDueByToday_data()
{
    QTest::addColumn<int>("sheet");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<bool>("done");
    QTest::addColumn<int>("image");
    QTest::newRow("no deadline") << 0 << QDate() << false << 1;
    QTest::newRow("open today is due") << 1 << d(1, 15) << false << 2;
    QTest::newRow("open yesterday is due") << 1 << d(1, 14) << false << 2;
    QTest::newRow("open tomorrow is not due") << 1 << d(1, 16) << false << 1;
    QTest::newRow("closed in the past is not due") << 1 << d(1, 1) << true << 1;
    QTest::newRow("another sheet's is not due") << 2 << d(1, 1) << false << 1;
}

void tst_frmMain::dueIndicatorShowsOpenDeadlinesDueByToday()
{
    QFETCH(int, sheet);
    QFETCH(QDate, day);
    QFETCH(bool, done);
    QFETCH(int, image);
    addSheet(2, QStringLiteral("Other"));
    if (sheet > 0)
        insert(sheet, -1, day, QStringLiteral("Tax"), 0, 10, done);
    auto w = openWindow();
    QCOMPARE(w->dueImage(), image);
    QVERIFY(!w->sbPanel2Picture()->pixmap().isNull());
    QCOMPARE(w->sbPanel2()->text(), QStringLiteral("  Scadenziario"));
}

void tst_frmMain::boldDaysAreOpenDeadlinesOfTheActiveSheet()
{
    addSheet(2, QStringLiteral("Other"));
    insert(1, 1, d(1, 20), QStringLiteral("Open"), 0, 1);
    insert(1, 1, d(1, 21), QStringLiteral("Closed"), 0, 1, true);
    insert(2, 1, d(1, 22), QStringLiteral("Other sheet"), 0, 1);
    auto w = openWindow();
    MonthView *mv = w->mv();
    const QDate lastShown = mv->visibleDay(MonthView::kVisibleDays);
    insert(1, 1, lastShown, QStringLiteral("Last cell"), 0, 1);
    insert(1, 1, lastShown.addDays(1), QStringLiteral("After"), 0, 1);

    struct Case { QDate day; bool bold; const char *what; };
    const Case cases[] = {
        {d(1, 20), true, "open deadline"},
        {d(1, 21), false, "only closed deadlines"},
        {d(1, 22), false, "another sheet's deadline"},
        {lastShown, true, "42nd visible day"},
        {d(1, 23), false, "no deadline"},
    };
    // Both ways of asking: the grouped query, and the calendar's own request.
    w->mvGetDayBold();
    for (const Case &c : cases)
        QVERIFY2(mv->isDayBold(c.day) == c.bold, c.what);
    QVERIFY(!mv->isDayBold(lastShown.addDays(1)));
    mv->clearBold();
    QTest::keyClick(mv, Qt::Key_PageDown);
    QTest::keyClick(mv, Qt::Key_PageUp);
    for (const Case &c : cases)
        QVERIFY2(mv->isDayBold(c.day) == c.bold, c.what);
}

void tst_frmMain::closingTheLastOpenDeadlineOfADayUnboldsIt()
{
    insert(1, 1, d(1, 20), QStringLiteral("Open"), 0, 1);
    auto w = openWindow();
    QVERIFY(w->mv()->isDayBold(d(1, 20)));
    Connection cn;
    QVERIFY(cn.open(app().ConnectionString));
    QVERIFY(cn.execute(sql::toggleDone(m_nextId)));
    cn.close();
    w->mvGetDayBold();
    QVERIFY(!w->mv()->isDayBold(d(1, 20)));
}

void tst_frmMain::startListShowsOpenDeadlinesOfTheSelectionLatestFirst()
{
    standardFixture();
    auto w = openWindow();
    // Today only at start: Rent (Other sheet's is not listed).
    QCOMPARE(w->gextasks()->recordCount(), 1);
    QCOMPARE(w->gextasks()->row(1).value(1).toString(), QStringLiteral("Rent"));
    w->mv()->setSelection(d(1, 1), d(1, 31));
    w->gextasksUpdate();
    QStringList listed;
    for (int r = 1; r <= w->gextasks()->rowCount(); ++r)
        listed << w->gextasks()->row(r).value(1).toString();
    QCOMPARE(listed, (QStringList{QStringLiteral("Power"), QStringLiteral("Lease 1/3"), QStringLiteral("Rent")}));
    QCOMPARE(w->gextasks()->currentRow(), 0);
}

void tst_frmMain::emptyGridPanelShowsWhenNoRecord_data()
{
    QTest::addColumn<bool>("withData");
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("visible");
    QTest::newRow("empty sheet") << false << 0 << true;
    QTest::newRow("deadlines shown") << true << 0 << false;
    QTest::newRow("filter matching nothing") << true << 5 << false;
    QTest::newRow("closed filter on open-only sheet") << false << 6 << true;
}

void tst_frmMain::emptyGridPanelShowsWhenNoRecord()
{
    QFETCH(bool, withData);
    QFETCH(int, filter);
    QFETCH(bool, visible);
    if (withData) {
        insert(1, -2, d(1, 20), QStringLiteral("Meeting"), 0, 0);
        insert(1, 1, d(1, 20), QStringLiteral("Rent"), 0, 10);
    }
    auto w = openWindow();
    chooseFilter(*w, filter);
    QCOMPARE(w->picStart()->isVisible(), visible);
    if (visible) {
        QCOMPARE(w->gex()->groupCount() > 0 ? w->gex()->rowCount() : 0, 0);
        const QRect panel = w->picStart()->geometry();
        QVERIFY(qAbs(panel.center().x() - w->gex()->width() / 2) <= 1);
        QVERIFY(qAbs(panel.center().y() - w->gex()->height() / 2) <= 1);
    }
}

// ---------------------------------------------------------------- settings

void tst_frmMain::layoutIsSavedAndRestored()
{
    standardFixture();
    {
        auto w = openWindow();
        w->showNormal();
        w->resize(w->toPixelsX(12000), w->toPixelsY(8000));
        QTRY_COMPARE(w->toTwipsX(w->width()), 12000);
        chooseFilter(*w, 2);
        w->gex()->setCurrentRow(2);
        QTest::keyClick(viewOf(w->gex()), Qt::Key_4, Qt::ControlModifier);
        QHeaderView *header = viewOf(w->gex())->header();
        const int section = col(MainColumn::Value) - 1;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
        QCOMPARE(w->gex()->sortKey(1).column, col(MainColumn::Value));
        w->close();
    }
    QCOMPARE(userSetting(kSelectedView, -1), 2);
    QCOMPARE(userSetting(kGroupOpt, -1), 3);
    QCOMPARE(userSetting(kSortKeyIdx, -1), int(col(MainColumn::Value)));
    QCOMPARE(userSetting(kMeMaximized, -1), 0);
    QCOMPARE(userSetting(kMeWidth, -1), 12000);
    QVERIFY(qAbs(userSetting(kMeHeight, -1) - 8000) <= 15); // one pixel at most
    QCOMPARE(userSetting(kIntLang, -1), 3);

    auto again = openWindow();
    QCOMPARE(again->cmbFilter()->currentIndex(), 2);
    QCOMPARE(app().GroupOption, 3);
    QVERIFY(again->mnuGroupby(3)->isChecked());
    QCOMPARE(again->gex()->sortKey(1).column, int(col(MainColumn::Value)));
    QVERIFY(qAbs(again->toTwipsX(again->width()) - 12000) <= 15);
    QVERIFY(!(again->windowState() & Qt::WindowMaximized));
    QCOMPARE(again->gex()->recordCount(), 5);
}

void tst_frmMain::withoutSaveLayoutClosingResetsTheView()
{
    setUserSetting(kSaveIntSettings, 0);
    setUserSetting(kSelectedView, 4);
    setUserSetting(kGroupOpt, 2);
    setUserSetting(kShowsGroupTotals, 0);
    auto w = openWindow();
    QCOMPARE(w->cmbFilter()->currentIndex(), 0);
    QCOMPARE(app().GroupOption, 0);
    chooseFilter(*w, 3);
    w->close();
    QCOMPARE(userSetting(kSelectedView, -1), 0);
    QCOMPARE(userSetting(kGroupOpt, -1), 0);
    // The user's choice of group totals is not the layout: it stays.
    QCOMPARE(userSetting(kShowsGroupTotals, -1), 0);
}

void tst_frmMain::firstStartOpensMaximisedOnDefaults()
{
    auto w = openWindow();
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    QCOMPARE(w->cmbFilter()->currentText(), LoadResString(951));
    QVERIFY(w->mnuGroupby(0)->isChecked());
    QCOMPARE(w->gex()->sortKey(1).column, 5);
    QCOMPARE(w->gex()->sortKey(1).order, Qt::AscendingOrder);
    QCOMPARE(w->windowTitle(), QStringLiteral("Velto"));
    QCOMPARE(w->mnuFileGrp()->title(), QStringLiteral("&File"));
    QCOMPARE(w->mnuRecord(2)->text(), QStringLiteral("C&ancel/Re-open"));
    QCOMPARE(w->mnuRecord(2)->shortcut(), QKeySequence(Qt::Key_Space));
    QCOMPARE(w->mnuGroupby(2)->text(), QStringLiteral("Group by Month/Year"));
    QCOMPARE(w->mnuGroupby(2)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_3));
    QCOMPARE(w->tbButton(1)->toolTip(), QStringLiteral("New Deadline"));
    QVERIFY(w->tbButton(5)->isSeparator());
    QCOMPARE(w->lblShow()->buddy(), w->cmbFilter());
}

void tst_frmMain::windowKeepsItsMinimumSize()
{
    auto w = openWindow();
    w->showNormal();
    w->resize(w->toPixelsX(800), w->toPixelsY(600));
    QTest::qWait(20);
    QVERIFY(w->toTwipsX(w->width()) >= frmMain::kMinWidthTwips - 15);
    QVERIFY(w->toTwipsY(w->height()) >= frmMain::kMinHeightTwips - 15);
    // The calendar stays at the right edge, the start list under it.
    const QPoint mvRight = w->mv()->mapTo(w.get(), QPoint(w->mv()->width(), 0));
    QVERIFY(qAbs(mvRight.x() - w->centralWidget()->geometry().right()) <= 2);
    QVERIFY(w->gextasks()->mapTo(w.get(), QPoint()).y() > w->mv()->mapTo(w.get(), QPoint()).y() + w->mv()->height());
}

void tst_frmMain::closingWhileMinimisedKeepsTheStoredSize()
{
    setUserSetting(kMeMaximized, 0);
    setUserSetting(kMeWidth, 11500);
    setUserSetting(kMeHeight, 7800);
    auto w = openWindow();
    QVERIFY(!(w->windowState() & Qt::WindowMaximized));
    w->setWindowState(Qt::WindowMinimized);
    w->close();
    QCOMPARE(userSetting(kMeMaximized, -1), 0);
    QCOMPARE(userSetting(kMeWidth, -1), 11500);
    QCOMPARE(userSetting(kMeHeight, -1), 7800);
}

void tst_frmMain::choosingTheCheckedLayoutReloadsAnyway()
{
    auto w = openWindow();
    QCOMPARE(w->gex()->recordCount(), 0);
    insert(1, 1, d(1, 20), QStringLiteral("Written meanwhile"), 0, 10);
    QVERIFY(w->mnuGroupby(0)->isChecked());
    w->mnuGroupby(0)->trigger();
    QVERIFY(w->mnuGroupby(0)->isChecked());
    QCOMPARE(w->gex()->recordCount(), 1);
}

void tst_frmMain::splashShowsTitleAndLoadingText()
{
    app().LanguageOffset = kOffsetItalian;
    frmSplash splash;
    QCOMPARE(splash.Label1()->text(), QStringLiteral("Velto"));
    QCOMPARE(splash.lblloading()->text(), QStringLiteral("caricamento in corso …"));
}

void tst_frmMain::notesLineShowsTheClientOfTheCurrentRow()
{
    standardFixture();
    auto w = openWindow();
    w->gexFind(1); // Rent, Rossi
    QCOMPARE(w->lblAccNotes()->text(), QStringLiteral("[Rossi]  Calls after 3"));
    QVERIFY(w->imgAcc()->isVisible());
    w->gexFind(3); // Meeting, nobody
    QCOMPARE(w->lblAccNotes()->text(), QString());
    QVERIFY(!w->imgAcc()->isVisible());
}

// ---------------------------------------------------------------- tools

void tst_frmMain::languagePickStoresTheChoiceAndAsksForRestart()
{
    app().LanguageOffset = kOffsetItalian;
    app().LanguageChoice = 6;
    auto w = openWindow();
    QVERIFY(w->mnuLangs(6)->isChecked());
    w->mnuLangs(6)->trigger(); // already chosen: nothing
    QVERIFY(m_prompts.messages.isEmpty());
    QVERIFY(w->mnuLangs(6)->isChecked());
    QCOMPARE(userSetting(kIntLang, -1), -1);

    w->mnuLangs(3)->trigger();
    QCOMPARE(m_prompts.messages, QStringList{QStringLiteral("Riavviare l'applicazione")});
    QCOMPARE(userSetting(kIntLang, -1), 3);
    QVERIFY(w->mnuLangs(3)->isChecked());
    QVERIFY(!w->mnuLangs(6)->isChecked());
    QCOMPARE(app().LanguageOffset, kOffsetItalian);
    QCOMPARE(w->mnuFile(5)->text(), QStringLiteral("&Esci"));
}

void tst_frmMain::changeDatabaseStoresTheFolder()
{
    auto w = openWindow();
    m_prompts.folder = QString();
    w->mnuTools(4)->trigger();
    QVERIFY(m_prompts.messages.isEmpty());
    m_prompts.folder = m_sandbox->path() + QStringLiteral("/elsewhere");
    w->mnuTools(4)->trigger();
    QCOMPARE(ReadSetting(HKEY_LOCAL_MACHINE, app().SettingsKey, REG_SZ, QLatin1String(kCurDb), QString()).toString(),
             m_prompts.folder);
    QCOMPARE(m_prompts.messages, QStringList{LoadResString(1362)});
    QCOMPARE(app().DatabaseFolder, m_sandbox->dataDir()); // effective at the next start
}

void tst_frmMain::refusedFolderWriteShowsTheSettingsError()
{
    auto w = openWindow();
    // The machine-wide store cannot be written where a folder takes its name.
    QDir settings(m_sandbox->settingsDir());
    for (const QString &f : settings.entryList({QStringLiteral("machine*")}, QDir::Files))
        QFile::remove(settings.filePath(f));
    QVERIFY(settings.mkpath(QStringLiteral("machine.json")));
    m_prompts.folder = m_sandbox->path() + QStringLiteral("/elsewhere");
    w->mnuTools(4)->trigger();
    QCOMPARE(m_prompts.messages.size(), 1);
    QVERIFY(m_prompts.messages[0] != LoadResString(1362));
    QVERIFY(!m_prompts.messages[0].isEmpty());
    QVERIFY(w->isVisible());
    chooseFilter(*w, 1); // still working
}

void tst_frmMain::databaseErrorsAreShownAndTheWindowGoesOn()
{
    standardFixture();
    auto w = openWindow();
    QVERIFY(m_prompts.messages.isEmpty());
    QFile db(m_sandbox->databasePath());
    QVERIFY(db.open(QIODevice::WriteOnly | QIODevice::Truncate));
    db.write(QByteArray(4096, 'x'));
    db.close();
    chooseFilter(*w, 1);
    QVERIFY(!m_prompts.messages.isEmpty());
    QCOMPARE(w->gex()->recordCount(), 7); // the old rows stay
    m_prompts.messages.clear();
    w->sbBallon();
    w->mvGetDayBold();
    QCOMPARE(m_prompts.messages.size(), 2);
    QVERIFY(!m_prompts.messages[0].isEmpty());
    QVERIFY(w->isVisible());
}

void tst_frmMain::everyCommandIsWired()
{
    auto w = openWindow();
    const QList<QAction *> commands = {w->mnuFile(0), w->mnuFile(2), w->mnuFile(3), w->mnuFile(5),
                                       w->mnuRecord(0), w->mnuRecord(1), w->mnuRecord(2), w->mnuRecord(3),
                                       w->mnuRecord(5), w->mnuRecord(6), w->mnuView(0), w->mnuView(4),
                                       w->mnuView(5), w->mnuView(7), w->mnuTools(0), w->mnuTools(4),
                                       w->mnuHelp(0), w->mnuHelp(2)};
    for (QAction *a : commands) {
        QVERIFY(a);
        QVERIFY2(a->isEnabled(), qPrintable(a->text()));
    }
    QCOMPARE(w->mnuRecord(0)->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(w->mnuRecord(3)->shortcut(), QKeySequence(Qt::Key_Delete));
    QCOMPARE(w->mnuFile(0)->shortcut(), QKeySequence(Qt::Key_F12));
    QCOMPARE(w->mnuHelp(0)->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(w->mnuFile(1)->isSeparator() && w->mnuFile(4)->isSeparator());
}

// The menu item and the grid's Space both toggle the current deadline; the
// confirmation of a delete answered No keeps the row.
void tst_frmMain::closingFromTheMenuAndDeletingWithTheKeyReachTheDatabase()
{
    insert(1, 1, d(1, 15), QStringLiteral("Rent"), 0, 100);
    const qint64 rent = m_nextId;
    auto w = openWindow();
    w->gexFind(rent);
    QCOMPARE(w->gex()->value(col(MainColumn::RowId)).toLongLong(), rent);

    w->mnuRecord(2)->trigger();
    auto done = [&] {
        Recordset rs;
        rs.open(QStringLiteral("SELECT TrDone FROM Transactions WHERE TrRowId=") + QString::number(rent),
                app().ConnectionString);
        return rs.boolValue(0);
    };
    QVERIFY(done());
    QCOMPARE(w->gex()->value(col(MainColumn::RowId)).toLongLong(), rent); // position kept

    QTest::keyClick(viewOf(w->gex()), Qt::Key_Space);
    QVERIFY(!done());

    QTest::keyClick(viewOf(w->gex()), Qt::Key_Delete);
    QVERIFY(!m_prompts.questions.isEmpty()); // the question, answered No
    Recordset rs;
    QVERIFY(rs.open(QStringLiteral("SELECT COUNT(*) FROM Transactions"), app().ConnectionString));
    QCOMPARE(rs.intValue(0), 1);
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
