#include "ui/widgets/gridvalues.h"

#include "app/localeinfo.h"
#include "data/currency.h"
#include "deadlines/namecollation.h"

#include <QDate>
#include <QDateTime>

namespace velto {

namespace {

enum class Kind { Null, Number, Date, Text, Other };

Kind kindOf(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return Kind::Null;
    switch (v.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float: return Kind::Number;
    case QMetaType::QDate:
    case QMetaType::QDateTime: return Kind::Date;
    case QMetaType::QString: return Kind::Text;
    default: return v.metaType() == QMetaType::fromType<Currency>() ? Kind::Number : Kind::Other;
    }
}

bool isInteger(const QVariant &v)
{
    const int id = v.metaType().id();
    return id == QMetaType::Bool || id == QMetaType::Int || id == QMetaType::UInt || id == QMetaType::LongLong
        || id == QMetaType::ULongLong;
}

int compareNumbers(const QVariant &a, const QVariant &b)
{
    const QMetaType cur = QMetaType::fromType<Currency>();
    // Currency against Currency or an integer stays exact: 0.1 + 0.2 sums
    // must compare equal to 0.3.
    if (a.metaType() == cur || b.metaType() == cur) {
        auto units = [&](const QVariant &v, bool *ok) -> std::int64_t {
            if (v.metaType() == cur)
                return v.value<Currency>().units();
            if (isInteger(v))
                return v.toLongLong() * Currency::kScale;
            *ok = false;
            return 0;
        };
        bool ok = true;
        const std::int64_t ua = units(a, &ok), ub = units(b, &ok);
        if (ok)
            return ua < ub ? -1 : (ua > ub ? 1 : 0);
    } else if (isInteger(a) && isInteger(b)) {
        const qlonglong x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    auto toD = [&](const QVariant &v) { return v.metaType() == cur ? v.value<Currency>().toDouble() : v.toDouble(); };
    const double x = toD(a), y = toD(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

// One collator while the language stays: making one costs more than
// many comparisons.
const QCollator &currentCollator()
{
    static thread_local QLocale of;
    static thread_local QCollator collator = nameCollator();
    if (QLocale() != of) {
        of = QLocale();
        collator = nameCollator();
    }
    return collator;
}

} // namespace

int compareGridValues(const QVariant &a, const QVariant &b)
{
    const Kind ka = kindOf(a), kb = kindOf(b);
    if (ka != kb)
        return int(ka) < int(kb) ? -1 : 1;
    switch (ka) {
    case Kind::Null: return 0;
    case Kind::Number: return compareNumbers(a, b);
    case Kind::Date: {
        if (a.metaType().id() == QMetaType::QDate && b.metaType().id() == QMetaType::QDate) {
            const QDate x = a.toDate(), y = b.toDate();
            return x < y ? -1 : (y < x ? 1 : 0);
        }
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    case Kind::Text:
    case Kind::Other: {
        // Names in the order of the language, as every list of names;
        // texts the collation holds equal still differ by their characters.
        const QString x = a.toString(), y = b.toString();
        const int c = currentCollator().compare(x, y);
        if (c != 0)
            return c < 0 ? -1 : 1;
        const int s = x.compare(y, Qt::CaseSensitive);
        return s < 0 ? -1 : (s > 0 ? 1 : 0);
    }
    }
    return 0;
}

bool isEmptyGridValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return true;
    return v.metaType().id() == QMetaType::QString && v.toString().isEmpty();
}

QString formatGridValue(const QVariant &v, const QString &format, const QLocale &locale)
{
    if (isEmptyGridValue(v))
        return {};
    const Kind kind = kindOf(v);
    const bool isCurrency = v.metaType() == QMetaType::fromType<Currency>();
    const QString f = format.trimmed().toLower();
    if (kind == Kind::Number && v.metaType().id() != QMetaType::Bool) {
        if (f == u"currency") {
            const Currency c = isCurrency ? v.value<Currency>() : Currency::fromDouble(v.toDouble());
            return c.toLocaleCurrency(locale);
        }
        const double d = isCurrency ? v.value<Currency>().toDouble() : v.toDouble();
        if (f == u"fixed")
            return locale.toString(d, 'f', 2);
        if (f == u"standard")
            return locale.toString(d, 'f', 2);
        if (f == u"percent")
            return locale.toString(d * 100, 'f', 2) + locale.percent();
        // A general number carries no grouping, so it reads back as typed.
        if (isCurrency)
            return v.value<Currency>().toInvariant().replace(u'.', locale.decimalPoint());
        QLocale plain = locale;
        plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
        if (isInteger(v))
            return plain.toString(v.toLongLong());
        return plain.toString(d, 'g', 15);
    }
    if (kind == Kind::Date) {
        if (v.metaType().id() == QMetaType::QDate) {
            const QDate d = v.toDate();
            if (f.isEmpty() || f == u"short date")
                return locale.toString(d, fourDigitYearFormat(locale));
            if (f == u"long date")
                return locale.toString(d, QLocale::LongFormat);
            return locale.toString(d, format);
        }
        const QDateTime dt = v.toDateTime();
        if (f.isEmpty() || f == u"short date")
            return locale.toString(dt, fourDigitYearFormat(locale) + u' ' + locale.timeFormat(QLocale::ShortFormat));
        if (f == u"long date")
            return locale.toString(dt.date(), QLocale::LongFormat);
        return locale.toString(dt, format);
    }
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

} // namespace velto
