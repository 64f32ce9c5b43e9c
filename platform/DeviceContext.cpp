#include "platform/DeviceContext.h"

#include "platform/PixelOps.h"

#include <cmath>

namespace platform {

namespace {

bool IsIntegral(qreal value)
{
    return value == std::floor(value);
}

// The part of the source block inside the picture, and where it lands: a block reaching outside the
// picture shrinks the destination in proportion. False when nothing is left.
bool ClipSourceBlock(const QRect& target, const QRect& sourceRect, const QImage& source, QRect& from, QRectF& to)
{
    if (target.isEmpty() || sourceRect.isEmpty())
        return false;
    from = sourceRect.intersected(source.rect());
    if (from.isEmpty())
        return false;
    const qreal scaleX = qreal(target.width()) / sourceRect.width();
    const qreal scaleY = qreal(target.height()) / sourceRect.height();
    to = QRectF(target.left() + (from.left() - sourceRect.left()) * scaleX,
                target.top() + (from.top() - sourceRect.top()) * scaleY, from.width() * scaleX, from.height() * scaleY);
    return true;
}

// The block to read from: the source itself, or a snapshot of the block when the source is the target
// (so that overlapping blocks move as a whole).
class ReadableBlock {
public:
    ReadableBlock(const QImage& source, const QRect& from, const QImage& target) : m_image(&source), m_rect(from)
    {
        if (source.constBits() != target.constBits())
            return;
        m_snapshot = source.copy(from);
        m_image = &m_snapshot;
        m_rect = m_snapshot.rect();
    }
    ReadableBlock(const ReadableBlock&) = delete;
    ReadableBlock& operator=(const ReadableBlock&) = delete;

    const QImage& Image() const { return *m_image; }
    const QRect& Rect() const { return m_rect; }

private:
    QImage m_snapshot;
    const QImage* m_image;
    QRect m_rect;
};

} // namespace

DeviceContext::DeviceContext(QImage& target) : m_target(target)
{
    // Detach now: a later detach would move the pixels away from under a painter or a row pointer.
    m_target.bits();
}

DeviceContext::~DeviceContext() = default;

void DeviceContext::RestoreState(const DeviceState& state)
{
    m_state = state;
}

GraphicsModeKind DeviceContext::SetGraphicsMode(GraphicsModeKind mode)
{
    const GraphicsModeKind previous = m_state.graphicsMode;
    if (mode == GraphicsModeKind::Compatible && !m_state.worldTransform.isIdentity())
        return previous;
    m_state.graphicsMode = mode;
    return previous;
}

bool DeviceContext::SetWorldTransform(const QTransform& transform)
{
    if (m_state.graphicsMode != GraphicsModeKind::Advanced)
        return false;
    m_state.worldTransform = transform;
    return true;
}

StretchMode DeviceContext::SetStretchMode(StretchMode mode)
{
    return std::exchange(m_state.stretchMode, mode);
}

RasterOp DeviceContext::SetRasterOp(RasterOp op)
{
    return std::exchange(m_state.rasterOp, op);
}

BackgroundMode DeviceContext::SetBackgroundMode(BackgroundMode mode)
{
    return std::exchange(m_state.backgroundMode, mode);
}

QColor DeviceContext::SetBackgroundColour(const QColor& colour)
{
    return std::exchange(m_state.backgroundColour, colour);
}

QColor DeviceContext::SetTextColour(const QColor& colour)
{
    return std::exchange(m_state.textColour, colour);
}

Pen DeviceContext::SetPen(const Pen& pen)
{
    return std::exchange(m_state.pen, pen);
}

std::optional<QColor> DeviceContext::SetBrush(const std::optional<QColor>& brush)
{
    return std::exchange(m_state.brush, brush);
}

PolygonFillMode DeviceContext::SetPolygonFillMode(PolygonFillMode mode)
{
    return std::exchange(m_state.polygonFillMode, mode);
}

QFont DeviceContext::SetFont(const QFont& font)
{
    return std::exchange(m_state.font, font);
}

void DeviceContext::SetClipRegion(const std::optional<QRegion>& region)
{
    m_state.clipRegion = region;
}

void DeviceContext::SetColourAdjustment(const ColourAdjustment& adjustment)
{
    m_state.colourAdjustment = adjustment;
}

QTransform DeviceContext::EffectiveTransform() const
{
    return m_state.graphicsMode == GraphicsModeKind::Advanced ? m_state.worldTransform : QTransform();
}

// True when logical coordinates reach the device by a whole-pixel shift alone: then blocks are moved by
// our own loops, exactly, instead of being resampled.
bool DeviceContext::IntegerOffset(QPoint& offset) const
{
    const QTransform transform = EffectiveTransform();
    if (transform.type() > QTransform::TxTranslate || !IsIntegral(transform.dx()) || !IsIntegral(transform.dy()))
        return false;
    offset = QPoint(static_cast<int>(transform.dx()), static_cast<int>(transform.dy()));
    return true;
}

QRegion DeviceContext::DeviceClip(const QRect& deviceRect) const
{
    QRegion region = QRegion(deviceRect.intersected(m_target.rect()));
    if (m_state.clipRegion)
        region &= *m_state.clipRegion;
    return region;
}

QPainter& DeviceContext::PreparePainter(QPainter::CompositionMode mode)
{
    if (!m_painter)
        m_painter = std::make_unique<QPainter>(&m_target);
    QPainter& painter = *m_painter;
    // The clip is set under the identity so that it stays in device pixels.
    painter.resetTransform();
    if (m_state.clipRegion)
        painter.setClipRegion(*m_state.clipRegion);
    else
        painter.setClipping(false);
    painter.setTransform(EffectiveTransform());
    painter.setCompositionMode(mode);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_state.stretchMode == StretchMode::Halftone);
    return painter;
}

void DeviceContext::PaintWith(const std::function<void(QPainter&)>& paint)
{
    QPainter& painter = PreparePainter(QPainter::CompositionMode_SourceOver);
    painter.save();
    paint(painter);
    painter.restore();
}

void DeviceContext::TransferPixels(const QRect& deviceRect, const QImage& source, QPoint sourceOrigin, BlockOp op,
                                   const ColourTables* tables)
{
    const int targetBytes = pixels::PixelBytes(m_target);
    const int sourceBytes = pixels::PixelBytes(source);
    for (const QRect& part : DeviceClip(deviceRect)) {
        const int sx = sourceOrigin.x() + part.left() - deviceRect.left();
        const int sy = sourceOrigin.y() + part.top() - deviceRect.top();
        for (int row = 0; row < part.height(); ++row) {
            uint8_t* target = m_target.scanLine(part.top() + row) + part.left() * targetBytes;
            const uint8_t* from = source.constScanLine(sy + row) + sx * sourceBytes;
            if (op == BlockOp::SourceInvert)
                pixels::XorRow(target, targetBytes, from, sourceBytes, part.width());
            else if (tables)
                pixels::MapRow(target, targetBytes, from, sourceBytes, part.width(), *tables);
            else
                pixels::CopyRow(target, targetBytes, from, sourceBytes, part.width());
        }
    }
}

bool DeviceContext::DrawTransformed(const QRectF& target, const QImage& source, const QRect& sourceRect,
                                    QPainter::CompositionMode mode)
{
    QPainter& painter = PreparePainter(mode);
    painter.drawImage(target, source, QRectF(sourceRect));
    return true;
}

void DeviceContext::FillRect(const QRect& rect, const QColor& colour)
{
    if (rect.isEmpty())
        return;
    QPoint offset;
    if (!IntegerOffset(offset)) {
        PreparePainter(QPainter::CompositionMode_Source).fillRect(QRectF(rect), colour.rgb());
        return;
    }
    const int targetBytes = pixels::PixelBytes(m_target);
    if (targetBytes == 0)
        return;
    for (const QRect& part : DeviceClip(rect.translated(offset))) {
        for (int y = part.top(); y <= part.bottom(); ++y)
            pixels::FillRow(m_target.scanLine(y) + part.left() * targetBytes, targetBytes, colour.rgb(), part.width());
    }
}

bool DeviceContext::BlockCopy(int x, int y, int width, int height, const QImage& source, int srcX, int srcY,
                              BlockOp op)
{
    if (pixels::PixelBytes(source) == 0 || pixels::PixelBytes(m_target) == 0)
        return false;
    QRect from;
    QRectF to;
    if (!ClipSourceBlock(QRect(x, y, width, height), QRect(srcX, srcY, width, height), source, from, to))
        return true;
    const ReadableBlock block(source, from, m_target);
    QPoint offset;
    if (IntegerOffset(offset)) {
        TransferPixels(to.toRect().translated(offset), block.Image(), block.Rect().topLeft(), op, nullptr);
        return true;
    }
    if (op == BlockOp::SourceCopy)
        return DrawTransformed(to, block.Image(), block.Rect(), QPainter::CompositionMode_Source);
    // Invert under a transform: resample the block onto a transparent black picture of the covered
    // device pixels, then XOR that in; uncovered pixels are black there and so stay unchanged.
    const QRect covered = EffectiveTransform().mapRect(to).toAlignedRect().intersected(m_target.rect());
    if (covered.isEmpty())
        return true;
    QImage resampled(covered.size(), QImage::Format_ARGB32_Premultiplied);
    resampled.fill(0);
    {
        QPainter painter(&resampled);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, m_state.stretchMode == StretchMode::Halftone);
        painter.setTransform(EffectiveTransform() * QTransform::fromTranslate(-covered.left(), -covered.top()));
        painter.drawImage(to, block.Image(), QRectF(block.Rect()));
    }
    TransferPixels(covered, resampled, QPoint(0, 0), BlockOp::SourceInvert, nullptr);
    return true;
}

bool DeviceContext::StretchCopy(const QRect& target, const QImage& source, const QRect& sourceRect)
{
    const int bytes = pixels::PixelBytes(source);
    if (bytes == 0 || pixels::PixelBytes(m_target) == 0)
        return false;
    QRect from;
    QRectF to;
    if (!ClipSourceBlock(target, sourceRect, source, from, to))
        return true;
    const ColourTables tables =
        m_state.stretchMode == StretchMode::Halftone ? m_state.colourAdjustment.Tables() : ColourTables{};
    const ColourTables* mapping = tables.identity ? nullptr : &tables;
    QPoint offset;
    if (target.size() == sourceRect.size() && IntegerOffset(offset)) {
        const ReadableBlock block(source, from, m_target);
        TransferPixels(to.toRect().translated(offset), block.Image(), block.Rect().topLeft(), BlockOp::SourceCopy,
                       mapping);
        return true;
    }
    if (!mapping) {
        const ReadableBlock block(source, from, m_target);
        return DrawTransformed(to, block.Image(), block.Rect(), QPainter::CompositionMode_Source);
    }
    // The colour adjustment works level by level, so it can run on the source block before resampling.
    QImage adjusted(from.size(), source.format());
    for (int row = 0; row < from.height(); ++row) {
        pixels::MapRow(adjusted.scanLine(row), bytes, source.constScanLine(from.top() + row) + from.left() * bytes,
                       bytes, from.width(), tables);
    }
    return DrawTransformed(to, adjusted, adjusted.rect(), QPainter::CompositionMode_Source);
}

bool DeviceContext::AlphaBlend(const QRect& target, const QImage& source, const QRect& sourceRect,
                               uint8_t constantAlpha)
{
    const int sourceBytes = pixels::PixelBytes(source);
    if (sourceBytes == 0 || pixels::PixelBytes(m_target) == 0)
        return false;
    QRect from;
    QRectF to;
    if (constantAlpha == 0 || !ClipSourceBlock(target, sourceRect, source, from, to))
        return true;
    if (constantAlpha == pixels::Opaque) {
        const ReadableBlock block(source, from, m_target);
        return DrawTransformed(to, block.Image(), block.Rect(), QPainter::CompositionMode_SourceOver);
    }
    // The constant alpha scales every byte of the source (alpha too) before the blend, in our rounding:
    // Qt's own opacity would round through another scale.
    QImage scaled(from.size(), QImage::Format_ARGB32_Premultiplied);
    for (int row = 0; row < from.height(); ++row) {
        pixels::ScaleByAlphaRow(scaled.scanLine(row), source.constScanLine(from.top() + row) + from.left() * sourceBytes,
                                sourceBytes, constantAlpha, from.width());
    }
    return DrawTransformed(to, scaled, scaled.rect(), QPainter::CompositionMode_SourceOver);
}

} // namespace platform
