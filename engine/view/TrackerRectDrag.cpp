#include "engine/view/TrackerRect.h"

#include "engine/document/Document.h"
#include "engine/document/ToolId.h"
#include "engine/view/DocumentView.h"

#include <algorithm>
#include <cmath>

namespace {

PointF Rotated(PointF v, Angle a)
{
    float vector[2] = {v.x, v.y};
    RotateVector(vector, a);
    return {vector[0], vector[1]};
}

Angle Negated(Angle a)
{
    return static_cast<Angle>(0u - a);
}

PointF operator+(PointF a, PointF b)
{
    return {a.x + b.x, a.y + b.y};
}

PointF operator-(PointF a)
{
    return {-a.x, -a.y};
}

bool IsFinite(PointF p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool IsFiniteGeometry(const LayerInfo& info)
{
    return IsFinite(info.position) && IsFinite(info.scale) && IsFinite(info.cropTopLeft) &&
           IsFinite(info.cropBottomRight);
}

// The two edges a corner drag moves, in the order they are applied.
struct CornerEdges {
    int32_t first;
    int32_t second;
};

CornerEdges EdgesOf(int32_t corner)
{
    switch (corner) {
    case HandleTopRight:
        return {HandleTop, HandleRight};
    case HandleBottomRight:
        return {HandleRight, HandleBottom};
    case HandleBottomLeft:
        return {HandleBottom, HandleLeft};
    default:
        return {HandleLeft, HandleTop};
    }
}

} // namespace

float TrackerRect::FlipSign(float x) const
{
    return (scale.x < 0.0f) == (scale.y < 0.0f) ? x : -x;
}

void TrackerRect::ApplyDrag(int32_t h, bool keepRatio, float dx, float dy)
{
    // No offset, no change: the frame drawn at the start of a drag must be the one the view painted
    // (the XOR erase depends on it), and a press without a move must not leave rounding behind.
    if (dx == 0.0f && dy == 0.0f)
        return;
    const LayerInfo before = *this;
    const PointF d{dx, dy};
    const bool crop = Tool() == ToolCrop;
    if (IsCornerHandle(h)) {
        // A corner is its two edges in turn, and never keeps the ratio.
        const CornerEdges edges = EdgesOf(h);
        for (const int32_t edge : {edges.first, edges.second}) {
            if (crop)
                ApplyCrop(edge, d);
            else
                ApplyEdgeOrMove(edge, false, d);
        }
    } else if (crop) {
        ApplyCrop(h, d);
    } else {
        ApplyEdgeOrMove(h, keepRatio, d);
    }
    // A step that would leave an infinity or NaN in the geometry (a layer with no extent on the
    // screen divides by zero) is not taken: such a value could never be undone or drawn.
    if (!IsFiniteGeometry(*this))
        static_cast<LayerInfo&>(*this) = before;
}

void TrackerRect::ApplyEdgeOrMove(int32_t h, bool keepRatio, PointF d)
{
    const float k = view ? view->scale : 0.0f;
    const PointF extent = GetCropExtent();
    const float w = extent.x * size.x;
    const float hh = extent.y * size.y;
    const Angle back = Negated(angle);
    const auto toView = [&](PointF p) -> PointF {
        if (!view)
            return p;
        return {(p.x - view->docHalfSize.x) * k + view->clientHalfSize.x,
                (p.y - view->docHalfSize.y) * k + view->clientHalfSize.y};
    };
    switch (h) {
    case HandleTop:
    case HandleBottom: {
        const PointF r = Rotated(h == HandleTop ? -d : d, back);
        const float g = r.y / (hh * k);
        scale.y = scale.y + g;
        scale.x = scale.x + (keepRatio ? FlipSign(g) : 0.0f);
        const PointF shift = Rotated({0.0f, hh * 0.5f * g}, angle);
        position = h == HandleTop ? position - shift : position + shift;
        break;
    }
    case HandleRight:
    case HandleLeft: {
        const PointF r = Rotated(h == HandleLeft ? -d : d, back);
        const float g = r.x / (w * k);
        scale.x = scale.x + g;
        scale.y = scale.y + (keepRatio ? FlipSign(g) : 0.0f);
        const PointF shift = Rotated({w * 0.5f * g, 0.0f}, angle);
        position = h == HandleLeft ? position - shift : position + shift;
        break;
    }
    case HandleMove: {
        PointF p = toView(position) + d;
        if (view)
            view->ViewToDoc(p);
        position = p;
        break;
    }
    case HandleRotate: {
        const PointF pivot = toView(position);
        const PointF a = anchor - pivot;
        const PointF c = (anchor + d) - pivot;
        const Angle to = AngleFromRadians(std::atan2(c.y, c.x));
        const Angle from = AngleFromRadians(std::atan2(a.y, a.x));
        angle = static_cast<Angle>(angle + to - from);
        break;
    }
    case HandleScale: {
        const PointF r = Rotated(-d, back);
        const float g = r.y / (hh * k);
        const float j = 2.0f * g;
        if ((scale.x < 0.0f) != (scale.y < 0.0f)) {
            scale.x = scale.x - j;
            scale.y = scale.y + j;
        } else {
            scale.x = scale.x + j;
            scale.y = scale.y + j;
        }
        break;
    }
    default:
        break;
    }
}

void TrackerRect::ApplyCrop(int32_t h, PointF d)
{
    const float k = view ? view->scale : 0.0f;
    PointF f;
    if (ViewMode() == ViewModeAllLayers) {
        const PointF r = Rotated(d, Negated(angle));
        f = {(r.x / scale.x) / (k * size.x), (r.y / scale.y) / (k * size.y)};
    } else {
        f = {d.x / (k * size.x), d.y / (k * size.y)};
    }
    const PointF c0 = GetCropCentre();
    switch (h) {
    case HandleTop:
        cropTopLeft.y = std::max(std::min(cropTopLeft.y + f.y, cropBottomRight.y - 1.0f / size.y), 0.0f);
        break;
    case HandleRight:
        cropBottomRight.x = std::min(std::max(cropBottomRight.x + f.x, cropTopLeft.x + 1.0f / size.x), 1.0f);
        break;
    case HandleBottom:
        cropBottomRight.y = std::min(std::max(cropBottomRight.y + f.y, cropTopLeft.y + 1.0f / size.y), 1.0f);
        break;
    case HandleLeft:
        cropTopLeft.x = std::max(std::min(cropTopLeft.x + f.x, cropBottomRight.x - 1.0f / size.x), 0.0f);
        break;
    case HandleMove:
        // The rectangle slides at its size and stops at the content's border on each axis by itself.
        f.x = f.x >= 0.0f ? std::min(f.x, 1.0f - cropBottomRight.x) : std::max(f.x, -cropTopLeft.x);
        f.y = f.y >= 0.0f ? std::min(f.y, 1.0f - cropBottomRight.y) : std::max(f.y, -cropTopLeft.y);
        cropTopLeft = cropTopLeft + f;
        cropBottomRight = cropBottomRight + f;
        break;
    default:
        return;
    }
    // The content stays where it is: the position follows the crop centre.
    const PointF c1 = GetCropCentre();
    PointF v{(c0.x - c1.x) * size.x, (c0.y - c1.y) * size.y};
    if (h == HandleTop || h == HandleBottom)
        v.x = 0.0f;
    else if (h == HandleLeft || h == HandleRight)
        v.y = 0.0f;
    if (ViewMode() == ViewModeAllLayers)
        v = Rotated({v.x * scale.x, v.y * scale.y}, angle);
    position = position - v;
}

void TrackerRect::ApplyOffset(int32_t h, LayerInfo& out)
{
    const LayerInfo saved = *this;
    if (h > HandleNone) {
        ApplyDrag(h, LockResizeRatio(), current.x - anchor.x, current.y - anchor.y);
        const bool crop = Tool() == ToolCrop;
        const bool resized = IsCornerHandle(h) || IsEdgeHandle(h) || h == HandleScale;
        if (h == HandleRotate) {
            angle = static_cast<Angle>(angle - saved.angle);
        } else if (h == HandleMove || resized) {
            position = position - saved.position;
            if (crop) {
                cropTopLeft = cropTopLeft - saved.cropTopLeft;
                cropBottomRight = cropBottomRight - saved.cropBottomRight;
            } else if (resized) {
                scale = scale - saved.scale;
            }
        }
    }
    out = *this;
    static_cast<LayerInfo&>(*this) = saved;
}
