#include "platform/ColourAdjustment.h"

#include <gtest/gtest.h>

using platform::ColourAdjustment;
using platform::ColourTables;

namespace {

bool Monotone(const std::array<uint8_t, 256>& table)
{
    for (size_t v = 1; v < table.size(); ++v) {
        if (table[v] < table[v - 1])
            return false;
    }
    return true;
}

ColourAdjustment WithGamma(int32_t red, int32_t green, int32_t blue)
{
    ColourAdjustment adjustment;
    adjustment.redGamma = red;
    adjustment.greenGamma = green;
    adjustment.blueGamma = blue;
    return adjustment;
}

TEST(ColourAdjustmentTest, DefaultsGiveExactlyTheIdentity)
{
    const ColourTables tables = ColourAdjustment{}.Tables();
    EXPECT_TRUE(tables.identity);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(tables.red[v], v);
        EXPECT_EQ(tables.green[v], v);
        EXPECT_EQ(tables.blue[v], v);
    }
}

TEST(ColourAdjustmentTest, GammaBelowOneDarkensOnlyItsChannelWithEndsFixed)
{
    const ColourTables tables = WithGamma(5000, 10000, 10000).Tables();
    EXPECT_FALSE(tables.identity);
    EXPECT_EQ(tables.red[0], 0);
    EXPECT_EQ(tables.red[255], 255);
    for (int v = 1; v < 255; ++v) {
        EXPECT_LT(tables.red[v], v) << v;
        EXPECT_EQ(tables.green[v], v);
        EXPECT_EQ(tables.blue[v], v);
    }
    EXPECT_EQ(tables.red[128], 64);  // (128/255)^2 * 255 = 64.25

    const ColourTables lighter = WithGamma(10000, 10000, 20000).Tables();
    EXPECT_GT(lighter.blue[128], 128);
    EXPECT_EQ(lighter.blue[0], 0);
    EXPECT_EQ(lighter.blue[255], 255);
}

TEST(ColourAdjustmentTest, PositiveBrightnessLightensNegativeDarkens)
{
    ColourAdjustment brighter;
    brighter.brightness = 40;
    ColourAdjustment darker;
    darker.brightness = -40;
    const ColourTables up = brighter.Tables();
    const ColourTables down = darker.Tables();
    for (int v = 0; v < 200; ++v)
        EXPECT_GT(up.green[v], v) << v;
    for (int v = 60; v < 256; ++v)
        EXPECT_LT(down.green[v], v) << v;
    EXPECT_EQ(up.green[0], 51);  // a fifth of the range: 40 / 200 * 255
    EXPECT_EQ(up.green[255], 255);
}

TEST(ColourAdjustmentTest, PositiveContrastSteepensAboutMidGrey)
{
    ColourAdjustment steeper;
    steeper.contrast = 25;  // slope 2^0.5
    ColourAdjustment flatter;
    flatter.contrast = -50;  // slope 1/2
    const ColourTables up = steeper.Tables();
    const ColourTables down = flatter.Tables();
    EXPECT_EQ(up.red[100], 89);   // 127.5 - 27.5 * 1.41421 = 88.6
    EXPECT_EQ(up.red[160], 173);  // 127.5 + 32.5 * 1.41421 = 173.5 - 0.04
    EXPECT_EQ(up.red[0], 0);
    EXPECT_EQ(up.red[255], 255);
    EXPECT_EQ(down.red[0], 64);   // 127.5 - 63.75
    EXPECT_EQ(down.red[255], 191);
    EXPECT_EQ(down.red[100], 114);  // 127.5 - 13.75
}

TEST(ColourAdjustmentTest, EveryTableIsMonotoneOverTheWholeRange)
{
    for (int32_t gamma : {2500, 6000, 10000, 25000, 65000}) {
        for (int32_t brightness : {-100, -30, 0, 30, 100}) {
            for (int32_t contrast : {-100, -30, 0, 30, 100}) {
                ColourAdjustment adjustment = WithGamma(gamma, gamma, gamma);
                adjustment.brightness = brightness;
                adjustment.contrast = contrast;
                const ColourTables tables = adjustment.Tables();
                EXPECT_TRUE(Monotone(tables.red) && Monotone(tables.green) && Monotone(tables.blue))
                    << gamma << " " << brightness << " " << contrast;
            }
        }
    }
}

TEST(ColourAdjustmentTest, OutOfRangeValuesAreKeptButClampedWhenApplied)
{
    ColourAdjustment wild = WithGamma(100, 10000, 900000);
    wild.brightness = 500;
    wild.contrast = -400;
    EXPECT_EQ(wild.redGamma, 100);
    EXPECT_EQ(wild.blueGamma, 900000);
    EXPECT_EQ(wild.brightness, 500);

    ColourAdjustment clamped = WithGamma(2500, 10000, 65000);
    clamped.brightness = 100;
    clamped.contrast = -100;
    const ColourTables a = wild.Tables();
    const ColourTables b = clamped.Tables();
    EXPECT_EQ(a.red, b.red);
    EXPECT_EQ(a.green, b.green);
    EXPECT_EQ(a.blue, b.blue);
}

} // namespace
