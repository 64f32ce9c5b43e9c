#include "engine/colour/GammaScale.h"

#include <algorithm>
#include <cmath>

namespace {

// Each step rounded to single precision, as the track bars have always computed it.
const float LogMin = static_cast<float>(std::log10(static_cast<double>(GammaScaleMin)));
const float LogMax = static_cast<float>(std::log10(static_cast<double>(GammaScaleMax)));
const float Slope = -1000.0f / (LogMax - LogMin);

} // namespace

int32_t GammaPositionFromGamma(int32_t gamma)
{
    if (gamma <= 0)
        return GammaPositionMax;
    const float logGamma = static_cast<float>(std::log10(static_cast<double>(gamma)));
    const float position = (logGamma - LogMin) * Slope + 1000.0f;
    const float clamped = std::clamp(position, static_cast<float>(GammaPositionMin), static_cast<float>(GammaPositionMax));
    return static_cast<int32_t>(clamped);
}

int32_t GammaFromPosition(int32_t position)
{
    const int32_t p = std::clamp(position, GammaPositionMin, GammaPositionMax);
    const float exponent = static_cast<float>(p - 1000) / Slope + LogMin;
    const float gamma = static_cast<float>(std::pow(10.0, static_cast<double>(exponent)));
    return static_cast<int32_t>(gamma);
}
