#include "PictureFixtures.h"

#include "platform/DeviceContext.h"

#include <gtest/gtest.h>

using namespace fixtures;
using platform::BackgroundMode;
using platform::DeviceContext;
using platform::Pen;
using platform::PenStyle;
using platform::RasterOp;

namespace {

// One character a pixel: '#' where the first byte is not 0.
std::string Ink(const QImage& picture)
{
    std::string rows;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            rows += Pixel(picture, x, y)[0] ? '#' : '.';
        rows += '\n';
    }
    return rows;
}

TEST(DeviceContextLines, SegmentsLeaveOutTheirEndPixel)
{
    QImage target = Filled(Rgb, 5, 3, {0, 0, 0});
    DeviceContext dc(target);
    dc.SetPen(Pen{PenStyle::Solid, Qt::white});
    dc.Polyline(QPolygon({QPoint(0, 0), QPoint(4, 0), QPoint(4, 2)}));
    // The second segment starts on the first one's left-out end pixel.
    EXPECT_EQ(Ink(target), "#####\n"
                           "....#\n"
                           ".....\n");
    QImage single = Filled(Rgb, 5, 1, {0, 0, 0});
    DeviceContext singleDc(single);
    singleDc.SetPen(Pen{PenStyle::Solid, Qt::white});
    singleDc.Polyline(QPolygon({QPoint(0, 0), QPoint(4, 0)}));
    EXPECT_EQ(Ink(single), "####.\n");
}

TEST(DeviceContextLines, DottedPenDrawsEveryOtherPixelAcrossSegments)
{
    QImage target = Filled(Rgb, 4, 3, {0, 0, 0});
    DeviceContext dc(target);
    dc.SetPen(Pen{PenStyle::Dot, Qt::white});
    dc.SetBackgroundMode(BackgroundMode::Transparent);
    dc.Polyline(QPolygon({QPoint(0, 0), QPoint(3, 0), QPoint(3, 3)}));
    EXPECT_EQ(Ink(target), "#.#.\n"
                           "...#\n"
                           "....\n");

    // An opaque background fills the gaps with its colour.
    QImage opaque = Filled(Rgb, 4, 1, {0, 0, 0});
    DeviceContext opaqueDc(opaque);
    opaqueDc.SetPen(Pen{PenStyle::Dot, QColor(1, 1, 1)});
    opaqueDc.SetBackgroundColour(QColor(2, 2, 2));
    opaqueDc.Polyline(QPolygon({QPoint(0, 0), QPoint(4, 0)}));
    EXPECT_EQ(Bytes(opaque), (std::vector<uint8_t>{1, 1, 1, 2, 2, 2, 1, 1, 1, 2, 2, 2}));
}

TEST(DeviceContextLines, XorFrameDrawnTwiceRestoresEveryPixel)
{
    QImage target(9, 7, Argb);
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            uint8_t* at = target.scanLine(y) + x * 4;
            at[0] = static_cast<uint8_t>(x * 29 + y * 7);
            at[1] = static_cast<uint8_t>(x * 3 + y * 51);
            at[2] = static_cast<uint8_t>(x * y * 13);
            at[3] = static_cast<uint8_t>(200 + x);
        }
    }
    const std::vector<uint8_t> before = Bytes(target);
    DeviceContext dc(target);
    dc.SetPen(Pen{PenStyle::Dot, Qt::black});
    dc.SetRasterOp(RasterOp::XorPen);
    // A frame with a degenerate side and a diagonal, reaching outside the picture.
    const QPolygon frame({QPoint(1, 1), QPoint(7, 2), QPoint(7, 2), QPoint(10, 9), QPoint(1, 5), QPoint(1, 1)});
    dc.Polyline(frame);
    EXPECT_NE(Bytes(target), before);
    // The gaps were inverted (white background), the black dots left as they were, alpha untouched.
    EXPECT_EQ(Pixel(target, 1, 1), (std::vector<uint8_t>(before.begin() + (1 * 9 + 1) * 4, before.begin() + (1 * 9 + 2) * 4)));
    const std::vector<uint8_t> gap = Pixel(target, 2, 1);
    EXPECT_EQ(gap[0], static_cast<uint8_t>(~before[(1 * 9 + 2) * 4]));
    EXPECT_EQ(gap[3], before[(1 * 9 + 2) * 4 + 3]);
    dc.Polyline(frame);
    EXPECT_EQ(Bytes(target), before);
}

TEST(DeviceContextLines, RegressionFramesFarBeyondThePictureDrawOnlyTheirVisiblePart)
{
    QImage target = Filled(Rgb, 4, 4, {0, 0, 0});
    DeviceContext dc(target);
    dc.SetPen(Pen{PenStyle::Dot, Qt::white});
    dc.SetBackgroundMode(BackgroundMode::Transparent);
    dc.SetRasterOp(RasterOp::XorPen);
    // The second segment starts 2000000000 steps into the dot pattern, on an "on" pixel.
    const QPolygon frame({QPoint(-2000000000, 1), QPoint(0, 1), QPoint(2000000000, 1)});
    dc.Polyline(frame);
    EXPECT_EQ(Ink(target), "....\n"
                           "#.#.\n"
                           "....\n"
                           "....\n");
    dc.Polyline(frame);
    EXPECT_EQ(Bytes(target), Repeat({0, 0, 0}, 16));
}

TEST(DeviceContextLines, PointsGoThroughTheWorldTransformAndTheClip)
{
    QImage target = Filled(Rgb, 5, 3, {0, 0, 0});
    DeviceContext dc(target);
    dc.SetPen(Pen{PenStyle::Solid, Qt::white});
    dc.SetGraphicsMode(platform::GraphicsModeKind::Advanced);
    dc.SetWorldTransform(QTransform::fromTranslate(1, 1));
    dc.SetClipRegion(QRegion(0, 0, 3, 3));
    dc.Polyline(QPolygon({QPoint(0, 0), QPoint(4, 0)}));
    EXPECT_EQ(Ink(target), ".....\n"
                           ".##..\n"
                           ".....\n");
}

TEST(DeviceContextPolygon, WindingFillsOverlapsAlternateLeavesThemOut)
{
    // Two squares traced the same way round, overlapping in the middle column.
    const QPolygon twoSquares({QPoint(0, 0), QPoint(3, 0), QPoint(3, 2), QPoint(0, 2), QPoint(0, 0), QPoint(2, 0),
                               QPoint(5, 0), QPoint(5, 2), QPoint(2, 2), QPoint(2, 0)});
    QImage winding = Filled(Rgb, 6, 3, {0, 0, 0});
    DeviceContext windingDc(winding);
    windingDc.SetPen(Pen{PenStyle::Null, Qt::black});
    windingDc.SetBrush(QColor(Qt::white));
    windingDc.SetPolygonFillMode(platform::PolygonFillMode::Winding);
    windingDc.Polygon(twoSquares);
    EXPECT_EQ(Ink(winding), "#####.\n"
                            "#####.\n"
                            "......\n");

    QImage alternate = Filled(Rgb, 6, 3, {0, 0, 0});
    DeviceContext alternateDc(alternate);
    alternateDc.SetPen(Pen{PenStyle::Null, Qt::black});
    alternateDc.SetBrush(QColor(Qt::white));
    alternateDc.Polygon(twoSquares);
    EXPECT_EQ(Ink(alternate), "##.##.\n"
                              "##.##.\n"
                              "......\n");
}

TEST(DeviceContextPolygon, PenOutlinesTheFilledInterior)
{
    QImage target = Filled(Rgb, 6, 6, {0, 0, 0});
    DeviceContext dc(target);
    dc.SetPen(Pen{PenStyle::Solid, QColor(2, 2, 2)});
    dc.SetBrush(QColor(1, 1, 1));
    dc.Polygon(QPolygon({QPoint(1, 1), QPoint(4, 1), QPoint(4, 4), QPoint(1, 4)}));
    std::string levels;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x)
            levels += static_cast<char>('0' + Pixel(target, x, y)[0]);
        levels += '\n';
    }
    EXPECT_EQ(levels, "000000\n"
                      "022220\n"
                      "021120\n"
                      "021120\n"
                      "022220\n"
                      "000000\n");
}

} // namespace
