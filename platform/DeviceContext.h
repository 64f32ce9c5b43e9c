#pragma once

#include "platform/DeviceState.h"
#include "platform/Rect.h"

#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QString>
#include <functional>
#include <memory>

namespace platform {

class TextLayout;

// Drawing onto one picture (a QImage of Format_BGR888 or Format_ARGB32_Premultiplied; our own pixel loops
// leave other formats alone) with the state the program's drawing code sets and restores. Coordinates of
// operations are logical: in advanced graphics mode the world transform maps them to device pixels. The
// clip region is in device pixels. The target must outlive the context and must not be shared with
// another QImage while the context exists.
class DeviceContext {
public:
    explicit DeviceContext(QImage& target);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    QImage& Target() { return m_target; }
    const DeviceState& State() const { return m_state; }
    void RestoreState(const DeviceState& state);

    // Setters answer the previous value, which callers put back.
    GraphicsModeKind SetGraphicsMode(GraphicsModeKind mode);  // leaving advanced mode needs the identity
    bool SetWorldTransform(const QTransform& transform);      // false in compatible mode
    StretchMode SetStretchMode(StretchMode mode);
    RasterOp SetRasterOp(RasterOp op);
    BackgroundMode SetBackgroundMode(BackgroundMode mode);
    QColor SetBackgroundColour(const QColor& colour);
    QColor SetTextColour(const QColor& colour);
    Pen SetPen(const Pen& pen);
    std::optional<QColor> SetBrush(const std::optional<QColor>& brush);
    PolygonFillMode SetPolygonFillMode(PolygonFillMode mode);
    QFont SetFont(const QFont& font);
    void SetClipRegion(const std::optional<QRegion>& region);
    void SetColourAdjustment(const ColourAdjustment& adjustment);

    // Fills x, y, width, height (logical) with an opaque colour, whatever the raster operation.
    void FillRect(const QRect& rect, const QColor& colour);
    // A same-size block transfer from source (srcX, srcY) onto (x, y).
    bool BlockCopy(int x, int y, int width, int height, const QImage& source, int srcX, int srcY, BlockOp op);
    // Source block onto destination block, scaled; halftone mode samples smoothly and applies the colour
    // adjustment.
    bool StretchCopy(const QRect& target, const QImage& source, const QRect& sourceRect);
    // Source over destination with the source's colours premultiplied: each source pixel is scaled by
    // constantAlpha / 255, and a 4-byte source's own alpha lets the destination through.
    bool AlphaBlend(const QRect& target, const QImage& source, const QRect& sourceRect, uint8_t constantAlpha);
    // Interior with the brush (no anti-aliasing, by the polygon fill mode), then the outline with the pen.
    void Polygon(const QPolygon& points);
    // One-pixel segments by the pen and the raster operation; each segment leaves out its end pixel.
    void Polyline(const QPolygon& points);
    // Text in the rectangle (right and bottom exclusive), by the TextFormat flags; answers the height of
    // the text. With TextFormat::CalcRect nothing is drawn and rect.bottom becomes rect.top + height.
    int DrawText(const QString& text, Rect& rect, uint32_t format);
    // The same with the text already laid out (for this context's width of rect and format).
    int DrawText(const TextLayout& layout, Rect& rect, uint32_t format);
    // Hands paint a painter set to this context's transform and clip, for pictures Qt draws whole (the
    // metafile player); what paint changes on the painter is undone afterwards.
    void PaintWith(const std::function<void(QPainter&)>& paint);

private:
    QTransform EffectiveTransform() const;
    bool IntegerOffset(QPoint& offset) const;
    QRegion DeviceClip(const QRect& deviceRect) const;
    QPainter& PreparePainter(QPainter::CompositionMode mode);
    void TransferPixels(const QRect& deviceRect, const QImage& source, QPoint sourceOrigin, BlockOp op,
                        const ColourTables* tables);
    bool DrawTransformed(const QRectF& target, const QImage& source, const QRect& sourceRect,
                         QPainter::CompositionMode mode);
    void PlotLinePixel(int x, int y, QRgb colour);

    QImage& m_target;
    DeviceState m_state;
    std::unique_ptr<QPainter> m_painter;  // begun on first use
};

} // namespace platform
