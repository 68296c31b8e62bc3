#pragma once
// Rows written straight into the sandbox database, as a test's "given",
// and read back afterwards as its "then".

#include "data/currency.h"
#include "deadlines/deadline.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace velto::test {

// Inserts one deadline (a series member when group > 0) and returns its TrRowId.
qint64 seedDeadline(int sheet, DeadlineType type, const QDate &day, const QString &description, qint64 account,
                    Currency value, bool done = false, qint64 group = 0, int row = 0, int count = 0);
// A series of count members a month apart from first, in group; their TrRowIds.
QList<qint64> seedSeries(int sheet, DeadlineType type, const QDate &first, int count, const QString &description,
                         qint64 account, Currency value, qint64 group);
qint64 seedAccount(const QString &name, const QString &notes = QString());
void seedSheet(int id, const QString &name);
[[nodiscard]] Currency money(const char *invariant);

// Every deadline stored, by date then TrRowId.
[[nodiscard]] QList<Deadline> storedDeadlines(const QString &where = QStringLiteral("True"));
// Every description stored, alphabetically.
[[nodiscard]] QStringList storedDescriptions();
// Rows numbered 1..n in their order, each knowing the group's size n.
[[nodiscard]] bool numberedInOrder(const QList<Deadline> &rows);

} // namespace velto::test
