#pragma once
// Turns one deadline entry into rows of Transactions: a single deadline or a
// recurring series, and keeps the numbering of a group consistent.

#include "data/status.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace velto {

class Connection;

enum class Cadence { Daily = 0, Weekly = 1, Monthly = 2, Quarterly = 3, Yearly = 4 };
inline constexpr int kCadenceCount = 5;
// The largest series the 16-bit row and count fields can number.
inline constexpr int kMaxSeriesCount = 32767;

struct DeadlineEntry {
    QString typeKey = QStringLiteral("d+1"); // "d+1" credit, "d-1" debit, "d-2" appointment
    QString description;
    QVariant accountId;                      // the client/supplier combo's value; empty for none
    QString amountText;                      // as shown in the amount box, in the user's locale
    bool recurring = false;
    QDate date;                              // single deadline, or the first of a series
    int count = 1;                           // series only, at least 2
    int cadenceIndex = 2;                    // series only, 0 to 4
    qint64 addToGroupId = 0;                 // 0: a new deadline or a new group
};

// Writes the entry; a series and the renumbering of a joined group are all
// or nothing. The error of the first failing statement is returned and
// nothing of the entry stays in the database.
Status InsertDeadlines(const DeadlineEntry &entry);

[[nodiscard]] bool IsLastDayOfMonth(const QDate &d);
[[nodiscard]] QDate EndOfMonth(const QDate &d);
// The date of the deadline k places after the first (k = 0 is the first).
[[nodiscard]] QDate seriesDate(const QDate &first, Cadence cadence, int k, bool keepMonthEnd);
[[nodiscard]] QChar cadenceLetter(int cadenceIndex);
// The type code of a type key: the key's last two characters as a number.
[[nodiscard]] int typeCodeOfKey(const QString &key);

// Gives every member of the group its place in date order and the group's
// size, on an open connection.
Status RenumberGroup(Connection &connection, qint64 groupId);

} // namespace velto
