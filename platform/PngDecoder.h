#pragma once

#include <QByteArrayView>
#include <QImage>

#include <cstdint>
#include <optional>

namespace platform {

// Decodes a PNG laid out as EncodePng writes it: 8-bit red, green, blue and alpha, not interlaced, the
// header, image data and end chunks only, every CRC right, one zlib stream that holds exactly the
// picture's rows. Such a file decodes here to the QImage::Format_ARGB32 picture Qt's reader gives, pixel
// for pixel, in a quarter to a third of its time: libpng reverses the Paeth filter, which nearly every
// row of a project's pictures uses, a byte at a time, this decoder a pixel at a time; and the strips
// EncodePng writes (PngStrips.h) are inflated at once on worker threads, as they were compressed.
//
// std::nullopt for every other file, damaged ones included, and for a picture of more than maxPixels
// pixels or a side of more than a million (libpng's own bound): the caller decodes those with
// QImageReader, which then answers as it always did.
std::optional<QImage> DecodePlainPng(QByteArrayView png, int64_t maxPixels);

} // namespace platform
