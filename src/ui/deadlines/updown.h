#pragma once
// An up-down control beside a number box: its arrows step the number in
// the box between the lower and upper limits. A number typed into the box
// is not held to the limits.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace velto {

class UpDown : public QWidget
{
    Q_OBJECT
public:
    UpDown(QLineEdit *buddy, int minimum, int maximum, QWidget *parent = nullptr);
    void stepBy(int steps);
    [[nodiscard]] int maximum() const { return m_max; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_buddy;
    QToolButton *m_up;
    QToolButton *m_down;
    int m_min;
    int m_max;
};

} // namespace velto
