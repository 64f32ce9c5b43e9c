#include "engine/view/DocumentView.h"

#include "engine/document/Document.h"
#include "engine/document/GraphicsMode.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/layers/ImageHelpers.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerGeometry.h"
#include "engine/view/FrameGeometry.h"
#include "engine/view/SharedCursors.h"
#include "engine/view/TrackerBrush.h"
#include "engine/view/TrackerRect.h"
#include "engine/view/ViewDC.h"
#include "platform/DeviceContext.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace {

constexpr uint8_t OpaqueAlpha = 255;
// The frame is drawn from the wizard state after this one on.
constexpr int32_t LastStepWithoutFrame = 4;

Rect United(const Rect& a, const Rect& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

} // namespace

DocumentView::DocumentView(Document* document, QWidget* parent)
    : QWidget(parent),
      rectTracker(std::make_unique<TrackerRect>(this)),
      brushTracker(std::make_unique<TrackerBrush>(this)),
      m_document(document)
{
    // Every pixel comes from the surface: Qt need not clear the widget first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    // The cursor is chosen again at every move over the view, buttons up or not.
    setMouseTracking(true);
    if (m_document)
        m_document->AddView(this);
}

DocumentView::~DocumentView()
{
    if (m_document)
        m_document->RemoveView(this);
}

int32_t DocumentView::GetClientWidth() const
{
    return width() + 1;
}

int32_t DocumentView::GetClientHeight() const
{
    return height() + 1;
}

void DocumentView::ViewToDoc(PointF& point) const
{
    const float r = 1.0f / scale;
    point.x = (point.x - clientHalfSize.x) * r + docHalfSize.x;
    point.y = (point.y - clientHalfSize.y) * r + docHalfSize.y;
}

void DocumentView::ViewToDocXform(QTransform& m) const
{
    AppendTranslate(m, -clientHalfSize.x, -clientHalfSize.y);
    const float r = 1.0f / scale;
    AppendScale(m, r, r);
    AppendTranslate(m, docHalfSize.x, docHalfSize.y);
}

void DocumentView::DocToViewXform(QTransform& m) const
{
    AppendTranslate(m, -docHalfSize.x, -docHalfSize.y);
    AppendScale(m, scale, scale);
    AppendTranslate(m, clientHalfSize.x, clientHalfSize.y);
}

bool DocumentView::PointsDiffer(PointF a, PointF b)
{
    return a.x != b.x || a.y != b.y;
}

void DocumentView::SetBrushSize(int32_t size)
{
    size_t entry = 0;
    float brushScale = 0.0f;
    switch (size) {
    case 16:
        entry = 0;
        brushScale = 0.125f;
        break;
    case 32:
        entry = 1;
        brushScale = 0.25f;
        break;
    case 48:
        entry = 2;
        brushScale = 0.375f;
        break;
    default:
        return;
    }
    brushTracker->brushScale = brushScale;
    if (g_cursors) {
        g_cursors->m_paintCursor = g_cursors->m_paintCursors[entry];
        g_cursors->m_eraseCursor = g_cursors->m_eraseCursors[entry];
    }
}

void DocumentView::SetViewBrushSize(Document* document, int32_t size)
{
    if (DocumentView* view = document ? document->GetView() : nullptr)
        view->SetBrushSize(size);
}

void DocumentView::RecalcLayout()
{
    if (!m_document)
        return;
    const int32_t workWidth = m_document->GetWorkWidth();
    const int32_t workHeight = m_document->GetWorkHeight();
    docHalfSize = {static_cast<float>(workWidth), static_cast<float>(workHeight)};
    if (workWidth == 0 || workHeight == 0)
        return;
    clientHalfSize = {static_cast<float>(GetClientWidth()), static_cast<float>(GetClientHeight())};
    const float byHeight = clientHalfSize.y / docHalfSize.y;
    const float byWidth = clientHalfSize.x / docHalfSize.x;
    scale = byHeight <= byWidth ? byHeight : byWidth;
    docHalfSize = {docHalfSize.x / 2, docHalfSize.y / 2};
    clientHalfSize = {clientHalfSize.x / 2, clientHalfSize.y / 2};
}

void DocumentView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void DocumentView::OnUpdate(DocumentObserver*, int32_t hint, const Rect* rect)
{
    const int32_t h = hint >= HintRedraw ? hint - HintRedraw : hint;
    // A rectangle never takes the place of a whole repaint still to come, and two rectangles still to
    // be painted are painted together.
    if (h == 0 || !rect)
        pendingHint = 0;
    else if (!m_drawPending) {
        pendingHint = 1;
        dirtyRect = *rect;
    } else if (pendingHint != 0) {
        dirtyRect = United(dirtyRect, *rect);
    }
    m_drawPending = true;
    m_erasePending = true;
    RecalcLayout();
    RequestPaint(pendingHint == 0);
}

QRect DocumentView::ViewRectOf(const Rect& r) const
{
    QTransform m;
    DocToViewXform(m);
    Rect bounds;
    TransformRectBounds(Rect{r.left, r.top, r.right + 1, r.bottom + 1}, m, bounds, true);
    if (IsEmptyRect(bounds))
        return {};
    // Smooth sampling reaches one pixel beyond the block.
    return QRect(QPoint(bounds.left, bounds.top), QPoint(bounds.right, bounds.bottom)).adjusted(-1, -1, 1, 1);
}

void DocumentView::RequestPaint(bool full)
{
    if (m_painting)
        return;
    if (full)
        update();
    else
        update(ViewRectOf(dirtyRect));
}

bool DocumentView::OnEraseBkgnd()
{
    RecalcLayout();
    return true;  // never erased: the paint fills the margins itself
}

void DocumentView::OnDraw(platform::DeviceContext& dc)
{
    if (!m_document)
        return;
    QTransform m;
    DocToViewXform(m);
    const bool full = pendingHint == 0;
    if (full) {
        dirtyRect = {0, 0, TruncateCoordinate(2 * docHalfSize.x) - 1, TruncateCoordinate(2 * docHalfSize.y) - 1};
        // The margins around a composition that does not reach the client's edges (right and bottom
        // exclusive).
        const int32_t w = GetClientWidth();
        const int32_t h = GetClientHeight();
        const auto ox = static_cast<float>(m.dx());
        const auto oy = static_cast<float>(m.dy());
        if (ox != 0.0f) {
            const int32_t a = TruncateCoordinate(std::floor(ox));
            FillRectWithBkColor(0, 0, a + 1, h, dc);
            FillRectWithBkColor(w - a - 1, 0, w, h, dc);
        }
        if (oy != 0.0f) {
            const int32_t b = TruncateCoordinate(std::floor(oy));
            FillRectWithBkColor(0, 0, w, b + 1, dc);
            FillRectWithBkColor(0, h - b - 1, w, h, dc);
        }
    }
    const int32_t w = dirtyRect.right - dirtyRect.left + 1;
    const int32_t h = dirtyRect.bottom - dirtyRect.top + 1;
    if ((w != 0 || h != 0) && m_document->RenderRegion(dirtyRect)) {
        const GraphicsMode mode(dc);
        dc.SetWorldTransform(m);
        m_document->renderBuffer->Draw(ImageDrawCopy, dc, dirtyRect.left, dirtyRect.top, dirtyRect.left,
                                       dirtyRect.top, w, h, OpaqueAlpha);
    }
    if (full && m_document->selectedIndex >= 0 && m_document->step > LastStepWithoutFrame &&
        m_document->viewMode != ViewModePaintLayer)
        rectTracker->DrawFrame(dc, true);
    pendingHint = 0;
}

platform::DeviceContext& DocumentView::AcquireDC()
{
    if (m_surface.Acquire(size())) {
        // A new surface holds nothing of the composition yet.
        pendingHint = 0;
        m_drawPending = true;
        RequestPaint(true);
    }
    return m_surface.DC();
}

void DocumentView::ReleaseDC()
{
    m_surface.Release();
}

void DocumentView::SurfaceChanged(const QRect& viewRect)
{
    if (!m_painting)
        update(viewRect);
}

void DocumentView::paintEvent(QPaintEvent* event)
{
    m_painting = true;
    {
        const ViewDC dc(*this);
        if (m_drawPending) {
            if (m_erasePending)
                OnEraseBkgnd();
            m_drawPending = false;
            m_erasePending = false;
            OnDraw(*dc);
        }
    }
    m_painting = false;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(event->rect(), m_surface.Image(), event->rect());
}

void DocumentView::resizeEvent(QResizeEvent*)
{
    RecalcLayout();
    pendingHint = 0;
    m_drawPending = true;
    m_erasePending = true;
    update();
}
