#include "platform/DialogUnits.h"

#include <gtest/gtest.h>

namespace {

using platform::DialogUnits;

// The step pictures' places and the export panel's buttons, as the layouts give them.
TEST(DialogUnitsTest, TurnsUnitsIntoTheSamePixelsEverywhere)
{
    const int units[] = {2, 66, 130, 194, 258, 322, 408, 458};
    const int pixels[] = {3, 99, 195, 291, 387, 483, 612, 687};
    for (size_t i = 0; i < std::size(units); ++i)
        EXPECT_EQ(DialogUnits::ToPixelsX(units[i]), pixels[i]) << units[i];
    EXPECT_EQ(DialogUnits::ToPixels(QSize(93, 26)), QSize(140, 42));
    EXPECT_EQ(DialogUnits::ToPixels(QSize(292, 135)), QSize(438, 219));
}

TEST(DialogUnitsTest, RoundsHalvesAwayFromZero)
{
    struct Case {
        int units;
        int x;
        int y;
    };
    const Case cases[] = {
        {0, 0, 0},   {1, 2, 2},     {-1, -2, -2},   {3, 5, 5},   {-3, -5, -5},
        {4, 6, 7},   {-4, -6, -7},  {8, 12, 13},    {12, 18, 20}, {-12, -18, -20},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialogUnits::ToPixelsX(c.units), c.x) << c.units;
        EXPECT_EQ(DialogUnits::ToPixelsY(c.units), c.y) << c.units;
    }
}

TEST(DialogUnitsTest, ConvertsARectanglesSizeApartFromItsPlace)
{
    // Right = 7 + 79 = 86 units would be 129 pixels, 118 from the left; the width alone is 119.
    EXPECT_EQ(DialogUnits::ToPixels(QRect(7, 7, 79, 29)), QRect(11, 11, 119, 47));
}

} // namespace
