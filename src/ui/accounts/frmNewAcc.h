#pragma once
// The client/supplier editor: creates one (Nuovo) or edits one (Apri),
// modally. A save that fails shows the error and keeps the dialog open
// with what was typed; an edit of a row changed meanwhile shows the row as
// it now is instead.

#include "deadlines/clients.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace velto {

class DialogFrame;
class UserPrompts;

class frmNewAcc : public QDialog
{
    Q_OBJECT
public:
    frmNewAcc(QWidget *owner, UserPrompts &prompts);
    ~frmNewAcc() override;

    // The AcId of the row created, 0 when the user cancelled.
    qint64 Nuovo(const QString &name);
    // True when the user saved.
    bool Apri(qint64 accountId);

    [[nodiscard]] QString statusText() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void startClean(int titleId);
    void showClient(const Client &client);
    void cmdSalva_Click();
    void cmdAnnulla_Click();
    void finish();

    UserPrompts &m_prompts;
    bool m_isNew = true;
    Client m_asLoaded;
    qint64 m_savedId = 0;
    bool m_saved = false;
    bool m_finished = false;

    DialogFrame *m_frame = nullptr;
    QLabel *lblData[2] = {};
    QLineEdit *txtData[2] = {};
    QPushButton *cmdSalva = nullptr;
    QPushButton *cmdAnnulla = nullptr;
    QStatusBar *sb = nullptr;
};

} // namespace velto
