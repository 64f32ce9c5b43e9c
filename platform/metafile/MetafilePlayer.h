#pragma once

#include "platform/metafile/MetafileDcState.h"
#include "platform/metafile/MetafileHeader.h"
#include "platform/metafile/MetafileObjectTable.h"
#include "platform/metafile/MetafileRecord.h"

#include <QPainterPath>
#include <QTransform>
#include <vector>

class QPainter;

namespace platform {

// Draws decoded metafile records with a QPainter, keeping the device context state they set.
// Figures are drawn in logical units under logical-to-device-to-target, so pens widen with the
// transforms; a path between BEGINPATH and ENDPATH is kept in reference-device units, as the
// platform keeps it, and filled or stroked later.
class MetafilePlayer {
public:
    // deviceToTarget maps reference-device units to the painter's device (its world transform
    // included). The painter's state is the caller's to save and restore.
    MetafilePlayer(QPainter& painter, const MetafileHeader& header, const QTransform& deviceToTarget);

    void Play(const std::vector<MetafileRecord>& records);

private:
    enum class Paint { Fill, Stroke, FillAndStroke };

    void Run(const MetafileRecord& record);
    void RunState(const MetafileRecord& record);
    void RunFigure(const MetafileRecord& record);
    void RunPath(const MetafileRecord& record);

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
    void Draw(QPainterPath path, Paint paint, const QTransform& toTarget);
    void DrawDevicePath(Paint paint);

    QPainter& m_painter;
    const MetafileHeader& m_header;
    QTransform m_deviceToTarget;
    MetafileObjectTable m_objects;
    MetafileDcState m_state;
    std::vector<MetafileDcState> m_saved;
    QPainterPath m_path;       // reference-device units
    bool m_pathOpen = false;   // between BEGINPATH and ENDPATH
    bool m_figureOpen = false; // the path's last figure continues from the current position
};

} // namespace platform
