#include "PictureFixtures.h"

#include "engine/layers/ImageReference.h"
#include "platform/ArchiveError.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "support/ArchiveBytes.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>

using namespace fixtures;

namespace {

const QByteArray WideTag("\xFF\xFE\xFF\x03I\0M\0G\0", 10);
const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);

QByteArray Count(uint32_t n)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(n, bytes.data());
    return bytes;
}

// A 2x1 working picture (alpha 255 and 0) with its 24-bit colour source.
class ImageArchive : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(working.Create(2, 1, 32, true));
        std::memcpy(working.GetBits(), "\x01\x02\x03\xFF\x00\x00\x00\x00", 8);
        ASSERT_TRUE(source.Create(2, 1, 24, false));
        std::memcpy(source.GetBits(), "\x0A\x0B\x0C\x0D\x0E\x0F", 6);
    }

    QByteArray Written()
    {
        return WrittenBytes([&](platform::ArchiveWriter& writer) { EXPECT_TRUE(working.Write(writer, source)); });
    }

    // Reads one block; left receives the bytes the read did not consume.
    bool ReadBack(const QByteArray& bytes, ImageReference& image, int64_t* left = nullptr)
    {
        bool result = false;
        ReadBytes(bytes, [&](platform::ArchiveReader& reader) {
            result = ImageReference::Read(reader, image);
            if (left)
                *left = reader.BytesLeft();
        });
        return result;
    }

    ImageReference working;
    ImageReference source;
};

TEST_F(ImageArchive, BlockIsTagCountAndAStraightAlphaPng)
{
    const QByteArray bytes = Written();
    ASSERT_GT(bytes.size(), 14);
    EXPECT_EQ(bytes.left(10), WideTag);
    const uint32_t count = qFromLittleEndian<uint32_t>(bytes.constData() + 10);
    EXPECT_EQ(static_cast<qsizetype>(count), bytes.size() - 14);
    EXPECT_EQ(bytes.mid(14, 8), PngSignature);

    // The PNG holds the source's colour, not premultiplied, with the working picture's alpha as its alpha.
    const QImage png = QImage::fromData(bytes.mid(14), "PNG");
    ASSERT_EQ(png.format(), QImage::Format_ARGB32);
    EXPECT_EQ(png.pixel(0, 0), qRgba(0x0C, 0x0B, 0x0A, 0xFF));
    EXPECT_EQ(png.pixel(1, 0), qRgba(0x0F, 0x0E, 0x0D, 0x00));
}

TEST_F(ImageArchive, ReadGivesBackTheMergedPicture)
{
    ImageReference image;
    int64_t left = -1;
    ASSERT_TRUE(ReadBack(Written() + "tail", image, &left));
    EXPECT_EQ(left, 4);
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(Bytes(*image.Picture()), (std::vector<uint8_t>{0x0A, 0x0B, 0x0C, 0xFF, 0x0D, 0x0E, 0x0F, 0x00}));
}

TEST_F(ImageArchive, TagIsMatchedWithoutCaseInEitherStringForm)
{
    QByteArray lower = Written();
    lower[4] = 'i';
    lower[6] = 'm';
    lower[8] = 'g';
    ImageReference image;
    EXPECT_TRUE(ReadBack(lower, image));

    const QByteArray narrow = QByteArray("\x03img", 4) + Written().mid(10);
    EXPECT_TRUE(ReadBack(narrow, image));
    EXPECT_EQ(image.width, 2);

    QByteArray other = Written();
    other[8] = 'X';
    int64_t left = -1;
    EXPECT_FALSE(ReadBack(other, image, &left));
    EXPECT_EQ(left, other.size() - 10);  // only the string was consumed
    EXPECT_EQ(image.width, 0);
}

TEST_F(ImageArchive, ZeroCountIsRefused)
{
    ImageReference image;
    ASSERT_TRUE(image.Create(1, 1, 24, false));
    EXPECT_FALSE(ReadBack(WideTag + Count(0) + "abc", image));
    EXPECT_EQ(image.Picture(), nullptr);
}

// A count beyond the archive is a damaged file: the read throws before the count decides any allocation.
TEST_F(ImageArchive, RegressionCountBeyondTheArchiveThrowsWithoutAllocating)
{
    ImageReference image;
    EXPECT_THROW(ReadBack(WideTag + Count(0xFFFFFFFFu) + QByteArray(100, 'x'), image), platform::ArchiveError);
    const QByteArray exact = Written();
    EXPECT_THROW(ReadBack(exact.left(exact.size() - 1), image), platform::ArchiveError);
    EXPECT_EQ(image.Picture(), nullptr);
}

TEST_F(ImageArchive, AnyDecodableFormatIsAcceptedAndGarbageIsNot)
{
    const QByteArray jpeg = ReadDataFile("rocket.jpg");
    ImageReference image;
    ASSERT_TRUE(ReadBack(WideTag + Count(static_cast<uint32_t>(jpeg.size())) + jpeg, image));
    EXPECT_EQ(image.width, 640);
    EXPECT_EQ(image.bitsPerPixel, 24);

    EXPECT_FALSE(ReadBack(WideTag + Count(5) + "hello", image));
    EXPECT_EQ(image.Picture(), nullptr);
}

TEST_F(ImageArchive, ACutOffTagOrCountIsAnArchiveError)
{
    ImageReference image;
    EXPECT_THROW(ReadBack(WideTag.left(6), image), platform::ArchiveError);
    EXPECT_THROW(ReadBack(WideTag + "\x01\x00", image), platform::ArchiveError);
}

TEST_F(ImageArchive, MismatchedSourceWritesNothing)
{
    ImageReference narrowSource;
    ASSERT_TRUE(narrowSource.Create(1, 1, 24, false));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    platform::ArchiveWriter writer(buffer);
    EXPECT_FALSE(working.Write(writer, narrowSource));
    EXPECT_FALSE(working.Write(writer, working));  // colour must come from a 24-bit picture
    ImageReference empty;
    EXPECT_FALSE(empty.Write(writer, source));
    EXPECT_TRUE(bytes.isEmpty());
}

} // namespace
