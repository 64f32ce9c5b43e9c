#include "platform/metafile/MetafileClip.h"

#include <QLineF>
#include <QPolygonF>
#include <algorithm>
#include <array>

namespace platform::metafile_clip {
namespace {

// One side of the window: the points whose x (or y) is at least (or at most) bound.
struct Edge {
    bool vertical; // compares x
    bool keepAbove;
    qreal bound;

    bool Inside(QPointF p) const
    {
        const qreal value = vertical ? p.x() : p.y();
        return keepAbove ? value >= bound : value <= bound;
    }
    // Where the line from a to b crosses the edge.
    QPointF Crossing(QPointF a, QPointF b) const
    {
        if (vertical)
            return QPointF(bound, a.y() + (b.y() - a.y()) * (bound - a.x()) / (b.x() - a.x()));
        return QPointF(a.x() + (b.x() - a.x()) * (bound - a.y()) / (b.y() - a.y()), bound);
    }
};

// The polygon's part on the inner side of one window edge (one Sutherland-Hodgman pass).
QPolygonF ClipToEdge(const QPolygonF& polygon, const Edge& edge)
{
    QPolygonF result;
    result.reserve(polygon.size() + 1);
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF from = polygon[i == 0 ? polygon.size() - 1 : i - 1];
        const QPointF to = polygon[i];
        if (edge.Inside(to)) {
            if (!edge.Inside(from))
                result.append(edge.Crossing(from, to));
            result.append(to);
        } else if (edge.Inside(from)) {
            result.append(edge.Crossing(from, to));
        }
    }
    return result;
}

QPolygonF ClipPolygon(QPolygonF polygon, const QRectF& w)
{
    const Edge edges[] = {{true, true, w.left()}, {true, false, w.right()}, {false, true, w.top()},
                          {false, false, w.bottom()}};
    for (const Edge& edge : edges)
        polygon = ClipToEdge(polygon, edge);
    return polygon;
}

// The part of the line from a to b inside w (Liang-Barsky); false when none of it is.
bool ClipLine(QPointF& a, QPointF& b, const QRectF& w)
{
    const qreal dx = b.x() - a.x();
    const qreal dy = b.y() - a.y();
    const std::array<qreal, 4> p{-dx, dx, -dy, dy};
    const std::array<qreal, 4> q{a.x() - w.left(), w.right() - a.x(), a.y() - w.top(), w.bottom() - a.y()};
    qreal enter = 0;
    qreal leave = 1;
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const qreal t = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return false;
    // Ends that stay keep their exact values: a run continues only through an end that was not cut.
    const QPointF start = a;
    if (enter > 0)
        a = start + enter * QPointF(dx, dy);
    if (leave < 1)
        b = start + leave * QPointF(dx, dy);
    return true;
}

} // namespace

QPainterPath ForFill(const QPainterPath& path, const QRectF& window)
{
    QPainterPath result;
    result.setFillRule(path.fillRule());
    for (const QPolygonF& subpath : path.toSubpathPolygons()) {
        const QPolygonF clipped = ClipPolygon(subpath, window);
        if (clipped.size() < 3)
            continue;
        result.addPolygon(clipped);
        result.closeSubpath();
    }
    return result;
}

QPainterPath ForStroke(const QPainterPath& path, const QRectF& window)
{
    QPainterPath result;
    for (QPolygonF subpath : path.toSubpathPolygons()) {
        if (window.contains(subpath.boundingRect())) {
            result.addPolygon(subpath);
            continue;
        }
        // A figure that comes back to its start (Qt strokes it closed) is walked from a corner outside
        // the window, so that no corner in sight becomes the two ends of the runs.
        if (subpath.isClosed() && window.contains(subpath.first())) {
            const qsizetype corners = subpath.size() - 1;
            for (qsizetype k = 1; k < corners; ++k) {
                if (!window.contains(subpath[k])) {
                    subpath = subpath.mid(k, corners - k) + subpath.mid(0, k + 1);
                    break;
                }
            }
        }
        bool running = false; // the last piece ended inside the window: the next one continues it
        for (qsizetype i = 1; i < subpath.size(); ++i) {
            QPointF a = subpath[i - 1];
            QPointF b = subpath[i];
            if (!ClipLine(a, b, window)) {
                running = false;
                continue;
            }
            if (!running)
                result.moveTo(a);
            result.lineTo(b);
            running = b == subpath[i];
        }
    }
    return result;
}

qreal Length(const QPainterPath& path)
{
    qreal length = 0;
    for (const QPolygonF& subpath : path.toSubpathPolygons())
        for (qsizetype i = 1; i < subpath.size(); ++i)
            length += QLineF(subpath[i - 1], subpath[i]).length();
    return length;
}

} // namespace platform::metafile_clip
