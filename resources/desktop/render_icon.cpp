// Renders Velto's icon as PNG files of the given sizes. It draws, with
// QPainter, the same shapes as velto.svg (on a 256 x 256 grid), so the build
// needs no SVG renderer. Usage: velto_render_icon <output folder> <size>...
// writes <output folder>/<size>x<size>/velto.png.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <cstdio>
#include <cstdlib>

namespace {

void drawIcon(QPainter &p, int size)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    const QColor ink(0x37, 0x47, 0x4f);
    const QRectF page(28, 40, 200, 188);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(page, 20, 20);

    QPainterPath header;
    header.moveTo(28, 60);
    header.arcTo(QRectF(28, 40, 40, 40), 180, -90);
    header.lineTo(208, 40);
    header.arcTo(QRectF(188, 40, 40, 40), 90, -90);
    header.lineTo(228, 96);
    header.lineTo(28, 96);
    header.closeSubpath();
    p.fillPath(header, QColor(0xd8, 0x43, 0x43));

    p.setBrush(QColor(0xcf, 0xd8, 0xdc));
    const int days[][2] = {{48, 112}, {92, 112}, {136, 112}, {180, 112}, {48, 146}, {92, 146}, {48, 180}, {92, 180}};
    for (const auto &d : days)
        p.drawRoundedRect(QRectF(d[0], d[1], 24, 20), 4, 4);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 8));
    p.drawRoundedRect(page, 20, 20);

    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(72, 20, 20, 44), 10, 10);
    p.drawRoundedRect(QRectF(164, 20, 20, 44), 10, 10);

    p.setPen(QPen(QColor(0xa0, 0x6f, 0x00), 8));
    p.setBrush(QColor(0xf2, 0xb7, 0x05));
    p.drawEllipse(QPointF(180, 184), 56, 56);

    QPainterPath tick;
    tick.moveTo(152, 186);
    tick.lineTo(172, 206);
    tick.lineTo(208, 164);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output folder> <size>...\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0) {
            std::fprintf(stderr, "not a size: %s\n", argv[i]);
            return 2;
        }
        const QString dir = out + QStringLiteral("/%1x%1").arg(size);
        if (!QDir().mkpath(dir)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(dir));
            return 1;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            drawIcon(p, size);
        }
        const QString file = dir + QStringLiteral("/velto.png");
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
