#pragma once
// The deadline grid's rows: the core's typed MainRows, with what each cell
// shows worked out from them. Columns are those of MainColumn, in its order.

#include "deadlines/mainrows.h"
#include "ui/widgets/gridsource.h"

#include <QDate>
#include <QString>

#include <memory>

namespace velto {

class MainGridSource : public GridSource
{
public:
    // How the window shows the rows at this load.
    struct Look {
        QString sheetCaption; // the top group: "sheet - filter"
        Layout layout = Layout::Simple;
        bool showTotals = false;  // open totals in the group captions
        QString counterSeparator; // between a member's place and its series' size; empty: no counters
        QDate today;              // the day the date buckets count from
    };

    MainGridSource(std::shared_ptr<const MainRows> rows, Look look);

    // The column names, as the search and the window find columns.
    [[nodiscard]] static QString nameOf(MainColumn column);

    [[nodiscard]] int columnCount() const override { return kMainColumnCount; }
    [[nodiscard]] QString columnName(int col) const override { return nameOf(MainColumn(col + 1)); }
    [[nodiscard]] int rowCount() const override { return m_rows->size(); }
    [[nodiscard]] QVariant value(int row, int col) const override;
    [[nodiscard]] int image(int row, int col) const override;
    [[nodiscard]] Spoken spoken(int row, int col, const QString &shown) const override;
    [[nodiscard]] QString groupCaption(const GridRow &group) const override;
    // The stored texts: a series counter in the description must not make
    // "3" find every third member.
    [[nodiscard]] QString searchedText(int row, int col) const override;
    bool rank(int col, std::vector<qint64> *ranks) const override;

    [[nodiscard]] const MainRows &rows() const { return *m_rows; }

private:
    [[nodiscard]] QString totalSuffix(const GridRow &group) const;

    std::shared_ptr<const MainRows> m_rows;
    Look m_look;
};

} // namespace velto
