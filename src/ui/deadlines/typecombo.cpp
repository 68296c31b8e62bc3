#include "ui/deadlines/typecombo.h"

#include "app/strings.h"

#include <QPainter>
#include <QPixmap>

namespace velto {

namespace {

QIcon typeIcon(const QColor &colour, QChar mark)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(colour.darker(130));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(11);
    p.setFont(f);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString(mark));
    return QIcon(pm);
}

} // namespace

TypeCombo::TypeCombo(QWidget *parent) : QComboBox(parent)
{
    addItem(typeIcon(QColor(0x2f, 0x6d, 0xb5), u'A'), LoadResString(1043), typeCode(DeadlineType::Appointment));
    addItem(typeIcon(QColor(0xc0, 0x39, 0x2b), u'-'), LoadResString(1042), typeCode(DeadlineType::Debit));
    addItem(typeIcon(QColor(0x2e, 0x8b, 0x57), u'+'), LoadResString(1041), typeCode(DeadlineType::Credit));
    setCurrentIndex(0);
}

DeadlineType TypeCombo::type() const
{
    return deadlineTypeFromCode(currentData().toInt()).value_or(DeadlineType::Credit);
}

void TypeCombo::selectType(DeadlineType type)
{
    const int index = findData(typeCode(type));
    setCurrentIndex(index >= 0 ? index : 0);
}

} // namespace velto
