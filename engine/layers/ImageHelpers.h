#pragma once

#include "platform/Rect.h"

#include <cstdint>

class Image;
namespace platform {
class DeviceContext;
}

// The part of a block of columns x rows pixels at (x, y) that lies on the image, relative to the block:
// its first column and row and how many of each. Empty (zero columns or rows) when nothing does.
struct BlockPart {
    int32_t column = 0;
    int32_t row = 0;
    int32_t columns = 0;
    int32_t rows = 0;
};
BlockPart VisiblePart(const Image& image, int32_t x, int32_t y, int32_t columns, int32_t rows);

// target (32 bits): colour from colourImage (24 bits), alpha from alphaImage (32 bits), over the target's
// size. False, and nothing written, when the depths differ from those or a source is smaller.
bool MergeColourAndAlpha(Image& alphaImage, Image& colourImage, Image& target);

// The byte-mask helpers work on the alpha of a 32-bit image (rectangles inclusive) and keep the image
// marked busy while they run. Pixels outside the image are left out.
//   buffer[y * image width + x] ^= alpha (x, y) over rect.
void XorMaskWithAlpha(uint8_t* buffer, const Rect& rect, Image& image);
//   block[i * columns + j] ^= alpha (x + j, y + i).
void XorMaskWithAlphaBlock(int32_t rows, uint8_t* block, Image& image, int32_t x, int32_t y, int32_t columns);
//   buffer[(bufY + i) * stride + bufX + j] = alpha (imgX + j, imgY + i).
void CopyAlphaToBuffer(int32_t stride, uint8_t* buffer, int32_t columns, Image& image, int32_t bufX, int32_t bufY,
                       int32_t imgX, int32_t imgY, int32_t rows);
// The alpha of outer, leaving out inner (which lies within outer), into buffer at the same coordinates.
void CopyAlphaOutsideRect(const Rect& outer, Image& image, uint8_t* buffer, int32_t stride, const Rect& inner);

// Fills left, top to right, bottom (right and bottom exclusive) with the context's background colour.
void FillRectWithBkColor(int32_t left, int32_t top, int32_t right, int32_t bottom, platform::DeviceContext& dc);
