#include "deadlines/duelist.h"

#include "app/localeinfo.h"
#include "app/strings.h"
#include "data/catalogue.h"
#include "data/recordset.h"
#include "deadlines/datasheets.h"
#include "deadlines/deadlinestore.h"
#include "deadlines/exporttext.h"

#include <QStringList>

#include <algorithm>

namespace velto {

Status readOpenDeadlines(const QString &connectionString, int sheetId, const QDate &last, QList<DueItem> *out)
{
    QString sheetName;
    if (const Status st = dataSheetName(connectionString, sheetId, &sheetName); !st)
        return st;
    Recordset rs;
    if (const Status st = rs.open(sql::openDeadlinesUpTo(sheetId, last), connectionString); !st)
        return st;
    const int accountField = rs.fieldIndex(u"AcName");
    for (; !rs.eof(); rs.moveNext())
        out->append({deadlineAt(rs), rs.textValue(accountField), sheetName});
    const Status read = rs.status();
    rs.close();
    return read;
}

QString describedWithCounter(const Deadline &d)
{
    if (!d.isSeriesMember())
        return d.description;
    return d.description + QLatin1Char(' ') + QString::number(d.groupRow) + QLatin1Char(' ') + LoadResString(1050)
        + QLatin1Char(' ') + QString::number(d.groupCount);
}

namespace {

QString signedMoney(Currency value, const QLocale &locale)
{
    // The sign always stands in front, also where the locale writes a
    // negative amount in brackets: in a column of credits and debits a
    // plus and a minus read apart at a glance. An amount shown as zero
    // carries none.
    value = value.roundedTo(Currency::currencyDecimals(locale));
    const Currency magnitude = value.units() < 0 ? Currency() - value : value;
    const QString text = magnitude.toLocaleCurrency(locale);
    if (value.units() == 0)
        return text;
    return (value.units() > 0 ? locale.positiveSign() : locale.negativeSign()) + text;
}

// The total of the amounts as they are shown, each rounded to the
// currency's decimals: the lines above it add up to it, as on a printed
// statement. (The exact sum may differ by a few hundredths.)
Currency shownTotal(const QList<DueItem> &items, const QLocale &locale)
{
    const int decimals = Currency::currencyDecimals(locale);
    Currency total;
    for (const DueItem &i : items)
        total += signedAmount(i.deadline.type, i.deadline.value).roundedTo(decimals);
    return total;
}

} // namespace

QString signedAmountText(const Deadline &d, const QLocale &locale)
{
    if (d.type == DeadlineType::Appointment)
        return QString();
    return signedMoney(signedAmount(d.type, d.value), locale);
}

QString dueReport(const QList<DueItem> &items, const QLocale &locale)
{
    enum { Date, Type, Description, Account, Amount, Sheet, ColumnCount };
    QList<QStringList> rows;
    int widths[ColumnCount] = {};
    const QString dateFormat = fourDigitYearFormat(locale);
    for (const DueItem &i : items) {
        QStringList row{locale.toString(i.deadline.date, dateFormat),
                        deadlineTypeName(i.deadline.type),
                        describedWithCounter(i.deadline),
                        i.account,
                        signedAmountText(i.deadline, locale),
                        i.sheetName};
        // One line per deadline whatever the description holds, and no
        // escape sequence reaches the terminal.
        for (QString &field : row)
            field = outsideText(field);
        for (int c = 0; c < ColumnCount; ++c)
            widths[c] = std::max(widths[c], int(row[c].size()));
        rows.append(row);
    }
    QString text;
    for (const QStringList &row : rows) {
        QString line;
        for (int c = 0; c < ColumnCount; ++c) {
            if (c > 0)
                line += QStringLiteral("  ");
            line += c == Amount ? row[c].rightJustified(widths[c]) : row[c].leftJustified(widths[c]);
        }
        text += line.trimmed() + QLatin1Char('\n');
    }
    text +=
        LoadResString(1008) + QStringLiteral(": ") + signedMoney(shownTotal(items, locale), locale) + QLatin1Char('\n');
    return text;
}

DueSummary dueSummary(const QList<DueItem> &items, const QLocale &locale, int maxItems)
{
    DueSummary s;
    const QString total = signedMoney(shownTotal(items, locale), locale);
    s.summary = items.size() == 1 ? LoadResString(1729).arg(total)
                                  : LoadResString(1728).arg(locale.toString(items.size()), total);
    QStringList lines;
    const QString dateFormat = fourDigitYearFormat(locale);
    for (qsizetype n = 0; n < items.size() && n < maxItems; ++n) {
        const Deadline &d = items.at(n).deadline;
        QStringList parts{locale.toString(d.date, dateFormat), outsideText(describedWithCounter(d))};
        if (!items.at(n).account.isEmpty())
            parts.append(outsideText(items.at(n).account));
        if (const QString amount = signedAmountText(d, locale); !amount.isEmpty())
            parts.append(amount);
        lines.append(parts.join(QStringLiteral(" · ")));
    }
    if (items.size() > maxItems)
        lines.append(LoadResString(1730).arg(locale.toString(items.size() - maxItems)));
    s.body = lines.join(QLatin1Char('\n'));
    return s;
}

} // namespace velto
