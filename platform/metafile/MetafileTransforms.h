#pragma once

#include <QTransform>
#include <algorithm>
#include <cmath>
#include <iterator>

// Measures of the transforms records are drawn under, shared by every record family.
namespace platform::metafile_transform {

inline bool IsFinite(const QTransform& t)
{
    const qreal values[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy(), t.determinant()};
    return std::all_of(std::begin(values), std::end(values), [](qreal v) { return std::isfinite(v); });
}

// Finite and invertible: a transform anything can be drawn under (and a world transform Windows
// accepts).
inline bool IsUsable(const QTransform& t)
{
    return IsFinite(t) && t.determinant() != 0;
}

// Only enlarges and moves: regions stay whole pixels under it (Qt maps a region through a mirroring
// one rectangle by rectangle, in time that grows with their square, and through a turn as a path).
inline bool IsUpright(const QTransform& t)
{
    return t.type() <= QTransform::TxScale && t.m11() > 0 && t.m22() > 0;
}

// How much a transform stretches the longer of its axes: the scale Qt flattens its own strokes' curves
// by.
inline qreal AxisScale(const QTransform& t)
{
    return std::sqrt(std::max(t.m11() * t.m11() + t.m12() * t.m12(), t.m21() * t.m21() + t.m22() * t.m22()));
}

// How much a transform scales lengths on average: the square root of its area scale.
inline qreal LengthScale(const QTransform& t)
{
    return std::sqrt(std::abs(t.determinant()));
}

} // namespace platform::metafile_transform
