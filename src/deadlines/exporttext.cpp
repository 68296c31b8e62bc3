#include "deadlines/exporttext.h"

#include "app/localeinfo.h"
#include "app/strings.h"

#include <QStringList>

namespace velto {

namespace {

QString quoted(const QString &value)
{
    // One line per deadline: a line break kept in the notes becomes a blank.
    // A tab is text inside the quotes.
    return u'"' + outsideText(value, u"\t").replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QString outsideText(QStringView text, QStringView kept)
{
    QString out = text.toString();
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (QChar &c : out) {
        if (c.category() == QChar::Other_Control && !kept.contains(c))
            c = u' ';
    }
    return out;
}

QString generalNumber(Currency value, const QLocale &locale)
{
    return value.toInvariant().replace(u'.', locale.decimalPoint());
}

QByteArray exportText(const QList<ExportRecord> &records, const QLocale &locale)
{
    static constexpr int headerIds[] = {1002, 1003, 1004, 1005, 1007, 1008, 1015, 1016};
    QStringList header;
    for (int id : headerIds)
        header.append(LoadResString(id));
    QString text = header.join(u'\t');

    const QString closed = LoadResString(1107);
    const QString open = LoadResString(1030);
    for (const ExportRecord &r : records) {
        const bool hasAmount = r.amount.has_value() && r.type != DeadlineType::Appointment;
        const QStringList fields{
            deadlineTypeName(r.type),
            r.done ? closed : open,
            r.date.isValid() ? locale.toString(r.date, fourDigitYearFormat(locale)) : QString(),
            r.description,
            hasAmount ? generalNumber(*r.amount, locale) : QString(),
            generalNumber(r.total, locale),
            r.account,
            r.accountNotes,
        };
        text += QStringLiteral("\r\n");
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                text += u'\t';
            text += quoted(fields.at(i));
        }
    }
    return text.toUtf8();
}

} // namespace velto
