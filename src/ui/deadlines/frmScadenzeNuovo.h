#pragma once
// The new-deadline window: one deadline or a recurring series, optionally
// added to the group of an existing deadline. Modeless; it saves through
// InsertDeadlines, asks the main window to reload and closes itself. A save
// that fails shows the error and leaves everything typed in place.

#include "data/status.h"
#include "deadlines/deadline.h"
#include "deadlines/holidays.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QStatusBar;

namespace velto {

struct DeadlineEntry;
class DeadlineFields;
class DialogFrame;
class UpDown;
class UserPrompts;

class frmScadenzeNuovo : public QDialog
{
    Q_OBJECT
public:
    // Deletes itself when it closes.
    frmScadenzeNuovo(QWidget *owner, UserPrompts &prompts);

    // An independent new deadline or series.
    void Nuovo();
    // New deadlines for the series of member, with its type, description
    // and client/supplier locked and its amount to start from.
    void Nuovo2(const Deadline &member);
    // (Re)loads the client/supplier list; a failure is shown.
    Status InitCombos();

    [[nodiscard]] qint64 addToGroupId() const { return m_addToGroupId; }
    [[nodiscard]] QString statusText() const;
    // The dates the preview lists: those a save would create.
    [[nodiscard]] QStringList previewDates() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void build();
    void reset();
    void setMode(int index);
    void cmdSalva_Click();
    void cmdAnnulla_Click();
    void cmdAdd_Click();
    void buildRulePanel(QGridLayout *series);
    // The entry as the fields hold it.
    [[nodiscard]] DeadlineEntry entry() const;
    // Enables the fields the chosen kind uses and lists the dates.
    void updatePreview();
    void showWindow();

    UserPrompts &m_prompts;
    qint64 m_addToGroupId = 0;
    bool m_closing = false;

    DialogFrame *m_frame = nullptr;
    DeadlineFields *f = nullptr;
    QRadioButton *optgrp[2] = {};
    QStackedWidget *m_panels = nullptr;
    QWidget *picgrp[2] = {};
    QDateEdit *datData[2] = {};    // [0]: f->date
    QLineEdit *txtCount = nullptr; // txtData(2)
    UpDown *UpDown1 = nullptr;
    QComboBox *cmbCadenza = nullptr;
    QSpinBox *spnInterval = nullptr;
    QComboBox *cmbOrdinal = nullptr;
    QComboBox *cmbWeekday = nullptr;
    QComboBox *cmbEnd = nullptr;
    QDateEdit *datUntil = nullptr;
    QComboBox *cmbShift = nullptr;
    QListWidget *lstPreview = nullptr;
    QLabel *lblSummary = nullptr;
    QLabel *lblRule[6] = {};
    HolidayCountry m_country = HolidayCountry::None;
    QLabel *lblData[7] = {}; // those of the series panel: 1, 5, 6
    QPushButton *cmdSalva = nullptr;
    QPushButton *cmdAnnulla = nullptr;
    QStatusBar *sb = nullptr;
};

} // namespace velto
