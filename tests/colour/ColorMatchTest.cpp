#include "support/LayerPictures.h"
#include "support/ScopedAppPaths.h"

#include "engine/colour/ColorMatch.h"
#include "engine/colour/GammaScale.h"
#include "engine/colour/Histogram2.h"
#include "engine/document/Document.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/LayerImage.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

// A scene and a selected face in front of it, each of one straight ARGB colour, placed so that their
// content pixels land on the same document pixels.
class ColorMatchTest : public ::testing::Test {
protected:
    void SetScene(int w, int h, QRgb colour)
    {
        document.scene = PictureLayer(Filled(w, h, colour), LayerFlagsBackground);
    }
    LayerImage* AddFace(int w, int h, QRgb colour)
    {
        LayerImage* face = PictureLayer(Filled(w, h, colour), LayerFlagsFace).release();
        face->LinkBefore(&document.layers);
        document.selectedIndex = 0;
        face->redGamma = face->greenGamma = face->blueGamma = 5000;
        return face;
    }

    ScopedAppPaths paths;
    Document document;
};

int64_t Total(const Histogram2::Counts& counts) { return std::accumulate(counts.begin(), counts.end(), int64_t{0}); }

} // namespace

// The picture behind a face cropped from 0.9 of its 10 pixels is ceil(0.1f x 10) = 2 pixels wide, but
// its first content pixel is trunc(0.9f x 10) = 9: the frame reaches one column and one row past the
// face's picture, and those pixels were read from the next row or beyond the picture's end.
TEST_F(ColorMatchTest, RegressionCropAtThePictureEdgeReadsOutsideThePicture)
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
    EXPECT_EQ(Total(behind.bins[2]), 1);
    EXPECT_EQ(behind.bins[2][100], 1);
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
    // red 100 below: -100 x 500 / 256 + 500 = 305 lightens red alone. Erased pixels count nowhere.
    const Case cases[] = {
        {"the same colours", qRgb(100, 120, 140), 10000, 10000, 10000},
        {"blue above", qRgb(100, 120, 200), 10000, 10000, GammaFromPosition(617)},
        {"red below", qRgb(0, 120, 140), GammaFromPosition(305), 10000, 10000},
        {"nothing visible", qRgba(0, 0, 0, 0), 10000, 10000, 10000},
    };
    SetScene(8, 6, qRgb(100, 120, 140));
    for (const Case& c : cases) {
        const std::unique_ptr<LayerImage> face(AddFace(8, 6, c.face));
        ASSERT_TRUE(MatchColors(document, *face)) << c.what;
        EXPECT_EQ(face->redGamma, c.red) << c.what;
        EXPECT_EQ(face->greenGamma, c.green) << c.what;
        EXPECT_EQ(face->blueGamma, c.blue) << c.what;
    }
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
