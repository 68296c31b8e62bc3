// The main window on a real database: filters, layouts with their captions
// and totals, counters, the due indicator, bold days, the empty-grid panel,
// the stored layout, the minimum size, the Languages command.

#include "app/preferences.h"
#include "app/registry.h"
#include "app/settings.h"
#include "data/catalogue.h"
#include "data/copydatabase.h"
#include "selfprocess.h"
#include "servercluster.h"
#include "ui/widgets/monthview.h"
#include "windowtests.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace velto;
using namespace velto::test;

namespace {

// A group total as its caption shows it.
QString total(double amount)
{
    return QStringLiteral(" [") + Currency::fromDouble(amount).toLocaleCurrency(QLocale()) + QLatin1Char(']');
}

QDate d(int month, int day)
{
    return QDate(2027, month, day);
}

qint64 seed(int sheet, DeadlineType type, const QDate &day, const char *text, qint64 account, const char *value,
            bool done = false)
{
    return seedDeadline(sheet, type, day, QString::fromLatin1(text), account, money(value), done);
}

void setUserSetting(const char *name, int value)
{
    WriteSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(name), value);
}

int userSetting(const char *name)
{
    return int(NzNum(ReadSetting(HKEY_CURRENT_USER, app().SettingsKey, REG_DWORD, QLatin1String(name), -1), -1));
}

QStringList startList(frmMain &w)
{
    QStringList listed;
    for (int r = 1; r <= w.gextasks()->rowCount(); ++r)
        listed << w.gextasks()->row(r).value(1).toString();
    return listed;
}

// As a user does it: focus the list, go to its top, step down.
void chooseFilter(frmMain &w, int index)
{
    QComboBox *combo = w.cmbFilter();
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), index);
}

// Sheet 1: an open credit today, an open debit at the month's end, an
// appointment with a stray amount next month, a closed credit, a monthly
// series of three debits. Sheet 2: one open credit today.
void standardFixture()
{
    seedAccount(QStringLiteral("Rossi"), QStringLiteral("Calls after 3"));
    seedAccount(QStringLiteral("Bianchi"));
    seedSheet(2, QStringLiteral("Other"));
    using enum DeadlineType;
    seed(1, Credit, d(1, 15), "Rent", 1, "100");
    seed(1, Debit, d(1, 31), "Power", 1, "30");
    seed(1, Appointment, d(2, 1), "Meeting", 0, "55");
    seed(1, Credit, d(1, 10), "Old invoice", 2, "70", true);
    seedSeries(1, Debit, d(1, 16), 3, QStringLiteral("Lease"), 2, money("40"), 7);
    seed(2, Credit, d(1, 15), "Other sheet", 1, "999");
}

} // namespace

class tst_frmMain : public QObject
{
    Q_OBJECT

    WindowBench m_bench;
    PromptRecorder &m_prompts = m_bench.prompts;

    std::unique_ptr<frmMain> openWindow() { return m_bench.openMain(); }

private slots:
    void initTestCase() { startWindowTests(); }

    void init()
    {
        QVERIFY(m_bench.reset());
        preferences().languageChoice = 3;
        app().ScrollBarWidth = 255;
    }

    void filterListChoosesRows_data()
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

    void filterListChoosesRows()
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
        QCOMPARE(shownRows(w->gex(), Shown::Groups).value(0),
                 QStringLiteral("Scadenziario - ") + LoadResString(951 + filter));
    }

    void calendarSelectionDrivesGridOnlyOnCalendarFilter()
    {
        standardFixture();
        auto w = openWindow();
        MonthView *mv = w->mv();
        auto drag = [mv](const QDate &from, const QDate &to) {
            const QPoint end = mv->dayRect(to).center();
            QTest::mousePress(mv, Qt::LeftButton, {}, mv->dayRect(from).center());
            QMouseEvent move(QEvent::MouseMove, end, mv->mapToGlobal(end), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(mv, &move);
            QTest::mouseRelease(mv, Qt::LeftButton, {}, end);
        };
        drag(d(1, 14), d(1, 17)); // Rent (15th) and Lease 1 (16th)
        QCOMPARE(mv->selectionStart(), d(1, 14));
        QCOMPARE(mv->selectionEnd(), d(1, 17));
        QCOMPARE(w->gex()->recordCount(), 7); // another filter: the grid stays
        QCOMPARE(w->gextasks()->recordCount(), 2);

        chooseFilter(*w, frmMain::kCalendarFilter);
        QCOMPARE(w->gex()->recordCount(), 2);
        drag(d(1, 10), d(1, 31));
        QCOMPARE(w->gex()->recordCount(), 4); // closed ones too: the calendar filter has no state test
    }

    // Each layout chosen from the menu or with its Ctrl+digit key in the
    // filter list, the grid or the calendar, starting from another layout.
    void groupingsCaptionGroupsWithOpenSignedTotals_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("totals");
        QTest::addColumn<QString>("via");
        QTest::addColumn<QStringList>("captions");
        const QString top = QStringLiteral("Scadenziario - All Deadlines");
        auto month = [](int m) { return QLatin1Char(' ') + QLocale().toString(d(m, 1), QStringLiteral("MMMM yyyy")); };
        const QString today = QStringLiteral(" Until Today"), monthEnd = QStringLiteral(" Until end of month"),
                      later = QStringLiteral(" Next month onwards"), client = QStringLiteral("Client/Supplier: ");

        QTest::newRow("simple: one sheet row without total") << 0 << true << "calendar" << QStringList{top};
        QTest::newRow("by date: buckets with open signed totals")
            << 1 << true << "list" << QStringList{top, today + total(100), monthEnd + total(-70), later + total(-80)};
        QTest::newRow("by date without totals") << 1 << false << "menu" << QStringList{top, today, monthEnd, later};
        QTest::newRow("by month: closed credit not counted")
            << 2 << true << "calendar"
            << QStringList{top, month(1) + total(30), month(2) + total(-40), month(3) + total(-40)};
        QTest::newRow("by client: sheet total and (none) group")
            << 3 << true << "grid"
            << QStringList{top + total(-50), QStringLiteral("(none)") + total(0), client + "Bianchi" + total(-120),
                           client + "Rossi" + total(70)};
        QTest::newRow("by client without totals: captions untouched")
            << 3 << false << "menu" << QStringList{top, client + "(none)", client + "Bianchi", client + "Rossi"};
    }

    void groupingsCaptionGroupsWithOpenSignedTotals()
    {
        QFETCH(int, layout);
        QFETCH(bool, totals);
        QFETCH(QString, via);
        QFETCH(QStringList, captions);
        standardFixture();
        setUserSetting(kShowsGroupTotals, totals ? 1 : 0);
        setUserSetting(kGroupOpt, layout == 2 ? 0 : 2);
        auto w = openWindow();
        QVERIFY(int(preferences().layout) != layout);
        if (via == QLatin1String("menu")) {
            w->mnuGroupby(layout)->trigger();
        } else {
            QWidget *target = via == QLatin1String("list") ? w->cmbFilter()
                : via == QLatin1String("grid")             ? static_cast<QWidget *>(viewOf(w->gex()))
                                                           : w->mv();
            w->gex()->setCurrentRow(2);
            QTest::keyClick(target, Qt::Key(Qt::Key_1 + layout), Qt::ControlModifier);
        }
        QCOMPARE(int(preferences().layout), layout);
        QCOMPARE(w->cmbFilter()->currentIndex(), 0);
        QVERIFY(w->mnuGroupby(layout)->isChecked());
        QVERIFY(w->tbLayoutButton(layout + 5)->isChecked());
        QStringList shown = shownRows(w->gex(), Shown::Groups);
        QCOMPARE(shown.takeFirst(), captions.takeFirst());
        // Below the sheet row the order follows the group keys; compare as sets.
        shown.sort();
        captions.sort();
        QCOMPARE(shown, captions);
    }

    void seriesCountersFollowTheSetting_data()
    {
        QTest::addColumn<bool>("counters");
        QTest::addColumn<bool>("member");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("listed");
        QTest::newRow("series member, counters on") << true << true << "Lease 2 of 3"
                                                    << "Lease 2/3";
        QTest::newRow("series member, counters off") << false << true << "Lease"
                                                     << "Lease";
    }

    void seriesCountersFollowTheSetting()
    {
        QFETCH(bool, counters);
        QFETCH(bool, member);
        QFETCH(QString, shown);
        QFETCH(QString, listed);
        const qint64 id = member
            ? seedDeadline(1, DeadlineType::Debit, d(1, 15), QStringLiteral("Lease"), 0, money("40"), false, 9, 2, 3)
            : seed(1, DeadlineType::Credit, d(1, 15), "Rent", 0, "40");
        setUserSetting(kShowsGrpDlCounters, counters ? 1 : 0);
        auto w = openWindow();
        w->gexFind(id);
        QCOMPARE(w->gex()->value(col(MainColumn::Description)).toString(), shown);
        QCOMPARE(startList(*w), QStringList{listed});
    }

    void dueIndicatorAndBoldDaysShowOpenDeadlinesOfTheSheet_data()
    {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("done");
        QTest::addColumn<int>("image");
        QTest::addColumn<bool>("bold");
        QTest::newRow("open yesterday is due") << 1 << d(1, 14) << false << 2 << true;
        QTest::newRow("open tomorrow is not due") << 1 << d(1, 16) << false << 1 << true;
        QTest::newRow("closed in the past is not due") << 1 << d(1, 1) << true << 1 << false;
        QTest::newRow("another sheet's is not due") << 2 << d(1, 1) << false << 1 << false;
    }

    void dueIndicatorAndBoldDaysShowOpenDeadlinesOfTheSheet()
    {
        QFETCH(int, sheet);
        QFETCH(QDate, day);
        QFETCH(bool, done);
        QFETCH(int, image);
        QFETCH(bool, bold);
        seedSheet(2, QStringLiteral("Other"));
        if (sheet > 0)
            seed(sheet, DeadlineType::Debit, day, "Tax", 0, "10", done);
        auto w = openWindow();
        QCOMPARE(w->dueImage(), image);
        QVERIFY(!w->sbPanel2Picture()->pixmap().isNull());
        QCOMPARE(w->mv()->isDayBold(day), bold);
    }

    // Both ways of asking reach the 42nd day shown and no further: the
    // grouped query, and the calendar's own request when the month turns.
    void boldDaysCoverTheShownDaysAndFollowClosing()
    {
        const qint64 open = seed(1, DeadlineType::Credit, d(1, 20), "Open", 0, "1");
        auto w = openWindow();
        MonthView *mv = w->mv();
        const QDate lastShown = mv->visibleDay(MonthView::kVisibleDays);
        seed(1, DeadlineType::Credit, lastShown, "Last cell", 0, "1");
        seed(1, DeadlineType::Credit, lastShown.addDays(1), "After", 0, "1");
        auto check = [&] {
            QVERIFY(mv->isDayBold(d(1, 20)));
            QVERIFY(mv->isDayBold(lastShown));
            QVERIFY(!mv->isDayBold(d(1, 21)));
        };
        w->mvGetDayBold();
        check();
        QVERIFY(!mv->isDayBold(lastShown.addDays(1)));
        mv->clearBold();
        QTest::keyClick(mv, Qt::Key_PageDown);
        QTest::keyClick(mv, Qt::Key_PageUp);
        check();

        // Closing the last open deadline of a day unbolds it.
        QVERIFY(test::exec(sql::toggleDone(open)));
        w->mvGetDayBold();
        QVERIFY(!mv->isDayBold(d(1, 20)));
    }

    void startListShowsOpenDeadlinesOfTheSelectionLatestFirst()
    {
        standardFixture();
        auto w = openWindow();
        w->mv()->setSelection(d(1, 1), d(1, 31));
        w->gextasksUpdate();
        QCOMPARE(startList(*w),
                 (QStringList{QStringLiteral("Power"), QStringLiteral("Lease 1/3"), QStringLiteral("Rent")}));
        QCOMPARE(w->gextasks()->currentRow(), 0);
    }

    void emptyGridPanelShowsWhenNoRecord_data()
    {
        QTest::addColumn<bool>("withData");
        QTest::addColumn<int>("filter");
        QTest::addColumn<bool>("visible");
        QTest::newRow("deadlines shown") << true << 0 << false;
        QTest::newRow("filter matching nothing") << true << 5 << false;
        QTest::newRow("closed filter on open-only sheet") << false << 6 << true;
    }

    void emptyGridPanelShowsWhenNoRecord()
    {
        QFETCH(bool, withData);
        QFETCH(int, filter);
        QFETCH(bool, visible);
        if (withData) {
            seed(1, DeadlineType::Appointment, d(1, 20), "Meeting", 0, "0");
            seed(1, DeadlineType::Credit, d(1, 20), "Rent", 0, "10");
        }
        auto w = openWindow();
        chooseFilter(*w, filter);
        QCOMPARE(w->picStart()->isVisible(), visible);
        if (visible) {
            const QRect panel = w->picStart()->geometry();
            QVERIFY(qAbs(panel.center().x() - w->gex()->width() / 2) <= 1);
            QVERIFY(qAbs(panel.center().y() - w->gex()->height() / 2) <= 1);
        }
    }

    void layoutIsSavedAndRestored()
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
        QCOMPARE(userSetting(kSelectedView), 2);
        QCOMPARE(userSetting(kGroupOpt), 3);
        QCOMPARE(userSetting(kSortKeyIdx), int(col(MainColumn::Value)));
        QCOMPARE(userSetting(kMeMaximized), 0);
        QCOMPARE(userSetting(kMeWidth), 12000);
        QVERIFY(qAbs(userSetting(kMeHeight) - 8000) <= 15); // one pixel at most
        QCOMPARE(userSetting(kIntLang), 3);

        auto again = openWindow();
        QCOMPARE(again->cmbFilter()->currentIndex(), 2);
        QCOMPARE(preferences().layout, Layout::ByClient);
        QCOMPARE(again->gex()->sortKey(1).column, int(col(MainColumn::Value)));
        QVERIFY(qAbs(again->toTwipsX(again->width()) - 12000) <= 15);
        QVERIFY(!(again->windowState() & Qt::WindowMaximized));
        QCOMPARE(again->gex()->recordCount(), 5);
    }

    void windowKeepsItsMinimumSize()
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
        QVERIFY(w->gextasks()->mapTo(w.get(), QPoint()).y()
                > w->mv()->mapTo(w.get(), QPoint()).y() + w->mv()->height());
    }

    void closingWhileMinimisedKeepsTheStoredSize()
    {
        setUserSetting(kMeMaximized, 0);
        setUserSetting(kMeWidth, 11500);
        setUserSetting(kMeHeight, 7800);
        auto w = openWindow();
        QVERIFY(!(w->windowState() & Qt::WindowMaximized));
        w->setWindowState(Qt::WindowMinimized);
        w->close();
        QCOMPARE(userSetting(kMeMaximized), 0);
        QCOMPARE(userSetting(kMeWidth), 11500);
        QCOMPARE(userSetting(kMeHeight), 7800);
    }

    // The notes line also empties on a row without a client.
    void notesLineShowsTheClientOfTheCurrentRow()
    {
        standardFixture();
        auto w = openWindow();
        w->gexFind(1); // Rent, Rossi
        QVERIFY(w->imgAcc()->isVisible());
        w->gexFind(3); // Meeting, nobody
        QCOMPARE(w->lblAccNotes()->text(), QString());
        QVERIFY(!w->imgAcc()->isVisible());
    }

    void languagePickStoresTheChoiceAndAsksForRestart()
    {
        app().LanguageOffset = kOffsetItalian;
        preferences().languageChoice = 6;
        auto w = openWindow();
        w->mnuLangs(6)->trigger(); // already chosen: nothing
        QVERIFY(m_prompts.messages.isEmpty());
        QVERIFY(w->mnuLangs(6)->isChecked());
        QCOMPARE(userSetting(kIntLang), -1);

        w->mnuLangs(3)->trigger();
        QCOMPARE(m_prompts.messages, QStringList{QStringLiteral("Riavviare l'applicazione")});
        QCOMPARE(userSetting(kIntLang), 3);
        QVERIFY(w->mnuLangs(3)->isChecked());
        QVERIFY(!w->mnuLangs(6)->isChecked());
        QCOMPARE(app().LanguageOffset, kOffsetItalian);
        QCOMPARE(w->mnuFile(5)->text(), QStringLiteral("&Esci"));
    }

    void databaseErrorsAreShownAndTheWindowGoesOn()
    {
        standardFixture();
        auto w = openWindow();
        QVERIFY(m_prompts.messages.isEmpty());
        QVERIFY(writeFile(m_bench.box->databasePath(), QByteArray(4096, 'x')));
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

    // The menu item toggles the current deadline and keeps the position
    // (Space and Del on the grid are the deadline windows' tests).
    void closingFromTheMenuReachesTheDatabase()
    {
        const qint64 rent = seed(1, DeadlineType::Credit, d(1, 15), "Rent", 0, "100");
        auto w = openWindow();
        w->gexFind(rent);
        w->mnuRecord(2)->trigger();
        QVERIFY(storedDeadlines().value(0).done);
        QCOMPARE(currentKey(w->gex()), rent);
    }

    // Another connection closed it after the grid showed it open: Space writes nothing, says so and shows it closed.
    void spaceOnADeadlineClosedMeanwhileLeavesItClosed()
    {
        const qint64 rent = seed(1, DeadlineType::Credit, d(1, 15), "Rent", 0, "100");
        auto w = openWindow();
        w->gexFind(rent);
        QVERIFY(test::exec(sql::toggleDone(rent)));

        viewOf(w->gex())->setFocus();
        QTest::keyClick(viewOf(w->gex()), Qt::Key_Space);

        QVERIFY(storedDeadlines().value(0).done);
        QCOMPARE(m_prompts.messages, QStringList{LoadResString(1801)});
        QCOMPARE(currentKey(w->gex()), rent);
        QVERIFY(w->gex()->value(col(MainColumn::Done)).toBool());
    }

    // On a server: Tools > Change database takes the address without the
    // password typed into it, and the restore window says backups are the
    // server's.
    void serverBookChangesDatabaseAndHasNoBackupsOfOurs()
    {
        QString why;
        const QString location = newServerDatabase(&why);
        QVERIFY2(!location.isEmpty() && setUpServerDatabase(location, builtTemplatePath()), qPrintable(why));
        app().DatabaseFolder = app().ConnectionString = location;
        seed(1, DeadlineType::Credit, d(1, 15), "Rent", 0, "100");
        auto w = openWindow();
        QCOMPARE(w->gex()->recordCount(), 1);
        m_prompts.kindAnswers = {DatabaseKind::Server};
        m_prompts.textAnswers = {QString(location).replace(QStringLiteral("velto@"), QStringLiteral("velto:secret@"))};
        w->mnuTools(4)->trigger();
        QCOMPARE(m_prompts.textValues, QStringList{location});
        QCOMPARE(ReadSetting(HKEY_LOCAL_MACHINE, app().SettingsKey, REG_SZ, QLatin1String(kCurDb)).toString(),
                 location);
        QCOMPARE(m_prompts.messages, QStringList{LoadResString(1362)});
        QStringList shown;
        whenModal("velto::frmRestore", [&shown](QWidget *dialog) {
            for (const QLabel *label : dialog->findChildren<QLabel *>())
                shown << label->text();
            shown << QString::number(dialog->findChild<QPushButton *>(QStringLiteral("cmdRestore"))->isEnabled());
            dialog->findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
        });
        w->actRestore()->trigger();
        QVERIFY(shown.contains(LoadResString(1926)) && shown.endsWith(QStringLiteral("0")));
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
