#include "shell/ImageList.h"

#include "platform/ResourceId.h"
#include "platform/Resources.h"

namespace {

// The strip in 32 bits with every key-colour pixel transparent. The 8-bit strip's key colour is a
// palette entry, so both depths are compared after conversion.
QImage MaskKeyColour(const QImage& bitmap)
{
    QImage masked = bitmap.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < masked.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if (row[x] == platform::ResourceId::ToolBarKeyColour)
                row[x] = 0;
        }
    }
    return masked;
}

} // namespace

bool ImageList::Create(int32_t bitmapId)
{
    Clear();
    QImage bitmap = platform::Resources::Picture(platform::ResourceType::Bitmap, bitmapId);
    if (bitmap.isNull() || bitmap.height() < PictureSize || bitmap.width() < PictureSize)
        return false;
    m_bitmap = std::make_unique<QImage>(std::move(bitmap));
    const QImage masked = MaskKeyColour(*m_bitmap);
    for (int x = 0; x + PictureSize <= masked.width(); x += PictureSize)
        m_pictures.push_back(QPixmap::fromImage(masked.copy(x, 0, PictureSize, PictureSize)));
    return true;
}

QPixmap ImageList::Picture(int32_t i) const
{
    return i >= 0 && i < Count() ? m_pictures[static_cast<size_t>(i)] : QPixmap();
}

void ImageList::Clear()
{
    m_pictures.clear();
    m_bitmap.reset();
}
