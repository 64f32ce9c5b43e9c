#include "platform/metafile/MetafilePlayer.h"

#include "platform/metafile/MetafileClip.h"
#include "platform/metafile/MetafileRasterOp.h"
#include "platform/metafile/MetafileShapes.h"
#include "platform/metafile/MetafileStyle.h"
#include "platform/metafile/MetafileTransforms.h"

#include <uemf.h>

#include <QPainter>
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace platform {
namespace {

using Kind = MetafileRecordKind;
namespace shapes = metafile_shapes;
using metafile_transform::AxisScale;
using metafile_transform::IsFinite;
using metafile_transform::IsUpright;
using metafile_transform::IsUsable;
using metafile_transform::LengthScale;

// The "set" mode of MODIFYWORLDTRANSFORM that newer writers use; libUEMF's list stops before it.
constexpr uint32_t kModifySet = 4;

// PolyDraw point types.
constexpr uint32_t kPointClosesFigure = U_PT_CLOSEFIGURE;
constexpr uint32_t kPointMoveTo = U_PT_MOVETO;
constexpr uint32_t kPointLineTo = U_PT_LINETO;
constexpr uint32_t kPointBezierTo = U_PT_BEZIERTO;
constexpr size_t kPointsPerCurve = 3;

// Saves nested deeper than this are not kept: a file of nothing but SAVEDC records would otherwise
// cost memory many times its own size.
constexpr size_t kMaxSavedStates = 1024;

// Qt refuses pen widths from 2^15 up; wider strokes are drawn in coarser units.
constexpr uint32_t kWidestQtPen = (1u << 15) - 1;

// How far beyond a pen's width cut lines end outside the visible area, in device pixels.
constexpr qreal kCutMarginPixels = 2;

// How far flattened curves may stray from the true ones, in device pixels (Qt's own tolerance for
// strokes).
constexpr qreal kCurveTolerancePixels = 0.25;

// A wide outline whose edges cross the rows of the visible area more often than this on average is
// simplified before it is filled, if it has no more elements than Qt simplifies quickly (it took
// seconds over some of 500), or else left out.
constexpr qreal kMostOutlineCrossings = 8;
// A wide outline of more elements than this is left out (this guard too looks at device pixels).
constexpr qreal kMostOutlineElements = 100'000;
constexpr int kMostSimplifiedElements = 320;

// How many points a device path's curves flatten to (a curve far wider than the picture takes
// thousands).
qsizetype FlattenedPoints(const QPainterPath& path)
{
    qsizetype points = 0;
    for (const QPolygonF& subpath : path.toSubpathPolygons())
        points += subpath.size();
    return points;
}

// How many of a device path's edges cross a row of window on average.
qreal RowCrossings(const QPainterPath& path, const QRectF& window)
{
    qreal down = 0;
    for (const QPolygonF& subpath : path.toSubpathPolygons())
        for (qsizetype i = 1; i < subpath.size(); ++i)
            down += std::abs(subpath[i].y() - subpath[i - 1].y());
    return window.height() > 0 ? down / window.height() : 0;
}

// More dash and gap entries than a user style may have: Windows refuses to create such a pen.
constexpr size_t kMostDashEntries = 16;

constexpr qreal kMillimetresPerInch = 25.4;
constexpr qreal kTwipsPerInch = 1440.0;

// Millimetres per logical unit of the fixed-scale map modes.
qreal MillimetresPerUnit(uint32_t mode)
{
    switch (mode) {
    case U_MM_LOMETRIC: return 0.1;
    case U_MM_HIMETRIC: return 0.01;
    case U_MM_LOENGLISH: return kMillimetresPerInch / 100.0;
    case U_MM_HIENGLISH: return kMillimetresPerInch / 1000.0;
    case U_MM_TWIPS: return kMillimetresPerInch / kTwipsPerInch;
    default: return 0.1; // isotropic starts as low-metric
    }
}

QTransform ToTransform(const std::array<float, 6>& m)
{
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

bool IsUsableExtent(const QSizeF& extent)
{
    return extent.width() != 0 && extent.height() != 0 && std::isfinite(extent.width())
        && std::isfinite(extent.height());
}

// At least as much as a transform stretches any length (the Frobenius norm of its linear part).
qreal LargestScale(const QTransform& t)
{
    return std::sqrt(t.m11() * t.m11() + t.m12() * t.m12() + t.m21() * t.m21() + t.m22() * t.m22());
}

// The widest pen that still changes what a stroke of path draws: everything the stroke can reach on
// the picture lies within the box of the path and the visible area (in the path's units), and a pen
// twice as wide as that box's diagonal covers all of it from any point of the path. Wider pens only
// cost the stroker time: Qt takes seconds to minutes over a pen some million pixels wide under a
// turn.
uint32_t WidestUsefulPen(const QPainterPath& path, const QTransform& toTarget, const QRectF& visible)
{
    bool invertible = false;
    const QTransform toPath = toTarget.inverted(&invertible);
    if (!invertible)
        return 1; // a flattened drawing covers no area, however wide its pen
    const QRectF reach = toPath.mapRect(visible).united(path.controlPointRect());
    const qreal widest = 2 * std::hypot(reach.width(), reach.height()) + 1;
    return widest < qreal(UINT32_MAX) ? uint32_t(std::ceil(widest)) : UINT32_MAX;
}

QPainterPath StartingAt(QPointF position)
{
    QPainterPath path;
    path.moveTo(position);
    return path;
}

// Continues path with a line to next's first point, then next. (QPainterPath::connectPath alone
// drops a path that holds only its starting point.)
void LineOnTo(QPainterPath& path, const QPainterPath& next)
{
    if (next.elementCount() == 0)
        return;
    path.lineTo(QPointF(next.elementAt(0)));
    path.connectPath(next);
}

// The frame side the budget's weights are measured at: a bubble over a 4096 x 3072 picture.
constexpr qreal kReferenceFrameSide = 3547;

// The frame's space is measured this finely when curves are flattened to measure their edges.
constexpr qreal kFrameSteps = 64;

// The length of a path's edges and how far they run down, curves flattened; and how far those that
// are not upright do.
struct Edges {
    qreal length = 0;
    qreal down = 0;
    qreal slantedDown = 0;
};

Edges EdgesOf(const QPainterPath& path)
{
    Edges edges;
    for (const QPolygonF& subpath : path.toSubpathPolygons(QTransform::fromScale(kFrameSteps, kFrameSteps)))
        for (qsizetype i = 1; i < subpath.size(); ++i) {
            const QPointF step = subpath[i] - subpath[i - 1];
            edges.length += std::hypot(step.x(), step.y()) / kFrameSteps;
            edges.down += std::abs(step.y()) / kFrameSteps;
            if (step.x() != 0)
                edges.slantedDown += std::abs(step.y()) / kFrameSteps;
        }
    return edges;
}

qsizetype SubpathsOf(const QPainterPath& path)
{
    qsizetype count = 0;
    for (int i = 0; i < path.elementCount(); ++i)
        count += path.elementAt(i).isMoveTo() ? 1 : 0;
    return count;
}

qreal AreaOf(const QRectF& rect)
{
    return rect.isValid() ? rect.width() * rect.height() : 0;
}

// The area a polygon encloses (the shoelace formula).
qreal AreaOf(const QPolygonF& polygon)
{
    qreal twice = 0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i];
        const QPointF b = polygon[(i + 1) % polygon.size()];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return std::abs(twice) / 2;
}

// How far apart a pen's dashes are along its line, in frame sides, or 0 for a solid pen: the predefined
// styles as Qt draws them (in pen widths), a user style's entries in logical units for a geometric pen
// (unit: frame sides per unit), in pixels of the reference size for a cosmetic one. Dashes finer than a
// pixel of the reference size count as that.
qreal DashSpacing(const MetafileObject& pen, qreal penFrames, qreal unit)
{
    constexpr qreal kDashWidths = 4 + 2;
    constexpr qreal kDotWidths = 1 + 2;
    constexpr qreal kDashDotWidths = (4 + 2 + 1 + 2) / 2.0;
    constexpr qreal kDashDotDotWidths = (4 + 2 + 1 + 2 + 1 + 2) / 3.0;
    qreal spacing = 0;
    switch (pen.style & U_PS_STYLE_MASK) {
    case U_PS_DASH: spacing = kDashWidths * penFrames; break;
    case U_PS_DOT: case U_PS_ALTERNATE: spacing = kDotWidths * penFrames; break;
    case U_PS_DASHDOT: spacing = kDashDotWidths * penFrames; break;
    case U_PS_DASHDOTDOT: spacing = kDashDotDotWidths * penFrames; break;
    case U_PS_USERSTYLE: {
        const qreal total = std::accumulate(pen.dashes.begin(), pen.dashes.end(), 0.0);
        if (total <= 0)
            return 0;
        // An odd list repeats with dashes and gaps swapped: twice its entries make as many dashes.
        spacing = 2 * total * unit / qreal(pen.dashes.size());
        break;
    }
    default: return 0;
    }
    return std::max(spacing, 1 / kReferenceFrameSide);
}

// The header's frame (0.01 mm) in reference-device units.
QRectF FrameInDeviceUnits(const MetafileHeader& header)
{
    constexpr qreal kHundredthsPerMillimetre = 100.0;
    const qreal sx = header.devicePixelsX / (kHundredthsPerMillimetre * header.deviceMillimetresX);
    const qreal sy = header.devicePixelsY / (kHundredthsPerMillimetre * header.deviceMillimetresY);
    return QRectF(QPointF(header.frame.left * sx, header.frame.top * sy),
                  QPointF(header.frame.right * sx, header.frame.bottom * sy));
}

} // namespace

MetafilePlayer::MetafilePlayer(QPainter& painter, const MetafileHeader& header, const QTransform& deviceToTarget,
                               const QRectF& visible)
    : m_painter(painter)
    , m_header(header)
    , m_deviceToTarget(deviceToTarget)
    , m_visible(visible)
    , m_bubble(deviceToTarget.map(QPolygonF(FrameInDeviceUnits(header))))
    , m_objects(header.handleCount)
    , m_glyphAreaLeft(kGlyphCoveringsPerPlay * visible.width() * visible.height())
{
    // The frame's space: reference-device units moved to the frame's corner and shrunk to a frame's
    // area of 1, so that nothing measured there depends on where or how large the bubble is drawn.
    const QRectF frame = FrameInDeviceUnits(header).normalized();
    const qreal side = std::sqrt(AreaOf(frame));
    bool invertible = false;
    const QTransform targetToDevice = deviceToTarget.inverted(&invertible);
    const qreal frameSide = side * LengthScale(deviceToTarget);
    if (!invertible || !IsFinite(targetToDevice) || !(side > 0) || !std::isfinite(side) || !(frameSide > 0)
        || !std::isfinite(frameSide))
        return; // nothing can be drawn: the budget refuses everything
    m_frameSide = frameSide;
    m_targetToFrame = targetToDevice * QTransform::fromTranslate(-frame.left(), -frame.top())
        * QTransform::fromScale(1 / side, 1 / side);
    const qreal width = frame.width() / side;
    const qreal height = frame.height() / side;
    m_neighbourhood = QRectF(-width, -height, 3 * width, 3 * height);
}

void MetafilePlayer::Play(const std::vector<MetafileRecord>& records)
{
    for (const MetafileRecord& record : records) {
        if (m_workLeft <= 0)
            break;
        Run(record);
    }
}

void MetafilePlayer::Run(const MetafileRecord& record)
{
    switch (record.kind) {
    case Kind::PolyBezier: case Kind::Polygon: case Kind::Polyline: case Kind::PolyBezierTo:
    case Kind::PolylineTo: case Kind::PolyPolyline: case Kind::PolyPolygon: case Kind::PolyDraw:
    case Kind::LineTo: case Kind::AngleArc: case Kind::Ellipse: case Kind::Rectangle: case Kind::RoundRect:
    case Kind::Arc: case Kind::Chord: case Kind::Pie: case Kind::ArcTo:
        RunFigure(record);
        break;
    case Kind::BeginPath: case Kind::EndPath: case Kind::CloseFigure: case Kind::FillPath:
    case Kind::StrokeAndFillPath: case Kind::StrokePath: case Kind::AbortPath:
        RunPath(record);
        break;
    case Kind::TextOut: case Kind::SetTextAlign: case Kind::SetTextColor:
        RunText(record);
        break;
    case Kind::Blit: case Kind::SetStretchBltMode: case Kind::SetBrushOrg:
        RunBitmap(record);
        break;
    case Kind::IntersectClipRect: case Kind::ExcludeClipRect: case Kind::SelectClipRegion:
    case Kind::SelectClipPath: case Kind::OffsetClipRegion: case Kind::SetMetaRegion: case Kind::FillRegion:
    case Kind::FrameRegion: case Kind::InvertRegion: case Kind::PaintRegion: case Kind::WidenPath:
    case Kind::FlattenPath: case Kind::GradientFill: case Kind::SetPixel:
        RunRegion(record);
        break;
    default:
        RunState(record);
        break;
    }
}

void MetafilePlayer::RunState(const MetafileRecord& record)
{
    MetafileDcState& s = m_state;
    const bool scalable = s.mapMode == U_MM_ISOTROPIC || s.mapMode == U_MM_ANISOTROPIC;
    const bool nonZero = record.point.x() != 0 && record.point.y() != 0;
    switch (record.kind) {
    case Kind::SetWindowExt: if (scalable && nonZero) s.windowExtent = QSizeF(record.point.x(), record.point.y()); break;
    case Kind::SetViewportExt: if (scalable && nonZero) s.viewportExtent = QSizeF(record.point.x(), record.point.y()); break;
    case Kind::SetWindowOrg: s.windowOrigin = record.point; break;
    case Kind::SetViewportOrg: s.viewportOrigin = record.point; break;
    case Kind::ScaleWindowExt:
    case Kind::ScaleViewportExt: {
        if (!scalable || !nonZero || record.endPoint.x() == 0 || record.endPoint.y() == 0)
            break;
        QSizeF& extent = record.kind == Kind::ScaleWindowExt ? s.windowExtent : s.viewportExtent;
        const QSizeF scaled(extent.width() * record.point.x() / record.endPoint.x(),
                            extent.height() * record.point.y() / record.endPoint.y());
        if (IsUsableExtent(scaled))
            extent = scaled;
        break;
    }
    case Kind::SetMapMode: SetMapMode(record.value); break;
    case Kind::SetBkMode:
        if (record.value == MetafileDcState::kTransparent || record.value == MetafileDcState::kOpaque)
            s.backgroundMode = record.value;
        break;
    case Kind::SetPolyFillMode: if (record.value == U_ALTERNATE || record.value == U_WINDING) s.fillMode = record.value; break;
    case Kind::SetRop2: if (record.value >= U_R2_BLACK && record.value <= U_R2_WHITE) s.rop2 = record.value; break;
    case Kind::SetBkColor:
        s.backgroundColour = qRgb(record.value & 0xFF, (record.value >> 8) & 0xFF, (record.value >> 16) & 0xFF);
        break;
    case Kind::SetArcDirection:
        if (record.value == U_AD_COUNTERCLOCKWISE || record.value == U_AD_CLOCKWISE)
            s.arcDirection = record.value;
        break;
    case Kind::SetMiterLimit: if (record.value > 0) s.miterLimit = record.value; break;
    case Kind::MoveTo:
        s.position = record.point;
        m_figureOpen = false; // in a path, the next line starts a new figure
        break;
    case Kind::SaveDc:
        if (m_saved.size() < kMaxSavedStates)
            m_saved.push_back(s);
        break;
    case Kind::RestoreDc: RestoreDc(int32_t(record.value)); break;
    case Kind::SetWorldTransform: SetWorld(ToTransform(record.transform)); break;
    case Kind::ModifyWorldTransform: ModifyWorld(record); break;
    case Kind::CreatePen: case Kind::CreateBrush: case Kind::CreateOther:
        m_objects.Create(record.value, record.object);
        break;
    case Kind::SelectObject: Select(record.value); break;
    case Kind::DeleteObject: m_objects.Delete(record.value); break;
    default: break;
    }
}

// An inside-frame pen wider than a unit keeps its whole line inside the box of the box figures.
QRectF MetafilePlayer::FigureBox(const Rect& box) const
{
    QRectF rect = shapes::BoxRect(box);
    const MetafileObject& pen = m_state.pen;
    const bool geometric = !pen.extended || (pen.style & U_PS_TYPE_MASK) == U_PS_GEOMETRIC;
    if ((pen.style & U_PS_STYLE_MASK) == U_PS_INSIDEFRAME && geometric && pen.width > 1
        && rect.width() > pen.width && rect.height() > pen.width) {
        const qreal half = pen.width / 2.0;
        rect.adjust(half, half, -half, -half);
    }
    return rect;
}

void MetafilePlayer::RunFigure(const MetafileRecord& record)
{
    const std::vector<QPoint>& points = record.points;
    const QRectF box = FigureBox(record.box);
    const auto turn = m_state.arcDirection == U_AD_CLOCKWISE ? shapes::ArcTurn::Clockwise
                                                              : shapes::ArcTurn::CounterClockwise;
    switch (record.kind) {
    case Kind::Polygon: Figure(shapes::PolyPath(points, 0, points.size(), true), Paint::FillAndStroke); break;
    case Kind::Polyline: Figure(shapes::PolyPath(points, 0, points.size(), false), Paint::Stroke); break;
    case Kind::PolyBezier: {
        if (points.empty())
            break;
        QPainterPath path = StartingAt(points.front());
        shapes::AppendBeziers(path, points, 1);
        Figure(path, Paint::Stroke);
        break;
    }
    case Kind::PolyPolygon:
    case Kind::PolyPolyline: {
        const bool closed = record.kind == Kind::PolyPolygon;
        QPainterPath path;
        size_t first = 0;
        for (uint32_t count : record.counts) {
            path.addPath(shapes::PolyPath(points, first, count, closed));
            first += count;
        }
        Figure(path, closed ? Paint::FillAndStroke : Paint::Stroke);
        break;
    }
    case Kind::PolylineTo: {
        QPainterPath path = StartingAt(m_state.position);
        for (const QPoint& point : points)
            path.lineTo(point);
        Continue(path);
        break;
    }
    case Kind::PolyBezierTo: {
        QPainterPath path = StartingAt(m_state.position);
        shapes::AppendBeziers(path, points, 0);
        Continue(path);
        break;
    }
    case Kind::LineTo: {
        QPainterPath path = StartingAt(m_state.position);
        path.lineTo(record.point);
        Continue(path);
        break;
    }
    case Kind::PolyDraw: PolyDraw(record); break;
    case Kind::Rectangle: Figure(shapes::RectanglePath(box), Paint::FillAndStroke); break;
    case Kind::Ellipse: Figure(shapes::EllipsePath(box), Paint::FillAndStroke); break;
    case Kind::RoundRect: Figure(shapes::RoundRectPath(box, QSizeF(record.point.x(), record.point.y())), Paint::FillAndStroke); break;
    case Kind::Arc: Figure(shapes::ArcPath(box, record.point, record.endPoint, turn, shapes::ArcClosure::Open), Paint::Stroke); break;
    case Kind::Chord: Figure(shapes::ArcPath(box, record.point, record.endPoint, turn, shapes::ArcClosure::Chord), Paint::FillAndStroke); break;
    case Kind::Pie: Figure(shapes::ArcPath(box, record.point, record.endPoint, turn, shapes::ArcClosure::Pie), Paint::FillAndStroke); break;
    case Kind::ArcTo:
    case Kind::AngleArc: {
        // A line from the current position to the arc's start, then the arc.
        QPainterPath path = StartingAt(m_state.position);
        LineOnTo(path, record.kind == Kind::ArcTo
                           ? shapes::ArcPath(box, record.point, record.endPoint, turn, shapes::ArcClosure::Open)
                           : shapes::AngleArcPath(record.point, record.value, record.angles[0], record.angles[1]));
        Continue(path);
        break;
    }
    default: break;
    }
}

void MetafilePlayer::RunPath(const MetafileRecord& record)
{
    switch (record.kind) {
    case Kind::BeginPath:
        m_path = QPainterPath();
        m_pathOpen = true;
        m_figureOpen = false;
        break;
    case Kind::EndPath: m_pathOpen = false; break;
    case Kind::CloseFigure:
        if (m_pathOpen) {
            m_path.closeSubpath();
            m_figureOpen = false;
        }
        break;
    // Filling or stroking needs a finished path; it uses the path up.
    case Kind::FillPath: if (!m_pathOpen) DrawDevicePath(Paint::Fill); break;
    case Kind::StrokePath: if (!m_pathOpen) DrawDevicePath(Paint::Stroke); break;
    case Kind::StrokeAndFillPath: if (!m_pathOpen) DrawDevicePath(Paint::FillAndStroke); break;
    case Kind::AbortPath:
        m_path = QPainterPath();
        m_pathOpen = false;
        break;
    default: break;
    }
}

// The fixed-scale modes (and isotropic, which starts like low-metric) set the extents to the
// reference device's size in logical units and in pixels, y up; anisotropic keeps them.
void MetafilePlayer::SetMapMode(uint32_t mode)
{
    if (mode < U_MM_MIN || mode > U_MM_MAX)
        return;
    m_state.mapMode = mode;
    if (mode == U_MM_ANISOTROPIC)
        return;
    if (mode == U_MM_TEXT) {
        m_state.windowExtent = QSizeF(1, 1);
        m_state.viewportExtent = QSizeF(1, 1);
        return;
    }
    const qreal unit = MillimetresPerUnit(mode);
    m_state.windowExtent = QSizeF(m_header.deviceMillimetresX / unit, m_header.deviceMillimetresY / unit);
    m_state.viewportExtent = QSizeF(m_header.devicePixelsX, -qreal(m_header.devicePixelsY));
}

QTransform MetafilePlayer::PageTransform() const
{
    const MetafileDcState& s = m_state;
    qreal sx = 1;
    qreal sy = 1;
    if (s.mapMode != U_MM_TEXT) {
        sx = s.viewportExtent.width() / s.windowExtent.width();
        sy = s.viewportExtent.height() / s.windowExtent.height();
        if (s.mapMode == U_MM_ISOTROPIC) {
            // Both axes take the smaller scale, keeping their directions.
            const qreal scale = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(scale, sx);
            sy = std::copysign(scale, sy);
        }
    }
    return QTransform(sx, 0, 0, sy, s.viewportOrigin.x() - s.windowOrigin.x() * sx,
                      s.viewportOrigin.y() - s.windowOrigin.y() * sy);
}

void MetafilePlayer::SetWorld(const QTransform& world)
{
    if (IsUsable(world))
        m_state.world = world;
}

// The file's matrices and Qt's both map row vectors, so "left multiply" applies the record's
// matrix first.
void MetafilePlayer::ModifyWorld(const MetafileRecord& record)
{
    const QTransform change = ToTransform(record.transform);
    switch (record.value) {
    case U_MWT_IDENTITY: m_state.world = QTransform(); break;
    case U_MWT_LEFTMULTIPLY: SetWorld(change * m_state.world); break;
    case U_MWT_RIGHTMULTIPLY: SetWorld(m_state.world * change); break;
    case kModifySet: SetWorld(change); break;
    default: break;
    }
}

// A negative number counts back from the last save (-1 is the last); a positive one is the
// n-th save from the first. The restored state and every later one leave the stack.
void MetafilePlayer::RestoreDc(int32_t which)
{
    const auto depth = int64_t(m_saved.size());
    const int64_t index = which < 0 ? depth + which : int64_t(which) - 1;
    if (which == 0 || index < 0 || index >= depth)
        return;
    const bool clipped = m_state.clip || m_state.metaRegion;
    m_state = m_saved[size_t(index)];
    m_saved.resize(size_t(index));
    if (clipped || m_state.clip || m_state.metaRegion)
        ApplyClip();
}

void MetafilePlayer::Select(uint32_t index)
{
    const MetafileObject* object = m_objects.Find(index);
    if (!object)
        return;
    if (object->kind == MetafileObject::Kind::Pen)
        m_state.pen = *object;
    else if (object->kind == MetafileObject::Kind::Brush)
        m_state.brush = *object;
    else if (object->kind == MetafileObject::Kind::Font)
        m_state.font = object->font;
}

void MetafilePlayer::Figure(const QPainterPath& logical, Paint paint)
{
    if (m_pathOpen) {
        m_path.addPath(LogicalToDevice().map(logical));
        m_figureOpen = false;
        return;
    }
    Draw(logical, paint, LogicalToDevice() * m_deviceToTarget);
}

void MetafilePlayer::Continue(const QPainterPath& logical)
{
    if (m_pathOpen) {
        const QPainterPath device = LogicalToDevice().map(logical);
        if (m_figureOpen)
            m_path.connectPath(device);
        else
            m_path.addPath(device);
        m_figureOpen = true;
    } else {
        Draw(logical, Paint::Stroke, LogicalToDevice() * m_deviceToTarget);
    }
    m_state.position = logical.currentPosition();
}

// Point types: move, line, or three Bezier points, each optionally closing its figure. An unknown
// type or a cut-off curve makes the whole record draw nothing, as in Windows.
void MetafilePlayer::PolyDraw(const MetafileRecord& record)
{
    const std::vector<QPoint>& points = record.points;
    QPainterPath path = StartingAt(m_state.position);
    for (size_t i = 0; i < points.size(); ++i) {
        const uint32_t type = record.counts[i] & ~kPointClosesFigure;
        if (type == kPointMoveTo) {
            path.moveTo(points[i]);
        } else if (type == kPointLineTo) {
            path.lineTo(points[i]);
        } else if (type == kPointBezierTo && i + kPointsPerCurve <= points.size()) {
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += kPointsPerCurve - 1;
        } else {
            return;
        }
        if (record.counts[i] & kPointClosesFigure)
            path.closeSubpath();
    }
    Continue(path);
}

void MetafilePlayer::Draw(const QPainterPath& path, Paint paint, const QTransform& toTarget)
{
    // Transforms that multiply out beyond floating point or flatten the drawing draw nothing.
    bool invertible = false;
    const QTransform toPath = toTarget.inverted(&invertible);
    if (m_state.rop2 == U_R2_NOP || !IsFinite(toTarget) || !invertible || m_visible.isEmpty())
        return;
    m_painter.setBackgroundMode(m_state.backgroundMode == MetafileDcState::kOpaque ? Qt::OpaqueMode
                                                                                    : Qt::TransparentMode);
    m_painter.setBackground(QColor(m_state.backgroundColour));
    MetafileRasterOp mix(m_painter, m_state.rop2, KeepAntialiasing());
    // The pen reaches out from the path by its width, a miter farther.
    const qreal penReach = m_state.pen.width * LargestScale(toTarget) * std::max<qreal>(m_state.miterLimit, 1) + 2;
    mix.Touch(toTarget.mapRect(path.controlPointRect())
                  .adjusted(-penReach, -penReach, penReach, penReach)
                  .intersected(m_visible));
    if (paint != Paint::Stroke)
        DrawFill(path, toTarget, toPath);
    if (paint != Paint::Fill)
        DrawStroke(path, toTarget, toPath);
}

// The black and white mixes paint every pixel with their colour whatever the object's: a hatch or a
// pattern paints solid.
MetafileObject MetafilePlayer::Mixed(MetafileObject object) const
{
    if (m_state.rop2 != U_R2_BLACK && m_state.rop2 != U_R2_WHITE)
        return object;
    object.colour = m_state.rop2 == U_R2_BLACK ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    if (object.kind == MetafileObject::Kind::Brush && object.style != U_BS_NULL)
        object.style = U_BS_SOLID;
    if (object.kind == MetafileObject::Kind::Pen && object.extended && object.penBrushStyle != U_BS_NULL)
        object.penBrushStyle = U_BS_SOLID;
    return object;
}

void MetafilePlayer::DrawFill(QPainterPath path, const QTransform& toTarget, const QTransform& toPath)
{
    const auto qtBrush = FillBrush(Mixed(m_state.brush), toTarget);
    if (!qtBrush || !ChargeFigure(path, toTarget * m_targetToFrame, {false, qreal(path.elementCount()), 0, 0}))
        return;
    // Cut close around the visible area: the edges the cut adds stay out of sight.
    const QRectF window = CutWindow();
    QPainterPath devicePath = toTarget.map(path);
    if (!window.contains(devicePath.controlPointRect())) {
        devicePath = metafile_clip::ForFill(devicePath, window);
        path = toPath.map(devicePath);
    }
    if (devicePath.isEmpty())
        return;
    path.setFillRule(m_state.fillMode == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    m_painter.setWorldTransform(toTarget);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(*qtBrush);
    // Pattern and hatch tiles hold their own background; under a raster operation Qt's opaque mode
    // would paint them inverted.
    const Qt::BGMode backgroundMode = m_painter.backgroundMode();
    if (qtBrush->style() == Qt::TexturePattern)
        m_painter.setBackgroundMode(Qt::TransparentMode);
    m_painter.drawPath(path);
    m_painter.setBackgroundMode(backgroundMode);
}

void MetafilePlayer::DrawStroke(QPainterPath path, const QTransform& toTarget, const QTransform& toPath)
{
    MetafileObject pen = Mixed(m_state.pen);
    if (pen.dashes.size() > kMostDashEntries)
        pen.dashes.resize(kMostDashEntries);
    const MetafileObject filePen = pen; // as wide as the file says, whatever is visible
    pen.width = std::min(pen.width, WidestUsefulPen(path, toTarget, m_visible));

    // A pen too wide for Qt strokes the path shrunk by a factor under a transform grown by it (a power
    // of two, so that both stay exact).
    qreal factor = 1;
    if (pen.width > kWidestQtPen) {
        factor = std::exp2(std::ceil(std::log2(qreal(pen.width) / kWidestQtPen)));
        pen.width = uint32_t(pen.width / factor);
        for (uint32_t& dash : pen.dashes)
            dash = uint32_t(std::lround(dash / factor));
    }
    const QTransform strokeToTarget = QTransform::fromScale(factor, factor) * toTarget;
    auto qtPen = metafile_style::PenFor(pen, LengthScale(strokeToTarget), m_state.miterLimit);
    if (!qtPen)
        return;
    // How wide the pen draws on the picture at most.
    const qreal penPixels = qtPen->isCosmetic() ? qtPen->widthF() : qtPen->widthF() * LargestScale(strokeToTarget);
    if (!ChargeStroke(path, filePen, *qtPen, toTarget))
        return;

    // A line that reaches farther than a picture's size beyond the visible area is cut there (Qt would
    // rasterize it to its far end). Nearer lines are drawn as they stand: a cut starts a dash pattern
    // afresh and flattens curves, which would show on a bubble that only leaves the picture a little.
    const qreal slack = std::max(m_visible.width(), m_visible.height());
    const qreal margin = std::max(slack, penPixels + kCutMarginPixels);
    const QRectF window = m_visible.adjusted(-margin, -margin, margin, margin);
    QPainterPath devicePath = toTarget.map(path);
    if (!window.contains(devicePath.controlPointRect())) {
        devicePath = metafile_clip::ForStroke(devicePath, window);
        path = toPath.map(devicePath);
    }
    if (devicePath.isEmpty())
        return;
    if (factor != 1)
        path = QTransform::fromScale(1 / factor, 1 / factor).map(path);

    // Qt outlines every dash: dashes too many to draw are drawn as the line they make up.
    const qreal deviceLength = metafile_clip::Length(devicePath);
    metafile_style::LimitDashes(*qtPen, qtPen->isCosmetic() ? deviceLength : metafile_clip::Length(path));

    // A stroke that stays within a picture's size of the visible area is Qt's to draw. Of a wider one
    // (a wide pen under a stretch, a long miter) Qt would rasterize every edge of the outline to its
    // far end: its outline is cut close around the visible area and filled.
    const qreal miter = qtPen->joinStyle() == Qt::MiterJoin ? std::max<qreal>(qtPen->miterLimit(), 1) : 1;
    const qreal reach = penPixels * miter + kCutMarginPixels;
    const QRectF covered = devicePath.controlPointRect().adjusted(-reach, -reach, reach, reach);
    if (!qtPen->isCosmetic() && !m_visible.adjusted(-slack, -slack, slack, slack).contains(covered)) {
        FillOutline(path, *qtPen, strokeToTarget);
        return;
    }
    // Qt draws a line a pixel wide or thinner pixel by pixel, and hands each column of a smoothed, nearly
    // level line to the clip on its own: under a clip of many spans each hand-over walks the clip's spans
    // from its first row (seconds for a line under a clip of stripes). Under such a clip the line is
    // filled as its outline a pixel wide, whose spans reach the clip row by row.
    if (m_clippedToSpans && penPixels <= 1) {
        QPen devicePen = *qtPen;
        devicePen.setCosmetic(false);
        devicePen.setWidthF(1);
        FillOutline(devicePath, devicePen, QTransform());
        return;
    }
    m_painter.setWorldTransform(strokeToTarget);
    m_painter.setPen(*qtPen);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPath(path);
}

void MetafilePlayer::FillOutline(const QPainterPath& path, const QPen& pen, const QTransform& toTarget)
{
    // A round end or join takes more elements the wider the pen is, as Qt flattens it to a quarter of a
    // pixel: an outline of more than Qt can make and cut quickly is left out.
    const qreal penPixels = pen.widthF() * LargestScale(toTarget);
    if (path.elementCount() * (1 + std::sqrt(penPixels / kCurveTolerancePixels)) > kMostOutlineElements)
        return;
    QPainterPathStroker stroker(pen);
    stroker.setCurveThreshold(kCurveTolerancePixels / AxisScale(toTarget));
    const QPainterPath outline = toTarget.map(stroker.createStroke(path));
    if (outline.elementCount() > kMostOutlineElements || FlattenedPoints(outline) > kMostOutlineElements)
        return;
    const QRectF window = CutWindow();
    QPainterPath cut = metafile_clip::ForFill(outline, window);
    // The pieces of such an outline overlap, and cutting moves their far sides onto the window's border:
    // where its edges cross the rows many times over, Qt's rasterizer walks every one of them on every
    // row (seconds for a wide dotted pen). A small outline is filled as its union (the same pixels);
    // a larger one is left out, as Qt takes seconds to simplify it too. An outline of ordinary
    // crossings is filled as it stands, the same pixels as Qt's own stroke.
    if (RowCrossings(cut, window) > kMostOutlineCrossings) {
        if (cut.elementCount() > kMostSimplifiedElements)
            return;
        cut = cut.simplified();
    }
    if (cut.isEmpty())
        return;
    m_painter.setWorldTransform(QTransform()); // the outline is in device pixels
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(pen.brush());
    m_painter.drawPath(cut);
}

// The pen's width and dashes in the frame's space: a geometric pen is as wide as it is there (at least a
// pixel of the reference size, and no wider than covers the neighbourhood from anywhere in it); dashes
// are counted on the whole line, to at most the number drawn.
bool MetafilePlayer::ChargeStroke(const QPainterPath& path, const MetafileObject& pen, const QPen& qtPen,
                                  const QTransform& toTarget)
{
    const QTransform toFrame = toTarget * m_targetToFrame;
    const bool geometric = !pen.extended || (pen.style & U_PS_TYPE_MASK) == U_PS_GEOMETRIC;
    const qreal widest = 2 * std::hypot(m_neighbourhood.width(), m_neighbourhood.height());
    const qreal width = geometric ? pen.width * LargestScale(toFrame) : 0;
    const qreal penFrames = std::clamp(width, 1 / kReferenceFrameSide, widest);
    FigureWork figure{true, qreal(path.elementCount()), penFrames, 0, 0};
    const qreal miter = qtPen.joinStyle() == Qt::MiterJoin ? std::max<qreal>(qtPen.miterLimit(), 1) : 1;
    figure.reach = penFrames / 2 * miter;
    figure.dashEvery = DashSpacing(pen, penFrames, geometric ? LargestScale(toFrame) : 1 / kReferenceFrameSide);
    return ChargeFigure(path, toFrame, figure);
}

bool MetafilePlayer::ChargeFigure(const QPainterPath& path, const QTransform& toFrame, const FigureWork& figure)
{
    // Measuring a figure takes about as long as drawing it: one whose elements alone cost more than is
    // left is refused first.
    if (m_frameSide <= 0 || !(figure.pieces * kWorkPerElement <= m_workLeft))
        return Spend(qInf());
    const QPainterPath framePath = InNeighbourhood(toFrame.map(path), figure.stroke);
    const Edges edges = EdgesOf(framePath);
    const QRectF box = framePath.controlPointRect();

    qreal pieces = figure.pieces;
    qreal elements = pieces;
    qreal length = edges.length;
    qreal down = edges.down;
    const qreal r = figure.reach;
    const QRectF covered = path.isEmpty() ? QRectF() : box.adjusted(-r, -r, r, r).intersected(m_neighbourhood);
    qreal area = AreaOf(covered);
    // How many edges cross a row of what is filled on average, in rows as the file lies and, on a
    // turned bubble, as the picture's rows run (level lines turned cross them all): beyond a closed
    // figure's two, or a stroke's four, each adds to every edge's cost.
    qreal alone = 2;
    qreal ends = 0;
    if (figure.stroke) {
        // Dashes too many to draw are drawn as the line they make up.
        const qreal dashes = figure.dashEvery > 0 ? edges.length / figure.dashEvery : 0;
        const qreal drawnDashes = dashes <= metafile_style::kMostDashesPerFigure ? dashes : 0;
        pieces += drawnDashes;
        // Each piece's ends and joins are flattened to a quarter of a pixel: wider pens take more elements.
        elements = pieces * (1 + std::sqrt(figure.pen * kReferenceFrameSide / kCurveTolerancePixels));
        // Both sides of the line, and the ends of each run and dash, which may run across all the pen
        // covers.
        ends = 2 * (qreal(SubpathsOf(path)) + drawnDashes);
        length = 2 * edges.length + ends * figure.pen;
        down = 2 * edges.down + ends * std::min(figure.pen, m_neighbourhood.height() / 3);
        alone = 4;
        // A stroke covers no more than its length times the pen's width, and a miter at each piece.
        area = std::min(area, edges.length * figure.pen + pieces * r * figure.pen);
    }
    // Cutting moves what lies beyond the visible area onto its border: rows the frame's height at most
    // carry all of it.
    const qreal rows = std::min(covered.height(), m_neighbourhood.height() / 3);
    qreal crossings = rows > 0 ? down / rows : 0;
    // How far slanted edges run down beyond a closed figure's (a stroke's) two (four) a row of what is
    // covered, squared: see kWorkPerFrameSideDownSquared.
    const qreal sides = figure.stroke ? 2 : 1;
    auto crowding = [alone, sides](qreal slantedDown, qreal heightCovered) {
        const qreal down = sides * slantedDown;
        const qreal alongside = alone * heightCovered;
        return down > alongside ? down * down - alongside * alongside : 0;
    };
    qreal crowded = crowding(edges.slantedDown, covered.height());
    if (!IsUpright(m_targetToFrame)) {
        // The frame's space turned back as the picture lies, its scale kept.
        const QTransform asPictureLies
            = m_targetToFrame.inverted() * QTransform::fromScale(1 / m_frameSide, 1 / m_frameSide);
        const QPainterPath turned = asPictureLies.map(framePath);
        const Edges turnedEdges = EdgesOf(turned);
        const qreal turnedDown = sides * turnedEdges.down + ends * std::min(figure.pen, m_neighbourhood.height() / 3);
        const qreal turnedHeight = turned.controlPointRect().height() + 2 * r;
        const qreal turnedRows = std::min(turnedHeight, (m_neighbourhood.width() + m_neighbourhood.height()) / 3);
        if (turnedRows > 0)
            crossings = std::max(crossings, turnedDown / turnedRows);
        crowded = std::max(crowded, crowding(turnedEdges.slantedDown, turnedHeight));
    }
    const qreal beyond = std::max<qreal>(crossings - alone, 0);
    return Spend(elements * kWorkPerElement + length * (kWorkPerFrameSide + beyond * kWorkPerFrameSideCrossing)
                     + crowded * kWorkPerFrameSideDownSquared + DrawsUnderClip(1),
                 area * kWorkPerFrame);
}

qreal MetafilePlayer::DrawsUnderClip(qreal draws, qreal perSpan) const
{
    return m_clippedToSpans ? draws * m_clipSpans * perSpan : 0;
}

qreal MetafilePlayer::ClipSpansOf(const QRegion& deviceRegion) const
{
    // A row of each rectangle within the bubble's frame for each row of the frame, the frame
    // kReferenceFrameSide rows high; upright, as regions clip on the painter only when nothing turns them.
    const QTransform deviceToFrame = m_deviceToTarget * m_targetToFrame;
    bool invertible = false;
    const QTransform frameToDevice = deviceToFrame.inverted(&invertible);
    if (!invertible)
        return 0;
    const QRectF frame(QPointF(0, 0), m_neighbourhood.size() / 3);
    const QRectF frameOnDevice = frameToDevice.mapRect(frame);
    const QRect reach = MetafileClipArea::Everything().Region().boundingRect();
    qreal rows = 0;
    for (const QRect& rect : deviceRegion.intersected(frameOnDevice.toAlignedRect().intersected(reach)))
        rows += rect.height();
    return rows * std::abs(deviceToFrame.m22()) * kReferenceFrameSide;
}

qreal MetafilePlayer::ClipSpansOf(const QPainterPath& devicePath) const
{
    // Each span has an edge crossing its row at either end.
    return EdgesOf(InNeighbourhood(m_targetToFrame.map(devicePath), false)).down / 2 * kReferenceFrameSide;
}

// Only what lies in the bubble's neighbourhood counts: far edges and areas are cut close around the
// visible area before Qt sees them.
QPainterPath MetafilePlayer::InNeighbourhood(const QPainterPath& framePath, bool stroke) const
{
    if (m_neighbourhood.contains(framePath.controlPointRect()))
        return framePath;
    return stroke ? metafile_clip::ForStroke(framePath, m_neighbourhood)
                  : metafile_clip::ForFill(framePath, m_neighbourhood);
}

bool MetafilePlayer::Spend(qreal work, qreal fill)
{
    if (!(work <= m_workLeft) || !(fill <= m_fillLeft)) {
        m_workLeft = 0;
        m_fillLeft = 0;
        return false;
    }
    m_workLeft -= work;
    m_fillLeft -= fill;
    return true;
}

qreal MetafilePlayer::FramesCovered(const QRectF& deviceBounds) const
{
    if (deviceBounds.isEmpty())
        return 0;
    QPainterPath bounds;
    bounds.addPolygon(m_targetToFrame.map(QPolygonF(deviceBounds)));
    const QPainterPath seen = metafile_clip::ForFill(bounds, m_neighbourhood);
    qreal area = 0;
    for (const QPolygonF& polygon : seen.toSubpathPolygons())
        area += AreaOf(polygon);
    return area;
}

bool MetafilePlayer::Charge(const QRectF& deviceBounds, qreal elements, qreal edgeLength)
{
    if (m_frameSide <= 0)
        return Spend(qInf());
    const qreal draws = deviceBounds.isEmpty() ? 0 : 1;
    return Spend(elements * kWorkPerElement + edgeLength / m_frameSide * kWorkPerFrameSide + DrawsUnderClip(draws),
                 FramesCovered(deviceBounds) * kWorkPerFrame);
}

bool MetafilePlayer::ChargeGlyphs(const QRectF& deviceBounds, qreal glyphs)
{
    if (m_frameSide <= 0)
        return Spend(qInf());
    return Spend(glyphs * kWorkPerGlyph + DrawsUnderClip(m_pathOpen ? 0 : glyphs, kWorkPerClipSpanWalked),
                 FramesCovered(deviceBounds) * kWorkPerFrame);
}

bool MetafilePlayer::ChargePicture(const QRectF& deviceBounds, qreal pixels)
{
    if (m_frameSide <= 0)
        return Spend(qInf());
    return Spend(pixels * kWorkPerPicturePixel + DrawsUnderClip(1), FramesCovered(deviceBounds) * kWorkPerFrame);
}

QRectF MetafilePlayer::CutWindow() const
{
    return m_visible.adjusted(-kCutMarginPixels, -kCutMarginPixels, kCutMarginPixels, kCutMarginPixels);
}

QPainterPath MetafilePlayer::CutNearVisible(const QPainterPath& devicePath) const
{
    const QRectF window = CutWindow();
    return window.contains(devicePath.controlPointRect()) ? devicePath : metafile_clip::ForFill(devicePath, window);
}

void MetafilePlayer::DrawDevicePath(Paint paint)
{
    const QPainterPath path = m_path;
    m_path = QPainterPath();
    m_figureOpen = false;
    if (paint != Paint::Stroke)
        Draw(path, Paint::Fill, m_deviceToTarget);
    if (paint != Paint::Fill) {
        // Pens are sized in logical units: stroke the path mapped back through the current
        // transforms.
        bool invertible = false;
        const QTransform deviceToLogical = LogicalToDevice().inverted(&invertible);
        if (invertible)
            Draw(deviceToLogical.map(path), Paint::Stroke, LogicalToDevice() * m_deviceToTarget);
    }
}

} // namespace platform
