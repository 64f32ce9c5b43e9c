#include "DibBuilder.h"
#include "EmfWriter.h"
#include "platform/metafile/Metafile.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
// The picture a bubble is drawn into while its text is written.
constexpr int kBubbleWidth = 420;
constexpr int kBubbleHeight = 320;
// A bubble over a large scene.
constexpr int kLargeWidth = 2048;
constexpr int kLargeHeight = 1536;
constexpr int kHugeWidth = 4096;
constexpr int kHugeHeight = 3072;

// Files no drawing program writes, made here: a polygon of a million points wandering over the whole
// bubble (4 MB, as large as a file may be), and 160,000 bubble-sized rectangles filled.
QByteArray EndlessFigure()
{
    constexpr int kSide = 1000;
    constexpr uint32_t kPoints = 1'000'000 - 16;
    std::mt19937 random(1);
    std::uniform_int_distribution<int> coordinate(0, kSide - 1);
    std::vector<U_POINT16> points(kPoints);
    for (U_POINT16& point : points)
        point = U_POINT16{int16_t(coordinate(random)), int16_t(coordinate(random))};
    EmfWriter emf(kSide, kSide);
    emf.Select(emf.Brush(qRgb(255, 0, 0)));
    emf.Add(U_EMRPOLYGON16_set(U_RECTL{0, 0, kSide, kSide}, kPoints, points.data()));
    return emf.Finish();
}

QByteArray EndlessRectangles()
{
    constexpr int kSide = 100;
    constexpr int kRectangles = 160'000;
    EmfWriter emf(kSide, kSide);
    emf.Select(emf.Brush(qRgb(255, 0, 0))).Select(U_NULL_PEN);
    for (int i = 0; i < kRectangles; ++i)
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, kSide, kSide}));
    return emf.Finish();
}

const platform::Metafile& Load(const char* name)
{
    static std::map<std::string, platform::Metafile> loaded;
    auto found = loaded.find(name);
    if (found == loaded.end()) {
        const std::string made(name);
        const auto metafile = made == "endless-figure" ? platform::Metafile::FromBytes(EndlessFigure())
            : made == "endless-rectangles"
            ? platform::Metafile::FromBytes(EndlessRectangles())
            : platform::Metafile::FromFile(QStringLiteral(SMG_BENCH_DATA_DIR "/") + name);
        found = loaded.emplace(name, *metafile).first;
    }
    return found->second;
}

// How the bubble layer places a bubble: stretched over the picture, or a third of its width, turned by
// 30 degrees, its centre near the right edge.
enum class Placement { Stretched, Turned };

// Playing a speech bubble into a picture, the way the bubble layer draws it: the bounds as the target
// under the placement's world transform.
void PlayInto(benchmark::State& state, const char* name, int pictureWidth, int pictureHeight,
              Placement placement = Placement::Stretched)
{
    const platform::Metafile& metafile = Load(name);
    const Rect bounds = metafile.Bounds();
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    QImage image(pictureWidth, pictureHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        if (placement == Placement::Turned) {
            painter.translate(pictureWidth * 0.9, pictureHeight * 0.4);
            painter.rotate(30);
            painter.scale(pictureWidth / 3.0 / width, pictureWidth / 3.0 / width);
            painter.translate(-width / 2.0, -height / 2.0);
        } else {
            painter.scale(double(pictureWidth) / width, double(pictureHeight) / height);
        }
        metafile.Play(painter, QRectF(0, 0, width - 1, height - 1));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}

void PlayOvalInto400x300(benchmark::State& state)
{
    PlayInto(state, "oval.emf", kWidth, kHeight);
}
BENCHMARK(PlayOvalInto400x300)->Unit(benchmark::kMicrosecond);

// The same oval with its pen 100,000,000 units wide: a pen far wider than the picture must cost about
// what a picture-wide one does.
void PlayWidePenInto420x320(benchmark::State& state)
{
    PlayInto(state, "wide-pen.emf", kBubbleWidth, kBubbleHeight);
}
BENCHMARK(PlayWidePenInto420x320)->Unit(benchmark::kMillisecond);

void PlayWidePenTurnedInto420x320(benchmark::State& state)
{
    PlayInto(state, "wide-pen.emf", kBubbleWidth, kBubbleHeight, Placement::Turned);
}
BENCHMARK(PlayWidePenTurnedInto420x320)->Unit(benchmark::kMillisecond);

void PlayOvalTurnedInto420x320(benchmark::State& state)
{
    PlayInto(state, "oval.emf", kBubbleWidth, kBubbleHeight, Placement::Turned);
}
BENCHMARK(PlayOvalTurnedInto420x320)->Unit(benchmark::kMicrosecond);

// A bubble with a photograph in it: an oval outline around a 640 x 427 JPEG stretched over its middle,
// as a drawing program exports an embedded picture.
platform::Metafile PictureBubble()
{
    QFile file(QStringLiteral(SMG_BENCH_DATA_DIR "/rocket.jpg"));
    file.open(QIODevice::ReadOnly);
    const QByteArray jpeg = file.readAll();
    DibBuilder dib(640, 427, 0, U_BI_JPEG);
    dib.Header().biSizeImage = uint32_t(jpeg.size());
    dib.bits.assign(jpeg.begin(), jpeg.end());
    dib.bits.resize((dib.bits.size() + 3) / 4 * 4, 0);
    EmfWriter emf(kBubbleWidth, kBubbleHeight);
    emf.Add(U_EMRSETSTRETCHBLTMODE_set(U_HALFTONE));
    emf.Add(StretchDibits(dib, 60, 60, kBubbleWidth - 120, kBubbleHeight - 120));
    emf.Select(emf.ExtendedPen(U_PS_SOLID | U_PS_GEOMETRIC, 6, 0xFF000000)).Select(U_NULL_BRUSH);
    emf.Add(U_EMRELLIPSE_set(U_RECTL{10, 10, kBubbleWidth - 10, kBubbleHeight - 10}));
    return *platform::Metafile::FromBytes(emf.Finish());
}

void PlayPictureBubbleInto420x320(benchmark::State& state)
{
    const platform::Metafile metafile = PictureBubble();
    QImage image(kBubbleWidth, kBubbleHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        metafile.Play(painter, QRectF(0, 0, kBubbleWidth, kBubbleHeight));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PlayPictureBubbleInto420x320)->Unit(benchmark::kMillisecond);

// The largest picture a bubble may hold, 8192 x 8192 run-length pixels in half a megabyte, drawn over a
// 4096 x 3072 picture: loading decodes it once, each play samples it.
QByteArray HugePictureBytes()
{
    constexpr int kSide = 8192;
    DibBuilder dib(kSide, kSide, 8, U_BI_RLE8, {0x00FF0000, 0x000000FF});
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; x += 256)
            dib.bits.insert(dib.bits.end(), {char(255), char((x / 256 + y / 256) % 2), 1, 0});
        dib.bits.insert(dib.bits.end(), {0, 0});
    }
    dib.bits.insert(dib.bits.end(), {0, 1, 0, 0});
    EmfWriter emf(400, 300);
    emf.Add(StretchDibits(dib, 0, 0, 400, 300));
    return emf.Finish();
}

void LoadAndPlayHugePictureInto4096x3072(benchmark::State& state)
{
    const QByteArray bytes = HugePictureBytes();
    QImage image(4096, 3072, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const auto metafile = platform::Metafile::FromBytes(bytes);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        metafile->Play(painter, QRectF(0, 0, 4096, 3072));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(LoadAndPlayHugePictureInto4096x3072)->Unit(benchmark::kMillisecond);

// Text: a shout bubble with its words printed as text (a bold "POW!" and two italic lines).
BENCHMARK_CAPTURE(PlayInto, TextBubbleInto420x320, "text-bubble.emf", kBubbleWidth, kBubbleHeight)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PlayInto, TextBubbleTurnedInto420x320, "text-bubble.emf", kBubbleWidth, kBubbleHeight,
                  Placement::Turned)
    ->Unit(benchmark::kMicrosecond);

// The shipped bubbles, drawn while their text is written and over a large scene.
BENCHMARK_CAPTURE(PlayInto, CloudInto420x320, "cloud.emf", kBubbleWidth, kBubbleHeight)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PlayInto, ShoutInto420x320, "shout.emf", kBubbleWidth, kBubbleHeight)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PlayInto, OvalInto2048x1536, "oval.emf", kLargeWidth, kLargeHeight)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PlayInto, CloudInto2048x1536, "cloud.emf", kLargeWidth, kLargeHeight)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PlayInto, ShoutInto2048x1536, "shout.emf", kLargeWidth, kLargeHeight)->Unit(benchmark::kMicrosecond);

// Files made to cost, over a 4096 x 3072 picture: the pen 100,000,000 units wide, stretched and turned;
// a figure of a million points (its edges cross every row a thousand times: refused before Qt sees
// it); and a file of nothing but bubble-sized rectangles, drawn until the budget is spent (the costliest
// a file can be: the fill budget over the largest picture).
BENCHMARK_CAPTURE(PlayInto, WidePenInto4096x3072, "wide-pen.emf", kHugeWidth, kHugeHeight)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlayInto, WidePenTurnedInto4096x3072, "wide-pen.emf", kHugeWidth, kHugeHeight, Placement::Turned)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlayInto, EndlessFigureInto4096x3072, "endless-figure", kHugeWidth, kHugeHeight)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlayInto, EndlessRectanglesInto4096x3072, "endless-rectangles", kHugeWidth, kHugeHeight)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

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
