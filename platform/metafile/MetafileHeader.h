#pragma once

#include "platform/Rect.h"

#include <cstdint>

namespace platform {

// What the player needs of a metafile's header record.
struct MetafileHeader {
    Rect bounds;                  // device units of the reference device, inclusive
    Rect frame;                   // 0.01 mm, inclusive
    int32_t devicePixelsX = 0;    // the reference device's size in pixels ...
    int32_t devicePixelsY = 0;
    int32_t deviceMillimetresX = 0; // ... and in millimetres
    int32_t deviceMillimetresY = 0;
    uint16_t handleCount = 0;     // slots of the object table; slot 0 is never used
};

} // namespace platform
