// Content files come from a server: whatever their fields say, playing one costs little. Pens,
// dashes and lines far beyond the picture are drawn only as far as they can be seen, and a file of
// endless figures stops at the play's budget.
#include "EmfWriter.h"
#include "RecordingDevice.h"
#include "RenderHelpers.h"
#include "platform/metafile/Metafile.h"
#include "platform/metafile/MetafilePlayer.h"
#include "support/TestFiles.h"

#include <QPainter>
#include <algorithm>
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
    const qreal area = kBubblePicture.width() * kBubblePicture.height();
    using platform::MetafilePlayer;
    const qreal longest =
        (MetafilePlayer::kCoveringsPerPlay * area + MetafilePlayer::kWorkPerPlay) / MetafilePlayer::kWorkPerLengthPixel;
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

// A file of nothing but picture-sized figures (4 MB of them would take minutes) stops drawing when
// the play's budget is spent, after many times the picture's area.
TEST(MetafileBoundsTest, RegressionEndlessFiguresStopAtTheBudget)
{
    constexpr QSize kPicture(64, 48);
    constexpr size_t kFigures = 20'000;
    EmfWriter emf(kPicture.width(), kPicture.height());
    emf.Select(emf.Brush(kRed)).Select(U_NULL_PEN);
    for (size_t i = 0; i < kFigures; ++i)
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, kPicture.width(), kPicture.height()}));
    const size_t drawn = Recorded(emf.Finish(), kPicture).size();
    EXPECT_LT(drawn, kFigures);
    EXPECT_GE(drawn, size_t(platform::MetafilePlayer::kCoveringsPerPlay));
}

} // namespace
