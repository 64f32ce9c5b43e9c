#include "platform/DeviceContext.h"

#include "platform/PixelOps.h"

namespace platform {

namespace {

// A dotted pen draws one pixel and leaves the next, the pattern running on across the segments of a
// polyline.
constexpr int DotPeriod = 2;

} // namespace

void DeviceContext::PlotLinePixel(int x, int y, QRgb colour)
{
    if (!m_target.rect().contains(x, y) || pixels::PixelBytes(m_target) == 0)
        return;
    if (m_state.clipRegion && !m_state.clipRegion->contains(QPoint(x, y)))
        return;
    const int bytes = pixels::PixelBytes(m_target);
    pixels::MixPixel(m_target.scanLine(y) + x * bytes, bytes, colour, m_state.rasterOp);
}

void DeviceContext::Polyline(const QPolygon& points)
{
    if (m_state.pen.style == PenStyle::Null || points.size() < 2)
        return;
    const QTransform transform = EffectiveTransform();
    const bool dotted = m_state.pen.style == PenStyle::Dot;
    const bool fillGaps = m_state.backgroundMode == BackgroundMode::Opaque;
    const QRgb ink = m_state.pen.colour.rgb();
    const QRgb gap = m_state.backgroundColour.rgb();
    int64_t position = 0;
    QPoint from = transform.map(QPointF(points.front())).toPoint();
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPoint to = transform.map(QPointF(points[i])).toPoint();
        position += pixels::WalkLine(from, to, m_target.rect(), [&](int x, int y, int64_t step) {
            const bool on = !dotted || (position + step) % DotPeriod == 0;
            if (on)
                PlotLinePixel(x, y, ink);
            else if (fillGaps)
                PlotLinePixel(x, y, gap);
        });
        from = to;
    }
}

void DeviceContext::Polygon(const QPolygon& points)
{
    if (points.size() < 2)
        return;
    if (m_state.brush) {
        // Under XOR, Qt's raster operation leaves 4-byte pixels opaque.
        QPainter& painter = PreparePainter(m_state.rasterOp == RasterOp::XorPen
                                               ? QPainter::RasterOp_SourceXorDestination
                                               : QPainter::CompositionMode_SourceOver);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QBrush(*m_state.brush));
        painter.drawPolygon(points,
                            m_state.polygonFillMode == PolygonFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    }
    QPolygon outline = points;
    outline.append(points.front());
    Polyline(outline);
}

} // namespace platform
