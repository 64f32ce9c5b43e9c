#include "WizardFixture.h"

#include "support/LayerPictures.h"
#include "support/TestLayer.h"

#include "engine/document/GraphicsMode.h"
#include "engine/document/PictureDialogLink.h"
#include "engine/document/WizardState.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/ImageReference.h"
#include "platform/DeviceContext.h"

#include <QFile>

namespace {

const QRgb Red = qRgb(255, 0, 0);
const QRgb Blue = qRgb(0, 0, 255);
const Bgra Magenta{255, 0, 255, 255};
const Bgra White{255, 255, 255, 255};

Bgra Opaque(QRgb c)
{
    return {static_cast<uint8_t>(qBlue(c)), static_cast<uint8_t>(qGreen(c)), static_cast<uint8_t>(qRed(c)), 255};
}

// A scene whose pixel (x, y) has red 10x and green 10y.
QImage Ramp(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(10 * x, 10 * y, 0));
    return image;
}

class RenderTest : public WizardTest {
protected:
    // A red 4 x 3 scene and, in front of it, a blue pixel at document (2, 1).
    void SetUpComposition()
    {
        SetScene(PictureLayer(Filled(4, 3, Red), LayerFlagsBackground));
        dot = Add(PictureLayer(Filled(1, 1, Blue), LayerFlagsAccessory));
        dot->position = {2.5f, 1.5f};
        document.step = StepAccessories;
    }
    Bgra Rendered(int x, int y) { return PixelOf(*document.renderBuffer, x, y); }

    Layer* dot = nullptr;
};

TEST(GraphicsModeTest, PutsTheContextBackAsItWas)
{
    QImage target(2, 2, QImage::Format_BGR888);
    platform::DeviceContext dc(target);
    dc.SetRasterOp(platform::RasterOp::XorPen);
    {
        const GraphicsMode mode(dc);
        EXPECT_EQ(dc.State().graphicsMode, platform::GraphicsModeKind::Advanced);
        EXPECT_EQ(dc.State().stretchMode, platform::StretchMode::Halftone);
        dc.SetWorldTransform(QTransform::fromTranslate(5, 5));
        dc.SetRasterOp(platform::RasterOp::CopyPen);
    }
    EXPECT_EQ(dc.State().graphicsMode, platform::GraphicsModeKind::Compatible);
    EXPECT_EQ(dc.State().stretchMode, platform::StretchMode::BlackOnWhite);
    EXPECT_TRUE(dc.State().worldTransform.isIdentity());
    EXPECT_EQ(dc.State().rasterOp, platform::RasterOp::XorPen);
}

TEST_F(RenderTest, AllLayersShowTheSceneWithTheLayersInFront)
{
    SetUpComposition();
    ASSERT_TRUE(document.RenderRegion({0, 0, 3, 2}));
    ASSERT_EQ(document.renderBuffer->width, 4);
    ASSERT_EQ(document.renderBuffer->height, 3);
    EXPECT_EQ(document.renderBuffer->bitsPerPixel, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Rendered(x, y), Opaque(x == 2 && y == 1 ? Blue : Red)) << x << "," << y;

    // Only the given rectangle is drawn again.
    dot->position = {0.5f, 0.5f};
    ASSERT_TRUE(document.RenderRegion({0, 0, 0, 0}));
    EXPECT_EQ(Rendered(0, 0), Opaque(Blue));
    EXPECT_EQ(Rendered(2, 1), Opaque(Blue));
    ASSERT_TRUE(document.RenderRegion({-5, -5, 100, 100}));  // clamped to the work area
    EXPECT_EQ(Rendered(2, 1), Opaque(Red));
}

TEST_F(RenderTest, AtTheSceneChoiceTheSceneIsWhiteAndTheLayersStillShow)
{
    SetUpComposition();
    document.step = StepChooseScene;
    ASSERT_TRUE(document.RenderRegion({0, 0, 3, 2}));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Rendered(x, y), x == 2 && y == 1 ? Opaque(Blue) : White) << x << "," << y;
}

TEST_F(RenderTest, PaintAndCropViewsShowTheSelectedLayerAlone)
{
    SetUpComposition();
    // A 4 x 4 face cropped to its middle 2 x 2; its pixel (1, 1) is erased.
    QImage pixels = Ramp(4, 4);
    pixels.setPixel(1, 1, qRgba(0, 0, 0, 0));
    Layer* face = Add(PictureLayer(pixels, LayerFlagsFace));
    face->cropTopLeft = {0.25f, 0.25f};
    face->cropBottomRight = {0.75f, 0.75f};
    document.selectedIndex = 1;

    document.viewMode = ViewModePaintLayer;
    ASSERT_TRUE(document.RenderRegion({0, 0, 1, 1}));
    ASSERT_EQ(document.renderBuffer->width, 2);
    EXPECT_EQ(Rendered(0, 0), Magenta);
    EXPECT_EQ(Rendered(1, 0), Opaque(qRgb(20, 10, 0)));
    EXPECT_EQ(Rendered(0, 1), Opaque(qRgb(10, 20, 0)));
    EXPECT_EQ(Rendered(1, 1), Opaque(qRgb(20, 20, 0)));

    // The Crop Layer view shows the whole picture on the context's background, white.
    document.viewMode = ViewModeCropLayer;
    ASSERT_TRUE(document.RenderRegion({0, 0, 3, 3}));
    ASSERT_EQ(document.renderBuffer->width, 4);
    EXPECT_EQ(Rendered(1, 1), White);
    EXPECT_EQ(Rendered(3, 0), Opaque(qRgb(30, 0, 0)));
    EXPECT_EQ(Rendered(0, 3), Opaque(qRgb(0, 30, 0)));
}

TEST_F(RenderTest, NothingIsRenderedWithoutAnActiveLayer)
{
    document.viewMode = ViewModeAllLayers;
    EXPECT_FALSE(document.RenderRegion({0, 0, 9, 9}));  // no scene
    SetUpComposition();
    document.viewMode = ViewModeCropLayer;
    EXPECT_FALSE(document.RenderRegion({0, 0, 9, 9}));  // no selected layer
    EXPECT_EQ(document.renderBuffer->width, 0);
}

TEST_F(RenderTest, SelectedLayerRenderShowsWhatLiesBehindItsCrop)
{
    SetScene(PictureLayer(Ramp(8, 8), LayerFlagsBackground));
    Layer* behind = Add(PictureLayer(Filled(1, 1, Blue), LayerFlagsAccessory));
    behind->position = {2.5f, 2.5f};
    Layer* face = Add(PictureLayer(Filled(4, 4, Red), LayerFlagsFace));
    face->cropTopLeft = {0.25f, 0.25f};
    face->cropBottomRight = {0.75f, 0.75f};
    face->position = {2, 2};  // the crop's centre on document (2, 2): its frame covers (1, 1) - (2, 2)
    Add(PictureLayer(Filled(8, 8, Red), LayerFlagsAccessory));  // in front: not drawn
    document.selectedIndex = 1;

    const std::unique_ptr<ImageReference> picture = document.RenderSelectedLayer();
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->width, 2);
    ASSERT_EQ(picture->height, 2);
    EXPECT_EQ(PixelOf(*picture, 0, 0), Opaque(qRgb(10, 10, 0)));
    EXPECT_EQ(PixelOf(*picture, 1, 0), Opaque(qRgb(20, 10, 0)));
    EXPECT_EQ(PixelOf(*picture, 0, 1), Opaque(qRgb(10, 20, 0)));
    EXPECT_EQ(PixelOf(*picture, 1, 1), Opaque(Blue));

    // 0.25 .. 0.75 of 401 pixels is 200.5 wide: 201.
    face->size = {401, 2};
    const std::unique_ptr<ImageReference> wide = document.RenderSelectedLayer();
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->width, 201);
    EXPECT_EQ(wide->height, 1);

    face->cropBottomRight = face->cropTopLeft;
    EXPECT_FALSE(document.RenderSelectedLayer());  // nothing left of the crop
    Add(std::make_unique<TestLayer>(LayerFlagsFace, 0));
    document.selectedIndex = 3;
    EXPECT_FALSE(document.RenderSelectedLayer());  // no picture
    document.selectedIndex = -1;
    EXPECT_FALSE(document.RenderSelectedLayer());
}

TEST_F(RenderTest, SavedPictureIsTheCompositionAtTheScenesSize)
{
    SetUpComposition();
    document.viewMode = ViewModePaintLayer;
    document.step = StepChooseScene;  // the scene is drawn whatever the state
    const QString png = paths.Get().dataFolder + "/out.png";
    ASSERT_TRUE(document.SavePicture(png));
    EXPECT_EQ(document.viewMode, ViewModePaintLayer);
    const QImage saved(png, "PNG");
    ASSERT_EQ(saved.size(), QSize(4, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(saved.pixel(x, y), x == 2 && y == 1 ? Blue : Red) << x << "," << y;

    const QString jpg = paths.Get().dataFolder + "/out.jpg";
    ASSERT_TRUE(document.SavePicture(jpg));
    QFile file(jpg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(3) == QByteArray("\xFF\xD8\xFF"));  // a JPEG file
    EXPECT_EQ(QImage(jpg).size(), QSize(4, 3));
}

// A picture that cannot be written is reported, and a file already there stays as it was.
TEST_F(RenderTest, RegressionAFailedPictureExportIsReportedAndKeepsTheOldFile)
{
    struct FixedDialog final : PictureDialogLink {
        std::optional<QString> Run() override { return path; }
        QString path;
    } dialog;
    g_pictureDialog = &dialog;

    EXPECT_FALSE(document.SavePicture(paths.Get().dataFolder + "/none.jpg"));  // no scene
    SetUpComposition();
    const QString old = paths.Get().dataFolder + "/old.unknownformat";
    WriteFile(old, "old");
    dialog.path = old;
    document.OnSavePicture();
    EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("Could not save the picture \"%1\".").arg(old)});
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));

    dialog.path = paths.Get().dataFolder + "/no such folder/pic.jpg";
    EXPECT_FALSE(document.SavePicture(dialog.path));
    g_pictureDialog = nullptr;
}

} // namespace
