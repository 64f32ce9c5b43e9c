#include "engine/view/FrameGeometry.h"

#include "engine/layers/LayerGeometry.h"

#include <QPoint>
#include <QTransform>
#include <algorithm>
#include <cmath>

bool PointWithinRadius(PointF p, PointF centre, float radius)
{
    const float dx = p.x - centre.x;
    const float dy = p.y - centre.y;
    return dx * dx + dy * dy <= radius * radius;
}

bool PointNearSegment(PointF a, PointF b, PointF p, float tolerance)
{
    PointF nearest = a;
    if (a != b) {
        const PointF ab = b - a;
        const PointF ap = p - a;
        const float t = (ap.x * ab.x + ap.y * ab.y) / (ab.x * ab.x + ab.y * ab.y);
        if (t < 0.0f || t > 1.0f)
            return false;
        nearest = {a.x + ab.x * t, a.y + ab.y * t};
    }
    return PointWithinRadius(p, nearest, tolerance);
}

PointF MapPoint(const QTransform& m, PointF p)
{
    const auto m11 = static_cast<float>(m.m11());
    const auto m12 = static_cast<float>(m.m12());
    const auto m21 = static_cast<float>(m.m21());
    const auto m22 = static_cast<float>(m.m22());
    const auto dx = static_cast<float>(m.dx());
    const auto dy = static_cast<float>(m.dy());
    return {p.x * m11 + p.y * m21 + dx, p.x * m12 + p.y * m22 + dy};
}

int32_t TruncateCoordinate(float value)
{
    if (std::isnan(value))
        return 0;
    constexpr float limit = EmptyRectLow;
    return static_cast<int32_t>(std::clamp(value, -limit, limit));
}

QPoint TruncatedPoint(PointF p)
{
    return {TruncateCoordinate(p.x), TruncateCoordinate(p.y)};
}
