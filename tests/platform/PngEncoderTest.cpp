#include "platform/PngEncoder.h"
#include "support/TestPictures.h"

#include <QtEndian>
#include <cstdint>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

// Every pixel different from its neighbours, alpha included (also 0, whose colours must survive too).
QImage NoisyPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    uint32_t state = 12345u;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = state;
        }
    }
    return picture;
}

struct Chunk {
    QByteArray type;
    QByteArray data;
    bool crcMatches = false;
};

// The chunks after the signature, read as a reader that knows nothing of the encoder reads them.
std::vector<Chunk> Chunks(const QByteArray& png)
{
    std::vector<Chunk> chunks;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto length = static_cast<qsizetype>(qFromBigEndian<uint32_t>(png.constData() + at));
        if (at + 12 + length > png.size())
            break;
        Chunk chunk{png.mid(at + 4, 4), png.mid(at + 8, length)};
        const QByteArray covered = png.mid(at + 4, 4 + length);
        const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(covered.constData()), static_cast<uInt>(covered.size()));
        chunk.crcMatches = crc == qFromBigEndian<uint32_t>(png.constData() + at + 8 + length);
        chunks.push_back(chunk);
        at += 12 + length;
    }
    return chunks;
}

// The image data inflated by zlib itself (header and Adler-32 checked); empty when it is not one stream.
QByteArray Inflated(const QByteArray& zlibStream, qsizetype expected)
{
    QByteArray out(expected + 1, '\0');
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(zlibStream.constData()),
                   static_cast<uLong>(zlibStream.size())) != Z_OK)
        return {};
    out.resize(static_cast<qsizetype>(size));
    return out;
}

struct PictureCase {
    const char* name;
    int width;
    int height;
};

class PngEncoderPictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PngEncoderPictures, DecodesToTheSamePixelsInQtAndIsWellFormedForAnyReader)
{
    const QImage picture = NoisyPicture(GetParam().width, GetParam().height);
    const QByteArray png = platform::EncodePng(picture);
    ASSERT_TRUE(png.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)));

    const QImage decoded = DecodedPicture(png, "PNG");
    ASSERT_EQ(decoded.size(), picture.size());
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_ARGB32), picture);

    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    for (const Chunk& chunk : chunks)
        EXPECT_TRUE(chunk.crcMatches) << chunk.type.constData();
    // Width, height, 8 bits, red-green-blue-alpha, deflate, adaptive filtering, not interlaced.
    const QByteArray header = chunks[0].data;
    ASSERT_EQ(header.size(), 13);
    EXPECT_EQ(qFromBigEndian<uint32_t>(header.constData()), static_cast<uint32_t>(picture.width()));
    EXPECT_EQ(qFromBigEndian<uint32_t>(header.constData() + 4), static_cast<uint32_t>(picture.height()));
    EXPECT_EQ(header.mid(8), QByteArray("\x08\x06\x00\x00\x00", 5));
    // One filter byte and four bytes a pixel for every row, in a single zlib stream.
    const qsizetype rows = static_cast<qsizetype>(picture.height()) * (1 + 4 * picture.width());
    EXPECT_EQ(Inflated(chunks[1].data, rows).size(), rows);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PngEncoderPictures,
                         ::testing::Values(PictureCase{"OnePixel", 1, 1}, PictureCase{"OddWidth", 3, 2},
                                           PictureCase{"OneStrip", 257, 5},
                                           // several strips, compressed on several threads
                                           PictureCase{"Photo", 1024, 768}, PictureCase{"TallAndNarrow", 5, 20000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngEncoder, OnlyAStraightArgbPictureIsEncoded)
{
    EXPECT_TRUE(platform::EncodePng(QImage()).isEmpty());
    const QImage picture = NoisyPicture(4, 4);
    EXPECT_TRUE(platform::EncodePng(picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)).isEmpty());
    EXPECT_TRUE(platform::EncodePng(picture.convertToFormat(QImage::Format_RGB32)).isEmpty());
    EXPECT_FALSE(platform::EncodePng(picture).isEmpty());
}

} // namespace
