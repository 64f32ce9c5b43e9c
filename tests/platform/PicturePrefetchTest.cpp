#include "engine/layers/ImageReference.h"
#include "platform/PicturePrefetch.h"
#include "platform/ResourceId.h"
#include "platform/ResourceTable.h"
#include "platform/Resources.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::PicturePrefetch;

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

    static PicturePrefetch::Item FileItem(const QString& path)
    {
        return {path, [path] { return ImageReference::ReadPicture(path); }};
    }

    QTemporaryDir folder;
};

TEST_F(PicturePrefetchTest, APrefetchedPictureIsTakenOnceWithoutReadingItsFileAgain)
{
    const QString first = WritePicture(QStringLiteral("first.png"), 5, qRgb(200, 10, 20));
    const QString second = WritePicture(QStringLiteral("second.png"), 7, qRgb(10, 200, 20));
    std::vector<PicturePrefetch::Item> items{FileItem(first), FileItem(second)};
    PicturePrefetch batch(std::move(items));
    ImageReference image;
    // Taking the second item waits until the worker has read it.
    ASSERT_TRUE(image.Load(second, false));
    EXPECT_EQ(image.width, 7);

    // The first file is gone before it is loaded: only the batch can give its picture.
    ASSERT_TRUE(QFile::remove(first));
    ASSERT_TRUE(image.Load(first, false));
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.bitsPerPixel, 24);
    EXPECT_EQ(image.Picture()->pixel(3, 1), qRgb(200, 10, 20));
    // Taken once: the next load of the same path reads the (missing) file.
    EXPECT_FALSE(image.Load(first, false));
}

TEST_F(PicturePrefetchTest, PathsOutsideTheBatchAndPicturesNotTakenReadTheirFiles)
{
    const QString inBatch = WritePicture(QStringLiteral("in.png"), 4, qRgb(1, 2, 3));
    const QString outside = WritePicture(QStringLiteral("out.png"), 6, qRgb(4, 5, 6));
    const QString broken = folder.filePath(QStringLiteral("broken.png"));
    WriteFile(broken, "not a picture");
    ImageReference image;
    {
        std::vector<PicturePrefetch::Item> items{FileItem(inBatch), FileItem(broken)};
        PicturePrefetch batch(std::move(items));
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

TEST_F(PicturePrefetchTest, ResourcePicturesComeFromTheBatchOnce)
{
    namespace id = platform::ResourceId;
    const platform::PictureResource* strip =
        platform::ResourceTable::Find(platform::ResourceType::Bitmap, id::ToolBarNormal);
    ASSERT_NE(strip, nullptr);
    const QImage decoded = platform::Resources::Picture(platform::ResourceType::Bitmap, id::ToolBarNormal);
    // An item under the strip's path that gives a marked picture shows which one Resources returned.
    QImage marked = decoded.copy();
    marked.setPixel(0, 0, qRgba(1, 2, 3, 255));
    std::vector<PicturePrefetch::Item> items{platform::Resources::PrefetchItem(*strip),
                                             {platform::ResourceTable::Path(*strip), [marked] { return marked; }}};
    PicturePrefetch batch(std::move(items));
    // The resource's own item decodes as Picture does; the next one is the marked picture; then the file.
    EXPECT_EQ(platform::Resources::Picture(platform::ResourceType::Bitmap, id::ToolBarNormal), decoded);
    EXPECT_EQ(platform::Resources::Picture(platform::ResourceType::Bitmap, id::ToolBarNormal).pixel(0, 0),
              qRgba(1, 2, 3, 255));
    EXPECT_EQ(platform::Resources::Picture(platform::ResourceType::Bitmap, id::ToolBarNormal), decoded);
}

} // namespace
