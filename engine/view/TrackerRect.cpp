#include "engine/view/TrackerRect.h"

#include "engine/document/Document.h"
#include "engine/document/ToolId.h"
#include "engine/layers/Layer.h"
#include "engine/layers/LayerGeometry.h"
#include "engine/view/DocumentView.h"
#include "engine/view/FrameGeometry.h"
#include "engine/view/SharedCursors.h"
#include "platform/DeviceContext.h"

#include <QPolygon>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace {

bool IsFinite(PointF p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

constexpr double QuarterTurnDegrees = 90.0;
constexpr double EighthTurnDegrees = 45.0;

} // namespace

TrackerRect::TrackerRect(DocumentView* view) : Tracker(view) {}

TrackerRect::~TrackerRect() = default;

int32_t TrackerRect::Tool() const
{
    const Document* document = GetDocument();
    return document ? document->tool : ToolNone;
}

int32_t TrackerRect::ViewMode() const
{
    const Document* document = GetDocument();
    return document ? document->viewMode : 0;
}

bool TrackerRect::LockResizeRatio() const
{
    const Document* document = GetDocument();
    return document && document->lockResizeRatio;
}

void TrackerRect::LoadCurrentLayer()
{
    const Document* document = GetDocument();
    const Layer* layer = document ? document->layers.GetAt(document->selectedIndex) : nullptr;
    if (layer)
        static_cast<LayerInfo&>(*this) = *layer;
    else
        ResetTransform();
}

void TrackerRect::ComputeFrame()
{
    QTransform m;
    const PointF extent = GetCropExtent();
    switch (ViewMode()) {
    case ViewModeAllLayers:
        BuildXForm(m, true);
        break;
    case ViewModeCropLayer:
        AppendScale(m, size.x, size.y);
        break;
    case ViewModePaintLayer:
        AppendScale(m, extent.x * size.x, extent.y * size.y);
        break;
    default:
        break;
    }
    if (view)
        view->DocToViewXform(m);
    const bool unit = ViewMode() == ViewModePaintLayer;
    const PointF low = unit ? PointF{0.0f, 0.0f} : cropTopLeft;
    const PointF high = unit ? PointF{1.0f, 1.0f} : cropBottomRight;
    topLeft = MapPoint(m, {low.x, low.y});
    topRight = MapPoint(m, {high.x, low.y});
    bottomRight = MapPoint(m, {high.x, high.y});
    bottomLeft = MapPoint(m, {low.x, high.y});
}

QRect TrackerRect::FrameBounds() const
{
    const PointF corners[] = {topLeft, topRight, bottomRight, bottomLeft};
    if (!std::all_of(std::begin(corners), std::end(corners), IsFinite))
        return {};
    QRect bounds(TruncatedPoint(topLeft), QSize(1, 1));
    for (const PointF& corner : corners)
        bounds |= QRect(TruncatedPoint(corner), QSize(1, 1));
    return bounds;
}

void TrackerRect::DrawFrame(platform::DeviceContext& dc, bool reload)
{
    if (reload)
        LoadCurrentLayer();
    ComputeFrame();
    // A frame with a corner at an infinity or NaN (a layer whose scale or size is degenerate) has no
    // place on the screen.
    const QRect bounds = FrameBounds();
    if (bounds.isNull())
        return;
    const platform::Pen previousPen = dc.SetPen({platform::PenStyle::Dot, Qt::black});
    const platform::RasterOp previousOp = dc.SetRasterOp(platform::RasterOp::XorPen);
    dc.Polyline(QPolygon{TruncatedPoint(topLeft), TruncatedPoint(topRight), TruncatedPoint(bottomRight),
                         TruncatedPoint(bottomLeft), TruncatedPoint(topLeft)});
    dc.SetPen(previousPen);
    dc.SetRasterOp(previousOp);
    if (view)
        view->SurfaceChanged(bounds);
}

bool TrackerRect::PtInLayer(PointF viewPoint) const
{
    const PointF d = ViewToDocPoint(viewPoint);
    PointF u;
    switch (ViewMode()) {
    case ViewModeAllLayers: {
        const std::optional<PointF> layerPoint = DocToLayer(d);
        if (!layerPoint)
            return false;
        u = *layerPoint;
        break;
    }
    case ViewModeCropLayer:
        if (size.x == 0.0f || size.y == 0.0f)
            return false;
        u = {d.x / size.x, d.y / size.y};
        break;
    default:
        return false;  // the tools that ask are offered in the two views above only
    }
    const PointF extent = GetCropExtent();
    if (extent.x == 0.0f || extent.y == 0.0f)
        return false;
    u = {(u.x - cropTopLeft.x) / extent.x, (u.y - cropTopLeft.y) / extent.y};
    return u.x >= 0.0f && u.x <= 1.0f && u.y >= 0.0f && u.y <= 1.0f;
}

HandleCode TrackerRect::HitTest(PointF p) const
{
    const auto corner = [&]() {
        if (PointWithinRadius(p, topRight, CornerRadius))
            return HandleTopRight;
        if (PointWithinRadius(p, bottomRight, CornerRadius))
            return HandleBottomRight;
        if (PointWithinRadius(p, bottomLeft, CornerRadius))
            return HandleBottomLeft;
        if (PointWithinRadius(p, topLeft, CornerRadius))
            return HandleTopLeft;
        return HandleNone;
    };
    const auto edge = [&]() {
        if (PointNearSegment(topLeft, topRight, p, EdgeTolerance))
            return HandleTop;
        if (PointNearSegment(topRight, bottomRight, p, EdgeTolerance))
            return HandleRight;
        if (PointNearSegment(bottomRight, bottomLeft, p, EdgeTolerance))
            return HandleBottom;
        if (PointNearSegment(bottomLeft, topLeft, p, EdgeTolerance))
            return HandleLeft;
        return HandleNone;
    };
    switch (Tool()) {
    case ToolCrop:
    case ToolMoveResize: {
        const bool crop = Tool() == ToolCrop;
        if (crop || !LockResizeRatio()) {
            if (const HandleCode h = corner())
                return h;
        }
        if (const HandleCode h = edge())
            return h;
        // The Crop tool moves the crop rectangle only where the whole content is shown.
        if ((!crop || ViewMode() == ViewModeCropLayer) && PtInLayer(p))
            return HandleMove;
        return HandleNone;
    }
    case ToolRotate:
        return PtInLayer(p) ? HandleRotate : HandleNone;
    case ToolForceMove:
        return HandleMove;
    case ToolForceResize:
        return HandleScale;
    case ToolForceRotate:
        return HandleRotate;
    default:
        return HandleNone;
    }
}

bool TrackerRect::SetCursor(PointF viewPoint)
{
    LoadCurrentLayer();
    const Angle b = ViewMode() == ViewModeAllLayers ? angle : Angle{0};
    const HandleCode h = HitTest(viewPoint);
    if (h == HandleNone || !g_cursors || !view)
        return false;
    const auto resize = [&](double degrees) -> const QCursor& {
        return g_cursors->GetResizeCursor(static_cast<Angle>(AngleFromDegrees(degrees) + b));
    };
    const QCursor* cursor = nullptr;
    if (h == HandleScale)
        cursor = &g_cursors->GetResizeCursor(b);
    else if (h == HandleRotate)
        cursor = &g_cursors->m_rotateCursor;
    else if (h == HandleMove)
        cursor = &g_cursors->m_moveCursor;
    else if (IsEdgeHandle(h))
        cursor = &resize(static_cast<int>(h - HandleTop) * QuarterTurnDegrees);
    else {
        // On a layer mirrored on one axis the corners' diagonals swap.
        const bool mirrored = (scale.x <= 0.0f) != (scale.y <= 0.0f);
        const double toDiagonal = mirrored ? EighthTurnDegrees : -EighthTurnDegrees;
        cursor = &resize(static_cast<int>(h) * QuarterTurnDegrees + toDiagonal);
    }
    view->setCursor(*cursor);
    return true;
}

void TrackerRect::OnBeginTrack(platform::DeviceContext&)
{
    LoadCurrentLayer();
    tracking = HitTest(anchor);
}

void TrackerRect::OnDraw(platform::DeviceContext& dc, PointF offset)
{
    const LayerInfo saved = *this;
    ApplyDrag(tracking, LockResizeRatio(), offset.x, offset.y);
    DrawFrame(dc, false);
    static_cast<LayerInfo&>(*this) = saved;
}
