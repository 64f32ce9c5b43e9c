#include "platform/PngDecoder.h"
#include "platform/PngStrips.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <thread>
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

// The picture's rows as the decoder writes them, found on the caller's thread: QImage's own row access
// may not be called from several threads at once.
struct PictureRows {
    uint8_t* bits = nullptr;
    size_t pitch = 0;
    size_t width = 0;
    size_t height = 0;

    size_t RowBytes() const { return width * BytesPerPixel; }
    uint8_t* Row(size_t y) const { return bits + y * pitch; }
    const uint8_t* Above(size_t y) const { return y > 0 ? bits + (y - 1) * pitch : nullptr; }
};

struct Span {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// One inflate call; a call that neither takes input nor gives output counts as an error, so that no
// loop over inflate can run for ever.
int InflateSome(z_stream& stream, int flush)
{
    const uLong inBefore = stream.total_in;
    const uLong outBefore = stream.total_out;
    const int result = inflate(&stream, flush);
    return result == Z_OK && stream.total_in == inBefore && stream.total_out == outBefore ? Z_BUF_ERROR : result;
}

// The image data as one zlib stream, chunk after chunk, each row's filter reversed as soon as it is whole.
bool InflateInOrder(const std::vector<Span>& chunks, const PictureRows& rows)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    std::vector<uint8_t> filtered(rows.RowBytes() + 1);
    stream.next_out = filtered.data();
    stream.avail_out = static_cast<uInt>(filtered.size());
    size_t y = 0;
    int result = Z_OK;
    for (const Span& chunk : chunks) {
        stream.next_in = const_cast<Bytef*>(chunk.data);
        stream.avail_in = static_cast<uInt>(chunk.size);
        // A long match may fill rows from what inflate holds without taking any input.
        while (result == Z_OK && stream.avail_in > 0) {
            result = InflateSome(stream, Z_NO_FLUSH);
            if (stream.avail_out > 0)
                continue;
            const uint8_t type = filtered[0];
            if (y == rows.height || type >= FilterCount) {
                result = Z_DATA_ERROR;
                break;
            }
            SwapRedAndBlue(rows.Row(y), filtered.data() + 1, rows.width);
            ReverseFilter(type, rows.Row(y), rows.Above(y), rows.RowBytes());
            ++y;
            stream.next_out = filtered.data();
            stream.avail_out = static_cast<uInt>(filtered.size());
        }
        // Nothing may follow the stream's end, an empty chunk aside.
        if (result == Z_STREAM_END && stream.avail_in > 0)
            result = Z_DATA_ERROR;
        if (result != Z_OK && result != Z_STREAM_END)
            break;
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END && y == rows.height && stream.avail_out == filtered.size();
}

// The zlib head of a stream that deflate's strips may follow: deflate, a 32 KiB window, no dictionary.
constexpr size_t ZlibHeadBytes = 2;
constexpr size_t AdlerBytes = 4;
constexpr int RawDeflateWindowBits = -15;
// What inflate's data_type reads at the start of a block, with no bits left over and the last block not
// yet begun: where a strip that ends in a flush leaves the stream.
constexpr int AtBlockBoundary = 128;
// An inflate state and its 32 KiB window, with room to spare.
constexpr size_t StripZlibBytes = 64 * 1024;

bool IsStripsHead(const uint8_t* head)
{
    return head[0] == 0x78 && (head[0] * 256 + head[1]) % 31 == 0 && (head[1] & 0x20) == 0;
}

// zlib's memory for one strip, handed out of a block made on the caller's thread, so that the workers
// allocate nothing (as the encoder's do).
struct ZlibBlock {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(StripZlibBytes);
    size_t used = 0;
};

voidpf TakeFromBlock(voidpf opaque, uInt items, uInt size)
{
    auto* block = static_cast<ZlibBlock*>(opaque);
    constexpr size_t Alignment = 16;
    const size_t bytes = (size_t{items} * size + Alignment - 1) / Alignment * Alignment;
    if (bytes > block->bytes.size() - block->used)
        return Z_NULL;
    void* taken = block->bytes.data() + block->used;
    block->used += bytes;
    return taken;
}

void LeaveInBlock(voidpf, voidpf) {}

// A strip as the encoder writes it: its chunk's deflate data (the first's after the zlib head, the
// last's before the check value), inflated on its own.
struct Strip {
    Span data;
    size_t firstRow = 0;
    size_t rows = 0;
    bool last = false;
    ZlibBlock zlib;
    std::vector<uint8_t> filtered;
    uLong adler = 1;
    bool ok = false;
};

// The strip's rows inflated and their colours put in place, each row's filter type kept in types: for a
// strip that is not the last, its data must end where a block does, byte-aligned, before the last block;
// for the last, at the stream's end. A reference to what came before the strip fails the inflate.
void InflateStrip(const PictureRows& rows, uint8_t* types, Strip& strip)
{
    z_stream stream{};
    stream.zalloc = TakeFromBlock;
    stream.zfree = LeaveInBlock;
    stream.opaque = &strip.zlib;
    if (inflateInit2(&stream, RawDeflateWindowBits) != Z_OK)
        return;
    stream.next_in = const_cast<Bytef*>(strip.data.data);
    stream.avail_in = static_cast<uInt>(strip.data.size);
    const size_t rowBytes = rows.RowBytes();
    int result = Z_OK;
    size_t y = strip.firstRow;
    for (; y < strip.firstRow + strip.rows; ++y) {
        stream.next_out = strip.filtered.data();
        stream.avail_out = static_cast<uInt>(rowBytes + 1);
        while (result == Z_OK && stream.avail_out > 0)
            result = InflateSome(stream, Z_NO_FLUSH);
        if (stream.avail_out > 0 || strip.filtered[0] >= FilterCount)
            break;
        types[y] = strip.filtered[0];
        strip.adler = adler32(strip.adler, strip.filtered.data(), static_cast<uInt>(rowBytes + 1));
        SwapRedAndBlue(rows.Row(y), strip.filtered.data() + 1, rows.width);
    }
    if (y == strip.firstRow + strip.rows) {
        uint8_t spare = 0;  // any byte inflated after the rows is one too many
        stream.next_out = &spare;
        stream.avail_out = 1;
        if (strip.last) {
            while (result == Z_OK)
                result = InflateSome(stream, Z_NO_FLUSH);
            strip.ok = result == Z_STREAM_END && stream.avail_in == 0 && stream.avail_out == 1;
        } else {
            while (result == Z_OK && stream.avail_in > 0 && stream.avail_out == 1)
                result = InflateSome(stream, Z_BLOCK);
            strip.ok = result == Z_OK && stream.avail_in == 0 && stream.avail_out == 1 &&
                       stream.data_type == AtBlockBoundary;
        }
    }
    inflateEnd(&stream);
}

// A file laid out in the encoder's strips has its strips inflated at once, each on a worker thread but
// the first, and is checked to give what inflating the stream in order gives: every strip but the last
// ends between blocks on a byte boundary, no strip reaches back into another (zlib refuses a distance
// beyond what a stream has inflated), the check value of all rows is right. The filters are reversed in
// order, strip by strip. False, and the rows left to InflateInOrder, for any other file.
bool InflateStrips(const std::vector<Span>& chunks, const PictureRows& rows)
{
    const size_t strips = PngStripCount(rows.RowBytes() + 1, rows.height);
    if (strips < 2 || chunks.size() != strips || chunks.front().size < ZlibHeadBytes ||
        chunks.back().size < AdlerBytes || !IsStripsHead(chunks.front().data))
        return false;
    std::vector<Strip> work(strips);
    for (size_t i = 0; i < strips; ++i) {
        Strip& strip = work[i];
        strip.data = chunks[i];
        strip.firstRow = PngStripFirstRow(rows.height, strips, i);
        strip.rows = PngStripFirstRow(rows.height, strips, i + 1) - strip.firstRow;
        strip.last = i + 1 == strips;
        strip.filtered.resize(rows.RowBytes() + 1);
    }
    work.front().data.data += ZlibHeadBytes;
    work.front().data.size -= ZlibHeadBytes;
    work.back().data.size -= AdlerBytes;
    std::vector<uint8_t> types(rows.height);

    // Made before the first thread starts: nothing is allocated while a started thread is still to be joined.
    std::vector<std::thread> workers(strips);
    for (size_t i = 1; i < strips; ++i) {
        Strip& strip = work[i];
        try {
            workers[i] = std::thread([&rows, &types, &strip] { InflateStrip(rows, types.data(), strip); });
        } catch (const std::exception&) {
            InflateStrip(rows, types.data(), strip);  // no thread to be had: the caller's turn
        }
    }
    InflateStrip(rows, types.data(), work.front());
    // Each strip's filters reversed while the strips after it may still be inflating; rows reversed from
    // a strip found wrong later are written again by InflateInOrder.
    bool inflated = true;
    uLong adler = 1;
    for (size_t i = 0; i < strips; ++i) {
        if (workers[i].joinable())
            workers[i].join();
        const Strip& strip = work[i];
        inflated = inflated && strip.ok;
        if (!inflated)
            continue;
        adler = adler32_combine(adler, strip.adler, static_cast<z_off_t>(strip.rows * (rows.RowBytes() + 1)));
        for (size_t y = strip.firstRow; y < strip.firstRow + strip.rows; ++y)
            ReverseFilter(types[y], rows.Row(y), rows.Above(y), rows.RowBytes());
    }
    return inflated && adler == ReadU32(chunks.back().data + chunks.back().size - AdlerBytes);
}

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

    // Image data chunks, then the end chunk, which closes the file; nothing else.
    std::vector<Span> chunks;
    bool ended = false;
    for (size_t at = Signature.size() + ChunkOverhead + HeaderBytes; !ended && size - at >= ChunkOverhead;) {
        const uint8_t* chunk = bytes + at;
        const uint32_t length = ReadU32(chunk);
        if (length > size - at - ChunkOverhead || !CrcMatches(chunk, length))
            return std::nullopt;
        if (std::memcmp(chunk + 4, "IEND", 4) == 0) {
            if (length != 0 || at + ChunkOverhead != size)
                return std::nullopt;
            ended = true;
        } else if (std::memcmp(chunk + 4, "IDAT", 4) == 0) {
            chunks.push_back({chunk + 8, length});
        } else {
            return std::nullopt;
        }
        at += ChunkOverhead + length;
    }
    if (!ended || chunks.empty())
        return std::nullopt;

    QImage picture(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
    if (picture.isNull())
        return std::nullopt;
    const PictureRows rows{picture.bits(), static_cast<size_t>(picture.bytesPerLine()), width, height};
    if (InflateStrips(chunks, rows) || InflateInOrder(chunks, rows))
        return picture;
    return std::nullopt;
}

} // namespace platform
