#include "platform/metafile/MetafileClipArea.h"

#include <uemf.h>

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

// Regions reach this far from the origin in device units, farther than any reference device.
constexpr int kReach = 1 << 27;

// Qt maps, cuts and sets a region rectangle in about the time of one path element (its regions of a
// million rectangles take a second and more).
constexpr qreal kRectanglesPerElement = 1;

// Qt rasterizes a clip of many rectangles in a band as a path, and its rasterizer sorts the edges
// that cross each row: with n rectangles side by side a row costs about n squared. The rows are
// counted as over the largest picture, so that the cost does not depend on the size drawn at.
constexpr qreal kRowsCounted = 3072;

// Bands of a region and the most rectangles one band holds.
struct Bands {
    qreal count = 0;
    qreal widest = 0;
};

Bands BandsOf(const QRegion& region)
{
    Bands bands;
    int top = INT32_MIN;
    qreal inBand = 0;
    for (const QRect& rect : region) {
        if (rect.top() != top) {
            top = rect.top();
            bands.count += 1;
            inBand = 0;
        }
        bands.widest = std::max(bands.widest, ++inBand);
    }
    return bands;
}

} // namespace

MetafileClipArea MetafileClipArea::Everything()
{
    return MetafileClipArea(QRegion(-kReach, -kReach, 2 * kReach, 2 * kReach));
}

QPainterPath MetafileClipArea::Path() const
{
    if (m_isPath)
        return m_path;
    QPainterPath path;
    path.addRegion(m_region);
    return path;
}

qreal MetafileClipArea::Size() const
{
    return m_isPath ? qreal(m_path.elementCount()) : qreal(m_region.rectCount());
}

qreal MetafileClipArea::PathElements() const
{
    constexpr qreal kElementsPerRectangle = 5;
    return m_isPath ? Size() : kElementsPerRectangle * Size();
}

qreal MetafileClipArea::Work() const
{
    if (m_isPath)
        return Size();
    return Size() / kRectanglesPerElement + RasterizingWork(m_region, kRowsCounted);
}

qreal MetafileClipArea::RasterizingWorkBeyond(const QRegion& onPicture) const
{
    const qreal counted = m_isPath ? 0 : RasterizingWork(m_region, kRowsCounted);
    return std::max<qreal>(RasterizingWork(onPicture, onPicture.boundingRect().height()) - counted, 0);
}

qreal MetafileClipArea::RasterizingWork(const QRegion& region, qreal rows)
{
    constexpr qreal kCrossingPairsPerElement = 300;
    const qreal widest = BandsOf(region).widest;
    return widest * widest * rows / kCrossingPairsPerElement;
}

MetafileClipArea MetafileClipArea::Combined(const MetafileClipArea& other, uint32_t mode) const
{
    if (mode == U_RGN_COPY)
        return other;
    if (IsRegion() && other.IsRegion()) {
        switch (mode) {
        case U_RGN_AND: return MetafileClipArea(m_region.intersected(other.m_region));
        case U_RGN_OR: return MetafileClipArea(m_region.united(other.m_region));
        case U_RGN_XOR: return MetafileClipArea(m_region.xored(other.m_region));
        case U_RGN_DIFF: return MetafileClipArea(m_region.subtracted(other.m_region));
        default: return *this;
        }
    }
    const QPainterPath a = Path();
    const QPainterPath b = other.Path();
    switch (mode) {
    case U_RGN_AND: return MetafileClipArea(a.intersected(b));
    case U_RGN_OR: return MetafileClipArea(a.united(b));
    case U_RGN_XOR: return MetafileClipArea(a.subtracted(b).united(b.subtracted(a)));
    case U_RGN_DIFF: return MetafileClipArea(a.subtracted(b));
    default: return *this;
    }
}

// Combining regions walks their bands together: the result has at most as many bands as both
// together, each with at most as many rectangles as their widest bands together. Combining paths
// walks their elements and every crossing of two of them.
qreal MetafileClipArea::CombiningWork(const MetafileClipArea& a, const MetafileClipArea& b)
{
    constexpr qreal kCrossingsPerElement = 1024;
    if (a.IsRegion() && b.IsRegion()) {
        const Bands first = BandsOf(a.m_region);
        const Bands second = BandsOf(b.m_region);
        const qreal rectangles = a.Size() + b.Size() + (first.count + second.count) * (first.widest + second.widest);
        return rectangles / kRectanglesPerElement;
    }
    const qreal first = a.PathElements();
    const qreal second = b.PathElements();
    return first + second + first * second / kCrossingsPerElement;
}

MetafileClipArea MetafileClipArea::Translated(QPointF offset) const
{
    if (m_isPath)
        return MetafileClipArea(m_path.translated(offset));
    const QPoint whole(qRound(std::clamp<qreal>(offset.x(), -kReach, kReach)),
                       qRound(std::clamp<qreal>(offset.y(), -kReach, kReach)));
    const QRect reach(-kReach, -kReach, 2 * kReach, 2 * kReach);
    return MetafileClipArea(m_region.translated(whole).intersected(reach));
}

} // namespace platform
