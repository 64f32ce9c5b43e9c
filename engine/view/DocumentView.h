#pragma once

#include "engine/document/EditingViewLink.h"
#include "engine/layers/PointF.h"
#include "engine/view/ViewSurface.h"
#include "platform/DocumentObserver.h"
#include "platform/Rect.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

class Document;
class TrackerBrush;
class TrackerRect;
class QTransform;
namespace platform {
class DeviceContext;
}

// The editing canvas: the composition scaled to fit the client area and centred, drawn from the
// document's render buffer when an update hint arrives, and the left-button clicks that paint, erase,
// drag the selected layer's frame or select a layer, each change journalled. The pixels live on a
// retained surface (ViewSurface) that the paint event copies to the screen.
class DocumentView final : public QWidget, public DocumentObserver, public EditingViewLink {
public:
    explicit DocumentView(Document* document, QWidget* parent = nullptr);
    ~DocumentView() override;

    Document* GetDocument() const { return m_document; }

    // The client rectangle's right - left + 1 and bottom - top + 1: one more than the widget's size.
    int32_t GetClientWidth() const;
    int32_t GetClientHeight() const;
    // In place: a view point to the document.
    void ViewToDoc(PointF& point) const;
    // Append the view-to-document or document-to-view mapping to m.
    void ViewToDocXform(QTransform& m) const;
    void DocToViewXform(QTransform& m) const;
    // Puts the mouse cursor on a document point and runs the frame drag from there (the drag commands).
    bool TrackFromDocPoint(PointF docPoint) override;
    // 16, 32 or 48: the brush's scale and the current brush cursors; any other size changes nothing.
    void SetBrushSize(int32_t size) override;
    // SetBrushSize on the document's editing view, when it has one: what the main window's
    // ShellLink::SetViewBrushSize calls.
    static void SetViewBrushSize(Document* document, int32_t size);
    // The index of the front-most movable layer under a view point, -1 for none.
    int32_t LayerAtPoint(PointF viewPoint) const;
    // Runs the frame drag and journals its result; false when no drag took place.
    bool TrackRect(PointF viewPoint);
    static bool PointsDiffer(PointF a, PointF b);

    // The framework's entries.
    void OnUpdate(DocumentObserver* sender, int32_t hint, const Rect* rect) override;
    DocumentView* AsDocumentView() override { return this; }
    EditingViewLink* AsEditingView() override { return this; }
    void OnInitialUpdate();
    void OnDraw(platform::DeviceContext& dc);
    bool OnEraseBkgnd();
    void OnLButtonDown(PointF point);
    void OnLButtonDblClk(PointF point);
    void OnKeyDownUp(int key);
    bool OnSetCursor(PointF point);
    // Chooses the cursor again for where the pointer is now: after a click or drag has changed what lies
    // under it, or Ctrl changed what a drag would do. The default cursor where the view has none.
    void ChooseCursorAgain();
    void RecalcLayout();

    // The retained surface's context (ViewDC is the scoped form), and what a drawer changed on it.
    platform::DeviceContext& AcquireDC();
    void ReleaseDC();
    void SurfaceChanged(const QRect& viewRect);
    const QImage& SurfacePixels() const { return m_surface.Image(); }

    // Opens the Edit Text dialog for the selected bubble; set by whoever owns the dialog.
    std::function<void()> editText;

    Rect dirtyRect{0, 0, 0, 0};    // document pixels the next paint composes again (inclusive)
    PointF docHalfSize{0, 0};
    PointF clientHalfSize{0, 0};
    float scale = 0.0f;            // view pixels per document pixel
    int32_t pendingHint = 0;       // 0: repaint all; 1: only dirtyRect
    std::unique_ptr<TrackerRect> rectTracker;
    std::unique_ptr<TrackerBrush> brushTracker;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // Asks for a paint of everything, or of the view rectangle of dirtyRect.
    void RequestPaint(bool full);
    // The view rectangle that covers a document rectangle.
    QRect ViewRectOf(const Rect& docRect) const;
    bool BrushClick(PointF point, PointF docPoint);
    bool MagicEraseClick(PointF point, PointF docPoint);
    void JournalFrameDrag(int32_t code);

    Document* m_document;
    ViewSurface m_surface;
    bool m_drawPending = true;   // the surface waits for OnDraw
    bool m_erasePending = true;
    bool m_painting = false;
};
