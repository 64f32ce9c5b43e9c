#include "platform/PngDecoder.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

namespace {

constexpr std::array<uint8_t, 8> Signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t HeaderBytes = 13;
constexpr size_t ChunkOverhead = 12;  // length, type and CRC
constexpr uint8_t BitDepth = 8;
constexpr uint8_t ColourTypeRgba = 6;
constexpr size_t BytesPerPixel = 4;
constexpr uint32_t MaxSide = 1'000'000;  // libpng's default bound on either side
enum Filter : uint8_t { FilterNone, FilterSub, FilterUp, FilterAverage, FilterPaeth, FilterCount };

uint32_t ReadU32(const uint8_t* bytes)
{
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | uint32_t{bytes[3]};
}

// The CRC of a chunk whose length field is at chunk: of its type and data, compared with the one after them.
bool CrcMatches(const uint8_t* chunk, uint32_t length)
{
    const uint8_t* type = chunk + 4;
    const uLong crc = crc32(crc32(0L, type, 4), type + 4, length);
    return crc == ReadU32(type + 4 + length);
}

// PNG's bytes red, green, blue, alpha as ARGB32's in memory: blue, green, red, alpha.
void SwapRedAndBlue(uint8_t* target, const uint8_t* rgba, size_t pixels)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i greenAlpha = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
    const __m128i low = _mm_set1_epi32(0xFF);
    for (; i + 4 <= pixels; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rgba + i * BytesPerPixel));
        const __m128i red = _mm_slli_epi32(_mm_and_si128(v, low), 16);
        const __m128i blue = _mm_and_si128(_mm_srli_epi32(v, 16), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i * BytesPerPixel),
                         _mm_or_si128(_mm_and_si128(v, greenAlpha), _mm_or_si128(red, blue)));
    }
#endif
    for (; i < pixels; ++i) {
        const uint8_t* from = rgba + i * BytesPerPixel;
        uint8_t* to = target + i * BytesPerPixel;
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
        to[3] = from[3];
    }
}

// The filters reversed in place over a row of whole pixels, left to right: a byte's left neighbour is
// the same channel of the pixel before, already reversed; above is the row above, already reversed, or
// null for the first row (whose row above counts as zeros). Each channel is filtered on its own, so the
// order of the channels in a pixel does not matter.
#if defined(__SSE2__)
inline __m128i LoadPixel(const uint8_t* p)
{
    int32_t v;
    std::memcpy(&v, p, sizeof v);
    return _mm_cvtsi32_si128(v);
}

inline void StorePixel(uint8_t* p, __m128i v)
{
    const int32_t bytes = _mm_cvtsi128_si32(v);
    std::memcpy(p, &bytes, sizeof bytes);
}

inline __m128i Abs16(__m128i x)
{
    return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x));
}

void ReverseSub(uint8_t* row, size_t bytes)
{
    __m128i left = _mm_setzero_si128();
    for (size_t i = 0; i < bytes; i += BytesPerPixel) {
        left = _mm_add_epi8(LoadPixel(row + i), left);
        StorePixel(row + i, left);
    }
}

void ReverseUp(uint8_t* row, const uint8_t* above, size_t bytes)
{
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        const __m128i sum = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)),
                                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), sum);
    }
    for (; i < bytes; ++i)
        row[i] = static_cast<uint8_t>(row[i] + above[i]);
}

void ReverseAverage(uint8_t* row, const uint8_t* above, size_t bytes)
{
    const __m128i one = _mm_set1_epi8(1);
    __m128i left = _mm_setzero_si128();
    for (size_t i = 0; i < bytes; i += BytesPerPixel) {
        const __m128i up = LoadPixel(above + i);
        // (left + up) / 2 rounded down: the rounded-up mean less the bit that rounding added.
        const __m128i mean = _mm_sub_epi8(_mm_avg_epu8(left, up), _mm_and_si128(_mm_xor_si128(left, up), one));
        left = _mm_add_epi8(LoadPixel(row + i), mean);
        StorePixel(row + i, left);
    }
}

// Of left a, above b and upper left c, the one nearest to a + b - c, ties to a, then b; four channels
// at once in 16-bit lanes.
void ReversePaeth(uint8_t* row, const uint8_t* above, size_t bytes)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lowByte = _mm_set1_epi16(0xFF);
    __m128i a = zero;
    __m128i c = zero;
    for (size_t i = 0; i < bytes; i += BytesPerPixel) {
        const __m128i b = _mm_unpacklo_epi8(LoadPixel(above + i), zero);
        const __m128i filtered = _mm_unpacklo_epi8(LoadPixel(row + i), zero);
        const __m128i towardsB = _mm_sub_epi16(b, c);  // p - a
        const __m128i towardsA = _mm_sub_epi16(a, c);  // p - b
        const __m128i pc = Abs16(_mm_add_epi16(towardsB, towardsA));
        const __m128i pa = Abs16(towardsB);
        const __m128i pb = Abs16(towardsA);
        const __m128i takeC = _mm_cmpgt_epi16(pb, pc);
        const __m128i bOrC = _mm_or_si128(_mm_and_si128(takeC, c), _mm_andnot_si128(takeC, b));
        const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
        const __m128i predicted = _mm_or_si128(_mm_and_si128(notA, bOrC), _mm_andnot_si128(notA, a));
        a = _mm_and_si128(_mm_add_epi16(filtered, predicted), lowByte);
        StorePixel(row + i, _mm_packus_epi16(a, a));
        c = b;
    }
}
#else
void ReverseSub(uint8_t* row, size_t bytes)
{
    for (size_t i = BytesPerPixel; i < bytes; ++i)
        row[i] = static_cast<uint8_t>(row[i] + row[i - BytesPerPixel]);
}

void ReverseUp(uint8_t* row, const uint8_t* above, size_t bytes)
{
    for (size_t i = 0; i < bytes; ++i)
        row[i] = static_cast<uint8_t>(row[i] + above[i]);
}

void ReverseAverage(uint8_t* row, const uint8_t* above, size_t bytes)
{
    for (size_t i = 0; i < bytes; ++i) {
        const int left = i >= BytesPerPixel ? row[i - BytesPerPixel] : 0;
        row[i] = static_cast<uint8_t>(row[i] + ((left + above[i]) >> 1));
    }
}

void ReversePaeth(uint8_t* row, const uint8_t* above, size_t bytes)
{
    for (size_t i = 0; i < bytes; ++i) {
        const int a = i >= BytesPerPixel ? row[i - BytesPerPixel] : 0;
        const int b = above[i];
        const int c = i >= BytesPerPixel ? above[i - BytesPerPixel] : 0;
        const int pa = std::abs(b - c);
        const int pb = std::abs(a - c);
        const int pc = std::abs(a + b - 2 * c);
        const int predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        row[i] = static_cast<uint8_t>(row[i] + predicted);
    }
}
#endif

void ReverseFilter(uint8_t type, uint8_t* row, const uint8_t* above, size_t bytes)
{
    // With no row above, Up leaves the row as it is, and Paeth predicts from the left as Sub does.
    switch (type) {
    case FilterSub:
        ReverseSub(row, bytes);
        break;
    case FilterUp:
        if (above)
            ReverseUp(row, above, bytes);
        break;
    case FilterAverage:
        if (above) {
            ReverseAverage(row, above, bytes);
        } else {
            for (size_t i = BytesPerPixel; i < bytes; ++i)
                row[i] = static_cast<uint8_t>(row[i] + (row[i - BytesPerPixel] >> 1));
        }
        break;
    case FilterPaeth:
        if (above)
            ReversePaeth(row, above, bytes);
        else
            ReverseSub(row, bytes);
        break;
    default:
        break;
    }
}

// The image data's rows inflated one at a time into a buffer of one filtered row, reversed into the picture.
class RowInflater {
public:
    explicit RowInflater(QImage& picture)
        : m_picture(picture), m_rowBytes(static_cast<size_t>(picture.width()) * BytesPerPixel),
          m_filtered(m_rowBytes + 1)
    {
        m_ready = inflateInit(&m_stream) == Z_OK;
        StartRow();
    }
    ~RowInflater()
    {
        if (m_ready)
            inflateEnd(&m_stream);
    }
    RowInflater(const RowInflater&) = delete;
    RowInflater& operator=(const RowInflater&) = delete;

    // One IDAT chunk's data; false when the stream is damaged, holds more than the picture's rows, or
    // goes on after its end.
    bool Feed(const uint8_t* data, uint32_t size)
    {
        if (!m_ready || (m_ended && size > 0))
            return false;
        m_stream.next_in = const_cast<Bytef*>(data);
        m_stream.avail_in = size;
        while (m_stream.avail_in > 0) {
            // A long match may fill rows from what inflate holds without taking any input.
            const uLong inBefore = m_stream.total_in;
            const uLong outBefore = m_stream.total_out;
            const int result = inflate(&m_stream, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END)
                return false;
            if (m_stream.avail_out == 0 && !FinishRow())
                return false;
            if (result == Z_STREAM_END) {
                m_ended = true;
                return m_stream.avail_in == 0;
            }
            if (m_stream.total_in == inBefore && m_stream.total_out == outBefore)
                return false;
        }
        return true;
    }

    // Whether the stream ended, its check value right, right after the picture's last row.
    bool Complete() const
    {
        return m_ended && m_row == m_picture.height() && m_stream.avail_out == m_filtered.size();
    }

private:
    void StartRow()
    {
        m_stream.next_out = m_filtered.data();
        m_stream.avail_out = static_cast<uInt>(m_filtered.size());
    }

    bool FinishRow()
    {
        const uint8_t type = m_filtered[0];
        if (m_row >= m_picture.height() || type >= FilterCount)
            return false;
        uint8_t* row = m_picture.scanLine(m_row);
        SwapRedAndBlue(row, m_filtered.data() + 1, m_rowBytes / BytesPerPixel);
        ReverseFilter(type, row, m_row > 0 ? m_picture.constScanLine(m_row - 1) : nullptr, m_rowBytes);
        ++m_row;
        StartRow();
        return true;
    }

    QImage& m_picture;
    size_t m_rowBytes;
    std::vector<uint8_t> m_filtered;
    z_stream m_stream{};
    bool m_ready = false;
    bool m_ended = false;
    int m_row = 0;
};

} // namespace

std::optional<QImage> DecodePlainPng(QByteArrayView png, int64_t maxPixels)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(png.data());
    const size_t size = static_cast<size_t>(png.size());
    if (size < Signature.size() + ChunkOverhead + HeaderBytes ||
        std::memcmp(bytes, Signature.data(), Signature.size()) != 0)
        return std::nullopt;

    // The header: first, of its own size, with a layout this decoder reads.
    const uint8_t* header = bytes + Signature.size();
    if (ReadU32(header) != HeaderBytes || std::memcmp(header + 4, "IHDR", 4) != 0 ||
        !CrcMatches(header, HeaderBytes))
        return std::nullopt;
    const uint8_t* fields = header + 8;
    const uint32_t width = ReadU32(fields);
    const uint32_t height = ReadU32(fields + 4);
    if (width == 0 || height == 0 || width > MaxSide || height > MaxSide ||
        int64_t{width} * int64_t{height} > maxPixels || fields[8] != BitDepth || fields[9] != ColourTypeRgba ||
        fields[10] != 0 || fields[11] != 0 || fields[12] != 0)
        return std::nullopt;

    QImage picture(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
    if (picture.isNull())
        return std::nullopt;
    RowInflater rows(picture);
    // Image data chunks, then the end chunk, which closes the file; nothing else.
    for (size_t at = Signature.size() + ChunkOverhead + HeaderBytes; size - at >= ChunkOverhead;) {
        const uint8_t* chunk = bytes + at;
        const uint32_t length = ReadU32(chunk);
        if (length > size - at - ChunkOverhead || !CrcMatches(chunk, length))
            return std::nullopt;
        if (std::memcmp(chunk + 4, "IEND", 4) == 0) {
            if (length != 0 || at + ChunkOverhead != size || !rows.Complete())
                return std::nullopt;
            return picture;
        }
        if (std::memcmp(chunk + 4, "IDAT", 4) != 0 || !rows.Feed(chunk + 8, length))
            return std::nullopt;
        at += ChunkOverhead + length;
    }
    return std::nullopt;
}

} // namespace platform
