#pragma once

#include "platform/ResourceType.h"

#include <QString>
#include <cstdint>
#include <span>

namespace platform {

// One picture among the program's resources: what the art generator draws and what the program looks
// up. Cursors and icons have one entry per square size; the other kinds one entry per id.
struct PictureResource {
    ResourceType type;
    int32_t id;
    int32_t size;    // cursors and icons: the square size of this entry (16, 32, 48); 0 otherwise
    int32_t width;
    int32_t height;
    int32_t bits;    // 8, 24 or 32 bits a pixel
    int32_t hotX;    // cursors: the hot spot
    int32_t hotY;
};

// The registry of the program's pictures: their ids, sizes and depths, and the only place that knows
// where the compiled-in files are (":/art/<file>"). The art generator writes the files and the Qt
// resource collection under the names given here.
class ResourceTable {
public:
    static std::span<const PictureResource> Pictures();
    // The entry of (type, id), at size for cursors and icons; null when there is none.
    static const PictureResource* Find(ResourceType type, int32_t id, int32_t size = 0);

    // The entry's file name, for example "bitmap-148.png" or "cursor-146-16.png".
    static QString FileName(const PictureResource& picture);
    // Where the compiled-in file is found at run time.
    static QString Path(const PictureResource& picture);
    // The prefix of every compiled-in file in the Qt resource collection.
    static QString CollectionPrefix();
};

} // namespace platform
