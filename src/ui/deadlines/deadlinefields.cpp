#include "ui/deadlines/deadlinefields.h"

#include "app/localeinfo.h"
#include "app/strings.h"
#include "data/currency.h"
#include "deadlines/deadline.h"
#include "ui/common/dialogframe.h"
#include "ui/deadlines/accountcombo.h"
#include "ui/deadlines/amountbox.h"
#include "ui/deadlines/typecombo.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace velto {

namespace {

QLabel *label(int id, QWidget *parent, const char *name)
{
    auto *l = new QLabel(LoadResString(id), parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

QDateEdit *DeadlineFields::datePicker(QWidget *parent, const char *name)
{
    auto *d = new QDateEdit(parent);
    d->setObjectName(QLatin1String(name));
    d->setCalendarPopup(true);
    d->setDisplayFormat(fourDigitYearFormat(QLocale()));
    return d;
}

DeadlineFields::DeadlineFields(QWidget *window, QWidget *datePanel, const char *dateName, const char *dateLabelName)
    : QObject(window), m_window(window)
{
    typeLabel = label(1102, window, "lblData0");
    type = new TypeCombo(window);
    type->setObjectName(QStringLiteral("imgcmbData"));
    dateLabel = label(1103, datePanel, dateLabelName);
    date = datePicker(datePanel, dateName);
    descriptionLabel = label(1104, window, "lblData2");
    description = new QLineEdit(window);
    description->setObjectName(QStringLiteral("txtData0"));
    description->setMaxLength(descriptionMaxLength());
    clientLabel = label(1105, window, "lblData3");
    client = new AccountCombo(window);
    client->setObjectName(QStringLiteral("dtcData"));
    addClient = new QToolButton(window);
    addClient->setObjectName(QStringLiteral("cmdAdd"));
    addClient->setText(QStringLiteral("+"));
    addClient->setIcon(
        QIcon::fromTheme(QStringLiteral("contact-new"), window->style()->standardIcon(QStyle::SP_FileDialogNewFolder)));
    addClient->setToolTip(LoadResString(1340));
    addClient->setAccessibleName(LoadResString(1340));
    addClient->setFocusPolicy(Qt::NoFocus);
    amountLabel = label(1106, window, "lblData4");
    amount = new AmountBox(window);
    amount->setObjectName(QStringLiteral("txtData1"));
}

void DeadlineFields::placeType(QGridLayout *form, int row) const
{
    form->addWidget(typeLabel, row, 0);
    form->addWidget(type, row, 1, 1, 2);
}

void DeadlineFields::placeDate(QGridLayout *form, int row) const
{
    form->addWidget(dateLabel, row, 0);
    form->addWidget(date, row, 1);
}

int DeadlineFields::placeEntry(QGridLayout *form, int row) const
{
    form->addWidget(descriptionLabel, row, 0);
    form->addWidget(description, row, 1, 1, 2);
    form->addWidget(clientLabel, row + 1, 0);
    form->addWidget(client, row + 1, 1);
    form->addWidget(addClient, row + 1, 2);
    form->addWidget(amountLabel, row + 2, 0);
    form->addWidget(amount, row + 2, 1, 1, 2);
    return row + 3;
}

QWidget *DeadlineFields::chainEntryTabs(QWidget *previous) const
{
    QWidget::setTabOrder(previous, description);
    QWidget::setTabOrder(description, client);
    QWidget::setTabOrder(client, amount);
    return amount;
}

void DeadlineFields::registerWith(DialogFrame *frame) const
{
    const struct {
        QLabel *label;
        QWidget *field;
        int help;
    } rows[] = {{typeLabel, type, 1110},
                {dateLabel, date, 1111},
                {descriptionLabel, description, 1112},
                {clientLabel, client, 1113},
                {amountLabel, amount, 1114}};
    for (const auto &r : rows) {
        frame->setHelp(r.field, r.help);
        frame->enterAsTab(r.field);
        frame->linkLabel(r.label, r.field);
    }
    frame->addValidation(description, [this] { return !description->text().isEmpty(); });
    frame->addValidation(amount, [this] { return amount->isNumeric(); });
}

void DeadlineFields::applyTypeRule() const
{
    const bool appointment = type->isAppointment();
    amount->setEnabled(!appointment);
    if (appointment)
        amount->clear();
    else if (amount->text().isEmpty())
        amount->setAmount(Currency()); // back from an appointment: an amount to start from
    QPalette pal = amount->palette();
    pal.setColor(QPalette::Base, m_window->palette().color(appointment ? QPalette::Button : QPalette::Base));
    amount->setPalette(pal);
}

} // namespace velto
