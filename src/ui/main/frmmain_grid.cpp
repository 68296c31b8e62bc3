// The deadline grid of the main window: its columns and looks, the filters
// and layouts, the values and icons it asks for, and the group captions.

#include "ui/main/frmmain.h"

#include "app/mainmod.h"
#include "app/strings.h"
#include "data/currency.h"
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

int frmMain::DateGroupKey(const QDate &date, int groupOption, const QDate &today)
{
    if (groupOption == 1) {
        const QDate nextMonth = today.addMonths(1);
        const QDate endOfMonth = QDate(nextMonth.year(), nextMonth.month(), 1).addDays(-1);
        if (date <= today)
            return 0;
        return date <= endOfMonth ? 1 : 2;
    }
    if (groupOption == 2)
        return date.year() * 100 + date.month();
    return 0;
}

void frmMain::setupGrid()
{
    Grid *g = m_gex;
    g->setFont(QFont(QStringLiteral("Verdana"), 9));
    g->setDatabase(currentDatabase());
    g->setRecordSource(mainQueryColumns());
    connect(g, &Grid::loadFailed, this, &frmMain::showError);
    g->rebind();

    for (int c = 1; c <= g->columnCount(); ++c)
        g->setColumnVisible(c, false);
    if (g->columnCount() < col(MainColumn::AccountNotes) + 1)
        g->addColumn(QStringLiteral("GroupKey"));
    if (g->columnCount() < col(MainColumn::OpenBalance))
        g->addColumn(QStringLiteral("OpenBalance"));
    g->setColumnVisible(col(MainColumn::GroupKey), false);
    g->setColumnValueByRequest(col(MainColumn::GroupKey), true);
    g->setColumnVisible(col(MainColumn::OpenBalance), false);
    g->setColumnValueByRequest(col(MainColumn::OpenBalance), true);
    g->setColumnFormat(col(MainColumn::OpenBalance), QStringLiteral("Currency"));

    auto show = [g](int column, int twips) {
        g->setColumnVisible(column, true);
        g->setColumnWidth(column, twips);
    };
    show(col(MainColumn::Type), 330);
    g->setColumnHasIcon(col(MainColumn::Type), true);
    g->setColumnAlignment(col(MainColumn::Type), Qt::AlignCenter);
    show(col(MainColumn::Date), 1420);
    g->setColumnFormat(col(MainColumn::Date), QStringLiteral("Short Date"));
    show(col(MainColumn::Description), 2420);
    g->setColumnHasIcon(col(MainColumn::Description), true);
    g->setColumnValueByRequest(col(MainColumn::Description), true);
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
    g->setColumnCaption(col(MainColumn::GroupKey), QString());
    g->setColumnCaption(col(MainColumn::OpenBalance), QString());

    connect(g, &Grid::rowFormat, this, &frmMain::gex_RowFormat);
    connect(g, &Grid::unboundValue, this, &frmMain::gex_UnboundValue);
    connect(g, &Grid::iconRequest, this, &frmMain::gex_Icon);
    connect(g, &Grid::accessibleText, this, &frmMain::gex_AccessibleText);
    connect(g, &Grid::currentRowChanged, this, &frmMain::gex_CurrentRowChanged);
    connect(g, &Grid::gotFocus, this, [this] { showStatusText(1056); });
    connect(g, &Grid::lostFocus, m_sbText, &QLabel::clear);
    connect(g, &Grid::keyDown, this, [this](int &key, Qt::KeyboardModifiers modifiers) {
        layoutKey(key, modifiers, m_gex->currentRow() >= 1);
    });
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
    const QString text =
        mainQuerySource(s.CurrentDbId, MainFilter(filterIndex), m_mv->selectionStart(), m_mv->selectionEnd());
    // Repaints are held rather than the grid hidden, so the focus stays where it is.
    const bool wasUpdating = m_gex->updatesEnabled();
    m_gex->setUpdatesEnabled(false);
    m_groupToday = today();
    QList<int> groups{col(MainColumn::SheetId)};
    if (s.GroupOption == 1 || s.GroupOption == 2)
        groups << col(MainColumn::GroupKey);
    else if (s.GroupOption == 3)
        groups << col(MainColumn::AccountName);
    // Grouped before the new rows come, in one step: the rebind then builds
    // the tree once, and a reload with the same groups regroups nothing.
    bool sameGroups = m_gex->groupCount() == groups.size();
    for (int level = 1; sameGroups && level <= groups.size(); ++level)
        sameGroups = m_gex->groupColumn(level) == groups[level - 1];
    if (!sameGroups)
        m_gex->setGroups(groups);
    m_gex->setDatabase(currentDatabase());
    m_gex->setRecordSource(text);
    m_gex->rebind();
    // A rebind asks for every value and caption afresh: the refresh after
    // it only has to redraw.
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

void frmMain::gex_UnboundValue(int column, int bookmark, QVariant &value)
{
    switch (column) {
    case col(MainColumn::GroupKey):
        value = DateGroupKey(m_gex->recordValue(bookmark, QStringLiteral("TrDate")).toDate(), app().GroupOption,
                             m_groupToday.isValid() ? m_groupToday : today());
        break;
    case col(MainColumn::Description): {
        const QString description = NzStr(m_gex->recordValue(bookmark, QStringLiteral("TrDescription")), QString());
        if (app().ShowGroupCounters && m_gex->recordValue(bookmark, QStringLiteral("TrGrpId")).toLongLong() > 0) {
            value = description + QLatin1Char(' ')
                + QString::number(m_gex->recordValue(bookmark, QStringLiteral("TrGrpRow")).toInt()) + CounterSeparator
                + QString::number(m_gex->recordValue(bookmark, QStringLiteral("TrGrpMDay")).toInt());
        } else {
            value = description;
        }
        break;
    }
    case col(MainColumn::OpenBalance):
        if (m_gex->recordValue(bookmark, QStringLiteral("TrDone")).toBool())
            value = QVariant::fromValue(Currency());
        else
            value = m_gex->recordValue(bookmark, QStringLiteral("TrBalance"));
        break;
    default:
        break;
    }
}

void frmMain::gex_Icon(int column, int bookmark, int &imageIndex)
{
    const bool done = m_gex->recordValue(bookmark, QStringLiteral("TrDone")).toBool();
    if (column == col(MainColumn::Description)) {
        const bool member = m_gex->recordValue(bookmark, QStringLiteral("TrGrpId")).toLongLong() > 0;
        imageIndex = member ? (done ? imgGroupClosed : imgGroupOpen) : 0;
    } else if (column == col(MainColumn::Type)) {
        switch (m_gex->recordValue(bookmark, QStringLiteral("TrType")).toInt()) {
        case 1: imageIndex = done ? imgCreditClosed : imgCreditOpen; break;
        case -1: imageIndex = done ? imgDebitClosed : imgDebitOpen; break;
        case -2: imageIndex = done ? imgAppointmentClosed : imgAppointmentOpen; break;
        default: break;
        }
    }
}

QString frmMain::totalSuffix(const GridRow &row) const
{
    QVariant sum = row.aggregate(col(MainColumn::OpenBalance), GridAggregate::Sum);
    const Currency total = sum.canConvert<Currency>() ? sum.value<Currency>() : Currency::fromDouble(sum.toDouble());
    return QStringLiteral(" [") + total.toLocaleCurrency(QLocale()) + QLatin1Char(']');
}

void frmMain::gex_RowFormat(GridRow &row)
{
    const AppState &s = app();
    if (!row.isGroupRow()) {
        if (row.value(col(MainColumn::Type)).toInt() == -2)
            row.setValue(col(MainColumn::Value), QString());
        row.setValue(col(MainColumn::Type), QString()); // the type shows as its icon only
        return;
    }
    switch (row.groupColumn()) {
    case col(MainColumn::SheetId): {
        QString text = s.CurrentDbName + QStringLiteral(" - ") + m_cmbFilter->currentText();
        if (s.GroupOption == 3 && s.ShowGroupTotals)
            text += totalSuffix(row);
        row.setCaption(text);
        break;
    }
    case col(MainColumn::AccountName):
        if (s.ShowGroupTotals) {
            const QString name = NzStr(row.groupValue(), QString());
            row.setCaption((name.isEmpty() ? LoadResString(1054) : row.caption()) + totalSuffix(row));
        }
        break;
    case col(MainColumn::GroupKey):
        if (s.GroupOption == 1) {
            const int key = row.aggregate(col(MainColumn::GroupKey), GridAggregate::Min).toInt();
            QString text = QLatin1Char(' ') + LoadResString(1060 + key);
            if (s.ShowGroupTotals)
                text += totalSuffix(row);
            row.setCaption(text);
        } else if (s.GroupOption == 2) {
            const QDate day = row.aggregate(col(MainColumn::Date), GridAggregate::Max).toDate();
            QString text = QLatin1Char(' ') + QLocale().toString(day, QStringLiteral("MMMM yyyy"));
            if (s.ShowGroupTotals)
                text += totalSuffix(row);
            row.setCaption(text);
        }
        break;
    default:
        break;
    }
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
