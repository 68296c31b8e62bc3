#pragma once
// The text file that File > Export writes: a header line of the eight
// column titles, then one line per deadline, tab between fields, CR LF
// between lines, UTF-8. Every field of a deadline line stands between
// double quotes; a double quote inside a value is written twice, so a
// description such as 12" monitor stays one field for any reader that
// honours quotes. A line break inside a value (client notes may hold
// several lines) is written as a blank, so each deadline is one line.

#include "data/currency.h"
#include "deadlines/deadline.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

namespace velto {

// One deadline as the grid shows it.
struct ExportRecord {
    DeadlineType type = DeadlineType::Credit;
    bool done = false;              // TrDone
    QDate date;                     // TrDate
    QString description;            // as shown, with the series counter when shown
    std::optional<Currency> amount; // TrValue; none when the grid shows no amount
    Currency total;                 // TrBalance
    QString account;                // client/supplier name, empty when none
    QString accountNotes;
};

// A text as it leaves the program (terminal, notification, calendar,
// export): every control character, escape sequences' ESC and DEL
// included, becomes a blank, so no stored text can recolour a terminal or
// break a file's format. The controls a format allows are kept: a line
// break (CR LF, CR or LF) is one LF where kept holds it, a blank elsewhere.
[[nodiscard]] QString outsideText(QStringView text, QStringView kept = {});

// A number as "General Number" writes it: no grouping, no trailing zeros,
// the locale's decimal separator.
[[nodiscard]] QString generalNumber(Currency value, const QLocale &locale);

// The whole file. No line break follows the last line. Appointments carry
// no amount, so their amount field is empty whatever TrValue holds.
[[nodiscard]] QByteArray exportText(const QList<ExportRecord> &records, const QLocale &locale = QLocale());

} // namespace velto
