#pragma once

#include "engine/base/Angle.h"
#include "platform/Rect.h"

class QTransform;

// The empty rectangle that any union grows into the other operand.
inline constexpr int32_t EmptyRectLow = 0x3FFFFFFF;
inline constexpr int32_t EmptyRectHigh = -1073741823;
inline constexpr Rect EmptyRect{EmptyRectLow, EmptyRectLow, EmptyRectHigh, EmptyRectHigh};

inline bool IsEmptyRect(const Rect& r)
{
    return r.right < r.left || r.bottom < r.top;
}

// Transforms are 2x3 affine matrices with row vectors: (x, y) maps to (x m11 + y m21 + dx,
// x m12 + y m22 + dy). Each step below is appended: it acts on what the matrix already gives. The
// arithmetic is done in single precision, as the stored layer values are floats, so that a transform
// and its inverse agree to the bit wherever the program relies on it.
void AppendTranslate(QTransform& m, float dx, float dy);
void AppendScale(QTransform& m, float sx, float sy);
// Rotates each of the three rows (x, y) of m, translation included, to (x c - y s, x s + y c).
void RotateXForm(QTransform& m, Angle angle);

// The integer bounds of the inclusive rectangle r mapped through m, corner by corner (floor of the
// minimum, ceiling of the maximum), grown into out; with reset, out starts empty. When a corner maps
// to an infinity or NaN nothing is added; coordinates beyond +-EmptyRectLow are clamped to it.
void TransformRectBounds(const Rect& r, const QTransform& m, Rect& out, bool reset);
