#include "data/currency.h"

#include <algorithm>
#include <cmath>

namespace velto {

Currency Currency::fromDouble(double value)
{
    return fromUnits(std::llround(value * kScale));
}

std::optional<Currency> Currency::fromInvariant(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    qsizetype i = 0;
    if (text[0] == u'-' || text[0] == u'+') {
        negative = text[0] == u'-';
        ++i;
    }
    // The magnitude is gathered unsigned and checked against the range
    // before it is signed, so no text can overflow it.
    const std::uint64_t limit = negative ? std::uint64_t(INT64_MAX) + 1 : std::uint64_t(INT64_MAX);
    std::uint64_t whole = 0;
    int wholeDigits = 0;
    for (; i < text.size() && text[i].isDigit(); ++i, ++wholeDigits) {
        whole = whole * 10 + std::uint64_t(text[i].unicode() - '0');
        if (whole > limit / kScale)
            return std::nullopt; // beyond what the column can hold
    }
    std::uint64_t frac = 0;
    int fracDigits = 0;
    bool roundUp = false;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        for (; i < text.size() && text[i].isDigit(); ++i, ++fracDigits) {
            if (fracDigits < 4)
                frac = frac * 10 + (text[i].unicode() - '0');
            else if (fracDigits == 4)
                roundUp = text[i].unicode() >= '5';
        }
    }
    if (i != text.size() || (wholeDigits == 0 && fracDigits == 0))
        return std::nullopt;
    for (int d = std::min(fracDigits, 4); d < 4; ++d)
        frac *= 10;
    const std::uint64_t units = whole * kScale + frac + (roundUp ? 1 : 0);
    if (units > limit)
        return std::nullopt;
    return fromUnits(negative ? std::int64_t(std::uint64_t(0) - units) : std::int64_t(units));
}

std::optional<Currency> Currency::fromLocaleText(const QString &text, const QLocale &locale)
{
    QString t = text;
    // Strip what the locale's currency format adds around the number.
    const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    if (!symbol.isEmpty())
        t.remove(symbol);
    t = t.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // Blanks inside the number group its digits where the locale groups with
    // a blank; anywhere else they only stand beside sign and symbol.
    const QString group = locale.groupSeparator();
    const bool blankGroups = group.size() == 1 && group.at(0).isSpace();
    for (QChar blank : {QChar(u' '), QChar(0x00A0), QChar(0x202F)})
        t.replace(blank, blankGroups ? group : QString());
    bool negative = false;
    if (t.startsWith(u'(') && t.endsWith(u')')) {
        negative = true;
        t = t.mid(1, t.size() - 2);
    }
    if (t.startsWith(locale.negativeSign()) || t.startsWith(u'-')) {
        negative = !negative;
        t.remove(0, 1);
    } else if (t.endsWith(locale.negativeSign()) || t.endsWith(u'-')) {
        negative = !negative;
        t.chop(1);
    }
    const QString dec = locale.decimalPoint();
    const qsizetype point = t.indexOf(dec);
    QString whole = point < 0 ? t : t.left(point);
    QString fraction = point < 0 ? QString() : QStringLiteral(".") + t.mid(point + dec.size());
    if (whole.contains(group)) {
        // Grouping is accepted only where the locale puts it: "1,5" under
        // English is not fifteen but a mistyped decimal, and is refused.
        whole.remove(group);
        bool ok = false;
        const qulonglong digits = whole.toULongLong(&ok);
        if (!ok || locale.toString(digits) != t.left(point < 0 ? t.size() : point))
            return std::nullopt;
    }
    t = whole + fraction;
    auto c = fromInvariant(t);
    if (!c || t.startsWith(u'-') || t.startsWith(u'+'))
        return std::nullopt;
    return negative ? fromUnits(-c->units()) : *c;
}

QString Currency::toInvariant() const
{
    const bool negative = m_units < 0;
    // Magnitude as unsigned so that the most negative value does not overflow.
    const std::uint64_t mag = negative ? std::uint64_t(0) - std::uint64_t(m_units) : std::uint64_t(m_units);
    // Written backwards into a buffer: one sign, 15 whole digits, a point and
    // four decimals at most. Every amount of a series row passes here.
    char16_t buf[24];
    int at = 24;
    std::uint64_t frac = mag % kScale;
    if (frac != 0) {
        int places = 4;
        while (frac % 10 == 0) {
            frac /= 10;
            --places;
        }
        for (int k = 0; k < places; ++k, frac /= 10)
            buf[--at] = char16_t(u'0' + frac % 10);
        buf[--at] = u'.';
    }
    std::uint64_t whole = mag / kScale;
    do {
        buf[--at] = char16_t(u'0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (negative)
        buf[--at] = u'-';
    return QString(reinterpret_cast<const QChar *>(buf + at), 24 - at);
}

QString Currency::toSqlText() const
{
    return m_units < 0 ? toInvariant() : u' ' + toInvariant();
}

namespace {

constexpr std::uint64_t kPowers[] = {1, 10, 100, 1000, 10000};

std::uint64_t magnitudeOf(std::int64_t units)
{
    return units < 0 ? std::uint64_t(0) - std::uint64_t(units) : std::uint64_t(units);
}

} // namespace

Currency Currency::roundedTo(int decimals) const
{
    const std::uint64_t step = kPowers[4 - std::clamp(decimals, 0, 4)];
    const std::uint64_t mag = magnitudeOf(m_units);
    // Half away from zero on the magnitude; the largest magnitudes stay put
    // rather than overflow.
    const std::uint64_t up = mag / step * step + (mag % step >= (step + 1) / 2 ? step : 0);
    if (up > std::uint64_t(INT64_MAX))
        return fromUnits(m_units < 0 ? INT64_MIN : INT64_MAX);
    return fromUnits(m_units < 0 ? -std::int64_t(up) : std::int64_t(up));
}

int Currency::currencyDecimals(const QLocale &locale)
{
    // QLocale writes money with its currency's decimals but does not say
    // how many: they are counted in its text of zero.
    const QString zero = locale.toCurrencyString(0.0);
    const qsizetype point = zero.indexOf(locale.decimalPoint());
    if (point < 0)
        return 0;
    int n = 0;
    for (qsizetype i = point + locale.decimalPoint().size(); zero.mid(i).startsWith(locale.zeroDigit());
         i += locale.zeroDigit().size())
        ++n;
    return std::min(n, 4);
}

QString Currency::toLocaleCurrency(const QLocale &locale, int decimals) const
{
    decimals = std::clamp(decimals < 0 ? currencyDecimals(locale) : decimals, 0, 4);
    const std::uint64_t mag = magnitudeOf(roundedTo(decimals).m_units) / kPowers[4 - decimals];
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    QString number = locale.toString(qulonglong(mag / kPowers[decimals]));
    if (decimals > 0) {
        QString frac = plain.toString(qulonglong(mag % kPowers[decimals]));
        while (frac.size() < decimals * locale.zeroDigit().size())
            frac.prepend(locale.zeroDigit());
        number += locale.decimalPoint() + frac;
    }
    // The locale's money pattern with its symbol and sign, around our digits.
    const qlonglong seven = mag == 0 || m_units >= 0 ? 7 : -7;
    QString text = locale.toCurrencyString(seven);
    const QString digit = plain.toString(7);
    const qsizetype at = text.indexOf(digit);
    return at < 0 ? number : text.replace(at, digit.size(), number);
}

} // namespace velto
