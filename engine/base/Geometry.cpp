#include "engine/base/Geometry.h"

#include <algorithm>
#include <cstring>

namespace {
int32_t ClampEdge(int32_t value, int32_t low, int32_t high)
{
    return std::min(std::max(value, low), high);
}
} // namespace

Rect& ClampRect(Rect& rect, const Rect& bounds)
{
    rect.left = ClampEdge(rect.left, bounds.left, bounds.right);
    rect.right = ClampEdge(rect.right, bounds.left, bounds.right);
    rect.top = ClampEdge(rect.top, bounds.top, bounds.bottom);
    rect.bottom = ClampEdge(rect.bottom, bounds.top, bounds.bottom);
    return rect;
}

size_t WideStringBytes(const char16_t* text)
{
    if (text == nullptr)
        return 2;
    size_t length = 0;
    while (text[length] != 0)
        ++length;
    return (length + 1) * 2;
}

void SkipWideString(const uint8_t*& cursor)
{
    // Records may place strings at any even or odd offset: read the units byte by byte.
    size_t units = 0;
    for (;;) {
        char16_t unit;
        std::memcpy(&unit, cursor + units * 2, sizeof unit);
        ++units;
        if (unit == 0)
            break;
    }
    cursor += units * 2;
}
