#pragma once
// The open deadlines a reminder tells about: read from one or more data
// sheets with their client/supplier and sheet name, and written as the
// lines a terminal or a notification shows. Read only.

#include "data/currency.h"
#include "data/status.h"
#include "deadlines/deadline.h"

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

namespace velto {

struct DueItem {
    Deadline deadline;
    QString account; // client/supplier name, empty when none
    QString sheetName;
};

// The sheet's open deadlines dated up to last (every open one for an invalid
// last), oldest first, appended to out.
Status readOpenDeadlines(const QString &connectionString, int sheetId, const QDate &last, QList<DueItem> *out);

// The description as the grid shows it, with "3 of 12" after a series member.
[[nodiscard]] QString describedWithCounter(const Deadline &d);
// The amount with its sign as the locale writes money; empty for an
// appointment, which carries none.
[[nodiscard]] QString signedAmountText(const Deadline &d, const QLocale &locale);

// One line per item (date, type, description, client/supplier, signed
// amount, sheet), in columns, then the signed total of the amounts as shown.
[[nodiscard]] QString dueReport(const QList<DueItem> &items, const QLocale &locale);

// A notification's texts: the count and total as the summary, the first
// maxItems items and how many more as the body.
struct DueSummary {
    QString summary;
    QString body;
};
[[nodiscard]] DueSummary dueSummary(const QList<DueItem> &items, const QLocale &locale, int maxItems = 5);

} // namespace velto
