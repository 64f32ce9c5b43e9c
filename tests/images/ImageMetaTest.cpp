#include "PictureFixtures.h"

#include "engine/layers/ImageMeta.h"
#include "platform/DeviceContext.h"
#include "platform/metafile/Metafile.h"
#include "support/TestFiles.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace fixtures;

namespace {

// oval.emf's header bounds run from 0, 0 to 5007, 3779; this maps them onto about 100 x 76 pixels.
constexpr qreal Shrink = 0.02;

QImage White()
{
    return Filled(Rgb, 101, 76, {255, 255, 255});
}

QImage DrawnThroughContext(ImageMeta& bubble, int32_t mode, int32_t x, int32_t y, uint8_t alpha,
                           const std::optional<QRegion>& clip = std::nullopt)
{
    QImage target = White();
    platform::DeviceContext dc(target);
    dc.SetGraphicsMode(platform::GraphicsModeKind::Advanced);
    dc.SetWorldTransform(QTransform::fromScale(Shrink, Shrink));
    dc.SetClipRegion(clip);
    bubble.Draw(mode, dc, x, y, x, y, 7, 7, alpha);
    return target;
}

TEST(ImageMetaTest, LoadTakesItsSizeFromTheHeaderBounds)
{
    ImageMeta bubble;
    ASSERT_TRUE(bubble.Load(DataFile("oval.emf"), false));
    EXPECT_EQ(bubble.width, 5007);
    EXPECT_EQ(bubble.height, 3779);
    EXPECT_EQ(bubble.pitch, 0);
    EXPECT_EQ(bubble.bitsPerPixel, 0);
    ASSERT_TRUE(bubble.Load(DataFile("cloud.emf"), true));  // scaling up does not apply
    EXPECT_EQ(bubble.width, 5290);
    EXPECT_EQ(bubble.height, 4015);
}

TEST(ImageMetaTest, UnreadableFilesFailAndLeaveItEmpty)
{
    ImageMeta bubble;
    ASSERT_TRUE(bubble.Load(DataFile("oval.emf"), false));
    EXPECT_FALSE(bubble.Load(DataFile("rocket.jpg"), false));
    EXPECT_EQ(bubble.width, 0);
    EXPECT_EQ(bubble.height, 0);
    EXPECT_FALSE(bubble.Load(DataFile("no-such-bubble.emf"), false));
    EXPECT_EQ(DrawnThroughContext(bubble, ImageDrawCopy, 0, 0, 255), White());
}

TEST(ImageMetaTest, DrawPlaysOntoItsBoundsUnderTheWorldTransform)
{
    ImageMeta bubble;
    ASSERT_TRUE(bubble.Load(DataFile("oval.emf"), false));
    const QImage drawn = DrawnThroughContext(bubble, ImageDrawCopy, 0, 0, 255);

    QImage expected = White();
    {
        QPainter painter(&expected);
        painter.setTransform(QTransform::fromScale(Shrink, Shrink));
        platform::Metafile::FromFile(DataFile("oval.emf"))->Play(painter, QRectF(QPointF(0, 0), QPointF(5006, 3778)));
    }
    EXPECT_EQ(Bytes(drawn), Bytes(expected));
    int dark = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x)
            dark += Pixel(drawn, x, y)[0] < 128 ? 1 : 0;
    }
    EXPECT_GT(dark, 150);  // the black outline round the oval
}

TEST(ImageMetaTest, DrawIgnoresModePositionAndAlphaButKeepsTheClip)
{
    ImageMeta bubble;
    ASSERT_TRUE(bubble.Load(DataFile("shout.emf"), false));
    const QImage plain = DrawnThroughContext(bubble, ImageDrawCopy, 0, 0, 255);
    EXPECT_EQ(Pixel(plain, 50, 38), (std::vector<uint8_t>{0x5A, 0xEF, 0xFF}));  // the bubble's yellow fill
    EXPECT_EQ(DrawnThroughContext(bubble, ImageDrawAlphaBlend, 40, -12, 0), plain);
    EXPECT_EQ(DrawnThroughContext(bubble, 99, 1000, 1000, 128), plain);

    const QImage clipped = DrawnThroughContext(bubble, ImageDrawCopy, 0, 0, 255, QRegion(0, 0, 50, 76));
    for (int y = 0; y < 76; ++y) {
        for (int x = 0; x < 101; ++x) {
            const std::vector<uint8_t> expected =
                x < 50 ? Pixel(plain, x, y) : std::vector<uint8_t>{255, 255, 255};
            ASSERT_EQ(Pixel(clipped, x, y), expected) << x << "," << y;
        }
    }
}

TEST(ImageMetaTest, PixelOperationsKeepTheBaseBehaviour)
{
    ImageMeta bubble;
    ASSERT_TRUE(bubble.Load(DataFile("oval.emf"), false));
    EXPECT_FALSE(bubble.Create(4, 4, 24, false));
    EXPECT_EQ(bubble.width, 5007);
    EXPECT_EQ(bubble.Clone(32, true), nullptr);
    EXPECT_EQ(bubble.GetDC(), nullptr);
    EXPECT_EQ(bubble.GetBits(), nullptr);
    EXPECT_EQ(bubble.busy, 0);
    bubble.Clear();
    EXPECT_EQ(bubble.width, 0);
    EXPECT_EQ(DrawnThroughContext(bubble, ImageDrawCopy, 0, 0, 255), White());
}

} // namespace
