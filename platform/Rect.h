#pragma once

#include <cstdint>

// The program's rectangle: four signed 32-bit edges. Most users treat right and bottom as the last
// column and row (inclusive); the few that do not say so where they take one.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    friend bool operator==(const Rect&, const Rect&) = default;
};
