#include "PictureFixtures.h"

#include "platform/DeviceContext.h"
#include "platform/DeviceContextSaver.h"

#include <gtest/gtest.h>

using namespace fixtures;
using platform::BlockOp;
using platform::DeviceContext;
using platform::GraphicsModeKind;
using platform::StretchMode;

namespace {

TEST(DeviceContextFill, FillsTheRectangleWithOpaqueColourInsideTheClip)
{
    QImage target = Filled(Rgb, 4, 3, {0, 0, 0});
    DeviceContext dc(target);
    dc.FillRect(QRect(1, 0, 2, 2), QColor(3, 2, 1));
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{0, 0, 0, 1, 2, 3, 1, 2, 3, 0, 0, 0,  //
                                                   0, 0, 0, 1, 2, 3, 1, 2, 3, 0, 0, 0,  //
                                                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    dc.SetClipRegion(QRegion(0, 2, 1, 1));
    dc.FillRect(QRect(0, 0, 4, 3), QColor(9, 9, 9));
    EXPECT_EQ(Pixel(target, 0, 2), (std::vector<uint8_t>{9, 9, 9}));
    EXPECT_EQ(Pixel(target, 1, 2), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(Pixel(target, 0, 0), (std::vector<uint8_t>{0, 0, 0}));

    QImage wide = Filled(Argb, 2, 1, {0, 0, 0, 0});
    DeviceContext wideDc(wide);
    wideDc.FillRect(QRect(1, 0, 1, 1), QColor(10, 20, 30));
    EXPECT_EQ(Bytes(wide), (std::vector<uint8_t>{0, 0, 0, 0, 30, 20, 10, 255}));
}

TEST(DeviceContextFill, WorldTransformAppliesOnlyInAdvancedMode)
{
    QImage target = Filled(Rgb, 3, 1, {0, 0, 0});
    DeviceContext dc(target);
    EXPECT_FALSE(dc.SetWorldTransform(QTransform::fromTranslate(2, 0)));
    dc.FillRect(QRect(0, 0, 1, 1), Qt::white);
    EXPECT_EQ(Pixel(target, 0, 0), (std::vector<uint8_t>{255, 255, 255}));

    EXPECT_EQ(dc.SetGraphicsMode(GraphicsModeKind::Advanced), GraphicsModeKind::Compatible);
    EXPECT_TRUE(dc.SetWorldTransform(QTransform::fromTranslate(2, 0)));
    dc.FillRect(QRect(0, 0, 1, 1), QColor(1, 1, 1));
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 1, 1, 1}));

    // Back to compatible mode only once the transform is the identity again.
    EXPECT_EQ(dc.SetGraphicsMode(GraphicsModeKind::Compatible), GraphicsModeKind::Advanced);
    EXPECT_EQ(dc.State().graphicsMode, GraphicsModeKind::Advanced);
    dc.SetWorldTransform(QTransform());
    dc.SetGraphicsMode(GraphicsModeKind::Compatible);
    EXPECT_EQ(dc.State().graphicsMode, GraphicsModeKind::Compatible);
}

TEST(DeviceContextFill, ScaledTransformFillsTheMappedPixels)
{
    QImage target = Filled(Rgb, 4, 4, {0, 0, 0});
    DeviceContext dc(target);
    dc.SetGraphicsMode(GraphicsModeKind::Advanced);
    dc.SetWorldTransform(QTransform::fromScale(2, 2));
    dc.FillRect(QRect(1, 1, 1, 1), QColor(7, 7, 7));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const uint8_t expected = (x >= 2 && y >= 2) ? 7 : 0;
            EXPECT_EQ(Pixel(target, x, y)[0], expected) << x << "," << y;
        }
    }
}

TEST(DeviceContextBlock, CopyMovesBytesBetweenDepths)
{
    const QImage four = Picture(Argb, 2, 1, {1, 2, 3, 4, 5, 6, 7, 8});
    QImage narrow = Filled(Rgb, 3, 1, {0, 0, 0});
    DeviceContext narrowDc(narrow);
    EXPECT_TRUE(narrowDc.BlockCopy(1, 0, 2, 1, four, 0, 0, BlockOp::SourceCopy));
    EXPECT_EQ(Bytes(narrow), (std::vector<uint8_t>{0, 0, 0, 1, 2, 3, 5, 6, 7}));

    QImage wide = Filled(Argb, 2, 1, {0, 0, 0, 0});
    DeviceContext wideDc(wide);
    wideDc.BlockCopy(0, 0, 2, 1, narrow, 1, 0, BlockOp::SourceCopy);
    EXPECT_EQ(Bytes(wide), (std::vector<uint8_t>{1, 2, 3, 255, 5, 6, 7, 255}));
    wideDc.BlockCopy(0, 0, 2, 1, four, 0, 0, BlockOp::SourceCopy);
    EXPECT_EQ(Bytes(wide), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(DeviceContextBlock, SourceOutsideThePictureIsLeftOut)
{
    const QImage source = Picture(Rgb, 2, 1, {1, 1, 1, 2, 2, 2});
    QImage target = Filled(Rgb, 3, 1, {0, 0, 0});
    DeviceContext dc(target);
    dc.BlockCopy(0, 0, 3, 1, source, -1, 0, BlockOp::SourceCopy);
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{0, 0, 0, 1, 1, 1, 2, 2, 2}));
}

TEST(DeviceContextBlock, OverlappingCopyOntoItselfMovesTheWholeBlock)
{
    QImage target = Picture(Rgb, 4, 1, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4});
    DeviceContext dc(target);
    dc.BlockCopy(1, 0, 3, 1, target, 0, 0, BlockOp::SourceCopy);
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{1, 1, 1, 1, 1, 1, 2, 2, 2, 3, 3, 3}));
}

TEST(DeviceContextBlock, InvertXorsColourKeepsAlphaAndTwiceRestores)
{
    const QImage source = Picture(Argb, 2, 1, {0xFF, 0x0F, 0x00, 0xFF, 0x01, 0x02, 0x03, 0x80});
    const std::vector<uint8_t> before = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};
    QImage target = Picture(Argb, 2, 1, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80});
    DeviceContext dc(target);
    dc.BlockCopy(0, 0, 2, 1, source, 0, 0, BlockOp::SourceInvert);
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{0xEF, 0x2F, 0x30, 0x40, 0x51, 0x62, 0x73, 0x80}));
    dc.BlockCopy(0, 0, 2, 1, source, 0, 0, BlockOp::SourceInvert);
    EXPECT_EQ(Bytes(target), before);
}

TEST(DeviceContextBlock, InvertUnderARotationChangesOnlyCoveredPixelsAndTwiceRestores)
{
    const QImage source = Filled(Rgb, 2, 2, {0xFF, 0xFF, 0xFF});
    QImage target = Filled(Rgb, 4, 4, {0x11, 0x22, 0x33});
    const std::vector<uint8_t> before = Bytes(target);
    DeviceContext dc(target);
    dc.SetGraphicsMode(GraphicsModeKind::Advanced);
    dc.SetWorldTransform(QTransform().translate(4, 4).rotate(180));
    dc.BlockCopy(0, 0, 2, 2, source, 0, 0, BlockOp::SourceInvert);
    EXPECT_EQ(Pixel(target, 3, 3), (std::vector<uint8_t>{0xEE, 0xDD, 0xCC}));
    EXPECT_EQ(Pixel(target, 2, 2), (std::vector<uint8_t>{0xEE, 0xDD, 0xCC}));
    EXPECT_EQ(Pixel(target, 1, 1), (std::vector<uint8_t>{0x11, 0x22, 0x33}));
    dc.BlockCopy(0, 0, 2, 2, source, 0, 0, BlockOp::SourceInvert);
    EXPECT_EQ(Bytes(target), before);
}

TEST(DeviceContextStretch, SameSizeCopyIsExactAndHalftoneAppliesTheColourAdjustment)
{
    const QImage source = Picture(Rgb, 2, 1, {0, 100, 255, 128, 128, 128});
    QImage target = Filled(Argb, 2, 1, {0, 0, 0, 0});
    DeviceContext dc(target);
    platform::ColourAdjustment darker;
    darker.redGamma = 5000;
    darker.brightness = 0;
    dc.SetColourAdjustment(darker);
    // Outside halftone mode the adjustment does not apply.
    dc.StretchCopy(QRect(0, 0, 2, 1), source, QRect(0, 0, 2, 1));
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{0, 100, 255, 255, 128, 128, 128, 255}));

    dc.SetStretchMode(StretchMode::Halftone);
    dc.StretchCopy(QRect(0, 0, 2, 1), source, QRect(0, 0, 2, 1));
    const platform::ColourTables tables = darker.Tables();
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{0, 100, 255, 255, 128, 128, tables.red[128], 255}));
    EXPECT_EQ(tables.red[128], 64);
}

TEST(DeviceContextStretch, EnlargingWithoutHalftoneRepeatsPixels)
{
    const QImage source = Picture(Rgb, 2, 1, {1, 1, 1, 2, 2, 2});
    QImage target = Filled(Rgb, 4, 2, {0, 0, 0});
    DeviceContext dc(target);
    dc.StretchCopy(QRect(0, 0, 4, 2), source, QRect(0, 0, 2, 1));
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2,  //
                                                   1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2}));
}

TEST(DeviceContextStretch, HalftoneEnlargementOfAFlatPictureStaysFlatAndAdjusted)
{
    const QImage source = Filled(Rgb, 2, 2, {50, 100, 128});
    QImage target = Filled(Rgb, 6, 6, {0, 0, 0});
    DeviceContext dc(target);
    dc.SetStretchMode(StretchMode::Halftone);
    platform::ColourAdjustment adjustment;
    adjustment.redGamma = 5000;
    dc.SetColourAdjustment(adjustment);
    dc.StretchCopy(QRect(0, 0, 6, 6), source, QRect(0, 0, 2, 2));
    EXPECT_EQ(Bytes(target), Repeat({50, 100, 64}, 36));
}

TEST(DeviceContextBlend, PerPixelPremultipliedAlphaOverTheTarget)
{
    const QImage source = Picture(Argb, 3, 1, {64, 64, 64, 128, 0, 0, 0, 0, 10, 20, 30, 255});
    QImage target = Filled(Rgb, 3, 1, {255, 255, 255});
    DeviceContext dc(target);
    EXPECT_TRUE(dc.AlphaBlend(QRect(0, 0, 3, 1), source, QRect(0, 0, 3, 1), 255));
    // 64 + 255 x (255 - 128) / 255 = 191; transparent leaves white; opaque replaces.
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{191, 191, 191, 255, 255, 255, 10, 20, 30}));

    QImage wide = Filled(Argb, 1, 1, {0, 0, 0, 0});
    DeviceContext wideDc(wide);
    wideDc.AlphaBlend(QRect(0, 0, 1, 1), source, QRect(0, 0, 1, 1), 255);
    EXPECT_EQ(Bytes(wide), (std::vector<uint8_t>{64, 64, 64, 128}));
}

TEST(DeviceContextBlend, ConstantAlphaScalesTheSourceFirst)
{
    const QImage opaque = Picture(Rgb, 1, 1, {255, 0, 100});
    QImage target = Filled(Rgb, 1, 1, {0, 255, 100});
    DeviceContext dc(target);
    dc.AlphaBlend(QRect(0, 0, 1, 1), opaque, QRect(0, 0, 1, 1), 128);
    // source x 128/255 + target x 127/255, each rounded: 128 + 0, 0 + 127, 50 + 50
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{128, 127, 100}));

    const QImage half = Picture(Argb, 1, 1, {200, 100, 50, 200});
    QImage white = Filled(Rgb, 1, 1, {255, 255, 255});
    DeviceContext whiteDc(white);
    whiteDc.AlphaBlend(QRect(0, 0, 1, 1), half, QRect(0, 0, 1, 1), 128);
    // scaled source 100, 50, 25 with alpha 100; 255 x 155 / 255 = 155
    EXPECT_EQ(Bytes(white), (std::vector<uint8_t>{255, 205, 180}));

    whiteDc.AlphaBlend(QRect(0, 0, 1, 1), half, QRect(0, 0, 1, 1), 0);
    EXPECT_EQ(Bytes(white), (std::vector<uint8_t>{255, 205, 180}));
}

TEST(DeviceContextBlend, TransformAndClipPlaceTheBlock)
{
    const QImage source = Picture(Argb, 2, 1, {1, 1, 1, 255, 2, 2, 2, 255});
    QImage target = Filled(Rgb, 3, 3, {0, 0, 0});
    DeviceContext dc(target);
    dc.SetGraphicsMode(GraphicsModeKind::Advanced);
    // A quarter turn about the origin, then down by 0 and right by 1: (x, y) -> (1 - y, x).
    dc.SetWorldTransform(QTransform(0, 1, -1, 0, 1, 0));
    dc.SetClipRegion(QRegion(0, 0, 3, 1));
    dc.AlphaBlend(QRect(0, 0, 2, 1), source, QRect(0, 0, 2, 1), 255);
    EXPECT_EQ(Pixel(target, 0, 0), (std::vector<uint8_t>{1, 1, 1}));
    EXPECT_EQ(Pixel(target, 0, 1), (std::vector<uint8_t>{0, 0, 0}));  // clipped
    dc.SetClipRegion(std::nullopt);
    dc.AlphaBlend(QRect(0, 0, 2, 1), source, QRect(0, 0, 2, 1), 255);
    EXPECT_EQ(Pixel(target, 0, 1), (std::vector<uint8_t>{2, 2, 2}));
    EXPECT_EQ(Pixel(target, 1, 0), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(DeviceContextState, PaintWithHandsOverTransformAndClipAndUndoesChanges)
{
    QImage target = Filled(Rgb, 4, 2, {0, 0, 0});
    DeviceContext dc(target);
    dc.SetGraphicsMode(GraphicsModeKind::Advanced);
    dc.SetWorldTransform(QTransform::fromTranslate(1, 0));
    dc.SetClipRegion(QRegion(0, 0, 3, 2));
    dc.PaintWith([](QPainter& painter) {
        painter.fillRect(QRect(0, 0, 3, 1), QColor(5, 5, 5));
        painter.setTransform(QTransform::fromTranslate(-1, 1));
        painter.setCompositionMode(QPainter::CompositionMode_Xor);
    });
    EXPECT_EQ(Bytes(target), (std::vector<uint8_t>{0, 0, 0, 5, 5, 5, 5, 5, 5, 0, 0, 0,  //
                                                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    dc.PaintWith([](QPainter& painter) {
        EXPECT_EQ(painter.transform(), QTransform::fromTranslate(1, 0));
        EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
    });
}

TEST(DeviceContextState, SaverPutsEveryValueBack)
{
    QImage target = Filled(Rgb, 1, 1, {0, 0, 0});
    DeviceContext dc(target);
    const platform::DeviceState fresh = dc.State();
    {
        const platform::DeviceContextSaver saver(dc);
        dc.SetGraphicsMode(GraphicsModeKind::Advanced);
        dc.SetWorldTransform(QTransform::fromScale(3, 3));
        dc.SetStretchMode(StretchMode::Halftone);
        dc.SetRasterOp(platform::RasterOp::XorPen);
        dc.SetBackgroundColour(Qt::red);
        dc.SetBackgroundMode(platform::BackgroundMode::Transparent);
        dc.SetClipRegion(QRegion(0, 0, 1, 1));
        platform::ColourAdjustment adjustment;
        adjustment.contrast = 10;
        dc.SetColourAdjustment(adjustment);
        EXPECT_EQ(dc.State().stretchMode, StretchMode::Halftone);
    }
    const platform::DeviceState& now = dc.State();
    EXPECT_EQ(now.graphicsMode, fresh.graphicsMode);
    EXPECT_TRUE(now.worldTransform.isIdentity());
    EXPECT_EQ(now.stretchMode, StretchMode::BlackOnWhite);
    EXPECT_EQ(now.rasterOp, platform::RasterOp::CopyPen);
    EXPECT_EQ(now.backgroundColour, QColor(Qt::white));
    EXPECT_EQ(now.backgroundMode, platform::BackgroundMode::Opaque);
    EXPECT_FALSE(now.clipRegion.has_value());
    EXPECT_EQ(now.colourAdjustment, platform::ColourAdjustment{});
}

} // namespace
