#pragma once
// What a grid shows: one loaded result of columns and rows. The grid never
// sees SQL: a window hands it rows it read through the core, and the source
// answers everything a cell shows from those typed values.

#include <QString>
#include <QVariant>

#include <vector>

namespace velto {

class GridRow;

class GridSource
{
public:
    virtual ~GridSource() = default;
    [[nodiscard]] virtual int columnCount() const = 0;
    // The column's name, as the grid finds columns by name.
    [[nodiscard]] virtual QString columnName(int col) const = 0;
    [[nodiscard]] virtual int rowCount() const = 0;
    // QString, qint64, double, bool, QDate, velto::Currency, or a null
    // QVariant for a missing value. col and row count from 0.
    [[nodiscard]] virtual QVariant value(int row, int col) const = 0;

    // The picture of a cell in a column that shows one: its number from 1
    // in the grid's image list, 0 for none.
    [[nodiscard]] virtual int image(int row, int col) const
    {
        Q_UNUSED(row)
        Q_UNUSED(col)
        return 0;
    }
    // What a screen reader reads for a cell: its text (shown comes as the
    // cell shows it) and a description of the row's state.
    struct Spoken {
        QString text;
        QString description;
    };
    [[nodiscard]] virtual Spoken spoken(int row, int col, const QString &shown) const
    {
        Q_UNUSED(row)
        Q_UNUSED(col)
        return {shown, QString()};
    }
    // The caption of a group row; the group's caption comes in as the grid
    // makes it ("Column: value"), and the group's totals are asked of it.
    [[nodiscard]] virtual QString groupCaption(const GridRow &group) const;
    // The text the quick search looks in; by default the value's.
    [[nodiscard]] virtual QString searchedText(int row, int col) const { return value(row, col).toString(); }
    // Whole numbers, one per row, in the order and with the equalities of
    // the column's values; false to let the grid rank the values itself.
    // Lets a source with many rows group and sort without a QVariant per row.
    virtual bool rank(int col, std::vector<qint64> *ranks) const
    {
        Q_UNUSED(col)
        Q_UNUSED(ranks)
        return false;
    }
};

} // namespace velto
