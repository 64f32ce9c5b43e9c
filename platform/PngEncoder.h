#pragma once

#include <QByteArray>
#include <QImage>

namespace platform {

// A PNG of 8-bit red, green, blue and alpha for a picture in QImage::Format_ARGB32 (straight colours), made
// for speed: zlib's fastest level, one cheap row filter, and tall pictures cut into strips that worker
// threads compress at once (each strip a deflate stream of its own that ends on a byte boundary, so the
// strips join into one valid zlib stream). Workers allocate nothing: every buffer and zlib state is made
// and freed on the caller's thread, which keeps large blocks out of the C library's per-thread arenas.
// Empty when the picture is of another format, empty or too large for one PNG.
QByteArray EncodePng(const QImage& straight);

} // namespace platform
