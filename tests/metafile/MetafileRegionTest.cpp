#include "DibBuilder.h"
#include "EmfWriter.h"
#include "PixelCompare.h"
#include "RenderHelpers.h"
#include "platform/metafile/Metafile.h"

#include <QPainter>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using platform::Metafile;

namespace {

constexpr U_RECTL kNoBounds{0, 0, 0, 0};
constexpr QSize kSize(20, 20);
constexpr QRgb kGreen = 0xFF00FF00;

// EXTSELECTCLIPRGN copying no region at all (libUEMF's writer wants a region).
char* NoClipRegion()
{
    auto* record = static_cast<PU_EMREXTSELECTCLIPRGN>(calloc(1, U_SIZE_EMREXTSELECTCLIPRGN));
    record->emr.iType = U_EMR_EXTSELECTCLIPRGN;
    record->emr.nSize = U_SIZE_EMREXTSELECTCLIPRGN;
    record->iMode = U_RGN_COPY;
    return reinterpret_cast<char*>(record);
}

// Fills the whole picture red: what a clip leaves of it shows the clip.
void FillEverything(EmfWriter& emf)
{
    emf.Select(emf.Brush(kRed)).Select(U_NULL_PEN);
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{-100, -100, 100, 100}));
}

QImage Paper()
{
    QImage image(kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(kPaper);
    return image;
}

using Inside = std::function<bool(int x, int y)>;

testing::AssertionResult PixelsAre(const QImage& image, const Inside& inside, QRgb colour, QRgb outside = kPaper)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != (inside(x, y) ? colour : outside))
                return testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex << image.pixel(x, y);
    return testing::AssertionSuccess();
}

bool In(int x, int y, int left, int top, int right, int bottom)
{
    return x >= left && x < right && y >= top && y < bottom;
}

// --- Clipping -------------------------------------------------------------------------------

struct ClipCase {
    const char* name;
    std::function<void(EmfWriter&)> clip;
    Inside visible;
};

class ClipModeTest : public testing::TestWithParam<ClipCase> {};

TEST_P(ClipModeTest, FillShowsOnlyTheClip)
{
    EmfWriter emf(kSize.width(), kSize.height());
    GetParam().clip(emf);
    FillEverything(emf);
    EXPECT_TRUE(PixelsAre(Render(emf.Finish(), kSize), GetParam().visible, kRed));
}

// A square (4..16) first, then a region of the right half (10..20) in each mode.
void SquareThen(EmfWriter& emf, uint32_t mode)
{
    emf.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{4, 4, 16, 16}));
    emf.ClipRegion(mode, {{10, 0, 20, 20}});
}

bool Square(int x, int y) { return In(x, y, 4, 4, 16, 16); }
bool RightHalf(int x, int y) { return In(x, y, 10, 0, 20, 20); }

INSTANTIATE_TEST_SUITE_P(
    Modes, ClipModeTest,
    testing::Values(
        ClipCase{"IntersectRect", [](EmfWriter& e) { e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{2, 3, 12, 9})); },
                 [](int x, int y) { return In(x, y, 2, 3, 12, 9); }},
        ClipCase{"ExcludeRect", [](EmfWriter& e) { e.Add(U_EMREXCLUDECLIPRECT_set(U_RECTL{2, 3, 12, 9})); },
                 [](int x, int y) { return !In(x, y, 2, 3, 12, 9); }},
        ClipCase{"And", [](EmfWriter& e) { SquareThen(e, U_RGN_AND); },
                 [](int x, int y) { return Square(x, y) && RightHalf(x, y); }},
        ClipCase{"Or", [](EmfWriter& e) { SquareThen(e, U_RGN_OR); },
                 [](int x, int y) { return Square(x, y) || RightHalf(x, y); }},
        ClipCase{"Xor", [](EmfWriter& e) { SquareThen(e, U_RGN_XOR); },
                 [](int x, int y) { return Square(x, y) != RightHalf(x, y); }},
        ClipCase{"Diff", [](EmfWriter& e) { SquareThen(e, U_RGN_DIFF); },
                 [](int x, int y) { return Square(x, y) && !RightHalf(x, y); }},
        ClipCase{"Copy", [](EmfWriter& e) { SquareThen(e, U_RGN_COPY); }, RightHalf},
        ClipCase{"EmptyCopyResets",
                 [](EmfWriter& e) {
                     e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{4, 4, 16, 16}));
                     e.Add(NoClipRegion());
                 },
                 [](int, int) { return true; }},
        ClipCase{"Offset",
                 [](EmfWriter& e) {
                     e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{0, 0, 5, 5}));
                     e.Add(U_EMROFFSETCLIPRGN_set(U_POINTL{10, 12}));
                 },
                 [](int x, int y) { return In(x, y, 10, 12, 15, 17); }},
        ClipCase{"UnderWorldTransform",
                 [](EmfWriter& e) {
                     e.Add(U_EMRSETWORLDTRANSFORM_set(Transform(2, 0, 0, 2, 1, 0)));
                     e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{1, 1, 4, 3}));
                     e.Add(U_EMRMODIFYWORLDTRANSFORM_set(Transform(1, 0, 0, 1, 0, 0), U_MWT_IDENTITY));
                 },
                 [](int x, int y) { return In(x, y, 3, 2, 9, 6); }},
        ClipCase{"TurnedRect",
                 [](EmfWriter& e) {
                     e.Add(U_EMRSETWORLDTRANSFORM_set(Transform(0, 1, -1, 0, 20, 0)));
                     e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{0, 0, 10, 5}));
                     e.Add(U_EMRMODIFYWORLDTRANSFORM_set(Transform(1, 0, 0, 1, 0, 0), U_MWT_IDENTITY));
                 },
                 [](int x, int y) { return In(x, y, 15, 0, 20, 10); }},
        ClipCase{"MetaRegionKeepsLaterClipsInside",
                 [](EmfWriter& e) {
                     e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{0, 0, 12, 20}));
                     e.Add(U_EMRSETMETARGN_set());
                     e.ClipRegion(U_RGN_COPY, {{6, 0, 20, 10}});
                 },
                 [](int x, int y) { return In(x, y, 6, 0, 12, 10); }},
        ClipCase{"MetaRegionOutlivesAReset",
                 [](EmfWriter& e) {
                     e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{0, 0, 12, 20}));
                     e.Add(U_EMRSETMETARGN_set());
                     e.Add(NoClipRegion());
                 },
                 [](int x, int y) { return In(x, y, 0, 0, 12, 20); }},
        ClipCase{"SaveAndRestore",
                 [](EmfWriter& e) {
                     e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{0, 0, 15, 20}));
                     e.Add(U_EMRSAVEDC_set());
                     e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{5, 5, 10, 10}));
                     e.Add(U_EMRRESTOREDC_set(-1));
                 },
                 [](int x, int y) { return In(x, y, 0, 0, 15, 20); }},
        ClipCase{"Path",
                 [](EmfWriter& e) {
                     e.Add(U_EMRBEGINPATH_set());
                     e.Add(U_EMRRECTANGLE_set(U_RECTL{3, 4, 9, 14}));
                     e.Add(U_EMRENDPATH_set());
                     e.Add(U_EMRSELECTCLIPPATH_set(U_RGN_COPY));
                 },
                 [](int x, int y) { return In(x, y, 3, 4, 9, 14); }},
        ClipCase{"Checkerboard",
                 [](EmfWriter& e) {
                     std::vector<U_RECTL> rows;
                     std::vector<U_RECTL> columns;
                     for (int i = 0; i < 20; i += 2) {
                         rows.push_back({0, i, 20, i + 1});
                         columns.push_back({i, 0, i + 1, 20});
                     }
                     e.ClipRegion(U_RGN_COPY, rows);
                     e.ClipRegion(U_RGN_XOR, columns);
                 },
                 [](int x, int y) { return (x % 2 == 0) != (y % 2 == 0); }}),
    [](const testing::TestParamInfo<ClipCase>& info) { return std::string(info.param.name); });

// A figure beyond the frame is drawn where the caller's picture shows it; once the metafile clips,
// nothing leaves the bubble's own rectangle, and the caller's clip holds throughout.
TEST(MetafileRegionTest, ClipStaysInsideTheBubbleAndTheCallersClip)
{
    for (const bool clipped : {false, true}) {
        EmfWriter emf(10, 10);
        if (clipped)
            emf.ClipRegion(U_RGN_OR, {{-100, -100, 100, 100}});
        FillEverything(emf);
        const QByteArray bytes = emf.Finish();
        // The bubble covers 5..15 of the picture.
        const auto metafile = Metafile::FromBytes(bytes);
        ASSERT_TRUE(metafile);
        QImage image = Paper();
        {
            QPainter painter(&image);
            painter.setClipRect(QRect(0, 0, 12, 20));
            metafile->Play(painter, QRectF(5, 5, 10, 10));
            EXPECT_EQ(painter.clipBoundingRect(), QRectF(0, 0, 12, 20)); // the caller's clip is back
        }
        EXPECT_TRUE(AreaIs(image, clipped ? QRect(5, 5, 7, 10) : QRect(0, 0, 12, 20), kRed)) << clipped;
    }
}

// A bubble turned on the picture turns its clip with it; the caller's clip is kept where it was set,
// under the transform the caller had then.
TEST(MetafileRegionTest, ClipFollowsTheCallersPainter)
{
    // The metafile's clip is a region copied, or a rectangle intersected.
    struct Case { const char* name; bool region; U_RECTL clip; std::function<void(QPainter&)> before; QRect visible; };
    const Case cases[] = {
        {"turned bubble", true, {0, 0, 10, 5}, [](QPainter& p) { p.translate(kSize.width(), 0), p.rotate(90); },
         QRect(15, 0, 5, 10)},
        {"caller's clip under a transform", false, {0, 4, 20, 20},
         [](QPainter& p) {
             p.scale(2, 2);
             p.setClipRect(QRect(0, 0, 5, 10)); // 10 by 20 pixels
             p.resetTransform();
         },
         QRect(0, 4, 10, 16)},
    };
    for (const Case& c : cases) {
        EmfWriter emf(kSize.width(), kSize.height());
        if (c.region)
            emf.ClipRegion(U_RGN_COPY, {c.clip});
        else
            emf.Add(U_EMRINTERSECTCLIPRECT_set(c.clip));
        FillEverything(emf);
        EXPECT_TRUE(AreaIs(PlayOnto(Paper(), emf.Finish(), c.before), c.visible, kRed)) << c.name;
    }
}

// Qt sets aside room for a region clip's rectangles on every row of its height, counted in int: a
// clip with more rectangles than that takes clips as a path, and still exactly. (A clip of a million
// rectangles over 3000 rows crashed Qt.)
TEST(MetafileRegionTest, RegressionClipOfManyRectanglesClipsAsAPath)
{
    // A tall narrow picture: rectangles times rows well past what Qt may keep, little work.
    constexpr QSize kTall(4, 8000);
    constexpr int kRowSpacing = 12;
    EmfWriter emf(kTall.width(), kTall.height());
    std::vector<U_RECTL> rows;
    std::vector<U_RECTL> columns;
    for (int y = 0; y < kTall.height(); y += kRowSpacing)
        rows.push_back({0, y, kTall.width(), y + 1});
    for (int x = 0; x < kTall.width(); x += 2)
        columns.push_back({x, 0, x + 1, kTall.height()});
    emf.ClipRegion(U_RGN_COPY, rows);
    emf.ClipRegion(U_RGN_XOR, columns);
    emf.Select(emf.Brush(kRed)).Select(U_NULL_PEN);
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, kTall.width(), kTall.height()}));
    EXPECT_TRUE(PixelsAre(Render(emf.Finish(), kTall), [](int x, int y) { return (x % 2 == 0) != (y % kRowSpacing == 0); }, kRed));
}

// Under a clip of more than one rectangle, lines a pixel wide are filled as their outline (Qt's own
// thin lines hand the clip every column on its own, seconds under a clip of stripes): a level line and
// a slanted one show inside the two stripes as they do without the clip, and nowhere else.
TEST(MetafileRegionTest, ThinLinesUnderAClipOfStripesShowInsideThem)
{
    auto lines = [](bool clipped) {
        EmfWriter emf(kSize.width(), kSize.height());
        if (clipped)
            emf.ClipRegion(U_RGN_COPY, {{2, 0, 8, 20}, {12, 0, 18, 20}});
        emf.Add(U_EMRMOVETOEX_set(U_POINTL{0, 5}));
        emf.Add(U_EMRLINETO_set(U_POINTL{20, 5}));
        emf.Add(U_EMRMOVETOEX_set(U_POINTL{0, 10}));
        emf.Add(U_EMRLINETO_set(U_POINTL{20, 18}));
        return Render(emf.Finish(), kSize);
    };
    const QImage clipped = lines(true);
    QImage expected = lines(false); // what shows of the lines without the clip, within antialiasing
    int dark = 0;
    for (int y = 0; y < kSize.height(); ++y)
        for (int x = 0; x < kSize.width(); ++x) {
            if (!In(x, y, 2, 0, 8, 20) && !In(x, y, 12, 0, 18, 20)) {
                EXPECT_EQ(clipped.pixel(x, y), kPaper) << x << "," << y;
                expected.setPixel(x, y, kPaper);
            }
            dark += qGray(clipped.pixel(x, y)) < 100 ? 1 : 0;
        }
    EXPECT_LE(Compare(clipped, expected).maximumNearby, kFarTolerance);
    EXPECT_GE(dark, 12); // both lines across both stripes
}

TEST(MetafileRegionTest, UnreadableClipRegionsAreLeftOutAndTheRestPlays)
{
    EmfWriter emf(kSize.width(), kSize.height());
    char* tooMany = U_EMREXTSELECTCLIPRGN_set(U_RGN_COPY, RegionData({{0, 0, 5, 5}}).get());
    reinterpret_cast<PU_EMREXTSELECTCLIPRGN>(tooMany)->RgnData->rdh.nCount = 2; // one more than it holds
    emf.Add(tooMany);
    char* pastTheRecord = U_EMREXTSELECTCLIPRGN_set(U_RGN_COPY, RegionData({{0, 0, 5, 5}}).get());
    reinterpret_cast<PU_EMREXTSELECTCLIPRGN>(pastTheRecord)->cbRgnData = 4096;
    emf.Add(pastTheRecord);
    // Rectangles out of their bands' order are added up.
    emf.ClipRegion(U_RGN_COPY, {{10, 10, 20, 20}, {0, 0, 10, 10}});
    FillEverything(emf);
    EXPECT_TRUE(PixelsAre(Render(emf.Finish(), kSize),
                          [](int x, int y) { return In(x, y, 0, 0, 10, 10) || In(x, y, 10, 10, 20, 20); }, kRed));
}

// --- Pen and brush mixes --------------------------------------------------------------------

struct MixCase {
    uint32_t rop2;
    std::function<uint32_t(uint32_t pen, uint32_t picture)> mix;
};

TEST(MetafileRegionTest, EverySixteenMixesPenAndPicture)
{
    constexpr QRgb kPicture = 0xFF3366CC;
    constexpr QRgb kBrush = 0xFFF0A050;
    const MixCase cases[] = {
        {U_R2_BLACK, [](uint32_t, uint32_t) { return 0u; }},
        {U_R2_NOTMERGEPEN, [](uint32_t p, uint32_t d) { return ~(p | d); }},
        {U_R2_MASKNOTPEN, [](uint32_t p, uint32_t d) { return ~p & d; }},
        {U_R2_NOTCOPYPEN, [](uint32_t p, uint32_t) { return ~p; }},
        {U_R2_MASKPENNOT, [](uint32_t p, uint32_t d) { return p & ~d; }},
        {U_R2_NOT, [](uint32_t, uint32_t d) { return ~d; }},
        {U_R2_XORPEN, [](uint32_t p, uint32_t d) { return p ^ d; }},
        {U_R2_NOTMASKPEN, [](uint32_t p, uint32_t d) { return ~(p & d); }},
        {U_R2_MASKPEN, [](uint32_t p, uint32_t d) { return p & d; }},
        {U_R2_NOTXORPEN, [](uint32_t p, uint32_t d) { return ~(p ^ d); }},
        {U_R2_NOP, [](uint32_t, uint32_t d) { return d; }},
        {U_R2_MERGENOTPEN, [](uint32_t p, uint32_t d) { return ~p | d; }},
        {U_R2_COPYPEN, [](uint32_t p, uint32_t) { return p; }},
        {U_R2_MERGEPENNOT, [](uint32_t p, uint32_t d) { return p | ~d; }},
        {U_R2_MERGEPEN, [](uint32_t p, uint32_t d) { return p | d; }},
        {U_R2_WHITE, [](uint32_t, uint32_t) { return ~0u; }},
    };
    for (const MixCase& c : cases) {
        EmfWriter emf(kSize.width(), kSize.height());
        emf.Select(emf.Brush(kPicture)).Select(U_NULL_PEN);
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 20, 20}));
        emf.Select(emf.Brush(kBrush));
        emf.Add(U_EMRSETROP2_set(c.rop2));
        // A turned square: its edges would be smoothed if the mix were blended.
        const U_POINTL diamond[] = {{10, 2}, {18, 10}, {10, 18}, {2, 10}};
        emf.Add(U_EMRPOLYGON_set(kNoBounds, 4, diamond));
        // A pen mixes the same way.
        emf.Select(emf.ExtendedPen(U_PS_SOLID | U_PS_GEOMETRIC | U_PS_ENDCAP_FLAT, 2, kBrush));
        emf.Add(U_EMRMOVETOEX_set(U_POINTL{0, 1}));
        emf.Add(U_EMRLINETO_set(U_POINTL{20, 1}));
        emf.Select(U_NULL_PEN);
        emf.Add(U_EMRSETROP2_set(U_R2_COPYPEN));
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 2, 2})); // the mix ends with the record
        const QImage image = Render(emf.Finish(), kSize);
        const QRgb expected = 0xFF000000 | (c.mix(kBrush & 0xFFFFFF, kPicture & 0xFFFFFF) & 0xFFFFFF);
        EXPECT_EQ(image.pixel(10, 10), expected) << "mix " << c.rop2;
        EXPECT_EQ(image.pixel(19, 19), kPicture) << "mix " << c.rop2;
        EXPECT_EQ(image.pixel(0, 0), kBrush) << "mix " << c.rop2;
        EXPECT_EQ(image.pixel(4, 1), expected) << "pen mix " << c.rop2;
        EXPECT_EQ(image.pixel(4, 2), kPicture) << "pen mix " << c.rop2;
        const bool blended = c.rop2 == U_R2_BLACK || c.rop2 == U_R2_WHITE || c.rop2 == U_R2_COPYPEN;
        for (int y = 0; y < kSize.height() && !blended; ++y)
            for (int x = 0; x < kSize.width(); ++x)
                ASSERT_TRUE(image.pixel(x, y) == expected || image.pixel(x, y) == kPicture || In(x, y, 0, 0, 2, 2)
                            || (c.rop2 == U_R2_NOT && image.pixel(x, y) == kPicture))
                    << "mix " << c.rop2 << " blends at " << x << "," << y;
    }
}

// Qt's raster operations mix the alpha bits too: on a picture that is not opaque they leave colours
// above their alpha, which show as stray light once the picture is drawn. What they touch becomes
// opaque, a transparent pixel mixing as black.
TEST(MetafileRegionTest, RegressionMixesOnATransparentPictureLeaveValidPixels)
{
    for (uint32_t rop2 = U_R2_BLACK; rop2 <= U_R2_WHITE; ++rop2) {
        EmfWriter emf(kSize.width(), kSize.height());
        emf.Select(emf.Brush(0xFFF0A050)).Select(U_NULL_PEN);
        emf.Add(U_EMRSETROP2_set(rop2));
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 10, 20}));
        emf.Add(U_EMRPAINTRGN_set(RegionData({{10, 0, 20, 20}}).get()));
        const QImage image = PlayOnto(TransparentPicture(kSize, {{5, 5}, {15, 5}}), emf.Finish());
        EXPECT_TRUE(PixelsAreValid(image)) << "mix " << rop2;
        if (rop2 == U_R2_XORPEN) {
            EXPECT_EQ(image.pixel(2, 2), 0xFFF0A050u) << "the pen's colour, as on black";
        } else if (rop2 == U_R2_NOT) {
            EXPECT_EQ(image.pixel(12, 2), kWhite);
        }
    }
}

// The black and white mixes paint every pixel the fill covers in their colour, whatever the brush:
// a hatch's lines and gaps, a pattern's every bit.
TEST(MetafileRegionTest, RegressionBlackAndWhiteMixesPaintHatchesAndPatternsSolid)
{
    struct Case { const char* name; uint32_t (*brush)(EmfWriter&); };
    const Case brushes[] = {
        {"hatch", [](EmfWriter& e) { return e.Brush(kGreen, U_BS_HATCHED, U_HS_CROSS); }},
        {"pattern", [](EmfWriter& e) {
             const uint32_t slot = e.NewSlot();
             DibBuilder dib(2, 2, 24, U_BI_RGB);
             dib.Pixels({{0xFF00FF, 0x00FF00}, {0x00FF00, 0xFF00FF}});
             e.Add(U_EMRCREATEDIBPATTERNBRUSHPT_set(slot, U_DIB_RGB_COLORS, dib.Info(), dib.BitsSize(), dib.Bits()));
             return slot;
         }},
    };
    for (const Case& c : brushes)
        for (const uint32_t rop2 : {uint32_t(U_R2_BLACK), uint32_t(U_R2_WHITE)}) {
            EmfWriter emf(kSize.width(), kSize.height());
            emf.Add(U_EMRSETBKMODE_set(U_TRANSPARENT));
            emf.Select(c.brush(emf)).Select(U_NULL_PEN);
            emf.Add(U_EMRSETROP2_set(rop2));
            emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 11, 21}));
            emf.Add(U_EMRPAINTRGN_set(RegionData({{10, 0, 20, 20}}).get()));
            const QRgb colour = rop2 == U_R2_BLACK ? kBlack : kWhite;
            EXPECT_TRUE(AreaIs(Render(emf.Finish(), kSize), QRect(QPoint(), kSize), colour)) << c.name << " mix " << rop2;
        }
}

// --- Region fills ---------------------------------------------------------------------------

struct RegionCase {
    const char* name;
    std::function<void(EmfWriter&, PU_RGNDATA)> paint;
    Inside painted;
    QRgb colour;
};

class RegionFillTest : public testing::TestWithParam<RegionCase> {};

// Two boxes: 2..8 and 10..16 across, 3..9 down.
TEST_P(RegionFillTest, PaintsTheRegion)
{
    EmfWriter emf(kSize.width(), kSize.height());
    const auto region = RegionData({{2, 3, 8, 9}, {10, 3, 16, 9}});
    GetParam().paint(emf, region.get());
    EXPECT_TRUE(PixelsAre(Render(emf.Finish(), kSize), GetParam().painted, GetParam().colour));
}

bool TwoBoxes(int x, int y) { return In(x, y, 2, 3, 8, 9) || In(x, y, 10, 3, 16, 9); }

INSTANTIATE_TEST_SUITE_P(
    Records, RegionFillTest,
    testing::Values(
        RegionCase{"Fill", [](EmfWriter& e, PU_RGNDATA r) { e.Add(U_EMRFILLRGN_set(kNoBounds, e.Brush(kBlue), r)); },
                   TwoBoxes, kBlue},
        RegionCase{"Frame",
                   [](EmfWriter& e, PU_RGNDATA r) { e.Add(U_EMRFRAMERGN_set(kNoBounds, e.Brush(kBlue), U_SIZEL{1, 2}, r)); },
                   [](int x, int y) { return TwoBoxes(x, y) && !In(x, y, 3, 5, 7, 7) && !In(x, y, 11, 5, 15, 7); },
                   kBlue},
        RegionCase{"Invert", [](EmfWriter& e, PU_RGNDATA r) { e.Add(U_EMRINVERTRGN_set(r)); }, TwoBoxes, 0xFF373737},
        RegionCase{"Paint",
                   [](EmfWriter& e, PU_RGNDATA r) {
                       e.Select(e.Brush(kGreen));
                       e.Add(U_EMRPAINTRGN_set(r));
                   },
                   TwoBoxes, kGreen},
        RegionCase{"PaintMixes",
                   [](EmfWriter& e, PU_RGNDATA r) {
                       e.Select(e.Brush(0xFFFFFFFF));
                       e.Add(U_EMRSETROP2_set(U_R2_XORPEN));
                       e.Add(U_EMRPAINTRGN_set(r));
                   },
                   TwoBoxes, 0xFF373737}),
    [](const testing::TestParamInfo<RegionCase>& info) { return std::string(info.param.name); });

TEST(MetafileRegionTest, UnreadableRegionsAreLeftOutAndTheRestPlays)
{
    EmfWriter emf(kSize.width(), kSize.height());
    const uint32_t blue = emf.Brush(kBlue);
    char* tooMany = U_EMRFILLRGN_set(kNoBounds, blue, RegionData({{0, 0, 20, 20}}).get());
    reinterpret_cast<PU_EMRFILLRGN>(tooMany)->RgnData->rdh.nCount = 2;
    emf.Add(tooMany);
    char* noSuchBrush = U_EMRFILLRGN_set(kNoBounds, 999, RegionData({{0, 0, 20, 20}}).get());
    emf.Add(noSuchBrush);
    emf.Add(U_EMRFILLRGN_set(kNoBounds, blue, RegionData({{1, 1, 4, 4}}).get()));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), kSize), QRect(1, 1, 3, 3), kBlue));
}

// --- Paths, gradients, pixels ---------------------------------------------------------------

TEST(MetafileRegionTest, WidenedPathFillsWhereTheStrokeWas)
{
    for (const bool geometric : {true, false}) {
        EmfWriter emf(kSize.width(), kSize.height());
        const uint32_t type = geometric ? U_PS_GEOMETRIC : U_PS_COSMETIC;
        emf.Select(emf.ExtendedPen(U_PS_SOLID | type | U_PS_ENDCAP_FLAT | U_PS_JOIN_MITER, geometric ? 4 : 1, kBlack));
        emf.Select(emf.Brush(kRed));
        emf.Add(U_EMRBEGINPATH_set());
        emf.Add(U_EMRMOVETOEX_set(U_POINTL{2, 10}));
        emf.Add(U_EMRLINETO_set(U_POINTL{18, 10}));
        emf.Add(U_EMRENDPATH_set());
        emf.Add(U_EMRWIDENPATH_set());
        emf.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
        emf.Add(U_EMRFILLPATH_set(kNoBounds));
        const QImage image = Render(emf.Finish(), kSize);
        // A cosmetic pen widens to nothing.
        EXPECT_TRUE(AreaIs(image, geometric ? QRect(2, 8, 16, 4) : QRect(), kRed)) << geometric;
    }
}

TEST(MetafileRegionTest, FlattenedPathFillsLikeItsCurves)
{
    auto curve = [](bool flatten) {
        EmfWriter emf(kSize.width(), kSize.height());
        emf.Select(emf.Brush(kRed)).Select(U_NULL_PEN);
        emf.Add(U_EMRBEGINPATH_set());
        emf.Add(U_EMRELLIPSE_set(U_RECTL{2, 2, 18, 18}));
        emf.Add(U_EMRENDPATH_set());
        if (flatten)
            emf.Add(U_EMRFLATTENPATH_set());
        emf.Add(U_EMRFILLPATH_set(kNoBounds));
        return Render(emf.Finish(), kSize);
    };
    const PixelDifference difference = Compare(curve(true), curve(false));
    EXPECT_LE(difference.maximumNearby, 48); // edge pixels smoothed a little differently
    EXPECT_LT(difference.mean, 3);
    EXPECT_EQ(curve(true).pixel(10, 10), kRed);
}

U_TRIVERTEX Vertex(int x, int y, QRgb colour)
{
    return U_TRIVERTEX{x, y, uint16_t(qRed(colour) << 8), uint16_t(qGreen(colour) << 8), uint16_t(qBlue(colour) << 8), 0};
}

QImage Gradient(uint32_t mode, std::vector<U_TRIVERTEX> vertices, std::vector<uint32_t> meshes)
{
    EmfWriter emf(kSize.width(), kSize.height());
    const uint32_t perMesh = mode == U_GRADIENT_FILL_TRIANGLE ? 3 : 2;
    emf.Add(U_EMRGRADIENTFILL_set(kNoBounds, U_NUM_TRIVERTEX(vertices.size()), U_NUM_GRADOBJ(meshes.size() / perMesh),
                                  mode, vertices.data(), meshes.data()));
    return Render(emf.Finish(), kSize);
}

TEST(MetafileRegionTest, GradientRectanglesRunFromCornerToCorner)
{
    for (const uint32_t mode : {U_GRADIENT_FILL_RECT_H, U_GRADIENT_FILL_RECT_V}) {
        const QImage image = Gradient(mode, {Vertex(0, 0, kBlack), Vertex(20, 20, kWhite)}, {0, 1});
        const bool across = mode == U_GRADIENT_FILL_RECT_H;
        auto at = [&](int along) { return qRed(across ? image.pixel(along, 7) : image.pixel(7, along)); };
        // Windows shades pixel x by the point x: from the first colour to a step short of the last.
        EXPECT_EQ(at(0), 0);
        EXPECT_NEAR(at(19), 242, 1);
        EXPECT_NEAR(at(10), 127, 1);
        EXPECT_EQ(at(10), qBlue(across ? image.pixel(10, 3) : image.pixel(3, 10))) << "constant the other way";
    }
}

TEST(MetafileRegionTest, GradientTrianglesShadeBetweenTheirCorners)
{
    const QImage image = Gradient(U_GRADIENT_FILL_TRIANGLE,
                                  {Vertex(0, 0, kRed), Vertex(20, 0, kGreen), Vertex(0, 20, kBlue), Vertex(20, 20, kWhite)},
                                  {0, 1, 2, 1, 3, 2});
    // Windows shades pixel x, y by the point x, y.
    EXPECT_EQ(image.pixel(0, 0), kRed);
    EXPECT_LE(ColourDistance(image.pixel(19, 0), qRgb(12, 242, 0)), 1);
    EXPECT_LE(ColourDistance(image.pixel(0, 19), qRgb(12, 0, 242)), 1);
    EXPECT_LE(ColourDistance(image.pixel(19, 19), qRgb(229, 242, 242)), 1);
    EXPECT_LE(ColourDistance(image.pixel(5, 5), qRgb(127, 63, 63)), 1); // half red, a quarter each of the others
    EXPECT_LE(ColourDistance(image.pixel(10, 9), qRgb(12, 127, 114)), 1);
    EXPECT_LE(ColourDistance(image.pixel(10, 10), qRgb(0, 127, 127)), 1); // on the shared edge
}

TEST(MetafileRegionTest, GradientsWithIndicesOutOfRangeAreLeftOut)
{
    EmfWriter emf(kSize.width(), kSize.height());
    U_TRIVERTEX vertices[] = {Vertex(0, 0, kBlack), Vertex(20, 20, kBlack)};
    const uint32_t badMesh[] = {0, 2};
    emf.Add(U_EMRGRADIENTFILL_set(kNoBounds, 2, 1, U_GRADIENT_FILL_RECT_H, vertices, badMesh));
    char* tooMany = U_EMRGRADIENTFILL_set(kNoBounds, 2, 1, U_GRADIENT_FILL_RECT_H, vertices, badMesh);
    reinterpret_cast<PU_EMRGRADIENTFILL>(tooMany)->nGradObj = 1000;
    emf.Add(tooMany);
    emf.Add(U_EMRSETPIXELV_set(U_POINTL{3, 4}, ToColourRef(kBlue)));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), kSize), QRect(3, 4, 1, 1), kBlue));
}

// A pixel is one pixel of the reference device, wherever the logical units put it.
TEST(MetafileRegionTest, SetPixelPaintsOneDevicePixel)
{
    EmfWriter emf(kSize.width(), kSize.height());
    emf.Add(U_EMRSETWORLDTRANSFORM_set(Transform(0.5f, 0, 0, 0.5f, 2, 2)));
    emf.Add(U_EMRSETPIXELV_set(U_POINTL{9, 7}, ToColourRef(kBlue)));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), kSize), QRect(6, 5, 1, 1), kBlue));
}

} // namespace
