#pragma once

#include <array>
#include <cstdint>

namespace platform {

// One lookup table per channel; a stretch copy in halftone mode sends every colour byte through them.
struct ColourTables {
    std::array<uint8_t, 256> blue{};
    std::array<uint8_t, 256> green{};
    std::array<uint8_t, 256> red{};
    bool identity = true;  // every table maps each level onto itself
};

// The colour adjustment a device context applies when it stretches pictures in halftone mode. Values are
// kept as given; they are clamped into their ranges only when the tables are built.
struct ColourAdjustment {
    static constexpr int32_t GammaOne = 10000;  // 1.0: no change
    static constexpr int32_t GammaMin = 2500;
    static constexpr int32_t GammaMax = 65000;
    static constexpr int32_t LevelMin = -100;   // brightness and contrast
    static constexpr int32_t LevelMax = 100;

    int32_t redGamma = GammaOne;
    int32_t greenGamma = GammaOne;
    int32_t blueGamma = GammaOne;
    int32_t brightness = 0;
    int32_t contrast = 0;

    ColourTables Tables() const;

    friend bool operator==(const ColourAdjustment&, const ColourAdjustment&) = default;
};

} // namespace platform
