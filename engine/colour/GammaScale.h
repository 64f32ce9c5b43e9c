#pragma once

#include <cstdint>

// The gamma track bars of the Adjust Color dialog: positions 0 to 1000 stand logarithmically for gamma
// 40000 down to 2500 (10000 = 1.0), computed in single precision so that a value survives a round
// trip the same way every time. Colour matching turns its results into gammas through the same scale.
inline constexpr int32_t GammaPositionMin = 0;
inline constexpr int32_t GammaPositionMax = 1000;
inline constexpr int32_t GammaPositionMiddle = 500;  // gamma 10000
inline constexpr int32_t GammaScaleMin = 2500;
inline constexpr int32_t GammaScaleMax = 40000;

// trunc((log10(g) - logMin) x slope + 1000), kept within 0 to 1000 (gamma 10000 gives 499). A gamma of
// 0 or below, which only a damaged file can hold, sits at the right end with the smallest gammas.
int32_t GammaPositionFromGamma(int32_t gamma);
// trunc(10^((p - 1000) / slope + logMin)), p kept within 0 to 1000: 0 gives 39999, 500 gives 10000,
// 1000 gives 2499.
int32_t GammaFromPosition(int32_t position);
