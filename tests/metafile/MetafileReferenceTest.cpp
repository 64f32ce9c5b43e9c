#include "PixelCompare.h"
#include "support/TestFiles.h"
#include "platform/metafile/Metafile.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

using platform::Metafile;

namespace {

// The references are drawn at 96 pixels an inch; the metafiles' frames are a little larger than the
// drawings' canvases (the writer rounds them outwards), so the frame is played at its own size in
// millimetres at that resolution, into a picture of the reference's size.
constexpr double kReferencePixelsPerInch = 96.0;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kHundredthsPerMillimetre = 100.0;

// A sampled fill or outline colour, well inside its area, matches within this.
constexpr int kSampleTolerance = 8;
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

// How far a played bubble may stray from the writer's own rendering. Measured on the plain figure
// bubbles (oval, cloud, shout): mean 0.07-0.18, largest pixel 52, largest against the neighbourhood
// 34, far pixels (see kFarTolerance) 0.001 % at most. A bubble drawn without one of its parts is far
// off in 0.2 % (a 26-pixel word) to 50 % of its pixels.
struct Tolerance {
    double mean;     // mean channel difference over the whole picture
    int maximum;     // any single pixel
    int nearby;      // any pixel against its reference neighbourhood
    double farShare; // share of the pixels further than kFarTolerance from their neighbourhood
};

// Outlines and fills: differences only where anti-aliased edges fall a fraction of a pixel apart.
constexpr Tolerance kFigures{1.0, 80, 48, 0.0005};
// Clipped figures: a clip edge may be hard where the reference's is soft, a full step on a pixel or two,
// so single pixels are not bounded; the share still is. The stripes, the gradient and the gradient's
// bands (faint seams between them on both sides) put under Qt's own clip are 0.001 % far off at most
// (mean 0.05 to 0.5); unclipped, 20 to 52 %.
constexpr Tolerance kClippedFigures{1.0, 255, 255, 0.0005};
// A photo: its sharp detail turns any difference in sampling into far pixels. Drawn by Qt at its place
// it is 0.03 % far off (mean 0.3, 0.8 smoothed and 0.3 % larger); a whole pixel off, still 0.03 % far
// off but mean 2.8; left out, 20 %.
constexpr Tolerance kPicture{1.5, 255, 255, 0.001};
// Text: both sides rasterize the same outlines of the same face, but glyph edges land differently.
// Text drawn by Qt in the same face at the same places is 0.03 % far off (mean 0.25); left out, the
// turned 26-pixel word alone makes 0.22 % (mean 1.2), "POW!" 2 pixels too low 0.7 %.
constexpr Tolerance kText{1.0, 255, 255, 0.001};

struct Bubble {
    const char* name;
    Tolerance tolerance;
    std::vector<Sample> fill;    // points well inside a filled area
    std::vector<Sample> outline; // points on the middle of an outline, or well inside a glyph's stroke
    std::vector<QPoint> outside; // points the drawing leaves transparent, clipped away or never drawn
};

const std::vector<Bubble>& Bubbles()
{
    static const std::vector<Bubble> bubbles = {
        {"oval",
         kFigures,
         {{{200, 130}, qRgb(255, 255, 255)}, {{100, 100}, qRgb(255, 255, 255)}},
         {{{200, 20}, qRgb(0, 0, 0)}, {{390, 130}, qRgb(0, 0, 0)}, {{10, 130}, qRgb(0, 0, 0)}, {{200, 240}, qRgb(0, 0, 0)}},
         {}},
        {"cloud",
         kFigures,
         {{{220, 140}, qRgb(0xEE, 0xF6, 0xFF)}, {{95, 270}, qRgb(0xEE, 0xF6, 0xFF)}, {{60, 300}, qRgb(0xEE, 0xF6, 0xFF)}},
         {{{60, 290}, qRgb(0x1A, 0x3A, 0x6A)}, {{95, 254}, qRgb(0x1A, 0x3A, 0x6A)}, {{111, 270}, qRgb(0x1A, 0x3A, 0x6A)}},
         {}},
        {"shout",
         kFigures,
         {{{200, 160}, qRgb(0xFF, 0xEF, 0x5A)}, {{120, 150}, qRgb(0xFF, 0xEF, 0x5A)}},
         {{{217, 40}, qRgb(0xC0, 0x00, 0x00)}, {{45, 175}, qRgb(0xC0, 0x00, 0x00)}, {{200, 10}, qRgb(0xC0, 0x00, 0x00)}},
         {}},
        // "POW!" and a turned "BAM" in bold Arial, kept as text (EXTCREATEFONTINDIRECTW, EXTTEXTOUTW).
        {"pow",
         kText,
         {{{200, 250}, qRgb(0xFF, 0xD2, 0x3F)}, {{200, 40}, qRgb(0xFF, 0xD2, 0x3F)}},
         {{{95, 150}, qRgb(0xD0, 0x10, 0x10)}, {{300, 150}, qRgb(0xD0, 0x10, 0x10)}},
         {{20, 20}, {380, 280}}},
        // Stripes clipped to an ellipse (SELECTCLIPPATH under SAVEDC/RESTOREDC).
        {"clip",
         kClippedFigures,
         {{{100, 100}, qRgb(0xF4, 0xA3, 0x40)}, {{170, 100}, qRgb(0x4A, 0x90, 0xD9)}, {{100, 60}, qRgb(255, 255, 255)}},
         {{{200, 20}, qRgb(0, 0, 0)}, {{20, 130}, qRgb(0, 0, 0)}},
         {{25, 20}, {170, 270}, {390, 20}}},
        // A photo in a framed box (STRETCHDIBITS, 32 bits a pixel).
        {"picture",
         kPicture,
         {{{200, 30}, qRgb(255, 255, 255)}, {{281, 75}, qRgb(109, 77, 62)}, {{116, 186}, qRgb(181, 148, 134)}},
         {{{110, 100}, qRgb(0x30, 0x50, 0x70)}},
         {{395, 290}}},
        // A vertical gradient clipped to the bubble (GRADIENTFILL under SELECTCLIPPATH).
        {"gradient",
         kClippedFigures,
         {{{200, 40}, qRgb(76, 135, 217)}, {{300, 150}, qRgb(153, 187, 233)}, {{200, 225}, qRgb(206, 222, 245)}},
         {{{200, 19}, qRgb(0x10, 0x30, 0x5A)}},
         {{10, 10}, {380, 280}}},
        // The same drawing with its gradient written as filled bands.
        {"gradient-bands",
         kClippedFigures,
         {{{200, 40}, qRgb(76, 135, 217)}, {{300, 150}, qRgb(153, 187, 233)}, {{200, 225}, qRgb(206, 222, 245)}},
         {{{200, 19}, qRgb(0x10, 0x30, 0x5A)}},
         {{10, 10}, {380, 280}}},
    };
    return bubbles;
}

// Names the bubble in failure messages instead of dumping its bytes.
void PrintTo(const Bubble& bubble, std::ostream* out)
{
    *out << bubble.name;
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
    const Tolerance& tolerance = bubble.tolerance;
    EXPECT_LE(difference.farShare, tolerance.farShare);
    EXPECT_LE(difference.mean, tolerance.mean);
    EXPECT_LE(difference.maximum, tolerance.maximum);
    EXPECT_LE(difference.maximumNearby, tolerance.nearby);

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
    std::vector<QPoint> outside = bubble.outside;
    outside.push_back(QPoint(0, 0));
    outside.push_back(QPoint(ours.width() - 1, 0));
    for (const QPoint& at : outside) {
        EXPECT_EQ(qAlpha(reference.pixel(at)), 0) << "reference at " << at.x() << "," << at.y();
        EXPECT_EQ(ours.pixel(at), 0u) << "ours at " << at.x() << "," << at.y();
    }
}

INSTANTIATE_TEST_SUITE_P(Bubbles, MetafileReferenceTest, testing::ValuesIn(Bubbles()),
                         [](const testing::TestParamInfo<Bubble>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

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
