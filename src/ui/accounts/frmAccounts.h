#pragma once
// The clients/suppliers window: the Accounts table in a grid, with new,
// edit, delete and print. Modeless beside the main window; one instance,
// opened through ManageCounts.

#include <QMainWindow>

class QAction;
class QLabel;
class QToolBar;

namespace velto {

class Grid;
class UserPrompts;

class frmAccounts : public QMainWindow
{
    Q_OBJECT
public:
    // Deletes itself when it closes.
    frmAccounts(QWidget *owner, UserPrompts &prompts);

    void NewAccount();
    void EditAccount();
    void DeleteAccount();
    void PrintList();
    [[nodiscard]] Grid *grid() const { return gex; }
    // Re-reads the list, as after a restore of the database.
    void rebind();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void sizeColumns();
    [[nodiscard]] qint64 currentAccountId() const;

    UserPrompts &m_prompts;
    Grid *gex = nullptr;
    QToolBar *tb = nullptr;
    QLabel *m_status = nullptr;
};

} // namespace velto
