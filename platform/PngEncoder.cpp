#include "platform/PngEncoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

namespace platform {

namespace {

constexpr std::array<uint8_t, 8> Signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t BitDepth = 8;
constexpr uint8_t ColourTypeRgba = 6;
constexpr int BytesPerPixel = 4;
constexpr uint8_t FilterUp = 2;
// A zlib stream's head for deflate with a 32 KiB window at the fastest level (its check bits included).
constexpr std::array<uint8_t, 2> ZlibHead{0x78, 0x01};
constexpr int RawDeflateWindowBits = -15;
constexpr int DefaultMemLevel = 8;
// Below this many filtered bytes a strip is not worth a thread of its own. The number of strips depends
// on the picture alone, so a picture gives the same bytes on every machine.
constexpr size_t MinStripBytes = 256 * 1024;
constexpr size_t MaxStrips = 8;
constexpr int64_t MaxChunkBytes = 0x7FFFFFFF;

void AppendU32(QByteArray& out, uint32_t value)
{
    const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    out.append(bytes, 4);
}

// One chunk: its length, type, data and the CRC of type and data.
void AppendChunk(QByteArray& out, const char* type, const uint8_t* data, size_t size)
{
    AppendU32(out, static_cast<uint32_t>(size));
    out.append(type, 4);
    out.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(type), 4);
    if (size > 0)  // zlib answers a null buffer with the CRC's initial value
        crc = crc32(crc, data, static_cast<uInt>(size));
    AppendU32(out, static_cast<uint32_t>(crc));
}

// ARGB32 pixels (0xAARRGGBB words) as the bytes red, green, blue, alpha.
void ToRgba(const uint32_t* pixels, uint8_t* rgba, int count)
{
    for (int i = 0; i < count; ++i, rgba += BytesPerPixel) {
        const uint32_t p = pixels[i];
        rgba[0] = static_cast<uint8_t>(p >> 16);
        rgba[1] = static_cast<uint8_t>(p >> 8);
        rgba[2] = static_cast<uint8_t>(p);
        rgba[3] = static_cast<uint8_t>(p >> 24);
    }
}

// A band of rows compressed on its own: everything it needs is made before its worker starts.
struct Strip {
    int firstRow = 0;
    int rows = 0;
    bool last = false;
    z_stream stream{};
    bool streamReady = false;
    std::vector<uint8_t> rowBuffers;  // the row above, this row, and this row filtered
    std::vector<uint8_t> out;
    size_t outBytes = 0;
    uLong adler = 1;
    bool ok = false;
};

void CompressStrip(const QImage& picture, Strip& strip)
{
    const int width = picture.width();
    const size_t rowBytes = static_cast<size_t>(width) * BytesPerPixel;
    uint8_t* above = strip.rowBuffers.data();
    uint8_t* current = above + rowBytes;
    uint8_t* filtered = current + rowBytes;  // filter type byte, then the row
    if (strip.firstRow > 0)
        ToRgba(reinterpret_cast<const uint32_t*>(picture.constScanLine(strip.firstRow - 1)), above, width);
    else
        std::memset(above, 0, rowBytes);
    z_stream& stream = strip.stream;
    stream.next_out = strip.out.data();
    stream.avail_out = static_cast<uInt>(strip.out.size());
    filtered[0] = FilterUp;
    for (int y = strip.firstRow; y < strip.firstRow + strip.rows; ++y) {
        ToRgba(reinterpret_cast<const uint32_t*>(picture.constScanLine(y)), current, width);
        // "Up": each byte less the byte above it; cheap, and on photos close to what choosing a filter
        // per row gains.
        for (size_t i = 0; i < rowBytes; ++i)
            filtered[1 + i] = static_cast<uint8_t>(current[i] - above[i]);
        strip.adler = adler32(strip.adler, filtered, static_cast<uInt>(rowBytes + 1));
        stream.next_in = filtered;
        stream.avail_in = static_cast<uInt>(rowBytes + 1);
        if (deflate(&stream, Z_NO_FLUSH) != Z_OK || stream.avail_in != 0)
            return;
        std::swap(above, current);
    }
    // The last strip ends the stream; the others end on a byte boundary with the stream still open.
    const int flush = strip.last ? Z_FINISH : Z_SYNC_FLUSH;
    const int done = strip.last ? Z_STREAM_END : Z_OK;
    if (deflate(&stream, flush) != done)
        return;
    strip.outBytes = strip.out.size() - stream.avail_out;
    strip.ok = true;
}

} // namespace

QByteArray EncodePng(const QImage& straight)
{
    if (straight.format() != QImage::Format_ARGB32 || straight.isNull())
        return {};
    const int width = straight.width();
    const int height = straight.height();
    const size_t rowBytes = static_cast<size_t>(width) * BytesPerPixel;
    const size_t filteredRowBytes = rowBytes + 1;
    if (filteredRowBytes * height > static_cast<size_t>(MaxChunkBytes))
        return {};

    const size_t strips =
        std::clamp<size_t>(filteredRowBytes * height / MinStripBytes, 1, std::min<size_t>(MaxStrips, height));
    std::vector<Strip> work(strips);
    bool ready = true;
    for (size_t i = 0; i < strips; ++i) {
        Strip& strip = work[i];
        strip.firstRow = static_cast<int>(height * i / strips);
        strip.rows = static_cast<int>(height * (i + 1) / strips) - strip.firstRow;
        strip.last = i + 1 == strips;
        strip.rowBuffers.resize(rowBytes * 2 + filteredRowBytes);
        strip.streamReady = deflateInit2(&strip.stream, Z_BEST_SPEED, Z_DEFLATED, RawDeflateWindowBits,
                                         DefaultMemLevel, Z_DEFAULT_STRATEGY) == Z_OK;
        ready = ready && strip.streamReady;
        if (strip.streamReady) {
            // Room for the worst case plus the empty block a sync flush ends with.
            strip.out.resize(deflateBound(&strip.stream, filteredRowBytes * strip.rows) + 16);
        }
    }
    if (ready) {
        std::vector<std::thread> workers;
        workers.reserve(strips - 1);  // no allocation while a started thread is still to be joined
        for (size_t i = 1; i < strips; ++i) {
            try {
                workers.emplace_back(CompressStrip, std::cref(straight), std::ref(work[i]));
            } catch (const std::system_error&) {
                CompressStrip(straight, work[i]);  // no thread to be had: the strip is compressed here
            }
        }
        CompressStrip(straight, work[0]);
        for (std::thread& worker : workers)
            worker.join();
    }
    for (Strip& strip : work) {
        if (strip.streamReady)
            deflateEnd(&strip.stream);
        ready = ready && strip.ok;
    }
    if (!ready)
        return {};

    // One zlib stream: its head, the strips' deflate data in order, and the Adler-32 of all filtered rows.
    uLong adler = work[0].adler;
    size_t compressed = ZlibHead.size() + 4;
    for (size_t i = 0; i < strips; ++i) {
        compressed += work[i].outBytes;
        if (i > 0)
            adler = adler32_combine(adler, work[i].adler, static_cast<z_off_t>(filteredRowBytes * work[i].rows));
    }
    if (compressed > static_cast<size_t>(MaxChunkBytes))
        return {};
    std::vector<uint8_t> idat;
    idat.reserve(compressed);
    idat.insert(idat.end(), ZlibHead.begin(), ZlibHead.end());
    for (const Strip& strip : work)
        idat.insert(idat.end(), strip.out.begin(), strip.out.begin() + static_cast<ptrdiff_t>(strip.outBytes));
    for (int shift = 24; shift >= 0; shift -= 8)
        idat.push_back(static_cast<uint8_t>(adler >> shift));

    std::array<uint8_t, 13> header{};
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<uint8_t>(static_cast<uint32_t>(width) >> (24 - 8 * i));
        header[4 + i] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (24 - 8 * i));
    }
    header[8] = BitDepth;
    header[9] = ColourTypeRgba;  // compression, filter method and interlace stay 0
    QByteArray png;
    png.reserve(static_cast<qsizetype>(Signature.size() + 3 * 12 + header.size() + idat.size()));
    png.append(reinterpret_cast<const char*>(Signature.data()), Signature.size());
    AppendChunk(png, "IHDR", header.data(), header.size());
    AppendChunk(png, "IDAT", idat.data(), idat.size());
    AppendChunk(png, "IEND", nullptr, 0);
    return png;
}

} // namespace platform
