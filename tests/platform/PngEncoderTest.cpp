#include "platform/PngEncoder.h"
#include "platform/PngEncoderWorkers.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>
#include <QtEndian>
#include <new>
#include <system_error>
#include <thread>
#include <algorithm>
#include <cstdint>
#include <functional>
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
    QByteArray imageData;  // the IDAT chunks' data joined: one zlib stream
    for (const Chunk& chunk : chunks) {
        if (types.empty() || chunk.type != types.back())
            types.push_back(chunk.type);
        if (chunk.type == "IDAT")
            imageData += chunk.data;
        EXPECT_TRUE(chunk.crcMatches) << chunk.type.constData();
    }
    ASSERT_EQ(types, (std::vector<QByteArray>{"IHDR", "IDAT", "IEND"}));  // image data in consecutive chunks
    // Width, height, 8 bits, red-green-blue-alpha, deflate, adaptive filtering, not interlaced.
    QByteArray header(8, '\0');
    qToBigEndian<uint32_t>(picture.width(), header.data());
    qToBigEndian<uint32_t>(picture.height(), header.data() + 4);
    EXPECT_EQ(chunks[0].data, header + QByteArray("\x08\x06\x00\x00\x00", 5));
    // One filter byte and four bytes a pixel for every row, in a single zlib stream.
    const qsizetype rows = static_cast<qsizetype>(picture.height()) * (1 + 4 * picture.width());
    EXPECT_EQ(InflatedSize(imageData, rows), rows);
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

// The bytes Qt's PNG writer makes at its default settings.
qsizetype QtWriterBytes(const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return QImageWriter(&buffer, "png").write(picture) ? bytes.size() : -1;
}

// Colours that change slowly, under a round soft mask: a painted picture with little detail.
QImage SmoothPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = (x - width / 2.0) / (width / 2.0);
            const double dy = (y - height / 2.0) / (height / 2.0);
            const int alpha = std::clamp(static_cast<int>((1.2 - dx * dx - dy * dy) * 400), 0, 255);
            picture.setPixel(x, y, qRgba(x * 255 / width, y * 255 / height, (x + y) % 256, alpha));
        }
    }
    return picture;
}

// A photograph with its camera's noise, under the same kind of mask.
QImage Photo()
{
    QImage picture = QImage(DataFile("rocket.jpg")).convertToFormat(QImage::Format_ARGB32);
    picture.setColorSpace(QColorSpace());  // as the project's pictures: the PNG names none
    uint32_t state = 99u;
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = static_cast<int>(state >> 29) - 4;  // -4 to 3
            const QRgb p = row[x];
            row[x] = qRgba(std::clamp(qRed(p) + noise, 0, 255), std::clamp(qGreen(p) - noise, 0, 255),
                           std::clamp(qBlue(p) + noise / 2, 0, 255), x < picture.width() / 8 ? 0 : 255);
        }
    }
    return picture;
}

// Project files grew by up to twice when pictures were saved at zlib's fastest level with one filter;
// they are back within a tenth of what Qt's writer makes, for smooth pictures and for photos.
TEST(PngEncoder, RegressionPicturesTakeNoMoreThanATenthMoreThanWithQtsWriter)
{
    for (const QImage& picture : {SmoothPicture(640, 480), Photo()}) {
        const QByteArray png = platform::EncodePng(picture);
        ASSERT_EQ(DecodedPicture(png, "PNG").convertToFormat(QImage::Format_ARGB32), picture);
        const qsizetype qt = QtWriterBytes(picture);
        ASSERT_GT(qt, 0);
        EXPECT_LE(png.size(), qt * 11 / 10) << picture.width();
    }
}

// Rows given by a source on the workers make the same file as the same picture given whole.
TEST(PngEncoder, RowsFromASourceEncodeAsThePictureDoes)
{
    const QImage picture = NoisyPicture(700, 600);
    const QByteArray png = platform::EncodePng(picture.width(), picture.height(), [&](int y, uint8_t* rgba) {
        for (int x = 0; x < picture.width(); ++x, rgba += 4) {
            const QRgb p = picture.pixel(x, y);
            rgba[0] = static_cast<uint8_t>(qRed(p));
            rgba[1] = static_cast<uint8_t>(qGreen(p));
            rgba[2] = static_cast<uint8_t>(qBlue(p));
            rgba[3] = static_cast<uint8_t>(qAlpha(p));
        }
    });
    EXPECT_EQ(png, platform::EncodePng(picture));
    EXPECT_TRUE(platform::EncodePng(0, 5, [](int, uint8_t*) {}).isEmpty());
}

// Starting a worker fails the way the system can make it fail, after some have started.
enum class StartFailure { NoMemory, NoThread };
StartFailure g_failure = StartFailure::NoMemory;
int g_startsAllowed = 0;
int g_startsTried = 0;

std::thread StartUntilRefused(std::function<void()> work)
{
    if (g_startsTried++ < g_startsAllowed)
        return std::thread(std::move(work));
    if (g_failure == StartFailure::NoMemory)
        throw std::bad_alloc();
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
}

struct RefusedStart {
    const char* name;
    StartFailure failure;
    int startsAllowed;
};

class PngEncoderRefusedWorkers : public ::testing::TestWithParam<RefusedStart> {
protected:
    void TearDown() override { platform::SetPngWorkerStarter(nullptr); }
};

// A worker that could not be started ended the program during Save (std::bad_alloc escaped while the
// workers started before it were still to be joined); its strip is now compressed on the calling thread,
// and the file is the one an undisturbed encoding makes.
TEST_P(PngEncoderRefusedWorkers, RegressionTheStripIsCompressedOnTheCallingThread)
{
    const QImage picture = NoisyPicture(1024, 768);  // eight strips: seven workers
    const QByteArray undisturbed = platform::EncodePng(picture);
    g_failure = GetParam().failure;
    g_startsAllowed = GetParam().startsAllowed;
    g_startsTried = 0;
    platform::SetPngWorkerStarter(StartUntilRefused);
    const QByteArray png = platform::EncodePng(picture);
    EXPECT_EQ(g_startsTried, 7);
    EXPECT_EQ(png, undisturbed);
    EXPECT_EQ(DecodedPicture(png, "PNG").convertToFormat(QImage::Format_ARGB32), picture);
}

INSTANTIATE_TEST_SUITE_P(Failures, PngEncoderRefusedWorkers,
                         ::testing::Values(RefusedStart{"NoMemoryForTheFirst", StartFailure::NoMemory, 0},
                                           RefusedStart{"NoMemoryAfterThree", StartFailure::NoMemory, 3},
                                           RefusedStart{"NoThreadAfterThree", StartFailure::NoThread, 3},
                                           RefusedStart{"NoThreadForTheLast", StartFailure::NoThread, 6}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
