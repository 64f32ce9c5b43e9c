#include "engine/layers/ImageMeta.h"

#include "platform/DeviceContext.h"
#include "platform/metafile/Metafile.h"

ImageMeta::ImageMeta() = default;

ImageMeta::~ImageMeta()
{
    Clear();
}

void ImageMeta::Clear()
{
    metafile.reset();
    width = 0;
    height = 0;
    pitch = 0;
    bitsPerPixel = 0;
}

bool ImageMeta::Load(const QString& path, bool)
{
    Clear();
    std::optional<platform::Metafile> loaded = platform::Metafile::FromFile(path);
    if (!loaded)
        return false;
    const Rect bounds = loaded->Bounds();
    metafile = std::make_unique<platform::Metafile>(std::move(*loaded));
    width = bounds.right - bounds.left;
    height = bounds.bottom - bounds.top;
    return true;
}

void ImageMeta::Draw(int32_t, platform::DeviceContext& dc, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                     uint8_t)
{
    if (!metafile)
        return;
    const QRectF target(QPointF(0, 0), QPointF(width - 1, height - 1));
    dc.PaintWith([&](QPainter& painter) { metafile->Play(painter, target); });
}
