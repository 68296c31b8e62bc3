#pragma once
// The modal question asked for a deadline that belongs to a group: two
// options, OK and Cancel. The answer is 0 (cancelled), 1 (first option) or
// 2 (second option).

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

namespace velto {

class GroupQuestion : public QDialog
{
    Q_OBJECT
public:
    // Shows the question modally and returns the answer.
    int Apri();
    [[nodiscard]] int answer() const { return m_answer; }

protected:
    GroupQuestion(QWidget *owner, const char *name, int titleId, int option0Id, int option1Id, int okId);
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void markChosen(int index);

    int m_answer = 0;
    QLabel *Label1 = nullptr;
    QRadioButton *opt[2] = {};
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
};

} // namespace velto
