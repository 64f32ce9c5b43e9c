#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <array>
#include <cstdint>
#include <memory>

namespace platform {

// A picture-drawing record (the block transfers and stretches), decoded. The bitmap is decoded once
// when the file loads and shared by every play.
struct MetafileBlit {
    // How the destination is given: a rectangle in logical units (Stretch), a corner in logical units
    // with the source's size in device pixels (Unscaled: SETDIBITSTODEVICE), or a parallelogram of
    // three corners in logical units (Parallelogram: PLGBLT).
    enum class Shape : uint8_t { Stretch, Unscaled, Parallelogram };

    Shape shape = Shape::Stretch;
    QPoint destination;                    // top-left corner, logical units
    QPoint destinationExtent;              // width and height, logical units; negative mirrors
    std::array<QPoint, 3> corners{};       // Parallelogram: top-left, top-right, bottom-left
    QRectF source;                         // in the bitmap's pixels, top row 0; negative extents mirror
    uint8_t rop = 0;                       // ternary raster operation index (MASKBLT: where the mask is 1)
    uint8_t backgroundRop = 0;             // MASKBLT: where the mask is 0 (PLGBLT: the destination stays)
    std::shared_ptr<const QImage> image;   // null for a pattern or constant fill
    // MASKBLT and PLGBLT with a mask: its 1 and its 0 pixels, in the bitmap's pixels.
    bool masked = false;
    QRegion maskSet;
    QRegion maskClear;
    uint8_t constantAlpha = 255;           // ALPHABLEND's source constant alpha
    uint64_t pixels = 0;                   // pixels decoded for this record
};

} // namespace platform
