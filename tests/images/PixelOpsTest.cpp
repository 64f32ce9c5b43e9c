#include "platform/PixelOps.h"

#include <gtest/gtest.h>
#include <vector>

namespace px = platform::pixels;

namespace {

TEST(PixelOpsTest, MultiplyByAlphaStaysWithinOneStepOfTheProduct)
{
    for (unsigned c = 0; c < 256; ++c) {
        for (unsigned a = 0; a < 256; ++a) {
            const unsigned result = px::MultiplyByAlpha(c, a);
            const unsigned below = c * a / 255;
            ASSERT_TRUE(result == below || result == below + 1) << c << " " << a;
        }
        EXPECT_EQ(px::MultiplyByAlpha(c, 255), c);
        EXPECT_EQ(px::MultiplyByAlpha(c, 0), 0);
    }
    EXPECT_EQ(px::MultiplyByAlpha(255, 128), 128);
    EXPECT_EQ(px::MultiplyByAlpha(100, 51), 20);
}

TEST(PixelOpsTest, ApplyMaskRowSetsAlphaAndPremultipliesColour)
{
    std::vector<uint8_t> row = {255, 100, 1, 7, 255, 100, 1, 7, 255, 100, 1, 7};
    const uint8_t mask[] = {0, 128, 255};
    px::ApplyMaskRow(row.data(), mask, 3);
    EXPECT_EQ(row, (std::vector<uint8_t>{0, 0, 0, 0, 128, 50, 1, 128, 255, 100, 1, 255}));
}

TEST(PixelOpsTest, PremultiplyRowTakesColourFromEitherDepthAndKeepsAlpha)
{
    std::vector<uint8_t> target = {9, 9, 9, 128, 9, 9, 9, 0};
    const uint8_t three[] = {255, 200, 2, 40, 50, 60};
    px::PremultiplyRow(target.data(), three, px::BytesPerPixel24, 2);
    EXPECT_EQ(target, (std::vector<uint8_t>{128, 100, 1, 128, 0, 0, 0, 0}));

    std::vector<uint8_t> self = {200, 100, 50, 255, 200, 100, 50, 51};
    px::PremultiplyRow(self.data(), self.data(), px::BytesPerPixel32, 2);
    EXPECT_EQ(self, (std::vector<uint8_t>{200, 100, 50, 255, 40, 20, 10, 51}));
}

TEST(PixelOpsTest, MaskPremultiplyAndSplitRowsMatchMultiplyByAlphaEverywhere)
{
    // Every colour level against every mask level, in rows of an odd count (a tail after whole batches)
    // and of a whole number of batches (where the split writes its last colour apart).
    for (const int count : {255, 256}) {
        for (unsigned m = 0; m < 256; ++m) {
            std::vector<uint8_t> masked(count * 4);
            std::vector<uint8_t> mask(count, static_cast<uint8_t>(m));
            std::vector<uint8_t> premultiplied(count * 4);
            std::vector<uint8_t> source(count * 3);
            std::vector<uint8_t> split(count * 4);
            std::vector<uint8_t> colours(count * 3 + 1, 0xAB);  // one byte past the row must stay
            for (int i = 0; i < count; ++i) {
                const uint8_t c = static_cast<uint8_t>(i + 1);
                const uint8_t bgr[3] = {c, static_cast<uint8_t>(255 - c), static_cast<uint8_t>(c * 7)};
                for (int k = 0; k < 3; ++k) {
                    masked[i * 4 + k] = bgr[k];
                    source[i * 3 + k] = bgr[k];
                    split[i * 4 + k] = bgr[k];
                }
                masked[i * 4 + 3] = 99;
                premultiplied[i * 4 + 3] = static_cast<uint8_t>(m);
                split[i * 4 + 3] = static_cast<uint8_t>(m);
            }
            px::ApplyMaskRow(masked.data(), mask.data(), count);
            px::PremultiplyRow(premultiplied.data(), source.data(), px::BytesPerPixel24, count);
            px::SplitStraightRow(split.data(), colours.data(), count);
            for (int i = 0; i < count; ++i) {
                for (int k = 0; k < 3; ++k) {
                    const uint8_t expected = px::MultiplyByAlpha(source[i * 3 + k], m);
                    ASSERT_EQ(masked[i * 4 + k], expected) << m << " " << i << " " << k;
                    ASSERT_EQ(premultiplied[i * 4 + k], expected) << m << " " << i << " " << k;
                    ASSERT_EQ(split[i * 4 + k], expected) << m << " " << i << " " << k;
                    ASSERT_EQ(colours[i * 3 + k], source[i * 3 + k]) << m << " " << i << " " << k;
                }
                ASSERT_EQ(masked[i * 4 + 3], m);
                ASSERT_EQ(premultiplied[i * 4 + 3], m);
                ASSERT_EQ(split[i * 4 + 3], m);
            }
            ASSERT_EQ(colours[count * 3], 0xAB);
        }
    }
}

TEST(PixelOpsTest, AlphaRows)
{
    std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    uint8_t bytes[2] = {0xF0, 0x0F};
    px::XorAlphaIntoRow(bytes, pixels.data(), 2);
    EXPECT_EQ(bytes[0], 0xF4);
    EXPECT_EQ(bytes[1], 0x07);
    px::CopyAlphaRow(bytes, pixels.data(), 2);
    EXPECT_EQ(bytes[0], 4);
    EXPECT_EQ(bytes[1], 8);

    px::SetAlphaRow(pixels.data(), 7, 2);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{1, 2, 3, 7, 5, 6, 7, 7}));
}

TEST(PixelOpsTest, CopyXorAndMapRowsBetweenDepths)
{
    const uint8_t three[] = {10, 20, 30};
    const uint8_t four[] = {1, 2, 3, 4};
    std::vector<uint8_t> wide = {0, 0, 0, 9};
    px::CopyRow(wide.data(), px::BytesPerPixel32, three, px::BytesPerPixel24, 1);
    EXPECT_EQ(wide, (std::vector<uint8_t>{10, 20, 30, 255}));
    std::vector<uint8_t> narrow = {0, 0, 0};
    px::CopyRow(narrow.data(), px::BytesPerPixel24, four, px::BytesPerPixel32, 1);
    EXPECT_EQ(narrow, (std::vector<uint8_t>{1, 2, 3}));

    px::XorRow(wide.data(), px::BytesPerPixel32, four, px::BytesPerPixel32, 1);
    EXPECT_EQ(wide, (std::vector<uint8_t>{11, 22, 29, 255}));

    platform::ColourTables tables;
    for (int v = 0; v < 256; ++v) {
        tables.blue[v] = static_cast<uint8_t>(255 - v);
        tables.green[v] = static_cast<uint8_t>(v / 2);
        tables.red[v] = static_cast<uint8_t>(v);
    }
    px::MapRow(wide.data(), px::BytesPerPixel32, three, px::BytesPerPixel24, 1, tables);
    EXPECT_EQ(wide, (std::vector<uint8_t>{245, 10, 30, 255}));
}

TEST(PixelOpsTest, ScaleFillAndMixPixel)
{
    const uint8_t four[] = {200, 100, 50, 200};
    const uint8_t three[] = {255, 0, 128};
    std::vector<uint8_t> scaled(8);
    px::ScaleByAlphaRow(scaled.data(), four, px::BytesPerPixel32, 128, 1);
    px::ScaleByAlphaRow(scaled.data() + 4, three, px::BytesPerPixel24, 128, 1);
    EXPECT_EQ(scaled, (std::vector<uint8_t>{100, 50, 25, 100, 128, 0, 64, 128}));

    std::vector<uint8_t> filled(6);
    px::FillRow(filled.data(), px::BytesPerPixel24, qRgb(1, 2, 3), 2);
    EXPECT_EQ(filled, (std::vector<uint8_t>{3, 2, 1, 3, 2, 1}));

    std::vector<uint8_t> pixel = {0x0F, 0xF0, 0xFF, 77};
    px::MixPixel(pixel.data(), px::BytesPerPixel32, qRgb(0xFF, 0xFF, 0xFF), platform::RasterOp::XorPen);
    EXPECT_EQ(pixel, (std::vector<uint8_t>{0xF0, 0x0F, 0x00, 77}));
    px::MixPixel(pixel.data(), px::BytesPerPixel32, qRgb(1, 2, 3), platform::RasterOp::CopyPen);
    EXPECT_EQ(pixel, (std::vector<uint8_t>{3, 2, 1, 255}));
}

const QRect Everywhere(QPoint(-100000, -100000), QPoint(100000, 100000));

std::vector<QPoint> Walk(QPoint from, QPoint to, const QRect& bounds = Everywhere)
{
    std::vector<QPoint> points;
    px::WalkLine(from, to, bounds, [&](int x, int y, int64_t) { points.emplace_back(x, y); });
    return points;
}

TEST(PixelOpsTest, WalkLineLeavesOutTheEndPixel)
{
    EXPECT_EQ(Walk({0, 0}, {3, 0}), (std::vector<QPoint>{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(Walk({2, 5}, {2, 2}), (std::vector<QPoint>{{2, 5}, {2, 4}, {2, 3}}));
    EXPECT_EQ(Walk({0, 0}, {3, 3}), (std::vector<QPoint>{{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_EQ(Walk({0, 0}, {4, 2}), (std::vector<QPoint>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_TRUE(Walk({1, 1}, {1, 1}).empty());
}

TEST(PixelOpsTest, WalkLineWithinBoundsVisitsWhatTheWholeWalkWouldThere)
{
    const QRect bounds(2, 1, 5, 4);
    int checked = 0;
    for (int ax = -9; ax <= 12; ax += 3) {
        for (int ay = -7; ay <= 9; ay += 4) {
            for (const QPoint b : {QPoint(11, 6), QPoint(-5, 3), QPoint(4, -8), QPoint(3, 12), QPoint(ax + 1, ay)}) {
                const QPoint a(ax, ay);
                std::vector<QPoint> expected;
                int64_t expectedSteps = 0;
                int64_t index = 0;
                px::WalkLine(a, b, Everywhere, [&](int x, int y, int64_t step) {
                    EXPECT_EQ(step, index++);
                    if (bounds.contains(x, y))
                        expected.emplace_back(x, y);
                    expectedSteps = step + 1;
                });
                std::vector<QPoint> clipped;
                const int64_t steps = px::WalkLine(a, b, bounds, [&](int x, int y, int64_t) {
                    if (bounds.contains(x, y))
                        clipped.emplace_back(x, y);
                });
                ASSERT_EQ(clipped, expected) << ax << "," << ay << " -> " << b.x() << "," << b.y();
                ASSERT_EQ(steps, expectedSteps);
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 8 * 5 * 5);
}

TEST(PixelOpsTest, RegressionFarAwaySegmentsAreNotWalkedStepByStep)
{
    std::vector<QPoint> visited;
    const int64_t steps = px::WalkLine(QPoint(-2000000000, 0), QPoint(2000000000, 3), QRect(0, 0, 5, 5),
                                       [&](int x, int y, int64_t) { visited.emplace_back(x, y); });
    EXPECT_EQ(steps, 4000000000LL);
    // Step 2000000000 (x = 0) is where the second of the three rises falls due: 3 x 2e9 - 2e9 = 4e9.
    EXPECT_EQ(visited, (std::vector<QPoint>{{0, 1}, {1, 2}, {2, 2}, {3, 2}, {4, 2}}));
}

} // namespace
