#include "platform/PngEncoder.h"
#include "platform/PngEncoderWorkers.h"
#include "platform/PngStrips.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <thread>
#include <vector>

namespace platform {

namespace {

constexpr std::array<uint8_t, 8> Signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t BitDepth = 8;
constexpr uint8_t ColourTypeRgba = 6;
constexpr size_t BytesPerPixel = 4;
// PNG's row filters, by their type byte.
enum Filter : uint8_t { FilterNone, FilterSub, FilterUp, FilterAverage, FilterPaeth, FilterCount };
// zlib's level 6 with the strategy for filtered data (short matches, which cost more than they save on
// noise, are left as literals), and a search cut short at 32 candidates but allowed to run to the longest
// match (which smooth pictures need); a strip that looks like a photograph is coded byte by byte alone
// (Huffman only), as small and far faster. Files come within a tenth of libpng's at its default settings.
// The choice depends on the pixels alone, so a picture gives the same bytes anywhere.
constexpr int CompressionLevel = 6;
constexpr int CompressionStrategy = Z_FILTERED;
constexpr int GoodLength = 8;
constexpr int MaxLazy = 32;
constexpr int NiceLength = 258;
constexpr int MaxChain = 32;
constexpr int SampleStep = 16;
// Smooth pictures leave 0.2 to 0.4 per byte, photographs 1.2 and up (a camera's noise 1.5 to 2.5).
constexpr uint64_t PhotoResidual = 1;
// A zlib stream's head for deflate with a 32 KiB window at the default level (its check bits included).
constexpr std::array<uint8_t, 2> ZlibHead{0x78, 0x9C};
constexpr int RawDeflateWindowBits = -15;
constexpr int DefaultMemLevel = 8;
constexpr int64_t MaxChunkBytes = 0x7FFFFFFF;
// What a sync flush adds after the data (an empty stored block and the bits before it), beyond deflateBound.
constexpr size_t SyncFlushBytes = 16;
constexpr size_t AdlerBytes = 4;

std::thread StartThread(std::function<void()> work)
{
    return std::thread(std::move(work));
}

PngWorkerStarter g_startWorker = StartThread;

void AppendU32(QByteArray& out, uint32_t value)
{
    const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    out.append(bytes, 4);
}

uLong Crc(uLong crc, const void* data, size_t size)
{
    // zlib answers a null buffer with the CRC's initial value
    return size == 0 ? crc : crc32(crc, static_cast<const Bytef*>(data), static_cast<uInt>(size));
}

// One chunk whose data and CRC (of type and data) are known: its length, type, data and CRC.
void AppendChunk(QByteArray& out, const char* type, const uint8_t* data, size_t size, uLong crc)
{
    AppendU32(out, static_cast<uint32_t>(size));
    out.append(type, 4);
    out.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    AppendU32(out, static_cast<uint32_t>(crc));
}

void AppendChunk(QByteArray& out, const char* type, const uint8_t* data, size_t size)
{
    AppendChunk(out, type, data, size, Crc(crc32(0L, reinterpret_cast<const Bytef*>(type), 4), data, size));
}

// The predictor of PNG's Paeth filter, without branches: of left, above and upper left, the one nearest
// to left + above - upper left, ties to left, then above.
inline int Paeth(int a, int b, int c)
{
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    const int bc = pb <= pc ? b : c;
    return pa <= pb && pa <= pc ? a : bc;
}

inline uint32_t SignedSize(uint8_t filtered)
{
    return static_cast<uint32_t>(std::abs(static_cast<int>(static_cast<int8_t>(filtered))));
}

// The row filtered each way into candidates[type] (its type byte, then the row), and the type whose
// bytes, taken as signed, sum to the least: libpng's heuristic, which compresses well at little cost.
// That least sum goes to *leastSum when asked for. One plain loop per filter, which the compiler can
// vectorise.
uint8_t FilterRow(const uint8_t* row, const uint8_t* above, size_t rowBytes, uint8_t* const* candidates,
                  uint64_t* leastSum = nullptr)
{
    // At most 128 a byte: a row of up to 2^25 bytes fits (a longer one may pick a poorer filter, never a
    // wrong file).
    std::array<uint32_t, FilterCount> sums{};
    for (uint8_t type = FilterNone; type < FilterCount; ++type)
        candidates[type][0] = type;
    uint8_t* none = candidates[FilterNone] + 1;
    uint8_t* sub = candidates[FilterSub] + 1;
    uint8_t* up = candidates[FilterUp] + 1;
    uint8_t* average = candidates[FilterAverage] + 1;
    uint8_t* paeth = candidates[FilterPaeth] + 1;
    const size_t first = std::min(rowBytes, BytesPerPixel);  // the first pixel has nothing to its left
    for (size_t i = 0; i < rowBytes; ++i) {
        none[i] = row[i];
        sums[FilterNone] += SignedSize(none[i]);
    }
    for (size_t i = 0; i < rowBytes; ++i) {
        up[i] = static_cast<uint8_t>(row[i] - above[i]);
        sums[FilterUp] += SignedSize(up[i]);
    }
    for (size_t i = 0; i < first; ++i) {
        sub[i] = row[i];
        average[i] = static_cast<uint8_t>(row[i] - (above[i] >> 1));
        paeth[i] = static_cast<uint8_t>(row[i] - above[i]);
    }
    for (size_t i = first; i < rowBytes; ++i)
        sub[i] = static_cast<uint8_t>(row[i] - row[i - BytesPerPixel]);
    for (size_t i = first; i < rowBytes; ++i)
        average[i] = static_cast<uint8_t>(row[i] - ((row[i - BytesPerPixel] + above[i]) >> 1));
    for (size_t i = first; i < rowBytes; ++i)
        paeth[i] = static_cast<uint8_t>(row[i] - Paeth(row[i - BytesPerPixel], above[i], above[i - BytesPerPixel]));
    for (size_t i = 0; i < rowBytes; ++i) {
        sums[FilterSub] += SignedSize(sub[i]);
        sums[FilterAverage] += SignedSize(average[i]);
        sums[FilterPaeth] += SignedSize(paeth[i]);
    }
    const auto least = std::min_element(sums.begin(), sums.end());
    if (leastSum)
        *leastSum = *least;
    return static_cast<uint8_t>(least - sums.begin());
}

// A band of rows filtered and compressed on its own: everything it needs is made before its worker starts.
struct Strip {
    int firstRow = 0;
    int rows = 0;
    bool first = false;
    bool last = false;
    z_stream stream{};
    bool streamReady = false;
    std::vector<uint8_t> rowBuffers;  // the row above, this row, and this row filtered each way
    std::vector<uint8_t> out;         // the IDAT chunk's data: for the first strip the zlib head first
    size_t outBytes = 0;
    uLong adler = 1;
    uLong crc = 0;  // of "IDAT" and out
    bool ok = false;
};

// Whether the strip's rows, filtered, leave residuals of a photograph's noise (on average PhotoResidual
// or more per byte, by every SampleStep-th row): matches shorten such data so little that coding its bytes
// alone makes files as small in a fraction of the time.
bool LooksLikeAPhoto(const PngRowSource& source, size_t rowBytes, const Strip& strip, uint8_t* above,
                     uint8_t* current, uint8_t* const* candidates)
{
    uint64_t residuals = 0;
    uint64_t bytes = 0;
    for (int y = strip.firstRow; y < strip.firstRow + strip.rows; y += SampleStep) {
        if (y > 0)
            source(y - 1, above);
        else
            std::memset(above, 0, rowBytes);
        source(y, current);
        uint64_t sum = 0;
        FilterRow(current, above, rowBytes, candidates, &sum);
        residuals += sum;
        bytes += rowBytes;
    }
    return residuals >= PhotoResidual * bytes;
}

void CompressStrip(const PngRowSource& source, int width, Strip& strip)
{
    const size_t rowBytes = static_cast<size_t>(width) * BytesPerPixel;
    uint8_t* above = strip.rowBuffers.data();
    uint8_t* current = above + rowBytes;
    uint8_t* candidates[FilterCount];
    for (size_t type = 0; type < FilterCount; ++type)
        candidates[type] = current + rowBytes + type * (rowBytes + 1);
    if (LooksLikeAPhoto(source, rowBytes, strip, above, current, candidates) &&
        deflateParams(&strip.stream, CompressionLevel, Z_HUFFMAN_ONLY) != Z_OK)
        return;
    if (strip.firstRow > 0)
        source(strip.firstRow - 1, above);
    else
        std::memset(above, 0, rowBytes);
    z_stream& stream = strip.stream;
    const size_t head = strip.first ? ZlibHead.size() : 0;
    std::copy(ZlibHead.begin(), ZlibHead.begin() + static_cast<ptrdiff_t>(head), strip.out.begin());
    stream.next_out = strip.out.data() + head;
    stream.avail_out = static_cast<uInt>(strip.out.size() - head - AdlerBytes);  // room kept for the end
    for (int y = strip.firstRow; y < strip.firstRow + strip.rows; ++y) {
        source(y, current);
        const uint8_t* filtered = candidates[FilterRow(current, above, rowBytes, candidates)];
        strip.adler = adler32(strip.adler, filtered, static_cast<uInt>(rowBytes + 1));
        stream.next_in = const_cast<Bytef*>(filtered);
        stream.avail_in = static_cast<uInt>(rowBytes + 1);
        if (deflate(&stream, Z_NO_FLUSH) != Z_OK || stream.avail_in != 0)
            return;
        std::swap(above, current);
    }
    // The last strip ends the stream; the others end on a byte boundary with the stream still open. A
    // sync flush has finished only when it leaves output space unused.
    if (strip.last ? deflate(&stream, Z_FINISH) != Z_STREAM_END
                   : deflate(&stream, Z_SYNC_FLUSH) != Z_OK || stream.avail_out == 0)
        return;
    strip.outBytes = static_cast<size_t>(stream.next_out - strip.out.data());
    strip.crc = Crc(crc32(0L, reinterpret_cast<const Bytef*>("IDAT"), 4), strip.out.data(), strip.outBytes);
    strip.ok = true;
}

// Runs every strip, the first on the calling thread and the others on workers while they can be had;
// a strip whose worker cannot be started is compressed on the calling thread.
void CompressStrips(const PngRowSource& source, int width, std::vector<Strip>& work)
{
    std::vector<std::thread> workers;
    workers.reserve(work.size() - 1);  // no allocation while a started thread is still to be joined
    for (size_t i = 1; i < work.size(); ++i) {
        Strip& strip = work[i];
        try {
            workers.push_back(g_startWorker([&source, width, &strip] { CompressStrip(source, width, strip); }));
        } catch (const std::exception&) {
            // std::system_error (no thread to be had) or std::bad_alloc (no memory for its state): the
            // workers already started are joined below either way.
            CompressStrip(source, width, strip);
        }
    }
    CompressStrip(source, width, work[0]);
    for (std::thread& worker : workers)
        worker.join();
}

} // namespace

void SetPngWorkerStarter(PngWorkerStarter starter)
{
    g_startWorker = starter ? starter : StartThread;
}

QByteArray EncodePng(int width, int height, const PngRowSource& source)
{
    if (width <= 0 || height <= 0)
        return {};
    const size_t rowBytes = static_cast<size_t>(width) * BytesPerPixel;
    const size_t filteredRowBytes = rowBytes + 1;
    if (filteredRowBytes * height > static_cast<size_t>(MaxChunkBytes))
        return {};

    const size_t strips = PngStripCount(filteredRowBytes, static_cast<size_t>(height));
    std::vector<Strip> work(strips);
    bool ready = true;
    for (size_t i = 0; i < strips; ++i) {
        Strip& strip = work[i];
        strip.firstRow = static_cast<int>(PngStripFirstRow(static_cast<size_t>(height), strips, i));
        strip.rows = static_cast<int>(PngStripFirstRow(static_cast<size_t>(height), strips, i + 1)) - strip.firstRow;
        strip.first = i == 0;
        strip.last = i + 1 == strips;
        strip.rowBuffers.resize(rowBytes * 2 + filteredRowBytes * FilterCount);
        strip.streamReady = deflateInit2(&strip.stream, CompressionLevel, Z_DEFLATED, RawDeflateWindowBits,
                                         DefaultMemLevel, CompressionStrategy) == Z_OK;
        ready = ready && strip.streamReady;
        if (strip.streamReady)
            deflateTune(&strip.stream, GoodLength, MaxLazy, NiceLength, MaxChain);
        if (strip.streamReady) {
            strip.out.resize(ZlibHead.size() + deflateBound(&strip.stream, filteredRowBytes * strip.rows) +
                             SyncFlushBytes + AdlerBytes);
        }
    }
    if (ready)
        CompressStrips(source, width, work);
    for (Strip& strip : work) {
        if (strip.streamReady)
            deflateEnd(&strip.stream);
        ready = ready && strip.ok;
    }
    if (!ready)
        return {};

    // The zlib stream ends with the Adler-32 of all filtered rows, in the last strip's chunk.
    uLong adler = work[0].adler;
    size_t compressed = AdlerBytes;
    for (size_t i = 0; i < strips; ++i) {
        compressed += work[i].outBytes;
        if (i > 0)
            adler = adler32_combine(adler, work[i].adler, static_cast<z_off_t>(filteredRowBytes * work[i].rows));
    }
    if (compressed > static_cast<size_t>(MaxChunkBytes))
        return {};
    Strip& last = work.back();
    for (int shift = 24; shift >= 0; shift -= 8)
        last.out[last.outBytes++] = static_cast<uint8_t>(adler >> shift);
    last.crc = Crc(last.crc, last.out.data() + last.outBytes - AdlerBytes, AdlerBytes);

    std::array<uint8_t, 13> header{};
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<uint8_t>(static_cast<uint32_t>(width) >> (24 - 8 * i));
        header[4 + i] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (24 - 8 * i));
    }
    header[8] = BitDepth;
    header[9] = ColourTypeRgba;  // compression, filter method and interlace stay 0
    QByteArray png;
    png.reserve(static_cast<qsizetype>(Signature.size() + (2 + strips) * 12 + header.size() + compressed));
    png.append(reinterpret_cast<const char*>(Signature.data()), Signature.size());
    AppendChunk(png, "IHDR", header.data(), header.size());
    for (const Strip& strip : work)
        AppendChunk(png, "IDAT", strip.out.data(), strip.outBytes, strip.crc);
    AppendChunk(png, "IEND", nullptr, 0);
    return png;
}

QByteArray EncodePng(const QImage& straight)
{
    if (straight.format() != QImage::Format_ARGB32 || straight.isNull())
        return {};
    const int width = straight.width();
    return EncodePng(width, straight.height(), [&straight, width](int y, uint8_t* rgba) {
        // ARGB32 pixels (0xAARRGGBB words) as the bytes red, green, blue, alpha.
        const auto* pixels = reinterpret_cast<const uint32_t*>(straight.constScanLine(y));
        for (int i = 0; i < width; ++i, rgba += BytesPerPixel) {
            const uint32_t p = pixels[i];
            rgba[0] = static_cast<uint8_t>(p >> 16);
            rgba[1] = static_cast<uint8_t>(p >> 8);
            rgba[2] = static_cast<uint8_t>(p);
            rgba[3] = static_cast<uint8_t>(p >> 24);
        }
    });
}

} // namespace platform
