#pragma once
// Turns one deadline entry into rows of Transactions: a single deadline or a
// recurring series, and keeps the numbering of a group consistent.

#include "data/currency.h"
#include "data/status.h"
#include "deadlines/deadline.h"
#include "deadlines/recurrence.h"

#include <QDate>
#include <QString>

#include <optional>

namespace velto {

class Connection;
class UndoHistory;

enum class Cadence { Daily = 0, Weekly = 1, Monthly = 2, Quarterly = 3, Yearly = 4 };
inline constexpr int kCadenceCount = 5;
// The largest series the 16-bit row and count fields can number.
inline constexpr int kMaxSeriesCount = 32767;

struct DeadlineEntry {
    DeadlineType type = DeadlineType::Credit;
    QString description;
    qint64 accountId = 0; // 0 for no client/supplier
    Currency amount{};    // never negative; appointments carry none
    bool recurring = false;
    QDate date;                         // single deadline, or the first of a series
    int count = 1;                      // series only, at least 2
    Cadence cadence = Cadence::Monthly; // series only
    qint64 addToGroupId = 0;            // 0: a new deadline or a new series
    // Series only: a rule beyond the five cadences, kept with the series.
    // It replaces the cadence; with rule->until it also replaces the count.
    std::optional<Recurrence> rule{};
};

// Writes the entry into the data sheet; a series and the renumbering of a
// joined series are all or nothing. The error of the first failing
// statement is returned and nothing of the entry stays in the database.
// A member joins only a series of the same data sheet, and a data sheet or
// client/supplier that no longer exists is refused. A new series takes a
// number (TrGrpId) no other series ever held. firstRowId receives the TrRowId of the
// (first) new deadline. With a history, the change is recorded in it.
Status InsertDeadlines(const QString &connectionString, int sheetId, const DeadlineEntry &entry,
                       qint64 *firstRowId = nullptr, UndoHistory *history = nullptr);

[[nodiscard]] bool IsLastDayOfMonth(const QDate &d);
[[nodiscard]] QDate EndOfMonth(const QDate &d);
// The date of the deadline k places after the first (k = 0 is the first).
[[nodiscard]] QDate seriesDate(const QDate &first, Cadence cadence, int k, bool keepMonthEnd);
[[nodiscard]] QChar cadenceLetter(Cadence cadence);
// The dates a series entry stores, in order: its cadence's or its rule's,
// never more than limit (a longer series is refused by InsertDeadlines).
[[nodiscard]] QList<QDate> seriesDates(const DeadlineEntry &entry, int limit = kMaxSeriesCount + 1);
// Refuses the dates of a series as InsertDeadlines would: too many, fewer
// than its count (past the year 9999), or fewer than 2 up to its end date.
Status checkSeriesDates(const DeadlineEntry &entry, const QList<QDate> &dates);
// The rule kept with a series; nullopt for one of the five cadences.
Status loadSeriesRule(const QString &connectionString, qint64 groupId, std::optional<Recurrence> *rule);

// Gives every member of the group its place in date order and the group's
// size, on an open connection.
Status RenumberGroup(Connection &connection, qint64 groupId);

} // namespace velto
