#pragma once

#include <cstdint>

// The view modes are the ids of their commands, and Layer::Draw takes them as its mode. One more mode
// draws a layer into the pixel space of the selected layer's cropped picture.
inline constexpr int32_t ViewModeAllLayers = 32802;
inline constexpr int32_t ViewModeCropLayer = 32803;
inline constexpr int32_t ViewModePaintLayer = 32804;
inline constexpr int32_t DrawModeSelected = 32850;
