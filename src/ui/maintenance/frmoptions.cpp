#include "ui/maintenance/frmoptions.h"

#include "app/autostart.h"
#include "app/mainmod.h"
#include "app/preferences.h"
#include "app/statustext.h"
#include "app/strings.h"
#include "app/userprompts.h"
#include "deadlines/holidays.h"
#include "ui/common/dialogframe.h"
#include "ui/common/refreshorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velto {

namespace {
constexpr int kCaptions[frmOptions::BoxCount] = {1212, 1214, 1215};
} // namespace

void frmOptions::runFromViewMenu(UserPrompts &prompts, QWidget *owner)
{
    frmOptions dialog(prompts, owner);
    dialog.exec();
    // Display options, not data: no notice tells the main window.
    reloadMainWindow();
}

frmOptions::frmOptions(UserPrompts &prompts, QWidget *parent) : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(LoadResString(1210));
    setAccessibleName(LoadResString(1210));
    setModal(true);
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
                   & ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));

    for (int i = 0; i < BoxCount; ++i) {
        m_chkData[i] = new QCheckBox(LoadResString(kCaptions[i]), this);
        m_chkData[i]->setObjectName(QStringLiteral("chkData%1").arg(i));
    }
    // The stored values, not the program-wide flags.
    const Preferences stored = Preferences::load();
    m_chkData[SaveLayoutBox]->setChecked(stored.saveLayout);
    m_chkData[GroupTotalsBox]->setChecked(stored.showGroupTotals);
    m_chkData[GroupCountersBox]->setChecked(stored.showGroupCounters);
    m_chkLoginReminder = new QCheckBox(LoadResString(1723), this);
    m_chkLoginReminder->setObjectName(QStringLiteral("chkLoginReminder"));
    m_chkLoginReminder->setChecked(loginReminderInstalled());

    auto *general = new QGroupBox(LoadResString(1211), this);
    general->setObjectName(QStringLiteral("frmopt0"));
    auto *generalLayout = new QVBoxLayout(general);
    generalLayout->addWidget(m_chkData[SaveLayoutBox]);
    generalLayout->addWidget(m_chkLoginReminder);

    // The regional settings' country until the user picks one.
    m_cmbHolidays = new QComboBox(this);
    m_cmbHolidays->setObjectName(QStringLiteral("cmbHolidays"));
    for (int c = 0; c < kHolidayCountryCount; ++c)
        m_cmbHolidays->addItem(LoadResString(1902 + c));
    m_cmbHolidays->setCurrentIndex(int(holidayCountryChosen(stored.holidayCountry)));
    m_cmbHolidays->setToolTip(LoadResString(1916));
    auto *holidaysLabel = new QLabel(LoadResString(1915), general);
    holidaysLabel->setBuddy(m_cmbHolidays);
    generalLayout->addWidget(holidaysLabel);
    generalLayout->addWidget(m_cmbHolidays);

    auto *view = new QGroupBox(LoadResString(1213), this);
    view->setObjectName(QStringLiteral("frmopt1"));
    auto *viewLayout = new QVBoxLayout(view);
    viewLayout->addWidget(m_chkData[GroupTotalsBox]);
    viewLayout->addWidget(m_chkData[GroupCountersBox]);

    const DialogFrame::ButtonRow buttons = DialogFrame::buttonRow(this, {.acceptIsDefault = true});
    m_cmdSalva = buttons.accept;
    m_cmdAnnulla = buttons.cancel;

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(general);
    layout->addWidget(view);
    layout->addStretch(1);
    layout->addWidget(buttons.box);

    connect(m_cmdSalva, &QPushButton::clicked, this, &frmOptions::cmdSalva_Click);
    connect(m_cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

void frmOptions::cmdSalva_Click()
{
    // The options hold for this run at once, and are stored for the next.
    Preferences &p = preferences();
    p.saveLayout = m_chkData[SaveLayoutBox]->isChecked();
    p.showGroupTotals = m_chkData[GroupTotalsBox]->isChecked();
    p.showGroupCounters = m_chkData[GroupCountersBox]->isChecked();
    Status st = p.saveOptions();
    // Stored once chosen: from then on the regional settings no longer decide.
    Preferences holidays = Preferences::load();
    const int country = m_cmbHolidays->currentIndex();
    const bool chosenBefore = holidays.holidayCountry >= 0;
    const bool changed = country != int(holidayCountryChosen(holidays.holidayCountry));
    holidays.holidayCountry = country;
    if (st && (changed || chosenBefore))
        st = holidays.saveHolidayCountry();
    if (!st)
        m_prompts.message(userMessage(st), MessageIcon::Critical);
    // The entry is touched only when the box changed, so saving the other
    // options never rewrites or removes an entry the user edited.
    if (const bool remind = m_chkLoginReminder->isChecked(); remind != loginReminderInstalled()) {
        const Status st =
            remind ? installLoginReminder(QCoreApplication::applicationFilePath()) : removeLoginReminder();
        if (!st)
            m_prompts.message(st.message(), MessageIcon::Critical);
    }
    accept();
}

} // namespace velto
