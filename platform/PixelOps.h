#pragma once

#include "platform/ColourAdjustment.h"
#include "platform/DrawTypes.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <algorithm>
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

// 3 or 4 for the two layouts (and the other 4-byte ones with the same byte order), 0 for any other.
int PixelBytes(const QImage& image);

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
// 4-byte straight pixels: their colours are copied to the 3-byte colours, then each pixel's colour is
// premultiplied by its alpha in place (the alpha stays). One pass where a copy and PremultiplyRow take two.
void SplitStraightRow(uint8_t* pixels, uint8_t* colours, int32_t count);
// bytes[i] ^= alpha of pixel i (4-byte pixels).
void XorAlphaIntoRow(uint8_t* bytes, const uint8_t* pixels, int32_t count);
// bytes[i] := alpha of pixel i (4-byte pixels).
void CopyAlphaRow(uint8_t* bytes, const uint8_t* pixels, int32_t count);
// target 4-byte pixels: colour from a 3-byte pixel, alpha from the alpha of a 4-byte pixel.
void MergeColourAndAlphaRow(uint8_t* target, const uint8_t* colour, const uint8_t* alphaPixels, int32_t count);
// rgba (bytes red, green, blue, alpha): colour from a 3-byte pixel, alpha from the alpha of a 4-byte pixel.
void RgbaFromColourAndAlphaRow(uint8_t* rgba, const uint8_t* colour, const uint8_t* alphaPixels, int32_t count);
void SetAlphaRow(uint8_t* pixels, uint8_t alpha, int32_t count);
// 4-byte pixels: the red byte := the alpha byte, or the alpha byte := the red byte. The brush keeps a
// mask in the red bytes while it blends its stamps, and takes the red bytes back as the mask.
void CopyAlphaToRedRow(uint8_t* pixels, int32_t count);
void CopyRedToAlphaRow(uint8_t* pixels, int32_t count);
// Whether all count bytes are 0 (a mask delta that changes nothing).
bool IsZeroRow(const uint8_t* bytes, int32_t count);

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
// of a polyline meet without drawing their shared points twice: Bresenham's walk along the major axis.
// Only the steps whose major-axis coordinate lies within bounds are visited (no other step can land on
// the picture), so a segment reaching far outside costs no more than one across the picture; the walk
// starts at the first such step in the state the whole walk would have there. plot(x, y, step) gets the
// step's index along the segment; the result is the number of steps of the whole segment.
template <class Plot>
int64_t WalkLine(QPoint from, QPoint to, const QRect& bounds, Plot&& plot)
{
    const int64_t dx = std::abs(int64_t{to.x()} - from.x());
    const int64_t dy = std::abs(int64_t{to.y()} - from.y());
    const bool xMajor = dx >= dy;
    const int64_t major = xMajor ? dx : dy;
    const int64_t minor = xMajor ? dy : dx;
    const int64_t majorStep = (xMajor ? to.x() > from.x() : to.y() > from.y()) ? 1 : -1;
    const int64_t minorStep = (xMajor ? to.y() > from.y() : to.x() > from.x()) ? 1 : -1;
    const int64_t majorStart = xMajor ? from.x() : from.y();
    const int64_t minorStart = xMajor ? from.y() : from.x();
    const int64_t low = xMajor ? bounds.left() : bounds.top();
    const int64_t high = xMajor ? bounds.right() : bounds.bottom();
    const int64_t first = std::max<int64_t>(0, majorStep > 0 ? low - majorStart : majorStart - high);
    const int64_t last = std::min<int64_t>(major - 1, majorStep > 0 ? high - majorStart : majorStart - low);
    if (first > last)
        return major;
    // After k steps the minor coordinate has advanced n times, n the least with major / 2 - k minor +
    // n major >= 0; the error term is that sum. Both products stay below 2^64.
    const uint64_t halfMajor = static_cast<uint64_t>(major) / 2;
    const uint64_t travelled = static_cast<uint64_t>(first) * static_cast<uint64_t>(minor);
    const uint64_t advances = travelled > halfMajor ? (travelled - halfMajor + major - 1) / major : 0;
    int64_t error = static_cast<int64_t>(halfMajor + advances * major - travelled);
    int64_t majorAt = majorStart + first * majorStep;
    int64_t minorAt = minorStart + static_cast<int64_t>(advances) * minorStep;
    for (int64_t step = first; step <= last; ++step) {
        if (xMajor)
            plot(static_cast<int>(majorAt), static_cast<int>(minorAt), step);
        else
            plot(static_cast<int>(minorAt), static_cast<int>(majorAt), step);
        error -= minor;
        if (error < 0) {
            error += major;
            minorAt += minorStep;
        }
        majorAt += majorStep;
    }
    return major;
}

} // namespace platform::pixels
