#pragma once

#include <QPainterPath>
#include <QPoint>
#include <QRegion>
#include <cstdint>

namespace platform {

// An area of the reference device as the clipping records make it: a region of whole device units
// while it is made of upright rectangles (exact and quick to combine, as Windows keeps it), a path
// once something turned or a path's outline has cut it.
class MetafileClipArea {
public:
    MetafileClipArea() = default; // nothing
    explicit MetafileClipArea(QRegion region) : m_region(std::move(region)) {}
    explicit MetafileClipArea(QPainterPath path) : m_path(std::move(path)), m_isPath(true) {}
    // The whole device: what no clip at all leaves visible, as far as regions reach.
    static MetafileClipArea Everything();

    bool IsRegion() const { return !m_isPath; }
    const QRegion& Region() const { return m_region; }
    QPainterPath Path() const;
    // Its rectangles or path elements.
    qreal Size() const;
    // The elements of Path(): a region's rectangles make five each.
    qreal PathElements() const;
    // The work of setting it as a clip, in path elements' worth: a rectangle of a region is about an
    // element, and rectangles side by side in a band cost by their number squared.
    qreal Work() const;
    // What setting this region as it lies on the picture (onPicture) costs beyond what Work() counts:
    // scaled down, its bands can run together into wider ones.
    qreal RasterizingWorkBeyond(const QRegion& onPicture) const;

    // This area combined with other by a region mode: and, or, xor, diff or copy.
    MetafileClipArea Combined(const MetafileClipArea& other, uint32_t mode) const;
    // At most the work of combining a and b, in path elements' worth.
    static qreal CombiningWork(const MetafileClipArea& a, const MetafileClipArea& b);
    // Moved by offset device units; nothing moves where regions do not reach.
    MetafileClipArea Translated(QPointF offset) const;

    bool operator==(const MetafileClipArea& other) const = default;

private:
    // What Qt's rasterizer spends on region set as a clip over rows pixel rows, in path elements'
    // worth.
    static qreal RasterizingWork(const QRegion& region, qreal rows);

    QRegion m_region;
    QPainterPath m_path;
    bool m_isPath = false;
};

} // namespace platform
