#include "PictureFixtures.h"

#include "platform/DeviceContext.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

using namespace fixtures;
using platform::DeviceContext;
namespace TextFormat = platform::TextFormat;

namespace {

constexpr uint32_t BubbleFormat = TextFormat::Centre | TextFormat::WordBreak | TextFormat::EditControl;

QFont TestFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    return font;
}

// Rows and columns that hold any pixel darker than white.
struct InkBox {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
};

InkBox FindInk(const QImage& picture)
{
    InkBox box;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (Pixel(picture, x, y)[0] == 255)
                continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

class DeviceContextText : public ::testing::Test {
protected:
    QImage target = Filled(QImage::Format_BGR888, 80, 60, {255, 255, 255});
    DeviceContext dc{target};
    QFontMetrics metrics{TestFont()};

    void SetUp() override
    {
        dc.SetFont(TestFont());
        dc.SetBackgroundMode(platform::BackgroundMode::Transparent);
    }
};

TEST_F(DeviceContextText, MeasuringSetsTheBottomAndDrawsNothing)
{
    Rect rect{10, 5, 70, 1000};
    const int height = dc.DrawText(QStringLiteral("aa bb\r\ncc"), rect, BubbleFormat | TextFormat::CalcRect);
    EXPECT_EQ(height, 2 * metrics.height());
    EXPECT_EQ(rect.bottom, 5 + height);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.right, 70);
    EXPECT_EQ(Bytes(target), Repeat({255, 255, 255}, 80 * 60));
}

TEST_F(DeviceContextText, WrappedLinesStayInsideTheRectangle)
{
    const QString text = QStringLiteral("word word word word");
    Rect measured{20, 4, 60, 1000};
    const int height = dc.DrawText(text, measured, BubbleFormat | TextFormat::CalcRect);
    ASSERT_GT(height, metrics.height());  // it wraps
    Rect rect{20, 4, 60, 4 + height};
    EXPECT_EQ(dc.DrawText(text, rect, BubbleFormat), height);
    const InkBox ink = FindInk(target);
    EXPECT_GE(ink.left, 20);
    EXPECT_LT(ink.right, 60);
    EXPECT_GE(ink.top, 4);
    EXPECT_LT(ink.bottom, 4 + height);
    EXPECT_GT(ink.bottom, 4 + metrics.height());  // the second line is drawn
}

TEST_F(DeviceContextText, APartlyVisibleLastLineIsNotDrawn)
{
    const int line = metrics.height();
    Rect rect{0, 0, 80, line + line / 2};
    dc.DrawText(QStringLiteral("top\r\nnext"), rect, BubbleFormat);
    const InkBox ink = FindInk(target);
    ASSERT_GE(ink.bottom, 0);
    EXPECT_LT(ink.bottom, line);

    // Without the edit-control rule the visible part of the second line shows.
    QImage other = Filled(QImage::Format_BGR888, 80, 60, {255, 255, 255});
    DeviceContext otherDc(other);
    otherDc.SetFont(TestFont());
    otherDc.SetBackgroundMode(platform::BackgroundMode::Transparent);
    Rect clipped{0, 0, 80, line + line / 2};
    otherDc.DrawText(QStringLiteral("top\r\nnext"), clipped, TextFormat::Centre | TextFormat::WordBreak);
    const InkBox more = FindInk(other);
    EXPECT_GE(more.bottom, line);
    EXPECT_LT(more.bottom, line + line / 2);
}

TEST_F(DeviceContextText, CentredLineSitsInTheMiddle)
{
    Rect rect{0, 0, 80, 30};
    const QString text = QStringLiteral("HH");
    dc.DrawText(text, rect, BubbleFormat);
    const InkBox ink = FindInk(target);
    const int expectedLeft = (80 - metrics.horizontalAdvance(text)) / 2;
    EXPECT_NEAR(ink.left, expectedLeft, 2);
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 40.0, 2.0);
}

TEST_F(DeviceContextText, OpaqueBackgroundFillsTheLineBox)
{
    dc.SetBackgroundMode(platform::BackgroundMode::Opaque);
    dc.SetBackgroundColour(QColor(0, 0, 200));
    Rect rect{0, 0, 80, 40};
    dc.DrawText(QStringLiteral("HH"), rect, TextFormat::WordBreak);
    const int width = metrics.horizontalAdvance(QStringLiteral("HH"));
    EXPECT_EQ(Pixel(target, 0, metrics.height() - 1), (std::vector<uint8_t>{200, 0, 0}));
    EXPECT_EQ(Pixel(target, width - 1, 0), (std::vector<uint8_t>{200, 0, 0}));
    EXPECT_EQ(Pixel(target, width, 0), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(Pixel(target, 0, metrics.height()), (std::vector<uint8_t>{255, 255, 255}));
}

// Text too large for Qt's glyph cache is filled as outlines; the pixels must not depend on where the small
// text the program drew before (a label, the view at a small zoom) fell between pixels.
TEST_F(DeviceContextText, RegressionLargeTextDrawsTheSamePixelsWhateverSmallTextCameBefore)
{
    QFont large = TestFont();
    large.setPixelSize(100);
    const auto drawLarge = [&] {
        QImage picture = Filled(QImage::Format_BGR888, 300, 130, {255, 255, 255});
        DeviceContext largeDc(picture);
        largeDc.SetFont(large);
        largeDc.SetBackgroundMode(platform::BackgroundMode::Transparent);
        Rect rect{0, 0, 300, 130};
        largeDc.DrawText(QStringLiteral("Hello"), rect, BubbleFormat);
        return picture;
    };
    const QImage reference = drawLarge();
    ASSERT_GE(FindInk(reference).right, 0);
    for (const double fraction : {0.0, 0.25, 0.5, 0.75}) {
        QImage label(80, 30, QImage::Format_ARGB32_Premultiplied);
        label.fill(Qt::white);
        {
            QPainter painter(&label);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.setFont(TestFont());
            painter.drawText(QPointF(2 + fraction, 20), QStringLiteral("Hello"));
        }
        ASSERT_NE(label.pixel(5, 15), 0u);
        EXPECT_TRUE(drawLarge() == reference) << "after small text " << fraction << " pixel right";
    }
}

} // namespace
