#pragma once

#include "engine/layers/PointF.h"

#include <cstdint>

class QPoint;
class QTransform;

// The geometry of the view's drawing and of its frame's handles.

// Whether p lies within radius of centre (the circle's edge included).
bool PointWithinRadius(PointF p, PointF centre, float radius);
// Whether p lies within tolerance of the segment a - b; a point beside either end (its foot outside the
// segment) is never near it.
bool PointNearSegment(PointF a, PointF b, PointF p, float tolerance);
// p through the 2x3 matrix m in single precision, as the stored transforms are built.
PointF MapPoint(const QTransform& m, PointF p);

// A coordinate truncated towards zero to an integer: NaN gives 0 and values beyond +-0x3FFFFFFF (the
// empty rectangle's bounds) stop there, so the conversion is always defined.
int32_t TruncateCoordinate(float value);
QPoint TruncatedPoint(PointF p);
