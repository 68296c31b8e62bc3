#pragma once
// Rows of one table exactly as stored: every column with the engine's own
// type, by key. They let a change be taken back (and made again) row for
// row, with the same keys, and tell whether the rows still hold what a
// change left in them.

#include "data/status.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace velto {

class Connection;

struct RowImages {
    QString table;       // "Transactions"
    QString keyColumn;   // "TrRowId"
    QStringList columns; // as the table holds them, empty until a row is read
    QMap<qint64, QVariantList> rows;
};

// Adds the rows a query in the program's dialect selects (SELECT * of the
// table) to images; a row read twice is kept once.
Status readRowImages(Connection &connection, const QString &selectAll, RowImages *images);

// Whether the rows of these keys are now exactly those of expected, a key
// missing from expected.rows meaning that no such row may exist. Value and
// type count: 1 is not 1.0 nor '1'.
Status rowsMatch(Connection &connection, const RowImages &expected, const QList<qint64> &keys, bool *match);

// Turns the rows of these keys from what current holds (as rowsMatch found
// them) into what target holds: deletes the rows current has, then inserts
// every row of target with its own key. Runs inside the caller's
// transaction.
Status writeRowImages(Connection &connection, const RowImages &current, const RowImages &target,
                      const QList<qint64> &keys);

} // namespace velto
