#include "support/LayerPictures.h"
#include "support/ScopedAppPaths.h"

#include "engine/colour/ColorMatch.h"
#include "engine/colour/GammaScale.h"
#include "engine/colour/Histogram2.h"
#include "engine/document/Document.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerImage.h"

#include <gtest/gtest.h>

namespace {

int64_t Total(const Histogram2::Counts& counts)
{
    int64_t total = 0;
    for (int32_t count : counts)
        total += count;
    return total;
}

// A w x h picture of depth bits whose pixel (x, y) has blue base + 10x + y, green and red 0, alpha 255.
std::unique_ptr<ImageReference> Numbered(int w, int h, int32_t bits, int base)
{
    auto image = std::make_unique<ImageReference>();
    EXPECT_TRUE(image->Create(w, h, bits, bits == 32));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* pixel = image->GetBits() + y * image->pitch + x * (bits / 8);
            pixel[0] = static_cast<uint8_t>(base + 10 * x + y);
            if (bits == 32)
                pixel[3] = 255;
        }
    }
    return image;
}

class ColorMatchTest : public ::testing::Test {
protected:
    // A layer of one straight ARGB colour placed so that its content pixels land on the same document
    // pixels: the scene, or a face in front of it, selected.
    LayerImage* SetScene(int w, int h, QRgb colour)
    {
        document.scene = Placed(w, h, colour, LayerFlagsBackground);
        return static_cast<LayerImage*>(document.scene.get());
    }
    LayerImage* AddFace(int w, int h, QRgb colour)
    {
        LayerImage* face = Placed(w, h, colour, LayerFlagsFace).release();
        face->LinkBefore(&document.layers);
        document.selectedIndex = 0;
        face->redGamma = face->greenGamma = face->blueGamma = 5000;
        return face;
    }

    ScopedAppPaths paths;
    Document document;

private:
    static std::unique_ptr<LayerImage> Placed(int w, int h, QRgb colour, int32_t flags)
    {
        QImage pixels(w, h, QImage::Format_ARGB32);
        pixels.fill(colour);
        auto layer = PaintLayerFrom(pixels, flags | LayerFlagPaint);
        layer->flags = flags;
        layer->cropTopLeft = {0, 0};
        layer->cropBottomRight = {1, 1};
        layer->position = layer->centre;
        return layer;
    }
};

} // namespace

TEST(CountLevelsTest, OnlyVisiblePixelsInsideBothPicturesCount)
{
    auto work = Numbered(4, 4, 32, 0);
    work->GetBits()[3 * work->pitch + 3 * 4 + 3] = 0;  // (3, 3) erased
    auto picture = Numbered(4, 4, 24, 100);

    Histogram2 layer;
    Histogram2 behind;
    // Picture (0, 0) lies on work (2, 1): columns 2 and 3, rows 1 to 3, less the erased pixel.
    CountLevels(*work, 2, 1, *picture, layer, behind);
    EXPECT_EQ(Total(layer.bins[0]), 5);
    EXPECT_EQ(Total(behind.bins[0]), 5);
    EXPECT_EQ(layer.bins[0][21], 1);    // work (2, 1)
    EXPECT_EQ(layer.bins[0][33], 0);    // work (3, 3), erased
    EXPECT_EQ(behind.bins[0][100], 1);  // picture (0, 0) behind work (2, 1)
    EXPECT_EQ(behind.bins[0][112], 0);  // picture (1, 2) behind the erased pixel
    EXPECT_EQ(layer.bins[1][0], 5);     // green is 0 everywhere

    // A frame that starts before the work picture counts from its first pixel.
    Histogram2 left;
    Histogram2 leftBehind;
    CountLevels(*work, -1, -2, *picture, left, leftBehind);
    EXPECT_EQ(Total(left.bins[2]), 6);  // picture columns 1 to 3, rows 2 and 3
    EXPECT_EQ(leftBehind.bins[0][112], 1);
}

// The picture behind a face cropped from 0.9 of its 10 pixels is ceil(0.1f x 10) = 2 pixels wide, but
// its first content pixel is trunc(0.9f x 10) = 9: the frame reaches one column and one row past the
// face's picture, and those pixels were read from the next row or beyond the picture's end.
TEST_F(ColorMatchTest, RegressionCropAtThePictureEdgeReadsNothingOutsideIt)
{
    SetScene(10, 10, qRgb(100, 100, 100));
    LayerImage* face = AddFace(10, 10, qRgb(40, 50, 60));
    face->cropTopLeft = {0.9f, 0.9f};
    const std::unique_ptr<ImageReference> picture = document.RenderSelectedLayer();
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->width, 2);
    ASSERT_EQ(picture->height, 2);

    Histogram2 layer;
    Histogram2 behind;
    CountLevels(*face->GetImage(), 9, 9, *picture, layer, behind);
    EXPECT_EQ(Total(layer.bins[0]), 1);
    EXPECT_EQ(layer.bins[0][60], 1);
    EXPECT_EQ(Total(behind.bins[0]), 1);
    EXPECT_TRUE(MatchColors(document, *face));
}

TEST_F(ColorMatchTest, GammasMoveEachChannelTowardsTheBackground)
{
    struct Case {
        const char* what;
        QRgb face;
        int32_t red, green, blue;
    };
    // Blue 60 levels above the background: position 60 x 500 / 256 + 500 = 617 darkens blue alone;
    // red 100 below: -100 x 500 / 256 + 500 = 305 lightens red alone.
    const Case cases[] = {
        {"the same colours", qRgb(100, 120, 140), 10000, 10000, 10000},
        {"blue above", qRgb(100, 120, 200), 10000, 10000, GammaFromPosition(617)},
        {"red below", qRgb(0, 120, 140), GammaFromPosition(305), 10000, 10000},
        {"nothing visible", qRgba(0, 0, 0, 0), 10000, 10000, 10000},
    };
    SetScene(8, 6, qRgb(100, 120, 140));
    for (const Case& c : cases) {
        LayerImage* face = AddFace(8, 6, c.face);
        ASSERT_TRUE(MatchColors(document, *face)) << c.what;
        EXPECT_EQ(face->redGamma, c.red) << c.what;
        EXPECT_EQ(face->greenGamma, c.green) << c.what;
        EXPECT_EQ(face->blueGamma, c.blue) << c.what;
        delete face;
    }
    EXPECT_LT(GammaFromPosition(617), 10000);
    EXPECT_GT(GammaFromPosition(305), 10000);
}

TEST_F(ColorMatchTest, WithoutAPictureBehindTheGammasStay)
{
    LayerImage* face = AddFace(4, 4, qRgb(10, 20, 30));
    EXPECT_FALSE(MatchColors(document, *face));  // no scene
    SetScene(4, 4, qRgb(0, 0, 0));
    document.selectedIndex = -1;
    EXPECT_FALSE(MatchColors(document, *face));  // nothing selected
    EXPECT_EQ(face->redGamma, 5000);
    EXPECT_EQ(face->blueGamma, 5000);
}
