#pragma once

#include "engine/layers/PointF.h"

class QTransform;

// The hit tests of the frame's handles, in view units.

// Whether p lies within radius of centre (the circle's edge included).
bool PointWithinRadius(PointF p, PointF centre, float radius);
// Whether p lies within tolerance of the segment a - b; a point beside either end (its foot outside the
// segment) is never near it.
bool PointNearSegment(PointF a, PointF b, PointF p, float tolerance);
// p through the 2x3 matrix m in single precision, as the stored transforms are built.
PointF MapPoint(const QTransform& m, PointF p);
