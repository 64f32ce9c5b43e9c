#include "platform/metafile/MetafilePlayer.h"

#include "platform/metafile/MetafileBlit.h"
#include "platform/metafile/MetafileClip.h"
#include "platform/metafile/MetafileRasterOp.h"
#include "platform/metafile/MetafileStyle.h"
#include "platform/metafile/MetafileTransforms.h"

#include <uemf.h>

#include <QPainter>
#include <cmath>

namespace platform {
namespace {

using Kind = MetafileRecordKind;

// What a raster operation draws with: the bitmap, the current brush, a constant colour, or nothing
// (the destination stays); and how Qt combines it with the destination.
struct Rop {
    enum class Uses : uint8_t { Source, Pattern, Constant, Nothing };
    Uses uses = Uses::Nothing;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    QRgb colour = 0;
};

// The raster operations drawn as Windows draws them, by their index (the code's third byte). Any
// other operation draws the bitmap as SRCCOPY would, or, without one, the brush as PATCOPY would.
Rop RopFor(uint8_t index, bool hasSource)
{
    using U = Rop::Uses;
    using M = QPainter::CompositionMode;
    switch (index) {
    case 0xCC: return {U::Source, M::CompositionMode_SourceOver};                   // SRCCOPY
    case 0x88: return {U::Source, M::RasterOp_SourceAndDestination};                // SRCAND
    case 0xEE: return {U::Source, M::RasterOp_SourceOrDestination};                 // SRCPAINT
    case 0x66: return {U::Source, M::RasterOp_SourceXorDestination};                // SRCINVERT
    case 0x44: return {U::Source, M::RasterOp_SourceAndNotDestination};             // SRCERASE
    case 0x33: return {U::Source, M::RasterOp_NotSource};                           // NOTSRCCOPY
    case 0x11: return {U::Source, M::RasterOp_NotSourceAndNotDestination};          // NOTSRCERASE
    case 0xBB: return {U::Source, M::RasterOp_NotSourceOrDestination};              // MERGEPAINT
    case 0xF0: return {U::Pattern, M::CompositionMode_SourceOver};                  // PATCOPY
    case 0x5A: return {U::Pattern, M::RasterOp_SourceXorDestination};               // PATINVERT
    case 0x55: return {U::Constant, M::RasterOp_NotDestination, qRgb(0, 0, 0)};     // DSTINVERT
    case 0x00: return {U::Constant, M::CompositionMode_SourceOver, qRgb(0, 0, 0)};  // BLACKNESS
    case 0xFF: return {U::Constant, M::CompositionMode_SourceOver, qRgb(255, 255, 255)}; // WHITENESS
    case 0xAA: return {U::Nothing};                                                 // the destination
    default: return {hasSource ? U::Source : U::Pattern, M::CompositionMode_SourceOver};
    }
}

// The transform that lays the source rectangle onto the destination rectangle (extents with their
// signs: opposite signs mirror).
QTransform RectOnto(const QRectF& source, const QRectF& destination)
{
    return QTransform::fromTranslate(-source.x(), -source.y())
        * QTransform::fromScale(destination.width() / source.width(), destination.height() / source.height())
        * QTransform::fromTranslate(destination.x(), destination.y());
}

// The source's top-left, top-right and bottom-left corners onto three points.
QTransform RectOnto(const QRectF& source, const std::array<QPoint, 3>& corners)
{
    const QPointF across = QPointF(corners[1] - corners[0]) / source.width();
    const QPointF down = QPointF(corners[2] - corners[0]) / source.height();
    return QTransform::fromTranslate(-source.x(), -source.y())
        * QTransform(across.x(), across.y(), down.x(), down.y(), corners[0].x(), corners[0].y());
}

} // namespace

void MetafilePlayer::RunBitmap(const MetafileRecord& record)
{
    switch (record.kind) {
    case Kind::SetStretchBltMode:
        if (record.value >= U_BLACKONWHITE && record.value <= U_HALFTONE)
            m_state.stretchMode = record.value;
        break;
    case Kind::SetBrushOrg: m_state.brushOrigin = record.point; break;
    case Kind::Blit: if (record.blit) Blit(*record.blit); break;
    default: break;
    }
}

// The bitmap's source rectangle is laid onto the destination; the part of it outside the bitmap
// draws nothing. A fill without a bitmap lays the unit square onto the destination.
void MetafilePlayer::Blit(const MetafileBlit& blit)
{
    const QImage* image = blit.image.get();
    const QRectF source = image ? blit.source : QRectF(0, 0, 1, 1);
    if (source.width() == 0 || source.height() == 0 || m_visible.isEmpty())
        return;
    QTransform sourceToDevice;
    switch (blit.shape) {
    case MetafileBlit::Shape::Stretch: {
        const QRectF destination(blit.destination, QSizeF(blit.destinationExtent.x(), blit.destinationExtent.y()));
        if (destination.width() == 0 || destination.height() == 0)
            return;
        sourceToDevice = RectOnto(source, destination) * LogicalToDevice();
        break;
    }
    case MetafileBlit::Shape::Unscaled: {
        const QPointF corner = LogicalToDevice().map(QPointF(blit.destination));
        sourceToDevice = RectOnto(source, QRectF(corner, QSizeF(std::abs(source.width()), std::abs(source.height()))));
        break;
    }
    case MetafileBlit::Shape::Parallelogram:
        sourceToDevice = RectOnto(source, blit.corners) * LogicalToDevice();
        break;
    }
    const QTransform toTarget = sourceToDevice * m_deviceToTarget;
    bool invertible = false;
    const QTransform toSource = toTarget.inverted(&invertible);
    if (!metafile_transform::IsUsable(toTarget) || !invertible)
        return;
    // Only the part of the source that can land on the picture is drawn: Qt would rasterize a picture
    // stretched far beyond it to its far edges.
    const QRectF window = CutWindow();
    QRectF area = image ? source.normalized().intersected(QRectF(image->rect())) : source.normalized();
    area = area.intersected(toSource.mapRect(window));
    if (area.isEmpty() || !ChargePicture(toTarget.mapRect(area), qreal(blit.pixels)))
        return;
    // A mask clips by its runs, which pay as the outline they make would to fill, at every placement: a
    // mask of many runs on every row is refused as such a figure is (turned, Qt clips with their
    // outline for seconds).
    QPainterPath maskPaths[2];
    for (const bool bit : {true, false}) {
        if (!blit.masked)
            break;
        QPainterPath runs;
        runs.addRegion((bit ? blit.maskSet : blit.maskClear).intersected(area.toAlignedRect()));
        if (!ChargeFigure(runs, toTarget * m_targetToFrame, {false, qreal(runs.elementCount()), 0, 0}))
            return;
        // On the painter's device, cut close around the visible area as figures are.
        maskPaths[bit ? 1 : 0] = CutNearVisible(toTarget.map(runs));
    }
    // Under a shear the part found can still reach far beyond the picture: then its outline is cut
    // close around the picture and filled, in device pixels.
    QPainterPath cut;
    if (!window.contains(toTarget.mapRect(area))) {
        QPainterPath outline;
        outline.addPolygon(toTarget.map(QPolygonF(area)));
        outline.closeSubpath();
        cut = metafile_clip::ForFill(outline, window);
        if (cut.isEmpty())
            return;
    }

    m_painter.save();
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, m_state.stretchMode == U_HALFTONE);
    m_painter.setWorldTransform(toTarget);
    m_painter.setOpacity(blit.constantAlpha / 255.0);
    // Pattern tiles hold their own background: Qt's opaque mode would invert them under XOR.
    m_painter.setBackgroundMode(Qt::TransparentMode);
    if (!blit.masked) {
        BlitWithRop(blit.rop, area, cut, image, toTarget);
    } else {
        // The mask picks the foreground operation where it is 1 and the background one where it is 0.
        // Under anything but an enlargement it clips as its outline.
        const bool upright = metafile_transform::IsUpright(toTarget);
        for (const bool bit : {true, false}) {
            m_painter.save();
            if (upright)
                m_painter.setClipRegion((bit ? blit.maskSet : blit.maskClear).intersected(area.toAlignedRect()),
                                        Qt::IntersectClip);
            else {
                m_painter.setWorldTransform(QTransform());
                m_painter.setClipPath(maskPaths[bit ? 1 : 0], Qt::IntersectClip);
                m_painter.setWorldTransform(toTarget);
            }
            BlitWithRop(bit ? blit.rop : blit.backgroundRop, area, cut, image, toTarget);
            m_painter.restore();
        }
    }
    m_painter.restore();
}

void MetafilePlayer::BlitWithRop(uint8_t rop, const QRectF& area, const QPainterPath& cut, const QImage* image,
                                 const QTransform& toTarget)
{
    const Rop how = RopFor(rop, image != nullptr);
    // What a raster operation touches on a picture that is not opaque becomes opaque, as for pens and
    // brushes. Antialiasing stays as it is: a picture's pixels are whole, and a mask may clip as a path,
    // which Qt would rasterize again on every change.
    MetafileRasterOp mix(m_painter, how.mode, true);
    mix.Touch((cut.isEmpty() ? toTarget.mapRect(area) : cut.controlPointRect()).intersected(m_visible));
    m_painter.setPen(Qt::NoPen);
    std::optional<QBrush> brush;
    switch (how.uses) {
    case Rop::Uses::Source:
        if (image && cut.isEmpty()) {
            m_painter.drawImage(area, *image, area);
            return;
        }
        if (image) {
            brush = QBrush(*image);
            brush->setTransform(toTarget);
        }
        break;
    case Rop::Uses::Pattern: brush = FillBrush(m_state.brush, cut.isEmpty() ? toTarget : QTransform()); break;
    case Rop::Uses::Constant: brush = QBrush(QColor(how.colour)); break;
    case Rop::Uses::Nothing: break;
    }
    if (!brush)
        return;
    m_painter.setBrush(*brush);
    if (cut.isEmpty()) {
        m_painter.drawRect(area);
    } else {
        m_painter.setWorldTransform(QTransform()); // the cut outline is in device pixels
        m_painter.drawPath(cut);
        m_painter.setWorldTransform(toTarget);
    }
}

std::optional<QBrush> MetafilePlayer::FillBrush(const MetafileObject& brush, const QTransform& toTarget) const
{
    metafile_style::BrushContext context;
    context.textColour = m_state.textColour;
    context.backgroundColour = m_state.backgroundColour;
    context.opaqueBackground = m_state.backgroundMode == MetafileDcState::kOpaque;
    bool invertible = false;
    const QTransform targetToPainter = toTarget.inverted(&invertible);
    if (!invertible)
        return std::nullopt;
    context.patternToPainter = QTransform::fromTranslate(m_state.brushOrigin.x(), m_state.brushOrigin.y())
        * m_deviceToTarget * targetToPainter;
    return metafile_style::BrushFor(brush, context);
}

} // namespace platform
