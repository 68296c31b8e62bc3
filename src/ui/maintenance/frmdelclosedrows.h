#pragma once
// Tools > Delete closed deadlines up to...: purges the closed deadlines of
// the active data sheet dated on or before a picked day.

#include <QDate>
#include <QDialog>

class QDateEdit;
class QPushButton;

namespace velto {

class UserPrompts;

class frmDelClosedRows : public QDialog
{
    Q_OBJECT
public:
    // The Tools menu command: asks whether to go on, then shows the dialog
    // modally. Returns after the dialog has closed.
    static void run(UserPrompts &prompts, QWidget *owner);

    // The picker starts at yesterday.
    explicit frmDelClosedRows(UserPrompts &prompts, QWidget *parent = nullptr);

    [[nodiscard]] QDateEdit *picker() const { return m_dtp; }
    // Counts, asks, deletes, reports and refreshes the main window; then
    // closes the dialog.
    void cmdSalva_Click();

private:
    UserPrompts &m_prompts;
    QDateEdit *m_dtp = nullptr;
    QPushButton *m_cmdSalva = nullptr;
    QPushButton *m_cmdAnnulla = nullptr;
};

} // namespace velto
