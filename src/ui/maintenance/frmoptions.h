#pragma once
// View > Preferences: three on/off preferences, each a stored setting and a
// program-wide flag, and the login reminder, which is an autostart entry.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace velto {

class UserPrompts;

class frmOptions : public QDialog
{
    Q_OBJECT
public:
    // The View menu command: the dialog modally, then the deadline grid
    // reloaded whether saved or cancelled, so changed totals and counters
    // show at once. The toolbar button shows the dialog with exec() only.
    static void runFromViewMenu(UserPrompts &prompts, QWidget *owner);

    // The boxes show the stored settings (a missing value shows ticked).
    explicit frmOptions(UserPrompts &prompts, QWidget *parent = nullptr);

    enum Box { SaveLayoutBox = 0, GroupTotalsBox = 1, GroupCountersBox = 2, BoxCount };
    [[nodiscard]] QCheckBox *chkData(int index) const { return m_chkData[index]; }
    [[nodiscard]] QCheckBox *chkLoginReminder() const { return m_chkLoginReminder; }
    // Whose public holidays new series move off; index = HolidayCountry.
    [[nodiscard]] QComboBox *cmbHolidays() const { return m_cmbHolidays; }

    // Sets the flags, stores the three values, closes.
    void cmdSalva_Click();

private:
    UserPrompts &m_prompts;
    QCheckBox *m_chkData[BoxCount] = {};
    QCheckBox *m_chkLoginReminder = nullptr;
    QComboBox *m_cmbHolidays = nullptr;
    QPushButton *m_cmdSalva = nullptr;
    QPushButton *m_cmdAnnulla = nullptr;
};

} // namespace velto
