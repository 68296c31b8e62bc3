#include "ui/main/mainicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velto::icons {

namespace {

const QColor kInk(0x33, 0x4a, 0x66);
const QColor kGreen(0x2e, 0x8b, 0x3e);
const QColor kRed(0xc0, 0x39, 0x2b);
const QColor kBlue(0x2f, 0x6d, 0xb5);
const QColor kAmber(0xe0, 0x9a, 0x1c);
const QColor kGray(0x9a, 0x9a, 0x9a);

// Everything is drawn on a 24-unit canvas and scaled.
void drawKind(QPainter &p, Kind kind, bool closed)
{
    auto pen = [&p](const QColor &c, qreal w) { p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)); };
    auto sheet = [&](const QColor &fill) {
        pen(kInk, 1.4);
        p.setBrush(fill);
        QPainterPath path;
        path.moveTo(5, 2.5);
        path.lineTo(15, 2.5);
        path.lineTo(19.5, 7);
        path.lineTo(19.5, 21.5);
        path.lineTo(5, 21.5);
        path.closeSubpath();
        p.drawPath(path);
        p.drawLine(QPointF(15, 2.5), QPointF(15, 7));
        p.drawLine(QPointF(15, 7), QPointF(19.5, 7));
    };
    auto lines = [&](qreal top, int n) {
        pen(kGray, 1.2);
        for (int i = 0; i < n; ++i)
            p.drawLine(QPointF(8, top + i * 3), QPointF(16.5, top + i * 3));
    };
    auto badge = [&](const QColor &c, QChar sign) {
        pen(c.darker(120), 1);
        p.setBrush(c);
        p.drawEllipse(QPointF(17, 17), 5.5, 5.5);
        pen(Qt::white, 2);
        p.drawLine(QPointF(14, 17), QPointF(20, 17));
        if (sign == u'+')
            p.drawLine(QPointF(17, 14), QPointF(17, 20));
    };
    auto groupingBars = [&](int kindOfGroup) {
        pen(kInk, 1.3);
        p.setBrush(QColor(0xe8, 0xee, 0xf6));
        p.drawRoundedRect(QRectF(2.5, 3, 19, 18), 2, 2);
        const qreal rows[] = {7, 11, 15, 19};
        for (int i = 0; i < 4; ++i) {
            const bool head = kindOfGroup > 0 && (i == 0 || i == 2);
            pen(head ? kBlue : kGray, head ? 2.2 : 1.3);
            const qreal x0 = head ? 5 : (kindOfGroup > 0 ? 8 : 5);
            p.drawLine(QPointF(x0, rows[i] - 1), QPointF(19, rows[i] - 1));
        }
    };

    switch (kind) {
    case Kind::NewRow:
        sheet(Qt::white);
        lines(10, 2);
        badge(kGreen, u'+');
        break;
    case Kind::EditRow:
        sheet(Qt::white);
        lines(10, 3);
        pen(kAmber.darker(130), 1.2);
        p.setBrush(kAmber);
        {
            QPainterPath pencil;
            pencil.moveTo(12, 20);
            pencil.lineTo(13, 16.5);
            pencil.lineTo(21, 8.5);
            pencil.lineTo(23.5, 11);
            pencil.lineTo(15.5, 19);
            pencil.closeSubpath();
            p.drawPath(pencil);
        }
        break;
    case Kind::ToggleDone:
        sheet(Qt::white);
        lines(10, 2);
        pen(kGreen, 2.6);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(10, 16), QPointF(13.5, 19.5), QPointF(21, 11)}));
        break;
    case Kind::DeleteRow:
        sheet(Qt::white);
        lines(10, 2);
        badge(kRed, u'-');
        break;
    case Kind::Accounts:
    case Kind::Account: {
        const QColor c = kind == Kind::Account ? kBlue : kInk;
        pen(c, 1.3);
        p.setBrush(QColor(0xd6, 0xe4, 0xf5));
        p.drawEllipse(QPointF(9, 8), 3.6, 3.6);
        p.drawChord(QRectF(3, 12.5, 12, 11), 0, 180 * 16);
        if (kind == Kind::Accounts) {
            p.setBrush(QColor(0xf5, 0xe6, 0xd0));
            p.drawEllipse(QPointF(16.5, 8.5), 3.2, 3.2);
            p.drawChord(QRectF(11.5, 13, 10, 10), 0, 180 * 16);
        }
        break;
    }
    case Kind::Print:
        pen(kInk, 1.4);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(0xcf, 0xd8, 0xe3));
        p.drawRoundedRect(QRectF(3, 9, 18, 8), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 14, 10, 7));
        lines(17, 2);
        break;
    case Kind::Export:
        sheet(Qt::white);
        lines(10, 2);
        pen(kBlue, 2.2);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(12, 17), QPointF(22, 17));
        p.drawPolyline(QPolygonF({QPointF(18.5, 13.5), QPointF(22, 17), QPointF(18.5, 20.5)}));
        break;
    case Kind::Options: {
        pen(kInk, 1.3);
        p.setBrush(QColor(0xcf, 0xd8, 0xe3));
        QPainterPath gear;
        for (int i = 0; i < 8; ++i) {
            QTransform t;
            t.translate(12, 12);
            t.rotate(i * 45);
            gear.addPolygon(t.map(QPolygonF(QRectF(-1.8, -10, 3.6, 4))));
        }
        gear.addEllipse(QPointF(12, 12), 7, 7);
        gear.setFillRule(Qt::WindingFill);
        p.drawPath(gear.simplified());
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 12), 2.8, 2.8);
        break;
    }
    case Kind::ExpandAll:
    case Kind::CollapseAll:
        pen(kInk, 1.3);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 4.5, 15, 15));
        pen(kInk, 2);
        p.drawLine(QPointF(8, 12), QPointF(16, 12));
        if (kind == Kind::ExpandAll)
            p.drawLine(QPointF(12, 8), QPointF(12, 16));
        break;
    case Kind::LayoutSimple: groupingBars(0); break;
    case Kind::LayoutDate:
    case Kind::LayoutMonth:
        pen(kInk, 1.3);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(3, 5, 18, 16), 2, 2);
        p.setBrush(kind == Kind::LayoutDate ? kRed : kBlue);
        p.drawRect(QRectF(3, 5, 18, 4.5));
        pen(kInk, 2);
        p.drawLine(QPointF(8, 3), QPointF(8, 7));
        p.drawLine(QPointF(16, 3), QPointF(16, 7));
        if (kind == Kind::LayoutDate) {
            pen(kGray, 1.6);
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < 4; ++c)
                    p.drawPoint(QPointF(6.5 + c * 3.7, 13 + r * 4));
            pen(kRed, 1.8);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(13.9, 17), 2, 2);
        } else {
            pen(kInk, 1.4);
            QFont f;
            f.setPixelSize(9);
            f.setBold(true);
            p.setFont(f);
            p.drawText(QRectF(3, 9.5, 18, 11), Qt::AlignCenter, QStringLiteral("31"));
        }
        break;
    case Kind::LayoutAccount: groupingBars(1); break;
    case Kind::Credit:
    case Kind::Debit: {
        const QColor c = closed ? kGray : (kind == Kind::Credit ? kGreen : kRed);
        pen(c.darker(115), 1);
        p.setBrush(c);
        p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
        pen(Qt::white, 2.6);
        if (kind == Kind::Credit) {
            p.drawLine(QPointF(12, 17), QPointF(12, 7.5));
            p.drawPolyline(QPolygonF({QPointF(8, 11), QPointF(12, 7), QPointF(16, 11)}));
        } else {
            p.drawLine(QPointF(12, 7), QPointF(12, 16.5));
            p.drawPolyline(QPolygonF({QPointF(8, 13), QPointF(12, 17), QPointF(16, 13)}));
        }
        break;
    }
    case Kind::Appointment: {
        const QColor c = closed ? kGray : kBlue;
        pen(c.darker(115), 1.2);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
        pen(c, 2.2);
        p.drawLine(QPointF(12, 12), QPointF(12, 6.5));
        p.drawLine(QPointF(12, 12), QPointF(16, 14));
        break;
    }
    case Kind::Series: {
        const QColor c = closed ? kGray : kAmber.darker(115);
        pen(c, 2.2);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 150 * 16);
        p.drawArc(QRectF(4, 4, 16, 16), 210 * 16, 150 * 16);
        p.setBrush(c);
        p.drawPolygon(QPolygonF({QPointF(19.5, 4.5), QPointF(19.5, 10), QPointF(14.5, 8.5)}));
        p.drawPolygon(QPolygonF({QPointF(4.5, 19.5), QPointF(4.5, 14), QPointF(9.5, 15.5)}));
        break;
    }
    case Kind::NothingDue:
        pen(kGreen.darker(115), 1);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(12, 12), 8, 8);
        pen(Qt::white, 2.4);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(8, 12.5), QPointF(11, 15.5), QPointF(16.5, 9)}));
        break;
    case Kind::SomethingDue: {
        pen(kRed.darker(120), 1);
        p.setBrush(kRed);
        QPainterPath bell;
        bell.moveTo(6, 17);
        bell.cubicTo(8, 14, 6, 5, 12, 4.5);
        bell.cubicTo(18, 5, 16, 14, 18, 17);
        bell.closeSubpath();
        p.drawPath(bell);
        p.drawEllipse(QPointF(12, 19), 2, 2);
        break;
    }
    case Kind::AppPicture: {
        pen(kInk, 1.2);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(2.5, 4, 19, 17.5), 2.5, 2.5);
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(2.5, 4, 19, 5), 2, 2);
        pen(kGreen, 2.4);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(7.5, 15), QPointF(11, 18.5), QPointF(17, 11.5)}));
        break;
    }
    case Kind::Undo:
    case Kind::Redo: {
        // A hooked arrow turning back (undo) or, mirrored, forward (redo).
        if (kind == Kind::Redo) {
            p.translate(24, 0);
            p.scale(-1, 1);
        }
        pen(kBlue, 2.4);
        p.setBrush(Qt::NoBrush);
        QPainterPath hook;
        hook.moveTo(6, 9.5);
        hook.lineTo(14, 9.5);
        hook.cubicTo(22, 9.5, 22, 20, 14, 20);
        hook.lineTo(9, 20);
        p.drawPath(hook);
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(3, 9.5), QPointF(8.5, 5), QPointF(8.5, 14)}));
        break;
    }
    }
}

QPixmap render(Kind kind, bool closed, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 24.0, size / 24.0);
    drawKind(p, kind, closed);
    return pm;
}

} // namespace

QIcon icon(Kind kind, bool closed)
{
    QIcon result;
    for (int size : {16, 20, 24, 32, 48, 96})
        result.addPixmap(render(kind, closed, size));
    return result;
}

QList<QIcon> gridImages()
{
    QList<QIcon> images(13);
    images[5 - 1] = icon(Kind::Credit);
    images[6 - 1] = icon(Kind::Debit);
    images[7 - 1] = icon(Kind::Appointment);
    images[9 - 1] = icon(Kind::Series);
    images[10 - 1] = icon(Kind::Debit, true);
    images[11 - 1] = icon(Kind::Credit, true);
    images[12 - 1] = icon(Kind::Appointment, true);
    images[13 - 1] = icon(Kind::Series, true);
    return images;
}

} // namespace velto::icons
