#pragma once
// Money as a signed count of ten-thousandths: four fixed decimals, no
// binary rounding in sums.

#include <QLocale>
#include <QMetaType>
#include <QString>

#include <cstdint>
#include <optional>

namespace velto {

class Currency
{
public:
    static constexpr std::int64_t kScale = 10000;
    // The database keeps amounts as binary floating point, exact to fifteen
    // significant digits: 99,999,999,999.9999 is the largest magnitude that
    // reads back as written. Larger amounts are refused, never rounded.
    static constexpr std::int64_t kMaxStoredUnits = 999'999'999'999'999;

    constexpr Currency() = default;
    static constexpr Currency fromUnits(std::int64_t tenThousandths)
    {
        Currency c;
        c.m_units = tenThousandths;
        return c;
    }
    static Currency fromDouble(double value);
    // Invariant text: optional sign, digits, optional "." and up to four
    // decimals (more are rounded). Blanks around are allowed.
    static std::optional<Currency> fromInvariant(QStringView text);
    // Text as the user sees it under a locale: currency symbol, grouping and
    // the locale's decimal separator are accepted.
    static std::optional<Currency> fromLocaleText(const QString &text, const QLocale &locale = QLocale());

    [[nodiscard]] constexpr std::int64_t units() const { return m_units; }
    [[nodiscard]] constexpr bool isStorable() const
    {
        return m_units >= -kMaxStoredUnits && m_units <= kMaxStoredUnits;
    }
    [[nodiscard]] double toDouble() const { return double(m_units) / kScale; }
    // "1234.5", "-0.25", "0": invariant, no grouping, no trailing zeros.
    [[nodiscard]] QString toInvariant() const;
    // The form written into SQL text: a non-negative value starts with one blank.
    [[nodiscard]] QString toSqlText() const;
    // Rounded half away from zero to this many decimals (0 to 4), in
    // integer arithmetic.
    [[nodiscard]] Currency roundedTo(int decimals) const;
    // How many decimals the locale's currency shows (2 for the euro, 0 for the yen).
    [[nodiscard]] static int currencyDecimals(const QLocale &locale);
    // The locale's money text of the value rounded to decimals (the
    // currency's own for -1), built from the integer value: no binary
    // fraction ever turns 2.675 into 2.67, and a value that rounds to zero
    // carries no minus.
    [[nodiscard]] QString toLocaleCurrency(const QLocale &locale = QLocale(), int decimals = -1) const;

    constexpr Currency operator+(Currency o) const { return fromUnits(m_units + o.m_units); }
    constexpr Currency operator-(Currency o) const { return fromUnits(m_units - o.m_units); }
    constexpr Currency operator*(std::int64_t k) const { return fromUnits(m_units * k); }
    constexpr Currency &operator+=(Currency o)
    {
        m_units += o.m_units;
        return *this;
    }
    constexpr bool operator==(const Currency &) const = default;
    constexpr auto operator<=>(const Currency &) const = default;

private:
    std::int64_t m_units = 0;
};

} // namespace velto

Q_DECLARE_METATYPE(velto::Currency)
