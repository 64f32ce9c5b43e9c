#pragma once

#include <QPainterPath>
#include <QRectF>

namespace platform::metafile_clip {

// Qt's rasterizer spends time on every pixel of an edge's length, visible or not: a line reaching a
// hundred million pixels away takes seconds. These cut device-space paths to a window around the
// visible area so that no edge reaches far beyond it. Curves come back flattened.

// For filling: each subpath, closed, cut to window (Sutherland-Hodgman). Inside the window every
// point keeps its winding number, so the fill there is unchanged under either fill rule.
QPainterPath ForFill(const QPainterPath& path, const QRectF& window);

// For stroking: the parts of each subpath's lines inside window, as open runs (a subpath wholly inside
// stays as it is). A stroke is unchanged farther inside the window than the ends that cutting adds
// reach; a figure that comes back to its start is cut from a corner outside the window, so that its
// corners in sight keep their joins.
QPainterPath ForStroke(const QPainterPath& path, const QRectF& window);

// The total length of the path's lines, curves flattened.
qreal Length(const QPainterPath& path);

} // namespace platform::metafile_clip
