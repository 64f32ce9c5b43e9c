#include "engine/base/Angle.h"
#include "engine/base/Geometry.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace {

TEST(AngleTest, ConstantsHaveTheirExactBitPatterns)
{
    EXPECT_EQ(std::bit_cast<uint32_t>(AngleUnitsPerDegree), 0x43360B61u);
    EXPECT_EQ(std::bit_cast<uint32_t>(AngleUnitsPerRadian), 0x4622F984u);
    EXPECT_EQ(static_cast<double>(AngleUnitsPerDegree), 182.04444885253906);
    EXPECT_EQ(static_cast<double>(AngleUnitsPerRadian), 10430.37890625);
}

TEST(AngleTest, TableEntriesAreBuiltInSinglePrecisionSteps)
{
    EXPECT_EQ(SineTable[0], 0.0f);
    EXPECT_EQ(SineTable[16383], 1.0f);
    // Every entry is the run-time sine of its step (the volatile keeps the compiler from folding it).
    volatile double step = 9.587379463482648e-05;
    const double k = step;
    for (int i = 0; i < SineTableSize; ++i) {
        const float expected = static_cast<float>(std::sin(static_cast<double>(static_cast<float>(i * k))));
        ASSERT_EQ(std::bit_cast<uint32_t>(SineTable[static_cast<size_t>(i)]), std::bit_cast<uint32_t>(expected)) << i;
    }
    EXPECT_NEAR(SineTable[8192], std::sqrt(0.5), 1e-7);
}

TEST(AngleTest, LookupAtTheQuadrantEdges)
{
    EXPECT_EQ(AngleCosine(0), 1.0f);
    EXPECT_EQ(AngleSine(0), 0.0f);
    EXPECT_EQ(AngleSine(16384), 1.0f);
    EXPECT_EQ(AngleCosine(16384), -0.0f);
    EXPECT_TRUE(std::signbit(AngleCosine(16384)));
    EXPECT_TRUE(std::signbit(AngleSine(65535)));
    EXPECT_EQ(AngleSine(65535), 0.0f);
    EXPECT_EQ(AngleCosine(65535), 1.0f);
    EXPECT_EQ(AngleSine(32768), -0.0f);
    EXPECT_EQ(AngleCosine(32768), -1.0f);
    EXPECT_EQ(AngleSine(49152), -1.0f);
}

TEST(AngleTest, RotateVectorQuarterTurn)
{
    float v[2] = {1.0f, 0.0f};
    RotateVector(v, 16384);
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(v[1], 1.0f);
}

TEST(AngleTest, ConversionsTruncateAndWrap)
{
    EXPECT_EQ(AngleFromDegrees(1.0), 182);
    EXPECT_EQ(AngleFromDegrees(45.0), 8192);
    EXPECT_EQ(AngleFromDegrees(90.0), 16384);
    EXPECT_EQ(AngleFromDegrees(360.0), 0);
    EXPECT_EQ(AngleFromDegrees(-1.0), 65354);
    EXPECT_EQ(AngleFromDegrees(-90.0), 49152);
    EXPECT_EQ(AngleFromDegrees(0.5), 91);
    EXPECT_EQ(AngleFromRadians(1.0), 10430);
}

TEST(AngleTest, RegressionOutOfRangeOrNaNConvertsToZero)
{
    EXPECT_EQ(AngleFromDegrees(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(AngleFromDegrees(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(AngleFromDegrees(1e12), 0);
    EXPECT_EQ(AngleFromRadians(-1e12), 0);
}

TEST(GeometryTest, ClampRect)
{
    Rect r{-10, -10, 500, 500};
    EXPECT_EQ(ClampRect(r, Rect{0, 0, 99, 49}), (Rect{0, 0, 99, 49}));
    Rect outside{200, 300, 250, 400};
    EXPECT_EQ(ClampRect(outside, Rect{0, 0, 99, 49}), (Rect{99, 49, 99, 49}));
    Rect any{5, 5, 6, 6};
    EXPECT_EQ(ClampRect(any, Rect{10, 10, 0, 0}), (Rect{0, 0, 0, 0}));  // inverted: the upper bound wins
}

TEST(GeometryTest, WideStrings)
{
    EXPECT_EQ(WideStringBytes(nullptr), 2u);
    EXPECT_EQ(WideStringBytes(u""), 2u);
    EXPECT_EQ(WideStringBytes(u"Hi"), 6u);
    EXPECT_EQ(WideStringBytes(QString()), 2u);
    EXPECT_EQ(WideStringBytes(QStringLiteral("Hi")), 6u);
    // "ab", then "c", little-endian with terminators.
    const uint8_t packed[] = {'a', 0, 'b', 0, 0, 0, 'c', 0, 0, 0};
    const uint8_t* cursor = packed;
    EXPECT_EQ(SkipWideString(cursor, packed + sizeof packed), 2u);
    EXPECT_EQ(cursor, packed + 6);
    EXPECT_EQ(SkipWideString(cursor, packed + sizeof packed), 1u);
    EXPECT_EQ(cursor, packed + 10);
}

TEST(GeometryTest, RegressionSkipWideStringStopsAtTheEndWithoutATerminator)
{
    const uint8_t unterminated[] = {'a', 0, 'b', 0, 'c'};
    const uint8_t* cursor = unterminated;
    EXPECT_EQ(SkipWideString(cursor, unterminated + sizeof unterminated), 2u);
    EXPECT_EQ(cursor, unterminated + sizeof unterminated);
}

} // namespace
