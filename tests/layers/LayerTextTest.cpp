#include "support/LayerPictures.h"
#include "support/HintCounter.h"
#include "support/ScopedAppPaths.h"

#include "engine/document/Document.h"
#include "engine/layers/BubbleFont.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/LayerText.h"
#include "platform/ArchiveError.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "platform/DeviceContext.h"

#include <QBuffer>
#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

const QString OvalPath = DataFile("oval.emf");
constexpr int OvalWidth = 5007;  // the metafile's bounds
constexpr int OvalHeight = 3779;

// The height the bubble's text takes in its rectangle with the layer's current font.
int MeasuredHeight(LayerText& layer)
{
    QImage scratch(1, 1, QImage::Format_BGR888);
    platform::DeviceContext dc(scratch);
    return layer.DrawText(platform::TextFormat::CalcRect, dc);
}

int Fit(LayerText& layer)
{
    QImage scratch(1, 1, QImage::Format_BGR888);
    platform::DeviceContext dc(scratch);
    layer.FitFont(dc);
    return layer.GetFontHeight();
}

class LayerTextTest : public ::testing::Test {
protected:
    Document document;
};

TEST_F(LayerTextTest, ANewBubble)
{
    LayerText bubble(Rect{1, 2, 3, 4}, 6);
    EXPECT_EQ(bubble.flags, LayerFlagsBubble);
    EXPECT_EQ(bubble.tag, 6);
    EXPECT_EQ(bubble.GetText(), QStringLiteral("Place text here."));
    EXPECT_EQ(bubble.name, QStringLiteral("Text 1"));
    EXPECT_EQ(bubble.GetTextRect(), (Rect{1, 2, 3, 4}));
    EXPECT_FALSE(bubble.HasBubble());
    bubble.name = QStringLiteral("Text 7");
    bubble.LinkBefore(&document.layers);
    EXPECT_EQ(LayerText(Rect{}, 0).name, QStringLiteral("Text 8"));
    bubble.Unlink();
}

TEST_F(LayerTextTest, LoadFileTakesTheMetafilesSize)
{
    LayerText whole(Rect{0, 0, 0, 0}, 0);
    ASSERT_TRUE(whole.LoadFile(OvalPath));
    EXPECT_TRUE(whole.HasBubble());
    EXPECT_EQ(whole.size, (PointF{OvalWidth, OvalHeight}));
    EXPECT_EQ(whole.centre, (PointF{OvalWidth / 2.0f, OvalHeight / 2.0f}));
    EXPECT_EQ(whole.GetTextRect(), (Rect{0, 0, OvalWidth, OvalHeight}));  // the whole bubble

    LayerText placed(Rect{500, 400, 4000, 2500}, 0);
    ASSERT_TRUE(placed.LoadFile(OvalPath));
    EXPECT_EQ(placed.GetTextRect(), (Rect{500, 400, 4000, 2500}));

    LayerText halfZero(Rect{500, 400, 4000, 0}, 0);
    ASSERT_TRUE(halfZero.LoadFile(OvalPath));
    EXPECT_EQ(halfZero.GetTextRect(), (Rect{0, 0, OvalWidth, OvalHeight}));

    LayerText missing(Rect{}, 0);
    EXPECT_FALSE(missing.LoadFile(DataFile("none.emf")));
    EXPECT_FALSE(missing.HasBubble());
    EXPECT_EQ(missing.size, (PointF{1, 1}));
}

TEST_F(LayerTextTest, SetTextRedrawsOnlyOnAChange)
{
    LayerText bubble(Rect{}, 0);
    HintCounter counter(document);
    bubble.SetText(QStringLiteral("Place text here."));
    EXPECT_EQ(counter.redraws, 0);
    bubble.SetText(QStringLiteral("place text here."));
    EXPECT_EQ(counter.redraws, 1);
    EXPECT_EQ(bubble.GetText(), QStringLiteral("place text here."));
}

TEST_F(LayerTextTest, ArialIsMatchedByAMetricCompatibleSans)
{
    const QFont font = MakeCellHeightFont(QStringLiteral("Arial"), 100, FontWeightNormal);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    // A positive height is the cell height: ascent plus descent, to the pixel.
    const QFontMetrics metrics(font);
    EXPECT_NEAR(metrics.ascent() + metrics.descent(), 100, 1);
    EXPECT_EQ(font.weight(), QFont::Normal);
    EXPECT_FALSE(font.italic());
}

TEST_F(LayerTextTest, TheFittedFontIsNeverHigherThanTheRectangle)
{
    for (const Rect r : {Rect{0, 0, 200, 100}, Rect{10, 20, 400, 60}, Rect{0, 0, 30, 300}, Rect{0, 0, 100, 1}}) {
        for (const QString& text : {QStringLiteral("Place text here."), QStringLiteral("Hi"),
                                   QStringLiteral("A rather longer text that has to wrap onto several lines")}) {
            LayerText bubble(r, 0);
            bubble.SetText(text);
            const int height = Fit(bubble);
            const int available = r.bottom - r.top + 1;
            const int measured = MeasuredHeight(bubble);
            EXPECT_TRUE(measured <= available || height == 1) << text.toStdString() << " in " << available;
            EXPECT_GE(height, 1);
            // One pixel more would not fit (where the search left a fitting font).
            if (height > 1 && measured <= available && height < 1023) {
                bubble.CreateFont(height + 64);
                EXPECT_GT(MeasuredHeight(bubble), available) << text.toStdString();
            }
        }
    }
}

TEST_F(LayerTextTest, OnlyTheHeightIsFitted)
{
    // A narrow rectangle wraps the words onto lines; the font is sized for the height alone.
    LayerText narrow(Rect{0, 0, 60, 400}, 0);
    narrow.SetText(QStringLiteral("one two three four"));
    Fit(narrow);
    const int lineHeight = QFontMetrics(*narrow.GetFont()).height();
    EXPECT_GE(MeasuredHeight(narrow) - 1, 2 * lineHeight);
}

TEST_F(LayerTextTest, RecordCarriesRectangleAndText)
{
    LayerText bubble(Rect{5, 6, 700, 800}, 3);
    bubble.SetText(QStringLiteral("Hello"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    platform::ArchiveWriter writer(buffer);
    ASSERT_TRUE(bubble.Store(writer));
    const QByteArray bytes = buffer.data();
    const QByteArray tail = QByteArray("\x05\0\0\0\x06\0\0\0\xBC\x02\0\0\x20\x03\0\0", 16) +
                            QByteArray("\xFF\xFE\xFF\x05H\0e\0l\0l\0o\0", 14);
    EXPECT_TRUE(bytes.endsWith(tail));
    EXPECT_EQ(bytes.left(8), QByteArray("\x09\0\0\0\x03\0\0\0", 8));

    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    platform::ArchiveWriter failing(readOnly);
    EXPECT_THROW(bubble.Store(failing), platform::ArchiveError);
}

TEST_F(LayerTextTest, DrawsNothingWithoutBubbleOrScale)
{
    QImage blank(40, 30, QImage::Format_BGR888);
    blank.fill(Qt::white);
    LayerText empty(Rect{}, 0);
    EXPECT_EQ(DrawnLayer(empty, 40, 30, ViewModeAllLayers), blank);
    LayerText flat(Rect{}, 0);
    ASSERT_TRUE(flat.LoadFile(OvalPath));
    flat.position = {20, 15};
    flat.scale = {0, 0.005f};
    EXPECT_EQ(DrawnLayer(flat, 40, 30, ViewModeAllLayers), blank);
    EXPECT_EQ(flat.GetFont(), nullptr);  // no font was fitted either
}

// The bubble drawn at a tenth of its size, centred in a 600 x 400 picture.
QImage Drawn(LayerText& bubble, PointF scale, Angle angle)
{
    bubble.position = {300, 200};
    bubble.scale = scale;
    bubble.angle = angle;
    return DrawnLayer(bubble, 600, 400, ViewModeAllLayers);
}

// The share of pixels that differ by more than a small amount.
double DifferentShare(const QImage& a, const QImage& b)
{
    int different = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const Bgra p = PixelOf(a, x, y);
            const Bgra q = PixelOf(b, x, y);
            if (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 96)
                ++different;
        }
    return static_cast<double>(different) / (a.width() * a.height());
}

TEST_F(LayerTextTest, BubbleAndTextTurnAndMirrorTogether)
{
    LayerText bubble(Rect{}, 0);
    ASSERT_TRUE(bubble.LoadFile(OvalPath));
    bubble.SetText(QStringLiteral("Hello there"));
    const QImage plain = Drawn(bubble, {0.1f, 0.1f}, 0);
    const QImage mirrored = Drawn(bubble, {-0.1f, 0.1f}, 0);
    const QImage turned = Drawn(bubble, {0.1f, 0.1f}, 32768);  // half a turn
    // Something was drawn, dark text included.
    EXPECT_GT(DifferentShare(plain, QImage(600, 400, QImage::Format_BGR888)), 0.0);
    int dark = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x)
            dark += PixelOf(plain, x, y).r < 64 && PixelOf(plain, x, y).b < 64 ? 1 : 0;
    EXPECT_GT(dark, 50);
    // Mirroring about the centre column, and half a turn about the centre, give the same picture up
    // to the rasteriser's rounding at edges.
    EXPECT_LT(DifferentShare(plain.mirrored(true, false), mirrored), 0.01);
    EXPECT_LT(DifferentShare(plain.mirrored(true, true), turned), 0.01);
    EXPECT_GT(DifferentShare(plain, mirrored), 0.01);
}

// The height a new layer with this rectangle and text is fitted to, nothing remembered.
int FreshFit(const Rect& r, const QString& text)
{
    LayerText fresh(r, 0);
    fresh.SetText(text);
    return Fit(fresh);
}

// The fitted height is remembered between draws; a change of the text or of the rectangle after a draw
// must fit the font again, and a font made in between must not stay.
TEST_F(LayerTextTest, RegressionRememberedFontFollowsTextAndRectangle)
{
    const QString shortText = QStringLiteral("Hi");
    const QString longText = QStringLiteral("A rather longer text that has to wrap onto several lines");
    const Rect r{0, 0, 200, 100};
    LayerText bubble(r, 0);
    bubble.SetText(shortText);
    const int shortHeight = Fit(bubble);
    EXPECT_EQ(shortHeight, FreshFit(r, shortText));
    EXPECT_EQ(Fit(bubble), shortHeight);

    bubble.SetText(longText);
    const int longHeight = Fit(bubble);
    EXPECT_EQ(longHeight, FreshFit(r, longText));
    ASSERT_NE(longHeight, shortHeight);  // else the change would go unnoticed

    bubble.CreateFont(5);
    EXPECT_EQ(Fit(bubble), longHeight);
    EXPECT_EQ(MeasuredHeight(bubble), [&] {
        LayerText fresh(r, 0);
        fresh.SetText(longText);
        Fit(fresh);
        return MeasuredHeight(fresh);
    }());

    // A whole-bubble rectangle is only known once the metafile is loaded.
    LayerText whole(Rect{}, 0);
    whole.SetText(shortText);
    const int beforeLoad = Fit(whole);
    ASSERT_TRUE(whole.LoadFile(OvalPath));
    const int afterLoad = Fit(whole);
    EXPECT_EQ(afterLoad, FreshFit(Rect{0, 0, OvalWidth, OvalHeight}, shortText));
    EXPECT_NE(afterLoad, beforeLoad);

    // Drawing fits through the same path.
    whole.SetText(longText);
    Drawn(whole, {0.1f, 0.1f}, 0);
    EXPECT_EQ(whole.GetFontHeight(), FreshFit(Rect{0, 0, OvalWidth, OvalHeight}, longText));
}

} // namespace

namespace {

// The bubble drawn into a white 600 x 400 picture with only region composed, as a repaint of a
// rectangle does.
QImage DrawnInRegion(LayerText& bubble, const Rect& region)
{
    QImage image(600, 400, QImage::Format_BGR888);
    image.fill(Qt::white);
    platform::DeviceContext dc(image);
    dc.SetGraphicsMode(platform::GraphicsModeKind::Advanced);
    dc.SetClipRegion(QRegion(region.left, region.top, region.right - region.left + 1, region.bottom - region.top + 1));
    bubble.Draw(dc, region, Rect{0, 0, 599, 399}, ViewModeAllLayers);
    return image;
}

TEST_F(LayerTextTest, ARegionAwayFromTheBubbleCostsNothingAndOneOnItsEdgeIsDrawnAsBefore)
{
    LayerText bubble(Rect{}, 0);
    ASSERT_TRUE(bubble.LoadFile(OvalPath));
    bubble.SetText(QStringLiteral("Hello there"));
    bubble.position = {300, 200};
    bubble.scale = {0.04f, 0.04f};
    bubble.angle = 3000;
    QImage blank(600, 400, QImage::Format_BGR888);
    blank.fill(Qt::white);
    // The bubble spans about 200 to 400 across: a region far to the left is not even laid out.
    EXPECT_EQ(DrawnInRegion(bubble, {0, 0, 63, 63}), blank);
    EXPECT_EQ(bubble.GetFont(), nullptr);
    // Regions over the bubble's edges hold what the whole drawing holds there.
    const QImage whole = DrawnLayer(bubble, 600, 400, ViewModeAllLayers);
    for (const Rect& region : {Rect{170, 170, 233, 233}, Rect{360, 240, 423, 303}, Rect{270, 170, 333, 233}}) {
        const QImage part = DrawnInRegion(bubble, region);
        const QRect area(region.left, region.top, 64, 64);
        EXPECT_EQ(part.copy(area), whole.copy(area)) << region.left;
        EXPECT_NE(part.copy(area), blank.copy(area)) << region.left;
    }
}

TEST_F(LayerTextTest, TheKeptLayoutFollowsTextFontAndRectangle)
{
    const auto fresh = [](const QString& text, PointF scale) {
        LayerText bubble(Rect{}, 0);
        bubble.LoadFile(OvalPath);
        bubble.SetText(text);
        return Drawn(bubble, scale, 0);
    };
    LayerText bubble(Rect{}, 0);
    ASSERT_TRUE(bubble.LoadFile(OvalPath));
    bubble.SetText(QStringLiteral("Hello there"));
    const QImage first = Drawn(bubble, {0.1f, 0.1f}, 0);
    EXPECT_EQ(Drawn(bubble, {0.1f, 0.1f}, 0), first);
    EXPECT_EQ(first, fresh(QStringLiteral("Hello there"), {0.1f, 0.1f}));
    bubble.SetText(QStringLiteral("Goodbye, everybody in the room"));
    EXPECT_EQ(Drawn(bubble, {0.1f, 0.1f}, 0), fresh(QStringLiteral("Goodbye, everybody in the room"), {0.1f, 0.1f}));
    bubble.CreateFont(40);  // another font: laid out again (the fitted height comes back at the draw)
    EXPECT_EQ(Drawn(bubble, {0.12f, 0.1f}, 0), fresh(QStringLiteral("Goodbye, everybody in the room"), {0.12f, 0.1f}));
}

} // namespace
