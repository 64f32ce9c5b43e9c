#include "platform/ColourAdjustment.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace platform {

namespace {

constexpr double LevelScale = 255.0;
constexpr double MidGrey = 0.5;
// Contrast c multiplies the slope about mid-grey by 2^(c / ContrastPerDoubling): a quarter at -100,
// four times at +100.
constexpr double ContrastPerDoubling = 50.0;
// Brightness b shifts every level by b / BrightnessDivisor of the full range: half of it at +-100.
constexpr double BrightnessDivisor = 200.0;

// For a level v of a channel with gamma g (clamped to GammaMin..GammaMax, 10000 = 1.0), brightness b and
// contrast c (each clamped to -100..100), with x = v / 255:
//   1. gamma:      x1 = x ^ (10000 / g)          g < 10000 gives an exponent above 1: darker, 0 and 1 stay
//   2. contrast:   x2 = 0.5 + (x1 - 0.5) * 2^(c / 50)
//   3. brightness: x3 = x2 + b / 200
//   result = round(x3 * 255), clamped to 0..255.
// Each step is non-decreasing in x, so every table is monotone; with g = 10000, b = c = 0 each step
// gives back its input and the table is the identity.
void BuildTable(std::array<uint8_t, 256>& table, int32_t gamma, int32_t brightness, int32_t contrast)
{
    const double g = std::clamp(gamma, ColourAdjustment::GammaMin, ColourAdjustment::GammaMax);
    const double b = std::clamp(brightness, ColourAdjustment::LevelMin, ColourAdjustment::LevelMax);
    const double c = std::clamp(contrast, ColourAdjustment::LevelMin, ColourAdjustment::LevelMax);
    const double exponent = ColourAdjustment::GammaOne / g;
    const double slope = std::exp2(c / ContrastPerDoubling);
    const double shift = b / BrightnessDivisor;
    for (size_t v = 0; v < table.size(); ++v) {
        double x = static_cast<double>(v) / LevelScale;
        x = std::pow(x, exponent);
        x = MidGrey + (x - MidGrey) * slope;
        x += shift;
        table[v] = static_cast<uint8_t>(std::clamp(std::lround(x * LevelScale), 0L, 255L));
    }
}

bool IsIdentity(const std::array<uint8_t, 256>& table)
{
    for (size_t v = 0; v < table.size(); ++v) {
        if (table[v] != v)
            return false;
    }
    return true;
}

} // namespace

ColourTables ColourAdjustment::Tables() const
{
    ColourTables tables;
    // The usual case, no adjustment at all, needs none of the arithmetic below.
    if (*this == ColourAdjustment{}) {
        std::iota(tables.blue.begin(), tables.blue.end(), uint8_t{0});
        tables.green = tables.blue;
        tables.red = tables.blue;
        tables.identity = true;
        return tables;
    }
    BuildTable(tables.blue, blueGamma, brightness, contrast);
    BuildTable(tables.green, greenGamma, brightness, contrast);
    BuildTable(tables.red, redGamma, brightness, contrast);
    tables.identity = IsIdentity(tables.blue) && IsIdentity(tables.green) && IsIdentity(tables.red);
    return tables;
}

} // namespace platform
