#pragma once

#include <algorithm>
#include <cstddef>

namespace platform {

// How many strips EncodePng cuts a picture into, each a deflate stream of its own in an IDAT chunk of its
// own: one per 256 KiB of filtered rows, at most 8 and at most one a row. It depends on the picture's size
// alone, so a picture gives the same bytes on every machine, and DecodePlainPng knows which files may be
// laid out so. Strip i holds rows height * i / strips up to height * (i + 1) / strips.
inline constexpr size_t MinPngStripBytes = 256 * 1024;
inline constexpr size_t MaxPngStrips = 8;

inline size_t PngStripCount(size_t filteredRowBytes, size_t height)
{
    return std::clamp<size_t>(filteredRowBytes * height / MinPngStripBytes, 1, std::min(MaxPngStrips, height));
}

inline size_t PngStripFirstRow(size_t height, size_t strips, size_t strip)
{
    return height * strip / strips;
}

} // namespace platform
