#pragma once
// What a grid shows: one loaded result of columns and rows. The grid never
// sees SQL; the program hands it a loader that turns a connection and a
// record source into one of these.

#include <QString>
#include <QVariant>

namespace velto {

class GridSource
{
public:
    virtual ~GridSource() = default;
    [[nodiscard]] virtual int columnCount() const = 0;
    // The field name, as the program reads fields by name.
    [[nodiscard]] virtual QString columnName(int col) const = 0;
    [[nodiscard]] virtual int rowCount() const = 0;
    // QString, qint64, double, bool, QDate, velto::Currency, or a null
    // QVariant for a missing value. col and row count from 0.
    [[nodiscard]] virtual QVariant value(int row, int col) const = 0;
};

} // namespace velto
