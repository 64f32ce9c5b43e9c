#include "engine/view/TrackerBrush.h"

#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"
#include "engine/document/ToolId.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Image.h"
#include "engine/layers/Layer.h"
#include "engine/view/DocumentView.h"
#include "engine/view/SharedCursors.h"
#include "platform/PathJoin.h"

#include <algorithm>
#include <cmath>

namespace {

QString ProgramFile(const QString& name)
{
    return platform::JoinPath(g_paths ? g_paths->resourceFolder : QString(), name);
}

} // namespace

void GrowRectByPoint(Rect& r, PointF p)
{
    if (!std::isfinite(p.x) || !std::isfinite(p.y))
        return;
    constexpr float limit = 0x3FFFFFFF;
    const auto floorOf = [&](float v) { return static_cast<int32_t>(std::clamp(std::floor(v), -limit, limit)); };
    const auto ceilOf = [&](float v) { return static_cast<int32_t>(std::clamp(std::ceil(v), -limit, limit)); };
    r.left = std::min(r.left, floorOf(p.x));
    r.right = std::max(r.right, ceilOf(p.x));
    r.top = std::min(r.top, floorOf(p.y));
    r.bottom = std::max(r.bottom, ceilOf(p.y));
}

TrackerBrush::TrackerBrush(DocumentView* view) : Tracker(view)
{
    paintStamp.Load(ProgramFile(QStringLiteral("paint.bki")), false);
    stampSize = {static_cast<float>(paintStamp.width), static_cast<float>(paintStamp.height)};
    eraseStamp.Load(ProgramFile(QStringLiteral("erase.bki")), false);
}

TrackerBrush::~TrackerBrush() = default;

bool TrackerBrush::IsPaintTarget(Layer& layer)
{
    Image* image = layer.GetImage();
    return (layer.flags & LayerFlagPaint) && image && image->bitsPerPixel == 32 && layer.GetSourceImage();
}

bool TrackerBrush::SetCursor(PointF viewPoint)
{
    Document* document = GetDocument();
    if (!document || !g_cursors || !view)
        return false;
    const int32_t tool = document->tool;
    if (tool != ToolPaint && tool != ToolErase && tool != ToolOutline && tool != ToolMagicErase)
        return false;
    const PointF d = ViewToDocPoint(viewPoint);
    if (tool == ToolMagicErase) {
        for (Node* node = document->layers.next; node != &document->layers; node = node->next) {
            auto* layer = static_cast<Layer*>(node);
            if (IsPaintTarget(*layer) && layer->HitTest(d)) {
                view->setCursor(g_cursors->m_eraseCursor);
                return true;
            }
        }
        return false;
    }
    const Layer* selected = document->GetSelectedLayer();
    if (!selected || !selected->HitTest(d))
        return false;
    view->setCursor(tool == ToolPaint ? g_cursors->m_paintCursor : g_cursors->m_eraseCursor);
    return true;
}

void TrackerBrush::OnErase(platform::DeviceContext&, PointF) {}

void TrackerBrush::OnDraw(platform::DeviceContext&, PointF)
{
    ApplySegment();
}

void TrackerBrush::ApplySegment()
{
    if (target) {
        ApplyStroke();
        return;
    }
    Document* document = GetDocument();
    if (!document)
        return;
    for (Node* node = document->layers.next; node != &document->layers; node = node->next) {
        target = static_cast<Layer*>(node);
        if (IsPaintTarget(*target))
            ApplyStroke();
    }
    target = nullptr;
}

float TrackerBrush::StampReach() const
{
    return std::min(stampSize.x, stampSize.y) * brushScale;
}

void TrackerBrush::CloseOutline()
{
    const Document* document = GetDocument();
    if (!document || document->step != StepOutlineFace || tracking == 0)
        return;
    const PointF gap = anchor - last;
    const float distance = std::sqrt(gap.x * gap.x + gap.y * gap.y);
    if (distance == 0.0f || distance > StampReach())
        return;
    current = anchor;
    ApplySegment();
    last = current;
}

void TrackerBrush::OnEndTrack()
{
    CloseOutline();
    target = nullptr;
    if (Document* document = GetDocument())
        document->UpdateAllViews(nullptr, HintRedraw);
}
