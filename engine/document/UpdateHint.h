#pragma once

#include <cstdint>

// Hints that the document sends its views with an update. Hints below 100 belong to the framework and
// the browsers.
inline constexpr int32_t HintRedraw = 100;     // repaint everything
inline constexpr int32_t HintRedrawRect = 101; // repaint the given document rectangle only
