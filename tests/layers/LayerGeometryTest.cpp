#include "engine/layers/LayerGeometry.h"

#include <QTransform>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(LayerGeometryTest, StepsAreAppendedInOrder)
{
    QTransform m;
    AppendTranslate(m, 2.0f, 3.0f);
    AppendScale(m, 10.0f, 100.0f);
    // (1, 1) + (2, 3) = (3, 4), then scaled: (30, 400).
    EXPECT_EQ(m.map(QPointF(1, 1)), QPointF(30, 400));
}

TEST(LayerGeometryTest, RotateXFormRotatesEveryRowWithTheTable)
{
    QTransform m;
    AppendTranslate(m, 5.0f, 0.0f);
    RotateXForm(m, 16384);  // a quarter turn: +x towards +y
    EXPECT_FLOAT_EQ(static_cast<float>(m.m11()), -0.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(m.m12()), 1.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(m.m21()), -1.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(m.m22()), -0.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(m.dx()), -0.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(m.dy()), 5.0f);

    // Angle 0 uses the table's cosine entry 16383, which is exactly 1.
    QTransform identity;
    RotateXForm(identity, 0);
    EXPECT_TRUE(identity.isIdentity());
}

TEST(LayerGeometryTest, TransformRectBoundsTakesFloorAndCeiling)
{
    QTransform m;
    AppendScale(m, 0.5f, 0.5f);
    Rect out{};
    TransformRectBounds(Rect{1, 1, 3, 5}, m, out, true);
    EXPECT_EQ(out, (Rect{0, 0, 2, 3}));  // 0.5 -> 0 and 1.5 -> 2; 2.5 -> 3
}

TEST(LayerGeometryTest, TransformRectBoundsWithoutResetOnlyGrows)
{
    Rect out{-5, -5, 0, 0};
    TransformRectBounds(Rect{1, 1, 2, 2}, QTransform(), out, false);
    EXPECT_EQ(out, (Rect{-5, -5, 2, 2}));
    TransformRectBounds(Rect{-1, -1, 0, 0}, QTransform(), out, false);
    EXPECT_EQ(out, (Rect{-5, -5, 2, 2}));
}

TEST(LayerGeometryTest, ResetStartsFromTheEmptyRectangle)
{
    Rect out{};
    TransformRectBounds(Rect{7, 8, 7, 8}, QTransform(), out, true);
    EXPECT_EQ(out, (Rect{7, 8, 7, 8}));
    EXPECT_EQ(EmptyRect, (Rect{0x3FFFFFFF, 0x3FFFFFFF, -1073741823, -1073741823}));
    EXPECT_TRUE(IsEmptyRect(EmptyRect));
}

TEST(LayerGeometryTest, RegressionNonFiniteTransformGivesNoBounds)
{
    QTransform m;
    AppendScale(m, std::numeric_limits<float>::infinity(), 1.0f);
    Rect out{};
    TransformRectBounds(Rect{0, 0, 10, 10}, m, out, true);
    EXPECT_EQ(out, EmptyRect);

    Rect kept{1, 2, 3, 4};
    TransformRectBounds(Rect{0, 0, 10, 10}, m, kept, false);
    EXPECT_EQ(kept, (Rect{1, 2, 3, 4}));
}

TEST(LayerGeometryTest, HugeCoordinatesAreClamped)
{
    QTransform m;
    AppendScale(m, 1e30f, 1e30f);
    Rect out{};
    TransformRectBounds(Rect{-1, -1, 1, 1}, m, out, true);
    EXPECT_EQ(out, (Rect{-0x3FFFFFFF, -0x3FFFFFFF, 0x3FFFFFFF, 0x3FFFFFFF}));
}

} // namespace
