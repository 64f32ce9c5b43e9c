#include "engine/layers/ImageHelpers.h"

#include "engine/layers/Image.h"
#include "engine/layers/ImageBusy.h"
#include "platform/DeviceContext.h"
#include "platform/PixelOps.h"

#include <algorithm>

namespace {

constexpr int32_t ColourBits = 24;
constexpr int32_t AlphaBits = 32;

bool HasPixels(Image& image, int32_t bitsPerPixel)
{
    return image.bitsPerPixel == bitsPerPixel && image.GetBits() != nullptr;
}

uint8_t* PixelAt(Image& image, int32_t x, int32_t y)
{
    return image.GetBits() + static_cast<ptrdiff_t>(y) * image.pitch + static_cast<ptrdiff_t>(x) * (image.bitsPerPixel / 8);
}

bool IsEmpty(const Rect& rect)
{
    return rect.right < rect.left || rect.bottom < rect.top;
}

} // namespace

BlockPart VisiblePart(const Image& image, int32_t x, int32_t y, int32_t columns, int32_t rows)
{
    BlockPart part;
    part.column = std::max(0, -x);
    part.row = std::max(0, -y);
    part.columns = std::max(0, std::min(columns, image.width - x) - part.column);
    part.rows = std::max(0, std::min(rows, image.height - y) - part.row);
    return part;
}

bool MergeColourAndAlpha(Image& alphaImage, Image& colourImage, Image& target)
{
    if (!HasPixels(alphaImage, AlphaBits) || !HasPixels(colourImage, ColourBits) || !HasPixels(target, AlphaBits))
        return false;
    if (alphaImage.width < target.width || alphaImage.height < target.height || colourImage.width < target.width ||
        colourImage.height < target.height)
        return false;
    const ImageBusy busy(target);
    for (int32_t y = 0; y < target.height; ++y) {
        platform::pixels::MergeColourAndAlphaRow(PixelAt(target, 0, y), PixelAt(colourImage, 0, y),
                                                 PixelAt(alphaImage, 0, y), target.width);
    }
    return true;
}

void XorMaskWithAlpha(uint8_t* buffer, const Rect& rect, Image& image)
{
    if (!HasPixels(image, AlphaBits) || IsEmpty(rect))
        return;
    const BlockPart part = VisiblePart(image, rect.left, rect.top, rect.right - rect.left + 1, rect.bottom - rect.top + 1);
    const ImageBusy busy(image);
    for (int32_t i = part.row; i < part.row + part.rows; ++i) {
        const int32_t x = rect.left + part.column;
        const int32_t y = rect.top + i;
        platform::pixels::XorAlphaIntoRow(buffer + static_cast<ptrdiff_t>(y) * image.width + x, PixelAt(image, x, y),
                                          part.columns);
    }
}

void XorMaskWithAlphaBlock(int32_t rows, uint8_t* block, Image& image, int32_t x, int32_t y, int32_t columns)
{
    if (!HasPixels(image, AlphaBits))
        return;
    const BlockPart part = VisiblePart(image, x, y, columns, rows);
    const ImageBusy busy(image);
    for (int32_t i = part.row; i < part.row + part.rows; ++i) {
        platform::pixels::XorAlphaIntoRow(block + static_cast<ptrdiff_t>(i) * columns + part.column,
                                          PixelAt(image, x + part.column, y + i), part.columns);
    }
}

void CopyAlphaToBuffer(int32_t stride, uint8_t* buffer, int32_t columns, Image& image, int32_t bufX, int32_t bufY,
                       int32_t imgX, int32_t imgY, int32_t rows)
{
    if (!HasPixels(image, AlphaBits))
        return;
    const BlockPart part = VisiblePart(image, imgX, imgY, columns, rows);
    const ImageBusy busy(image);
    for (int32_t i = part.row; i < part.row + part.rows; ++i) {
        platform::pixels::CopyAlphaRow(buffer + static_cast<ptrdiff_t>(bufY + i) * stride + bufX + part.column,
                                       PixelAt(image, imgX + part.column, imgY + i), part.columns);
    }
}

void CopyAlphaOutsideRect(const Rect& outer, Image& image, uint8_t* buffer, int32_t stride, const Rect& inner)
{
    if (IsEmpty(outer))
        return;
    const auto copy = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
        if (right >= left && bottom >= top)
            CopyAlphaToBuffer(stride, buffer, right - left + 1, image, left, top, left, top, bottom - top + 1);
    };
    if (IsEmpty(inner)) {
        copy(outer.left, outer.top, outer.right, outer.bottom);
        return;
    }
    copy(outer.left, outer.top, outer.right, inner.top - 1);
    copy(outer.left, inner.bottom + 1, outer.right, outer.bottom);
    copy(outer.left, inner.top, inner.left - 1, inner.bottom);
    copy(inner.right + 1, inner.top, outer.right, inner.bottom);
}

void FillRectWithBkColor(int32_t left, int32_t top, int32_t right, int32_t bottom, platform::DeviceContext& dc)
{
    dc.FillRect(QRect(left, top, right - left, bottom - top), dc.State().backgroundColour);
}
