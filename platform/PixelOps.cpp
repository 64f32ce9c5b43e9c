#include "platform/PixelOps.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

namespace platform::pixels {

namespace {

constexpr int Blue = 0;
constexpr int Green = 1;
constexpr int Red = 2;

inline void ApplyMaskPixel(uint8_t* pixel, uint8_t m)
{
    pixel[Blue] = MultiplyByAlpha(pixel[Blue], m);
    pixel[Green] = MultiplyByAlpha(pixel[Green], m);
    pixel[Red] = MultiplyByAlpha(pixel[Red], m);
    pixel[AlphaOffset] = m;
}

inline void PremultiplyPixel(uint8_t* target, const uint8_t* source)
{
    const uint8_t a = target[AlphaOffset];
    target[Blue] = MultiplyByAlpha(source[Blue], a);
    target[Green] = MultiplyByAlpha(source[Green], a);
    target[Red] = MultiplyByAlpha(source[Red], a);
}

#if defined(__SSE2__)
// How far ahead of the pixel at hand SplitStraightRow asks for the picture's bytes.
constexpr uintptr_t SplitPrefetchAhead = 2048;

// Four pixels at a time in 16-bit lanes, with MultiplyByAlpha's exact rounding:
// t = c x a, ((t >> 8) + t + 128) >> 8, which stays below 65536 in every lane.
constexpr int32_t Batch = 4;

inline __m128i MultiplyLanes(__m128i colour, __m128i alpha)
{
    const __m128i t = _mm_mullo_epi16(colour, alpha);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), _mm_set1_epi16(128)), 8);
}

// colour's four pixels times the four alphas in the alpha bytes of alphaPixels; the result's alpha bytes
// are those of alphaPixels.
inline __m128i MultiplyByAlphaBytes(__m128i colour, __m128i alphaPixels)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaLow = _mm_unpacklo_epi8(alphaPixels, zero);
    const __m128i alphaHigh = _mm_unpackhi_epi8(alphaPixels, zero);
    const __m128i spreadLow = _mm_shufflehi_epi16(_mm_shufflelo_epi16(alphaLow, _MM_SHUFFLE(3, 3, 3, 3)),
                                                  _MM_SHUFFLE(3, 3, 3, 3));
    const __m128i spreadHigh = _mm_shufflehi_epi16(_mm_shufflelo_epi16(alphaHigh, _MM_SHUFFLE(3, 3, 3, 3)),
                                                   _MM_SHUFFLE(3, 3, 3, 3));
    const __m128i low = MultiplyLanes(_mm_unpacklo_epi8(colour, zero), spreadLow);
    const __m128i high = MultiplyLanes(_mm_unpackhi_epi8(colour, zero), spreadHigh);
    const __m128i alphaBytes = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    return _mm_or_si128(_mm_andnot_si128(alphaBytes, _mm_packus_epi16(low, high)), _mm_and_si128(alphaPixels, alphaBytes));
}
#endif

} // namespace

int PixelBytes(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_BGR888:
        return BytesPerPixel24;
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_ARGB32:
    case QImage::Format_RGB32:
        return BytesPerPixel32;
    default:
        return 0;
    }
}

void ApplyMaskRow(uint8_t* pixels, const uint8_t* mask, int32_t count)
{
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + Batch <= count; i += Batch) {
        uint32_t masks;
        std::memcpy(&masks, mask + i, sizeof masks);
        // Each mask byte moved into its pixel's alpha byte.
        __m128i spread = _mm_cvtsi32_si128(static_cast<int>(masks));
        spread = _mm_unpacklo_epi8(spread, spread);
        spread = _mm_unpacklo_epi16(spread, spread);
        uint8_t* at = pixels + static_cast<ptrdiff_t>(i) * BytesPerPixel32;
        const __m128i colour = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), MultiplyByAlphaBytes(colour, spread));
    }
#endif
    for (; i < count; ++i)
        ApplyMaskPixel(pixels + static_cast<ptrdiff_t>(i) * BytesPerPixel32, mask[i]);
}

void PremultiplyRow(uint8_t* target, const uint8_t* source, int sourceBytes, int32_t count)
{
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + Batch <= count; i += Batch) {
        uint8_t* at = target + static_cast<ptrdiff_t>(i) * BytesPerPixel32;
        const uint8_t* from = source + static_cast<ptrdiff_t>(i) * sourceBytes;
        __m128i colour;
        if (sourceBytes == BytesPerPixel32) {
            colour = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        } else {
            const auto word = [from](int j) {
                const uint8_t* p = from + j * BytesPerPixel24;
                return static_cast<int>(p[Blue] | p[Green] << 8 | p[Red] << 16);
            };
            colour = _mm_set_epi32(word(3), word(2), word(1), word(0));
        }
        const __m128i pixelsNow = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), MultiplyByAlphaBytes(colour, pixelsNow));
    }
#endif
    for (; i < count; ++i)
        PremultiplyPixel(target + static_cast<ptrdiff_t>(i) * BytesPerPixel32, source + static_cast<ptrdiff_t>(i) * sourceBytes);
}

void SplitStraightRow(uint8_t* pixels, uint8_t* colours, int32_t count)
{
    int32_t i = 0;
#if defined(__SSE2__)
    // Each pixel's colour goes out as 4 bytes whose last one the next pixel's colour overwrites, so the
    // batches stop short of the last pixel, which the loop below writes as 3 bytes.
    for (; i + Batch < count; i += Batch) {
        uint8_t* at = pixels + static_cast<ptrdiff_t>(i) * BytesPerPixel32;
        uint8_t* to = colours + static_cast<ptrdiff_t>(i) * BytesPerPixel24;
        // A decoded picture does not fit the cache; asking for its bytes ahead keeps the pass from
        // waiting on memory at each line (see bench_wizard's project open). A hint never faults, also
        // past the end of the picture, so the address is formed as a number.
        _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(at) + SplitPrefetchAhead),
                     _MM_HINT_T0);
        const __m128i straight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        for (int j = 0; j < Batch; ++j)
            std::memcpy(to + j * BytesPerPixel24, at + j * BytesPerPixel32, BytesPerPixel32);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), MultiplyByAlphaBytes(straight, straight));
    }
#endif
    for (; i < count; ++i) {
        uint8_t* at = pixels + static_cast<ptrdiff_t>(i) * BytesPerPixel32;
        std::memcpy(colours + static_cast<ptrdiff_t>(i) * BytesPerPixel24, at, BytesPerPixel24);
        PremultiplyPixel(at, at);
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

void RgbaFromColourAndAlphaRow(uint8_t* rgba, const uint8_t* colour, const uint8_t* alphaPixels, int32_t count)
{
    for (int32_t i = 0; i < count; ++i, rgba += BytesPerPixel32, colour += BytesPerPixel24) {
        rgba[0] = colour[Red];
        rgba[1] = colour[Green];
        rgba[2] = colour[Blue];
        rgba[3] = alphaPixels[i * BytesPerPixel32 + AlphaOffset];
    }
}

void SetAlphaRow(uint8_t* pixels, uint8_t alpha, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        pixels[i * BytesPerPixel32 + AlphaOffset] = alpha;
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

void CopyAlphaToRedRow(uint8_t* pixels, int32_t count)
{
    for (int32_t i = 0; i < count; ++i, pixels += BytesPerPixel32)
        pixels[Red] = pixels[AlphaOffset];
}

void CopyRedToAlphaRow(uint8_t* pixels, int32_t count)
{
    for (int32_t i = 0; i < count; ++i, pixels += BytesPerPixel32)
        pixels[AlphaOffset] = pixels[Red];
}

bool IsZeroRow(const uint8_t* bytes, int32_t count)
{
    uint8_t any = 0;
    for (int32_t i = 0; i < count; ++i)
        any |= bytes[i];
    return any == 0;
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
