#include "ui/deadlines/amountbox.h"

#include "app/mainmod.h"
#include "app/strings.h"

#include <QKeyEvent>

namespace velto {

AmountBox::AmountBox(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

QString AmountBox::currencyText(Currency value, const QLocale &locale)
{
    int decimals = 2;
    const std::int64_t frac = (value.units() < 0 ? -value.units() : value.units()) % Currency::kScale;
    if (frac % 100 != 0)
        decimals = frac % 10 != 0 ? 4 : 3;
    return value.toLocaleCurrency(locale, decimals);
}

QString AmountBox::refusalText() const
{
    return LoadResString(1861).arg(currencyText(Currency::fromUnits(12345600), locale()));
}

void AmountBox::setAmount(Currency value)
{
    setText(currencyText(value, locale()));
}

std::optional<Currency> AmountBox::amount() const
{
    // Only digits and the separator can be typed, but a pasted "-50" gets
    // in: an amount is never negative, its sign comes from the type.
    const std::optional<Currency> value = Currency::fromLocaleText(text(), locale());
    if (value && value->units() < 0)
        return std::nullopt;
    return value;
}

void AmountBox::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    // Navigation and editing keys carry no text; they pass.
    if (typed.size() != 1 || !typed.at(0).isPrint() || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Tab
        || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int kept = KeyFilterDecimal(typed.at(0).unicode());
    if (kept == 0) {
        event->accept();
        return;
    }
    // The separator of the locale the box shows (the user's own in the
    // program), so the text typed reads back as it is shown.
    if (typed.at(0) == u'.') {
        insert(locale().decimalPoint());
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace velto
