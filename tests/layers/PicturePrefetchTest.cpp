#include "engine/layers/ImageReference.h"
#include "engine/layers/PicturePrefetch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PicturePrefetchTest : public ::testing::Test {
protected:
    // A PNG file of one colour; its path.
    QString WritePicture(const QString& name, int width, QRgb colour)
    {
        QImage image(width, 3, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = folder.filePath(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }

    QTemporaryDir folder;
};

TEST_F(PicturePrefetchTest, APrefetchedPictureIsTakenOnceWithoutReadingItsFileAgain)
{
    const QString first = WritePicture(QStringLiteral("first.png"), 5, qRgb(200, 10, 20));
    const QString second = WritePicture(QStringLiteral("second.png"), 7, qRgb(10, 200, 20));
    PicturePrefetch batch({first, second});
    ImageReference image;
    // The first take waits for the whole batch.
    ASSERT_TRUE(image.Load(first, false));
    EXPECT_EQ(image.width, 5);

    // The second file is gone before it is loaded: only the batch can give its picture.
    ASSERT_TRUE(QFile::remove(second));
    ASSERT_TRUE(image.Load(second, false));
    EXPECT_EQ(image.width, 7);
    EXPECT_EQ(image.bitsPerPixel, 24);
    EXPECT_EQ(image.Picture()->pixel(3, 1), qRgb(10, 200, 20));
    // Taken once: the next load of the same path reads the (missing) file.
    EXPECT_FALSE(image.Load(second, false));
}

TEST_F(PicturePrefetchTest, PathsOutsideTheBatchAndPicturesNotTakenReadTheirFiles)
{
    const QString inBatch = WritePicture(QStringLiteral("in.png"), 4, qRgb(1, 2, 3));
    const QString outside = WritePicture(QStringLiteral("out.png"), 6, qRgb(4, 5, 6));
    const QString broken = folder.filePath(QStringLiteral("broken.png"));
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
    }
    ImageReference image;
    {
        PicturePrefetch batch({inBatch, broken});
        EXPECT_TRUE(image.Load(outside, false));
        EXPECT_EQ(image.width, 6);
        // A file that did not decode fails as it would without the batch.
        EXPECT_FALSE(image.Load(broken, false));
        EXPECT_EQ(image.width, 0);
    }
    // The batch has ended: its picture was dropped, so a missing file now fails.
    ASSERT_TRUE(QFile::remove(inBatch));
    EXPECT_FALSE(image.Load(inBatch, false));
    EXPECT_FALSE(PicturePrefetch::Take(inBatch));
}

} // namespace
