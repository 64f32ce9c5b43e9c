#include "FaceOnScene.h"

#include "engine/colour/ColorMatch.h"
#include "engine/colour/Histogram2.h"
#include "engine/document/Document.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerImage.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

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
        for (int y = 0; y < FaceOnScene::Height; ++y) {
            const uint8_t* w = work.GetBits() + static_cast<ptrdiff_t>(y) * work.pitch;
            const uint8_t* p = picture->GetBits() + static_cast<ptrdiff_t>(y) * picture->pitch;
            for (int x = 0; x < FaceOnScene::Width * 4; ++x)
                sum += w[x];
            for (int x = 0; x < FaceOnScene::Width * 3; ++x)
                sum += p[x];
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PlainPass)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
