#include "ui/main/frmsplash.h"

#include "app/mainmod.h"
#include "app/strings.h"
#include "ui/main/mainicons.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace velto {

frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(app().AppTitle);
    setAccessibleName(app().AppTitle);
    setStyleSheet(QStringLiteral("frmSplash, QWidget#frmSplash { background: white; border: 1px solid #8aa2bd; }"));
    setAttribute(Qt::WA_StyledBackground);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(28, 24, 36, 24);
    row->setSpacing(20);
    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setPixmap(icons::icon(icons::Kind::AppPicture).pixmap(96, 96));
    row->addWidget(m_image1);

    auto *texts = new QVBoxLayout;
    m_label1 = new QLabel(app().AppTitle, this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    QFont title(QStringLiteral("Arial"));
    title.setPointSize(28);
    title.setBold(true);
    m_label1->setFont(title);
    m_label1->setStyleSheet(QStringLiteral("color: #254b6c"));
    m_lblloading = new QLabel(LoadResString(1353), this);
    m_lblloading->setObjectName(QStringLiteral("lblloading"));
    m_lblloading->setStyleSheet(QStringLiteral("color: #606060"));
    texts->addStretch();
    texts->addWidget(m_label1);
    texts->addWidget(m_lblloading);
    texts->addStretch();
    row->addLayout(texts);

    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace velto
