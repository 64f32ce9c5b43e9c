#include "platform/metafile/Metafile.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

const platform::Metafile& Oval()
{
    static const auto metafile = platform::Metafile::FromFile(QStringLiteral(SMG_BENCH_DATA_DIR "/oval.emf"));
    return *metafile;
}

// Playing a speech bubble into a picture of its natural size, the way the bubble layer draws it:
// the bounds as the target under a scaling world transform.
void PlayOvalInto400x300(benchmark::State& state)
{
    const platform::Metafile& metafile = Oval();
    const Rect bounds = metafile.Bounds();
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.scale(double(kWidth) / width, double(kHeight) / height);
        metafile.Play(painter, QRectF(0, 0, width - 1, height - 1));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PlayOvalInto400x300)->Unit(benchmark::kMicrosecond);

// Loading (checking and decoding) the same file from memory.
void LoadOvalFromBytes(benchmark::State& state)
{
    QFile file(QStringLiteral(SMG_BENCH_DATA_DIR "/oval.emf"));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::Metafile::FromBytes(bytes));
}
BENCHMARK(LoadOvalFromBytes)->Unit(benchmark::kMicrosecond);

} // namespace
