#pragma once

#include "platform/metafile/MetafileDcState.h"
#include "platform/metafile/MetafileHeader.h"
#include "platform/metafile/MetafileObjectTable.h"
#include "platform/metafile/MetafileRecord.h"
#include "platform/metafile/MetafileTextFonts.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QTransform>
#include <array>
#include <optional>
#include <vector>

namespace platform {

struct MetafileBlit;

// Draws decoded metafile records with a QPainter, keeping the device context state they set.
// Figures are drawn in logical units under logical-to-device-to-target, so pens widen with the
// transforms; a path between BEGINPATH and ENDPATH is kept in reference-device units, as
// Windows keeps it, and filled or stroked later.
class MetafilePlayer {
public:
    // deviceToTarget maps reference-device units to the painter's device (its world transform
    // included); visible is the painter's whole device in device pixels, never just its clip, so that
    // a part drawn under a clip comes out as that part of the whole drawing. The painter's state is
    // the caller's to save and restore.
    MetafilePlayer(QPainter& painter, const MetafileHeader& header, const QTransform& deviceToTarget,
                   const QRectF& visible);

    // Plays records until they end or the play's work budget is spent.
    void Play(const std::vector<MetafileRecord>& records);

    // The play's work budget is counted in the metafile's own terms, so that the same file draws the
    // same (all of it, or cut at the same record) at every size and placement: path elements, glyphs,
    // pixels decoded, and edge length and area measured against the bubble's frame (a frame side is the
    // square root of the frame's area; a frame is its area). Each weight is about the microseconds the
    // work takes with the bubble over a 4096 x 3072 picture (a frame side of some 3,500 pixels).
    // Filling area and all other work are kept apart: the area that 1,000 bubble-sized figures fill
    // takes seconds over a large picture and must be drawn, while nothing else an ordinary bubble holds
    // comes near a second. A play may fill kFillPerPlay (1,000 bubble-sized figures filled and
    // outlined take four fifths of it) and do kWorkPerPlay of everything else (their outlines take
    // half of it, 10,000 glyphs a fifth, 16 megapixels of pictures a third).
    static constexpr qreal kFillPerPlay = 5e6;
    static constexpr qreal kWorkPerPlay = 1e6;
    // Outlining, flattening and cutting a path element.
    static constexpr qreal kWorkPerElement = 1;
    // Rasterizing a frame side of edges where they do not overlap. Where more edges cross a pixel row
    // than a closed figure's two, Qt's rasterizer walks the row's cells for each new one: each edge
    // crossing a row beyond two adds kWorkPerFrameSideCrossing to every frame side of the figure's edges.
    static constexpr qreal kWorkPerFrameSide = 36;
    static constexpr qreal kWorkPerFrameSideCrossing = 360;
    // Qt's smoothing rasterizer takes time that grows with the square of the rows its slanted edges run
    // down in all (16 slanted stripes 3,072 rows high take 2 s, 1,536 high 0.5 s; upright ones 1,536
    // high 6 ms). A closed figure's two edges a row of its box (a stroke's four) are paid for by its
    // area; each frame side squared of slanted edges running down beyond them costs this.
    static constexpr qreal kWorkPerFrameSideDownSquared = 2500;
    // Filling a frame's area (of the box of what is covered, within a frame's width and height around
    // the frame: what lies farther is cut close around the visible area before Qt sees it).
    static constexpr qreal kWorkPerFrame = 4000;
    // A glyph's outline (its area is charged as a figure's), a pixel decoded and converted.
    static constexpr qreal kWorkPerGlyph = 20;
    static constexpr qreal kWorkPerPicturePixel = 0.02;
    // Under a clip of more than one rectangle: a span of the clip painted for a figure or picture (one
    // may cover all of them), and one walked past for each glyph.
    static constexpr qreal kWorkPerClipSpanPainted = 1.0 / 40;
    static constexpr qreal kWorkPerClipSpanWalked = 1.0 / 250;
    // Text fills at most this many coverings of the visible area with glyphs in one play: a page of
    // text covers less than one.
    static constexpr qreal kGlyphCoveringsPerPlay = 16;

private:
    enum class Paint { Fill, Stroke, FillAndStroke };

    void Run(const MetafileRecord& record);
    void RunState(const MetafileRecord& record);
    void RunFigure(const MetafileRecord& record);
    void RunPath(const MetafileRecord& record);
    void RunText(const MetafileRecord& record);   // MetafilePlayText.cpp
    void RunBitmap(const MetafileRecord& record); // MetafilePlayBitmap.cpp
    void RunRegion(const MetafileRecord& record); // MetafilePlayRegion.cpp

    QRectF FigureBox(const Rect& box) const;
    void SetMapMode(uint32_t mode);
    void SetWorld(const QTransform& world);
    void ModifyWorld(const MetafileRecord& record);
    void RestoreDc(int32_t which);
    void Select(uint32_t index);

    QTransform PageTransform() const;
    QTransform LogicalToDevice() const { return m_state.world * PageTransform(); }

    // A figure that does not use the current position: joins the path, or is drawn.
    void Figure(const QPainterPath& logical, Paint paint);
    // Lines and curves from the current position (the path starts there); moves the position to
    // the path's end.
    void Continue(const QPainterPath& logical);
    void PolyDraw(const MetafileRecord& record);
    // Fills and strokes path under toTarget (path units to the painter's device).
    void Draw(const QPainterPath& path, Paint paint, const QTransform& toTarget);
    // toPath is toTarget's inverse.
    void DrawFill(QPainterPath path, const QTransform& toTarget, const QTransform& toPath);
    void DrawStroke(QPainterPath path, const QTransform& toTarget, const QTransform& toPath);
    // Fills path's outline under pen, cut close around the visible area, in device pixels.
    void FillOutline(const QPainterPath& path, const QPen& pen, const QTransform& toTarget);
    MetafileObject Mixed(MetafileObject object) const;
    // Takes work from the budget: path elements, the length of the edges Qt will rasterize (device
    // pixels) and the area the bounds cover (device pixels, counted within the bubble's neighbourhood
    // only), all converted to the frame's terms. False, and the budget spent, when it costs more than
    // is left: the play stops there.
    bool Charge(const QRectF& deviceBounds, qreal elements, qreal edgeLength);
    // The same for text (glyphs drawn, each a few path elements) and pictures (pixels decoded or
    // sampled), with deviceBounds the target pixels they cover.
    bool ChargeGlyphs(const QRectF& deviceBounds, qreal glyphs);
    bool ChargePicture(const QRectF& deviceBounds, qreal pixels);
    // A figure's cost, measured on the whole path (seen or not) in the frame's space (toFrame: path
    // units to it), so that it is the same at every size and turn. A fill's edges are the path's; a
    // stroke's are its two sides and the ends of its pieces (segments and dashes), pen frame sides wide,
    // and its box grows by reach.
    struct FigureWork {
        bool stroke = false;
        qreal pieces = 0;
        qreal pen = 0;
        qreal reach = 0;
        qreal dashEvery = 0; // frame sides of line per dash; 0 when solid
    };
    bool ChargeFigure(const QPainterPath& path, const QTransform& toFrame, const FigureWork& figure);
    // A stroke of path (path units; toTarget maps them to the painter's device) with the file's pen,
    // which Qt draws as qtPen.
    bool ChargeStroke(const QPainterPath& path, const MetafileObject& pen, const QPen& qtPen,
                      const QTransform& toTarget);
    // Takes work and fill from their budgets; false, and both spent, when either is short.
    bool Spend(qreal work, qreal fill = 0);
    // What handing draws to the painter costs under the metafile's clip: Qt paints each span of the clip
    // that a draw covers on its own, and walks the clip's spans from its first row for each batch of
    // pixels that lands on a row the clip leaves empty.
    qreal DrawsUnderClip(qreal draws, qreal perSpan = kWorkPerClipSpanPainted) const;
    // The spans Qt keeps for a clip within the bubble's frame, counted as over the reference frame: of a
    // region (reference-device units, upright on the painter) or of a path on the painter's device.
    qreal ClipSpansOf(const QRegion& deviceRegion) const;
    qreal ClipSpansOf(const QPainterPath& devicePath) const;
    // A path in the frame's space cut to the bubble's neighbourhood, as a stroke or as a fill.
    QPainterPath InNeighbourhood(const QPainterPath& framePath, bool stroke) const;
    // Frame units of area within the bubble's neighbourhood that deviceBounds covers.
    qreal FramesCovered(const QRectF& deviceBounds) const;
    void DrawDevicePath(Paint paint);

    // Pictures and pattern brushes (MetafilePlayBitmap.cpp).
    void Blit(const MetafileBlit& blit);
    // Draws area (bitmap pixels, or the unit square of a fill without a bitmap) with one raster
    // operation under toTarget, the painter's current transform; or, when cut is not empty, cut (area's
    // outline cut around the picture, in device pixels).
    void BlitWithRop(uint8_t rop, const QRectF& area, const QPainterPath& cut, const QImage* image,
                     const QTransform& toTarget);
    // The Qt brush of a metafile brush for a fill drawn under toTarget: patterns and hatches keep to
    // the reference device's pixels from the brush origin.
    std::optional<QBrush> FillBrush(const MetafileObject& brush, const QTransform& toTarget) const;
    // Text (MetafilePlayText.cpp): one string of a text record, in the record's graphics mode.
    void DrawTextString(const MetafileTextString& string, bool advanced);
    // turn: each glyph's own turn about its origin, in text space.
    void DrawGlyphs(const QRawFont& raw, const QList<quint32>& glyphs, const QList<QPointF>& positions,
                    const QTransform& textToTarget, const QTransform& turn, bool asOutlines, const QColor& colour);
    // A rectangle filled behind text (on the painter's device), cut close around the visible area.
    QPainterPath CutBox(const QPolygonF& box) const;
    bool ChargeBox(const QPainterPath& box);
    // Clipping, regions, path conversions, gradients and pixels (MetafilePlayRegion.cpp).
    // Combines the clip with area (reference-device units) by a region mode.
    void CombineClip(const MetafileClipArea& area, uint32_t mode);
    void SetClip(std::optional<MetafileClipArea> clip);
    // Sets the painter's clip: the caller's, and where the metafile has a clip also the bubble's
    // rectangle and the clip with the meta region.
    void ApplyClip();
    void ClipToPath(const MetafileClipArea& area, Qt::ClipOperation first);
    // The visible area and a margin, in device pixels: paths reaching beyond it are cut to it, as Qt
    // rasterizes every edge to its far end.
    QRectF CutWindow() const;
    // A path to be filled (device pixels) cut close around the visible area, when it reaches beyond.
    QPainterPath CutNearVisible(const QPainterPath& devicePath) const;
    // Whether antialiasing must stay as it is: Qt rasterizes a clip path again whenever it is turned
    // on or off, and the painter's clip may hold one (the metafile's, or the caller's).
    bool KeepAntialiasing() const;
    // A rectangle in logical units, right and bottom edges left out, on the reference device.
    MetafileClipArea LogicalRectangle(const Rect& box) const;
    // Fills a region (reference-device units) with brush under a Qt composition mode.
    void PaintArea(const QRegion& region, const QBrush& brush, QPainter::CompositionMode mode);
    void FrameRegion(const MetafileRecord& record);
    void WidenPath();
    void FlattenPath();
    void GradientFill(const MetafileGradient& gradient);
    void GradientTriangle(const MetafileGradient& gradient, const std::array<uint32_t, 3>& mesh,
                          const QTransform& toTarget);
    void SetPixel(const MetafileRecord& record);

    QPainter& m_painter;
    const MetafileHeader& m_header;
    QTransform m_deviceToTarget;
    QRectF m_visible;
    QPolygonF m_bubble; // the frame, the bubble's own rectangle, on the painter's device in pixels
    // Budget: the painter's device to the frame's space, in which the frame's area is 1 and its left-top
    // corner is at the origin; the frame grown by its width and height on each side there; a frame side
    // in device pixels. m_frameSide is 0 when the bubble is flattened to nothing.
    QTransform m_targetToFrame;
    QRectF m_neighbourhood;
    qreal m_frameSide = 0;
    qreal m_workLeft = kWorkPerPlay;
    qreal m_fillLeft = kFillPerPlay;
    MetafileObjectTable m_objects;
    MetafileDcState m_state;
    std::vector<MetafileDcState> m_saved;
    QPainterPath m_path;       // reference-device units
    bool m_pathOpen = false;   // between BEGINPATH and ENDPATH
    bool m_figureOpen = false; // the path's last figure continues from the current position
    // Text: the faces found so far, and how much more glyph area (in device pixels) this play fills
    // before it stops drawing glyphs (only glyphs drawn over one another by the thousand reach it).
    MetafileTextFonts m_fonts;
    qreal m_glyphAreaLeft = 0;
    // The caller's clip in device pixels, taken when the metafile first clips.
    std::optional<QPainterPath> m_callerClip;
    bool m_callerClipTaken = false;
    bool m_clippedByPath = false; // the painter's clip holds a path of the metafile's
    bool m_clippedToSpans = false; // the metafile's clip on the painter is more than one rectangle
    qreal m_clipSpans = 0;         // and how many spans it holds (ClipSpansOf)
};

} // namespace platform
