// Content files come from a server: whatever their fields say, playing one costs little. Pens,
// dashes and lines far beyond the picture are drawn only as far as they can be seen, and a file of
// endless figures stops at the play's budget.
#include "EmfWriter.h"
#include "RecordingDevice.h"
#include "RenderHelpers.h"
#include "platform/metafile/Metafile.h"
#include "platform/metafile/MetafilePlayer.h"
#include "support/TestFiles.h"

#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <cmath>
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

// Plays the metafile onto its bounds under the placement's world transform, as the bubble layer does.
void PlayOnto(QPaintDevice& device, const Metafile& metafile, Placement placement)
{
    const Rect bounds = metafile.Bounds();
    const qreal width = bounds.right - bounds.left;
    const qreal height = bounds.bottom - bounds.top;
    QTransform world = QTransform::fromScale(device.width() / width, device.height() / height);
    if (placement == Placement::Turned) {
        world = QTransform();
        world.translate(device.width() * 0.9, device.height() * 0.4);
        world.rotate(30);
        world.scale(device.width() / 3.0 / width, device.width() / 3.0 / width);
        world.translate(-width / 2, -height / 2);
    } else if (placement == Placement::Squashed) {
        world.scale(50, 0.02);
    }
    QPainter painter(&device);
    painter.setWorldTransform(world);
    metafile.Play(painter, QRectF(QPointF(0, 0), QPointF(width - 1, height - 1)));
}

Metafile LoadData(const char* name)
{
    const auto metafile = Metafile::FromBytes(ReadDataFile(name));
    EXPECT_TRUE(metafile) << name;
    return *metafile;
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
    RecordingDevice device(kBubblePicture);
    PlayOnto(device, LoadData(name), placement);
    const qreal slack = std::max(kBubblePicture.width(), kBubblePicture.height());
    const QRectF near = QRectF(QPointF(0, 0), kBubblePicture).adjusted(-slack, -slack, slack, slack);
    const qreal area = kBubblePicture.width() * kBubblePicture.height();
    using platform::MetafilePlayer;
    const qreal longest =
        (MetafilePlayer::kCoveringsPerPlay * area + MetafilePlayer::kWorkPerPlay) / MetafilePlayer::kWorkPerLengthPixel;
    qreal length = 0;
    for (const DrawnPath& drawn : device.Drawn()) {
        EXPECT_LE(drawn.PenPixels(), slack);
        const QRectF bounds = drawn.DevicePath().controlPointRect();
        EXPECT_TRUE(near.contains(bounds)) << bounds.x() << "," << bounds.y() << " " << bounds.width() << "x"
                                           << bounds.height();
        for (const QPolygonF& polygon : drawn.DevicePath().toSubpathPolygons())
            for (qsizetype i = 1; i < polygon.size(); ++i)
                length += QLineF(polygon[i - 1], polygon[i]).length();
    }
    EXPECT_LE(length, longest);
}

INSTANTIATE_TEST_SUITE_P(FilesAndPlacements, CostlyFileTest,
                         testing::Combine(testing::ValuesIn(kCostlyFiles),
                                          testing::Values(Placement::Stretched, Placement::Turned,
                                                          Placement::Squashed)));

// Cut down to what can be seen, a pen far wider than the picture still covers all of it that its
// line's flat ends leave: a short line drawn 100,000,000 units wide is a band across the picture.
TEST(MetafileBoundsTest, PenWiderThanThePictureCoversItBetweenItsEnds)
{
    EmfWriter emf(100, 100);
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 100'000'000, kBlack));
    const U_POINTL points[] = {{40, 50}, {60, 50}};
    emf.Add(U_EMRPOLYLINE_set(kNoBounds, 2, points));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {100, 100}), QRect(40, 0, 20, 100), kBlack));
}

// A line to a point a hundred million units away took Qt's rasterizer seconds; it is drawn as far
// as it can be seen.
TEST(MetafileBoundsTest, RegressionLineToAFarPointIsCutNearThePicture)
{
    EmfWriter emf(100, 100);
    emf.Select(emf.ExtendedPen(kFlatSolidPen, 6, kBlack));
    const U_POINTL points[] = {{10, 50}, {100'000'000, 50}};
    emf.Add(U_EMRPOLYLINE_set(kNoBounds, 2, points));
    const QByteArray bytes = emf.Finish();
    EXPECT_TRUE(AreaIs(Render(bytes, {100, 100}), QRect(10, 47, 90, 6), kBlack));

    RecordingDevice device({100, 100});
    QPainter painter(&device);
    Metafile::FromBytes(bytes)->Play(painter, QRectF(0, 0, 100, 100));
    painter.end();
    ASSERT_EQ(device.Drawn().size(), 1u);
    const DrawnPath& line = device.Drawn().front();
    const qreal reach = line.PenPixels() + kCutMargin;
    const QRectF bounds = line.DevicePath().controlPointRect();
    EXPECT_GE(bounds.left(), -reach);
    EXPECT_LE(bounds.right(), 100 + reach);
}

// Every dash of a figure is outlined on its own: more than 10,000 of them (here 15,000 in a picture
// of 100 x 100 pixels) are drawn as the line they make up.
TEST(MetafileBoundsTest, DashesTooManyToDrawMakeALine)
{
    // 300 passes of 99 units with a dash and a gap of one unit each: an odd length, so that each pass
    // back draws its dashes where the pass before did.
    constexpr int kPasses = 300;
    EmfWriter emf(100, 100);
    emf.Add(U_EMRSETBKMODE_set(U_TRANSPARENT));
    // Bevelled joins: the turns reach no farther than the line's ends.
    constexpr uint32_t kFlatBevelledDashes = U_PS_USERSTYLE | U_PS_GEOMETRIC | U_PS_ENDCAP_FLAT | U_PS_JOIN_BEVEL;
    emf.Select(emf.ExtendedPen(kFlatBevelledDashes, 2, kBlack, {1, 1}));
    std::vector<U_POINTL> points;
    for (int pass = 0; pass <= kPasses; ++pass)
        points.push_back(U_POINTL{pass % 2 == 0 ? 0 : 99, 50});
    emf.Add(U_EMRPOLYLINE_set(kNoBounds, uint32_t(points.size()), points.data()));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {100, 100}), QRect(0, 49, 99, 2), kBlack));
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
    RecordingDevice device(kPicture);
    QPainter painter(&device);
    Metafile::FromBytes(emf.Finish())->Play(painter, QRectF(QPointF(0, 0), QSizeF(kPicture)));
    painter.end();
    EXPECT_LT(device.Drawn().size(), kFigures);
    EXPECT_GE(device.Drawn().size(), size_t(platform::MetafilePlayer::kCoveringsPerPlay));
}

} // namespace
