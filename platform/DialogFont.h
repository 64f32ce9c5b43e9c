#pragma once

#include <QFont>
#include <QStringList>

namespace platform {

// The one font of every dialog built from a template: Liberation Sans (installed with the program's
// packages, Arial's metrics) at a fixed 11 pixels, the height of an 8-point font on a 96-dpi screen. Its
// size is given in pixels, so a layout does not depend on the screen's resolution.
QFont DialogFont();

inline constexpr int DialogFontPixelSize = 11;

} // namespace platform
