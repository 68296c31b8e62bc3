#include "ui/common/groupquestion.h"

#include "app/strings.h"
#include "ui/common/dialogframe.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace velto {

GroupQuestion::GroupQuestion(QWidget *owner, const char *name, int titleId, int option0Id, int option1Id, int okId)
    : QDialog(owner)
{
    setObjectName(QLatin1String(name));
    setModal(true);
    setWindowTitle(LoadResString(titleId));
    setAccessibleName(windowTitle());

    auto *picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop);
    Label1 = new QLabel(LoadResString(1130), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    auto *options = new QVBoxLayout(frame);
    const int ids[2] = {option0Id, option1Id};
    for (int i = 0; i < 2; ++i) {
        opt[i] = new QRadioButton(LoadResString(ids[i]), frame);
        opt[i]->setObjectName(QStringLiteral("opt%1").arg(i));
        options->addWidget(opt[i]);
        connect(opt[i], &QRadioButton::clicked, this, [this, i] { markChosen(i); });
    }
    Label1->setBuddy(opt[0]);
    opt[0]->setChecked(true);
    markChosen(0);

    const DialogFrame::ButtonRow buttons = DialogFrame::buttonRow(
        this, {.acceptText = okId, .acceptName = "cmdOK", .cancelName = "cmdCancel", .acceptIsDefault = true});
    cmdOK = buttons.accept;
    cmdCancel = buttons.cancel;
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        m_answer = opt[0]->isChecked() ? 1 : 2;
        hide();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        m_answer = 0;
        hide();
    });

    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    auto *right = new QVBoxLayout;
    right->addWidget(Label1);
    right->addWidget(frame);
    top->addLayout(right, 1);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(buttons.box);
    DialogFrame::RemoveCloseCommand(this);
}

void GroupQuestion::markChosen(int index)
{
    for (int i = 0; i < 2; ++i) {
        QFont f = opt[i]->font();
        f.setBold(i == index);
        opt[i]->setFont(f);
    }
}

int GroupQuestion::Apri()
{
    m_answer = 0;
    opt[0]->setFocus();
    exec();
    return m_answer;
}

void GroupQuestion::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        m_answer = 0;
        hide();
        return;
    }
    QDialog::keyPressEvent(event);
}

void GroupQuestion::closeEvent(QCloseEvent *event)
{
    m_answer = 0;
    QDialog::closeEvent(event);
}

} // namespace velto
