#include "PixelCompare.h"
#include "support/TestFiles.h"
#include "platform/metafile/Metafile.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

using platform::Metafile;

namespace {

// The references are drawn at 96 pixels an inch; the metafiles' frames are a little larger than the
// drawings' canvases (the writer rounds them outwards), so the frame is played at its own size in
// millimetres at that resolution, into a picture of the reference's size.
constexpr double kReferencePixelsPerInch = 96.0;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kHundredthsPerMillimetre = 100.0;

// Tolerances: the pictures differ only where anti-aliased edges fall a fraction of a pixel apart.
constexpr double kMeanTolerance = 1.0;       // mean channel difference over the whole picture
constexpr int kMaximumTolerance = 80;        // any single pixel
constexpr int kNearbyTolerance = 48;         // any pixel against its reference neighbourhood
constexpr int kSampleTolerance = 8;          // a sampled fill or outline colour
// Mean difference when the drawing is up to a pixel short at the far edges (the whole outline of a
// missing or misplaced bubble costs more than twice this).
constexpr double kShiftedMeanTolerance = 6.0;

QImage PlayAtReferenceScale(const Metafile& metafile, QSize size)
{
    const double pixelsPerHundredth = kReferencePixelsPerInch / kMillimetresPerInch / kHundredthsPerMillimetre;
    const Rect frame = metafile.Frame();
    const QRectF target(frame.left * pixelsPerHundredth, frame.top * pixelsPerHundredth,
                        (frame.right - frame.left) * pixelsPerHundredth,
                        (frame.bottom - frame.top) * pixelsPerHundredth);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    metafile.Play(painter, target);
    return image;
}

struct Sample {
    QPoint at; // in the drawing's own pixels
    QRgb colour;
};

struct Bubble {
    const char* name;
    std::vector<Sample> fill;    // points well inside a filled area
    std::vector<Sample> outline; // points on the middle of an outline
};

const std::vector<Bubble>& Bubbles()
{
    static const std::vector<Bubble> bubbles = {
        {"oval",
         {{{200, 130}, qRgb(255, 255, 255)}, {{100, 100}, qRgb(255, 255, 255)}},
         {{{200, 20}, qRgb(0, 0, 0)}, {{390, 130}, qRgb(0, 0, 0)}, {{10, 130}, qRgb(0, 0, 0)}, {{200, 240}, qRgb(0, 0, 0)}}},
        {"cloud",
         {{{220, 140}, qRgb(0xEE, 0xF6, 0xFF)}, {{95, 270}, qRgb(0xEE, 0xF6, 0xFF)}, {{60, 300}, qRgb(0xEE, 0xF6, 0xFF)}},
         {{{60, 290}, qRgb(0x1A, 0x3A, 0x6A)}, {{95, 254}, qRgb(0x1A, 0x3A, 0x6A)}, {{111, 270}, qRgb(0x1A, 0x3A, 0x6A)}}},
        {"shout",
         {{{200, 160}, qRgb(0xFF, 0xEF, 0x5A)}, {{120, 150}, qRgb(0xFF, 0xEF, 0x5A)}},
         {{{217, 40}, qRgb(0xC0, 0x00, 0x00)}, {{45, 175}, qRgb(0xC0, 0x00, 0x00)}, {{200, 10}, qRgb(0xC0, 0x00, 0x00)}}},
    };
    return bubbles;
}

class MetafileReferenceTest : public testing::TestWithParam<Bubble> {};

TEST_P(MetafileReferenceTest, MatchesTheWritersOwnRendering)
{
    const Bubble& bubble = GetParam();
    const auto metafile = Metafile::FromFile(DataFile(QString(bubble.name) + ".emf"));
    ASSERT_TRUE(metafile);
    const QImage reference(DataFile(QString(bubble.name) + ".ref.png"));
    ASSERT_FALSE(reference.isNull());

    const QImage ours = PlayAtReferenceScale(*metafile, reference.size());
    const PixelDifference difference = Compare(ours, reference);
    EXPECT_LE(difference.mean, kMeanTolerance);
    EXPECT_LE(difference.maximum, kMaximumTolerance);
    EXPECT_LE(difference.maximumNearby, kNearbyTolerance);

    const QImage oursOverWhite = OverWhite(ours);
    const QImage referenceOverWhite = OverWhite(reference);
    for (const auto* samples : {&bubble.fill, &bubble.outline}) {
        for (const Sample& sample : *samples) {
            EXPECT_LE(ColourDistance(referenceOverWhite.pixel(sample.at), sample.colour), kSampleTolerance)
                << "reference at " << sample.at.x() << "," << sample.at.y();
            EXPECT_LE(ColourDistance(oursOverWhite.pixel(sample.at), sample.colour), kSampleTolerance)
                << "ours at " << sample.at.x() << "," << sample.at.y();
        }
    }
    // Outside the drawing nothing is painted.
    EXPECT_EQ(ours.pixel(0, 0), 0u);
    EXPECT_EQ(ours.pixel(ours.width() - 1, 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Bubbles, MetafileReferenceTest, testing::ValuesIn(Bubbles()),
                         [](const testing::TestParamInfo<Bubble>& info) { return std::string(info.param.name); });

// What the picture layer does: the bubble drawn into its own bounds (0, 0, width - 1, height - 1)
// under a world transform that scales it down to the reference's size.
TEST(MetafileReferenceScaleTest, BoundsTargetUnderWorldTransformMatchesReference)
{
    const auto metafile = Metafile::FromFile(DataFile("oval.emf"));
    ASSERT_TRUE(metafile);
    const QImage reference(DataFile("oval.ref.png"));
    const Rect bounds = metafile->Bounds();
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    QImage ours(reference.size(), QImage::Format_ARGB32_Premultiplied);
    ours.fill(Qt::transparent);
    {
        QPainter painter(&ours);
        painter.scale(double(reference.width()) / width, double(reference.height()) / height);
        metafile->Play(painter, QRectF(0, 0, width - 1, height - 1));
    }
    // The frame is a little larger than the canvas, so the drawing lands up to a pixel short of
    // the reference's edges: compare the fill and the outline, which are wide enough for that.
    const QImage oursOverWhite = OverWhite(ours);
    EXPECT_LE(ColourDistance(oursOverWhite.pixel(200, 130), qRgb(255, 255, 255)), kSampleTolerance);
    EXPECT_LE(ColourDistance(oursOverWhite.pixel(200, 20), qRgb(0, 0, 0)), kSampleTolerance);
    EXPECT_LE(ColourDistance(oursOverWhite.pixel(10, 130), qRgb(0, 0, 0)), kSampleTolerance);
    EXPECT_LE(Compare(ours, reference).mean, kShiftedMeanTolerance);
}

} // namespace
