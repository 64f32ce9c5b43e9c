// Content files come from a server: whatever their fields say, playing one costs little. Pens,
// dashes and lines far beyond the picture are drawn only as far as they can be seen, and a file of
// endless figures stops at the play's budget, at the same record whatever size it is drawn at.
#include "EmfWriter.h"
#include "RecordingDevice.h"
#include "RenderHelpers.h"
#include "platform/metafile/Metafile.h"
#include "platform/metafile/MetafilePlayer.h"
#include "support/TestFiles.h"

#include <QPainter>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

using platform::Metafile;

namespace {

constexpr QSize kBubblePicture(420, 320);
constexpr U_RECTL kNoBounds{0, 0, 0, 0};
constexpr uint32_t kFlatSolidPen = U_PS_SOLID | U_PS_GEOMETRIC | U_PS_ENDCAP_FLAT | U_PS_JOIN_MITER;
// The cut lines' ends lie this far beyond a pen's width outside the picture.
constexpr qreal kCutMargin = 2;

// The ways the program draws a bubble: stretched over a bubble-sized picture while its text is
// written; placed on a scene, smaller, turned and partly outside; stretched out of shape.
enum class Placement { Stretched, Turned, Squashed };

// The world transform under which the bubble layer plays a metafile of the given bounds onto a picture.
QTransform World(Placement placement, QSize picture, QSizeF bounds)
{
    QTransform world;
    if (placement == Placement::Turned) {
        world.translate(picture.width() * 0.9, picture.height() * 0.4);
        world.rotate(30);
        world.scale(picture.width() / 3.0 / bounds.width(), picture.width() / 3.0 / bounds.width());
        world.translate(-bounds.width() / 2, -bounds.height() / 2);
        return world;
    }
    world.scale(picture.width() / bounds.width(), picture.height() / bounds.height());
    if (placement == Placement::Squashed)
        world.scale(50, 0.02);
    return world;
}

// What playing the bytes onto target (the whole picture when empty) under world hands to a device.
std::vector<DrawnPath> Recorded(const QByteArray& bytes, QSize picture, const QTransform& world = {},
                                const QRectF& target = {})
{
    const auto metafile = Metafile::FromBytes(bytes);
    EXPECT_TRUE(metafile);
    RecordingDevice device(picture);
    QPainter painter(&device);
    painter.setWorldTransform(world);
    if (metafile)
        metafile->Play(painter, target.isEmpty() ? QRectF(QPointF(0, 0), QSizeF(picture)) : target);
    painter.end();
    return device.Drawn();
}

// Plays that kept Qt's stroker or rasterizer busy for seconds to minutes: a pen 100,000,000 units
// wide; what the metafile fuzzer found (a line to a far point, a wide dashed pen under a frame that
// stretches one axis, a wide dotted pen, a long dashed line of a one-pixel pen made 19,200 units wide).
const char* const kCostlyFiles[] = {"wide-pen.emf", "far-stroke.emf", "stretched-dashes.emf", "wide-dots.emf",
                                    "cosmetic-dashes.emf"};

class CostlyFileTest : public testing::TestWithParam<std::tuple<const char*, Placement>> {};

// What reaches Qt stays within a picture's size of the picture, no pen it strokes with is wider than a
// picture, and the edges it rasterizes are no longer in all than the play's budget pays for.
TEST_P(CostlyFileTest, RegressionWhatReachesQtStaysNearThePicture)
{
    const auto [name, placement] = GetParam();
    const QByteArray bytes = ReadDataFile(name);
    const Rect frame = Metafile::FromBytes(bytes)->Bounds();
    const QSizeF bounds(frame.right - frame.left, frame.bottom - frame.top);
    const std::vector<DrawnPath> drawn = Recorded(bytes, kBubblePicture, World(placement, kBubblePicture, bounds),
                                                  QRectF(QPointF(0, 0), bounds - QSizeF(1, 1)));
    const qreal slack = std::max(kBubblePicture.width(), kBubblePicture.height());
    const QRectF near = QRectF(QPointF(0, 0), kBubblePicture).adjusted(-slack, -slack, slack, slack);
    // Edges cost a frame side's worth of budget per frame side of length: no more than that reaches Qt.
    const qreal bubbleArea = std::abs(World(placement, kBubblePicture, bounds).determinant()
                                      * (bounds.width() - 1) * (bounds.height() - 1));
    using platform::MetafilePlayer;
    const qreal longest = MetafilePlayer::kWorkPerPlay / MetafilePlayer::kWorkPerFrameSide * std::sqrt(bubbleArea);
    qreal length = 0;
    for (const DrawnPath& path : drawn) {
        EXPECT_LE(path.PenPixels(), slack);
        const QRectF reached = path.DevicePath().controlPointRect();
        EXPECT_TRUE(near.contains(reached)) << reached.x() << "," << reached.y() << " " << reached.width() << "x"
                                            << reached.height();
        length += path.DevicePath().length();
    }
    EXPECT_LE(length, longest);
}

INSTANTIATE_TEST_SUITE_P(FilesAndPlacements, CostlyFileTest,
                         testing::Combine(testing::ValuesIn(kCostlyFiles),
                                          testing::Values(Placement::Stretched, Placement::Turned,
                                                          Placement::Squashed)));

// A 100 x 100 metafile of one black line through the points.
QByteArray Polyline(uint32_t penStyle, uint32_t penWidth, const std::vector<U_POINTL>& points,
                    std::vector<uint32_t> dashes = {})
{
    EmfWriter emf(100, 100);
    emf.Add(U_EMRSETBKMODE_set(U_TRANSPARENT));  // the gaps between dashes leave the paper
    emf.Select(emf.ExtendedPen(penStyle, penWidth, kBlack, std::move(dashes)));
    emf.Add(U_EMRPOLYLINE_set(kNoBounds, uint32_t(points.size()), points.data()));
    return emf.Finish();
}

// Cut down to what can be seen, a pen far wider than the picture still covers all of it that its
// line's flat ends leave: a short line drawn 100,000,000 units wide is a band across the picture.
TEST(MetafileBoundsTest, PenWiderThanThePictureCoversItBetweenItsEnds)
{
    const QByteArray bytes = Polyline(kFlatSolidPen, 100'000'000, {{40, 50}, {60, 50}});
    EXPECT_TRUE(AreaIs(Render(bytes, {100, 100}), QRect(40, 0, 20, 100), kBlack));
}

// A line to a point a hundred million units away took Qt's rasterizer seconds; it is drawn as far
// as it can be seen.
TEST(MetafileBoundsTest, RegressionLineToAFarPointIsCutNearThePicture)
{
    const QByteArray bytes = Polyline(kFlatSolidPen, 6, {{10, 50}, {100'000'000, 50}});
    EXPECT_TRUE(AreaIs(Render(bytes, {100, 100}), QRect(10, 47, 90, 6), kBlack));

    const std::vector<DrawnPath> drawn = Recorded(bytes, {100, 100});
    ASSERT_EQ(drawn.size(), 1u);
    const DrawnPath& line = drawn.front();
    const qreal reach = std::max<qreal>(100, line.PenPixels() + kCutMargin);  // a picture's size at least
    const QRectF bounds = line.DevicePath().controlPointRect();
    EXPECT_GE(bounds.left(), -reach);
    EXPECT_LE(bounds.right(), 100 + reach);
}

// A dashed square that leaves the picture only a little is drawn as it stands, so the part in sight
// is the same as on a picture that holds all of it: a cut would start the dashes afresh where it fell
// and break the corner the square starts at.
TEST(MetafileBoundsTest, RegressionAFigureJustBeyondThePictureIsNotCut)
{
    constexpr uint32_t kFlatMitredDashes = U_PS_USERSTYLE | U_PS_GEOMETRIC | U_PS_ENDCAP_FLAT | U_PS_JOIN_MITER;
    const QByteArray bytes = Polyline(kFlatMitredDashes, 6, {{30, 30}, {80, 30}, {80, 80}, {30, 80}, {30, 30}}, {3, 2});
    const QRectF target(0, 0, 199, 199);  // 100 units over 200 pixels: the square reaches 60 pixels out
    const QImage part = Render(bytes, {100, 100}, target);
    const QImage whole = Render(bytes, {200, 200}, target);
    EXPECT_EQ(part, whole.copy(0, 0, 100, 100));
}

// Every dash of a figure is outlined on its own: more than 10,000 of them (here 15,000 in a picture
// of 100 x 100 pixels) are drawn as the line they make up.
TEST(MetafileBoundsTest, DashesTooManyToDrawMakeALine)
{
    // 300 passes of 99 units with a dash and a gap of one unit each: an odd length, so that each pass
    // back draws its dashes where the pass before did. Bevelled joins reach no farther than the ends.
    constexpr uint32_t kFlatBevelledDashes = U_PS_USERSTYLE | U_PS_GEOMETRIC | U_PS_ENDCAP_FLAT | U_PS_JOIN_BEVEL;
    std::vector<U_POINTL> points;
    for (int pass = 0; pass <= 300; ++pass)
        points.push_back(U_POINTL{pass % 2 == 0 ? 0 : 99, 50});
    const QByteArray bytes = Polyline(kFlatBevelledDashes, 2, points, {1, 1});
    EXPECT_TRUE(AreaIs(Render(bytes, {100, 100}), QRect(0, 49, 99, 2), kBlack));
}

constexpr QSize kFigureFile(64, 48);

// A kFigureFile of picture-sized ellipses, each filled red and outlined in blue (two paths drawn each);
// clipped, under a clip path of an ellipse inside the frame, as a bubble framing a picture has.
QByteArray BubbleSizedFigures(size_t figures, bool clipped = false)
{
    EmfWriter emf(kFigureFile.width(), kFigureFile.height());
    if (clipped) {
        emf.Add(U_EMRBEGINPATH_set());
        emf.Add(U_EMRELLIPSE_set(U_RECTL{4, 4, kFigureFile.width() - 4, kFigureFile.height() - 4}));
        emf.Add(U_EMRENDPATH_set());
        emf.Add(U_EMRSELECTCLIPPATH_set(U_RGN_COPY));
    }
    emf.Select(emf.Brush(kRed)).Select(emf.ExtendedPen(kFlatSolidPen, 1, kBlue));
    for (size_t i = 0; i < figures; ++i)
        emf.Add(U_EMRELLIPSE_set(U_RECTL{0, 0, kFigureFile.width(), kFigureFile.height()}));
    return emf.Finish();
}

// Sizes a 64 x 48 bubble is drawn at: the smallest placed on a scene, its own, and over a large scene.
const QSize kBubbleSizes[] = {{16, 12}, {64, 48}, {640, 480}, {4096, 3072}};

// A file of nothing but picture-sized figures (4 MB of them would take minutes) stops drawing when
// the play's budget is spent, after more than a thousand of them, and at the same figure whatever size
// it is drawn at.
TEST(MetafileBoundsTest, RegressionEndlessFiguresStopAtTheSameFigureAtEverySize)
{
    constexpr size_t kFigures = 20'000;
    const QByteArray bytes = BubbleSizedFigures(kFigures);
    const size_t drawn = Recorded(bytes, kFigureFile).size();
    EXPECT_LT(drawn, 2 * kFigures);
    EXPECT_GT(drawn, 2 * size_t(1000));
    for (const QSize size : kBubbleSizes)
        EXPECT_EQ(Recorded(bytes, size).size(), drawn) << size.width() << "x" << size.height();
    // Placed turned on a scene, a third of its width, partly outside it.
    const QSizeF bounds(kFigureFile.width(), kFigureFile.height());
    EXPECT_EQ(Recorded(bytes, kBubblePicture, World(Placement::Turned, kBubblePicture, bounds),
                       QRectF(QPointF(0, 0), bounds - QSizeF(1, 1)))
                  .size(),
              drawn);
}

// An ordinary bubble is never cut: 1,000 figures the size of the bubble draw in full at every size, and
// so they do under an elliptical clip.
TEST(MetafileBoundsTest, AThousandBubbleSizedFiguresDrawInFullAtEverySize)
{
    constexpr size_t kFigures = 1000;
    for (const bool clipped : {false, true}) {
        const QByteArray bytes = BubbleSizedFigures(kFigures, clipped);
        for (const QSize size : kBubbleSizes)
            EXPECT_EQ(Recorded(bytes, size).size(), 2 * kFigures)
                << size.width() << "x" << size.height() << (clipped ? " clipped" : "");
    }
}

// A kFigureFile of figures filled red (no pen), or outlined with the default pen a pixel wide.
struct CostlyFigures {
    const char* name;
    size_t figures;
    std::function<void(EmfWriter&, size_t figure)> add;
    std::function<void(EmfWriter&)> before = [](EmfWriter&) {};
    bool outlined = false;
    bool drawnInFull = false;
};

// Clip stripes over rows 0 to 39 of kFigureFile: level ones XOR upright ones.
void ClipToStripes(EmfWriter& emf)
{
    std::vector<U_RECTL> rows;
    std::vector<U_RECTL> columns;
    for (int y = 0; y < 40; y += 3)
        rows.push_back({0, y, kFigureFile.width(), y + 1});
    for (int x = 0; x < kFigureFile.width(); x += 4)
        columns.push_back({x, 0, x + 2, 40});
    emf.ClipRegion(U_RGN_COPY, rows).ClipRegion(U_RGN_XOR, columns);
}

// A figure of 4 stripes over the file's height, leaning one unit or upright.
void AddStripes(EmfWriter& emf, int lean)
{
    constexpr uint32_t kStripes = 4;
    std::vector<U_POINTL> points;
    for (uint32_t i = 0; i < kStripes; ++i) {
        const int32_t x = int32_t(2 + 3 * i);
        points.insert(points.end(), {{x, 0}, {x + 1, 0}, {x + 1 + lean, kFigureFile.height()},
                                     {x + lean, kFigureFile.height()}});
    }
    const std::vector<uint32_t> counts(kStripes, 4);
    emf.Add(U_EMRPOLYPOLYGON_set(kNoBounds, kStripes, counts.data(), uint32_t(points.size()), points.data()));
}

class CostlyFiguresTest : public testing::TestWithParam<CostlyFigures> {};

// Work Qt does for figures beyond what their edges and area show is charged, so a file of such figures
// stops early, and at the same figure at every size; as many figures without that work all draw.
// - Qt hands a clip each batch of pixels it draws, and walks the clip's spans from its first row for a
//   batch on a row the clip leaves empty (a line a pixel wide hands over every column on its own):
//   20,000 small squares under a clip of stripes took a minute over a large scene.
// - Qt's smoothing rasterizer takes time growing with the square of the rows slanted edges run down: a
//   figure of 4 stripes leaning a little over a large scene takes 150 ms, upright ones milliseconds.
TEST_P(CostlyFiguresTest, RegressionTheyStopAtTheSameFigureAtEverySize)
{
    const CostlyFigures& costly = GetParam();
    EmfWriter emf(kFigureFile.width(), kFigureFile.height());
    costly.before(emf);
    if (costly.outlined)
        emf.Select(U_NULL_BRUSH); // and the default pen
    else
        emf.Select(emf.Brush(kRed)).Select(U_NULL_PEN);
    for (size_t i = 0; i < costly.figures; ++i)
        costly.add(emf, i);
    const QByteArray bytes = emf.Finish();
    const size_t drawn = Recorded(bytes, kFigureFile).size();
    if (costly.drawnInFull) {
        EXPECT_EQ(drawn, costly.figures);
    } else {
        EXPECT_LT(drawn, costly.figures / 2);
        EXPECT_GT(drawn, size_t(0));
    }
    for (const QSize size : kBubbleSizes)
        EXPECT_EQ(Recorded(bytes, size).size(), drawn) << size.width() << "x" << size.height();
}

// Small squares on rows the clip of stripes leaves empty.
void AddSquareBelowStripes(EmfWriter& emf, size_t figure)
{
    const int left = int(figure % 60);
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{left, 42, left + 3, 46}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, CostlyFiguresTest,
    testing::Values(CostlyFigures{"SquaresUnderStripes", 20'000, AddSquareBelowStripes, ClipToStripes},
                    CostlyFigures{"OutlinedSquaresUnderStripes", 20'000, AddSquareBelowStripes, ClipToStripes, true},
                    CostlyFigures{"SlantedStripes", 30, [](EmfWriter& e, size_t) { AddStripes(e, 1); }},
                    CostlyFigures{"UprightStripes", 30, [](EmfWriter& e, size_t) { AddStripes(e, 0); },
                                  [](EmfWriter&) {}, false, true}),
    [](const testing::TestParamInfo<CostlyFigures>& info) { return info.param.name; });

struct BandsAndOutline {
    int bands;
    QSize picture;
};

class VanishingOutlineTest : public testing::TestWithParam<BandsAndOutline> {};

// A 420 x 320 bubble of bands (a gradient, as exporters write one) and then its outline lost the outline
// at its own size with 100 bands, and at twice its size with 64: however large it is drawn, the outline
// is there.
TEST_P(VanishingOutlineTest, RegressionTheOutlineAfterManyBandsIsDrawnAtEverySize)
{
    const auto [bands, picture] = GetParam();
    EmfWriter emf(kBubblePicture.width(), kBubblePicture.height());
    const uint32_t brushes[] = {emf.Brush(kRed), emf.Brush(kBlue)};
    emf.Select(U_NULL_PEN);
    for (int i = 0; i < bands; ++i) {
        emf.Select(brushes[i % 2]);
        const int top = i * kBubblePicture.height() / bands;
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, top, kBubblePicture.width(), kBubblePicture.height()}));
    }
    emf.Select(U_NULL_BRUSH).Select(emf.ExtendedPen(kFlatSolidPen, 12, kBlack));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{10, 10, kBubblePicture.width() - 10, kBubblePicture.height() - 10}));
    const QImage image = Render(emf.Finish(), picture);
    // The middle of the outline's left and bottom sides.
    const qreal sx = qreal(picture.width()) / kBubblePicture.width();
    const qreal sy = qreal(picture.height()) / kBubblePicture.height();
    EXPECT_EQ(image.pixel(int(10 * sx), int(160 * sy)), kBlack);
    EXPECT_EQ(image.pixel(int(210 * sx), int(310 * sy)), kBlack);
}

INSTANTIATE_TEST_SUITE_P(BandsAndSizes, VanishingOutlineTest,
                         testing::Values(BandsAndOutline{100, {105, 80}}, BandsAndOutline{100, {420, 320}},
                                         BandsAndOutline{100, {4096, 3072}}, BandsAndOutline{320, {105, 80}},
                                         BandsAndOutline{320, {420, 320}}, BandsAndOutline{320, {4096, 3072}}));

} // namespace
