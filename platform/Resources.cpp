#include "platform/Resources.h"

#include "platform/PicturePrefetch.h"
#include "platform/ResourceTable.h"
#include "platform/StringTable.h"

#include <QFile>
#include <QPixmap>

namespace platform {

namespace {

QImage::Format FormatOfDepth(int32_t bits)
{
    switch (bits) {
    case 8:
        return QImage::Format_Indexed8;
    case 24:
        return QImage::Format_BGR888;
    default:
        return QImage::Format_ARGB32_Premultiplied;
    }
}

QImage Decode(const PictureResource& picture)
{
    QImage image(ResourceTable::Path(picture), "PNG");
    if (image.isNull())
        return {};
    const QImage::Format format = FormatOfDepth(picture.bits);
    return image.format() == format ? image : image.convertToFormat(format);
}

QImage Load(const PictureResource& picture)
{
    if (std::optional<QImage> prefetched = PicturePrefetch::Take(ResourceTable::Path(picture)))
        return *std::move(prefetched);
    return Decode(picture);
}

// The half of a "prompt\ntooltip" string before (0) or after (1) its line break.
QString CommandPart(int32_t id, int part)
{
    const std::optional<QString> text = Resources::String(id);
    if (!text)
        return {};
    return text->section(QLatin1Char('\n'), part, part);
}

} // namespace

QImage Resources::Picture(ResourceType type, int32_t id, int32_t size)
{
    const PictureResource* picture = ResourceTable::Find(type, id, size);
    return picture ? Load(*picture) : QImage();
}

QByteArray Resources::Bytes(ResourceType type, int32_t id, int32_t size)
{
    const PictureResource* picture = ResourceTable::Find(type, id, size);
    if (!picture)
        return {};
    QFile file(ResourceTable::Path(*picture));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QIcon Resources::Icon(int32_t id)
{
    QIcon icon;
    for (const PictureResource& picture : ResourceTable::Pictures()) {
        if (picture.type != ResourceType::Icon || picture.id != id)
            continue;
        const QImage image = Load(picture);
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

std::optional<Resources::CursorPicture> Resources::Cursor(int32_t id, int32_t size)
{
    const PictureResource* picture = ResourceTable::Find(ResourceType::Cursor, id, size);
    if (!picture)
        return std::nullopt;
    QImage image = Load(*picture);
    if (image.isNull())
        return std::nullopt;
    return CursorPicture{image.convertToFormat(QImage::Format_ARGB32), QPoint(picture->hotX, picture->hotY)};
}

PicturePrefetch::Item Resources::PrefetchItem(const PictureResource& picture)
{
    return {ResourceTable::Path(picture), [&picture] { return Decode(picture); }};
}

std::optional<QString> Resources::String(int32_t id)
{
    const char* text = FindStringResource(id);
    if (!text)
        return std::nullopt;
    return QString::fromUtf8(text);
}

QString Resources::CommandPrompt(int32_t id)
{
    return CommandPart(id, 0);
}

QString Resources::CommandTooltip(int32_t id)
{
    return CommandPart(id, 1);
}

} // namespace platform
