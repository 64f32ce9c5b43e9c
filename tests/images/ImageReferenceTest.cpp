#include "PictureFixtures.h"

#include "engine/layers/ImageDC.h"
#include "engine/layers/ImageReference.h"
#include "platform/DeviceContext.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

using namespace fixtures;

namespace {

// Writes picture as a PNG (scrambled when asked) and answers the path.
QString SavePng(const QTemporaryDir& dir, const QString& name, const QImage& picture, bool scrambled = false)
{
    const QString path = dir.filePath(name);
    WriteFile(path, scrambled ? Scrambled(PngBytes(picture)) : PngBytes(picture));
    return path;
}

void ExpectEmpty(const ImageReference& image)
{
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.pitch, 0);
    EXPECT_EQ(image.bitsPerPixel, 0);
    EXPECT_EQ(image.Picture(), nullptr);
}

TEST(ImageReferenceCreate, TopDownRowsPaddedToFourBytes)
{
    ImageReference image;
    ASSERT_TRUE(image.Create(3, 2, 24, false));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pitch, 12);  // 9 bytes padded
    EXPECT_EQ(image.bitsPerPixel, 24);
    EXPECT_EQ(Bytes(*image.Picture()), Repeat({0, 0, 0}, 6));
    image.GetBits()[image.pitch] = 7;  // the second row starts one pitch further
    EXPECT_EQ(Pixel(*image.Picture(), 0, 1)[0], 7);

    ASSERT_TRUE(image.Create(1, 1, 32, true));
    EXPECT_EQ(image.pitch, 4);
    EXPECT_EQ(Bytes(*image.Picture()), (std::vector<uint8_t>{0, 0, 0, 0}));
    ASSERT_TRUE(image.Create(1, 1, 32, false));
    EXPECT_EQ(Bytes(*image.Picture()), (std::vector<uint8_t>{0, 0, 0, 255}));
}

TEST(ImageReferenceCreate, BadSizesOrDepthsLeaveItEmpty)
{
    ImageReference image;
    ASSERT_TRUE(image.Create(2, 2, 24, false));
    EXPECT_FALSE(image.Create(0, 5, 24, false));
    ExpectEmpty(image);
    EXPECT_FALSE(image.Create(5, -1, 32, true));
    EXPECT_FALSE(image.Create(5, 5, 16, false));
    ExpectEmpty(image);
}

TEST(ImageReferenceLoad, JpegDecodesTo24Bits)
{
    ImageReference image;
    ASSERT_TRUE(image.Load(DataFile("rocket.jpg"), false));
    EXPECT_EQ(image.width, 640);
    EXPECT_EQ(image.height, 427);
    EXPECT_EQ(image.bitsPerPixel, 24);
    EXPECT_EQ(image.pitch, 1920);
    EXPECT_EQ(image.Picture()->format(), QImage::Format_BGR888);
}

TEST(ImageReferenceLoad, UndecodableOrMissingFilesFailCleanly)
{
    ImageReference image;
    ASSERT_TRUE(image.Create(4, 4, 24, false));
    EXPECT_FALSE(image.Load(DataFile("truncated.jpg"), true));
    ExpectEmpty(image);
    EXPECT_FALSE(image.Load(DataFile("no-such-picture.png"), true));
    ExpectEmpty(image);
}

// The decoder's own allocation limit (128 MB) turned away every photo above 32 megapixels, quietly.
TEST(ImageReferenceLoad, RegressionAn8000By8000JpegLoads)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.jpg");
    {
        QImage photo(8000, 8000, QImage::Format_RGB888);
        photo.fill(QColor(200, 100, 50));
        ASSERT_TRUE(photo.save(path, "JPEG", 90));
    }
    ImageReference image;
    ASSERT_TRUE(image.Load(path, true));
    EXPECT_EQ(image.width, 8000);
    EXPECT_EQ(image.height, 8000);
    EXPECT_EQ(image.bitsPerPixel, 24);
    const std::vector<uint8_t> corner = Pixel(*image.Picture(), 7999, 7999);
    EXPECT_NEAR(corner[2], 200, 3);
    EXPECT_NEAR(corner[0], 50, 3);
}

// A file that claims more than 64 megapixels is refused before any pixel memory is taken.
TEST(ImageReferenceLoad, PicturesClaimingMoreThan64MegapixelsFail)
{
    QTemporaryDir dir;
    for (const QSize claimed : {QSize(8001, 8000), QSize(100000, 100000), QSize(1, 64000001)}) {
        const QString path = dir.filePath("claim.png");
        WriteFile(path, PngClaiming(claimed.width(), claimed.height()));
        ImageReference image;
        EXPECT_FALSE(image.Load(path, true)) << claimed.width() << "x" << claimed.height();
        ExpectEmpty(image);
    }
}

// The size a file's header gives is only a claim: an icon's entry says 16 x 16 and holds a PNG of any size.
// The decoded picture is held to the same bound, before it is converted to the program's layout.
TEST(ImageReferenceLoad, RegressionPicturesDecodingToMoreThan64MegapixelsFailWhateverTheHeaderSaid)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("icon.ico");
    for (const QSize held : {QSize(8001, 8000), QSize(16001, 4000)}) {
        WriteFile(path, IconHoldingPng(held.width(), held.height()));
        ImageReference image;
        EXPECT_FALSE(image.Load(path, true)) << held.width() << "x" << held.height();
        ExpectEmpty(image);
    }
    // Within the bound the same file loads at the size it holds.
    WriteFile(path, IconHoldingPng(300, 200));
    ImageReference image;
    ASSERT_TRUE(image.Load(path, false));
    EXPECT_EQ(image.width, 300);
    EXPECT_EQ(image.height, 200);
    EXPECT_EQ(Pixel(*image.Picture(), 299, 199), (std::vector<uint8_t>{255, 255, 255}));
}

TEST(ImageReferenceLoad, PaletteAndGreyPicturesBecome24Bits)
{
    ImageReference palette;
    ASSERT_TRUE(palette.Load(DataFile("palette_color.png"), false));
    EXPECT_EQ(palette.bitsPerPixel, 24);
    const QImage decoded(DataFile("palette_color.png"));
    const QRgb corner = decoded.pixel(3, 4);
    EXPECT_EQ(Pixel(*palette.Picture(), 3, 4),
              (std::vector<uint8_t>{uint8_t(qBlue(corner)), uint8_t(qGreen(corner)), uint8_t(qRed(corner))}));

    QTemporaryDir dir;
    QImage grey(2, 1, QImage::Format_Grayscale8);
    grey.scanLine(0)[0] = 10;
    grey.scanLine(0)[1] = 200;
    ImageReference fromGrey;
    ASSERT_TRUE(fromGrey.Load(SavePng(dir, "grey.png", grey), false));
    EXPECT_EQ(fromGrey.bitsPerPixel, 24);
    EXPECT_EQ(Bytes(*fromGrey.Picture()), (std::vector<uint8_t>{10, 10, 10, 200, 200, 200}));

    QImage deep(1, 1, QImage::Format_RGBX64);
    deep.setPixelColor(0, 0, QColor::fromRgba64(0x1111, 0x8080, 0xFFFF));
    ImageReference fromDeep;
    ASSERT_TRUE(fromDeep.Load(SavePng(dir, "deep.png", deep), false));
    EXPECT_EQ(fromDeep.bitsPerPixel, 24);
    EXPECT_EQ(Bytes(*fromDeep.Picture()), (std::vector<uint8_t>{0xFF, 0x80, 0x11}));
}

TEST(ImageReferenceLoad, PicturesWithAlphaBecome32BitsNotPremultiplied)
{
    QTemporaryDir dir;
    QImage greyAlpha(1, 1, QImage::Format_ARGB32);
    greyAlpha.setPixel(0, 0, qRgba(100, 100, 100, 50));
    ImageReference image;
    ASSERT_TRUE(image.Load(SavePng(dir, "alpha.png", greyAlpha), false));
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(Bytes(*image.Picture()), (std::vector<uint8_t>{100, 100, 100, 50}));

    QImage indexed(1, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(1, 2, 3, 0)});
    indexed.scanLine(0)[0] = 0;
    ASSERT_TRUE(image.Load(SavePng(dir, "indexed.png", indexed), false));
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(Pixel(*image.Picture(), 0, 0)[3], 0);
}

TEST(ImageReferenceLoad, BkiExtensionInAnyCaseIsUnscrambled)
{
    QTemporaryDir dir;
    const QImage picture = Filled(QImage::Format_BGR888, 2, 2, {5, 6, 7});
    ImageReference image;
    EXPECT_TRUE(image.Load(SavePng(dir, "scene.BKI", picture, true), false));
    EXPECT_EQ(Bytes(*image.Picture()), Repeat({5, 6, 7}, 4));
    EXPECT_TRUE(image.Load(SavePng(dir, "scene.bKi", picture, true), false));

    // Other extensions, or none, are decoded as they are.
    EXPECT_FALSE(image.Load(SavePng(dir, "scene.bkix", picture, true), false));
    EXPECT_TRUE(image.Load(SavePng(dir, "plain.bkix", picture, false), false));
    EXPECT_FALSE(image.Load(SavePng(dir, "nodot", picture, true), false));
    EXPECT_TRUE(image.Load(SavePng(dir, "plainnodot", picture, false), false));
    // A plain picture named .bki is unscrambled into garbage.
    EXPECT_FALSE(image.Load(SavePng(dir, "wrong.bki", picture, false), false));
    EXPECT_FALSE(image.Load(dir.filePath("missing.bki"), false));
    ExpectEmpty(image);
}

TEST(ImageReferenceLoad, UpScaleFactorExamples)
{
    EXPECT_EQ(ImageReference::UpScaleFactor(500, 400), 2);
    EXPECT_EQ(ImageReference::UpScaleFactor(300, 200), 4);
    EXPECT_EQ(ImageReference::UpScaleFactor(1024, 10), 1);
    EXPECT_EQ(ImageReference::UpScaleFactor(1024, 100), 1);
    EXPECT_EQ(ImageReference::UpScaleFactor(2000, 100), 1);
    EXPECT_EQ(ImageReference::UpScaleFactor(700, 800), 1);
    EXPECT_EQ(ImageReference::UpScaleFactor(1, 1), 768);
    EXPECT_EQ(ImageReference::UpScaleFactor(640, 427), 2);
    EXPECT_EQ(ImageReference::UpScaleFactor(1023, 1), 2);  // the width reaches 1024 first
}

TEST(ImageReferenceLoad, ScaleUpEnlargesLoadedPictures)
{
    QTemporaryDir dir;
    struct Case {
        int width, height, expectedWidth, expectedHeight;
    };
    for (const Case& c : {Case{500, 400, 1000, 800}, Case{300, 200, 1200, 800}, Case{1024, 10, 1024, 10},
                          Case{2000, 100, 2000, 100}, Case{700, 800, 700, 800}, Case{1, 1, 768, 768}}) {
        const QImage picture = Filled(QImage::Format_BGR888, c.width, c.height, {30, 60, 90});
        ImageReference image;
        ASSERT_TRUE(image.Load(SavePng(dir, "up.png", picture), true));
        EXPECT_EQ(image.width, c.expectedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(image.height, c.expectedHeight) << c.width << "x" << c.height;
        EXPECT_EQ(image.bitsPerPixel, 24);
        EXPECT_EQ(Pixel(*image.Picture(), image.width - 1, image.height - 1), (std::vector<uint8_t>{30, 60, 90}));
        ImageReference unscaled;
        ASSERT_TRUE(unscaled.Load(SavePng(dir, "up.png", picture), false));
        EXPECT_EQ(unscaled.width, c.width);
    }
}

TEST(ImageReferenceEnlarge, WholeFactorsKeepTheDepthAndColour)
{
    ImageReference image;
    ASSERT_TRUE(image.Create(2, 1, 32, true));
    std::memcpy(image.GetBits(), "\x10\x20\x30\x40\x10\x20\x30\x40", 8);
    image.Enlarge(1);
    EXPECT_EQ(image.width, 2);
    image.Enlarge(3);
    EXPECT_EQ(image.width, 6);
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(image.pitch, 24);
    EXPECT_EQ(Bytes(*image.Picture()), Repeat({0x10, 0x20, 0x30, 0x40}, 18));
}

TEST(ImageReferenceClone, ThirtyTwoBitsWithAlphaCopiesBytesUnchanged)
{
    ImageReference image;
    ASSERT_TRUE(image.Create(2, 1, 32, true));
    // Colour above alpha: a straight-alpha picture as decoded, which the copy must not touch.
    std::memcpy(image.GetBits(), "\xC8\x64\x32\x10\x01\x02\x03\x00", 8);
    const std::unique_ptr<Image> clone = image.Clone(32, true);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(Bytes(*static_cast<ImageReference&>(*clone).Picture()),
              (std::vector<uint8_t>{0xC8, 0x64, 0x32, 0x10, 0x01, 0x02, 0x03, 0x00}));
    EXPECT_EQ(clone->busy, 0);
}

TEST(ImageReferenceClone, OtherDepthsCopyColourAndMakeAlphaOpaque)
{
    ImageReference colour;
    ASSERT_TRUE(colour.Create(2, 1, 24, false));
    std::memcpy(colour.GetBits(), "\x01\x02\x03\x04\x05\x06", 6);
    const std::unique_ptr<Image> wide = colour.Clone(32, true);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->bitsPerPixel, 32);
    EXPECT_EQ(Bytes(*static_cast<ImageReference&>(*wide).Picture()),
              (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 255}));

    ImageReference working;
    ASSERT_TRUE(working.Create(1, 1, 32, true));
    std::memcpy(working.GetBits(), "\x0A\x0B\x0C\x00", 4);
    const std::unique_ptr<Image> narrow = working.Clone(24, false);
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(Bytes(*static_cast<ImageReference&>(*narrow).Picture()), (std::vector<uint8_t>{10, 11, 12}));

    ImageReference empty;
    EXPECT_EQ(empty.Clone(24, false), nullptr);
}

TEST(ImageReferenceMask, ApplyMaskAtZeroHalfAndFull)
{
    ImageReference image;
    ASSERT_TRUE(image.Create(3, 2, 32, true));
    for (int i = 0; i < 6; ++i)
        std::memcpy(image.GetBits() + i * 4, "\xFF\x64\x01\x07", 4);
    // A 4-byte-wide mask; the block starts at mask (1, 0) and image (0, 1).
    const uint8_t mask[] = {9, 0, 128, 255, 9, 9, 9, 9};
    image.ApplyMask(mask, 4, 0, 1, 1, 0, 3, 1);
    EXPECT_EQ(Bytes(*image.Picture()), (std::vector<uint8_t>{255, 100, 1, 7, 255, 100, 1, 7, 255, 100, 1, 7,  //
                                                             0, 0, 0, 0, 128, 50, 1, 128, 255, 100, 1, 255}));
    EXPECT_EQ(image.busy, 0);
}

TEST(ImageReferenceMask, RegressionApplyMaskOutsideThePictureWritesNothingThere)
{
    ImageReference image;
    ASSERT_TRUE(image.Create(2, 2, 32, true));
    std::memset(image.GetBits(), 0xFF, 16);
    const uint8_t mask[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    // The block hangs over the left and bottom edges; only pixel (0, 1) lies on the picture.
    image.ApplyMask(mask, 4, -1, 1, 0, 0, 2, 3);
    EXPECT_EQ(Bytes(*image.Picture()), (std::vector<uint8_t>{255, 255, 255, 255, 255, 255, 255, 255,  //
                                                             2, 2, 2, 2, 255, 255, 255, 255}));
    ImageReference colour;
    ASSERT_TRUE(colour.Create(1, 1, 24, false));
    colour.ApplyMask(mask, 4, 0, 0, 0, 0, 1, 1);  // not a 32-bit picture: nothing
    EXPECT_EQ(Bytes(*colour.Picture()), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(ImageReferenceMask, PremultiplyFromAnotherPictureOrItself)
{
    ImageReference working;
    ASSERT_TRUE(working.Create(2, 2, 32, true));
    std::memcpy(working.GetBits(), "\x09\x09\x09\x80\x09\x09\x09\xFF\x09\x09\x09\x00\xC8\x64\x32\x33", 16);
    ImageReference source;
    ASSERT_TRUE(source.Create(2, 2, 24, false));
    std::memset(source.GetBits(), 0xFF, static_cast<size_t>(source.pitch) * 2);
    // Only the top row.
    working.PremultiplyFrom(source, Rect{0, 0, 1, 0});
    EXPECT_EQ(Bytes(*working.Picture()), (std::vector<uint8_t>{128, 128, 128, 128, 255, 255, 255, 255,  //
                                                               9, 9, 9, 0, 200, 100, 50, 51}));
    // In place, bottom right only: 200, 100, 50 times 51 / 255.
    working.PremultiplyFrom(working, Rect{1, 1, 1, 1});
    EXPECT_EQ(Pixel(*working.Picture(), 1, 1), (std::vector<uint8_t>{40, 20, 10, 51}));
    EXPECT_EQ(Pixel(*working.Picture(), 0, 1), (std::vector<uint8_t>{9, 9, 9, 0}));
    // A rectangle reaching past the picture is cut to it.
    working.PremultiplyFrom(source, Rect{-5, 1, 10, 10});
    EXPECT_EQ(Pixel(*working.Picture(), 0, 1), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(ImageReferenceDC, BusyWhileTheContextIsOutAndNestedCallsShareIt)
{
    ImageReference image;
    EXPECT_EQ(image.GetDC(), nullptr);
    ASSERT_TRUE(image.Create(2, 2, 24, false));
    platform::DeviceContext* first = image.GetDC();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(image.busy, 1);
    first->SetStretchMode(platform::StretchMode::Halftone);
    EXPECT_EQ(image.GetDC(), first);
    image.ReleaseDC();
    EXPECT_EQ(image.busy, 1);
    image.ReleaseDC();
    EXPECT_EQ(image.busy, 0);
    {
        const ImageDC dc(image);
        EXPECT_EQ(dc->State().stretchMode, platform::StretchMode::BlackOnWhite);  // a fresh context
        EXPECT_EQ(image.busy, 1);
        dc->FillRect(QRect(0, 0, 1, 1), QColor(1, 2, 3));
    }
    EXPECT_EQ(image.busy, 0);
    EXPECT_EQ(Pixel(*image.Picture(), 0, 0), (std::vector<uint8_t>{3, 2, 1}));
    image.ReleaseDC();  // an unmatched release changes nothing
    EXPECT_EQ(image.busy, 0);

    image.GetDC();
    image.Clear();  // clearing with the context out releases it
    EXPECT_EQ(image.busy, 0);
    ExpectEmpty(image);
}

class ImageReferenceDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(source.Create(2, 1, 32, true));
        std::memcpy(source.GetBits(), "\x40\x40\x40\x80\x0F\xF0\x00\xFF", 8);
        ASSERT_TRUE(target.Create(3, 1, 24, false));
        std::memset(target.GetBits(), 0xFF, 9);
    }
    std::vector<uint8_t> Drawn(int32_t mode, int32_t x, int32_t srcX, int32_t w, uint8_t alpha = 255)
    {
        {
            const ImageDC dc(target);
            source.Draw(mode, *dc, x, 0, srcX, 0, w, 1, alpha);
        }
        return Bytes(*target.Picture());
    }
    ImageReference source;
    ImageReference target;
};

TEST_F(ImageReferenceDraw, CopyTransfersTheBlock)
{
    EXPECT_EQ(Drawn(ImageDrawCopy, 1, 0, 2), (std::vector<uint8_t>{255, 255, 255, 64, 64, 64, 15, 240, 0}));
}

TEST_F(ImageReferenceDraw, AlphaBlendUsesPerPixelAndConstantAlpha)
{
    EXPECT_EQ(Drawn(ImageDrawAlphaBlend, 0, 0, 2), (std::vector<uint8_t>{191, 191, 191, 15, 240, 0, 255, 255, 255}));
    EXPECT_EQ(Drawn(ImageDrawAlphaBlend, 2, 1, 1, 0), (std::vector<uint8_t>{191, 191, 191, 15, 240, 0, 255, 255, 255}));
}

TEST_F(ImageReferenceDraw, InvertXorsTheBlock)
{
    EXPECT_EQ(Drawn(ImageDrawInvert, 1, 1, 1), (std::vector<uint8_t>{255, 255, 255, 240, 15, 255, 255, 255, 255}));
}

TEST_F(ImageReferenceDraw, StretchLetsTheWorldTransformScale)
{
    {
        const ImageDC dc(target);
        dc->SetGraphicsMode(platform::GraphicsModeKind::Advanced);
        dc->SetWorldTransform(QTransform::fromScale(3, 1));
        source.Draw(ImageDrawStretch, *dc, 0, 0, 1, 0, 1, 1, 255);
    }
    EXPECT_EQ(Bytes(*target.Picture()), Repeat({15, 240, 0}, 3));
}

TEST_F(ImageReferenceDraw, OtherModesDrawNothingAndDrawOpaqueCopies)
{
    EXPECT_EQ(Drawn(4, 0, 0, 2), Repeat({255, 255, 255}, 3));
    EXPECT_EQ(Drawn(-1, 0, 0, 2), Repeat({255, 255, 255}, 3));
    {
        const ImageDC dc(target);
        source.DrawOpaque(*dc, 0, 0, 1, 0, 1, 1);
    }
    EXPECT_EQ(Pixel(*target.Picture(), 0, 0), (std::vector<uint8_t>{15, 240, 0}));
}

} // namespace
