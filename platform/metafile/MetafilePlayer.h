#pragma once

#include "platform/metafile/MetafileDcState.h"
#include "platform/metafile/MetafileHeader.h"
#include "platform/metafile/MetafileObjectTable.h"
#include "platform/metafile/MetafileRecord.h"

#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QTransform>
#include <vector>

class QPainter;

namespace platform {

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
    // A play may do this much: 1,000 bubble-sized figures filled and outlined take a little over half
    // of it, 10,000 glyphs a fortieth, 16 megapixels of pictures a tenth.
    static constexpr qreal kWorkPerPlay = 8e6;
    // Outlining, flattening and cutting a path element.
    static constexpr qreal kWorkPerElement = 1;
    // Rasterizing a frame side of edges where they do not overlap. Where more edges cross a pixel row
    // than a closed figure's two, Qt's rasterizer walks the row's cells for each new one: each edge
    // crossing a row beyond two adds kWorkPerFrameSideCrossing to every frame side of the figure's edges.
    static constexpr qreal kWorkPerFrameSide = 36;
    static constexpr qreal kWorkPerFrameSideCrossing = 360;
    // Filling a frame's area (of the box of what is covered, within a frame's width and height around
    // the frame: what lies farther is cut close around the visible area before Qt sees it).
    static constexpr qreal kWorkPerFrame = 4000;
    // A glyph's outline (its area is charged as a figure's), a pixel decoded and converted.
    static constexpr qreal kWorkPerGlyph = 20;
    static constexpr qreal kWorkPerPicturePixel = 0.05;

private:
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
    bool Spend(qreal work);
    // Frame units of area within the bubble's neighbourhood that deviceBounds covers.
    qreal FramesCovered(const QRectF& deviceBounds) const;
    void DrawDevicePath(Paint paint);

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
    MetafileObjectTable m_objects;
    MetafileDcState m_state;
    std::vector<MetafileDcState> m_saved;
    QPainterPath m_path;       // reference-device units
    bool m_pathOpen = false;   // between BEGINPATH and ENDPATH
    bool m_figureOpen = false; // the path's last figure continues from the current position
};

} // namespace platform
