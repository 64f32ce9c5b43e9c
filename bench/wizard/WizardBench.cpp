#include "support/BenchComposition.h"
#include "support/BenchPictures.h"

#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerText.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "platform/PngEncoder.h"
#include "platform/metafile/Metafile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <png.h>
#include <cmath>
#include <csetjmp>
#include <memory>
#include <vector>

namespace {

constexpr int Width = BenchWidth;
constexpr int Height = BenchHeight;

// (a) The whole work area through Document::RenderRegion.
void BM_RenderWholeWorkArea(benchmark::State& state)
{
    Composition composition(state.range(0) != 0);
    Document& document = composition.GetDocument();
    for (auto _ : state) {
        document.RenderRegion({0, 0, Width - 1, Height - 1});
        benchmark::DoNotOptimize(document.renderBuffer->GetBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderWholeWorkArea)->ArgName("bubbles")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// (a) The same drawing with bare QPainter calls: the scene copied, each picture drawn under its
// layer's transform with smooth sampling, each bubble played and its text drawn in the font the layer
// fitted, clipped to its text rectangle. One render through the document first lets each bubble fit
// its font; the loop then measures the drawing alone, as the document's render does from its second
// call on.
void BM_RenderWholeWorkAreaBareQPainter(benchmark::State& state)
{
    Composition composition(state.range(0) != 0);
    Document& document = composition.GetDocument();
    const std::optional<platform::Metafile> bubble = platform::Metafile::FromFile(SMG_BENCH_BUBBLE);
    QImage target(Width, Height, QImage::Format_BGR888);
    document.RenderRegion({0, 0, Width - 1, Height - 1});
    for (auto _ : state) {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, *static_cast<ImageReference*>(document.scene->GetImage())->Picture());
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        for (Node* node = document.layers.next; node != &document.layers; node = node->next) {
            auto* layer = static_cast<Layer*>(node);
            if (auto* picture = static_cast<ImageReference*>(layer->GetImage())) {
                QTransform m;
                layer->BuildXForm(m, false);
                painter.setTransform(m);
                const Rect crop = static_cast<LayerImage*>(layer)->CropPixels();
                const QRect source(crop.left, crop.top, crop.right - crop.left + 1, crop.bottom - crop.top + 1);
                painter.drawImage(source.topLeft(), *picture->Picture(), source);
                continue;
            }
            QTransform m = QTransform::fromTranslate(-layer->centre.x, -layer->centre.y);
            m *= QTransform::fromScale(layer->scale.x, layer->scale.y);
            m *= QTransform().rotate(layer->angle * 360.0 / 65536.0);
            m *= QTransform::fromTranslate(layer->position.x, layer->position.y);
            painter.setTransform(m);
            bubble->Play(painter, QRectF(0, 0, layer->size.x - 1, layer->size.y - 1));
            auto* text = static_cast<LayerText*>(layer);
            const Rect r = text->GetTextRect();
            const QRectF textRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
            painter.save();
            painter.setClipRect(textRect);
            painter.setFont(*text->GetFont());
            painter.drawText(textRect, Qt::AlignHCenter | Qt::TextWordWrap, BenchBubbleText);
            painter.restore();
        }
        painter.end();
        benchmark::DoNotOptimize(target.bits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderWholeWorkAreaBareQPainter)->ArgName("bubbles")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// (b) A 64 x 64 dirty rectangle drawn again, as the editing view does during a stroke.
void BM_RenderDirtyRectangle(benchmark::State& state)
{
    Composition composition(state.range(0) != 0);
    Document& document = composition.GetDocument();
    document.RenderRegion({0, 0, Width - 1, Height - 1});
    for (auto _ : state) {
        document.RenderRegion({480, 280, 543, 343});
        benchmark::DoNotOptimize(document.renderBuffer->GetBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderDirtyRectangle)->ArgName("bubbles")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime();

// (c) A project with four painted 1024 x 768 layers, saved and opened again, in a folder in memory; their
// pictures smooth colours (arg 0) or photographs (arg 1), which compress far worse.
class PaintedProject {
public:
    explicit PaintedProject(bool photos, int width = Width, int height = Height)
    {
        g_paths = &m_paths;
        m_document.step = StepBubble;
        for (int i = 0; i < 4; ++i) {
            m_pictures.push_back(photos ? PhotoPicture(width, height, true, i) : SmoothPicture(width, height, true, i));
            auto layer = StoredPictureLayer(m_pictures.back(), LayerFlagsFace);
            if (i == 0)
                m_document.scene = std::move(layer);
            else
                layer.release()->LinkBefore(&m_document.layers);
        }
        m_document.scene->flags = LayerFlagsScenePhoto;
    }
    ~PaintedProject() { g_paths = nullptr; }

    Document& GetDocument() { return m_document; }
    const std::vector<QImage>& Pictures() const { return m_pictures; }
    QString Path() const { return m_folder.filePath("bench.smg"); }
    double FileBytes() const { return static_cast<double>(QFileInfo(Path()).size()); }

private:
    QTemporaryDir m_folder{QStringLiteral("/dev/shm/smg-bench-XXXXXX")};
    AppPaths m_paths{m_folder.filePath("program"), QStringList{m_folder.filePath("data")}};
    std::vector<QImage> m_pictures;
    Document m_document;
};

// The PNG encoders compared: the program's own; Qt's at its default, at zlib's fastest level and stored
// (Qt's compression 0 to 100 maps to zlib's levels 0 to 9: 11 is level 1, below 11 nothing is compressed),
// each with libpng's choice of filter for every row; and libpng alone with no filter, at level 1 and
// stored, the fastest settings there are.
enum class PngEncoding { Program, QtDefault, QtFastest, QtStored, LibpngFastest, LibpngStored };

void AppendToBytes(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data),
                                                          static_cast<qsizetype>(size));
}

QByteArray EncodeWithLibpng(const QImage& picture, int level)
{
    QByteArray bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &bytes, AppendToBytes, nullptr);
    png_set_compression_level(png, level);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width()), static_cast<png_uint_32>(picture.height()), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    png_set_bgr(png);  // ARGB32 words lie in memory as blue, green, red, alpha
    for (int y = 0; y < picture.height(); ++y)
        png_write_row(png, picture.constScanLine(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

QByteArray Encode(const QImage& picture, PngEncoding encoding)
{
    if (encoding == PngEncoding::Program)
        return platform::EncodePng(picture);
    if (encoding == PngEncoding::LibpngFastest || encoding == PngEncoding::LibpngStored)
        return EncodeWithLibpng(picture, encoding == PngEncoding::LibpngFastest ? 1 : 0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (encoding == PngEncoding::QtFastest)
        writer.setCompression(11);
    else if (encoding == PngEncoding::QtStored)
        writer.setCompression(0);
    writer.write(picture);
    return bytes;
}

// Whether a layer's picture is the painted one: its colours (the 24-bit source, blue, green, red) and its
// alpha (the working picture's) those of picture, pixel by pixel.
bool PictureReadBack(Layer* layer, const QImage& picture)
{
    Image* colours = layer ? layer->GetSourceImage() : nullptr;
    Image* working = layer ? layer->GetImage() : nullptr;
    if (!colours || !working || colours->width != picture.width() || colours->height != picture.height() ||
        working->width != picture.width() || working->height != picture.height())
        return false;
    for (int y = 0; y < picture.height(); ++y) {
        const uint8_t* colour = colours->GetBits() + static_cast<ptrdiff_t>(y) * colours->pitch;
        const uint8_t* alpha = working->GetBits() + static_cast<ptrdiff_t>(y) * working->pitch;
        const auto* expected = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = expected[x];
            if (colour[3 * x] != qBlue(pixel) || colour[3 * x + 1] != qGreen(pixel) ||
                colour[3 * x + 2] != qRed(pixel) || alpha[4 * x + 3] != qAlpha(pixel))
                return false;
        }
    }
    return true;
}

// The scene and the three layers after it read back as painted.
bool PicturesReadBack(Document& document, const std::vector<QImage>& pictures)
{
    bool same = PictureReadBack(document.scene.get(), pictures[0]);
    for (size_t i = 1; i < pictures.size(); ++i)
        same = same && PictureReadBack(document.layers.GetAt(static_cast<int32_t>(i - 1)), pictures[i]);
    return same;
}

void BM_SaveAndOpenPaintedProject(benchmark::State& state)
{
    PaintedProject project(state.range(0) != 0);
    Document& document = project.GetDocument();
    for (auto _ : state) {
        document.SetModifiedFlag(true);
        if (!document.DoSave(project.Path()) || !document.OpenDocumentFile(project.Path()))
            state.SkipWithError("the project did not save and open");
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["file_bytes"] = project.FileBytes();
}
BENCHMARK(BM_SaveAndOpenPaintedProject)->ArgName("photos")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// (c) The same four pictures encoded as PNG (Qt's default) and decoded again, alone.
void BM_EncodeAndDecodeFourPngs(benchmark::State& state)
{
    PaintedProject project(state.range(0) != 0);
    for (auto _ : state) {
        for (const QImage& picture : project.Pictures()) {
            const QByteArray png = BenchPng(picture);
            QImage decoded;
            decoded.loadFromData(png, "PNG");
            benchmark::DoNotOptimize(decoded.constBits());
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeAndDecodeFourPngs)->ArgName("photos")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// (c) split: the save alone and the open alone, against the encoding and the decoding alone.
// Second arg the pictures' width (their height 3/4 of it): the time grows with the pixels, 4 times for
// twice the width. The file is read back once and compared pixel by pixel.
void BM_SavePaintedProject(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(1));
    PaintedProject project(state.range(0) != 0, width, width * 3 / 4);
    Document& document = project.GetDocument();
    for (auto _ : state) {
        document.SetModifiedFlag(true);
        if (!document.DoSave(project.Path()))
            state.SkipWithError("the project did not save");
    }
    state.counters["file_bytes"] = project.FileBytes();
    if (!document.OpenDocumentFile(project.Path()) || !PicturesReadBack(document, project.Pictures()))
        state.SkipWithError("the project did not read back as written");
}
BENCHMARK(BM_SavePaintedProject)
    ->ArgNames({"photos", "width"})
    ->Args({0, Width})
    ->Args({1, Width})
    ->Args({1, 2 * Width})
    ->Args({1, 4 * Width})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The four pictures encoded one after the other by each encoder (second arg, PngEncoding), with their bytes.
void BM_EncodeFourPngs(benchmark::State& state)
{
    PaintedProject project(state.range(0) != 0);
    const auto encoding = static_cast<PngEncoding>(state.range(1));
    double bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const QImage& picture : project.Pictures())
            bytes += static_cast<double>(Encode(picture, encoding).size());
    }
    state.counters["png_bytes"] = bytes;
}
BENCHMARK(BM_EncodeFourPngs)
    ->ArgNames({"photos", "encoder"})
    ->ArgsProduct({{0, 1}, benchmark::CreateDenseRange(static_cast<int>(PngEncoding::Program),
                                                      static_cast<int>(PngEncoding::LibpngStored), 1)})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_OpenPaintedProject(benchmark::State& state)
{
    PaintedProject project(state.range(0) != 0);
    Document& document = project.GetDocument();
    document.DoSave(project.Path());
    for (auto _ : state) {
        if (!document.OpenDocumentFile(project.Path()))
            state.SkipWithError("the project did not open");
    }
}
BENCHMARK(BM_OpenPaintedProject)->ArgName("photos")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeFourPngs(benchmark::State& state)
{
    PaintedProject project(state.range(0) != 0);
    std::vector<QByteArray> pngs;
    for (const QImage& picture : project.Pictures())
        pngs.push_back(platform::EncodePng(picture));
    for (auto _ : state) {
        for (const QByteArray& png : pngs) {
            QImage decoded;
            decoded.loadFromData(png, "PNG");
            benchmark::DoNotOptimize(decoded.constBits());
        }
    }
}
BENCHMARK(BM_DecodeFourPngs)->ArgName("photos")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
