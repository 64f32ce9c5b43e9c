#include "engine/base/Geometry.h"

#include <algorithm>

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

size_t WideStringBytes(const QString& text)
{
    return (static_cast<size_t>(text.size()) + 1) * 2;
}

size_t SkipWideString(const uint8_t*& cursor, const uint8_t* end)
{
    // Strings in records may start at any offset: read the units byte by byte.
    size_t characters = 0;
    while (end - cursor >= 2) {
        const uint16_t unit = static_cast<uint16_t>(cursor[0] | cursor[1] << 8);
        cursor += 2;
        if (unit == 0)
            return characters;
        ++characters;
    }
    cursor = end;
    return characters;
}
