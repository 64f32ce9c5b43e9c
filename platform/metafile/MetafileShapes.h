#pragma once

#include "platform/Rect.h"

#include <QPainterPath>
#include <QPoint>
#include <vector>

namespace platform::metafile_shapes {

// Figures of the box-based records, in logical units. A box is the file's (left, top, right,
// bottom) in any corner order; figures use the whole box, right and bottom edges included.
QRectF BoxRect(const Rect& box);
QPainterPath RectanglePath(const QRectF& box);
QPainterPath EllipsePath(const QRectF& box);
QPainterPath RoundRectPath(const QRectF& box, const QSizeF& corner);

enum class ArcClosure { Open, Chord, Pie };
enum class ArcTurn { CounterClockwise, Clockwise };

// The part of the box's ellipse from where the ray from its centre through start meets it to where
// the ray through end meets it; equal rays give the whole ellipse. The path starts at the arc's
// first point (Pie: at the centre).
QPainterPath ArcPath(const QRectF& box, QPointF start, QPointF end, ArcTurn turn, ArcClosure closure);

// A circular arc: start angle and sweep in degrees, counter-clockwise positive.
QPainterPath AngleArcPath(QPointF centre, qreal radius, qreal startDegrees, qreal sweepDegrees);

// Cubic curves through points[first], ... : each curve takes three points (two controls and an
// end); a trailing incomplete group is left out.
void AppendBeziers(QPainterPath& path, const std::vector<QPoint>& points, size_t first);

// An open or closed figure through the points.
QPainterPath PolyPath(const std::vector<QPoint>& points, size_t first, size_t count, bool closed);

} // namespace platform::metafile_shapes
