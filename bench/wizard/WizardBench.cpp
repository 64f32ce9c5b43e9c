#include "support/BenchPictures.h"

#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerText.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "platform/metafile/Metafile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int Width = 1024;
constexpr int Height = 768;
const QString BubbleText = QStringLiteral("Who left the hat on the roof?");

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

// A layer whose picture comes from a stored block (no enlargement), then given its flags.
std::unique_ptr<LayerImage> StoredPictureLayer(const QImage& image, int32_t flags)
{
    QByteArray block;
    {
        QBuffer buffer(&block);
        buffer.open(QIODevice::WriteOnly);
        platform::ArchiveWriter writer(buffer);
        const QByteArray png = Png(image);
        writer.WriteString(QStringLiteral("IMG"));
        writer.WriteU32(static_cast<uint32_t>(png.size()));
        writer.WriteBytes(png);
    }
    auto layer = std::make_unique<LayerImage>(QString(), flags | LayerFlagPaint, 0);
    QBuffer buffer(&block);
    buffer.open(QIODevice::ReadOnly);
    platform::ArchiveReader reader(buffer);
    layer->Load(reader);
    layer->flags = flags;
    layer->cropTopLeft = {0, 0};
    layer->cropBottomRight = {1, 1};
    return layer;
}

// A 1024 x 768 scene with eight layers in front: three masked faces, three accessories with alpha
// and two speech bubbles, each moved, scaled and rotated. Without the bubbles, to tell their share.
class Composition {
public:
    explicit Composition(bool withBubbles = true)
    {
        g_paths = &m_paths;
        m_document.step = StepAccessories;
        const QString scenePath = m_folder.filePath("scene.png");
        QFile file(scenePath);
        file.open(QIODevice::WriteOnly);
        file.write(Png(SmoothPicture(Width, Height, false, 0)));
        file.close();
        auto scene = std::make_unique<LayerImage>(QString(), LayerFlagsBackground, 0);
        scene->LoadFile(scenePath);
        scene->position = scene->centre;
        m_document.scene = std::move(scene);
        for (int i = 0; i < 3; ++i) {
            auto face = StoredPictureLayer(SmoothPicture(512, 512, true, i + 1), LayerFlagsFace);
            Place(*face, 200.0f + 300.0f * i, 300.0f, 0.6f + 0.1f * i, 3000 * (i + 1));
            face->cropTopLeft = {0.1f, 0.1f};
            face->cropBottomRight = {0.9f, 0.9f};
            face.release()->LinkBefore(&m_document.layers);
        }
        for (int i = 0; i < 3; ++i) {
            auto accessory = StoredPictureLayer(SmoothPicture(256, 256, true, i + 4), LayerFlagsAccessory);
            Place(*accessory, 250.0f + 280.0f * i, 150.0f, 0.9f, 65536 - 2500 * (i + 1));
            accessory.release()->LinkBefore(&m_document.layers);
        }
        for (int i = 0; i < (withBubbles ? 2 : 0); ++i) {
            auto bubble = std::make_unique<LayerText>(Rect{}, i);
            bubble->LoadFile(SMG_BENCH_BUBBLE);
            bubble->SetText(BubbleText);
            Place(*bubble, 300.0f + 400.0f * i, 600.0f, 0.8f, 1500 * i);
            bubble.release()->LinkBefore(&m_document.layers);
        }
    }
    ~Composition() { g_paths = nullptr; }

    Document& GetDocument() { return m_document; }

private:
    static void Place(Layer& layer, float x, float y, float scale, int angle)
    {
        layer.position = {x, y};
        layer.scale = {scale, scale};
        layer.angle = static_cast<Angle>(angle);
    }

    QTemporaryDir m_folder;
    AppPaths m_paths{m_folder.filePath("program"), QStringList{m_folder.filePath("data")}};
    Document m_document;
};

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
            painter.drawText(textRect, Qt::AlignHCenter | Qt::TextWordWrap, BubbleText);
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

// (c) A project with four painted 1024 x 768 layers, saved and opened again, in a folder in memory.
class PaintedProject {
public:
    PaintedProject()
    {
        g_paths = &m_paths;
        m_document.step = StepBubble;
        for (int i = 0; i < 4; ++i) {
            m_pictures.push_back(SmoothPicture(Width, Height, true, i));
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

private:
    QTemporaryDir m_folder{QStringLiteral("/dev/shm/smg-bench-XXXXXX")};
    AppPaths m_paths{m_folder.filePath("program"), QStringList{m_folder.filePath("data")}};
    std::vector<QImage> m_pictures;
    Document m_document;
};

void BM_SaveAndOpenPaintedProject(benchmark::State& state)
{
    PaintedProject project;
    Document& document = project.GetDocument();
    for (auto _ : state) {
        document.SetModifiedFlag(true);
        if (!document.DoSave(project.Path()) || !document.OpenDocumentFile(project.Path()))
            state.SkipWithError("the project did not save and open");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SaveAndOpenPaintedProject)->Unit(benchmark::kMillisecond)->UseRealTime();

// (c) The same four pictures encoded as PNG and decoded again, alone.
void BM_EncodeAndDecodeFourPngs(benchmark::State& state)
{
    PaintedProject project;
    for (auto _ : state) {
        for (const QImage& picture : project.Pictures()) {
            const QByteArray png = Png(picture);
            QImage decoded;
            decoded.loadFromData(png, "PNG");
            benchmark::DoNotOptimize(decoded.constBits());
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeAndDecodeFourPngs)->Unit(benchmark::kMillisecond)->UseRealTime();

// (c) split: the save alone and the open alone, against the encoding and the decoding alone.
void BM_SavePaintedProject(benchmark::State& state)
{
    PaintedProject project;
    Document& document = project.GetDocument();
    for (auto _ : state) {
        document.SetModifiedFlag(true);
        if (!document.DoSave(project.Path()))
            state.SkipWithError("the project did not save");
    }
}
BENCHMARK(BM_SavePaintedProject)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EncodeFourPngs(benchmark::State& state)
{
    PaintedProject project;
    for (auto _ : state) {
        for (const QImage& picture : project.Pictures())
            benchmark::DoNotOptimize(Png(picture).size());
    }
}
BENCHMARK(BM_EncodeFourPngs)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenPaintedProject(benchmark::State& state)
{
    PaintedProject project;
    Document& document = project.GetDocument();
    document.DoSave(project.Path());
    for (auto _ : state) {
        if (!document.OpenDocumentFile(project.Path()))
            state.SkipWithError("the project did not open");
    }
}
BENCHMARK(BM_OpenPaintedProject)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeFourPngs(benchmark::State& state)
{
    PaintedProject project;
    std::vector<QByteArray> pngs;
    for (const QImage& picture : project.Pictures())
        pngs.push_back(Png(picture));
    for (auto _ : state) {
        for (const QByteArray& png : pngs) {
            QImage decoded;
            decoded.loadFromData(png, "PNG");
            benchmark::DoNotOptimize(decoded.constBits());
        }
    }
}
BENCHMARK(BM_DecodeFourPngs)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
