#pragma once

#include "engine/layers/PointF.h"

class QWidget;

// The mouse position (the system's cursor position) in the window's client coordinates, as two floats.
PointF GetCursorClientPos(const QWidget& window);
