#include "engine/layers/LayerInfo.h"

#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/LayerGeometry.h"
#include "platform/PathJoin.h"

#include <QTransform>
#include <cmath>

namespace {

bool IsUsableScale(PointF scale)
{
    return std::isfinite(scale.x) && std::isfinite(scale.y) && scale.x != 0.0f && scale.y != 0.0f;
}

bool IsFinite(PointF p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool Inside(PointF u)
{
    return u.x >= 0.0f && u.x <= 1.0f && u.y >= 0.0f && u.y <= 1.0f;
}

} // namespace

PointF LayerInfo::GetCropCentre() const
{
    return {cropTopLeft.x + (cropBottomRight.x - cropTopLeft.x) * 0.5f,
            cropTopLeft.y + (cropBottomRight.y - cropTopLeft.y) * 0.5f};
}

PointF LayerInfo::GetCropExtent() const
{
    return cropBottomRight - cropTopLeft;
}

PointF LayerInfo::GetPivot() const
{
    const PointF c = GetCropCentre();
    return {size.x * c.x, size.y * c.y};
}

void LayerInfo::ResetTransform()
{
    position = {0.0f, 0.0f};
    scale = {1.0f, 1.0f};
    size = {1.0f, 1.0f};
    centre = {0.5f, 0.5f};
    angle = 0;
}

void LayerInfo::BuildXForm(QTransform& m, bool fromUnit) const
{
    if (fromUnit)
        AppendScale(m, size.x, size.y);
    const PointF pivot = GetPivot();
    AppendTranslate(m, -pivot.x, -pivot.y);
    AppendScale(m, scale.x, scale.y);
    RotateXForm(m, angle);
    AppendTranslate(m, position.x, position.y);
}

bool LayerInfo::BuildInverseXForm(QTransform& m) const
{
    if (!IsUsableScale(scale))
        return false;
    const PointF inverseScale{1.0f / scale.x, 1.0f / scale.y};
    if (!IsFinite(inverseScale))
        return false;  // a scale so small that its reciprocal overflows
    const PointF pivot = GetPivot();
    AppendTranslate(m, -position.x, -position.y);
    RotateXForm(m, static_cast<Angle>(AngleUnitsPerTurn - angle));
    AppendScale(m, inverseScale.x, inverseScale.y);
    AppendTranslate(m, pivot.x, pivot.y);
    return true;
}

std::optional<PointF> LayerInfo::DocToLayer(PointF p) const
{
    if (!IsUsableScale(scale) || size.x == 0.0f || size.y == 0.0f)
        return std::nullopt;
    float v[2] = {p.x - position.x, p.y - position.y};
    RotateVector(v, static_cast<Angle>(AngleUnitsPerTurn - angle));
    const PointF pivot = GetPivot();
    const PointF u{(v[0] / scale.x + pivot.x) / size.x, (v[1] / scale.y + pivot.y) / size.y};
    if (!IsFinite(u))
        return std::nullopt;
    return u;
}

void LayerInfo::InverseBounds(Rect& r) const
{
    QTransform m;
    if (!BuildInverseXForm(m)) {
        r = EmptyRect;
        return;
    }
    const Rect source = r;
    TransformRectBounds(source, m, r, true);
}

void LayerInfo::ForwardBounds(Rect& r) const
{
    QTransform m;
    BuildXForm(m, false);
    const Rect source = r;
    TransformRectBounds(source, m, r, true);
}

bool LayerInfo::HitTest(PointF p) const
{
    return HitTest(p, g_document ? g_document->viewMode : ViewModeAllLayers);
}

bool LayerInfo::HitTest(PointF p, int32_t viewMode) const
{
    const PointF extent = GetCropExtent();
    PointF u = p;
    switch (viewMode) {
    case ViewModeAllLayers:
    case ViewModeCropLayer: {
        if (viewMode == ViewModeAllLayers) {
            const std::optional<PointF> layerPoint = DocToLayer(p);
            if (!layerPoint)
                return false;
            u = *layerPoint;
        } else {
            if (size.x == 0.0f || size.y == 0.0f)
                return false;
            u = {p.x / size.x, p.y / size.y};
        }
        if (extent.x == 0.0f || extent.y == 0.0f)
            return false;
        u = {(u.x - cropTopLeft.x) / extent.x, (u.y - cropTopLeft.y) / extent.y};
        break;
    }
    case ViewModePaintLayer: {
        const PointF shown{size.x * extent.x, size.y * extent.y};
        if (shown.x == 0.0f || shown.y == 0.0f)
            return false;
        u = {p.x / shown.x, p.y / shown.y};
        break;
    }
    default:
        break;
    }
    return Inside(u);
}

void LayerInfo::GetLocalPath(QString& out) const
{
    const QString cache = g_paths ? g_paths->cacheFolder : QString();
    switch (kind) {
    case LayerKindOwnFile:
        out = path;
        break;
    case LayerKindAccessory:
        out = platform::JoinPath(cache, QStringLiteral("Accessories/%1.png").arg(number));
        break;
    case LayerKindBackground:
        out = platform::JoinPath(cache, QString::asprintf("BGs/%04d.bki", number));
        break;
    case LayerKindScene:
    case LayerKindFace:
        out = platform::JoinPath(cache, QStringLiteral("Scenes/%1.jpg").arg(number));
        break;
    case LayerKindBubble:
        out = platform::JoinPath(cache, QStringLiteral("Bubbles/%1.emf").arg(number));
        break;
    default:
        break;
    }
}

void LayerInfo::GetRemotePath(QString& out) const
{
    const QString server = g_paths ? g_paths->serverUrl : QString();
    switch (kind) {
    case LayerKindOwnFile:
        out.clear();
        break;
    case LayerKindAccessory:
        out = server + QStringLiteral("Accessories/%1.png").arg(number);
        break;
    case LayerKindBackground:
        out = server + QString::asprintf("BGs/%04d.bki", number);
        break;
    case LayerKindScene:
    case LayerKindFace:
        out = path;
        break;
    case LayerKindBubble:
        out = server + QStringLiteral("Bubbles/%1.emf").arg(number);
        break;
    default:
        break;
    }
}
