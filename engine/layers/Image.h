#pragma once

#include "platform/Rect.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace platform {
class DeviceContext;
}

// The first argument of Image::Draw.
inline constexpr int32_t ImageDrawCopy = 0;        // block transfer
inline constexpr int32_t ImageDrawAlphaBlend = 1;  // source over, constant and per-pixel alpha
inline constexpr int32_t ImageDrawInvert = 2;      // block transfer, XOR
inline constexpr int32_t ImageDrawStretch = 3;     // through the world transform, halftone, colour adjustment

// A holder of pixels (24 or 32 bits a pixel) or of a metafile. An empty image has all four size fields 0.
// The eleven virtual operations keep this order; the base answers "nothing" where a kind has no use
// for an operation.
class Image {
public:
    Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    virtual ~Image();
    virtual bool Create(int32_t width, int32_t height, int32_t bitsPerPixel, bool alpha);
    virtual bool Load(const QString& path, bool scaleUp) = 0;
    virtual void Clear() = 0;
    // A new image that the caller owns; nothing when it cannot be made.
    virtual std::unique_ptr<Image> Clone(int32_t bitsPerPixel, bool alpha);
    virtual void ApplyMask(const uint8_t* mask, int32_t maskStride, int32_t x, int32_t y, int32_t maskX, int32_t maskY,
                           int32_t columns, int32_t rows);
    virtual void PremultiplyFrom(Image& source, const Rect& rect);
    virtual platform::DeviceContext* GetDC();
    virtual void ReleaseDC();
    virtual uint8_t* GetBits();
    virtual void Draw(int32_t mode, platform::DeviceContext& dc, int32_t x, int32_t y, int32_t srcX, int32_t srcY,
                      int32_t w, int32_t h, uint8_t alpha) = 0;

    int32_t width = 0;
    int32_t height = 0;
    // Bytes from one row to the row below it; rows are padded to 4 bytes.
    int32_t pitch = 0;
    int32_t bitsPerPixel = 0;
    // 1 while the pixels are accessed directly (between GetDC and ReleaseDC, and in the mask helpers).
    uint8_t busy = 0;
};
