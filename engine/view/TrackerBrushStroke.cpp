#include "engine/view/TrackerBrush.h"

#include "engine/base/Geometry.h"
#include "engine/document/Document.h"
#include "engine/document/GraphicsMode.h"
#include "engine/document/ToolId.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/layers/ImageBusy.h"
#include "engine/layers/ImageDC.h"
#include "engine/layers/ImageHelpers.h"
#include "engine/layers/LayerGeometry.h"
#include "engine/layers/LayerImage.h"
#include "engine/view/DocumentView.h"
#include "engine/view/FrameGeometry.h"
#include "platform/DeviceContext.h"
#include "platform/DeviceContextSaver.h"
#include "platform/PixelOps.h"

#include <QPolygon>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr float StampsPerViewUnit = 0.1f;  // one stamp per 10 view units of a segment, or part of them
constexpr int32_t MostStampsPerSegment = 100000;
constexpr uint8_t OpaqueAlpha = 255;

// Edges of the crop rectangle as RayExitOnCropRect numbers them.
constexpr int32_t EdgeTop = 0;
constexpr int32_t EdgeRight = 1;
constexpr int32_t EdgeBottom = 2;
constexpr int32_t EdgeLeft = 3;

// The corner two exit edges share, when they are neighbours.
std::optional<PointF> SharedCorner(int32_t e0, int32_t e1, PointF a, PointF b)
{
    const auto is = [&](int32_t x, int32_t y) { return (e0 == x && e1 == y) || (e0 == y && e1 == x); };
    if (is(EdgeTop, EdgeRight))
        return PointF{b.x, a.y};
    if (is(EdgeTop, EdgeLeft))
        return PointF{a.x, a.y};
    if (is(EdgeRight, EdgeBottom))
        return PointF{b.x, b.y};
    if (is(EdgeLeft, EdgeBottom))
        return PointF{a.x, b.y};
    return std::nullopt;
}

// Runs row over each row of r in a 32-bit image, marked busy meanwhile.
template <class Row>
void ForEachRow(Image& image, const Rect& r, Row row)
{
    if (image.bitsPerPixel != 32 || IsEmptyRect(r))
        return;
    const ImageBusy busy(image);
    uint8_t* bits = image.GetBits();
    for (int32_t y = r.top; y <= r.bottom; ++y)
        row(bits + static_cast<ptrdiff_t>(y) * image.pitch + static_cast<ptrdiff_t>(r.left) * 4, r.right - r.left + 1);
}

} // namespace

bool TrackerBrush::GetStampTransform(QTransform& m, PointF p) const
{
    const float s = brushScale;
    m.setMatrix(s, 0.0, 0.0, 0.0, s, 0.0, -0.5f * stampSize.x * s + p.x, -0.5f * stampSize.y * s + p.y, 1.0);
    if (view)
        view->ViewToDocXform(m);
    const Document* document = GetDocument();
    if (document && document->viewMode == ViewModePaintLayer) {
        // That view shows the cropped content with the crop's top left at the document's origin.
        AppendTranslate(m, target->size.x * target->cropTopLeft.x, target->size.y * target->cropTopLeft.y);
        return true;
    }
    return target->BuildInverseXForm(m);
}

void TrackerBrush::GetCropGeometry(PointF& topLeft, PointF& bottomRight, PointF& centre, PointF& lastPoint,
                                   PointF& currentPoint) const
{
    const PointF z = target->size;
    const PointF tl = target->cropTopLeft;
    const PointF br = target->cropBottomRight;
    topLeft = {tl.x * z.x, tl.y * z.y};
    bottomRight = {br.x * z.x, br.y * z.y};
    centre = {((br.x - tl.x) * 0.5f + tl.x) * z.x, ((br.y - tl.y) * 0.5f + tl.y) * z.y};
    const PointF shift{z.x * tl.x, z.y * tl.y};
    const PointF from = ViewToDocPoint(last);
    const PointF to = ViewToDocPoint(current);
    lastPoint = {from.x + shift.x, from.y + shift.y};
    currentPoint = {to.x + shift.x, to.y + shift.y};
}

int32_t TrackerBrush::RayExitOnCropRect(PointF c, PointF p, PointF a, PointF b, PointF& exit)
{
    const float dx = p.x - c.x;
    const float dy = p.y - c.y;
    const float hx = std::fabs(a.x - c.x);
    const float hy = std::fabs(a.y - c.y);
    if (std::fabs(dy) / hy < std::fabs(dx) / hx) {
        if (p.x > c.x) {
            exit = {b.x, c.y + dy * (b.x - c.x) / dx};
            return EdgeRight;
        }
        exit = {a.x, c.y + dy * (a.x - c.x) / dx};
        return EdgeLeft;
    }
    if (p.y > c.y) {
        exit = {c.x + dx * (b.y - c.y) / dy, b.y};
        return EdgeBottom;
    }
    exit = {c.x + dx * (a.y - c.y) / dy, a.y};
    return EdgeTop;
}

void TrackerBrush::SaveAlpha(const Rect& r)
{
    if (Image* image = target ? target->GetImage() : nullptr)
        ForEachRow(*image, r, platform::pixels::CopyAlphaToRedRow);
}

void TrackerBrush::RestoreAlpha(const Rect& r)
{
    if (Image* image = target ? target->GetImage() : nullptr)
        ForEachRow(*image, r, platform::pixels::CopyRedToAlphaRow);
}

void TrackerBrush::ApplyStroke()
{
    Document* document = GetDocument();
    if (!document || !view || !target || !IsPaintTarget(*target))
        return;
    Image& image = *target->GetImage();
    const PointF v = current - last;
    const float count = std::ceil(std::sqrt(v.x * v.x + v.y * v.y) * StampsPerViewUnit);
    if (!(count >= 1.0f))
        return;  // no move, no stamp and no redraw
    const int32_t n = static_cast<int32_t>(std::min(count, static_cast<float>(MostStampsPerSegment)));
    const float share = 1.0f / static_cast<float>(n);
    const PointF step{v.x * share, v.y * share};
    const bool outline = document->step == StepOutlineFace;

    // The stamps at both ends bound the segment's pixels.
    const Rect stamp{0, 0, TruncateCoordinate(stampSize.x) - 1, TruncateCoordinate(stampSize.y) - 1};
    QTransform atLast;
    QTransform atCurrent;
    if (!GetStampTransform(atLast, last) || !GetStampTransform(atCurrent, current))
        return;  // a layer without an inverse has no pixels under the pointer
    Rect dirty = EmptyRect;
    TransformRectBounds(stamp, atLast, dirty, false);
    TransformRectBounds(stamp, atCurrent, dirty, false);

    // The crop rectangle in content pixels, kept on the picture: a project file may hold any crop.
    const PointF z = target->size;
    Rect crop{TruncateCoordinate(target->cropTopLeft.x * z.x), TruncateCoordinate(target->cropTopLeft.y * z.y),
              TruncateCoordinate(target->cropBottomRight.x * z.x) - 1,
              TruncateCoordinate(target->cropBottomRight.y * z.y) - 1};
    ClampRect(crop, Rect{0, 0, image.width - 1, image.height - 1});
    if (IsEmptyRect(crop))
        return;

    QPolygon polygon;
    if (outline) {
        PointF a, b, c, from, to;
        GetCropGeometry(a, b, c, from, to);
        // A point on the crop's centre gives the ray no direction: that segment cuts nothing away.
        if (from != c && to != c) {
            PointF x0, x1;
            const int32_t e0 = RayExitOnCropRect(c, from, a, b, x0);
            const int32_t e1 = RayExitOnCropRect(c, to, a, b, x1);
            GrowRectByPoint(dirty, x0);
            GrowRectByPoint(dirty, x1);
            polygon << TruncatedPoint(from) << TruncatedPoint(to) << TruncatedPoint(x1);
            if (const std::optional<PointF> corner = SharedCorner(e0, e1, a, b)) {
                GrowRectByPoint(dirty, *corner);
                polygon << TruncatedPoint(*corner);
            }
            polygon << TruncatedPoint(x0);
        }
    }
    if (IsEmptyRect(dirty))
        return;
    ClampRect(dirty, crop);
    target->AddDirty(dirty);
    SaveAlpha(dirty);

    {
        const ImageDC dc(image);
        if (dc) {
            const platform::DeviceContextSaver saver(*dc);
            const GraphicsMode mode(*dc);
            dc->SetClipRegion(QRegion(crop.left, crop.top, crop.right - crop.left + 1, crop.bottom - crop.top + 1));
            if (!polygon.isEmpty()) {
                // Between the segment and the crop's border, away from its centre, the mask becomes 0.
                dc->SetPen({platform::PenStyle::Solid, Qt::black});
                dc->SetBrush(QColor(Qt::black));
                dc->SetWorldTransform(QTransform());
                dc->SetPolygonFillMode(platform::PolygonFillMode::Winding);
                dc->Polygon(polygon);
            }
            ImageReference& picture = document->tool == ToolPaint ? paintStamp : eraseStamp;
            PointF p = last;
            for (int32_t i = 0; i < n && picture.width > 0 && picture.height > 0; ++i) {
                QTransform m;
                GetStampTransform(m, p);
                dc->SetWorldTransform(m);
                picture.Draw(ImageDrawAlphaBlend, *dc, 0, 0, 0, 0, picture.width, picture.height, OpaqueAlpha);
                p = {p.x + step.x, p.y + step.y};
            }
        }
    }
    // The red bytes, as the stamps and the polygon left them, are the new mask; the colours are drawn
    // again from the source and premultiplied by it.
    RestoreAlpha(dirty);
    const int32_t w = dirty.right - dirty.left + 1;
    const int32_t h = dirty.bottom - dirty.top + 1;
    const auto mask = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(w) * static_cast<size_t>(h));
    CopyAlphaToBuffer(w, mask.get(), w, image, 0, 0, dirty.left, dirty.top, h);
    if (auto* picture = dynamic_cast<LayerImage*>(target))
        picture->RedrawColor(dirty.left, dirty.top, w, h);
    image.ApplyMask(mask.get(), w, dirty.left, dirty.top, 0, 0, w, h);

    if (document->viewMode == ViewModeAllLayers && document->tool != ToolMagicErase) {
        // The document pixels the changed content pixels reach, a pixel more for smooth sampling.
        Rect r{dirty.left - 1, dirty.top - 1, dirty.right + 1, dirty.bottom + 1};
        target->ForwardBounds(r);
        document->UpdateAllViews(nullptr, HintRedrawRect, &r);
    } else {
        document->UpdateAllViews(nullptr, HintRedraw);
    }
}
