#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <functional>

namespace platform {

// Writes row y of a picture as 8-bit red, green, blue and alpha (straight colours) into rgba, which holds
// 4 * width bytes. Called on worker threads at once, each with rows and a buffer of its own: it reads its
// pictures only, and allocates nothing.
using PngRowSource = std::function<void(int y, uint8_t* rgba)>;

// A PNG of 8-bit red, green, blue and alpha for a width x height picture whose rows source gives. Tall
// pictures are cut into strips that worker threads filter and compress at once (each strip a deflate
// stream of its own that ends on a byte boundary and goes into an IDAT chunk of its own, so the strips
// join into one zlib stream). Each row gets the filter libpng's heuristic picks (the least sum of the
// filtered bytes taken as signed); a strip that looks like a photograph is then coded byte by byte, any
// other at zlib's level 6 with a shortened search. Workers allocate nothing: every buffer and zlib state
// is made and freed on the caller's thread, which keeps large blocks out of the C library's per-thread
// arenas. Empty when the picture is empty or too large for one PNG.
QByteArray EncodePng(int width, int height, const PngRowSource& source);

// The same for a picture in QImage::Format_ARGB32 (straight colours); empty for any other format.
QByteArray EncodePng(const QImage& straight);

} // namespace platform
