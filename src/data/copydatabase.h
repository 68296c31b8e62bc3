#pragma once
// A whole deadline book copied from one database to another: a file onto a
// server, a server into a file, or between two of either. Data sheets,
// clients, deadlines, series rules, the book's own key and the counters of
// its keys travel with their values and keys unchanged.

#include "data/status.h"

#include <QList>
#include <QString>

namespace velto {

// What a book holds, per data sheet: compared after a copy.
struct BookTotals {
    qint64 sheets = 0;
    qint64 clients = 0;
    struct Sheet {
        qint64 id = 0;
        qint64 deadlines = 0;
        qint64 valueUnits = 0;   // sum of the amounts, in ten-thousandths
        qint64 balanceUnits = 0; // sum of the signed balances
        bool operator==(const Sheet &) const = default;
    };
    QList<Sheet> perSheet;
    bool operator==(const BookTotals &) const = default;
};

Status readBookTotals(const QString &connectionString, BookTotals *out);

// Copies the book at from into to, which must hold no rows: a server
// database with no tables is given the schema, a folder gets a new file.
// Everything is written in one unit of work on the target, so an
// interrupted copy leaves it as empty as it was. Afterwards the counts and
// sums per data sheet of both are compared; a difference is an error.
// kErrorNotEmpty when the target holds data.
Status copyDatabase(const QString &from, const QString &to);

// Gives an empty server database the schema and the rows of the template
// file (the first data sheet). Nothing is done to one that has the tables.
Status setUpServerDatabase(const QString &location, const QString &templatePath);

} // namespace velto
