// The deadline grid of the main window: its columns and looks, the filters
// and layouts. What its cells show comes from the core's typed rows
// (MainGridSource).

#include "ui/main/frmmain.h"

#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "deadlines/mainrows.h"
#include "ui/main/maingridsource.h"
#include "ui/main/mainicons.h"
#include "ui/widgets/grid.h"
#include "ui/widgets/monthview.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>

namespace velto {

namespace {

// Colours are kept as &HBBGGRR, the way they were chosen.
QColor bgr(unsigned v)
{
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

} // namespace

std::unique_ptr<GridSource> frmMain::mainGridRows(std::shared_ptr<const MainRows> rows, int filterIndex) const
{
    const Preferences &p = preferences();
    MainGridSource::Look look;
    look.sheetCaption = app().CurrentDbName + QStringLiteral(" - ") + m_cmbFilter->itemText(filterIndex);
    look.layout = p.layout;
    look.showTotals = p.showGroupTotals;
    if (p.showGroupCounters)
        look.counterSeparator = CounterSeparator;
    look.today = today();
    return std::make_unique<MainGridSource>(std::move(rows), look);
}

void frmMain::setupGrid()
{
    Grid *g = m_gex;
    g->setFont(QFont(QStringLiteral("Verdana"), 9));
    // No rows yet: the columns, to set them up.
    g->setRows(mainGridRows(std::make_shared<MainRows>(), 0));

    for (int c = 1; c <= g->columnCount(); ++c)
        g->setColumnVisible(c, false);
    g->setColumnFormat(col(MainColumn::OpenBalance), QStringLiteral("Currency"));

    auto show = [g](int column, int twips) {
        g->setColumnVisible(column, true);
        g->setColumnWidth(column, twips);
    };
    show(col(MainColumn::Type), 330);
    g->setColumnHasIcon(col(MainColumn::Type), true);
    g->setColumnTextHidden(col(MainColumn::Type), true); // the type shows as its picture only
    g->setColumnAlignment(col(MainColumn::Type), Qt::AlignCenter);
    show(col(MainColumn::Date), 1420);
    g->setColumnFormat(col(MainColumn::Date), QStringLiteral("Short Date"));
    show(col(MainColumn::Description), 2420);
    g->setColumnHasIcon(col(MainColumn::Description), true);
    show(col(MainColumn::Value), 1180);
    g->setColumnFormat(col(MainColumn::Value), QStringLiteral("Currency"));
    g->setColumnAlignment(col(MainColumn::Value), Qt::AlignRight | Qt::AlignVCenter);
    show(col(MainColumn::AccountName), 1960);
    g->setColumnEmptyText(col(MainColumn::AccountName), LoadResString(1054));

    g->setNavigatorText(LoadResString(1052));

    GridStyle open;
    open.foreColor = Qt::black;
    open.bold = true;
    GridStyle closed;
    closed.foreColor = bgr(0x808080);
    closed.bold = false;
    closed.italic = true;
    closed.strikeOut = true;
    g->clearFormatConditions();
    g->addFormatCondition(col(MainColumn::Done), false, open);
    g->addFormatCondition(col(MainColumn::Done), true, closed);

    GridStyle odd;
    odd.backColor = Qt::white;
    GridStyle even;
    even.backColor = bgr(0xF5F5F5);
    GridStyle group;
    group.bold = true;
    group.foreColor = bgr(0x6C4B25);
    group.backColor = bgr(0xF8F8F8);
    GridStyle selected;
    selected.foreColor = Qt::white;
    selected.backColor = bgr(0xC0C0C0);
    g->setRowStyle(GridRowStyle::OddRow, odd);
    g->setRowStyle(GridRowStyle::EvenRow, even);
    g->setRowStyle(GridRowStyle::RowGroup, group);
    g->setRowStyle(GridRowStyle::SelectedRow, selected);
    g->setImageList(icons::gridImages());

    GridPrintSettings print = g->printSettings();
    print.landscape = false;
    print.fitColumns = true;
    g->setPrintSettings(print);

    // Headers by position; the added columns have no string and stay as they are.
    for (int c = 1; c < g->columnCount(); ++c) {
        if (hasString(999 + c + app().LanguageOffset))
            g->setColumnCaption(c, LoadResString(999 + c));
    }
    g->setColumnCaption(col(MainColumn::Type), QString());
    g->setColumnSpokenCaption(col(MainColumn::Type), LoadResString(1002));
    g->setColumnCaption(col(MainColumn::GroupKey), QString());
    g->setColumnCaption(col(MainColumn::OpenBalance), QString());

    connect(g, &Grid::currentRowChanged, this, &frmMain::gex_CurrentRowChanged);
    connect(g, &Grid::gotFocus, this, [this] { showStatusText(1056); });
    connect(g, &Grid::lostFocus, m_sbText, &QLabel::clear);
    connect(g, &Grid::keyDown, this,
            [this](int &key, Qt::KeyboardModifiers modifiers) { layoutKey(key, modifiers, m_gex->currentRow() >= 1); });
    SizeGridColumns();
}

int frmMain::currentFilterIndex() const
{
    return m_cmbFilter->currentIndex();
}

void frmMain::gexUpdate(int filterIndex)
{
    const AppState &s = app();
    if (filterIndex < 0)
        filterIndex = 0;
    if (filterIndex >= kFilterCount)
        filterIndex = 0;
    auto rows = std::make_shared<MainRows>();
    const Status read = readMainRows(currentDatabase(), s.CurrentDbId, MainFilter(filterIndex), m_mv->selectionStart(),
                                     m_mv->selectionEnd(), rows.get());
    // Repaints are held rather than the grid hidden, so the focus stays where it is.
    const bool wasUpdating = m_gex->updatesEnabled();
    m_gex->setUpdatesEnabled(false);
    QList<int> groups{col(MainColumn::SheetId)};
    const Layout layout = preferences().layout;
    if (layout == Layout::ByDate || layout == Layout::ByMonth)
        groups << col(MainColumn::GroupKey);
    else if (layout == Layout::ByClient)
        groups << col(MainColumn::AccountName);
    // Grouped before the new rows come, in one step: the rebind then builds
    // the tree once, and a reload with the same groups regroups nothing.
    bool sameGroups = m_gex->groupCount() == groups.size();
    for (int level = 1; sameGroups && level <= groups.size(); ++level)
        sameGroups = m_gex->groupColumn(level) == groups[level - 1];
    if (!sameGroups)
        m_gex->setGroups(groups);
    // A failed read is told and the rows shown stay.
    if (read)
        m_gex->setRows(mainGridRows(std::move(rows), filterIndex));
    else
        showError(userMessage(read));
    m_gex->update();
    m_gex->setUpdatesEnabled(wasUpdating);
    // Screen readers name the list as its top row does: sheet and filter.
    m_gex->setAccessibleName(s.CurrentDbName + QStringLiteral(" - ") + m_cmbFilter->itemText(filterIndex));
    // The row under the same number may be another one now.
    gex_CurrentRowChanged(-1);
}

void frmMain::gexFind(qint64 rowId)
{
    if (rowId <= 0 || !m_gex->find(col(MainColumn::RowId), rowId))
        return;
    m_gex->refresh();
    // The deadline just saved is where the next key acts.
    m_gex->setFocus(Qt::OtherFocusReason);
}

void frmMain::SizeGridColumns()
{
    const float free = float(toTwipsX(m_gex->width())) - 2 * app().ScrollBarWidth - 10.0f * float(m_gex->columnCount())
        - 3520 - 660 + 100;
    if (free <= 0)
        return; // not laid out yet
    m_gex->setColumnWidth(col(MainColumn::Date), 1760);
    m_gex->setColumnWidth(col(MainColumn::Description), qRound(free * 0.6f));
    m_gex->setColumnWidth(col(MainColumn::Value), 1660);
    m_gex->setColumnWidth(col(MainColumn::AccountName), qRound(free * 0.4f));
}

void frmMain::gex_CurrentRowChanged(int previousRow)
{
    if (m_gex->currentRow() == previousRow)
        return;
    const GridRow current = m_gex->row(m_gex->currentRow());
    const QString name = current.isValid() ? NzStr(current.value(col(MainColumn::AccountName)), QString()) : QString();
    if (!name.isEmpty()) {
        m_lblAccNotes->setText(QLatin1Char('[') + name + QStringLiteral("]  ")
                               + NzStr(current.value(col(MainColumn::AccountNotes)), QString()));
    } else {
        m_lblAccNotes->clear();
    }
    m_imgAcc->setVisible(!name.isEmpty());
}

} // namespace velto
