#include "engine/base/Scramble.h"
#include "support/TestPictures.h"
#include "tools/contentgen/ContentWriter.h"
#include "tools/contentgen/Thumbnail.h"

#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// The chunk types of a PNG file, in order.
std::vector<std::string> PngChunks(const QByteArray& png)
{
    std::vector<std::string> chunks;
    qsizetype offset = 8;
    while (offset + 8 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + offset);
        chunks.emplace_back(png.constData() + offset + 4, 4);
        offset += 12 + static_cast<qsizetype>(length);
    }
    return chunks;
}

bool SamePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
        }
    }
    return true;
}

// A picture as a decoder hands it over: with text entries and a colour space that must not be written.
QImage PictureWithMetadata(bool alpha)
{
    QImage image(6, 4, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            image.setPixel(x, y, qRgba(x * 40, y * 60, 200, alpha ? (x + y) * 30 : 255));
    image.setText(QStringLiteral("Comment"), QStringLiteral("made at noon"));
    image.setColorSpace(QColorSpace::SRgb);
    return image;
}

TEST(PictureEncodingTest, PngCarriesNoTimeTextOrProfile)
{
    for (const bool alpha : {false, true}) {
        const QByteArray png = ContentWriter::EncodePng(PictureWithMetadata(alpha));
        const std::vector<std::string> chunks = PngChunks(png);
        ASSERT_FALSE(chunks.empty());
        EXPECT_EQ(chunks.front(), "IHDR");
        EXPECT_EQ(chunks.back(), "IEND");
        for (const std::string& chunk : chunks) {
            EXPECT_NE(chunk, "tIME");
            EXPECT_NE(chunk, "tEXt");
            EXPECT_NE(chunk, "zTXt");
            EXPECT_NE(chunk, "iTXt");
            EXPECT_NE(chunk, "iCCP");
        }
        const QImage back = DecodedPicture(png);
        EXPECT_EQ(back.hasAlphaChannel(), alpha);
        EXPECT_TRUE(SamePixels(back, PictureWithMetadata(alpha)));
    }
}

TEST(PictureEncodingTest, SamePictureSameBytes)
{
    const QImage picture = PictureWithMetadata(false);
    const QByteArray jpeg = ContentWriter::EncodeJpeg(picture);
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8"));
    EXPECT_EQ(jpeg, ContentWriter::EncodeJpeg(picture.copy()));
    EXPECT_EQ(ContentWriter::EncodePng(picture), ContentWriter::EncodePng(picture.copy()));
    // No colour profile segment (APP2) in the JPEG either.
    EXPECT_EQ(jpeg.indexOf("ICC_PROFILE"), -1);
    EXPECT_FALSE(DecodedPicture(jpeg).colorSpace().isValid());
}

TEST(PictureEncodingTest, ScrambledFilesReadBackThroughTheProgramsReader)
{
    QTemporaryDir root;
    ContentWriter writer(root.path());
    const QByteArray png = ContentWriter::EncodePng(PictureWithMetadata(true));
    ASSERT_TRUE(writer.WriteScrambled(QStringLiteral("BGs/0007.bki"), png));
    ASSERT_TRUE(writer.Write(QStringLiteral("plain.txt"), "plain"));
    QFile stored(root.filePath(QStringLiteral("BGs/0007.bki")));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_NE(stored.readAll(), png);
    const std::optional<QByteArray> plain = ReadScrambledFile(root.filePath(QStringLiteral("BGs/0007.bki")));
    ASSERT_TRUE(plain);
    EXPECT_EQ(*plain, png);
    EXPECT_EQ(writer.Written(), QStringList({QStringLiteral("BGs/0007.bki"), QStringLiteral("plain.txt")}));
    EXPECT_EQ(writer.BytesWritten(), png.size() + 5);
}

TEST(PictureEncodingTest, RefusesNothingToWriteAndUnwritablePlaces)
{
    QTemporaryDir root;
    ContentWriter writer(root.path());
    EXPECT_FALSE(writer.Write(QStringLiteral("empty.jpg"), QByteArray()));
    EXPECT_FALSE(writer.ErrorText().isEmpty());
    ASSERT_TRUE(writer.Write(QStringLiteral("file"), "x"));
    EXPECT_FALSE(writer.Write(QStringLiteral("file/below"), "y"));  // a file stands where the folder should
    EXPECT_EQ(writer.Written().size(), 1);
}

TEST(PictureEncodingTest, ThumbnailsFitAndKeepProportions)
{
    const struct {
        QSize picture, thumbnail;
    } cases[] = {
        {{1024, 768}, {130, 97}}, {{512, 512}, {100, 100}}, {{260, 350}, {74, 100}},
        {{400, 150}, {130, 48}},  {{60, 40}, {130, 86}},    {{3000, 2}, {130, 1}},
    };
    for (const auto& c : cases) {
        QImage picture(c.picture, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        const QImage thumbnail = Thumbnail::Make(picture);
        EXPECT_EQ(thumbnail.size(), c.thumbnail) << c.picture.width() << "x" << c.picture.height();
        EXPECT_EQ(thumbnail.pixel(0, 0), qRgb(255, 255, 255));  // transparency lies on white
    }
}

} // namespace
