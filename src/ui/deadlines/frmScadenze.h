#pragma once
// The edit-deadline window: date, description, client/supplier, amount and
// closed state of one deadline; its type and group fields stay as they are.
// Modeless; the row is read when the window opens and written back on Save
// only if nothing changed it meanwhile. A save that fails (the row changed
// or deleted meanwhile, a locked file) shows the error and leaves the window
// open; after a change made elsewhere it shows the row as it now is.

#include "data/status.h"
#include "deadlines/deadline.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QStatusBar;

namespace velto {

class DeadlineFields;
class DialogFrame;
class UserPrompts;

class frmScadenze : public QDialog
{
    Q_OBJECT
public:
    // Deletes itself when it closes.
    frmScadenze(QWidget *owner, UserPrompts &prompts);

    // Opens the deadline with this TrRowId; a failure is shown and the
    // window closes again.
    Status Apri(qint64 rowId);
    Status InitCombos();

    [[nodiscard]] qint64 rowId() const { return m_rowId; }
    [[nodiscard]] QString statusText() const;
    // What the window says when the deadline changed or went elsewhere
    // since it was read (empty while it still holds what was read).
    [[nodiscard]] QString changedNotice() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void build();
    void cmdSalva_Click();
    void cmdAnnulla_Click();
    void cmdAdd_Click();
    void showDeadline(const Deadline &d);
    // On the data-changed notice: is the row still what the window read?
    void compareWithStored();

    UserPrompts &m_prompts;
    Deadline m_loaded; // the row as read: a save is written only while it still holds this
    qint64 m_rowId = 0;

    DialogFrame *m_frame = nullptr;
    DeadlineFields *f = nullptr;
    QCheckBox *chkData = nullptr;
    QPushButton *cmdSalva = nullptr;
    QPushButton *cmdAnnulla = nullptr;
    QStatusBar *sb = nullptr;
    QLabel *lblChanged = nullptr;
};

} // namespace velto
