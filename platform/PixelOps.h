#pragma once

#include "platform/ColourAdjustment.h"
#include "platform/DrawTypes.h"

#include <QPoint>
#include <QRgb>
#include <cstdint>
#include <cstdlib>

// Every pixel loop of the program that Qt does not do for us. Pixels are 3 bytes (blue, green, red) or
// 4 bytes (blue, green, red, alpha; colours premultiplied by the alpha); each function works on one row.
namespace platform::pixels {

inline constexpr int BytesPerPixel24 = 3;
inline constexpr int BytesPerPixel32 = 4;
inline constexpr int AlphaOffset = 3;
inline constexpr uint8_t Opaque = 255;

// c * a / 255 rounded to the nearest integer, in integers: t = c * a, ((t >> 8) + t + 128) >> 8.
// With a = 255 it gives c back, with a = 0 it gives 0.
constexpr uint8_t MultiplyByAlpha(unsigned c, unsigned a)
{
    const unsigned t = c * a;
    return static_cast<uint8_t>(((t >> 8) + t + 128) >> 8);
}

// 4-byte pixels: colour := colour x mask, alpha := mask.
void ApplyMaskRow(uint8_t* pixels, const uint8_t* mask, int32_t count);
// target 4-byte pixels: colour := source colour x target alpha; the alpha stays. source may be target.
void PremultiplyRow(uint8_t* target, const uint8_t* source, int sourceBytes, int32_t count);
// bytes[i] ^= alpha of pixel i (4-byte pixels).
void XorAlphaIntoRow(uint8_t* bytes, const uint8_t* pixels, int32_t count);
// bytes[i] := alpha of pixel i (4-byte pixels).
void CopyAlphaRow(uint8_t* bytes, const uint8_t* pixels, int32_t count);
// target 4-byte pixels: colour from a 3-byte pixel, alpha from the alpha of a 4-byte pixel.
void MergeColourAndAlphaRow(uint8_t* target, const uint8_t* colour, const uint8_t* alphaPixels, int32_t count);
void SetAlphaRow(uint8_t* pixels, uint8_t alpha, int32_t count);
// alpha := the red byte, and the red byte := alpha: the brush keeps its mask in the red channel.
void CopyRedToAlphaRow(uint8_t* pixels, int32_t count);
void CopyAlphaToRedRow(uint8_t* pixels, int32_t count);

// Block transfers between pixels of either size. A 4-byte target takes alpha 255 from a 3-byte source
// (a copy) or keeps its own alpha (an invert, which XORs the colour bytes only).
void CopyRow(uint8_t* target, int targetBytes, const uint8_t* source, int sourceBytes, int32_t count);
void XorRow(uint8_t* target, int targetBytes, const uint8_t* source, int sourceBytes, int32_t count);
// A copy that sends each colour byte through the channel's table.
void MapRow(uint8_t* target, int targetBytes, const uint8_t* source, int sourceBytes, int32_t count,
            const ColourTables& tables);
// 4-byte target := source x alpha / 255 in every byte; a 3-byte source counts as opaque (its alpha
// becomes alpha itself). This is a constant alpha applied ahead of a source-over blend.
void ScaleByAlphaRow(uint8_t* target, const uint8_t* source, int sourceBytes, uint8_t alpha, int32_t count);
// Opaque colour; a 4-byte target gets alpha 255.
void FillRow(uint8_t* target, int targetBytes, QRgb colour, int32_t count);
// One pixel of a pen: copy or XOR the colour bytes; a 4-byte pixel keeps its alpha under XOR and gets
// 255 under copy.
void MixPixel(uint8_t* pixel, int pixelBytes, QRgb colour, RasterOp op);

// Visits the pixels of the segment from -> to in order, leaving out the end pixel, so that the segments
// of a polyline meet without drawing their shared points twice. Bresenham's walk along the major axis.
template <class Plot>
void WalkLine(QPoint from, QPoint to, Plot&& plot)
{
    const int dx = std::abs(to.x() - from.x());
    const int dy = std::abs(to.y() - from.y());
    const int sx = to.x() > from.x() ? 1 : -1;
    const int sy = to.y() > from.y() ? 1 : -1;
    const bool xMajor = dx >= dy;
    const int major = xMajor ? dx : dy;
    const int minor = xMajor ? dy : dx;
    int x = from.x();
    int y = from.y();
    int error = major / 2;
    for (int step = 0; step < major; ++step) {
        plot(x, y);
        error -= minor;
        if (error < 0) {
            error += major;
            if (xMajor)
                y += sy;
            else
                x += sx;
        }
        if (xMajor)
            x += sx;
        else
            y += sy;
    }
}

} // namespace platform::pixels
