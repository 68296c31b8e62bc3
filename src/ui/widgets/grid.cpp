#include "ui/widgets/grid.h"

#include "app/strings.h"
#include "deadlines/searchfold.h"

#include "ui/widgets/gridmodel.h"
#include "ui/widgets/gridprinter.h"
#include "ui/widgets/gridview.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace velto {

namespace {

// The loaded rows as the search lets them through: all of them, or the
// matching ones in their loaded order. The loaded rows are shared, so a
// keystroke hands the model a new view without reading anything again.
class SearchedRows : public GridSource
{
public:
    SearchedRows(std::shared_ptr<const GridSource> all, std::vector<int> rows, bool every)
        : m_all(std::move(all)), m_rows(std::move(rows)), m_every(every)
    {
    }
    [[nodiscard]] int columnCount() const override { return m_all->columnCount(); }
    [[nodiscard]] QString columnName(int col) const override { return m_all->columnName(col); }
    [[nodiscard]] int rowCount() const override { return m_every ? m_all->rowCount() : int(m_rows.size()); }
    [[nodiscard]] QVariant value(int row, int col) const override
    {
        const int r = loaded(row);
        return r < 0 ? QVariant() : m_all->value(r, col);
    }
    [[nodiscard]] int image(int row, int col) const override
    {
        const int r = loaded(row);
        return r < 0 ? 0 : m_all->image(r, col);
    }
    [[nodiscard]] Spoken spoken(int row, int col, const QString &shown) const override
    {
        const int r = loaded(row);
        return r < 0 ? Spoken{shown, QString()} : m_all->spoken(r, col, shown);
    }
    [[nodiscard]] QString groupCaption(const GridRow &group) const override { return m_all->groupCaption(group); }
    bool rank(int col, std::vector<qint64> *ranks) const override
    {
        if (m_every)
            return m_all->rank(col, ranks);
        std::vector<qint64> all;
        if (!m_all->rank(col, &all) || int(all.size()) != m_all->rowCount())
            return false;
        ranks->resize(m_rows.size());
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            (*ranks)[i] = all[std::size_t(m_rows[i])];
        return true;
    }
    [[nodiscard]] bool sameAs(const std::shared_ptr<const GridSource> &all, const std::vector<int> &rows,
                              bool every) const
    {
        return m_all == all && m_every == every && (every || m_rows == rows);
    }

private:
    // The loaded row under a shown one; -1 outside.
    [[nodiscard]] int loaded(int row) const
    {
        if (m_every)
            return row;
        return row < 0 || row >= int(m_rows.size()) ? -1 : m_rows[std::size_t(row)];
    }
    std::shared_ptr<const GridSource> m_all;
    std::vector<int> m_rows;
    bool m_every;
};

} // namespace

Grid::Grid(QWidget *parent) : QWidget(parent)
{
    m_model = new GridModel(this);
    m_view = new GridView(this);
    m_view->setObjectName(QStringLiteral("gridView"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    // Uniform heights and fixed section sizes keep scrolling through a
    // hundred thousand rows free of per-row measuring.
    m_view->setUniformRowHeights(true);
    m_view->setAlternatingRowColors(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSortingEnabled(false);
    m_view->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_view->header()->setStretchLastSection(false);
    m_view->header()->setSectionsClickable(true);
    m_view->header()->setSortIndicatorShown(false);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);

    m_navigator = new QLabel(this);
    m_navigator->setObjectName(QStringLiteral("recordNavigator"));
    m_navigator->setVisible(false);
    m_navigator->setTextFormat(Qt::PlainText);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_navigator);
    setFocusProxy(m_view);
    setAccessibleName(LoadResString(1572));

    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_rowBeforeReset = m_currentRow;
        rememberCollapsedGroups();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &Grid::afterReset);
    connect(m_model, &QAbstractItemModel::columnsInserted, this, [this] { applyColumns(); });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] { onCurrentChanged(); });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, &Grid::onCurrentChanged);
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this] { emit doubleClicked(); });
    connect(m_view->header(), &QHeaderView::sectionClicked, this, &Grid::onHeaderClicked);
    connect(m_view->header(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        // A width the user drags is kept like one the program sets, so a
        // reload does not snap it back.
        if (m_applyingColumns || size <= 0)
            return;
        GridColumn def = m_model->gridColumn(section + 1);
        def.widthTwips = size * 1440 / std::max(1, logicalDpiX());
        QSignalBlocker block(m_model);
        m_model->setGridColumn(section + 1, def);
    });
    m_model->setBaseFont(font());
    applyRowStyles();
}

Grid::~Grid() = default;

void Grid::setRows(std::unique_ptr<GridSource> rows)
{
    m_loaded = std::shared_ptr<const GridSource>(std::move(rows));
    m_foldedValid = false;
    m_matchesValid = false;
    showSearchedRows();
}

void Grid::setSearch(const QStringList &fields, const QString &text, const QLocale &locale)
{
    if (fields == m_searchFields && text == m_searchText && locale == m_searchLocale)
        return;
    if (fields != m_searchFields || locale != m_searchLocale) {
        m_foldedValid = false;
        m_matchesValid = false;
    }
    m_searchFields = fields;
    m_searchText = text;
    m_searchLocale = locale;
    m_foldedNeedle = searchNeedle(text, locale);
    showSearchedRows();
}

int Grid::loadedRecordCount() const
{
    return m_loaded ? m_loaded->rowCount() : 0;
}

void Grid::showSearchedRows()
{
    if (!m_loaded) {
        m_model->setSource(nullptr);
        return;
    }
    // A keystroke that lets through the rows already shown (the first
    // letter of a word every row holds) leaves the model as it is.
    auto show = [this](std::vector<int> rows, bool every) {
        const auto *shown = dynamic_cast<const SearchedRows *>(m_model->source());
        if (shown && shown->sameAs(m_loaded, rows, every))
            return;
        m_model->setSource(std::make_unique<SearchedRows>(m_loaded, std::move(rows), every));
    };
    const int n = m_loaded->rowCount();
    if (m_foldedNeedle.isEmpty() || m_searchFields.isEmpty()) {
        show({}, true);
        return;
    }
    QList<int> fields;
    for (int f = 0; f < m_loaded->columnCount(); ++f) {
        for (const QString &name : std::as_const(m_searchFields)) {
            if (m_loaded->columnName(f).compare(name, Qt::CaseInsensitive) == 0)
                fields.append(f);
        }
    }
    if (fields.isEmpty()) {
        show({}, true); // a list without those fields has nothing to search in
        return;
    }
    const std::size_t width = std::size_t(fields.size());
    if (!m_foldedValid) {
        m_foldedTexts.assign(std::size_t(n) * width, QString());
        for (int r = 0; r < n; ++r) {
            for (std::size_t k = 0; k < width; ++k) {
                const QString text = m_loaded->searchedText(r, fields[qsizetype(k)]);
                if (!text.isEmpty())
                    m_foldedTexts[std::size_t(r) * width + k] = searchFold(text, m_searchLocale);
            }
        }
        m_foldedValid = true;
        m_matchesValid = false;
    }
    auto matches = [&](int r) {
        for (std::size_t k = 0; k < width; ++k) {
            if (searchMatches(m_foldedTexts[std::size_t(r) * width + k], m_foldedNeedle))
                return true;
        }
        return false;
    };
    std::vector<int> found;
    if (m_matchesValid && m_foldedNeedle.contains(m_matchedNeedle)) {
        // Typing on: whatever holds the longer text held the shorter one.
        for (int r : m_matches) {
            if (matches(r))
                found.push_back(r);
        }
    } else {
        for (int r = 0; r < n; ++r) {
            if (matches(r))
                found.push_back(r);
        }
    }
    m_matches = found;
    m_matchedNeedle = m_foldedNeedle;
    m_matchesValid = true;
    const bool every = int(found.size()) == n;
    show(every ? std::vector<int>() : std::move(found), every);
}

void Grid::refresh()
{
    m_model->refresh();
    updateNavigator();
}

QVariant Grid::recordValue(int bookmark, const QString &column) const
{
    const GridSource *src = m_model->source();
    if (!src)
        return {};
    for (int f = 0; f < src->columnCount(); ++f) {
        if (src->columnName(f).compare(column, Qt::CaseInsensitive) == 0)
            return src->value(bookmark, f);
    }
    return {};
}

int Grid::columnCount() const
{
    return m_model->gridColumnCount();
}

QString Grid::columnName(int column) const
{
    return m_model->gridColumn(column).name;
}
bool Grid::isColumnVisible(int column) const
{
    return m_model->gridColumn(column).visible;
}
QString Grid::columnCaption(int column) const
{
    return m_model->gridColumn(column).caption;
}
QString Grid::columnFormat(int column) const
{
    return m_model->gridColumn(column).format;
}
Qt::Alignment Grid::columnAlignment(int column) const
{
    return m_model->gridColumn(column).alignment;
}
bool Grid::columnHasIcon(int column) const
{
    return m_model->gridColumn(column).hasIcon;
}
bool Grid::isColumnTextHidden(int column) const
{
    return m_model->gridColumn(column).textHidden;
}
QString Grid::columnEmptyText(int column) const
{
    return m_model->gridColumn(column).emptyText;
}

int Grid::columnWidth(int column) const
{
    return m_model->gridColumn(column).widthTwips;
}

template<typename F>
void Grid::changeColumn(int column, F change)
{
    if (column < 1 || column > columnCount())
        return;
    GridColumn def = m_model->gridColumn(column);
    change(def);
    m_model->setGridColumn(column, def);
    applyColumn(column);
}

void Grid::setColumnVisible(int column, bool visible)
{
    changeColumn(column, [&](GridColumn &c) { c.visible = visible; });
}
void Grid::setColumnWidth(int column, int twips)
{
    changeColumn(column, [&](GridColumn &c) { c.widthTwips = std::max(0, twips); });
}
void Grid::setColumnCaption(int column, const QString &caption)
{
    changeColumn(column, [&](GridColumn &c) { c.caption = caption; });
}
void Grid::setColumnFormat(int column, const QString &format)
{
    changeColumn(column, [&](GridColumn &c) { c.format = format; });
}
void Grid::setColumnAlignment(int column, Qt::Alignment a)
{
    changeColumn(column, [&](GridColumn &c) { c.alignment = a; });
}
void Grid::setColumnHasIcon(int column, bool on)
{
    changeColumn(column, [&](GridColumn &c) { c.hasIcon = on; });
}
void Grid::setColumnTextHidden(int column, bool hidden)
{
    changeColumn(column, [&](GridColumn &c) { c.textHidden = hidden; });
}
void Grid::setColumnSpokenCaption(int column, const QString &text)
{
    changeColumn(column, [&](GridColumn &c) { c.spokenCaption = text; });
}
void Grid::setColumnEmptyText(int column, const QString &text)
{
    changeColumn(column, [&](GridColumn &c) { c.emptyText = text; });
}

void Grid::clearGroups()
{
    m_model->clearGroups();
}
void Grid::addGroup(int column, Qt::SortOrder order)
{
    m_model->addGroup(column, order);
}
void Grid::setGroups(const QList<int> &columns)
{
    m_model->setGroups(columns);
}
int Grid::groupCount() const
{
    return m_model->groupCount();
}
int Grid::groupColumn(int level) const
{
    return m_model->groupKey(level).column;
}

int Grid::sortKeyCount() const
{
    return int(m_model->sortKeys().size());
}

void Grid::addSortKey(int column, Qt::SortOrder order)
{
    if (column < 1 || column > columnCount())
        return;
    QList<GridSortKey> keys = m_model->sortKeys();
    keys.append({column, order});
    m_model->setSortKeys(keys);
    const GridSortKey first = keys.first();
    m_view->header()->setSortIndicatorShown(true);
    m_view->header()->setSortIndicator(first.column - 1, first.order);
}

GridSortKey Grid::sortKey(int i) const
{
    return m_model->sortKeys().value(i - 1);
}

void Grid::clearSortKeys()
{
    m_model->setSortKeys({});
    m_view->header()->setSortIndicatorShown(false);
}

void Grid::onHeaderClicked(int section)
{
    // A click on the column already sorting flips its order; any other
    // column becomes the only key, ascending.
    const int column = section + 1;
    const QList<GridSortKey> keys = m_model->sortKeys();
    Qt::SortOrder order = Qt::AscendingOrder;
    if (!keys.isEmpty() && keys.first().column == column)
        order = keys.first().order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_model->setSortKeys({{column, order}});
    m_view->header()->setSortIndicatorShown(true);
    m_view->header()->setSortIndicator(section, order);
}

int Grid::recordCount() const
{
    return m_model->recordCount();
}
int Grid::rowCount() const
{
    return m_model->rowTotal();
}

void Grid::setCurrentRow(int row)
{
    if (row < 1 || row > rowCount()) {
        m_view->selectionModel()->clearCurrentIndex();
        m_view->selectionModel()->clearSelection();
        onCurrentChanged();
        return;
    }
    int column = m_view->currentIndex().isValid() ? m_view->currentIndex().column() + 1 : firstVisibleColumn();
    const QModelIndex index = m_model->indexAt(row, column);
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        m_view->expand(p);
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(index);
    onCurrentChanged();
}

GridRow Grid::row(int row) const
{
    return m_model->row(row);
}

QVariant Grid::value(int column) const
{
    return m_model->row(m_currentRow).value(column);
}

bool Grid::find(int column, const QVariant &value)
{
    const int row = m_model->find(column, value);
    if (row < 1)
        return false;
    setCurrentRow(row);
    return true;
}

Grid::Place Grid::place(int keyColumn) const
{
    const GridRow current = row(m_currentRow);
    return {keyColumn, current.isValid() && !current.isGroupRow() ? current.value(keyColumn) : QVariant(),
            m_view->verticalScrollBar()->value()};
}

void Grid::restorePlace(const Place &place)
{
    const int found = place.key.isValid() ? m_model->find(place.keyColumn, place.key) : 0;
    if (found > 0 && found != m_currentRow) {
        const int column =
            m_view->currentIndex().isValid() ? m_view->currentIndex().column() + 1 : firstVisibleColumn();
        m_view->selectionModel()->setCurrentIndex(m_model->indexAt(found, column),
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // The scroll range follows the new rows only once they are laid out.
    m_view->doItemsLayout();
    m_view->verticalScrollBar()->setValue(place.scroll);
}

void Grid::expandAll()
{
    m_view->expandAll();
}
void Grid::collapseAll()
{
    m_view->collapseAll();
}

bool Grid::isRowExpanded(int row) const
{
    return m_view->isExpanded(m_model->indexAt(row, 1));
}

void Grid::setRowExpanded(int row, bool expanded)
{
    const QModelIndex index = m_model->indexAt(row, 1);
    if (index.isValid())
        m_view->setExpanded(index, expanded);
}

void Grid::addFormatCondition(int column, const QVariant &value, const GridStyle &style)
{
    m_model->addFormatCondition(column, value, style);
}

void Grid::clearFormatConditions()
{
    m_model->clearFormatConditions();
}

void Grid::setNavigatorText(const QString &pattern)
{
    m_navigatorPattern = pattern;
    updateNavigator();
}

void Grid::setRowStyle(GridRowStyle kind, const GridStyle &style)
{
    m_model->setRowStyle(kind, style);
    applyRowStyles();
}

GridStyle Grid::rowStyle(GridRowStyle kind) const
{
    return m_model->rowStyle(kind);
}

void Grid::setImageList(const QList<QIcon> &images)
{
    m_model->setImageList(images);
}
QList<QIcon> Grid::imageList() const
{
    return m_model->imageList();
}

bool Grid::print(QPrinter *printer, QString *error)
{
    auto fail = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!printer)
        return fail(LoadResString(1575));
    printer->setFullPage(true);
    printer->setPageOrientation(m_printSettings.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QList<GridPrinter::Column> columns;
    for (int c = 1; c <= columnCount(); ++c) {
        if (isColumnVisible(c) && columnWidth(c) > 0)
            columns.append({c, columnWidth(c)});
    }
    const QFont body = m_printSettings.bodyFont.family().isEmpty() ? font() : m_printSettings.bodyFont;
    GridPrinter pages(*m_model, m_printSettings, columns, body);
    QPainter painter;
    if (!painter.begin(printer))
        return fail(LoadResString(1576).arg(printer->printerName()));
    const int count = pages.layout(printer);
    for (int page = 1; page <= count; ++page) {
        if (page > 1 && !printer->newPage()) {
            painter.end();
            return fail(LoadResString(1577).arg(page));
        }
        GridPageTexts texts;
        emit pagePrinted(page, count, texts);
        pages.paintPage(painter, page, texts);
    }
    if (!painter.end())
        return fail(LoadResString(1578));
    return true;
}

bool Grid::eventFilter(QObject *watched, QEvent *event)
{
    // The view itself reports double clicks on rows only; a list without
    // rows is all empty part, and a double click there is asked for too.
    if (watched == m_view->viewport() && event->type() == QEvent::MouseButtonDblClick && rowCount() == 0)
        emit doubleClicked();
    if (watched == m_view) {
        switch (event->type()) {
        case QEvent::FocusIn: emit gotFocus(); break;
        case QEvent::FocusOut: emit lostFocus(); break;
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            int code = key->key();
            emit keyDown(code, key->modifiers());
            if (code == 0)
                return true;
            break;
        }
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Grid::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_model->setBaseFont(font());
    QWidget::changeEvent(event);
}

void Grid::applyColumns()
{
    for (int c = 1; c <= columnCount(); ++c)
        applyColumn(c);
}

void Grid::applyColumn(int column)
{
    const GridColumn &def = m_model->gridColumn(column);
    m_applyingColumns = true;
    m_view->setColumnHidden(column - 1, !def.visible);
    if (def.visible)
        m_view->header()->resizeSection(column - 1, def.widthTwips * logicalDpiX() / 1440);
    m_applyingColumns = false;
}

void Grid::applyRowStyles()
{
    QPalette pal = m_view->palette();
    const GridStyle odd = m_model->rowStyle(GridRowStyle::OddRow);
    const GridStyle even = m_model->rowStyle(GridRowStyle::EvenRow);
    const GridStyle selected = m_model->rowStyle(GridRowStyle::SelectedRow);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        if (odd.backColor.isValid())
            pal.setColor(g, QPalette::Base, odd.backColor);
        if (odd.foreColor.isValid())
            pal.setColor(g, QPalette::Text, odd.foreColor);
        if (even.backColor.isValid())
            pal.setColor(g, QPalette::AlternateBase, even.backColor);
        if (selected.backColor.isValid())
            pal.setColor(g, QPalette::Highlight, selected.backColor);
        if (selected.foreColor.isValid())
            pal.setColor(g, QPalette::HighlightedText, selected.foreColor);
    }
    m_view->setPalette(pal);
}

void Grid::rememberCollapsedGroups()
{
    m_collapsedBeforeReset.clear();
    for (int g = 0; g < m_model->groupTotal(); ++g) {
        const QModelIndex index = m_model->indexAt(m_model->positionOfGroup(g), 1);
        if (index.isValid() && !m_view->isExpanded(index))
            m_collapsedBeforeReset.insert(m_model->groupPath(g));
    }
}

bool Grid::isShown(int row) const
{
    const QModelIndex index = m_model->indexAt(row, 1);
    if (!index.isValid())
        return false;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) {
        if (!m_view->isExpanded(up))
            return false;
    }
    return true;
}

int Grid::nearestShownRecord(int row) const
{
    auto isShownRecord = [this](int r) { return m_model->recordOrdinal(r) > 0 && isShown(r); };
    if (row < 1 || isShownRecord(row))
        return row;
    for (int r = row + 1; r <= rowCount(); ++r) {
        if (isShownRecord(r))
            return r;
    }
    for (int r = row - 1; r >= 1; --r) {
        if (isShownRecord(r))
            return r;
    }
    return row;
}

void Grid::afterReset()
{
    applyColumns();
    // Every group open, noted before the rows are laid out: a hundred
    // thousand rows are then laid out once, when the view next needs them,
    // not at once here and again then.
    m_view->layOutLater();
    for (int g = 0; g < m_model->groupTotal(); ++g)
        m_view->expand(m_model->indexAt(m_model->positionOfGroup(g), 1));
    // A reload (a closed deadline, a new one, another filter) is not a reason
    // to undo the user's collapsing.
    if (!m_collapsedBeforeReset.isEmpty()) {
        for (int g = 0; g < m_model->groupTotal(); ++g) {
            if (m_collapsedBeforeReset.contains(m_model->groupPath(g)))
                m_view->collapse(m_model->indexAt(m_model->positionOfGroup(g), 1));
        }
    }
    int target = m_rowBeforeReset > 0 ? std::min(m_rowBeforeReset, rowCount()) : 1;
    if (target > rowCount())
        target = 0;
    // Landing on a group row would leave Enter, Space and Del with nothing
    // to act on until the user moved.
    target = nearestShownRecord(target);
    if (target > 0) {
        const QModelIndex index = m_model->indexAt(target, firstVisibleColumn());
        QSignalBlocker block(m_view->selectionModel());
        m_view->selectionModel()->setCurrentIndex(index,
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // The row under the number may be another record now, so whatever
    // follows the current row is told even when the number stays.
    const QModelIndex current = m_view->currentIndex();
    m_currentRow = m_model->positionOf(current);
    updateNavigator();
    emit currentRowChanged(-1, current.isValid() ? current.column() + 1 : 0);
}

void Grid::onCurrentChanged()
{
    const QModelIndex current = m_view->currentIndex();
    const int row = m_model->positionOf(current);
    updateNavigator();
    if (row == m_currentRow)
        return;
    const int previous = m_currentRow;
    m_currentRow = row;
    updateNavigator();
    emit currentRowChanged(previous, current.isValid() ? current.column() + 1 : 0);
}

void Grid::updateNavigator()
{
    if (m_navigatorPattern.isEmpty()) {
        m_navigator->setVisible(false);
        return;
    }
    const int bar = m_navigatorPattern.indexOf(u'|');
    const QString caption = bar < 0 ? m_navigatorPattern : m_navigatorPattern.left(bar);
    const QString separator = bar < 0 ? QStringLiteral("/") : m_navigatorPattern.mid(bar + 1);
    // On a group row, the place of the record nearest to it; none without records.
    int ordinal = m_model->recordOrdinal(m_currentRow);
    for (int r = m_currentRow + 1; ordinal == 0 && r >= 2 && r <= rowCount(); ++r)
        ordinal = m_model->recordOrdinal(r);
    for (int r = m_currentRow - 1; ordinal == 0 && r >= 1; --r)
        ordinal = m_model->recordOrdinal(r);
    const QString place = ordinal > 0 ? QString::number(ordinal) + QLatin1Char(' ') : QString();
    m_navigator->setText(QStringLiteral("%1 %2%3 %4").arg(caption, place, separator).arg(recordCount()));
    m_navigator->setVisible(true);
}

int Grid::firstVisibleColumn() const
{
    for (int c = 1; c <= columnCount(); ++c) {
        if (isColumnVisible(c))
            return c;
    }
    return 1;
}

} // namespace velto
