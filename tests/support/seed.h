#pragma once
// Rows written straight into the sandbox database, as a test's "given",
// and read back afterwards as its "then".

#include "data/currency.h"
#include "deadlines/deadline.h"

#include <QDate>
#include <QList>
#include <QString>

namespace velto::test {

// Inserts one deadline (a series member when group > 0) and returns its TrRowId.
qint64 seedDeadline(int sheet, DeadlineType type, const QDate &day, const QString &description, qint64 account,
                    Currency value, bool done = false, qint64 group = 0, int row = 0, int count = 0);
qint64 seedAccount(const QString &name, const QString &notes = QString());
void seedSheet(int id, const QString &name);
// Runs one statement in the program's dialect; false when it fails.
bool seedExec(const QString &statement);
[[nodiscard]] Currency money(const char *invariant);

// Every deadline stored, by date then TrRowId.
[[nodiscard]] QList<Deadline> storedDeadlines(const QString &where = QStringLiteral("True"));

} // namespace velto::test
