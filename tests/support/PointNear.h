#pragma once

#include "engine/layers/PointF.h"

#include <cmath>
#include <gtest/gtest.h>

// Both coordinates within tolerance: EXPECT_TRUE(PointNear(got, expected)) << what.
inline ::testing::AssertionResult PointNear(PointF got, PointF expected, float tolerance = 1e-5f)
{
    if (std::abs(got.x - expected.x) <= tolerance && std::abs(got.y - expected.y) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << got.x << ", " << got.y << ") is not (" << expected.x << ", "
                                         << expected.y << ")";
}
