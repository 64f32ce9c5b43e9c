#include "engine/view/DocumentView.h"

#include "engine/document/Document.h"
#include "engine/document/ToolId.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "engine/view/CursorClientPos.h"
#include "engine/view/MagicEraseJournal.h"
#include "engine/view/SharedCursors.h"
#include "engine/view/TrackerBrush.h"
#include "engine/view/TrackerRect.h"
#include "engine/view/ViewDC.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <cmath>
#include <limits>

namespace {

// Clicks, double clicks and cursors act from the wizard's first placing state on.
constexpr int32_t FirstEditingStep = StepFirstEntry;

bool IsBrushTool(int32_t tool)
{
    return tool == ToolPaint || tool == ToolErase || tool == ToolOutline;
}

// A pointer position in whole view pixels: the pixel the click fell in.
PointF ClickPoint(const QMouseEvent& event)
{
    return {static_cast<float>(std::floor(event.position().x())), static_cast<float>(std::floor(event.position().y()))};
}

bool IsFinite(PointF v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// A pair changed when either component differs from 0; a difference that is not finite is no change
// that could be recorded (it could never be undone).
bool Changed(PointF v)
{
    return (v.x != 0.0f || v.y != 0.0f) && IsFinite(v);
}

// A float coordinate floored into the range of a screen position.
int FloorCoordinate(float value)
{
    constexpr float limit = 1.0e9f;
    return static_cast<int>(std::floor(std::clamp(value, -limit, limit)));
}

} // namespace

int32_t DocumentView::LayerAtPoint(PointF viewPoint) const
{
    if (!m_document)
        return -1;
    PointF p = viewPoint;
    ViewToDoc(p);
    const LayerList& layers = m_document->layers;
    int32_t index = layers.GetCount() - 1;
    for (const Node* node = layers.prev; node != &layers; node = node->prev, --index) {
        const auto* layer = static_cast<const Layer*>(node);
        if ((layer->flags & LayerFlagMove) && layer->HitTest(p))
            return index;
    }
    return -1;
}

void DocumentView::OnLButtonDown(PointF point)
{
    if (!m_document || m_document->step < FirstEditingStep)
        return;
    PointF p = point;
    ViewToDoc(p);
    const int32_t tool = m_document->tool;
    if (m_document->layers.GetAt(m_document->selectedIndex)) {
        if (IsBrushTool(tool)) {
            if (BrushClick(point, p))
                return;
        } else if (tool != ToolMagicErase) {
            if (TrackRect(point))
                return;
        }
    }
    if (tool == ToolMagicErase && MagicEraseClick(point, p))
        return;
    const int32_t index = LayerAtPoint(point);
    if (index >= 0 && index != m_document->selectedIndex && m_document->CanSelectLayer(index))
        m_document->journal.AddSelectLayer(index);
}

bool DocumentView::BrushClick(PointF point, PointF docPoint)
{
    Layer* selected = m_document->GetSelectedLayer();
    if (!selected->HitTest(docPoint))
        return false;
    selected->BeginEdit();
    brushTracker->target = selected;
    int32_t result = 0;
    {
        const ViewDC dc(*this);
        result = brushTracker->Track(*dc, point, true);
    }
    selected->EndEdit(m_document->journal, m_document->selectedIndex);
    return result != 0;
}

bool DocumentView::MagicEraseClick(PointF point, PointF docPoint)
{
    LayerList& layers = m_document->layers;
    // A layer whose content failed to load has nothing to erase: it is no target.
    const auto paintable = [](Layer* layer) { return TrackerBrush::IsPaintTarget(*layer); };
    bool hit = false;
    for (Node* node = layers.next; node != &layers && !hit; node = node->next) {
        auto* layer = static_cast<Layer*>(node);
        hit = paintable(layer) && layer->HitTest(docPoint);
    }
    if (!hit)
        return false;
    for (Node* node = layers.next; node != &layers; node = node->next) {
        if (auto* layer = static_cast<Layer*>(node); paintable(layer))
            layer->BeginEdit();
    }
    brushTracker->target = nullptr;
    int32_t result = 0;
    {
        const ViewDC dc(*this);
        result = brushTracker->Track(*dc, point, true);
    }
    // One undo group holding a record for each layer the stroke changed, and nothing at all when it
    // changed none.
    MagicEraseJournal group(m_document->journal);
    int32_t index = 0;
    for (Node* node = layers.next; node != &layers; node = node->next, ++index) {
        if (auto* layer = static_cast<Layer*>(node); paintable(layer))
            layer->EndEdit(group, index);
    }
    group.Close();
    return result != 0;
}

bool DocumentView::TrackRect(PointF viewPoint)
{
    int32_t code = 0;
    {
        const ViewDC dc(*this);
        code = rectTracker->Track(*dc, viewPoint, false);
    }
    if (code == HandleNone)
        return false;
    JournalFrameDrag(code);
    return true;
}

void DocumentView::JournalFrameDrag(int32_t code)
{
    LayerInfo d;
    rectTracker->ApplyOffset(code, d);
    Journal& journal = m_document->journal;
    const bool crop = m_document->tool == ToolCrop;
    bool appended = false;
    const auto cropRecord = [&] {
        if ((Changed(d.cropTopLeft) || Changed(d.cropBottomRight)) && IsFinite(d.cropTopLeft) &&
            IsFinite(d.cropBottomRight) && IsFinite(d.position))
            appended = journal.AddCrop(d.cropTopLeft.x, d.cropTopLeft.y, d.cropBottomRight.x, d.cropBottomRight.y,
                                       d.position.x, d.position.y);
    };
    switch (code) {
    case HandleMove:
        if (crop)
            cropRecord();
        else if (Changed(d.position))
            appended = journal.AddMove(d.position.x, d.position.y);
        break;
    case HandleRotate:
        if (d.angle != 0)
            appended = journal.AddRotate(d.angle);
        break;
    case HandleScale:
        if (Changed(d.scale))
            appended = journal.AddScale(d.scale.x, d.scale.y);
        break;
    default:
        if (crop) {
            cropRecord();
        } else if (Changed(d.scale) && Changed(d.position)) {
            // Scale before move, as one undo step.
            if (journal.AddMark()) {
                appended = journal.AddScale(d.scale.x, d.scale.y);
                appended = journal.AddMove(d.position.x, d.position.y) || appended;
                journal.AddMark();
            }
        } else if (Changed(d.scale)) {
            appended = journal.AddScale(d.scale.x, d.scale.y);
        } else if (Changed(d.position)) {
            appended = journal.AddMove(d.position.x, d.position.y);
        }
        break;
    }
    if (appended)
        m_document->UpdateAllViews(nullptr, HintRedraw);
}

bool DocumentView::TrackFromDocPoint(PointF docPoint)
{
    const PointF v{(docPoint.x - docHalfSize.x) * scale + clientHalfSize.x,
                   (docPoint.y - docHalfSize.y) * scale + clientHalfSize.y};
    if (!std::isfinite(v.x) || !std::isfinite(v.y))
        return false;
    const QPoint at(FloorCoordinate(v.x), FloorCoordinate(v.y));
    // Where the window system lets a program move the pointer; elsewhere the drag still starts from there.
    QCursor::setPos(screen(), mapToGlobal(at));
    rectTracker->SetCursor(v);
    const bool tracked = TrackRect({static_cast<float>(at.x()), static_cast<float>(at.y())});
    ChooseCursorAgain();
    return tracked;
}

void DocumentView::OnLButtonDblClk(PointF point)
{
    if (!m_document || m_document->step < FirstEditingStep)
        return;
    const Layer* selected = m_document->GetSelectedLayer();
    PointF p = point;
    ViewToDoc(p);
    if (selected && (selected->flags & LayerFlagText) && selected->HitTest(p) && editText)
        editText();
}

bool DocumentView::OnSetCursor(PointF p)
{
    if (!m_document || m_document->step < FirstEditingStep)
        return false;
    if (brushTracker->SetCursor(p) || rectTracker->SetCursor(p))
        return true;
    const int32_t tool = m_document->tool;
    if (tool == ToolPaint || tool == ToolErase || tool == ToolMagicErase || !g_cursors)
        return false;
    const int32_t index = LayerAtPoint(p);
    if (index < 0 || index == m_document->selectedIndex || !m_document->CanSelectLayer(index))
        return false;
    setCursor(g_cursors->m_crossCursor);
    return true;
}

void DocumentView::ChooseCursorAgain()
{
    if (!OnSetCursor(GetCursorClientPos(*this)))
        unsetCursor();
}

void DocumentView::OnKeyDownUp(int key)
{
    // Ctrl pressed or let go: the cursor is chosen again where the pointer is.
    if (key == Qt::Key_Control)
        ChooseCursorAgain();
}

void DocumentView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    OnLButtonDown(ClickPoint(*event));
    // A drag ran to its end inside, or the click selected another layer: the pointer may now be over
    // another handle, or over nothing, without having moved.
    ChooseCursorAgain();
}

void DocumentView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Not passed on as a second press, as QWidget would do.
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(ClickPoint(*event));
}

void DocumentView::mouseMoveEvent(QMouseEvent* event)
{
    if (!OnSetCursor(ClickPoint(*event)))
        unsetCursor();
}

void DocumentView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Control)
        OnKeyDownUp(event->key());
    QWidget::keyPressEvent(event);
}

void DocumentView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Control)
        OnKeyDownUp(event->key());
    QWidget::keyReleaseEvent(event);
}
