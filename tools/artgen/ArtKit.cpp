#include "tools/artgen/ArtKit.h"

#include <QPainterPathStroker>
#include <QPolygonF>

namespace ArtKit {

QPainterPath Polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

QPainterPath TurnArrow(const QRectF& ring, double width, const QPainterPath& head)
{
    QPainterPath arc;
    arc.arcMoveTo(ring, 180);
    arc.arcTo(ring, 180, -262);
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::FlatCap);
    return stroker.createStroke(arc).united(head).simplified();
}

QLinearGradient VerticalGradient(const QColor& top, const QColor& bottom, double from, double to)
{
    QLinearGradient gradient(0, from, 0, to);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

QFont Font(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace ArtKit
