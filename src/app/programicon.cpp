#include "programicon.h"

#include "screencolor.h"

#include <optional>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace {

// The icon on a 32 × 32 grid, described once for the painted sizes and for
// the scalable file.
struct Shape
{
    enum Kind { Polygon, Circle, Line };
    Kind kind;
    QPolygonF points; // a polygon's corners, a circle's centre, a line's ends
    TColor stroke;
    qreal strokeWidth;
    std::optional<TColor> fill = {};
    qreal radius = 0;
};

const Shape Shapes[] = {
    // The house: a roof and a wall.
    {Shape::Polygon, {{2, 14}, {14, 3}, {26, 14}}, MaroonColor, 1, clRed},
    {Shape::Polygon, {{5, 14}, {23, 14}, {23, 28}, {5, 28}}, MaroonColor, 1, rgbColor(0xF0, 0xE0, 0xB0)},
    // The clock, in front of the house's right corner, at ten past twelve.
    {Shape::Circle, {{21, 21}}, NavyColor, 1.5, WhiteColor, 9.5},
    {Shape::Line, {{21, 21}, {21, 14.5}}, NavyColor, 2},
    {Shape::Line, {{21, 21}, {25.5, 23}}, NavyColor, 2},
};

// Hands end round; outlines join bevelled, as Qt's pens do by default.
QPen penOf(const Shape &shape)
{
    return QPen(toQColor(shape.stroke), shape.strokeWidth, Qt::SolidLine,
        shape.kind == Shape::Line ? Qt::RoundCap : Qt::SquareCap, Qt::BevelJoin);
}

QString svgColor(TColor color)
{
    return toQColor(color).name();
}

QString svgPoints(const QPolygonF &points)
{
    QStringList texts;
    for (const QPointF &p : points)
        texts << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    return texts.join(u' ');
}

} // namespace

QImage programIconImage(int size)
{
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    for (const Shape &shape : Shapes) {
        p.setPen(penOf(shape));
        p.setBrush(shape.fill ? QBrush(toQColor(*shape.fill)) : QBrush());
        switch (shape.kind) {
        case Shape::Polygon:
            p.drawPolygon(shape.points);
            break;
        case Shape::Circle:
            p.drawEllipse(shape.points[0], shape.radius, shape.radius);
            break;
        case Shape::Line:
            p.drawLine(shape.points[0], shape.points[1]);
            break;
        }
    }
    return picture;
}

QByteArray programIconSvg()
{
    QString svg = QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\">\n");
    for (const Shape &shape : Shapes) {
        const QString paint
            = QStringLiteral("fill=\"%1\" stroke=\"%2\" stroke-width=\"%3\"")
                  .arg(shape.fill ? svgColor(*shape.fill) : QStringLiteral("none"), svgColor(shape.stroke))
                  .arg(shape.strokeWidth);
        switch (shape.kind) {
        case Shape::Polygon:
            svg += QStringLiteral("  <polygon points=\"%1\" %2 stroke-linejoin=\"bevel\"/>\n")
                       .arg(svgPoints(shape.points), paint);
            break;
        case Shape::Circle:
            svg += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" %4/>\n")
                       .arg(shape.points[0].x())
                       .arg(shape.points[0].y())
                       .arg(shape.radius)
                       .arg(paint);
            break;
        case Shape::Line:
            svg += QStringLiteral("  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" %5 stroke-linecap=\"round\"/>\n")
                       .arg(shape.points[0].x())
                       .arg(shape.points[0].y())
                       .arg(shape.points[1].x())
                       .arg(shape.points[1].y())
                       .arg(paint);
            break;
        }
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    return icon;
}
