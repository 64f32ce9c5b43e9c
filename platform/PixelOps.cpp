#include "platform/PixelOps.h"

#include <cstring>

namespace platform::pixels {

namespace {

constexpr int Blue = 0;
constexpr int Green = 1;
constexpr int Red = 2;

} // namespace

void ApplyMaskRow(uint8_t* pixels, const uint8_t* mask, int32_t count)
{
    for (int32_t i = 0; i < count; ++i, pixels += BytesPerPixel32) {
        const uint8_t m = mask[i];
        pixels[Blue] = MultiplyByAlpha(pixels[Blue], m);
        pixels[Green] = MultiplyByAlpha(pixels[Green], m);
        pixels[Red] = MultiplyByAlpha(pixels[Red], m);
        pixels[AlphaOffset] = m;
    }
}

void PremultiplyRow(uint8_t* target, const uint8_t* source, int sourceBytes, int32_t count)
{
    for (int32_t i = 0; i < count; ++i, target += BytesPerPixel32, source += sourceBytes) {
        const uint8_t a = target[AlphaOffset];
        target[Blue] = MultiplyByAlpha(source[Blue], a);
        target[Green] = MultiplyByAlpha(source[Green], a);
        target[Red] = MultiplyByAlpha(source[Red], a);
    }
}

void XorAlphaIntoRow(uint8_t* bytes, const uint8_t* pixels, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        bytes[i] ^= pixels[i * BytesPerPixel32 + AlphaOffset];
}

void CopyAlphaRow(uint8_t* bytes, const uint8_t* pixels, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        bytes[i] = pixels[i * BytesPerPixel32 + AlphaOffset];
}

void MergeColourAndAlphaRow(uint8_t* target, const uint8_t* colour, const uint8_t* alphaPixels, int32_t count)
{
    for (int32_t i = 0; i < count; ++i, target += BytesPerPixel32, colour += BytesPerPixel24) {
        target[Blue] = colour[Blue];
        target[Green] = colour[Green];
        target[Red] = colour[Red];
        target[AlphaOffset] = alphaPixels[i * BytesPerPixel32 + AlphaOffset];
    }
}

void SetAlphaRow(uint8_t* pixels, uint8_t alpha, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        pixels[i * BytesPerPixel32 + AlphaOffset] = alpha;
}

void CopyRedToAlphaRow(uint8_t* pixels, int32_t count)
{
    for (int32_t i = 0; i < count; ++i, pixels += BytesPerPixel32)
        pixels[AlphaOffset] = pixels[Red];
}

void CopyAlphaToRedRow(uint8_t* pixels, int32_t count)
{
    for (int32_t i = 0; i < count; ++i, pixels += BytesPerPixel32)
        pixels[Red] = pixels[AlphaOffset];
}

void CopyRow(uint8_t* target, int targetBytes, const uint8_t* source, int sourceBytes, int32_t count)
{
    if (targetBytes == sourceBytes) {
        std::memmove(target, source, static_cast<size_t>(count) * static_cast<size_t>(targetBytes));
        return;
    }
    for (int32_t i = 0; i < count; ++i, target += targetBytes, source += sourceBytes) {
        target[Blue] = source[Blue];
        target[Green] = source[Green];
        target[Red] = source[Red];
        if (targetBytes == BytesPerPixel32)
            target[AlphaOffset] = Opaque;
    }
}

void XorRow(uint8_t* target, int targetBytes, const uint8_t* source, int sourceBytes, int32_t count)
{
    for (int32_t i = 0; i < count; ++i, target += targetBytes, source += sourceBytes) {
        target[Blue] ^= source[Blue];
        target[Green] ^= source[Green];
        target[Red] ^= source[Red];
    }
}

void MapRow(uint8_t* target, int targetBytes, const uint8_t* source, int sourceBytes, int32_t count,
            const ColourTables& tables)
{
    for (int32_t i = 0; i < count; ++i, target += targetBytes, source += sourceBytes) {
        target[Blue] = tables.blue[source[Blue]];
        target[Green] = tables.green[source[Green]];
        target[Red] = tables.red[source[Red]];
        if (targetBytes == BytesPerPixel32)
            target[AlphaOffset] = Opaque;
    }
}

void ScaleByAlphaRow(uint8_t* target, const uint8_t* source, int sourceBytes, uint8_t alpha, int32_t count)
{
    for (int32_t i = 0; i < count; ++i, target += BytesPerPixel32, source += sourceBytes) {
        target[Blue] = MultiplyByAlpha(source[Blue], alpha);
        target[Green] = MultiplyByAlpha(source[Green], alpha);
        target[Red] = MultiplyByAlpha(source[Red], alpha);
        target[AlphaOffset] = sourceBytes == BytesPerPixel32 ? MultiplyByAlpha(source[AlphaOffset], alpha) : alpha;
    }
}

void FillRow(uint8_t* target, int targetBytes, QRgb colour, int32_t count)
{
    const uint8_t pixel[BytesPerPixel32] = {static_cast<uint8_t>(qBlue(colour)), static_cast<uint8_t>(qGreen(colour)),
                                            static_cast<uint8_t>(qRed(colour)), Opaque};
    for (int32_t i = 0; i < count; ++i, target += targetBytes)
        std::memcpy(target, pixel, static_cast<size_t>(targetBytes));
}

void MixPixel(uint8_t* pixel, int pixelBytes, QRgb colour, RasterOp op)
{
    const uint8_t b = static_cast<uint8_t>(qBlue(colour));
    const uint8_t g = static_cast<uint8_t>(qGreen(colour));
    const uint8_t r = static_cast<uint8_t>(qRed(colour));
    if (op == RasterOp::XorPen) {
        pixel[Blue] ^= b;
        pixel[Green] ^= g;
        pixel[Red] ^= r;
        return;
    }
    pixel[Blue] = b;
    pixel[Green] = g;
    pixel[Red] = r;
    if (pixelBytes == BytesPerPixel32)
        pixel[AlphaOffset] = Opaque;
}

} // namespace platform::pixels
