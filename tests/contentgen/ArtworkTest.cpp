#include "MetafileCheck.h"
#include "tools/contentgen/AccessoryArt.h"
#include "tools/contentgen/BubbleShape.h"
#include "tools/contentgen/EmfWriter.h"
#include "tools/contentgen/ResourceArt.h"

#include "platform/metafile/Metafile.h"

#include <uemf.h>

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const BubbleShape::Style AllStyles[] = {BubbleShape::Style::Oval, BubbleShape::Style::Cloud,
                                        BubbleShape::Style::Shout, BubbleShape::Style::RectangleWithTail};

TEST(ArtworkTest, StampsAreSoftRoundSpotsOfTheBrushSize)
{
    // Held as the bytes the brush blends as premultiplied: paint colour = alpha, erase colour 0.
    const QImage paint = ResourceArt::PaintStamp();
    const QImage erase = ResourceArt::EraseStamp();
    ASSERT_EQ(paint.format(), QImage::Format_ARGB32);
    ASSERT_EQ(erase.format(), QImage::Format_ARGB32);
    ASSERT_EQ(paint.size(), QSize(128, 128));
    ASSERT_EQ(erase.size(), QSize(128, 128));
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const int alpha = ResourceArt::StampAlpha(x, y);
            ASSERT_EQ(paint.pixel(x, y), qRgba(alpha, alpha, alpha, alpha)) << x << "," << y;
            ASSERT_EQ(erase.pixel(x, y), qRgba(0, 0, 0, alpha)) << x << "," << y;
        }
    }
    EXPECT_EQ(ResourceArt::StampAlpha(63, 63), 255);
    EXPECT_EQ(ResourceArt::StampAlpha(64, 40), 255);  // inside the opaque middle
    EXPECT_EQ(ResourceArt::StampAlpha(0, 0), 0);
    EXPECT_EQ(ResourceArt::StampAlpha(0, 64), 0);     // on the rim
    // Soft: alpha falls step by step from the middle to the rim, with values in between.
    int previous = 255, between = 0;
    for (int x = 64; x < 128; ++x) {
        const int alpha = ResourceArt::StampAlpha(x, 64);
        EXPECT_LE(alpha, previous);
        previous = alpha;
        between += (alpha > 0 && alpha < 255) ? 1 : 0;
    }
    EXPECT_GT(between, 20);
}

TEST(ArtworkTest, AccessoriesHaveTransparentSurroundAndOpaqueBody)
{
    for (int k = 0; k <= static_cast<int>(AccessoryArt::Kind::BowTie); ++k) {
        const QImage image = AccessoryArt::Draw(static_cast<AccessoryArt::Kind>(k));
        ASSERT_TRUE(image.hasAlphaChannel());
        int transparent = 0, opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                transparent += alpha == 0 ? 1 : 0;
                opaque += alpha == 255 ? 1 : 0;
            }
        }
        EXPECT_GT(transparent, image.width() * image.height() / 10) << k;
        EXPECT_GT(opaque, image.width() * image.height() / 10) << k;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << k;
    }
}

TEST(ArtworkTest, BadgeIsCutRound)
{
    QImage square(500, 500, QImage::Format_RGB32);
    square.fill(QColor(10, 200, 30));
    const QImage badge = AccessoryArt::Badge(square);
    EXPECT_EQ(badge.size(), QSize(256, 256));
    EXPECT_EQ(qAlpha(badge.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(badge.pixel(255, 255)), 0);
    EXPECT_EQ(badge.pixel(128, 128), qRgb(10, 200, 30));
}

TEST(ArtworkTest, BubblesFitTheirBoundsWithTheTextInside)
{
    for (const BubbleShape::Style style : AllStyles) {
        const BubbleShape shape = BubbleShape::Make(style);
        const QRectF drawn = shape.Path().boundingRect().adjusted(-shape.penWidth / 2.0, -shape.penWidth / 2.0,
                                                                  shape.penWidth / 2.0, shape.penWidth / 2.0);
        EXPECT_TRUE(QRectF(QPointF(0, 0), shape.size).contains(drawn)) << static_cast<int>(style);
        EXPECT_TRUE(shape.Path().contains(QRectF(shape.textRect))) << static_cast<int>(style);
    }
}

TEST(ArtworkTest, BubbleMetafilesAreSafeRecordsWithTheBoundsWritten)
{
    for (const BubbleShape::Style style : AllStyles) {
        const BubbleShape shape = BubbleShape::Make(style);
        const QByteArray emf = EmfWriter::Encode(shape);
        const std::optional<MetafileCheck> check = MetafileCheck::Read(emf);
        ASSERT_TRUE(check) << static_cast<int>(style);
        EXPECT_EQ(check->bounds, QRect(QPoint(0, 0), QPoint(shape.size.width(), shape.size.height())));
        EXPECT_EQ(check->headerHandles, 3);  // the table's unused 0, the brush and the pen
        // Header, modes, brush and pen, one path of every figure, then clean-up and EOF.
        const std::vector<uint32_t>& types = check->types;
        ASSERT_GE(types.size(), 16u);
        EXPECT_EQ(types[0], static_cast<uint32_t>(U_EMR_HEADER));
        EXPECT_EQ(std::count(types.begin(), types.end(), U_EMR_BEGINPATH), 1);
        EXPECT_EQ(std::count(types.begin(), types.end(), U_EMR_MOVETOEX),
                  static_cast<long>(shape.figures.size()));
        EXPECT_EQ(std::count(types.begin(), types.end(), U_EMR_CLOSEFIGURE),
                  static_cast<long>(shape.figures.size()));
        EXPECT_EQ(std::count(types.begin(), types.end(), U_EMR_STROKEANDFILLPATH), 1);
        EXPECT_EQ(std::count(types.begin(), types.end(), U_EMR_EXTCREATEPEN), 1);
        EXPECT_EQ(std::count(types.begin(), types.end(), U_EMR_DELETEOBJECT), 2);
        EXPECT_EQ(EmfWriter::Encode(shape), emf);  // same shape, same bytes
    }
}

// The metafile, played by the program's player, covers what the shape's own drawing covers.
TEST(ArtworkTest, BubbleMetafilesPlayAsTheirShapes)
{
    for (const BubbleShape::Style style : AllStyles) {
        const BubbleShape shape = BubbleShape::Make(style);
        const std::optional<platform::Metafile> metafile = platform::Metafile::FromBytes(EmfWriter::Encode(shape));
        ASSERT_TRUE(metafile) << static_cast<int>(style);
        QImage played(shape.size, QImage::Format_ARGB32_Premultiplied);
        played.fill(Qt::transparent);
        QImage drawn = played.copy();
        {
            QPainter painter(&played);
            metafile->Play(painter, QRectF(QPointF(0, 0), shape.size));
        }
        {
            QPainter painter(&drawn);
            painter.setRenderHint(QPainter::Antialiasing);
            shape.Draw(painter);
        }
        const QPoint middle = shape.textRect.center();
        EXPECT_EQ(played.pixel(middle), shape.fill.rgb()) << static_cast<int>(style);
        EXPECT_EQ(qAlpha(played.pixel(1, 1)), 0) << static_cast<int>(style);
        int differing = 0, covered = 0;
        for (int y = 0; y < shape.size.height(); ++y) {
            for (int x = 0; x < shape.size.width(); ++x) {
                const bool inPlayed = qAlpha(played.pixel(x, y)) >= 128, inDrawn = qAlpha(drawn.pixel(x, y)) >= 128;
                differing += inPlayed != inDrawn ? 1 : 0;
                covered += inDrawn ? 1 : 0;
            }
        }
        EXPECT_GT(covered, shape.size.width() * shape.size.height() / 3) << static_cast<int>(style);
        EXPECT_LT(differing, covered / 100) << static_cast<int>(style);
    }
}

} // namespace
