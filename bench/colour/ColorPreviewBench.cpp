#include "FaceOnScene.h"

#include "engine/colour/GammaScale.h"
#include "engine/document/UpdateHint.h"
#include "engine/layers/Layer.h"
#include "engine/view/ColorBox.h"
#include "platform/DocumentObserver.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QSlider>
#include <benchmark/benchmark.h>

namespace {

// Two red gamma positions the benchmarks alternate between, so that every redraw changes the colours.
constexpr int32_t PositionA = 400;
constexpr int32_t PositionB = 600;

// What the editing view does with a full redraw: the whole work area composed again into the render
// buffer (its paint then copies the buffer to the screen).
class RenderingView final : public DocumentObserver {
public:
    explicit RenderingView(Document& document) : m_document(document) { m_document.AddView(this); }
    ~RenderingView() { m_document.RemoveView(this); }

    void OnUpdate(DocumentObserver*, int32_t hint, const Rect*) override
    {
        if (hint == HintRedraw)
            m_document.RenderRegion(Rect{0, 0, m_document.GetWorkWidth() - 1, m_document.GetWorkHeight() - 1});
    }

private:
    Document& m_document;
};

// The preview of one release: the red track bar moved with the keyboard, then a mouse release on it.
// The dialog reads the five bars, redraws the face's colours and tells the views, which re-render.
void BM_PreviewAfterRelease(benchmark::State& state)
{
    FaceOnScene setting;
    RenderingView view(setting.GetDocument());
    ColorBox box(setting.GetDocument(), *setting.face);
    QSlider* red = box.TrackBar(ColorBox::RedId);
    const QPointF centre(red->width() / 2.0, red->height() / 2.0);
    bool flip = false;
    for (auto _ : state) {
        red->setValue((flip = !flip) ? PositionA : PositionB);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, red->mapToGlobal(centre), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(red, &release);
    }
    benchmark::DoNotOptimize(setting.face->redGamma);
    box.reject();
}
BENCHMARK(BM_PreviewAfterRelease)->Unit(benchmark::kMillisecond)->UseRealTime();

// The colour redraw alone: the face's working picture recoloured from its source.
void BM_ColourRedrawAlone(benchmark::State& state)
{
    FaceOnScene setting;
    bool flip = false;
    for (auto _ : state) {
        setting.face->redGamma = GammaFromPosition((flip = !flip) ? PositionA : PositionB);
        setting.face->ApplyColor();
    }
    benchmark::DoNotOptimize(setting.face->GetImage());
}
BENCHMARK(BM_ColourRedrawAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same two steps called directly, without the dialog: what the preview costs beyond them is the
// dialog's own work (the release's delivery, reading the bars, telling the views).
void BM_RedrawThenRender(benchmark::State& state)
{
    FaceOnScene setting;
    Document& document = setting.GetDocument();
    bool flip = false;
    for (auto _ : state) {
        setting.face->redGamma = GammaFromPosition((flip = !flip) ? PositionA : PositionB);
        setting.face->ApplyColor();
        benchmark::DoNotOptimize(document.RenderRegion(Rect{0, 0, document.GetWorkWidth() - 1, document.GetWorkHeight() - 1}));
    }
}
BENCHMARK(BM_RedrawThenRender)->Unit(benchmark::kMillisecond)->UseRealTime();

// The re-render alone: scene and face composed into the render buffer.
void BM_RenderAlone(benchmark::State& state)
{
    FaceOnScene setting;
    Document& document = setting.GetDocument();
    for (auto _ : state)
        benchmark::DoNotOptimize(document.RenderRegion(Rect{0, 0, document.GetWorkWidth() - 1, document.GetWorkHeight() - 1}));
}
BENCHMARK(BM_RenderAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
