#include "ui/about/frmabout.h"

#include "app/mainmod.h"
#include "app/strings.h"
#include "app/userprompts.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QVersionNumber>

namespace velto {

namespace {

QPointer<frmAbout> &theAboutBox()
{
    static QPointer<frmAbout> box;
    return box;
}

QFrame *line(QWidget *parent)
{
    auto *f = new QFrame(parent);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

// The program's picture: a calendar leaf with a tick.
QPixmap programPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF leaf(2, 4, size - 4, size - 6);
    p.setPen(QPen(QColor(0x25, 0x4b, 0x6c), 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(leaf, 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x25, 0x4b, 0x6c));
    p.drawRoundedRect(QRectF(leaf.left(), leaf.top(), leaf.width(), size / 4.0), 5, 5);
    p.drawRect(QRectF(leaf.left(), leaf.top() + size / 8.0, leaf.width(), size / 8.0));
    QPen tick(QColor(0x2e, 0x8b, 0x57), size / 10.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(tick);
    p.setBrush(Qt::NoBrush);
    const double top = leaf.top() + size / 4.0;
    p.drawPolyline(
        QPolygonF({QPointF(size * 0.28, top + (size - top) * 0.45), QPointF(size * 0.45, top + (size - top) * 0.65),
                   QPointF(size * 0.74, top + (size - top) * 0.22)}));
    return pixmap;
}

// A line that reads as a link and is reached with Tab like any button.
QPushButton *linkButton(const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setFlat(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setAccessibleName(text);
    b->setStyleSheet(QStringLiteral("QPushButton { color: palette(link); text-decoration: underline;"
                                    " border: none; text-align: left; padding: 1px; }"));
    return b;
}

} // namespace

QString versionText(const QString &buildVersion)
{
    const QVersionNumber v = QVersionNumber::fromString(buildVersion);
    return QStringLiteral("%1.%2.%3").arg(v.majorVersion()).arg(v.minorVersion()).arg(v.microVersion());
}

frmAbout *frmAbout::showAbout(UserPrompts &prompts, QWidget *owner)
{
    QPointer<frmAbout> &box = theAboutBox();
    if (!box) {
        box = new frmAbout(prompts, owner);
        box->setAttribute(Qt::WA_DeleteOnClose);
    }
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

frmAbout::frmAbout(UserPrompts &prompts, QWidget *parent) : QDialog(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(app().AppTitle);
    setAccessibleName(LoadResString(1354) + u' ' + app().AppTitle);

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QApplication::windowIcon().isNull() ? programPicture(48)
                                                         : QApplication::windowIcon().pixmap(48, 48));
    image->setAccessibleName(app().AppTitle);

    m_lblTitle = new QLabel(app().AppTitle, this);
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont big = m_lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    m_lblTitle->setFont(big);

    m_lblVersion = new QLabel(LoadResString(1355) + u' ' + versionText(QStringLiteral(VELTO_VERSION)), this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));

    m_lblWeb = linkButton(QLatin1String(kMakerWeb), this);
    m_lblWeb->setObjectName(QStringLiteral("lblWeb"));
    m_lblMain = linkButton(QLatin1String(kMakerMail), this);
    m_lblMain->setObjectName(QStringLiteral("lblMain"));

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);

    auto *titles = new QVBoxLayout;
    titles->addWidget(m_lblTitle);
    titles->addWidget(m_lblVersion);
    auto *head = new QHBoxLayout;
    head->addWidget(image, 0, Qt::AlignTop);
    head->addSpacing(12);
    head->addLayout(titles, 1);

    auto *ok = new QHBoxLayout;
    ok->addStretch(1);
    ok->addWidget(m_cmdOK);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(line(this));
    layout->addWidget(m_lblWeb);
    layout->addWidget(m_lblMain);
    layout->addWidget(line(this));
    layout->addLayout(ok);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_lblWeb, &QPushButton::clicked, this, &frmAbout::lblWeb_Click);
    connect(m_lblMain, &QPushButton::clicked, this, &frmAbout::lblMain_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &QWidget::close);
    m_cmdOK->setFocus();
}

void frmAbout::lblWeb_Click()
{
    openAddress(QUrl(QLatin1String(kMakerWeb)));
}

void frmAbout::lblMain_Click()
{
    openAddress(QUrl(QStringLiteral("mailto:") + QLatin1String(kMakerMail)));
}

void frmAbout::openAddress(const QUrl &url)
{
    if (!m_prompts.openAddress(url))
        m_prompts.message(LoadResString(1579).arg(url.toDisplayString()), MessageIcon::Warning);
}

} // namespace velto
