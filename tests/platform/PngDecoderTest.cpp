#include "platform/PngDecoder.h"
#include "platform/PngEncoder.h"
#include "platform/PngStrips.h"
#include "support/TestPictures.h"

#include <QColorSpace>
#include <QtEndian>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

constexpr int64_t AnySize = 64'000'000;

// Every byte different from its neighbours, alpha included.
QImage NoisyPicture(int width, int height, uint32_t seed = 12345u)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    uint32_t state = seed;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = state = state * 1664525u + 1013904223u;
    }
    return picture;
}

// Colours that change slowly under a soft round mask: rows whose best filters differ.
QImage SmoothPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int dx = x - width / 2;
            const int dy = y - height / 2;
            const int alpha = std::clamp(255 - (dx * dx + dy * dy) * 255 / (width * width / 4 + 1), 0, 255);
            picture.setPixel(x, y, qRgba(x * 255 / width, y * 255 / height, (x * y) % 256, alpha));
        }
    }
    return picture;
}

// What Qt's reader, and the decoder, make of the bytes; both must agree wherever the decoder answers.
void ExpectSameAsQt(const QByteArray& png, const std::string& name)
{
    const std::optional<QImage> decoded = platform::DecodePlainPng(png, AnySize);
    ASSERT_TRUE(decoded) << name;
    const QImage qt = DecodedPicture(png, "PNG");
    ASSERT_FALSE(qt.isNull()) << name;
    EXPECT_EQ(decoded->format(), qt.format()) << name;
    EXPECT_EQ(*decoded, qt) << name;
    EXPECT_EQ(decoded->colorSpace(), qt.colorSpace()) << name;
    EXPECT_EQ(decoded->dotsPerMeterX(), qt.dotsPerMeterX()) << name;
    EXPECT_TRUE(decoded->textKeys().isEmpty()) << name;
}

TEST(PngDecoder, TheEncodersFilesDecodeAsInQt)
{
    const struct {
        const char* name;
        QImage picture;
    } cases[] = {
        {"one pixel", NoisyPicture(1, 1)},
        {"odd width", NoisyPicture(3, 2)},
        {"one strip", NoisyPicture(257, 5)},
        {"several strips", NoisyPicture(1024, 768)},
        {"tall and narrow", NoisyPicture(5, 20000)},
        {"smooth", SmoothPicture(640, 480)},
        {"smooth, narrow", SmoothPicture(7, 300)},
    };
    for (const auto& [name, picture] : cases) {
        const QByteArray png = platform::EncodePng(picture);
        ExpectSameAsQt(png, name);
        EXPECT_EQ(platform::DecodePlainPng(png, AnySize)->convertToFormat(QImage::Format_ARGB32), picture) << name;
    }
}

// A chunk: length, type, data and the CRC of type and data.
QByteArray Chunk(const char* type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<uint32_t>(static_cast<uint32_t>(data.size()), chunk.data());
    chunk += QByteArray(type, 4) + data;
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(chunk.constData() + 4), uInt(4 + data.size()));
    QByteArray tail(4, '\0');
    qToBigEndian<uint32_t>(static_cast<uint32_t>(crc), tail.data());
    return chunk + tail;
}

QByteArray Header(uint32_t width, uint32_t height, uint8_t depth = 8, uint8_t colourType = 6, uint8_t interlace = 0)
{
    QByteArray data(13, '\0');
    qToBigEndian<uint32_t>(width, data.data());
    qToBigEndian<uint32_t>(height, data.data() + 4);
    data[8] = static_cast<char>(depth);
    data[9] = static_cast<char>(colourType);
    data[12] = static_cast<char>(interlace);
    return Chunk("IHDR", data);
}

QByteArray Zlib(const QByteArray& raw)
{
    QByteArray out(static_cast<qsizetype>(compressBound(raw.size())), '\0');
    uLongf size = out.size();
    EXPECT_EQ(compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
                       raw.size()),
              Z_OK);
    out.resize(static_cast<qsizetype>(size));
    return out;
}

const QByteArray Signature("\x89PNG\r\n\x1a\n", 8);

// A file of 8-bit red, green, blue and alpha whose rows (each its filter byte and 4 * width bytes) are raw.
QByteArray PlainPng(uint32_t width, uint32_t height, const QByteArray& raw)
{
    return Signature + Header(width, height) + Chunk("IDAT", Zlib(raw)) + Chunk("IEND", {});
}

// Rows of noise, each given the filter filterOf(row) (bytes above 4 are no filter).
QByteArray FilteredRows(int width, int height, const std::function<uint8_t(int)>& filterOf)
{
    QByteArray raw;
    uint32_t state = 777u;
    for (int y = 0; y < height; ++y) {
        raw += static_cast<char>(filterOf(y));
        for (int i = 0; i < 4 * width; ++i) {
            state = state * 1664525u + 1013904223u;
            raw += static_cast<char>(state >> 24);
        }
    }
    return raw;
}

// Each filter reversed on its own and after every other, the first row's included (which has nothing above),
// and Paeth's ties decided.
TEST(PngDecoder, EveryFilterDecodesAsInQt)
{
    for (const int width : {1, 2, 3, 4, 5, 17, 64}) {
        for (uint8_t filter = 0; filter <= 4; ++filter) {
            const std::string name = "width " + std::to_string(width) + ", filter " + std::to_string(filter);
            ExpectSameAsQt(PlainPng(width, 6, FilteredRows(width, 6, [=](int) { return filter; })), name);
        }
        ExpectSameAsQt(PlainPng(width, 25, FilteredRows(width, 25, [](int y) { return uint8_t(y % 5); })),
                       "width " + std::to_string(width) + ", every filter in turn");
    }
    // Small residuals keep Paeth's three predictions close, so that its ties are decided.
    QByteArray ties;
    for (int y = 0; y < 40; ++y) {
        ties += '\x04';
        for (int x = 0; x < 40; ++x)
            for (int channel = 0; channel < 4; ++channel)
                ties += static_cast<char>((x * y + channel) % 3);
    }
    ExpectSameAsQt(PlainPng(40, 40, ties), "Paeth's ties");
}

// What the decoder leaves to Qt's reader: any other layout, any other chunk, and any damage.
TEST(PngDecoder, EveryOtherFileIsLeftToQt)
{
    const QByteArray rows = FilteredRows(8, 4, [](int y) { return uint8_t(y % 5); });
    const QByteArray good = PlainPng(8, 4, rows);
    ASSERT_TRUE(platform::DecodePlainPng(good, AnySize));
    const QByteArray end = Chunk("IEND", {});
    const QByteArray data = Chunk("IDAT", Zlib(rows));
    QByteArray badCrc = good;
    badCrc[Signature.size() + 33 + 10] = static_cast<char>(badCrc[Signature.size() + 33 + 10] ^ 1);  // in IDAT
    QByteArray badHeaderCrc = good;
    badHeaderCrc[Signature.size() + 21] = static_cast<char>(badHeaderCrc[Signature.size() + 21] ^ 1);
    QByteArray badFilter = rows;
    badFilter[0] = 5;
    const struct {
        const char* name;
        QByteArray png;
    } cases[] = {
        {"no signature", good.mid(8)},
        {"colours without alpha", Signature + Header(8, 4, 8, 2) + data + end},
        {"16 bits", Signature + Header(8, 4, 16) + data + end},
        {"interlaced", Signature + Header(8, 4, 8, 6, 1) + data + end},
        {"a text chunk", Signature + Header(8, 4) + Chunk("tEXt", QByteArray("Title\0x", 7)) + data + end},
        {"a gamma chunk", Signature + Header(8, 4) + Chunk("gAMA", QByteArray("\0\0\xb1\x8f", 4)) + data + end},
        {"a chunk after the data", Signature + Header(8, 4) + data + Chunk("tIME", QByteArray(7, '\1')) + end},
        {"a wrong CRC in the data", badCrc},
        {"a wrong CRC in the header", badHeaderCrc},
        {"no end chunk", Signature + Header(8, 4) + data},
        {"bytes after the end", good + "x"},
        {"no data", Signature + Header(8, 4) + end},
        {"a row missing", PlainPng(8, 4, rows.left(rows.size() - 33))},
        {"a row too many", PlainPng(8, 3, rows)},
        {"a byte too many", PlainPng(8, 4, rows + "x")},
        {"a byte missing", PlainPng(8, 4, rows.chopped(1))},
        {"a filter that is none of the five", PlainPng(8, 4, badFilter)},
        {"data after the stream", Signature + Header(8, 4) + Chunk("IDAT", Zlib(rows) + "xy") + end},
        {"a stream cut short", Signature + Header(8, 4) + Chunk("IDAT", Zlib(rows).chopped(4)) + end},
        {"a side beyond libpng's bound", Signature + Header(1'000'001, 1) + data + end},
        {"no pixels", Signature + Header(0, 4) + data + end},
    };
    for (const auto& [name, png] : cases)
        EXPECT_FALSE(platform::DecodePlainPng(png, AnySize)) << name;
    EXPECT_FALSE(platform::DecodePlainPng(good, 31)) << "more pixels than allowed";
    EXPECT_TRUE(platform::DecodePlainPng(good, 32));
}

// Rows of noise that repeat every period rows (deflate then reaches back a period for them).
QByteArray RepeatingRows(int width, int height, int period)
{
    const QByteArray distinct = FilteredRows(width, period, [](int y) { return uint8_t(y % 5); });
    QByteArray raw;
    for (int y = 0; y < height; ++y)
        raw += distinct.mid(static_cast<qsizetype>(y % period) * (1 + 4 * width), 1 + 4 * width);
    return raw;
}

QByteArray Deflated(z_stream& stream, const QByteArray& in, int flush)
{
    QByteArray out(static_cast<qsizetype>(deflateBound(&stream, in.size()) + 64), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_NE(deflate(&stream, flush), Z_STREAM_ERROR);
    EXPECT_EQ(stream.avail_in, 0u);
    out.resize(out.size() - stream.avail_out);
    return out;
}

// The image data cut at the rows given, each piece in an IDAT chunk of its own: as one zlib stream
// flushed at each cut (later pieces may reach back into earlier ones), or as the encoder writes strips,
// a deflate stream for each piece that knows nothing of the others (its check value XORed with
// damageToCheck).
QByteArray CutPng(int width, int height, const QByteArray& raw, const std::vector<int>& cuts, bool streamPerPiece,
                  uint32_t damageToCheck = 0)
{
    const qsizetype rowBytes = 1 + 4 * qsizetype(width);
    QByteArray png = Signature + Header(width, height);
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 6, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    for (size_t i = 0; i <= cuts.size(); ++i) {
        const int first = i == 0 ? 0 : cuts[i - 1];
        const int end = i == cuts.size() ? height : cuts[i];
        const QByteArray rows = raw.mid(first * rowBytes, (end - first) * rowBytes);
        const bool last = i == cuts.size();
        QByteArray piece;
        if (streamPerPiece) {
            z_stream own{};
            EXPECT_EQ(deflateInit2(&own, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
            piece = (i == 0 ? QByteArray("\x78\x9c", 2) : QByteArray()) + Deflated(own, rows, last ? Z_FINISH : Z_SYNC_FLUSH);
            deflateEnd(&own);
            if (last) {
                QByteArray adler(4, '\0');
                qToBigEndian<uint32_t>(static_cast<uint32_t>(adler32(1L, reinterpret_cast<const Bytef*>(raw.constData()),
                                                                     static_cast<uInt>(raw.size())))
                                           ^ damageToCheck,
                                       adler.data());
                piece += adler;
            }
        } else {
            piece = Deflated(stream, rows, last ? Z_FINISH : Z_SYNC_FLUSH);
        }
        png += Chunk("IDAT", piece);
    }
    deflateEnd(&stream);
    return png + Chunk("IEND", {});
}

// The encoder's strips are inflated at once; a file cut in as many chunks any other way, or in chunks of
// any size, decodes the same.
TEST(PngDecoder, FilesCutLikeTheEncodersStripsDecodeAsInQt)
{
    constexpr int Width = 256;
    constexpr int Height = 1024;
    const size_t strips = platform::PngStripCount(1 + 4 * Width, Height);
    ASSERT_GE(strips, 3u);
    std::vector<int> stripCuts;
    std::vector<int> otherCuts;
    for (size_t i = 1; i < strips; ++i) {
        stripCuts.push_back(static_cast<int>(platform::PngStripFirstRow(Height, strips, i)));
        otherCuts.push_back(stripCuts.back() + 3);
    }
    const QByteArray noise = FilteredRows(Width, Height, [](int y) { return uint8_t(y % 5); });
    const QByteArray repeating = RepeatingRows(Width, Height, 8);
    ExpectSameAsQt(CutPng(Width, Height, noise, stripCuts, true), "a stream a strip");
    ExpectSameAsQt(CutPng(Width, Height, repeating, stripCuts, true), "a stream a strip, rows repeating");
    ExpectSameAsQt(CutPng(Width, Height, repeating, stripCuts, false), "one stream flushed where strips end");
    ExpectSameAsQt(CutPng(Width, Height, noise, otherCuts, true), "a stream for each of other rows");
    ExpectSameAsQt(CutPng(Width, Height, noise, otherCuts, false), "one stream flushed at other rows");
    // A damaged check value is found in the strips as in one stream.
    EXPECT_FALSE(platform::DecodePlainPng(CutPng(Width, Height, noise, stripCuts, true, 1), AnySize));

    // One stream cut into as many chunks anywhere.
    const QByteArray stream = Zlib(noise);
    QByteArray png = Signature + Header(Width, Height);
    for (size_t i = 0; i < strips; ++i)
        png += Chunk("IDAT", stream.mid(stream.size() * qsizetype(i) / qsizetype(strips),
                                        stream.size() * qsizetype(i + 1) / qsizetype(strips) -
                                            stream.size() * qsizetype(i) / qsizetype(strips)));
    ExpectSameAsQt(png + Chunk("IEND", {}), "one stream cut anywhere");

    // Chunks of any size, empty ones included.
    png = Signature + Header(Width, Height);
    for (qsizetype at = 0; at < stream.size(); at += 7)
        png += Chunk("IDAT", stream.mid(at, 7)) + Chunk("IDAT", {});
    ExpectSameAsQt(png + Chunk("IEND", {}), "chunks of 7 bytes");
}

} // namespace
