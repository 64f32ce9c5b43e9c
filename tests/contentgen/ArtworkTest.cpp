#include "MetafileCheck.h"
#include "tests/metafile/PixelCompare.h"
#include "tools/contentgen/AccessoryArt.h"
#include "tools/contentgen/BubbleShape.h"
#include "tools/contentgen/EmfWriter.h"
#include "tools/contentgen/ResourceArt.h"

#include "platform/metafile/Metafile.h"

#include <uemf.h>

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

const BubbleShape::Style AllStyles[] = {BubbleShape::Style::Oval,  BubbleShape::Style::Cloud,
                                        BubbleShape::Style::Shout, BubbleShape::Style::RectangleWithTail,
                                        BubbleShape::Style::Pow,   BubbleShape::Style::PhotoFrame};

// Four plain quarters, red, green, blue and white, so that where each lands can be told.
QImage QuarteredPhoto()
{
    QImage photo(64, 64, QImage::Format_RGB32);
    photo.fill(Qt::white);
    QPainter painter(&photo);
    painter.fillRect(0, 0, 32, 32, Qt::red);
    painter.fillRect(32, 0, 32, 32, Qt::green);
    painter.fillRect(0, 32, 32, 32, Qt::blue);
    return photo;
}

BubbleShape MakeShape(BubbleShape::Style style)
{
    return BubbleShape::Make(style, QuarteredPhoto());
}

// The metafile played at the shape's own size; nothing drawn when it does not load.
QImage Played(const BubbleShape& shape)
{
    QImage played(shape.size, QImage::Format_ARGB32_Premultiplied);
    played.fill(Qt::transparent);
    const std::optional<platform::Metafile> metafile = platform::Metafile::FromBytes(EmfWriter::Encode(shape));
    EXPECT_TRUE(metafile);
    if (metafile) {
        QPainter painter(&played);
        metafile->Play(painter, QRectF(QPointF(0, 0), shape.size));
    }
    return played;
}

QImage Drawn(const BubbleShape& shape)
{
    QImage drawn(shape.size, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setRenderHint(QPainter::Antialiasing);
    shape.Draw(painter);
    return drawn;
}

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
        const BubbleShape shape = MakeShape(style);
        const QRectF drawn = shape.Path().boundingRect().adjusted(-shape.penWidth / 2.0, -shape.penWidth / 2.0,
                                                                  shape.penWidth / 2.0, shape.penWidth / 2.0);
        EXPECT_TRUE(QRectF(QPointF(0, 0), shape.size).contains(drawn)) << static_cast<int>(style);
        EXPECT_TRUE(shape.Path().contains(QRectF(shape.textRect))) << static_cast<int>(style);
        // The printed words and the photo lie inside the bubble, clear of the text.
        if (shape.lettering) {
            const QRect box = shape.lettering->Box();
            EXPECT_TRUE(shape.Path().contains(QRectF(box))) << static_cast<int>(style);
            EXPECT_FALSE(box.intersects(shape.textRect)) << static_cast<int>(style);
        }
        if (shape.picture) {
            const QRect window = shape.picture->where.adjusted(-shape.penWidth, -shape.penWidth, shape.penWidth,
                                                               shape.penWidth);
            EXPECT_TRUE(shape.Path().contains(QRectF(window))) << static_cast<int>(style);
            EXPECT_FALSE(window.intersects(shape.textRect)) << static_cast<int>(style);
        }
    }
}

TEST(ArtworkTest, BubbleMetafilesAreSafeRecordsWithTheBoundsWritten)
{
    for (const BubbleShape::Style style : AllStyles) {
        const BubbleShape shape = MakeShape(style);
        const QByteArray emf = EmfWriter::Encode(shape);
        const std::optional<MetafileCheck> check = MetafileCheck::Read(emf);
        ASSERT_TRUE(check) << static_cast<int>(style);
        EXPECT_EQ(check->bounds, QRect(QPoint(0, 0), QPoint(shape.size.width(), shape.size.height())));
        // The table's unused 0, the brush and the pen, and the lettering's font.
        const int fonts = shape.lettering ? 1 : 0;
        EXPECT_EQ(check->headerHandles, 3 + fonts);
        // Header, modes, brush and pen, one path of every figure, the picture's clip path and its
        // outline, the lettering, then clean-up and EOF.
        const int windows = shape.picture ? 1 : 0;
        const std::vector<uint32_t>& types = check->types;
        ASSERT_GE(types.size(), 16u);
        EXPECT_EQ(types[0], static_cast<uint32_t>(U_EMR_HEADER));
        auto count = [&](uint32_t type) { return std::count(types.begin(), types.end(), type); };
        EXPECT_EQ(count(U_EMR_BEGINPATH), 1 + 2 * windows);
        EXPECT_EQ(count(U_EMR_MOVETOEX), static_cast<long>(shape.figures.size()) + 2 * windows);
        EXPECT_EQ(count(U_EMR_CLOSEFIGURE), static_cast<long>(shape.figures.size()) + 2 * windows);
        EXPECT_EQ(count(U_EMR_STROKEANDFILLPATH), 1);
        EXPECT_EQ(count(U_EMR_EXTCREATEPEN), 1);
        EXPECT_EQ(count(U_EMR_SELECTCLIPPATH), windows);
        EXPECT_EQ(count(U_EMR_STRETCHDIBITS), windows);
        EXPECT_EQ(count(U_EMR_STROKEPATH), windows);
        EXPECT_EQ(count(U_EMR_SAVEDC), windows);
        EXPECT_EQ(count(U_EMR_RESTOREDC), windows);
        EXPECT_EQ(count(U_EMR_EXTCREATEFONTINDIRECTW), fonts);
        EXPECT_EQ(count(U_EMR_EXTTEXTOUTW), fonts);
        EXPECT_EQ(count(U_EMR_DELETEOBJECT), 2 + fonts);
        EXPECT_EQ(EmfWriter::Encode(shape), emf);  // same shape, same bytes
    }
}

// The string as written: nChars UTF-16 units at offString from the record's start.
QString TextOf(const QByteArray& record, const U_EMRTEXT& text)
{
    const qsizetype end = qsizetype(text.offString) + 2 * qsizetype(text.nChars);
    if (text.offString == 0 || end > record.size())
        return QString();
    QString string(static_cast<qsizetype>(text.nChars), QChar());
    std::memcpy(string.data(), record.constData() + text.offString, 2 * text.nChars);
    return string;
}

TEST(ArtworkTest, PowPrintsItsLetteringAsBoldArialCentredOnItsBaseline)
{
    const BubbleShape shape = MakeShape(BubbleShape::Style::Pow);
    ASSERT_TRUE(shape.lettering);
    const std::optional<MetafileCheck> check = MetafileCheck::Read(EmfWriter::Encode(shape));
    ASSERT_TRUE(check);
    // The font as Windows writes a plain LOGFONT: a negative height is the character height.
    struct FontRecord {
        U_EMR emr;
        uint32_t handle;
        U_LOGFONT font;
    };
    const FontRecord font = check->First<FontRecord>(U_EMR_EXTCREATEFONTINDIRECTW);
    EXPECT_EQ(font.font.lfHeight, -56);
    EXPECT_EQ(font.font.lfWeight, 700);
    EXPECT_EQ(font.font.lfEscapement, 0);
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(font.font.lfFaceName)), QStringLiteral("Arial"));
    EXPECT_EQ(check->First<U_EMRSETTEXTALIGN>(U_EMR_SETTEXTALIGN).iMode, uint32_t(U_TA_CENTER | U_TA_BASELINE));
    EXPECT_EQ(check->First<U_EMRSETTEXTCOLOR>(U_EMR_SETTEXTCOLOR).crColor.Red, 208);

    QByteArray bytes;
    const U_EMREXTTEXTOUTW text = check->First<U_EMREXTTEXTOUTW>(U_EMR_EXTTEXTOUTW, &bytes);
    EXPECT_EQ(text.emrtext.ptlReference.x, 220);
    EXPECT_EQ(text.emrtext.ptlReference.y, 150);
    EXPECT_EQ(TextOf(bytes, text.emrtext), QStringLiteral("POW!"));
    // The spacing array follows the optional rectangle: Arial Bold's advances (1366, 1593, 1933 and 682
    // in 2048ths of the em) at 56 pixels, rounded.
    ASSERT_EQ(text.emrtext.fOptions & U_ETO_NO_RECT, 0u);
    uint32_t offDx = 0;
    const qsizetype offDxAt = qsizetype(offsetof(U_EMREXTTEXTOUTW, emrtext)) + qsizetype(sizeof(U_EMRTEXT)) + 16;
    ASSERT_LE(offDxAt + 4, bytes.size());
    std::memcpy(&offDx, bytes.constData() + offDxAt, 4);
    ASSERT_LE(qsizetype(offDx) + 16, bytes.size());
    std::vector<uint32_t> advances(4);
    std::memcpy(advances.data(), bytes.constData() + offDx, 16);
    EXPECT_EQ(advances, (std::vector<uint32_t>{37, 44, 53, 19}));
    // Printed over the filled bubble, in its own font, which is deleted after it.
    EXPECT_LT(check->IndexOf(U_EMR_STROKEANDFILLPATH), check->IndexOf(U_EMR_EXTCREATEFONTINDIRECTW));
    EXPECT_LT(check->IndexOf(U_EMR_EXTCREATEFONTINDIRECTW), check->IndexOf(U_EMR_EXTTEXTOUTW));
}

TEST(ArtworkTest, PhotoFrameShowsItsPhotoThroughAClipPathAndOutlinesIt)
{
    const BubbleShape shape = MakeShape(BubbleShape::Style::PhotoFrame);
    ASSERT_TRUE(shape.picture);
    const std::optional<MetafileCheck> check = MetafileCheck::Read(EmfWriter::Encode(shape));
    ASSERT_TRUE(check);
    // Clipped between SAVEDC and RESTOREDC, so the outline after it is not.
    const int saved = check->IndexOf(U_EMR_SAVEDC), clipped = check->IndexOf(U_EMR_SELECTCLIPPATH),
              drawn = check->IndexOf(U_EMR_STRETCHDIBITS), restored = check->IndexOf(U_EMR_RESTOREDC),
              outlined = check->IndexOf(U_EMR_STROKEPATH);
    EXPECT_LT(check->IndexOf(U_EMR_STROKEANDFILLPATH), saved);
    EXPECT_LT(saved, clipped);
    EXPECT_LT(clipped, drawn);
    EXPECT_LT(drawn, restored);
    EXPECT_LT(restored, outlined);
    EXPECT_EQ(check->First<U_EMRSELECTCLIPPATH>(U_EMR_SELECTCLIPPATH).iMode, uint32_t(U_RGN_COPY));

    QByteArray bytes;
    const U_EMRSTRETCHDIBITS blit = check->First<U_EMRSTRETCHDIBITS>(U_EMR_STRETCHDIBITS, &bytes);
    const QRect where = shape.picture->where;
    EXPECT_EQ(QRect(blit.Dest.x, blit.Dest.y, blit.cDest.x, blit.cDest.y), where);
    EXPECT_EQ(QSize(blit.cSrc.x, blit.cSrc.y), where.size());  // stored at the size it is shown
    EXPECT_EQ(blit.dwRop, uint32_t(U_SRCCOPY));
    ASSERT_LE(qsizetype(blit.offBmiSrc) + qsizetype(sizeof(U_BITMAPINFOHEADER)), bytes.size());
    U_BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.constData() + blit.offBmiSrc, sizeof header);
    EXPECT_EQ(header.biWidth, where.width());
    EXPECT_EQ(header.biHeight, where.height());  // bottom-up
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, uint32_t(U_BI_RGB));
    // Rows of blue, green, red bytes padded to four, the bottom row first: the photo's quarters.
    const qsizetype stride = (where.width() * 3 + 3) / 4 * 4;
    ASSERT_EQ(qsizetype(blit.cbBitsSrc), stride * where.height());
    ASSERT_LE(qsizetype(blit.offBitsSrc) + qsizetype(blit.cbBitsSrc), bytes.size());
    auto pixel = [&](int x, int y) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData() + blit.offBitsSrc
                                                         + (where.height() - 1 - y) * stride + x * 3);
        return qRgb(p[2], p[1], p[0]);
    };
    const int quarter = where.width() / 4;
    EXPECT_EQ(pixel(quarter, quarter), qRgb(255, 0, 0));
    EXPECT_EQ(pixel(3 * quarter, quarter), qRgb(0, 255, 0));
    EXPECT_EQ(pixel(quarter, 3 * quarter), qRgb(0, 0, 255));
    EXPECT_EQ(pixel(3 * quarter, 3 * quarter), qRgb(255, 255, 255));
}

TEST(ArtworkTest, PhotoFrameWithoutAPhotoIsThePlainBox)
{
    const BubbleShape shape = BubbleShape::Make(BubbleShape::Style::PhotoFrame);
    EXPECT_FALSE(shape.picture);
    const std::optional<MetafileCheck> check = MetafileCheck::Read(EmfWriter::Encode(shape));
    ASSERT_TRUE(check);
    EXPECT_EQ(check->IndexOf(U_EMR_STRETCHDIBITS), -1);
}

// The metafile, played by the program's player, covers what the shape's own drawing covers.
TEST(ArtworkTest, BubbleMetafilesPlayAsTheirShapes)
{
    for (const BubbleShape::Style style : AllStyles) {
        const BubbleShape shape = MakeShape(style);
        const QImage played = Played(shape), drawn = Drawn(shape);
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

// Everything the shape draws shows when its metafile is played: the printed words and the photo too.
TEST(ArtworkTest, BubbleMetafilesPlayAsTheShapeDrawsThem)
{
    for (const BubbleShape::Style style : AllStyles) {
        const BubbleShape shape = MakeShape(style);
        const PixelDifference difference = Compare(Played(shape), Drawn(shape));
        EXPECT_LE(difference.farShare, 0.001) << static_cast<int>(style);
        EXPECT_LE(difference.mean, 1.0) << static_cast<int>(style);
    }
}

} // namespace
