#include "PictureFixtures.h"

#include "engine/layers/ImageDC.h"
#include "engine/layers/ImageHelpers.h"
#include "engine/layers/ImageReference.h"
#include "platform/DeviceContext.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace fixtures;

namespace {

// A 4x3 working picture whose alpha at (x, y) is 10 y + x + 1.
class ImageMasks : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(image.Create(4, 3, 32, true));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x)
                image.GetBits()[y * image.pitch + x * 4 + 3] = static_cast<uint8_t>(10 * y + x + 1);
        }
    }
    ImageReference image;
};

TEST_F(ImageMasks, XorMaskWithAlphaOverTheRectangleOfAnImageWideBuffer)
{
    std::vector<uint8_t> buffer(12, 0xF0);
    XorMaskWithAlpha(buffer.data(), Rect{1, 1, 2, 2}, image);
    EXPECT_EQ(buffer, (std::vector<uint8_t>{0xF0, 0xF0, 0xF0, 0xF0,  //
                                            0xF0, 0xF0 ^ 12, 0xF0 ^ 13, 0xF0,  //
                                            0xF0, 0xF0 ^ 22, 0xF0 ^ 23, 0xF0}));
    EXPECT_EQ(image.busy, 0);
    // An empty rectangle, or one off the picture, changes nothing.
    XorMaskWithAlpha(buffer.data(), Rect{0x3FFFFFFF, 0x3FFFFFFF, -1073741823, -1073741823}, image);
    XorMaskWithAlpha(buffer.data(), Rect{5, 0, 9, 2}, image);
    EXPECT_EQ(buffer[5], 0xF0 ^ 12);
}

TEST_F(ImageMasks, XorMaskWithAlphaBlockIsPackedRowAfterRow)
{
    std::vector<uint8_t> block = {0, 0, 0, 0xFF, 0xFF, 0xFF};
    XorMaskWithAlphaBlock(2, block.data(), image, 1, 0, 3);
    EXPECT_EQ(block, (std::vector<uint8_t>{2, 3, 4, 0xFF ^ 12, 0xFF ^ 13, 0xFF ^ 14}));
    // Twice gives the block back.
    XorMaskWithAlphaBlock(2, block.data(), image, 1, 0, 3);
    EXPECT_EQ(block, (std::vector<uint8_t>{0, 0, 0, 0xFF, 0xFF, 0xFF}));
}

TEST_F(ImageMasks, CopyAlphaToBufferWithStrideAndOffsets)
{
    std::vector<uint8_t> buffer(15, 0);
    CopyAlphaToBuffer(5, buffer.data(), 2, image, 3, 1, 2, 1, 2);
    EXPECT_EQ(buffer, (std::vector<uint8_t>{0, 0, 0, 0, 0,  //
                                            0, 0, 0, 13, 14,  //
                                            0, 0, 0, 23, 24}));
}

TEST_F(ImageMasks, CopyAlphaOutsideRectEmptyAndEqualInner)
{
    std::vector<uint8_t> whole(12, 0);
    CopyAlphaOutsideRect(Rect{0, 0, 3, 2}, image, whole.data(), 4, Rect{0, 0, -1, -1});
    EXPECT_EQ(whole, (std::vector<uint8_t>{1, 2, 3, 4, 11, 12, 13, 14, 21, 22, 23, 24}));

    std::vector<uint8_t> none(12, 0);
    CopyAlphaOutsideRect(Rect{0, 0, 3, 2}, image, none.data(), 4, Rect{0, 0, 3, 2});
    EXPECT_EQ(none, std::vector<uint8_t>(12, 0));

    CopyAlphaOutsideRect(Rect{2, 2, 1, 1}, image, none.data(), 4, Rect{0, 0, -1, -1});  // empty outer
    EXPECT_EQ(none, std::vector<uint8_t>(12, 0));
}

TEST_F(ImageMasks, CopyAlphaOutsideRectCopiesTheFourStrips)
{
    std::vector<uint8_t> ring(12, 0);
    CopyAlphaOutsideRect(Rect{0, 0, 3, 2}, image, ring.data(), 4, Rect{1, 1, 2, 1});
    EXPECT_EQ(ring, (std::vector<uint8_t>{1, 2, 3, 4, 11, 0, 0, 14, 21, 22, 23, 24}));

    std::vector<uint8_t> corner(12, 0);
    CopyAlphaOutsideRect(Rect{1, 0, 3, 1}, image, corner.data(), 4, Rect{1, 0, 2, 0});
    EXPECT_EQ(corner, (std::vector<uint8_t>{0, 0, 0, 4, 0, 12, 13, 14, 0, 0, 0, 0}));
}

TEST(ImageMerge, ColourFromTheSourceAlphaFromTheWorkingPicture)
{
    ImageReference alpha;
    ASSERT_TRUE(alpha.Create(2, 1, 32, true));
    std::memcpy(alpha.GetBits(), "\x09\x09\x09\x40\x09\x09\x09\xFF", 8);
    ImageReference colour;
    ASSERT_TRUE(colour.Create(2, 1, 24, false));
    std::memcpy(colour.GetBits(), "\x01\x02\x03\x04\x05\x06", 6);
    ImageReference target;
    ASSERT_TRUE(target.Create(2, 1, 32, true));
    EXPECT_TRUE(MergeColourAndAlpha(alpha, colour, target));
    EXPECT_EQ(Bytes(*target.Picture()), (std::vector<uint8_t>{1, 2, 3, 0x40, 4, 5, 6, 0xFF}));

    ImageReference small;
    ASSERT_TRUE(small.Create(1, 1, 24, false));
    EXPECT_FALSE(MergeColourAndAlpha(alpha, small, target));
    EXPECT_FALSE(MergeColourAndAlpha(colour, alpha, target));
}

TEST(ImageFill, BackgroundColourWithRightAndBottomExclusive)
{
    ImageReference picture;
    ASSERT_TRUE(picture.Create(3, 2, 24, false));
    {
        const ImageDC dc(picture);
        dc->SetBackgroundColour(QColor(7, 8, 9));
        FillRectWithBkColor(1, 0, 3, 1, *dc);
    }
    EXPECT_EQ(Bytes(*picture.Picture()), (std::vector<uint8_t>{0, 0, 0, 9, 8, 7, 9, 8, 7,  //
                                                               0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

} // namespace
