#include "engine/view/TrackerBrush.h"

#include "engine/document/Document.h"
#include "engine/document/ToolId.h"
#include "engine/document/UpdateHint.h"
#include "engine/layers/Layer.h"
#include "engine/view/DocumentView.h"
#include "engine/view/SharedCursors.h"

TrackerBrush::TrackerBrush(DocumentView* view) : Tracker(view) {}

TrackerBrush::~TrackerBrush() = default;

bool TrackerBrush::SetCursor(PointF viewPoint)
{
    const Document* document = GetDocument();
    if (!document || !g_cursors || !view)
        return false;
    const int32_t tool = document->tool;
    if (tool != ToolPaint && tool != ToolErase && tool != ToolOutline && tool != ToolMagicErase)
        return false;
    const PointF d = ViewToDocPoint(viewPoint);
    if (tool == ToolMagicErase) {
        for (const Node* node = document->layers.next; node != &document->layers; node = node->next) {
            const auto* layer = static_cast<const Layer*>(node);
            if ((layer->flags & LayerFlagPaint) && layer->HitTest(d)) {
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

void TrackerBrush::OnEndTrack()
{
    target = nullptr;
    if (Document* document = GetDocument())
        document->UpdateAllViews(nullptr, HintRedraw);
}
