#include "platform/metafile/MetafileShapes.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace platform::metafile_shapes {
namespace {

constexpr qreal kFullTurn = 360.0;

// The angle Qt's arc functions take for the point where the ray from the ellipse's centre in the
// direction (dx, dy) meets the ellipse: Qt's angles are parametric (a point is centre +
// (rx cos a, -ry sin a)), the file's rays are geometric.
qreal ParametricDegrees(const QRectF& box, qreal dx, qreal dy)
{
    const qreal rx = box.width() / 2;
    const qreal ry = box.height() / 2;
    if (rx > 0 && ry > 0)
        return qRadiansToDegrees(std::atan2(-dy / ry, dx / rx));
    return qRadiansToDegrees(std::atan2(-dy, dx));
}

// An angle difference brought into (0, 360].
qreal PositiveTurn(qreal degrees)
{
    qreal turn = std::fmod(degrees, kFullTurn);
    if (turn <= 0)
        turn += kFullTurn;
    return turn;
}

} // namespace

QRectF BoxRect(const Rect& box)
{
    return QRectF(QPointF(box.left, box.top), QPointF(box.right, box.bottom)).normalized();
}

QPainterPath RectanglePath(const QRectF& box)
{
    QPainterPath path;
    path.addRect(box);
    return path;
}

QPainterPath EllipsePath(const QRectF& box)
{
    QPainterPath path;
    path.addEllipse(box);
    return path;
}

QPainterPath RoundRectPath(const QRectF& box, const QSizeF& corner)
{
    QPainterPath path;
    const qreal rx = std::min(std::abs(corner.width()), box.width()) / 2;
    const qreal ry = std::min(std::abs(corner.height()), box.height()) / 2;
    path.addRoundedRect(box, rx, ry, Qt::AbsoluteSize);
    return path;
}

QPainterPath ArcPath(const QRectF& box, QPointF start, QPointF end, ArcTurn turn, ArcClosure closure)
{
    const QPointF centre = box.center();
    const qreal from = ParametricDegrees(box, start.x() - centre.x(), start.y() - centre.y());
    const qreal to = ParametricDegrees(box, end.x() - centre.x(), end.y() - centre.y());
    // Qt's positive sweep turns counter-clockwise on a y-down surface, as the file's default does.
    const qreal sweep = turn == ArcTurn::CounterClockwise ? PositiveTurn(to - from) : -PositiveTurn(from - to);

    QPainterPath path;
    if (closure == ArcClosure::Pie)
        path.moveTo(centre);
    else
        path.arcMoveTo(box, from);
    path.arcTo(box, from, sweep);
    if (closure != ArcClosure::Open)
        path.closeSubpath();
    return path;
}

QPainterPath AngleArcPath(QPointF centre, qreal radius, qreal startDegrees, qreal sweepDegrees)
{
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path;
    path.arcMoveTo(box, startDegrees);
    path.arcTo(box, startDegrees, sweepDegrees);
    return path;
}

void AppendBeziers(QPainterPath& path, const std::vector<QPoint>& points, size_t first)
{
    constexpr size_t kPointsPerCurve = 3;
    for (size_t i = first; i + kPointsPerCurve <= points.size(); i += kPointsPerCurve)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
}

QPainterPath PolyPath(const std::vector<QPoint>& points, size_t first, size_t count, bool closed)
{
    QPainterPath path;
    if (count == 0)
        return path;
    path.moveTo(points[first]);
    for (size_t i = first + 1; i < first + count; ++i)
        path.lineTo(points[i]);
    if (closed)
        path.closeSubpath();
    return path;
}

} // namespace platform::metafile_shapes
