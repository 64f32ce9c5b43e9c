#include "engine/layers/ImageDC.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerImage.h"
#include "platform/ArchiveWriter.h"
#include "platform/DeviceContext.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr int Width = 1024;
constexpr int Height = 768;
constexpr int64_t Pixels = int64_t{Width} * Height;

// A premultiplied picture with every level of alpha, and a colour picture, both of the benchmark's size.
void FillWorking(ImageReference& image)
{
    image.Create(Width, Height, 32, true);
    for (int y = 0; y < Height; ++y) {
        uint8_t* row = image.GetBits() + static_cast<ptrdiff_t>(y) * image.pitch;
        for (int x = 0; x < Width; ++x) {
            const uint8_t alpha = static_cast<uint8_t>(x + y);
            row[x * 4 + 0] = static_cast<uint8_t>(alpha * (x & 0xFF) / 255);
            row[x * 4 + 1] = static_cast<uint8_t>(alpha * (y & 0xFF) / 255);
            row[x * 4 + 2] = static_cast<uint8_t>(alpha / 2);
            row[x * 4 + 3] = alpha;
        }
    }
}

void FillColour(ImageReference& image)
{
    image.Create(Width, Height, 24, false);
    for (int y = 0; y < Height; ++y) {
        uint8_t* row = image.GetBits() + static_cast<ptrdiff_t>(y) * image.pitch;
        for (int x = 0; x < Width * 3; ++x)
            row[x] = static_cast<uint8_t>(x * 7 + y);
    }
}

QTransform RotateAndScale()
{
    return QTransform().translate(Width / 2.0, Height / 2.0).rotate(20).scale(1.15, 0.9).translate(-Width / 2.0,
                                                                                                    -Height / 2.0);
}

// (a) Alpha blending under a rotation and scale, through our device context ... Qt spreads large
// transformed draws over worker threads, so these are timed by the wall clock.
void BM_AlphaBlendThroughDeviceContext(benchmark::State& state)
{
    ImageReference source;
    FillWorking(source);
    ImageReference target;
    FillColour(target);
    const ImageDC dc(target);
    dc->SetGraphicsMode(platform::GraphicsModeKind::Advanced);
    dc->SetStretchMode(platform::StretchMode::Halftone);
    dc->SetWorldTransform(RotateAndScale());
    for (auto _ : state)
        source.Draw(ImageDrawAlphaBlend, *dc, 0, 0, 0, 0, Width, Height, 255);
    state.SetItemsProcessed(state.iterations() * Pixels);
}
BENCHMARK(BM_AlphaBlendThroughDeviceContext)->Unit(benchmark::kMillisecond)->UseRealTime();

// ... with the context taken and given back on every draw, as the layers do ...
void BM_AlphaBlendWithContextPerDraw(benchmark::State& state)
{
    ImageReference source;
    FillWorking(source);
    ImageReference target;
    FillColour(target);
    for (auto _ : state) {
        const ImageDC dc(target);
        dc->SetGraphicsMode(platform::GraphicsModeKind::Advanced);
        dc->SetStretchMode(platform::StretchMode::Halftone);
        dc->SetWorldTransform(RotateAndScale());
        source.Draw(ImageDrawAlphaBlend, *dc, 0, 0, 0, 0, Width, Height, 255);
    }
    state.SetItemsProcessed(state.iterations() * Pixels);
}
BENCHMARK(BM_AlphaBlendWithContextPerDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

// ... and the same drawImage call made on a QPainter directly.
void BM_AlphaBlendDirectQPainter(benchmark::State& state)
{
    ImageReference source;
    FillWorking(source);
    ImageReference target;
    FillColour(target);
    QImage& pixels = const_cast<QImage&>(*target.Picture());
    QPainter painter(&pixels);
    painter.setTransform(RotateAndScale());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (auto _ : state)
        painter.drawImage(QRectF(0, 0, Width, Height), *source.Picture(), QRectF(0, 0, Width, Height));
    state.SetItemsProcessed(state.iterations() * Pixels);
}
BENCHMARK(BM_AlphaBlendDirectQPainter)->Unit(benchmark::kMillisecond)->UseRealTime();

// (b) The mask loops over a whole picture.
void BM_ApplyMask(benchmark::State& state)
{
    ImageReference image;
    FillWorking(image);
    std::vector<uint8_t> mask(static_cast<size_t>(Pixels));
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<uint8_t>(i * 13 + i / Width);
    for (auto _ : state) {
        image.ApplyMask(mask.data(), Width, 0, 0, 0, 0, Width, Height);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Pixels);
}
BENCHMARK(BM_ApplyMask)->Unit(benchmark::kMicrosecond);

void BM_PremultiplyFromColour(benchmark::State& state)
{
    ImageReference image;
    FillWorking(image);
    ImageReference colour;
    FillColour(colour);
    for (auto _ : state) {
        image.PremultiplyFrom(colour, Rect{0, 0, Width - 1, Height - 1});
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Pixels);
}
BENCHMARK(BM_PremultiplyFromColour)->Unit(benchmark::kMicrosecond);

void BM_PremultiplyFromItself(benchmark::State& state)
{
    ImageReference image;
    FillWorking(image);
    for (auto _ : state) {
        image.PremultiplyFrom(image, Rect{0, 0, Width - 1, Height - 1});
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Pixels);
}
BENCHMARK(BM_PremultiplyFromItself)->Unit(benchmark::kMicrosecond);

// (c) Loading a 640x427 JPEG, enlarged twice to 1280x854, and without the enlargement.
void BM_LoadJpegScaledUp(benchmark::State& state)
{
    for (auto _ : state) {
        ImageReference image;
        if (!image.Load(QStringLiteral(SMG_BENCH_JPEG), state.range(0) != 0))
            state.SkipWithError("the JPEG did not load");
        benchmark::DoNotOptimize(image.GetBits());
    }
}
BENCHMARK(BM_LoadJpegScaledUp)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The process's peak resident memory in MB (VmHWM); ResetPeakMemory starts it again from what is
// resident now (Linux: "5" to clear_refs).
double PeakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void ResetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// (d) A 48-megapixel phone photo (8000 x 6000 JPEG) loaded as a face: decoded, its 24-bit source kept and
// its 32-bit working image made. peak_MB is the process's peak memory during the loads, from what was
// resident before them.
void BM_LoadFortyEightMegapixelFace(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("phone.jpg"));
    {
        // A photo-like picture: smooth gradients with sensor-like noise, so that the JPEG is about as large
        // as a phone's (some 10 MB).
        QImage photo(8000, 6000, QImage::Format_RGB888);
        uint32_t noise = 12345;
        for (int y = 0; y < photo.height(); ++y) {
            uchar* row = photo.scanLine(y);
            for (int x = 0; x < photo.width(); ++x) {
                noise = noise * 1664525u + 1013904223u;
                const int grain = static_cast<int>(noise >> 28) - 8;
                row[3 * x] = static_cast<uchar>(std::clamp(x / 32 + grain, 0, 255));
                row[3 * x + 1] = static_cast<uchar>(std::clamp(y / 24 + grain, 0, 255));
                row[3 * x + 2] = static_cast<uchar>(std::clamp((x + y) / 56 + grain, 0, 255));
            }
        }
        if (!photo.save(path, "JPEG", 92)) {
            state.SkipWithError("the photo could not be written");
            return;
        }
    }
    const double before = PeakMemoryMb();
    ResetPeakMemory();
    const double resident = PeakMemoryMb();
    for (auto _ : state) {
        LayerImage face(QString(), LayerFlagsFace, 0);
        if (!face.LoadFile(path) || face.size.x != 8000)
            state.SkipWithError("the photo did not load");
        benchmark::DoNotOptimize(face.GetImage());
    }
    state.counters["file_MB"] = static_cast<double>(QFile(path).size()) / (1024.0 * 1024.0);
    state.counters["resident_before_MB"] = resident;
    state.counters["peak_MB"] = PeakMemoryMb();
    state.counters["peak_while_writing_MB"] = before;

    // Then stored as Save Project stores a painted layer: store_peak_MB is how far the process's peak rises
    // above what the loaded face keeps.
    LayerImage face(QString(), LayerFlagsFace, 0);
    if (!face.LoadFile(path))
        return;
    ResetPeakMemory();
    const double kept = PeakMemoryMb();
    QFile project(dir.filePath(QStringLiteral("face.smg")));
    if (project.open(QIODevice::WriteOnly)) {
        platform::ArchiveWriter archive(project);
        face.Store(archive);
    }
    state.counters["kept_MB"] = kept;
    state.counters["store_peak_MB"] = PeakMemoryMb() - kept;
}
BENCHMARK(BM_LoadFortyEightMegapixelFace)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
