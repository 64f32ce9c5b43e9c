#pragma once

#include "platform/PicturePrefetch.h"
#include "platform/ResourceType.h"

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>

namespace platform {

struct PictureResource;

// The program's resources looked up by kind and id (platform/ResourceId.h). The pictures are drawn by
// the art generator (tools/artgen) and compiled in with Qt's resource compiler; a program that does not
// link them (smg_art, which smg_widgets brings) simply finds nothing. A missing id is an ordinary answer:
// a null image, a null icon, no cursor, no string.
class Resources {
public:
    // A cursor's picture (32 bits, straight alpha) and its hot spot.
    struct CursorPicture {
        QImage image;
        QPoint hotSpot;
    };

    // A bitmap or "PNG" picture, or an icon at one size, in its table depth: 8 bits as Format_Indexed8,
    // 24 as Format_BGR888, 32 as Format_ARGB32_Premultiplied.
    static QImage Picture(ResourceType type, int32_t id, int32_t size = 0);
    // The file bytes of a picture as compiled in (PNG); empty when missing.
    static QByteArray Bytes(ResourceType type, int32_t id, int32_t size = 0);
    // Every size of an icon.
    static QIcon Icon(int32_t id);
    // A cursor at one of its square sizes.
    static std::optional<CursorPicture> Cursor(int32_t id, int32_t size);
    // The item that decodes picture on a prefetch worker as Picture, Icon and Cursor would; they take it
    // from the batch that holds it. picture is an entry of ResourceTable::Pictures().
    static PicturePrefetch::Item PrefetchItem(const PictureResource& picture);
    // A string of the string table.
    static std::optional<QString> String(int32_t id);
    // The two halves of a command's "prompt\ntooltip" string; empty when there is none.
    static QString CommandPrompt(int32_t id);
    static QString CommandTooltip(int32_t id);
};

} // namespace platform
