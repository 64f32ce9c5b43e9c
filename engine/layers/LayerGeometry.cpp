#include "engine/layers/LayerGeometry.h"

#include <QTransform>
#include <algorithm>
#include <cmath>

namespace {

struct XForm {
    float m11, m12, m21, m22, dx, dy;
};

XForm ToXForm(const QTransform& m)
{
    return {static_cast<float>(m.m11()), static_cast<float>(m.m12()), static_cast<float>(m.m21()),
            static_cast<float>(m.m22()), static_cast<float>(m.dx()),  static_cast<float>(m.dy())};
}

void Store(QTransform& m, const XForm& x)
{
    m.setMatrix(x.m11, x.m12, 0.0, x.m21, x.m22, 0.0, x.dx, x.dy, 1.0);
}

int32_t ClampCoordinate(float value)
{
    const double limit = EmptyRectLow;
    return static_cast<int32_t>(std::clamp(static_cast<double>(value), -limit, limit));
}

} // namespace

void AppendTranslate(QTransform& m, float dx, float dy)
{
    XForm x = ToXForm(m);
    x.dx = x.dx + dx;
    x.dy = x.dy + dy;
    Store(m, x);
}

void AppendScale(QTransform& m, float sx, float sy)
{
    XForm x = ToXForm(m);
    x.m11 = x.m11 * sx;
    x.m21 = x.m21 * sx;
    x.dx = x.dx * sx;
    x.m12 = x.m12 * sy;
    x.m22 = x.m22 * sy;
    x.dy = x.dy * sy;
    Store(m, x);
}

void RotateXForm(QTransform& m, Angle angle)
{
    const float s = AngleSine(angle);
    const float c = AngleCosine(angle);
    XForm x = ToXForm(m);
    auto rotateRow = [s, c](float& a, float& b) {
        const float u = a;
        const float v = b;
        a = u * c - v * s;
        b = u * s + v * c;
    };
    rotateRow(x.m11, x.m12);
    rotateRow(x.m21, x.m22);
    rotateRow(x.dx, x.dy);
    Store(m, x);
}

void TransformRectBounds(const Rect& r, const QTransform& m, Rect& out, bool reset)
{
    if (reset)
        out = EmptyRect;
    const XForm x = ToXForm(m);
    const float corners[4][2] = {
        {static_cast<float>(r.left), static_cast<float>(r.top)},
        {static_cast<float>(r.right), static_cast<float>(r.top)},
        {static_cast<float>(r.right), static_cast<float>(r.bottom)},
        {static_cast<float>(r.left), static_cast<float>(r.bottom)},
    };
    float mapped[4][2];
    for (int i = 0; i < 4; ++i) {
        mapped[i][0] = corners[i][0] * x.m11 + corners[i][1] * x.m21 + x.dx;
        mapped[i][1] = corners[i][0] * x.m12 + corners[i][1] * x.m22 + x.dy;
        if (!std::isfinite(mapped[i][0]) || !std::isfinite(mapped[i][1]))
            return;  // a degenerate transform has no bounds
    }
    for (const auto& point : mapped) {
        out.left = std::min(out.left, ClampCoordinate(std::floor(point[0])));
        out.right = std::max(out.right, ClampCoordinate(std::ceil(point[0])));
        out.top = std::min(out.top, ClampCoordinate(std::floor(point[1])));
        out.bottom = std::max(out.bottom, ClampCoordinate(std::ceil(point[1])));
    }
}
