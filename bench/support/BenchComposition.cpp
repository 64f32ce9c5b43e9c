#include "support/BenchComposition.h"
#include "support/BenchPictures.h"

#include "engine/document/Journal.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerKind.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerText.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

namespace {

// Content numbers the sample library also has (tools/contentgen), so that the program started with the
// project finds them on its server.
constexpr int32_t FirstAccessoryNumber = 301;
constexpr int32_t BubbleNumber = 401;

void Place(Layer& layer, float x, float y, float scale, int angle)
{
    layer.position = {x, y};
    layer.scale = {scale, scale};
    layer.angle = static_cast<Angle>(angle);
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The layer a journal record has just put in front, placed: its picture shown shownWidth document pixels wide.
Layer& PlaceFront(Document& document, float x, float y, float shownWidth, int angle)
{
    Layer& layer = *document.layers.GetAt(document.layers.GetCount() - 1);
    Place(layer, x, y, shownWidth / layer.size.x, angle);
    return layer;
}

} // namespace

QByteArray BenchPng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

std::unique_ptr<LayerImage> StoredPictureLayer(const QImage& image, int32_t flags)
{
    QByteArray block;
    {
        QBuffer buffer(&block);
        buffer.open(QIODevice::WriteOnly);
        platform::ArchiveWriter writer(buffer);
        const QByteArray png = BenchPng(image);
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

Composition::Composition(bool withBubbles, const QString& contentFolder)
    : m_paths(m_folder.filePath("program"), QStringList{m_folder.filePath("data")})
{
    g_paths = &m_paths;
    const QDir own(contentFolder.isEmpty() ? m_folder.path() : contentFolder);
    const QDir cache(m_paths.cacheFolder);
    Journal& journal = m_document.journal;
    const QString scenePath = own.filePath("scene.png");
    if (!WriteFile(scenePath, BenchPng(SmoothPicture(BenchWidth, BenchHeight, false, 0))) ||
        !journal.AddNewScene(scenePath, 0))
        qFatal("the benchmark's scene could not be made");
    m_document.step = StepAccessories;
    for (int i = 0; i < 3; ++i) {
        const QString facePath = own.filePath(QStringLiteral("face%1.png").arg(i + 1));
        if (!WriteFile(facePath, BenchPng(SmoothPicture(512, 512, true, i + 1))) ||
            !journal.AddInsertLayer(Rect{}, facePath, QString(), 0, LayerKindOwnFile, m_document.layers.GetCount()))
            qFatal("a benchmark face could not be added");
        Layer& face = PlaceFront(m_document, 200.0f + 300.0f * i, 300.0f, 512.0f * (0.6f + 0.1f * i), 3000 * (i + 1));
        face.cropTopLeft = {0.1f, 0.1f};
        face.cropBottomRight = {0.9f, 0.9f};
    }
    for (int i = 0; i < 3; ++i) {
        const int number = FirstAccessoryNumber + i;
        if (!WriteFile(cache.filePath(QStringLiteral("Accessories/%1.png").arg(number)),
                       BenchPng(SmoothPicture(256, 256, true, i + 4))) ||
            !journal.AddInsertLayer(Rect{}, QString(), QStringLiteral("Hats"), number, LayerKindAccessory,
                                    m_document.layers.GetCount()))
            qFatal("a benchmark accessory could not be added");
        PlaceFront(m_document, 250.0f + 280.0f * i, 150.0f, 256.0f * 0.9f, 65536 - 2500 * (i + 1));
    }
    QFile bubble(QStringLiteral(SMG_BENCH_BUBBLE));
    if (!bubble.open(QIODevice::ReadOnly) || !WriteFile(cache.filePath(QStringLiteral("Bubbles/%1.emf").arg(BubbleNumber)), bubble.readAll()))
        qFatal("the benchmark's bubble could not be copied");
    if (withBubbles)
        m_document.step = StepBubble;  // the text goes to the selected bubble, and only bubbles are selected here
    for (int i = 0; i < (withBubbles ? 2 : 0); ++i) {
        const int32_t index = m_document.layers.GetCount();
        if (!journal.AddInsertLayer(Rect{}, QString(), QString(), BubbleNumber, LayerKindBubble, index) ||
            !journal.AddSelectLayer(index) || !journal.AddSetText(BenchBubbleText))
            qFatal("a benchmark bubble could not be added");
        PlaceFront(m_document, 300.0f + 400.0f * i, 620.0f, BubbleWidth, 1500 * i);
    }
    m_document.SelectLayer(-1);
    m_document.step = StepAccessories;
}

Composition::~Composition()
{
    g_paths = nullptr;
}
