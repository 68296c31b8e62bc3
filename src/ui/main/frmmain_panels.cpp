// The calendar with its bold days and selection, the start list under it,
// the empty-grid panel and the due indicator of the main window.

#include "ui/main/frmmain.h"

#include "app/localeinfo.h"
#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "deadlines/datasheets.h"
#include "deadlines/mainrows.h"
#include "ui/main/frmcashflow.h"
#include "ui/main/mainicons.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/monthview.h"
#include "ui/widgets/vectorgridsource.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QTreeView>

namespace velto {

void frmMain::setupStartList()
{
    Grid *t = m_gextasks;
    t->setFont(QFont(QStringLiteral("Tahoma"), 8));
    t->setFocusPolicy(Qt::NoFocus);
    // Read-only display: the user neither selects nor focuses it.
    t->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (auto *view = t->findChild<QTreeView *>()) {
        view->setHeaderHidden(true);
        view->setFocusPolicy(Qt::NoFocus);
        view->setRootIsDecorated(false);
    }
    t->setNavigatorText(QString());
    GridStyle odd;
    odd.backColor = QColor(0xFF, 0xFF, 0xBF);
    GridStyle even;
    even.backColor = QColor(0xB0, 0xD7, 0xC1);
    t->setRowStyle(GridRowStyle::OddRow, odd);
    t->setRowStyle(GridRowStyle::EvenRow, even);

    connect(m_mv, &MonthView::getDayBold, this, &frmMain::mv_GetDayBold);
    connect(m_mv, &MonthView::selectionChanged, this, &frmMain::mv_SelectionChanged);
    connect(m_mv, &MonthView::gotFocus, this, [this] { showStatusText(982); });
    connect(m_mv, &MonthView::lostFocus, m_sbText, &QLabel::clear);
    connect(m_mv, &MonthView::keyDown, this,
            [this](int &key, Qt::KeyboardModifiers modifiers) { layoutKey(key, modifiers, true); });
}

// ---------------------------------------------------------------- calendar

void frmMain::mv_GetDayBold(const QDate &first, int count, QVector<bool> &state)
{
    const int n = std::min(count, int(state.size()));
    if (n <= 0)
        return;
    QList<QDate> days;
    const Status st = openDeadlineDays(currentDatabase(), app().CurrentDbId, first, first.addDays(n - 1), &days);
    if (!st) {
        showError(userMessage(st));
        return;
    }
    for (const QDate &day : std::as_const(days))
        state[first.daysTo(day)] = true;
}

void frmMain::mvGetDayBold()
{
    m_mv->clearBold();
    const QDate first = m_mv->visibleDay(1);
    const QDate last = m_mv->visibleDay(MonthView::kVisibleDays);
    QList<QDate> days;
    const Status st = openDeadlineDays(currentDatabase(), app().CurrentDbId, first, last, &days);
    if (!st)
        showError(userMessage(st));
    for (const QDate &day : std::as_const(days))
        m_mv->setDayBold(day, true);
    m_mv->refresh();
}

void frmMain::mv_SelectionChanged(const QDate &first, const QDate &last)
{
    gextasksUpdate(first, last);
    if (m_cmbFilter->currentIndex() == kCalendarFilter)
        gexUpdate(kCalendarFilter);
    picStartVisible();
}

// ---------------------------------------------------------------- start list

void frmMain::gextasksUpdate()
{
    gextasksUpdate(m_mv->selectionStart(), m_mv->selectionEnd());
}

void frmMain::gextasksUpdate(const QDate &first, const QDate &last)
{
    Grid *t = m_gextasks;
    t->setUpdatesEnabled(false);
    MainRows rows;
    const Status st = readStartList(currentDatabase(), app().CurrentDbId, first, last, &rows);
    if (st) {
        // Counters as in the deadline grid, shorter: "Rent 3/12".
        const QString separator = preferences().showGroupCounters ? QStringLiteral("/") : QString();
        QList<VectorGridSource::Row> items;
        items.reserve(rows.size());
        for (int i = 0; i < rows.size(); ++i)
            items.append({rows.shownDescription(i, separator)});
        t->setRows(std::make_unique<VectorGridSource>(QStringList{QStringLiteral("Description")}, items));
    } else {
        showError(userMessage(st));
    }
    // The list shows no headers; screen readers still hear what it lists.
    t->setColumnCaption(1, LoadResString(1005));
    const QLocale locale;
    const QString format = fourDigitYearFormat(locale);
    t->setAccessibleName(first == last
                             ? LoadResString(1647).arg(locale.toString(first, format))
                             : LoadResString(1648).arg(locale.toString(first, format), locale.toString(last, format)));
    t->setColumnVisible(1, true);
    t->setColumnWidth(1, qMax(0, toTwipsX(t->width()) - 60 - int(app().ScrollBarWidth)));
    t->refresh();
    t->setCurrentRow(0);
    t->setUpdatesEnabled(true);
}

// ---------------------------------------------------------------- the data-changed notice

void frmMain::reloadAll()
{
    const Grid::Place place = m_gex->place(col(MainColumn::RowId));
    gexUpdate(currentFilterIndex());
    m_gex->restorePlace(place);
    mvGetDayBold();
    gextasksUpdate();
    sbBallon();
    picStartVisible();
    if (m_cashFlow)
        m_cashFlow->reload();
}

bool frmMain::followActiveSheet()
{
    Status st;
    const bool kept = velto::followActiveSheet(&st);
    // A sheet that could not be read is told by the reload that follows.
    if (!kept && !st)
        showError(userMessage(st));
    return kept;
}

void frmMain::showDataChange()
{
    if (!m_loaded)
        return;
    // A message below runs the event loop, and another notice may come.
    if (m_showingChange) {
        m_changeAgain = true;
        return;
    }
    m_showingChange = true;
    do {
        m_changeAgain = false;
        const QString shownSheet = app().CurrentDbName;
        const bool sheetKept = followActiveSheet();
        reloadAll();
        if (!sheetKept)
            m_prompts.message(LoadResString(1840).arg(shownSheet, app().CurrentDbName), MessageIcon::Information);
    } while (m_changeAgain);
    m_showingChange = false;
}

// ---------------------------------------------------------------- indicators

void frmMain::picStartVisible()
{
    // A search that finds nothing is not an empty list: the panel that
    // invites the first deadline would mislead there.
    const bool visible = m_gex->loadedRecordCount() == 0;
    m_picStart->setVisible(visible);
    if (visible)
        placePicStart();
}

void frmMain::sbBallon()
{
    const AppState &s = app();
    bool due = false;
    const Status st = anythingDueBy(currentDatabase(), s.CurrentDbId, today(), &due);
    if (!st) {
        showError(userMessage(st));
    } else {
        m_dueImage = due ? 2 : 1;
        const icons::Kind kind = m_dueImage == 1 ? icons::Kind::NothingDue : icons::Kind::SomethingDue;
        m_sbImage->setPixmap(icons::icon(kind).pixmap(16, 16));
        m_sbImage->setAccessibleName(m_dueImage == 1 ? LoadResString(1570) : LoadResString(1571));
        m_sbImage->setToolTip(m_sbImage->accessibleName());
    }
    m_sbSheet->setText(QStringLiteral("  ") + s.CurrentDbName);
}

} // namespace velto
