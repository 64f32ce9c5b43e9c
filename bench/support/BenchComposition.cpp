#include "support/BenchComposition.h"
#include "support/BenchPictures.h"

#include "engine/document/WizardState.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerText.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>

namespace {

void Place(Layer& layer, float x, float y, float scale, int angle)
{
    layer.position = {x, y};
    layer.scale = {scale, scale};
    layer.angle = static_cast<Angle>(angle);
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

Composition::Composition(bool withBubbles)
    : m_paths(m_folder.filePath("program"), QStringList{m_folder.filePath("data")})
{
    g_paths = &m_paths;
    m_document.step = StepAccessories;
    const QString scenePath = m_folder.filePath("scene.png");
    QFile file(scenePath);
    file.open(QIODevice::WriteOnly);
    file.write(BenchPng(SmoothPicture(BenchWidth, BenchHeight, false, 0)));
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
        bubble->SetText(BenchBubbleText);
        Place(*bubble, 300.0f + 400.0f * i, 620.0f, BubbleWidth / bubble->size.x, 1500 * i);
        bubble.release()->LinkBefore(&m_document.layers);
    }
}

Composition::~Composition()
{
    g_paths = nullptr;
}
