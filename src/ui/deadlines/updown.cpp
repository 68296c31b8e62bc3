#include "ui/deadlines/updown.h"

#include "app/strings.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace velto {

UpDown::UpDown(QLineEdit *buddy, int minimum, int maximum, QWidget *parent)
    : QWidget(parent), m_buddy(buddy), m_min(minimum), m_max(maximum)
{
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    m_up = new QToolButton(this);
    m_up->setObjectName(QStringLiteral("UpDown1Up"));
    m_up->setArrowType(Qt::UpArrow);
    m_up->setAccessibleName(LoadResString(1600));
    m_down = new QToolButton(this);
    m_down->setObjectName(QStringLiteral("UpDown1Down"));
    m_down->setArrowType(Qt::DownArrow);
    m_down->setAccessibleName(LoadResString(1601));
    for (QToolButton *b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setFixedSize(16, 11);
        box->addWidget(b);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    buddy->installEventFilter(this);
}

void UpDown::stepBy(int steps)
{
    bool ok = false;
    int v = m_buddy->text().toInt(&ok);
    if (!ok)
        v = m_min;
    // A typed number beyond the upper limit is stepped down from the limit.
    const int next = std::clamp(std::clamp(v, m_min, m_max) + steps, m_min, m_max);
    m_buddy->setText(QString::number(next));
}

bool UpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_Up || ke->key() == Qt::Key_Down) {
            stepBy(ke->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velto
