#pragma once
// The new-deadline window: one deadline or a recurring series, optionally
// added to the group of an existing deadline. Modeless; it saves through
// InsertDeadlines, asks the main window to reload and closes itself. A save
// that fails shows the error and leaves everything typed in place.

#include "deadlines/deadline.h"
#include "data/status.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QStatusBar;
class QToolButton;

namespace velto {

class AccountCombo;
class AmountBox;
class DialogFrame;
class TypeCombo;
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

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void build();
    void reset();
    void applyTypeRule();
    void setMode(int index);
    void cmdSalva_Click();
    void cmdAnnulla_Click();
    void cmdAdd_Click();
    void showWindow();

    UserPrompts &m_prompts;
    qint64 m_addToGroupId = 0;
    bool m_closing = false;

    DialogFrame *m_frame = nullptr;
    TypeCombo *imgcmbData = nullptr;
    QRadioButton *optgrp[2] = {};
    QStackedWidget *m_panels = nullptr;
    QWidget *picgrp[2] = {};
    QDateEdit *datData[2] = {};
    QLineEdit *txtDescription = nullptr; // txtData(0)
    AmountBox *txtAmount = nullptr;      // txtData(1)
    QLineEdit *txtCount = nullptr;       // txtData(2)
    UpDown *UpDown1 = nullptr;
    QComboBox *cmbCadenza = nullptr;
    AccountCombo *dtcData = nullptr;
    QToolButton *cmdAdd = nullptr;
    QLabel *lblData[8] = {};
    QPushButton *cmdSalva = nullptr;
    QPushButton *cmdAnnulla = nullptr;
    QStatusBar *sb = nullptr;
};

} // namespace velto
