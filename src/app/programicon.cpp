#include "programicon.h"

#include "color.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap drawIcon(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // The house: a roof and a wall.
    QPainterPath roof;
    roof.moveTo(2, 14);
    roof.lineTo(14, 3);
    roof.lineTo(26, 14);
    roof.closeSubpath();
    p.setPen(QPen(toQColor(clMaroon), 1));
    p.setBrush(toQColor(clRed));
    p.drawPath(roof);
    p.setBrush(toQColor(rgbColor(0xF0, 0xE0, 0xB0)));
    p.drawRect(QRectF(5, 14, 18, 14));
    // The clock, in front of the house's right corner.
    p.setPen(QPen(toQColor(clNavy), 1.5));
    p.setBrush(toQColor(clWhite));
    const QPointF centre(21, 21);
    p.drawEllipse(centre, 9.5, 9.5);
    p.setPen(QPen(toQColor(clNavy), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(0, -6.5));
    p.drawLine(centre, centre + QPointF(4.5, 2));
    return picture;
}

} // namespace

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64})
        icon.addPixmap(drawIcon(size));
    return icon;
}
