#include "platform/PngEncoder.h"
#include "support/TestPictures.h"

#include <QtEndian>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>
#include <zlib.h>

namespace {

// Every pixel different from its neighbours, alpha included (also 0, whose colours must survive too).
QImage NoisyPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32);  // rows of 4 * width bytes: no padding
    auto* pixels = reinterpret_cast<QRgb*>(picture.bits());
    uint32_t state = 12345u;
    for (qsizetype i = 0; i < qsizetype(width) * height; ++i)
        pixels[i] = state = state * 1664525u + 1013904223u;
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
        const qsizetype length = qFromBigEndian<uint32_t>(png.constData() + at);
        if (at + 12 + length > png.size())
            break;
        const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(png.constData() + at + 4), uInt(4 + length));
        chunks.push_back({png.mid(at + 4, 4), png.mid(at + 8, length),
                          crc == qFromBigEndian<uint32_t>(png.constData() + at + 8 + length)});
        at += 12 + length;
    }
    return chunks;
}

// The size of the image data inflated by zlib itself (header and Adler-32 checked); -1 when it is not
// one stream of at most expected bytes.
qsizetype InflatedSize(const QByteArray& zlibStream, qsizetype expected)
{
    QByteArray out(expected + 1, '\0');
    uLongf size = out.size();
    const bool inflated = uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                                     reinterpret_cast<const Bytef*>(zlibStream.constData()), zlibStream.size()) == Z_OK;
    return inflated ? qsizetype(size) : -1;
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
    std::vector<QByteArray> types;
    for (const Chunk& chunk : chunks) {
        types.push_back(chunk.type);
        EXPECT_TRUE(chunk.crcMatches) << chunk.type.constData();
    }
    ASSERT_EQ(types, (std::vector<QByteArray>{"IHDR", "IDAT", "IEND"}));
    // Width, height, 8 bits, red-green-blue-alpha, deflate, adaptive filtering, not interlaced.
    QByteArray header(8, '\0');
    qToBigEndian<uint32_t>(picture.width(), header.data());
    qToBigEndian<uint32_t>(picture.height(), header.data() + 4);
    EXPECT_EQ(chunks[0].data, header + QByteArray("\x08\x06\x00\x00\x00", 5));
    // One filter byte and four bytes a pixel for every row, in a single zlib stream.
    const qsizetype rows = static_cast<qsizetype>(picture.height()) * (1 + 4 * picture.width());
    EXPECT_EQ(InflatedSize(chunks[1].data, rows), rows);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PngEncoderPictures,
                         ::testing::Values(PictureCase{"OnePixel", 1, 1}, PictureCase{"OddWidth", 3, 2},
                                           PictureCase{"OneStrip", 257, 5},
                                           // several strips, compressed on several threads
                                           PictureCase{"Photo", 1024, 768}, PictureCase{"TallAndNarrow", 5, 20000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngEncoder, OnlyAStraightArgbPictureIsEncoded)
{
    const QImage picture = NoisyPicture(4, 4);
    EXPECT_FALSE(platform::EncodePng(picture).isEmpty());
    for (const QImage& refused : {QImage(), picture.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                                  picture.convertToFormat(QImage::Format_RGB32)})
        EXPECT_TRUE(platform::EncodePng(refused).isEmpty()) << refused.format();
}

} // namespace
