#include "platform/metafile/MetafilePlayer.h"

#include "platform/metafile/MetafileClip.h"
#include "platform/metafile/MetafileRasterOp.h"
#include "platform/metafile/MetafileRegion.h"
#include "platform/metafile/MetafileStyle.h"
#include "platform/metafile/MetafileTransforms.h"

#include <uemf.h>

#include <QImage>
#include <QLinearGradient>
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>

namespace platform {
namespace {

using Kind = MetafileRecordKind;
using metafile_transform::AxisScale;
using metafile_transform::IsUpright;
using metafile_transform::LengthScale;

// How far flattened curves may stray from the true ones, in target pixels.
constexpr qreal kCurveTolerancePixels = 0.25;

// Qt sets aside room for a region clip's rectangles on every row it spans, counted in int: a region
// that would need more spans than this clips as a path.
constexpr qreal kMostClipSpans = 1 << 24;

// Gradient vertices carry 16-bit colour channels; the picture has 8.
constexpr int kChannelShift = 8;

QRgb ColourOf(const std::array<uint16_t, 3>& colour)
{
    return qRgb(colour[0] >> kChannelShift, colour[1] >> kChannelShift, colour[2] >> kChannelShift);
}

// The part of a region (reference-device units) near the visible area: farther out, target pixels
// could leave int's range, and Qt would rasterize edges to their far ends.
QRegion NearVisible(const QRegion& region, const QTransform& deviceToTarget, const QRectF& visible)
{
    const QRectF reach = MetafileClipArea::Everything().Region().boundingRect();
    const QRectF near = deviceToTarget.inverted().mapRect(visible.adjusted(-1, -1, 1, 1)).intersected(reach);
    return region.intersected(near.toAlignedRect());
}

// The region's pixels on the target, under a transform that only enlarges and moves.
QRegion OnTarget(const QRegion& region, const QTransform& deviceToTarget, const QRectF& visible)
{
    return deviceToTarget.map(NearVisible(region, deviceToTarget, visible)).intersected(visible.toAlignedRect());
}

// Whether a pen widens: made geometric by EXTCREATEPEN, or a plain pen wider than a device pixel.
bool IsGeometric(const MetafileObject& pen, qreal devicePixelsPerUnit)
{
    if (pen.extended)
        return (pen.style & U_PS_TYPE_MASK) == U_PS_GEOMETRIC;
    return pen.width * devicePixelsPerUnit > 1;
}

} // namespace

void MetafilePlayer::RunRegion(const MetafileRecord& record)
{
    switch (record.kind) {
    case Kind::IntersectClipRect: CombineClip(LogicalRectangle(record.box), U_RGN_AND); break;
    case Kind::ExcludeClipRect: CombineClip(LogicalRectangle(record.box), U_RGN_DIFF); break;
    case Kind::SelectClipRegion:
        if (record.region)
            CombineClip(MetafileClipArea(record.region->area), record.value);
        else
            SetClip(std::nullopt); // a copy of no region: no clip at all
        break;
    case Kind::SelectClipPath: {
        // Like filling, clipping needs a finished path and uses it up.
        if (m_pathOpen || m_path.elementCount() == 0)
            break;
        QPainterPath path = m_path;
        m_path = QPainterPath();
        m_figureOpen = false;
        path.setFillRule(m_state.fillMode == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        CombineClip(MetafileClipArea(path), record.value);
        break;
    }
    case Kind::OffsetClipRegion:
        if (m_state.clip) {
            const QTransform toDevice = LogicalToDevice();
            SetClip(m_state.clip->Translated(toDevice.map(QPointF(record.point)) - toDevice.map(QPointF())));
        }
        break;
    case Kind::SetMetaRegion:
        // The meta region becomes what is clipped now; the clip starts afresh inside it. What is
        // visible stays the same.
        if (m_state.clip) {
            if (m_state.metaRegion
                && !Charge(QRectF(), MetafileClipArea::CombiningWork(*m_state.metaRegion, *m_state.clip), 0))
                break;
            m_state.metaRegion = m_state.metaRegion ? m_state.metaRegion->Combined(*m_state.clip, U_RGN_AND)
                                                    : *m_state.clip;
            m_state.clip.reset();
        }
        break;
    case Kind::FillRegion: {
        const MetafileObject* brush = m_objects.Find(record.value);
        if (!brush || brush->kind != MetafileObject::Kind::Brush)
            break;
        if (const auto qtBrush = FillBrush(*brush, QTransform()))
            PaintArea(record.region->area, *qtBrush, QPainter::CompositionMode_SourceOver);
        break;
    }
    case Kind::FrameRegion: FrameRegion(record); break;
    case Kind::InvertRegion: PaintArea(record.region->area, Qt::black, QPainter::RasterOp_NotDestination); break;
    case Kind::PaintRegion:
        if (m_state.rop2 == U_R2_NOP)
            break;
        if (const auto qtBrush = FillBrush(Mixed(m_state.brush), QTransform()))
            PaintArea(record.region->area, *qtBrush, MetafileRasterOp::ModeFor(m_state.rop2));
        break;
    case Kind::WidenPath: WidenPath(); break;
    case Kind::FlattenPath: FlattenPath(); break;
    case Kind::GradientFill: GradientFill(*record.gradient); break;
    case Kind::SetPixel: SetPixel(record); break;
    default: break;
    }
}

void MetafilePlayer::CombineClip(const MetafileClipArea& area, uint32_t mode)
{
    // No clip leaves the whole device visible: that is what the area combines with.
    const MetafileClipArea current = m_state.clip ? *m_state.clip : MetafileClipArea::Everything();
    if (!Charge(QRectF(), MetafileClipArea::CombiningWork(current, area), 0))
        return;
    SetClip(current.Combined(area, mode));
}

void MetafilePlayer::SetClip(std::optional<MetafileClipArea> clip)
{
    const bool changed = clip.has_value() != m_state.clip.has_value() || (clip && !(*clip == *m_state.clip));
    m_state.clip = std::move(clip);
    if (changed)
        ApplyClip();
}

void MetafilePlayer::ApplyClip()
{
    const QTransform world = m_painter.worldTransform();
    m_painter.setWorldTransform(QTransform()); // clips are set in device pixels
    if (!m_callerClipTaken) {
        m_callerClipTaken = true;
        if (m_painter.hasClipping())
            m_callerClip = m_painter.clipPath();
    }
    // The caller's clip first, then what the metafile clips to.
    if (m_callerClip)
        m_painter.setClipPath(*m_callerClip);
    else
        m_painter.setClipping(false);

    std::optional<MetafileClipArea> area = m_state.clip;
    if (m_state.metaRegion) {
        if (area && !Charge(QRectF(), MetafileClipArea::CombiningWork(*m_state.metaRegion, *area), 0))
            area = MetafileClipArea();
        area = area ? m_state.metaRegion->Combined(*area, U_RGN_AND) : *m_state.metaRegion;
    }
    m_clippedByPath = false;
    m_clippedToSpans = false;
    m_clipSpans = 0;
    if (area) {
        const Qt::ClipOperation first = m_callerClip ? Qt::IntersectClip : Qt::ReplaceClip;
        bool clipped = false;
        if (!Charge(QRectF(), area->Work(), 0)) {
            m_painter.setClipRect(QRect(), first); // out of work: nothing more is drawn
            clipped = true;
        } else if (area->IsRegion() && IsUpright(m_deviceToTarget)) {
            // Whole pixels inside the bubble's rectangle, pixel centres deciding (of a rectangle
            // reaching far beyond the visible area, its part near it).
            const QRectF bubble = m_bubble.boundingRect().intersected(CutWindow());
            const QRect bubblePixels(QPoint(qRound(bubble.left()), qRound(bubble.top())),
                                     QPoint(qRound(bubble.right()) - 1, qRound(bubble.bottom()) - 1));
            const QRegion target = OnTarget(area->Region(), m_deviceToTarget, m_visible).intersected(bubblePixels);
            if (qreal(target.rectCount()) * target.boundingRect().height() <= kMostClipSpans) {
                if (Charge(QRectF(), area->RasterizingWorkBeyond(target), 0)) {
                    m_painter.setClipRegion(target, first);
                    m_clippedToSpans = target.rectCount() > 1;
                    m_clipSpans = ClipSpansOf(area->Region());
                } else
                    m_painter.setClipRect(QRect(), first);
                clipped = true;
            }
        }
        if (!clipped)
            ClipToPath(*area, first);
    }
    m_painter.setWorldTransform(world);
}

// A clip that is not whole pixels, or too many rectangles for Qt to keep as a region, clips as a path
// (Qt keeps the spans it rasterizes to). It is rasterized smoothed, as figures are drawn: Qt
// rasterizes clip paths again whenever antialiasing is turned on or off.
void MetafilePlayer::ClipToPath(const MetafileClipArea& area, Qt::ClipOperation first)
{
    m_clippedByPath = true;
    QPainterPath bubble;
    bubble.addPolygon(m_bubble);
    bubble.closeSubpath();
    m_painter.setClipPath(CutNearVisible(bubble), first);
    QPainterPath path;
    bool paid = true;
    if (area.IsRegion()) {
        // Only the rectangles near the visible area; making them a path costs by its elements.
        const MetafileClipArea near(NearVisible(area.Region(), m_deviceToTarget, m_visible));
        paid = Charge(QRectF(), near.PathElements(), 0);
        if (paid)
            path = CutNearVisible(m_deviceToTarget.map(near.Path()));
    } else {
        path = CutNearVisible(m_deviceToTarget.map(area.Path()));
    }
    // Rasterizing it costs as filling it does, edges crossing the same rows included.
    paid = paid && ChargeFigure(path, m_targetToFrame, {false, qreal(path.elementCount()), 0, 0});
    if (paid)
        m_painter.setClipPath(path, Qt::IntersectClip);
    else
        m_painter.setClipRect(QRect(), Qt::IntersectClip);
    m_clippedToSpans = paid;
    m_clipSpans = paid ? ClipSpansOf(path) : 0;
}

bool MetafilePlayer::KeepAntialiasing() const
{
    const bool onlyOurRegion = m_callerClipTaken && !m_callerClip && !m_clippedByPath;
    return m_painter.hasClipping() && !onlyOurRegion;
}

// Windows leaves a clip rectangle's right and bottom edges out, and rounds its corners to device
// pixels when nothing turns it.
MetafileClipArea MetafilePlayer::LogicalRectangle(const Rect& box) const
{
    const QRectF logical = QRectF(QPointF(box.left, box.top), QPointF(box.right, box.bottom)).normalized();
    const QTransform toDevice = LogicalToDevice();
    if (toDevice.type() > QTransform::TxScale) {
        QPainterPath path;
        path.addPolygon(toDevice.map(QPolygonF(logical)));
        path.closeSubpath();
        return MetafileClipArea(path);
    }
    const QRectF device = toDevice.mapRect(logical);
    const MetafileClipArea everything = MetafileClipArea::Everything();
    const QRect reach = everything.Region().boundingRect();
    auto edge = [](qreal value, int low, int high) { return int(std::lround(std::clamp<qreal>(value, low, high))); };
    const int left = edge(device.left(), reach.left(), reach.right());
    const int right = edge(device.right(), reach.left(), reach.right());
    const int top = edge(device.top(), reach.top(), reach.bottom());
    const int bottom = edge(device.bottom(), reach.top(), reach.bottom());
    return MetafileClipArea(QRegion(left, top, right - left, bottom - top));
}

void MetafilePlayer::PaintArea(const QRegion& region, const QBrush& brush, QPainter::CompositionMode mode)
{
    if (region.isEmpty() || m_visible.isEmpty())
        return;
    const QTransform world = m_painter.worldTransform();
    MetafileRasterOp mix(m_painter, mode, KeepAntialiasing());
    // Region fills are drawn on the painter's device (brushes are placed for that); pattern and hatch
    // tiles hold their own background, which Qt's opaque mode would paint inverted under a mix.
    m_painter.setBackgroundMode(Qt::TransparentMode);
    if (IsUpright(m_deviceToTarget)) {
        // The region's pixels, rectangle by rectangle: Qt fills each row of each directly.
        const QRegion target = OnTarget(region, m_deviceToTarget, m_visible);
        if (target.isEmpty() || !Charge(target.boundingRect(), MetafileClipArea(target).Work(), 0))
            return;
        // Whole pixels need no smoothing (and Qt fills rectangles row by row without it).
        const bool antialiased = m_painter.testRenderHint(QPainter::Antialiasing);
        if (!KeepAntialiasing())
            m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setWorldTransform(QTransform());
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(brush);
        mix.Touch(target.boundingRect());
        m_painter.drawRects(target.begin(), int(target.rectCount()));
        m_painter.setRenderHint(QPainter::Antialiasing, antialiased);
    } else {
        const MetafileClipArea area(NearVisible(region, m_deviceToTarget, m_visible));
        if (!Charge(QRectF(), area.PathElements(), 0))
            return;
        const QPainterPath path = CutNearVisible(m_deviceToTarget.map(area.Path()));
        if (!Charge(path.controlPointRect(), path.elementCount(), metafile_clip::Length(path)))
            return;
        mix.Touch(path.controlPointRect().intersected(m_visible));
        m_painter.setWorldTransform(QTransform());
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(brush);
        m_painter.drawPath(path);
    }
    m_painter.setWorldTransform(world);
}

// The frame is the region less the region shrunk by the stroke's width and height, given in
// logical units and brought to at least a device pixel.
void MetafilePlayer::FrameRegion(const MetafileRecord& record)
{
    const MetafileObject* brush = m_objects.Find(record.value);
    if (!brush || brush->kind != MetafileObject::Kind::Brush)
        return;
    const auto qtBrush = FillBrush(*brush, QTransform());
    if (!qtBrush)
        return;
    const QTransform toDevice = LogicalToDevice();
    const QRect reach = MetafileClipArea::Everything().Region().boundingRect();
    auto deviceLength = [&](QPointF logical) {
        const qreal length = QLineF(toDevice.map(QPointF()), toDevice.map(logical)).length();
        return int(std::clamp<qreal>(std::round(length), 1, reach.width()));
    };
    const int width = deviceLength(QPointF(std::abs(record.point.x()), 0));
    const int height = deviceLength(QPointF(0, std::abs(record.point.y())));
    const QRegion& region = record.region->area;
    constexpr qreal kShifts = 5; // four shifted copies met, then taken away
    if (!Charge(QRectF(), kShifts * MetafileClipArea(region).Work(), 0))
        return;
    const QRegion inner = region.intersected(region.translated(width, 0))
                              .intersected(region.translated(-width, 0))
                              .intersected(region.translated(0, height))
                              .intersected(region.translated(0, -height));
    PaintArea(region.subtracted(inner), *qtBrush, QPainter::CompositionMode_SourceOver);
}

// The path becomes the outline of what stroking it with the current pen would cover. Only a
// geometric pen widens; with any other the path widens to nothing.
void MetafilePlayer::WidenPath()
{
    if (m_pathOpen)
        return;
    const QPainterPath path = m_path;
    m_path = QPainterPath();
    m_figureOpen = false;
    const QTransform toDevice = LogicalToDevice();
    bool invertible = false;
    const QTransform toLogical = toDevice.inverted(&invertible);
    const MetafileObject& pen = m_state.pen;
    if (!invertible || !IsGeometric(pen, LengthScale(toDevice)) || path.isEmpty())
        return;
    const QTransform toTarget = toDevice * m_deviceToTarget;
    auto qtPen = metafile_style::PenFor(pen, LengthScale(toTarget), m_state.miterLimit);
    if (!qtPen)
        return;
    qtPen->setCosmetic(false);
    qtPen->setWidthF(std::max<qreal>(pen.width, 1));
    // Dashes too many to outline widen as the line they make up, as they draw. Outlining costs by the
    // pieces it makes, more for wider round ends and joins.
    const QPainterPath logical = toLogical.map(path);
    const qreal dashes = metafile_style::LimitDashes(*qtPen, metafile_clip::Length(logical));
    const qreal penPixels = qtPen->widthF() * AxisScale(toTarget);
    if (!Charge(QRectF(), (path.elementCount() + dashes) * (1 + std::sqrt(penPixels / kCurveTolerancePixels)), 0))
        return;
    QPainterPathStroker stroker(*qtPen);
    const qreal scale = AxisScale(toTarget);
    if (scale > 0)
        stroker.setCurveThreshold(kCurveTolerancePixels / scale);
    const QPainterPath outline = stroker.createStroke(logical);
    // Made one outline without overlaps, it fills the same under either fill mode.
    constexpr qreal kCrossingsPerElement = 1024;
    const qreal elements = outline.elementCount();
    if (!Charge(QRectF(), elements * (1 + elements / kCrossingsPerElement), 0))
        return;
    m_path = toDevice.map(outline.simplified());
}

// Curves become the lines that draw them at the target's resolution.
void MetafilePlayer::FlattenPath()
{
    if (m_pathOpen || !Charge(QRectF(), m_path.elementCount(), 0))
        return;
    bool invertible = false;
    const QTransform toDevice = m_deviceToTarget.inverted(&invertible);
    const QList<QPolygonF> polygons = invertible ? m_path.toSubpathPolygons(m_deviceToTarget) : m_path.toSubpathPolygons();
    QPainterPath flat;
    for (const QPolygonF& polygon : polygons)
        flat.addPolygon(invertible ? toDevice.map(polygon) : polygon);
    m_path = flat;
    m_figureOpen = false;
}

void MetafilePlayer::GradientFill(const MetafileGradient& gradient)
{
    const QTransform toTarget = LogicalToDevice() * m_deviceToTarget;
    if (m_visible.isEmpty() || !toTarget.isInvertible())
        return;
    // Windows colours a pixel by its top left corner, Qt by its centre: the colours move half a
    // reference-device pixel.
    const QTransform toLogical = LogicalToDevice().inverted();
    const QPointF halfPixel = toLogical.map(QPointF(0.5, 0.5)) - toLogical.map(QPointF());
    const QTransform world = m_painter.worldTransform();
    for (const auto& mesh : gradient.meshes) {
        if (gradient.mode == MetafileGradient::Mode::Triangle) {
            GradientTriangle(gradient, mesh, QTransform::fromTranslate(halfPixel.x(), halfPixel.y()) * toTarget);
            continue;
        }
        // A rectangle from one corner's colour to the other's, across or down.
        const MetafileGradient::Vertex& first = gradient.vertices[mesh[0]];
        const MetafileGradient::Vertex& second = gradient.vertices[mesh[1]];
        const QRectF rect = QRectF(QPointF(first.point), QPointF(second.point)).normalized();
        if (rect.isEmpty())
            continue;
        // Cut close around the visible area, as figures are.
        QPainterPath devicePath;
        devicePath.addRect(rect);
        devicePath = CutNearVisible(toTarget.map(devicePath));
        if (devicePath.isEmpty())
            continue;
        if (!Charge(devicePath.controlPointRect(), devicePath.elementCount(), metafile_clip::Length(devicePath)))
            break;
        const bool across = gradient.mode == MetafileGradient::Mode::Horizontal;
        const QPointF start = QPointF(first.point) + halfPixel;
        const QPointF end = QPointF(second.point) + halfPixel;
        QLinearGradient fill(start, across ? QPointF(end.x(), start.y()) : QPointF(start.x(), end.y()));
        fill.setColorAt(0, QColor(ColourOf(first.colour)));
        fill.setColorAt(1, QColor(ColourOf(second.colour)));
        m_painter.setWorldTransform(toTarget);
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(fill);
        m_painter.drawPath(toTarget.inverted().map(devicePath));
    }
    m_painter.setWorldTransform(world);
}

// Each pixel whose centre lies in the triangle takes the vertices' colours weighted by its
// barycentric coordinates, as Windows shades it; edges are not smoothed. toTarget moves the
// vertices half a pixel, so that a pixel's centre stands for its corner as in Windows.
void MetafilePlayer::GradientTriangle(const MetafileGradient& gradient, const std::array<uint32_t, 3>& mesh,
                                      const QTransform& toTarget)
{
    std::array<QPointF, 3> p;
    std::array<std::array<qreal, 3>, 3> c;
    for (size_t i = 0; i < 3; ++i) {
        const MetafileGradient::Vertex& vertex = gradient.vertices[mesh[i]];
        p[i] = toTarget.map(QPointF(vertex.point));
        for (size_t k = 0; k < 3; ++k)
            c[i][k] = vertex.colour[k] >> kChannelShift;
    }
    const qreal area = (p[1].x() - p[0].x()) * (p[2].y() - p[0].y()) - (p[2].x() - p[0].x()) * (p[1].y() - p[0].y());
    const QRectF reach = QPolygonF({p[0], p[1], p[2]}).boundingRect();
    const QRect box = reach.intersected(m_visible).toAlignedRect().intersected(m_visible.toAlignedRect());
    if (area == 0 || !std::isfinite(area) || box.isEmpty() || !Charge(box, 1, 0))
        return;
    QImage shaded(box.size(), QImage::Format_ARGB32_Premultiplied);
    shaded.fill(Qt::transparent);
    // The weight of vertex i at a point: the area of the triangle the point makes with the other two.
    auto weight = [&](size_t i, qreal x, qreal y) {
        const QPointF& a = p[(i + 1) % 3];
        const QPointF& b = p[(i + 2) % 3];
        return ((b.x() - a.x()) * (y - a.y()) - (x - a.x()) * (b.y() - a.y())) / area;
    };
    for (int row = 0; row < box.height(); ++row) {
        const qreal y = box.top() + row + 0.5;
        auto* line = reinterpret_cast<QRgb*>(shaded.scanLine(row));
        for (int column = 0; column < box.width(); ++column) {
            const qreal x = box.left() + column + 0.5;
            const qreal w0 = weight(0, x, y);
            const qreal w1 = weight(1, x, y);
            const qreal w2 = 1 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0)
                continue;
            auto channel = [&](size_t k) { return std::clamp(int(w0 * c[0][k] + w1 * c[1][k] + w2 * c[2][k]), 0, 255); };
            line[column] = qRgb(channel(0), channel(1), channel(2));
        }
    }
    m_painter.setWorldTransform(QTransform());
    m_painter.drawImage(box.topLeft(), shaded);
}

// One pixel of the reference device: the one the logical point falls in.
void MetafilePlayer::SetPixel(const MetafileRecord& record)
{
    const QPointF device = LogicalToDevice().map(QPointF(record.point));
    if (!std::isfinite(device.x()) || !std::isfinite(device.y()))
        return;
    const QRectF pixel(std::floor(device.x()), std::floor(device.y()), 1, 1);
    const QRectF bounds = m_deviceToTarget.mapRect(pixel);
    if (!Charge(bounds, 1, 0))
        return;
    const QTransform world = m_painter.worldTransform();
    m_painter.setWorldTransform(m_deviceToTarget);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(QColor(qRgb(record.value & 0xFF, (record.value >> 8) & 0xFF, (record.value >> 16) & 0xFF)));
    m_painter.drawRect(pixel);
    m_painter.setWorldTransform(world);
}

} // namespace platform
