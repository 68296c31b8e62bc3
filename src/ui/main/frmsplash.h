#pragma once
// The window shown while the main window loads: the program's picture, its
// title and "loading".

#include <QWidget>

class QLabel;

namespace velto {

class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);
    [[nodiscard]] QLabel *lblloading() const { return m_lblloading; }
    [[nodiscard]] QLabel *Label1() const { return m_label1; }

private:
    QLabel *m_image1 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_lblloading = nullptr;
};

} // namespace velto
