#include "engine/base/AppPaths.h"
#include "engine/colour/ColorMatch.h"
#include "engine/colour/Histogram2.h"
#include "engine/document/Document.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerImage.h"

#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int Width = 1024;
constexpr int Height = 768;

// Smooth colours; when masked, a round mask with a soft edge, as a cut-out face has.
QImage Picture(bool masked, int seed)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const double dx = (x - Width / 2.0) / (Width / 2.0);
            const double dy = (y - Height / 2.0) / (Height / 2.0);
            const int alpha = masked ? std::clamp(static_cast<int>((1.0 - std::hypot(dx, dy)) * 1024), 0, 255) : 255;
            row[x] = qRgba((x * 3 + seed * 40) & 0xFF, (y * 5 + seed * 70) & 0xFF, ((x + y) / 2) & 0xFF, alpha);
        }
    }
    return image;
}

// A 1024 x 768 scene and, selected in front of it, a 1024 x 768 masked face covering it exactly.
class FaceOnScene {
public:
    FaceOnScene()
    {
        g_paths = &m_paths;
        m_document.scene = Loaded(Picture(false, 0), LayerFlagsBackground, "scene.png");
        face = Loaded(Picture(true, 1), LayerFlagsFace, "face.png").release();
        face->LinkBefore(&m_document.layers);
        m_document.selectedIndex = 0;
    }
    ~FaceOnScene() { g_paths = nullptr; }

    Document& GetDocument() { return m_document; }
    Layer* face = nullptr;

private:
    std::unique_ptr<LayerImage> Loaded(const QImage& image, int32_t flags, const char* name)
    {
        const QString path = m_folder.filePath(name);
        image.save(path, "PNG");
        auto layer = std::make_unique<LayerImage>(QString(), flags, 0);
        layer->LoadFile(path);
        layer->cropTopLeft = {0, 0};
        layer->cropBottomRight = {1, 1};
        layer->position = layer->centre;
        return layer;
    }

    QTemporaryDir m_folder;
    AppPaths m_paths{m_folder.filePath("program"), QStringList{m_folder.filePath("data")}};
    Document m_document;
};

// Auto Adjust's matching as the dialog runs it: the picture behind the face rendered, both counted,
// both analysed.
void BM_MatchColors(benchmark::State& state)
{
    FaceOnScene setting;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MatchColors(setting.GetDocument(), *setting.face));
        benchmark::DoNotOptimize(setting.face->blueGamma);
    }
}
BENCHMARK(BM_MatchColors)->Unit(benchmark::kMillisecond)->UseRealTime();

// Its parts: the render of what lies behind the face ...
void BM_RenderSelectedLayer(benchmark::State& state)
{
    FaceOnScene setting;
    for (auto _ : state)
        benchmark::DoNotOptimize(setting.GetDocument().RenderSelectedLayer());
}
BENCHMARK(BM_RenderSelectedLayer)->Unit(benchmark::kMillisecond)->UseRealTime();

// ... and the counting with the analysis of both histograms.
void BM_CountAndAnalyze(benchmark::State& state)
{
    FaceOnScene setting;
    const std::unique_ptr<ImageReference> picture = setting.GetDocument().RenderSelectedLayer();
    for (auto _ : state) {
        Histogram2 layer;
        Histogram2 behind;
        CountLevels(*setting.face->GetImage(), 0, 0, *picture, layer, behind);
        layer.Analyze();
        behind.Analyze();
        benchmark::DoNotOptimize(layer.peakLevel);
        benchmark::DoNotOptimize(behind.peakLevel);
    }
}
BENCHMARK(BM_CountAndAnalyze)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: one plain pass over the same pixels, adding up the face's and the picture's bytes.
void BM_PlainPass(benchmark::State& state)
{
    FaceOnScene setting;
    const std::unique_ptr<ImageReference> picture = setting.GetDocument().RenderSelectedLayer();
    Image& work = *setting.face->GetImage();
    for (auto _ : state) {
        uint64_t sum = 0;
        for (int y = 0; y < Height; ++y) {
            const uint8_t* w = work.GetBits() + static_cast<ptrdiff_t>(y) * work.pitch;
            const uint8_t* p = picture->GetBits() + static_cast<ptrdiff_t>(y) * picture->pitch;
            for (int x = 0; x < Width * 4; ++x)
                sum += w[x];
            for (int x = 0; x < Width * 3; ++x)
                sum += p[x];
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PlainPass)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
