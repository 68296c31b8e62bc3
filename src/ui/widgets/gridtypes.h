#pragma once
// Plain value types shared by the grid, its model and its printer.
//
// Columns are numbered from 1 everywhere in the grid's API: column 1 is the
// first field of the source. Rows are numbered from 1 too; 0 means "no row".

#include <QColor>
#include <QFont>
#include <QString>
#include <QVariant>

#include <functional>

namespace velto {

struct GridColumn {
    QString name;    // field name; added columns get the name given to add
    QString caption; // header text; the field name until set
    bool visible = true;
    int widthTwips = 1440;
    // "Currency", "Short Date", "Long Date", "General Number", "Fixed",
    // "Percent" (case-insensitive), otherwise a QLocale date/time pattern
    // for dates; empty shows the value as it is.
    QString format;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool hasIcon = false;    // its cells show the source's picture
    bool textHidden = false; // the value sorts, groups and finds but is not drawn
    QString emptyText;       // shown for null or empty values
    QString spokenCaption;   // what a screen reader reads for an empty caption
    int field = -1;          // index in the source
};

// A look for rows: the row styles and the format conditions use it. An
// invalid colour leaves the default colour.
struct GridStyle {
    QColor foreColor;
    QColor backColor;
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    bool underline = false;
};

enum class GridRowStyle { OddRow, EvenRow, RowGroup, SelectedRow };

struct GridSortKey {
    int column = 0;
    Qt::SortOrder order = Qt::AscendingOrder;
};

// Codes of the group aggregates. Sum adds in Currency arithmetic when the
// column's values are Currency or its format is "Currency"; Min and Max
// answer "a value of the group" for a column constant within the group.
enum class GridAggregate { Count = 1, Sum = 2, Min = 3, Max = 4 };

// Texts of one printed page, filled by the page request. Positions 1 to 3
// are the left, centre and right of the band.
class GridPageTexts
{
public:
    void setHeader(int position, const QString &text)
    {
        if (valid(position))
            m_header[position - 1] = text;
    }
    void setFooter(int position, const QString &text)
    {
        if (valid(position))
            m_footer[position - 1] = text;
    }
    [[nodiscard]] QString header(int position) const { return valid(position) ? m_header[position - 1] : QString(); }
    [[nodiscard]] QString footer(int position) const { return valid(position) ? m_footer[position - 1] : QString(); }

private:
    static bool valid(int position) { return position >= 1 && position <= 3; }
    QString m_header[3];
    QString m_footer[3];
};

struct GridPrintSettings {
    QFont headerFont = QFont(QStringLiteral("Tahoma"), 8);
    QFont footerFont = QFont(QStringLiteral("Tahoma"), 8);
    QFont bodyFont; // empty family: the grid's own font
    int leftMarginTwips = 740;
    int rightMarginTwips = 740;
    int topMarginTwips = 740;
    int bottomMarginTwips = 740;
    bool fitColumns = true; // scale the shown widths to the page width
    // With a stretch column, fitting gives every other column the width of
    // its widest printed text, so dates and amounts are never cut, and the
    // stretch column what is left of the page (0: scale the shown widths).
    int stretchColumn = 0;
    // The text a record's cell prints, given what the list shows there; for
    // columns whose screen form is an icon or a sign-less number. Unset:
    // as shown.
    std::function<QString(int column, int bookmark, const QString &shown)> printedText;
    bool repeatHeaders = true; // column captions on every page, not only the first
    bool landscape = false;
};

} // namespace velto
