#pragma once

#include <QRect>
#include <QSize>
#include <cstdint>

namespace platform {

// Dialog layouts are written in dialog units and turned into pixels with fixed base units: 6 x 13
// pixels for every 4 x 8 units, whatever the machine's fonts or screen, so that every dialog has the
// same pixels everywhere. Each value is converted on its own (a rectangle's width as a width), with
// halves rounded away from zero: 93 x 26 units are 140 x 42 pixels.
class DialogUnits {
public:
    static constexpr int32_t BaseUnitX = 6;   // pixels ...
    static constexpr int32_t BaseUnitY = 13;
    static constexpr int32_t UnitsPerBaseX = 4;  // ... per this many dialog units
    static constexpr int32_t UnitsPerBaseY = 8;

    static int32_t ToPixelsX(int32_t units);
    static int32_t ToPixelsY(int32_t units);
    static QSize ToPixels(QSize units);
    static QRect ToPixels(QRect units);  // left, top, width and height each converted
};

} // namespace platform
