#include "support/BenchComposition.h"
#include "support/BenchPictures.h"

#include "engine/document/ToolId.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/Layer.h"
#include "engine/layers/LayerGeometry.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerText.h"
#include "engine/layers/DrawMode.h"
#include "platform/DeviceContext.h"
#include "engine/view/DocumentView.h"
#include "engine/view/TrackerBrush.h"
#include "engine/view/TrackerRect.h"
#include "engine/document/UpdateHint.h"
#include "engine/view/ViewDC.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTransform>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

// 64 x 64 regions of the work area: one far from the bubbles, one over the first bubble's text.
constexpr Rect AwayFromBubbles{480, 280, 543, 343};
constexpr Rect OverBubble{268, 588, 331, 651};

// The region's bytes of the render buffer.
QByteArray RegionBytes(Document& document, const Rect& r)
{
    const QImage& picture = *static_cast<ImageReference*>(document.renderBuffer.get())->Picture();
    QByteArray bytes;
    for (int y = r.top; y <= r.bottom; ++y)
        bytes.append(reinterpret_cast<const char*>(picture.constScanLine(y)) + r.left * 3, (r.right - r.left + 1) * 3);
    return bytes;
}

// What a region's pixels are checked against before timing: the same region of a render of the whole
// work area, or the same region of the composition without its bubbles.
enum class Reference { WholeRender, NoBubbles };

// A region composed again, as the editing view does for a brush stroke's rectangle.
void RenderRegion(benchmark::State& state, bool withBubbles, const Rect& region, Reference reference)
{
    QByteArray expected;
    if (reference == Reference::NoBubbles) {
        Composition plain(false);
        plain.GetDocument().RenderRegion(region);
        expected = RegionBytes(plain.GetDocument(), region);
    }
    Composition composition(withBubbles);
    Document& document = composition.GetDocument();
    document.RenderRegion({0, 0, BenchWidth - 1, BenchHeight - 1});
    if (reference == Reference::WholeRender)
        expected = RegionBytes(document, region);
    document.RenderRegion(region);
    if (RegionBytes(document, region) != expected) {
        state.SkipWithError("the region's pixels differ from the reference");
        return;
    }
    for (auto _ : state) {
        document.RenderRegion(region);
        benchmark::DoNotOptimize(document.renderBuffer->GetBits());
    }
}

// (a) Bubbles elsewhere cost nothing and change no pixel: with and without them the same.
void BM_DirtyRegionAwayFromBubbles(benchmark::State& state)
{
    RenderRegion(state, state.range(0) != 0, AwayFromBubbles, Reference::NoBubbles);
}
BENCHMARK(BM_DirtyRegionAwayFromBubbles)->ArgName("bubbles")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// (b) The region over a bubble: the bubble played and its text drawn, against the same region with
// the bubbles left out.
void BM_DirtyRegionOverBubble(benchmark::State& state)
{
    RenderRegion(state, state.range(0) != 0, OverBubble, Reference::WholeRender);
}
BENCHMARK(BM_DirtyRegionOverBubble)->ArgName("bubbles")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// (b) in parts: the first bubble's text alone, clipped to the region, drawn from its kept layout (as the
// layer draws it) or laid out again at every draw (as it was drawn before); and its metafile alone.
class BubbleInRegion {
public:
    BubbleInRegion() : m_target(BenchWidth, BenchHeight, QImage::Format_BGR888), m_dc(m_target)
    {
        m_bubble = static_cast<LayerText*>(m_composition.GetDocument().layers.GetAt(6));
        QTransform m;
        AppendTranslate(m, -m_bubble->centre.x, -m_bubble->centre.y);
        AppendScale(m, m_bubble->scale.x, m_bubble->scale.y);
        RotateXForm(m, m_bubble->angle);
        AppendTranslate(m, m_bubble->position.x, m_bubble->position.y);
        m_dc.SetGraphicsMode(platform::GraphicsModeKind::Advanced);
        m_dc.SetWorldTransform(m);
        m_dc.SetClipRegion(QRegion(OverBubble.left, OverBubble.top, 64, 64));
        m_bubble->FitFont(m_dc);
    }
    LayerText& Bubble() { return *m_bubble; }
    platform::DeviceContext& DC() { return m_dc; }

private:
    Composition m_composition;
    QImage m_target;
    platform::DeviceContext m_dc;
    LayerText* m_bubble = nullptr;
};

void BM_BubbleTextInRegion(benchmark::State& state)
{
    BubbleInRegion scene;
    LayerText& bubble = scene.Bubble();
    platform::DeviceContext& dc = scene.DC();
    const bool kept = state.range(0) != 0;
    dc.SetFont(*bubble.GetFont());
    dc.SetBackgroundMode(platform::BackgroundMode::Transparent);
    const uint32_t format = platform::TextFormat::Centre | platform::TextFormat::WordBreak |
                            platform::TextFormat::EditControl;
    for (auto _ : state) {
        if (kept) {
            bubble.DrawText(0, dc);
        } else {
            Rect r = bubble.GetTextRect();
            dc.DrawText(bubble.GetText(), r, format);
        }
    }
}
BENCHMARK(BM_BubbleTextInRegion)->ArgName("kept")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_BubbleMetafileInRegion(benchmark::State& state)
{
    BubbleInRegion scene;
    LayerText& bubble = scene.Bubble();
    const Rect nowhere{-10, -10, -5, -5};  // not the All Layers view: drawn whatever the region
    bubble.SetText(QString());
    for (auto _ : state) {
        bubble.Draw(scene.DC(), nowhere, nowhere, ViewModeCropLayer);
    }
}
BENCHMARK(BM_BubbleMetafileInRegion)->Unit(benchmark::kMicrosecond)->UseRealTime();

// (c) One pointer move of a frame drag on the selected face: the old XOR frame erased, the new one
// drawn, and the view's changed pixels painted to its window.
class FrameDrag {
public:
    FrameDrag() : m_view(&m_composition.GetDocument())
    {
        Document& document = m_composition.GetDocument();
        document.selectedIndex = 1;
        document.tool = ToolMoveResize;
        m_view.resize(BenchWidth, BenchHeight);
        m_view.show();
        m_view.OnInitialUpdate();
        QApplication::processEvents();
        QTransform m;
        m_view.DocToViewXform(m);
        const PointF pivot = document.layers.GetAt(1)->position;
        anchor = {static_cast<float>(pivot.x * m.m11() + m.dx()), static_cast<float>(pivot.y * m.m22() + m.dy())};
    }
    DocumentView& View() { return m_view; }
    // Paints what the drag changed, as the window system's next paint would.
    void Flush() { QCoreApplication::sendPostedEvents(&m_view, QEvent::UpdateRequest); }

    PointF anchor;

private:
    Composition m_composition;
    DocumentView m_view;
};

TrackMessage PointerAt(PointF p)
{
    TrackMessage m;
    m.point = p;
    return m;
}

void BM_FrameDragPointerMove(benchmark::State& state)
{
    FrameDrag drag;
    TrackerRect& tracker = *drag.View().rectTracker;
    const ViewDC dc(drag.View());
    if (!tracker.BeginTrack(*dc, drag.anchor) || tracker.tracking != HandleMove) {
        state.SkipWithError("the drag did not start on the face");
        return;
    }
    float x = 0.0f;
    for (auto _ : state) {
        x = x == 10.0f ? 11.0f : 10.0f;
        tracker.HandleMessage(*dc, PointerAt({drag.anchor.x + x, drag.anchor.y + 5.0f}));
        drag.Flush();
    }
    tracker.EndTrack();
}
BENCHMARK(BM_FrameDragPointerMove)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same frame drawn with bare QPainter calls: the old outline and the new one XORed onto a
// 1024 x 768 picture with a dotted pen, and their bounds copied to a second picture (the window).
void BM_FrameDragPointerMoveBareQPainter(benchmark::State& state)
{
    FrameDrag drag;
    TrackerRect& tracker = *drag.View().rectTracker;
    tracker.LoadCurrentLayer();
    tracker.ComputeFrame();
    const auto at = [](PointF p) { return QPointF(p.x, p.y); };
    const QPolygonF frame{at(tracker.topLeft), at(tracker.topRight), at(tracker.bottomRight), at(tracker.bottomLeft),
                          at(tracker.topLeft)};
    QImage surface(BenchWidth, BenchHeight, QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::gray);
    QImage window(surface.size(), surface.format());
    QPen pen(Qt::white, 0, Qt::DotLine);
    float x = 0.0f;
    for (auto _ : state) {
        const float previous = x;
        x = x == 10.0f ? 11.0f : 10.0f;
        QPainter painter(&surface);
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(pen);
        painter.drawPolyline(frame.translated(previous, 5.0f));
        painter.drawPolyline(frame.translated(x, 5.0f));
        painter.end();
        const QRect bounds = frame.boundingRect().toAlignedRect().adjusted(0, 0, 12, 6);
        QPainter blit(&window);
        blit.setCompositionMode(QPainter::CompositionMode_Source);
        blit.drawImage(bounds, surface, bounds);
        blit.end();
        benchmark::DoNotOptimize(window.constBits());
    }
}
BENCHMARK(BM_FrameDragPointerMoveBareQPainter)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

namespace {

// (d) One pointer move of a paint stroke with the 32-pixel brush on a 1024 x 768 face in the 8-layer
// composition: stamps, mask, colours redrawn in the dirty rectangle, the rectangle composed again and
// painted to the window.
class BrushStroke {
public:
    BrushStroke()
    {
        // The program's own stamps, from the program folder the build makes.
        const QString program = g_paths->resourceFolder;
        QDir().mkpath(program);
        for (const char* name : {"paint.bki", "erase.bki"})
            QFile::copy(QStringLiteral(SMG_BENCH_PROGRAM_DIR "/") + name, program + QLatin1Char('/') + name);
        Document& document = m_composition.GetDocument();
        auto face = StoredPictureLayer(SmoothPicture(BenchWidth, BenchHeight, true, 9), LayerFlagsFace);
        face->position = {512.0f, 384.0f};
        face->scale = {0.6f, 0.6f};
        face->angle = 2000;
        m_face = face.get();
        face.release()->LinkBefore(&document.layers);
        document.selectedIndex = document.layers.GetCount() - 1;
        document.tool = ToolPaint;
        m_view = std::make_unique<DocumentView>(&document);
        m_view->resize(BenchWidth, BenchHeight);
        m_view->show();
        m_view->OnInitialUpdate();
        QApplication::processEvents();
        QTransform m;
        m_view->DocToViewXform(m);
        start = {static_cast<float>(512.0 * m.m11() + m.dx()), static_cast<float>(384.0 * m.m22() + m.dy())};
    }
    DocumentView& View() { return *m_view; }
    Layer& Face() { return *m_face; }
    void Flush() { QCoreApplication::sendPostedEvents(m_view.get(), QEvent::UpdateRequest); }

    PointF start;

private:
    Composition m_composition;
    std::unique_ptr<DocumentView> m_view;
    Layer* m_face = nullptr;
};

// The pointer goes to and fro by 8 view units: one stamp a move.
PointF NextPoint(const PointF& start, int i)
{
    return {start.x + ((i & 1) ? 8.0f : 0.0f), start.y};
}

void BM_BrushPointerMove(benchmark::State& state)
{
    BrushStroke stroke;
    TrackerBrush& brush = *stroke.View().brushTracker;
    stroke.Face().BeginEdit();
    brush.target = &stroke.Face();
    const ViewDC dc(stroke.View());
    brush.BeginTrack(*dc, stroke.start);
    int i = 0;
    for (auto _ : state) {
        brush.HandleMessage(*dc, PointerAt(NextPoint(stroke.start, ++i)));
        stroke.Flush();
    }
    brush.target = nullptr;
}
BENCHMARK(BM_BrushPointerMove)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Its parts: the stroke alone (stamps, mask and colours, with the view's repaint left out) ...
void BM_BrushStrokeAlone(benchmark::State& state)
{
    BrushStroke stroke;
    TrackerBrush& brush = *stroke.View().brushTracker;
    stroke.Face().BeginEdit();
    brush.target = &stroke.Face();
    int i = 0;
    for (auto _ : state) {
        brush.last = NextPoint(stroke.start, i);
        brush.current = NextPoint(stroke.start, ++i);
        brush.ApplyStroke();
        QCoreApplication::removePostedEvents(&stroke.View(), QEvent::UpdateRequest);
    }
    brush.target = nullptr;
}
BENCHMARK(BM_BrushStrokeAlone)->Unit(benchmark::kMicrosecond)->UseRealTime();

// ... and the view's repaint of the rectangle one move hints, alone: the document bounds of the changed
// pixels (crop:0, what the brush hints), or of the face's whole crop rectangle (crop:1).
void BM_BrushRepaintAlone(benchmark::State& state)
{
    BrushStroke stroke;
    TrackerBrush& brush = *stroke.View().brushTracker;
    stroke.Face().BeginEdit();
    brush.target = &stroke.Face();
    Rect hinted;
    struct Catch final : DocumentObserver {
        Rect* out;
        void OnUpdate(DocumentObserver*, int32_t, const Rect* r) override { if (r) *out = *r; }
    } catcher;
    catcher.out = &hinted;
    Document& document = *stroke.View().GetDocument();
    document.AddView(&catcher);
    brush.last = NextPoint(stroke.start, 0);
    brush.current = NextPoint(stroke.start, 1);
    brush.ApplyStroke();
    document.RemoveView(&catcher);
    if (state.range(0) != 0) {
        const Layer& face = stroke.Face();
        hinted = {0, 0, static_cast<int32_t>(face.size.x) - 1, static_cast<int32_t>(face.size.y) - 1};
        face.ForwardBounds(hinted);
    }
    stroke.Flush();
    for (auto _ : state) {
        stroke.View().OnUpdate(nullptr, HintRedrawRect, &hinted);
        stroke.Flush();
    }
    brush.target = nullptr;
    state.counters["rect_w"] = hinted.right - hinted.left + 1;
    state.counters["rect_h"] = hinted.bottom - hinted.top + 1;
}
BENCHMARK(BM_BrushRepaintAlone)->ArgName("crop")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
