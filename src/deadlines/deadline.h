#pragma once
// A deadline as the program handles it: every field of one row of
// Transactions, typed. Windows and commands pass these around; none of them
// reads a deadline back from what a grid shows.

#include "data/currency.h"

#include <QDate>
#include <QString>

#include <optional>

namespace velto {

// The type codes stored in TrType.
enum class DeadlineType : int {
    Credit = 1,
    Debit = -1,
    Appointment = -2,
};
inline constexpr DeadlineType kDeadlineTypes[] = {DeadlineType::Credit, DeadlineType::Debit, DeadlineType::Appointment};

[[nodiscard]] constexpr int typeCode(DeadlineType type)
{
    return int(type);
}
// The type of a stored code; none for a code the program does not know.
[[nodiscard]] std::optional<DeadlineType> deadlineTypeFromCode(qint64 code);
// The type's name in the user's language: "Credit", "Debit", "Appointment".
[[nodiscard]] QString deadlineTypeName(DeadlineType type);
// The longest description the database keeps.
[[nodiscard]] int descriptionMaxLength();
// What an amount of this type counts in the totals: a credit adds, a debit
// subtracts, an appointment carries no amount.
[[nodiscard]] Currency signedAmount(DeadlineType type, Currency amount);

struct Deadline {
    qint64 rowId = 0;                         // TrRowId
    int sheetId = 1;                          // TrDbId
    DeadlineType type = DeadlineType::Credit; // TrType
    bool done = false;                        // TrDone: closed
    QDate date;                               // TrDate
    QString description;                      // TrDescription
    qint64 accountId = 0;                     // TrAcId; 0 for no client/supplier
    Currency value;                           // TrValue, never negative
    Currency balance;                         // TrBalance: the value with the type's sign
    QString groupType;                        // TrGrpType: "n" single, or the series' cadence letter
    int groupRow = 0;                         // TrGrpRow: place in the series, from 1
    int groupCount = 0;                       // TrGrpMDay: members of the series
    QString notes;                            // TrNotes
    qint64 groupId = 0;                       // TrGrpId; 0 for a deadline on its own

    [[nodiscard]] bool isSeriesMember() const { return groupId != 0; }
    bool operator==(const Deadline &) const = default;
};

// The columns of the main query, as the deadline grid numbers them (from 1),
// and the two the grid computes itself. Used by the grid, export, print and
// the commands instead of raw numbers.
enum class MainColumn : int {
    RowId = 1,
    SheetId,
    Type,
    Done,
    Date,
    Description,
    AccountRef, // TrAcId
    Value,
    Balance,
    GroupType,
    GroupRow,
    GroupCount,
    Notes,
    GroupId,
    AccountId, // Accounts.AcId
    AccountName,
    AccountNotes,
    GroupKey,    // computed: the date bucket or month of the layout
    OpenBalance, // computed: the balance of an open deadline, 0 when closed
};
inline constexpr int kMainColumnCount = 19;
[[nodiscard]] constexpr int col(MainColumn c)
{
    return int(c);
}

} // namespace velto
