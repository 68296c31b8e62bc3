#pragma once
// File > Restore from backup: lists the automatic backups with the
// deadlines each data sheet held, and puts the chosen one in place of the
// database after asking.

#include "app/backups.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace velto {

class UserPrompts;

class frmRestore : public QDialog
{
    Q_OBJECT
public:
    // The File menu command: shows the dialog modally.
    static void run(UserPrompts &prompts, QWidget *owner);

    explicit frmRestore(UserPrompts &prompts, QWidget *parent = nullptr);

    [[nodiscard]] QTreeWidget *list() const { return m_lst; }
    // Asks, restores, reloads every window and closes; on failure tells why
    // and stays open.
    void cmdRestore_Click();

private:
    void loadList();

    UserPrompts &m_prompts;
    QList<BackupInfo> m_backups;
    QTreeWidget *m_lst = nullptr;
    QLabel *m_lblFolder = nullptr;
    QPushButton *m_cmdRestore = nullptr;
    QPushButton *m_cmdClose = nullptr;
};

} // namespace velto
