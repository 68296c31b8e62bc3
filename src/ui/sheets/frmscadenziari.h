#pragma once
// The data sheets dialog: lists the data sheets of the database and selects
// the active one, creates, renames and deletes them. Modal; File > Data
// sheets (F12) opens it with exec().

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace velto {

class Grid;
class UserPrompts;

class frmScadenziari : public QDialog
{
    Q_OBJECT
public:
    // Reads the data sheets at once and takes the first row as selected.
    explicit frmScadenziari(UserPrompts &prompts, QWidget *parent = nullptr);

    [[nodiscard]] Grid *grid() const { return m_gex; }
    [[nodiscard]] int selectedDbId() const { return m_selectedId; }
    [[nodiscard]] QString selectedDbName() const { return m_selectedName; }

    // The commands of the buttons.
    void cmdSelect_Click();
    void cmdNuovo_Click();
    void cmdEdit_Click();
    void cmdErase_Click();

private:
    void gex_RowChange();
    void loadList();
    void rebindGrid();
    [[nodiscard]] std::optional<QString> askName(int promptId);
    void showError(const QString &text);

    UserPrompts &m_prompts;
    Grid *m_gex = nullptr;
    QLabel *m_lblDb = nullptr;
    QPushButton *m_cmdSelect = nullptr;
    QPushButton *m_cmdNuovo = nullptr;
    QPushButton *m_cmdEdit = nullptr;
    QPushButton *m_cmdErase = nullptr;
    QPushButton *m_cmdCancel = nullptr;
    int m_selectedId = 0;
    QString m_selectedName;
};

} // namespace velto
