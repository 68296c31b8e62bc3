#pragma once
// The fields both deadline windows hold: type, date, description,
// client/supplier with the button that adds one, and amount, each with its
// label (its buddy, and the name a screen reader says), its help text,
// Enter moving on, the checks that keep an invalid field focused, and the
// type rule: an appointment carries no amount.

#include <QObject>

class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

namespace velto {

class AccountCombo;
class AmountBox;
class DialogFrame;
class TypeCombo;

class DeadlineFields : public QObject
{
public:
    // Made on window; the date and its label on datePanel, named dateName
    // and dateLabelName (the new-deadline window keeps them on the panel of
    // a single deadline).
    DeadlineFields(QWidget *window, QWidget *datePanel, const char *dateName, const char *dateLabelName);

    // A date field as both windows show it: a calendar to drop down, four-digit years.
    static QDateEdit *datePicker(QWidget *parent, const char *name);

    // Type in row, its field over two columns.
    void placeType(QGridLayout *form, int row) const;
    // Date in row.
    void placeDate(QGridLayout *form, int row) const;
    // Description, client/supplier with its button, amount from row on;
    // the row after them is returned.
    int placeEntry(QGridLayout *form, int row) const;
    // Tab goes from previous to description, client/supplier and amount;
    // amount is returned.
    QWidget *chainEntryTabs(QWidget *previous) const;
    // Help texts, Enter as Tab, labels and checks of the fields.
    void registerWith(DialogFrame *frame) const;
    // Amount closed and emptied for an appointment, open (0 to start from
    // when empty) for the other types.
    void applyTypeRule() const;

    TypeCombo *type = nullptr;
    QDateEdit *date = nullptr;
    QLineEdit *description = nullptr; // txtData(0)
    AccountCombo *client = nullptr;
    QToolButton *addClient = nullptr;
    AmountBox *amount = nullptr; // txtData(1)
    QLabel *typeLabel = nullptr, *dateLabel = nullptr, *descriptionLabel = nullptr, *clientLabel = nullptr,
           *amountLabel = nullptr;

private:
    QWidget *m_window;
};

} // namespace velto
