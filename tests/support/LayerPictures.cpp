#include "LayerPictures.h"

#include "engine/layers/Image.h"
#include "engine/layers/LayerImage.h"
#include "platform/DeviceContext.h"
#include "support/ArchiveBytes.h"

#include <gtest/gtest.h>

QByteArray ImgBlock(const QImage& image)
{
    const QByteArray png = PngBytes(image);
    return WrittenBytes([&](platform::ArchiveWriter& writer) {
        writer.WriteString(QStringLiteral("IMG"));
        writer.WriteU32(static_cast<uint32_t>(png.size()));
        writer.WriteBytes(png);
    });
}

QByteArray Stored(Layer& layer)
{
    return WrittenBytes([&](platform::ArchiveWriter& writer) { EXPECT_TRUE(layer.Store(writer)); });
}

Bytes CommonPart(int32_t flags, int32_t tag, const LayerInfo& info)
{
    return Bytes().I32(flags).I32(tag).Append(WrittenBytes([&](platform::ArchiveWriter& writer) { info.Store(writer); }));
}

std::unique_ptr<LayerImage> PaintLayerFrom(const QImage& straightArgb, int32_t flags)
{
    auto layer = std::make_unique<LayerImage>(QString(), flags, 0);
    ReadBytes(ImgBlock(straightArgb), [&](platform::ArchiveReader& reader) { EXPECT_TRUE(layer->Load(reader)); });
    return layer;
}

std::unique_ptr<LayerImage> PictureLayer(const QImage& straightArgb, int32_t flags)
{
    auto layer = PaintLayerFrom(straightArgb, flags | LayerFlagPaint);
    layer->flags = flags;
    layer->cropTopLeft = {0, 0};
    layer->cropBottomRight = {1, 1};
    layer->position = layer->centre;
    return layer;
}

QImage Filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QImage Straight(int width, int height, const std::vector<QRgb>& pixels)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, pixels.at(static_cast<size_t>(y * width + x)));
    return image;
}

Bgra PixelOf(Image& image, int32_t x, int32_t y)
{
    const uint8_t* p = image.GetBits() + static_cast<ptrdiff_t>(y) * image.pitch + x * (image.bitsPerPixel / 8);
    return {p[0], p[1], p[2], image.bitsPerPixel == 32 ? p[3] : uint8_t(255)};
}

Bgra PixelOf(const QImage& image, int x, int y)
{
    const uchar* p = image.constScanLine(y) + x * (image.depth() / 8);
    return {p[0], p[1], p[2], image.depth() == 32 ? p[3] : uchar(255)};
}

uint8_t Premultiply(uint8_t c, uint8_t a)
{
    const unsigned t = static_cast<unsigned>(c) * a;
    return static_cast<uint8_t>(((t >> 8) + t + 128) >> 8);
}

QImage DrawnLayer(Layer& layer, int width, int height, int32_t mode)
{
    QImage image(width, height, QImage::Format_BGR888);
    image.fill(Qt::white);
    platform::DeviceContext dc(image);
    dc.SetGraphicsMode(platform::GraphicsModeKind::Advanced);
    const Rect whole{0, 0, width - 1, height - 1};
    layer.Draw(dc, whole, whole, mode);
    return image;
}

QImage PlaceholderPicture(const QString& text)
{
    QImage image(512, 512, QImage::Format_BGR888);
    image.fill(Qt::white);
    platform::DeviceContext dc(image);
    dc.SetGraphicsMode(platform::GraphicsModeKind::Advanced);
    dc.SetBackgroundMode(platform::BackgroundMode::Transparent);
    Rect r{0, 246, 512, 512};
    dc.DrawText(text, r, platform::TextFormat::Centre);
    return image;
}

QRect DarkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                bounds = bounds.united(QRect(x, y, 1, 1));
        }
    }
    return bounds;
}

QRect DocumentFrame(const Layer& layer)
{
    Rect r{0, 0, static_cast<int32_t>(layer.size.x) - 1, static_cast<int32_t>(layer.size.y) - 1};
    layer.ForwardBounds(r);
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}
