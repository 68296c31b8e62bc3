#pragma once
// The amount box of the deadline dialogs: shows an amount in the user's
// currency format and reads it back exactly, to four decimals. Only digits,
// the comma, backspace and tab can be typed; a full stop becomes the
// locale's decimal separator.

#include "data/currency.h"

#include <QLineEdit>

#include <optional>

namespace velto {

class AmountBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit AmountBox(QWidget *parent = nullptr);

    void setAmount(Currency value);
    // The amount typed; nothing when the text does not read as money or
    // reads as a negative amount.
    [[nodiscard]] std::optional<Currency> amount() const;
    [[nodiscard]] bool isNumeric() const { return amount().has_value(); }

    // Currency text of the locale, with as many decimals (two to four) as
    // the value needs, so nothing is lost when it is read back.
    static QString currencyText(Currency value, const QLocale &locale = QLocale());
    // What the box expects, with an example in its locale's format.
    [[nodiscard]] QString refusalText() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace velto
