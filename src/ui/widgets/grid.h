#pragma once
// The list control of every window: a read-only tree of records under
// nested group rows, with the column, group, sort, find, format, print and
// request operations the windows use.
//
// Numbering: columns from 1 (column 1 = the first field of the record
// source; added unbound columns follow the fields), rows from 1 with group
// rows included, counted over the fully expanded tree. A collapsed group
// keeps the numbers of the rows under it, so "last row" and a walk over
// rows 1..rowCount() reach every record exactly once whatever is expanded;
// making a hidden row current expands its groups.
//
// The rows come from the window as a GridSource over typed values it read
// through the core; the source answers what its cells show (values,
// pictures, spoken texts, group captions). The keyDown and pagePrinted
// requests carry references for the answer: connect them directly, never
// queued.

#include "ui/widgets/gridrow.h"
#include "ui/widgets/gridsource.h"
#include "ui/widgets/gridtypes.h"

#include <QIcon>
#include <QList>
#include <QLocale>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QPrinter;

namespace velto {

class GridModel;
class GridView;

class Grid : public QWidget
{
    Q_OBJECT
public:
    explicit Grid(QWidget *parent = nullptr);
    ~Grid() override;

    // Shows rows the window read through the core. Columns (found by name),
    // styles, groups, sort keys and collapsed groups stay; the current row
    // keeps its number where it still exists (row 1 when there was none),
    // moved to the nearest shown record when that number is a group row,
    // and currentRowChanged is emitted with previous row -1 since the row
    // under the number may be another one.
    void setRows(std::unique_ptr<GridSource> rows);
    // Makes the group captions again and redraws.
    void refresh();
    // Quick search: only the records whose fields (by name) contain the
    // text, compared as searchFold compares for the locale; empty shows
    // every record. It stays in force across setRows, and
    // narrows what everything else sees: row numbers, groups and their
    // totals, the navigator, find, print and export.
    void setSearch(const QStringList &fields, const QString &text, const QLocale &locale);
    [[nodiscard]] QString searchText() const { return m_searchText; }
    // The records loaded before the search narrowed them.
    [[nodiscard]] int loadedRecordCount() const;
    // The source's value of a record, by column name.
    [[nodiscard]] QVariant recordValue(int bookmark, const QString &column) const;

    [[nodiscard]] int columnCount() const;
    [[nodiscard]] QString columnName(int column) const;
    [[nodiscard]] bool isColumnVisible(int column) const;
    void setColumnVisible(int column, bool visible);
    // Twips: pixels * 1440 / logicalDpiX.
    [[nodiscard]] int columnWidth(int column) const;
    void setColumnWidth(int column, int twips);
    [[nodiscard]] QString columnCaption(int column) const;
    void setColumnCaption(int column, const QString &caption);
    [[nodiscard]] QString columnFormat(int column) const;
    void setColumnFormat(int column, const QString &format);
    [[nodiscard]] Qt::Alignment columnAlignment(int column) const;
    void setColumnAlignment(int column, Qt::Alignment alignment);
    [[nodiscard]] bool columnHasIcon(int column) const;
    void setColumnHasIcon(int column, bool on);
    // A column whose value is kept for grouping, sorting and finding but
    // not drawn (a key, or a type shown only as its picture).
    [[nodiscard]] bool isColumnTextHidden(int column) const;
    void setColumnTextHidden(int column, bool hidden);
    // What a screen reader reads for a header without caption.
    void setColumnSpokenCaption(int column, const QString &text);
    [[nodiscard]] QString columnEmptyText(int column) const;
    void setColumnEmptyText(int column, const QString &text);

    void clearGroups();
    // Each group added nests inside the ones before.
    void addGroup(int column, Qt::SortOrder order = Qt::AscendingOrder);
    // Groups by these columns, ascending, outermost first, in one rebuild.
    void setGroups(const QList<int> &columns);
    [[nodiscard]] int groupCount() const;
    [[nodiscard]] int groupColumn(int level) const; // level from 1

    [[nodiscard]] int sortKeyCount() const;
    void addSortKey(int column, Qt::SortOrder order = Qt::AscendingOrder);
    [[nodiscard]] GridSortKey sortKey(int i) const; // i from 1
    void clearSortKeys();

    [[nodiscard]] int recordCount() const;
    [[nodiscard]] int rowCount() const;
    // 0 when there is none; setting a number below 1 clears it.
    [[nodiscard]] int currentRow() const { return m_currentRow; }
    void setCurrentRow(int row);
    [[nodiscard]] GridRow row(int row) const;
    // The value of a column in the current row.
    [[nodiscard]] QVariant value(int column) const;
    // Makes current the first row whose column equals value, expanding its
    // groups; false (position unchanged) when no row matches.
    bool find(int column, const QVariant &value);

    // Where the user is: the current record's value in a key column and the
    // scroll position. restorePlace puts both back after a reload: the record
    // with that key is current again wherever it moved (no collapsed group
    // is opened for it); without it the row number stays as the reload left
    // it.
    struct Place {
        int keyColumn = 0;
        QVariant key;
        int scroll = 0;
    };
    [[nodiscard]] Place place(int keyColumn) const;
    void restorePlace(const Place &place);

    void expandAll();
    void collapseAll();
    [[nodiscard]] bool isRowExpanded(int row) const;
    void setRowExpanded(int row, bool expanded);

    // Records whose column equals value are drawn with the style; the last
    // matching condition wins.
    void addFormatCondition(int column, const QVariant &value, const GridStyle &style);
    void clearFormatConditions();

    // "Caption|separator": "Deadline|of" shows "Deadline 3 of 12" under the
    // list; empty hides the counter.
    void setNavigatorText(const QString &pattern);
    [[nodiscard]] QString navigatorText() const { return m_navigatorPattern; }

    void setRowStyle(GridRowStyle kind, const GridStyle &style);
    [[nodiscard]] GridStyle rowStyle(GridRowStyle kind) const;
    void setImageList(const QList<QIcon> &images);
    [[nodiscard]] QList<QIcon> imageList() const;

    void setPrintSettings(const GridPrintSettings &settings) { m_printSettings = settings; }
    [[nodiscard]] GridPrintSettings printSettings() const { return m_printSettings; }
    // Prints every row, one pagePrinted request per page before it is drawn.
    bool print(QPrinter *printer, QString *error = nullptr);

signals:
    void gotFocus();
    void lostFocus();
    // On a row, and anywhere on a list without rows.
    void doubleClicked();
    // Setting key to 0 swallows the key.
    void keyDown(int &key, Qt::KeyboardModifiers modifiers);
    void currentRowChanged(int previousRow, int column);
    void pagePrinted(int page, int pageCount, velto::GridPageTexts &texts);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyColumns();
    void applyColumn(int column);
    void applyRowStyles();
    void afterReset();
    void onCurrentChanged();
    void onHeaderClicked(int section);
    void updateNavigator();
    [[nodiscard]] int firstVisibleColumn() const;
    void rememberCollapsedGroups();
    // True when no group above the row is collapsed.
    [[nodiscard]] bool isShown(int row) const;
    // The record row to make current after a reload that would land on row:
    // row itself when it is a record, else the nearest shown record after
    // it, then before it; row when there is none.
    [[nodiscard]] int nearestShownRecord(int row) const;
    template<typename F>
    void changeColumn(int column, F change);
    // Hands the model the loaded rows the search lets through.
    void showSearchedRows();

    // Every row of the last load, and the search over them.
    std::shared_ptr<const GridSource> m_loaded;
    QStringList m_searchFields;
    QString m_searchText;
    QLocale m_searchLocale;
    QString m_foldedNeedle;
    // The search fields of every loaded row, folded once per load.
    std::vector<QString> m_foldedTexts;
    bool m_foldedValid = false;
    // The rows the last needle matched: a longer needle only narrows them.
    std::vector<int> m_matches;
    QString m_matchedNeedle;
    bool m_matchesValid = false;

    GridModel *m_model = nullptr;
    GridView *m_view = nullptr;
    QLabel *m_navigator = nullptr;
    QString m_navigatorPattern;
    GridPrintSettings m_printSettings;
    int m_currentRow = 0;
    int m_rowBeforeReset = 0;
    QSet<QString> m_collapsedBeforeReset; // group paths, kept collapsed by a reload
    bool m_applyingColumns = false;
};

} // namespace velto
