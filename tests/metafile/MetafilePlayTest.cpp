#include "EmfWriter.h"
#include "RenderHelpers.h"
#include "platform/metafile/Metafile.h"

#include <QPainter>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using platform::Metafile;

namespace {

constexpr U_RECTL kNoBounds{0, 0, 0, 0};
constexpr uint32_t kFlatSolidPen = U_PS_SOLID | U_PS_GEOMETRIC | U_PS_ENDCAP_FLAT | U_PS_JOIN_MITER;

// A writer with a red brush and no pen selected: figures fill exactly their area.
void SelectRedFillWithoutPen(EmfWriter& emf)
{
    emf.Select(emf.Brush(kRed)).Select(U_NULL_PEN);
}

std::vector<U_POINTL> Points(std::initializer_list<std::pair<int, int>> list)
{
    std::vector<U_POINTL> points;
    for (const auto& [x, y] : list)
        points.push_back(U_POINTL{x, y});
    return points;
}

// --- Filled figures ------------------------------------------------------------------------

TEST(MetafilePlayTest, RectangleFillsItsBoxExactly)
{
    EmfWriter emf(10, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{2, 3, 8, 7}));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(2, 3, 6, 4), kRed));
}

TEST(MetafilePlayTest, PolygonsIn32And16BitPointsFillTheSameArea)
{
    EmfWriter wide(10, 10);
    SelectRedFillWithoutPen(wide);
    const auto points = Points({{2, 2}, {8, 2}, {8, 6}, {2, 6}});
    wide.Add(U_EMRPOLYGON_set(kNoBounds, uint32_t(points.size()), points.data()));
    EXPECT_TRUE(AreaIs(Render(wide.Finish(), {10, 10}), QRect(2, 2, 6, 4), kRed));

    EmfWriter narrow(10, 10);
    SelectRedFillWithoutPen(narrow);
    const U_POINT16 shortPoints[] = {{2, 2}, {8, 2}, {8, 6}, {2, 6}};
    narrow.Add(U_EMRPOLYGON16_set(kNoBounds, 4, shortPoints));
    EXPECT_TRUE(AreaIs(Render(narrow.Finish(), {10, 10}), QRect(2, 2, 6, 4), kRed));
}

// The same figures written with 32-bit and with 16-bit points.
QByteArray PolyFigures(bool shortPoints)
{
    EmfWriter emf(32, 32);
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 2, kBlack)).Select(emf.Brush(kRed));
    const std::vector<std::pair<int, int>> line = {{2, 2}, {10, 2}, {10, 6}};
    const std::vector<std::pair<int, int>> curve = {{12, 2}, {12, 10}, {22, 10}, {22, 2}};
    const std::vector<std::pair<int, int>> squares = {{2, 12}, {14, 12}, {14, 24}, {2, 24}, {5, 15}, {11, 15}, {11, 21}, {5, 21}};
    const uint32_t counts[] = {4, 4};
    std::vector<U_POINTL> wide;
    std::vector<U_POINT16> narrow;
    auto set = [&](const std::vector<std::pair<int, int>>& points) {
        wide.clear();
        narrow.clear();
        for (const auto& [x, y] : points) {
            wide.push_back(U_POINTL{x, y});
            narrow.push_back(U_POINT16{int16_t(x), int16_t(y)});
        }
        return uint32_t(points.size());
    };
    uint32_t n = set(line);
    emf.Add(shortPoints ? U_EMRPOLYLINE16_set(kNoBounds, n, narrow.data()) : U_EMRPOLYLINE_set(kNoBounds, n, wide.data()));
    n = set(curve);
    emf.Add(shortPoints ? U_EMRPOLYBEZIER16_set(kNoBounds, n, narrow.data()) : U_EMRPOLYBEZIER_set(kNoBounds, n, wide.data()));
    n = set(squares);
    emf.Add(shortPoints ? U_EMRPOLYPOLYGON16_set(kNoBounds, 2, counts, n, narrow.data())
                        : U_EMRPOLYPOLYGON_set(kNoBounds, 2, counts, n, wide.data()));
    emf.Add(U_EMRMOVETOEX_set(U_POINTL{18, 22}));
    n = set({{20, 14}, {24, 22}, {28, 14}});
    emf.Add(shortPoints ? U_EMRPOLYLINETO16_set(kNoBounds, n, narrow.data()) : U_EMRPOLYLINETO_set(kNoBounds, n, wide.data()));
    n = set({{28, 18}, {24, 18}, {20, 14}});
    emf.Add(shortPoints ? U_EMRPOLYBEZIERTO16_set(kNoBounds, n, narrow.data())
                        : U_EMRPOLYBEZIERTO_set(kNoBounds, n, wide.data()));
    n = set({{2, 27}, {10, 27}, {2, 30}, {10, 30}});
    const uint32_t lineCounts[] = {2, 2};
    emf.Add(shortPoints ? U_EMRPOLYPOLYLINE16_set(kNoBounds, 2, lineCounts, n, narrow.data())
                        : U_EMRPOLYPOLYLINE_set(kNoBounds, 2, lineCounts, n, wide.data()));
    return emf.Finish();
}

TEST(MetafilePlayTest, SixteenBitRecordsDrawLikeTheirWideForms)
{
    const QImage wide = Render(PolyFigures(false), {32, 32});
    const QImage narrow = Render(PolyFigures(true), {32, 32});
    EXPECT_EQ(wide, narrow);
    EXPECT_EQ(wide.pixel(6, 1), kBlack);  // the polyline
    EXPECT_EQ(wide.pixel(3, 13), kRed);   // the outer square's fill
    EXPECT_EQ(wide.pixel(8, 18), kPaper); // the inner square, a hole with the default fill mode
    EXPECT_EQ(wide.pixel(6, 26), kBlack); // the first line of the poly-polyline
    EXPECT_EQ(wide.pixel(24, 21), kBlack); // the line from the current position
}

TEST(MetafilePlayTest, PolyPolygonHonoursTheFillMode)
{
    for (const uint32_t mode : {U_ALTERNATE, U_WINDING}) {
        EmfWriter emf(16, 16);
        SelectRedFillWithoutPen(emf);
        emf.Add(U_EMRSETPOLYFILLMODE_set(mode));
        // Two squares, one inside the other, both drawn clockwise.
        const auto points = Points({{2, 2}, {14, 2}, {14, 14}, {2, 14}, {5, 5}, {11, 5}, {11, 11}, {5, 11}});
        const uint32_t counts[] = {4, 4};
        emf.Add(U_EMRPOLYPOLYGON_set(kNoBounds, 2, counts, uint32_t(points.size()), points.data()));
        const QImage image = Render(emf.Finish(), {16, 16});
        EXPECT_EQ(image.pixel(3, 3), kRed);
        EXPECT_EQ(image.pixel(1, 1), kPaper);
        EXPECT_EQ(image.pixel(8, 8), mode == U_WINDING ? kRed : kPaper) << "fill mode " << mode;
    }
}

TEST(MetafilePlayTest, EllipseRoundRectAndPieFillTheirShapes)
{
    EmfWriter emf(40, 20);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRELLIPSE_set(U_RECTL{0, 0, 20, 10}));
    emf.Add(U_EMRROUNDRECT_set(U_RECTL{20, 0, 40, 20}, U_SIZEL{10, 10}));
    const QImage image = Render(emf.Finish(), {40, 20});
    EXPECT_EQ(image.pixel(10, 5), kRed);   // the ellipse's centre
    EXPECT_EQ(image.pixel(0, 0), kPaper);  // outside its curve
    EXPECT_EQ(image.pixel(1, 9), kPaper);
    EXPECT_EQ(image.pixel(10, 15), kPaper); // below it
    EXPECT_EQ(image.pixel(30, 10), kRed);  // the rounded rectangle's middle
    EXPECT_EQ(image.pixel(21, 10), kRed);  // its straight left edge
    EXPECT_EQ(image.pixel(20, 0), kPaper); // its cut-off corner
}

TEST(MetafilePlayTest, PieAndChordTurnCounterClockwiseUnlessTold)
{
    for (const uint32_t direction : {U_AD_COUNTERCLOCKWISE, U_AD_CLOCKWISE}) {
        EmfWriter emf(40, 20);
        SelectRedFillWithoutPen(emf);
        emf.Add(U_EMRSETARCDIRECTION_set(direction));
        // From the ray towards the right (0 degrees) to the ray upwards (90 degrees).
        emf.Add(U_EMRPIE_set(U_RECTL{0, 0, 20, 20}, U_POINTL{20, 10}, U_POINTL{10, 0}));
        emf.Add(U_EMRCHORD_set(U_RECTL{20, 0, 40, 20}, U_POINTL{40, 10}, U_POINTL{30, 0}));
        const QImage image = Render(emf.Finish(), {40, 20});
        const bool counter = direction == U_AD_COUNTERCLOCKWISE;
        EXPECT_EQ(image.pixel(14, 6), counter ? kRed : kPaper) << direction;  // upper right quarter
        EXPECT_EQ(image.pixel(6, 14), counter ? kPaper : kRed) << direction;  // lower left
        EXPECT_EQ(image.pixel(36, 4), counter ? kRed : kPaper) << direction;  // beyond the chord
        EXPECT_EQ(image.pixel(32, 6), counter ? kPaper : kRed) << direction;  // short of it
    }
}

TEST(MetafilePlayTest, StockObjectsAndDefaults)
{
    EmfWriter emf(12, 6);
    emf.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 4, 6}));            // the default brush: white
    emf.Add(U_EMRSELECTOBJECT_set(U_BLACK_BRUSH));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{4, 0, 8, 6}));
    emf.Add(U_EMRSELECTOBJECT_set(U_NULL_BRUSH));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{8, 0, 12, 6}));
    const QImage image = Render(emf.Finish(), {12, 6});
    EXPECT_EQ(image.pixel(2, 3), kWhite);
    EXPECT_EQ(image.pixel(6, 3), kBlack);
    EXPECT_EQ(image.pixel(10, 3), kPaper);
    EXPECT_EQ(image.pixel(1, 1), kWhite);
    EXPECT_EQ(image.pixel(5, 1), kBlack);
}

TEST(MetafilePlayTest, HatchedBrushLeavesOrPaintsTheBackground)
{
    for (const uint32_t mode : {U_TRANSPARENT, U_OPAQUE}) {
        EmfWriter emf(16, 16);
        emf.Select(emf.Brush(kRed, U_BS_HATCHED, U_HS_HORIZONTAL)).Select(U_NULL_PEN);
        emf.Add(U_EMRSETBKMODE_set(mode));
        emf.Add(U_EMRSETBKCOLOR_set(ToColourRef(kBlue)));
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 16, 16}));
        const QImage image = Render(emf.Finish(), {16, 16});
        const QRgb gap = mode == U_OPAQUE ? kBlue : kPaper;
        int lineRows = 0;
        for (int y = 0; y < 16; ++y) {
            const QRgb row = image.pixel(0, y);
            ASSERT_TRUE(row == kRed || row == gap) << "mode " << mode << " row " << y;
            for (int x = 1; x < 16; ++x)
                ASSERT_EQ(image.pixel(x, y), row) << "horizontal lines fill whole rows";
            lineRows += row == kRed;
        }
        EXPECT_EQ(lineRows, 2) << "one line every eight pixels";
    }
}

// --- Pens ------------------------------------------------------------------------------------

TEST(MetafilePlayTest, ExtendedPenWidthIsInLogicalUnitsWithFlatCaps)
{
    EmfWriter emf(20, 20);
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 4, kBlack));
    const auto points = Points({{4, 10}, {16, 10}});
    emf.Add(U_EMRPOLYLINE_set(kNoBounds, 2, points.data()));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {20, 20}), QRect(4, 8, 12, 4), kBlack));
}

TEST(MetafilePlayTest, PlainPenHasRoundCaps)
{
    EmfWriter emf(20, 20);
    const uint32_t pen = emf.NewSlot();
    emf.Add(U_EMRCREATEPEN_set(pen, logpen_set(U_PS_SOLID, U_POINT{4, 0}, ToColourRef(kBlack))));
    emf.Select(pen);
    emf.Add(U_EMRMOVETOEX_set(U_POINTL{4, 10}));
    emf.Add(U_EMRLINETO_set(U_POINTL{16, 10}));
    const QImage image = Render(emf.Finish(), {20, 20});
    EXPECT_EQ(image.pixel(10, 8), kBlack);
    EXPECT_EQ(image.pixel(10, 11), kBlack);
    EXPECT_EQ(image.pixel(10, 12), kPaper);
    EXPECT_EQ(image.pixel(3, 9), kBlack);   // inside the cap's half circle
    EXPECT_EQ(image.pixel(1, 9), kPaper);   // beyond it
    EXPECT_EQ(image.pixel(16, 10), kBlack);
}

TEST(MetafilePlayTest, InsideFramePenKeepsItsLineInsideTheBox)
{
    for (const uint32_t style : {U_PS_SOLID, U_PS_INSIDEFRAME}) {
        EmfWriter emf(12, 12);
        emf.Select(emf.ExtendedPen(kFlatSolidPen | style, 4, kBlack)).Select(U_NULL_BRUSH);
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 12, 12}));
        const QImage image = Render(emf.Finish(), {12, 12});
        const bool inside = style == U_PS_INSIDEFRAME;
        EXPECT_EQ(image.pixel(3, 6), inside ? kBlack : kPaper) << style; // line from 0 to 4, or -2 to 2
        EXPECT_EQ(image.pixel(4, 6), kPaper) << style;
        EXPECT_EQ(image.pixel(0, 6), kBlack) << style;
    }
}

TEST(MetafilePlayTest, PenNarrowerThanAPixelStaysOnePixelWide)
{
    EmfWriter emf(10, 10);
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 3, kBlack));
    emf.Add(U_EMRSETWORLDTRANSFORM_set(Transform(0.1f, 0, 0, 0.1f, 0, 0)));
    const auto points = Points({{10, 55}, {90, 55}}); // y 5.5: the middle of row 5
    emf.Add(U_EMRPOLYLINE_set(kNoBounds, 2, points.data()));
    const QImage image = Render(emf.Finish(), {10, 10});
    EXPECT_EQ(image.pixel(5, 5), kBlack) << "a 0.3-pixel line is drawn one full pixel wide";
    EXPECT_EQ(image.pixel(5, 4), kPaper);
    EXPECT_EQ(image.pixel(5, 6), kPaper);
}

// Qt refuses pens from 32768 units wide; the stroke must keep its width in pixels all the same.
TEST(MetafilePlayTest, RegressionPenWiderThanQtAllowsKeepsItsWidth)
{
    EmfWriter emf(20, 20);
    constexpr int kUnitsPerPixel = 1 << 14;
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 4 * kUnitsPerPixel, kBlack));
    emf.Add(U_EMRSETWORLDTRANSFORM_set(Transform(1.0f / kUnitsPerPixel, 0, 0, 1.0f / kUnitsPerPixel, 0, 0)));
    // From 4 to 16 along y = 10, 4 pixels wide.
    const auto points = Points({{4 * kUnitsPerPixel, 10 * kUnitsPerPixel}, {16 * kUnitsPerPixel, 10 * kUnitsPerPixel}});
    emf.Add(U_EMRPOLYLINE_set(kNoBounds, 2, points.data()));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {20, 20}), QRect(4, 8, 12, 4), kBlack));
}

TEST(MetafilePlayTest, UserStyleDashesAreInLogicalUnits)
{
    EmfWriter emf(32, 4);
    emf.Add(U_EMRSETBKMODE_set(U_TRANSPARENT)); // an opaque background would fill the gaps
    emf.Select(emf.ExtendedPen(kFlatSolidPen | U_PS_USERSTYLE, 2, kBlack, {4, 4}));
    const auto points = Points({{0, 2}, {32, 2}});
    emf.Add(U_EMRPOLYLINE_set(kNoBounds, 2, points.data()));
    const QImage image = Render(emf.Finish(), {32, 4});
    for (int x = 0; x < 32; ++x)
        EXPECT_EQ(image.pixel(x, 1), (x / 4) % 2 == 0 ? kBlack : kPaper) << "column " << x;
}

TEST(MetafilePlayTest, BeziersRunThroughTheirControlPolygon)
{
    EmfWriter emf(20, 20);
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 2, kBlack));
    // Its middle is at (10, 2.5), a quarter of the way down from the controls.
    const auto curve = Points({{0, 10}, {0, 0}, {20, 0}, {20, 10}});
    emf.Add(U_EMRPOLYBEZIER_set(kNoBounds, 4, curve.data()));
    // The same curve from the current position, moved down by 8.
    emf.Add(U_EMRMOVETOEX_set(U_POINTL{0, 18}));
    const auto tail = Points({{0, 8}, {20, 8}, {20, 18}});
    emf.Add(U_EMRPOLYBEZIERTO_set(kNoBounds, 3, tail.data()));
    const QImage image = Render(emf.Finish(), {20, 20});
    EXPECT_EQ(image.pixel(10, 2), kBlack);
    EXPECT_EQ(image.pixel(10, 10), kBlack);
    EXPECT_EQ(image.pixel(10, 6), kPaper);
    EXPECT_EQ(image.pixel(10, 14), kPaper);
}

// A POLYDRAW record built here: libUEMF's writer for it writes past its own allocation.
char* PolyDrawRecord(const std::vector<U_POINTL>& points, const std::vector<uint8_t>& types)
{
    const size_t pointsOffset = offsetof(U_EMRPOLYDRAW, aptl);
    const size_t typesOffset = pointsOffset + points.size() * sizeof(U_POINTL);
    const auto size = uint32_t((typesOffset + types.size() + 3) / 4 * 4);
    char* record = static_cast<char*>(calloc(1, size));
    const U_EMR head{U_EMR_POLYDRAW, size};
    const auto count = uint32_t(points.size());
    std::memcpy(record, &head, sizeof(head));
    std::memcpy(record + offsetof(U_EMRPOLYDRAW, cptl), &count, sizeof(count));
    std::memcpy(record + pointsOffset, points.data(), points.size() * sizeof(U_POINTL));
    std::memcpy(record + typesOffset, types.data(), types.size());
    return record;
}

TEST(MetafilePlayTest, PolyDrawAndPolyPolylineStrokeTheirFigures)
{
    EmfWriter emf(20, 20);
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 2, kBlack));
    // Move, line, and a closing line back to the figure's start.
    const auto drawn = Points({{2, 2}, {18, 2}, {18, 8}});
    emf.Add(PolyDrawRecord(drawn, {U_PT_MOVETO, U_PT_LINETO, U_PT_LINETO | U_PT_CLOSEFIGURE}));
    const auto lines = Points({{2, 12}, {18, 12}, {2, 16}, {18, 16}});
    const uint32_t counts[] = {2, 2};
    emf.Add(U_EMRPOLYPOLYLINE_set(kNoBounds, 2, counts, 4, lines.data()));
    const QImage image = Render(emf.Finish(), {20, 20});
    EXPECT_EQ(image.pixel(10, 1), kBlack);  // the line
    EXPECT_EQ(image.pixel(18, 5), kBlack);  // the second line
    EXPECT_EQ(image.pixel(10, 5), kBlack);  // the closing diagonal through (10, 5)
    EXPECT_EQ(image.pixel(10, 11), kBlack); // the two polylines ...
    EXPECT_EQ(image.pixel(10, 15), kBlack);
    EXPECT_EQ(image.pixel(10, 13), kPaper); // ... and not between them
}

TEST(MetafilePlayTest, ArcToLeavesTheCurrentPositionAtTheArcsEnd)
{
    EmfWriter emf(20, 20);
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 2, kBlack));
    emf.Add(U_EMRMOVETOEX_set(U_POINTL{20, 20}));
    emf.Add(U_EMRARCTO_set(U_RECTL{0, 0, 20, 20}, U_POINTL{20, 10}, U_POINTL{10, 0}));
    emf.Add(U_EMRLINETO_set(U_POINTL{10, 16}));
    const QImage image = Render(emf.Finish(), {20, 20});
    EXPECT_EQ(image.pixel(19, 15), kBlack) << "the line from the position to the arc's start";
    EXPECT_EQ(image.pixel(9, 8), kBlack) << "the line from the arc's end";
    EXPECT_EQ(image.pixel(10, 8), kBlack);
    EXPECT_EQ(image.pixel(5, 8), kPaper);
}

TEST(MetafilePlayTest, RasterOperationsNopBlackAndWhite)
{
    EmfWriter emf(12, 4);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRSETROP2_set(U_R2_NOP));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 4, 4}));
    emf.Add(U_EMRSETROP2_set(U_R2_BLACK));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{4, 0, 8, 4}));
    emf.Add(U_EMRSETROP2_set(U_R2_COPYPEN));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{8, 0, 12, 4}));
    const QImage image = Render(emf.Finish(), {12, 4});
    EXPECT_EQ(image.pixel(2, 2), kPaper);
    EXPECT_EQ(image.pixel(6, 2), kBlack);
    EXPECT_EQ(image.pixel(10, 2), kRed);
}

// --- Objects and saved states ------------------------------------------------------------------

TEST(MetafilePlayTest, DeletedSelectedBrushStillDrawsAndEmptySlotSelectsNothing)
{
    EmfWriter emf(10, 10);
    const uint32_t red = emf.Brush(kRed);
    emf.Select(red).Select(U_NULL_PEN);
    emf.Add(U_EMRDELETEOBJECT_set(red));
    emf.Select(red); // the slot is empty now
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{2, 2, 8, 8}));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(2, 2, 6, 6), kRed));
}

TEST(MetafilePlayTest, RestoreBringsBackBrushAndTransform)
{
    EmfWriter emf(10, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRSAVEDC_set());
    emf.Select(emf.Brush(kBlue));
    emf.Add(U_EMRSETWORLDTRANSFORM_set(Transform(1, 0, 0, 1, 4, 0)));
    emf.Add(U_EMRSAVEDC_set());
    emf.Add(U_EMRRESTOREDC_set(-1));
    emf.Add(U_EMRRESTOREDC_set(5)); // no such save: ignored
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 2, 2})); // blue, moved by 4
    emf.Add(U_EMRRESTOREDC_set(1));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 6, 2, 8})); // red, where it says
    const QImage image = Render(emf.Finish(), {10, 10});
    EXPECT_EQ(image.pixel(5, 1), kBlue);
    EXPECT_EQ(image.pixel(1, 1), kPaper);
    EXPECT_EQ(image.pixel(1, 7), kRed);
    EXPECT_EQ(image.pixel(5, 7), kPaper);
}

TEST(MetafilePlayTest, SavesNestedTooDeepAreDroppedWithoutHarm)
{
    EmfWriter emf(10, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRSAVEDC_set());
    emf.Select(emf.Brush(kBlue));
    for (int i = 0; i < 3000; ++i)
        emf.Add(U_EMRSAVEDC_set());
    emf.Add(U_EMRRESTOREDC_set(1));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 10, 10}));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(0, 0, 10, 10), kRed));
}

// --- Transforms and mapping --------------------------------------------------------------------

TEST(MetafilePlayTest, WorldTransformScalesAndMoves)
{
    EmfWriter emf(10, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRSETWORLDTRANSFORM_set(Transform(2, 0, 0, 2, 1, 1)));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{1, 1, 3, 3}));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(3, 3, 4, 4), kRed));
}

TEST(MetafilePlayTest, ModifyWorldTransformMultipliesOnTheRequestedSide)
{
    struct Case { uint32_t mode; QRect area; };
    // World: x + 5; change: 2x. Left: the change first (2x + 5); right: the world first (2x + 10).
    for (const Case& c : {Case{U_MWT_LEFTMULTIPLY, QRect(5, 0, 4, 2)}, Case{U_MWT_RIGHTMULTIPLY, QRect(10, 0, 4, 2)},
                          Case{U_MWT_IDENTITY, QRect(0, 0, 2, 2)}}) {
        EmfWriter emf(16, 2);
        SelectRedFillWithoutPen(emf);
        emf.Add(U_EMRSETWORLDTRANSFORM_set(Transform(1, 0, 0, 1, 5, 0)));
        emf.Add(U_EMRMODIFYWORLDTRANSFORM_set(Transform(2, 0, 0, 1, 0, 0), c.mode));
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 2, 2}));
        EXPECT_TRUE(AreaIs(Render(emf.Finish(), {16, 2}), c.area, kRed)) << "mode " << c.mode;
    }
}

TEST(MetafilePlayTest, SingularWorldTransformIsRefused)
{
    EmfWriter emf(10, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRSETWORLDTRANSFORM_set(Transform(0, 0, 0, 0, 3, 3)));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{1, 1, 3, 3}));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(1, 1, 2, 2), kRed));
}

TEST(MetafilePlayTest, AnisotropicWindowMapsOntoViewport)
{
    EmfWriter emf(10, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRSETWINDOWEXTEX_set(U_SIZEL{100, 100})); // ignored while the mode is text
    emf.Add(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC));
    emf.Add(U_EMRSETWINDOWEXTEX_set(U_SIZEL{100, 100}));
    emf.Add(U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{10, 20}));
    emf.Add(U_EMRSETWINDOWORGEX_set(U_POINTL{50, 0}));
    emf.Add(U_EMRSETVIEWPORTORGEX_set(U_POINTL{2, 1}));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{50, 0, 90, 20})); // (0.1 (x - 50) + 2, 0.2 y + 1)
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(2, 1, 4, 4), kRed));
}

TEST(MetafilePlayTest, ScaledExtentsMultiplyByTheirFractions)
{
    EmfWriter emf(10, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC));
    emf.Add(U_EMRSETWINDOWEXTEX_set(U_SIZEL{10, 10}));
    emf.Add(U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{10, 10}));
    emf.Add(U_EMRSCALEWINDOWEXTEX_set(10, 1, 10, 1));  // window 100 x 100
    emf.Add(U_EMRSCALEVIEWPORTEXTEX_set(1, 1, 2, 1)); // viewport 10 x 20
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{20, 10, 60, 30}));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(2, 2, 4, 4), kRed));
}

TEST(MetafilePlayTest, IsotropicTakesTheSmallerScale)
{
    EmfWriter emf(10, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRSETMAPMODE_set(U_MM_ISOTROPIC));
    emf.Add(U_EMRSETWINDOWEXTEX_set(U_SIZEL{100, 100}));
    emf.Add(U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{10, 40}));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{20, 20, 60, 60}));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(2, 2, 4, 4), kRed));
}

TEST(MetafilePlayTest, MetricMapModeCountsUpwardsInHundredthsOfAMillimetre)
{
    EmfWriter emf(10, 10); // 10 device pixels a millimetre: one logical unit is 0.1 pixel
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRSETMAPMODE_set(U_MM_HIMETRIC));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{20, -20, 60, -60}));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(2, 2, 4, 4), kRed));
}

TEST(MetafilePlayTest, FrameMapsOntoTheTargetRectangle)
{
    EmfWriter emf(10, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 10, 10}));
    const QByteArray bytes = emf.Finish();
    EXPECT_TRUE(AreaIs(Render(bytes, {80, 40}, QRectF(20, 10, 40, 20)), QRect(20, 10, 40, 20), kRed));
}

TEST(MetafilePlayTest, PlaysUnderTheCallersTransformAndRestoresThePainter)
{
    EmfWriter emf(10, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{1, 1, 3, 3}));
    const auto metafile = Metafile::FromBytes(emf.Finish());
    ASSERT_TRUE(metafile);

    QImage image(12, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(kPaper);
    QPainter painter(&image);
    painter.translate(3, 0);
    painter.scale(2, 2);
    const QTransform before = painter.worldTransform();
    painter.setPen(QPen(Qt::green, 3));
    painter.setBrush(Qt::yellow);
    metafile->Play(painter, QRectF(0, 0, 10, 10));
    EXPECT_EQ(painter.worldTransform(), before);
    EXPECT_EQ(painter.pen(), QPen(Qt::green, 3));
    EXPECT_EQ(painter.brush(), QBrush(Qt::yellow));
    EXPECT_FALSE(painter.testRenderHint(QPainter::Antialiasing));
    painter.end();
    EXPECT_TRUE(AreaIs(image, QRect(5, 2, 4, 4), kRed));
}

// --- Paths ---------------------------------------------------------------------------------------

TEST(MetafilePlayTest, PathIsFilledOnlyByFillPathAndThenUsedUp)
{
    EmfWriter emf(16, 10);
    SelectRedFillWithoutPen(emf);
    emf.Add(U_EMRBEGINPATH_set());
    emf.Add(U_EMRMOVETOEX_set(U_POINTL{2, 2}));
    const auto points = Points({{12, 2}, {12, 8}, {2, 8}});
    emf.Add(U_EMRPOLYLINETO_set(kNoBounds, 3, points.data()));
    emf.Add(U_EMRCLOSEFIGURE_set());
    emf.Add(U_EMRENDPATH_set());
    emf.Add(U_EMRFILLPATH_set(kNoBounds));
    emf.Select(emf.Brush(kBlue));
    emf.Add(U_EMRFILLPATH_set(kNoBounds)); // nothing left to fill
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {16, 10}), QRect(2, 2, 10, 6), kRed));
}

// A rectangle's outline collected in a path, stroked at the end or not.
QByteArray RectangleInAPath(bool stroke)
{
    EmfWriter emf(12, 12);
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 2, kBlack)).Select(emf.Brush(kRed));
    emf.Add(U_EMRBEGINPATH_set());
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{2, 2, 10, 10}));
    emf.Add(U_EMRENDPATH_set());
    if (stroke)
        emf.Add(U_EMRSTROKEPATH_set(kNoBounds));
    return emf.Finish();
}

TEST(MetafilePlayTest, FiguresInsideAPathAreNotDrawnUntilStroked)
{
    EXPECT_TRUE(AreaIs(Render(RectangleInAPath(false), {12, 12}), QRect(), kPaper));

    const QImage image = Render(RectangleInAPath(true), {12, 12});
    EXPECT_EQ(image.pixel(1, 5), kBlack); // the stroke straddles x = 2
    EXPECT_EQ(image.pixel(2, 5), kBlack);
    EXPECT_EQ(image.pixel(3, 5), kPaper);
    EXPECT_EQ(image.pixel(6, 6), kPaper); // stroked, not filled
}

TEST(MetafilePlayTest, StrokeAndFillPathWidensThePenWithTheWorldTransform)
{
    EmfWriter emf(20, 20);
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 1, kBlack)).Select(emf.Brush(kRed));
    emf.Add(U_EMRSETWORLDTRANSFORM_set(Transform(2, 0, 0, 2, 0, 0)));
    emf.Add(U_EMRBEGINPATH_set());
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{2, 2, 8, 8}));
    emf.Add(U_EMRENDPATH_set());
    emf.Add(U_EMRSTROKEANDFILLPATH_set(kNoBounds));
    const QImage image = Render(emf.Finish(), {20, 20});
    EXPECT_EQ(image.pixel(3, 10), kBlack); // a 2-pixel outline around x = 4
    EXPECT_EQ(image.pixel(4, 10), kBlack);
    EXPECT_EQ(image.pixel(2, 10), kPaper);
    EXPECT_EQ(image.pixel(5, 10), kRed);
    EXPECT_EQ(image.pixel(10, 10), kRed);
}

} // namespace
