#include "support/LayerPictures.h"

#include "engine/document/Document.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/Image.h"
#include "engine/layers/LayerImage.h"
#include "platform/DeviceContext.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr QRgb White = 0xFFFFFFFF;

// 4 x 2 opaque pixels, each of its own colour: content (x, y) is qRgb(10 + 40 x, 20 + 100 y, 200).
QImage Picture4x2()
{
    std::vector<QRgb> pixels;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            pixels.push_back(qRgb(10 + 40 * x, 20 + 100 * y, 200));
    return Straight(4, 2, pixels);
}

Bgra ContentColour(int x, int y)
{
    return {200, uint8_t(20 + 100 * y), uint8_t(10 + 40 * x), 255};
}

// The target of a view: 24 bits, white, in advanced mode as the renderer sets it up.
class Target {
public:
    Target(int width, int height) : image(width, height, QImage::Format_BGR888)
    {
        image.fill(White);
        dc = std::make_unique<platform::DeviceContext>(image);
        dc->SetGraphicsMode(platform::GraphicsModeKind::Advanced);
    }
    Rect Whole() const { return {0, 0, image.width() - 1, image.height() - 1}; }
    // Ends the drawing so the pixels can be read.
    const QImage& Pixels()
    {
        dc.reset();
        return image;
    }

    QImage image;
    std::unique_ptr<platform::DeviceContext> dc;
};

// Checks that the target shows content pixel (cx, cy) at (x, y) for the given block, and white elsewhere.
void ExpectBlock(const QImage& image, int left, int top, int columns, int rows, int contentLeft, int contentTop)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool inside = x >= left && x < left + columns && y >= top && y < top + rows;
            const Bgra expected = inside ? ContentColour(contentLeft + x - left, contentTop + y - top)
                                         : Bgra{255, 255, 255, 255};
            EXPECT_EQ(PixelOf(image, x, y), expected) << x << "," << y;
        }
    }
}

class LayerDrawTest : public ::testing::Test {
protected:
    static std::unique_ptr<LayerImage> MakeLayer(PointF cropTopLeft = {0, 0}, PointF cropBottomRight = {1, 1})
    {
        auto layer = PaintLayerFrom(Picture4x2(), LayerFlagsFace);
        layer->cropTopLeft = cropTopLeft;
        layer->cropBottomRight = cropBottomRight;
        return layer;
    }
    Document document;
};

TEST_F(LayerDrawTest, AllLayersViewPlacesTheCropThroughTheTransform)
{
    auto layer = MakeLayer();
    layer->position = {3, 2};  // the pivot (2, 1) lands here: content (0, 0) at (1, 1)
    Target target(8, 6);
    layer->Draw(*target.dc, target.Whole(), target.Whole(), ViewModeAllLayers);
    ExpectBlock(target.Pixels(), 1, 1, 4, 2, 0, 0);

    // Cropped to the middle half: content columns 1 and 2 of row 0, still at their places.
    layer->cropTopLeft = {0.25f, 0.25f};
    layer->cropBottomRight = {0.75f, 0.75f};
    layer->position = {3, 2};  // the pivot is the crop centre (2, 1) again
    Target cropped(8, 6);
    layer->Draw(*cropped.dc, cropped.Whole(), cropped.Whole(), ViewModeAllLayers);
    ExpectBlock(cropped.Pixels(), 2, 1, 2, 1, 1, 0);
}

TEST_F(LayerDrawTest, AllLayersViewDrawsOnlyTheClip)
{
    auto layer = MakeLayer();
    layer->position = {2, 1};  // content (0, 0) at (0, 0)
    Target target(8, 6);
    layer->Draw(*target.dc, Rect{2, 1, 7, 5}, target.Whole(), ViewModeAllLayers);
    ExpectBlock(target.Pixels(), 2, 1, 2, 1, 2, 1);
}

TEST_F(LayerDrawTest, CropLayerViewDrawsTheWholePicture)
{
    auto layer = MakeLayer({0.25f, 0.25f}, {0.75f, 0.75f});
    layer->position = {100, 100};  // not used in this view
    Target target(6, 4);
    layer->Draw(*target.dc, target.Whole(), target.Whole(), ViewModeCropLayer);
    ExpectBlock(target.Pixels(), 0, 0, 4, 2, 0, 0);
}

TEST_F(LayerDrawTest, PaintLayerViewShowsTheCropAtTheOrigin)
{
    auto layer = MakeLayer({0.25f, 0.5f}, {1, 1});  // columns 1 to 3 of row 1
    Target target(6, 4);
    layer->Draw(*target.dc, target.Whole(), target.Whole(), ViewModePaintLayer);
    ExpectBlock(target.Pixels(), 0, 0, 3, 1, 1, 1);
}

TEST_F(LayerDrawTest, SelectedModeMapsIntoTheSelectedLayersCroppedPicture)
{
    // The selected layer: 8 x 8 content, cropped to 4..8 on both axes, placed with content (0, 0) at the
    // document origin. The drawn layer sits with content (0, 0) at document (5, 6): in the selected
    // layer's cropped picture that is (1, 2).
    auto selected = MakeLayer({0.5f, 0.5f}, {1, 1});
    selected->size = {8, 8};
    selected->position = {6, 6};  // its pivot (6, 6)
    selected->LinkBefore(&document.layers);
    document.selectedIndex = 0;

    auto layer = MakeLayer();
    layer->position = {7, 7};
    Target target(6, 5);
    layer->Draw(*target.dc, target.Whole(), target.Whole(), DrawModeSelected);
    ExpectBlock(target.Pixels(), 1, 2, 4, 2, 0, 0);
    selected->Unlink();

    // Without a selected layer nothing is drawn.
    document.selectedIndex = -1;
    Target none(6, 5);
    layer->Draw(*none.dc, none.Whole(), none.Whole(), DrawModeSelected);
    ExpectBlock(none.Pixels(), 0, 0, 0, 0, 0, 0);
}

TEST_F(LayerDrawTest, OpaquePictureIsCopiedAndAlphaIsBlended)
{
    QTemporaryDir folder;
    QImage opaque(1024, 1, QImage::Format_RGB32);
    opaque.fill(qRgb(10, 20, 30));
    WriteFile(folder.filePath("opaque.png"), PngBytes(opaque));
    LayerImage background(QString(), LayerFlagsBackground, 0);
    ASSERT_TRUE(background.LoadFile(folder.filePath("opaque.png")));
    ASSERT_EQ(background.GetImage()->bitsPerPixel, 24);
    Target copied(3, 2);
    background.Draw(*copied.dc, copied.Whole(), copied.Whole(), ViewModeCropLayer);
    EXPECT_EQ(PixelOf(copied.Pixels(), 2, 0), (Bgra{30, 20, 10, 255}));
    EXPECT_EQ(PixelOf(copied.image, 2, 1), (Bgra{255, 255, 255, 255}));  // below the picture


    QImage picture(1024, 1, QImage::Format_ARGB32);
    picture.fill(qRgba(200, 100, 50, 128));
    picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
    WriteFile(folder.filePath("alpha.png"), PngBytes(picture));
    LayerImage accessory(QString(), LayerFlagsAccessory, 0);
    ASSERT_TRUE(accessory.LoadFile(folder.filePath("alpha.png")));
    Target target(3, 1);
    accessory.Draw(*target.dc, target.Whole(), target.Whole(), ViewModeCropLayer);
    const QImage& blended = target.Pixels();
    EXPECT_EQ(PixelOf(blended, 0, 0), (Bgra{255, 255, 255, 255}));  // transparent
    // 50% over white: premultiplied colour + white x (255 - 128) / 255.
    const Bgra half = PixelOf(blended, 1, 0);
    EXPECT_NEAR(half.r, 100 + 127, 1);
    EXPECT_NEAR(half.g, 50 + 127, 1);
    EXPECT_NEAR(half.b, 25 + 127, 1);
}

TEST_F(LayerDrawTest, ALayerWithoutPictureShowsLoadFailed)
{
    LayerImage failed(QString(), LayerFlagsFace, 0);
    failed.size = {512, 512};
    failed.centre = {256, 256};
    const QImage shown = DrawnLayer(failed, 512, 512, ViewModeAllLayers);
    EXPECT_EQ(shown, PlaceholderPicture(QStringLiteral("Load Failed.")));
    // The text is there, and below the placeholder's centre.
    EXPECT_NE(shown, PlaceholderPicture(QString()));
    for (int y = 0; y < 246; ++y)
        for (int x = 0; x < 512; ++x)
            ASSERT_EQ(PixelOf(shown, x, y), (Bgra{255, 255, 255, 255}));
}

TEST_F(LayerDrawTest, RegressionZeroScaleDrawsNothing)
{
    auto layer = MakeLayer();
    layer->scale = {0, 1};
    Target target(8, 6);
    layer->Draw(*target.dc, target.Whole(), target.Whole(), ViewModeAllLayers);
    ExpectBlock(target.Pixels(), 0, 0, 0, 0, 0, 0);
}

} // namespace
