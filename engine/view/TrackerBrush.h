#pragma once

#include "engine/layers/ImageReference.h"
#include "engine/view/Tracker.h"
#include "platform/Rect.h"

class Layer;
class QTransform;

// The brush drag: stamps a small picture along each pointer segment into the alpha (the mask) of a
// picture layer's working image, inside the layer's crop rectangle only. Paint raises the mask, Erase,
// the outline tool and Magic Erase lower it; at the wizard's outline step each segment also cuts away
// everything between it and the crop rectangle's border. The view picks the target, opens the layers'
// edits and journals them; the stroke records what it touched through Layer::AddDirty.
class TrackerBrush final : public Tracker {
public:
    // Loads the stamps "paint.bki" and "erase.bki" from the program folder (g_paths); a stamp that
    // cannot be read stays empty, and strokes then draw no stamps.
    explicit TrackerBrush(DocumentView* view);
    ~TrackerBrush() override;

    bool SetCursor(PointF viewPoint) override;
    // Does nothing: a stroke is never taken back during the drag. The base's erase draws the step
    // again, which would stamp every segment twice.
    void OnErase(platform::DeviceContext& dc, PointF offset) override;
    // Applies the segment from last to current; the arguments are not used.
    void OnDraw(platform::DeviceContext& dc, PointF offset) override;
    // Closes an outline stroke that ended near its start (CloseOutline), then ends the stroke.
    void OnEndTrack() override;

    // One segment on target.
    void ApplyStroke();
    // The segment from last to current on target, or on every paintable layer when there is none.
    void ApplySegment();
    // At the outline step, a stroke whose last point lies within the stamp's reach of its first is
    // closed by the segment from the one to the other, before the view journals the stroke: a hand never
    // ends a stroke on the very pixel it began, and the sector between the two ends, out to the crop's
    // border, would keep its pixels. A stroke that ends farther away is left open.
    void CloseOutline();
    // The brush's width on the screen (view units): stamps at two points this far apart touch.
    float StampReach() const;
    // Stamp pixels to the target's content pixels for a stamp centred on a view point; false when the
    // target has no inverse transform.
    bool GetStampTransform(QTransform& m, PointF viewPoint) const;
    // The target's crop rectangle, its centre and the segment's ends, in content pixels as the Paint
    // Layer view maps them.
    void GetCropGeometry(PointF& topLeft, PointF& bottomRight, PointF& centre, PointF& lastPoint,
                         PointF& currentPoint) const;
    // Where the ray from centre through point leaves the rectangle topLeft - bottomRight: the edge
    // (0 top, 1 right, 2 bottom, 3 left) and the point. point must differ from centre.
    static int32_t RayExitOnCropRect(PointF centre, PointF point, PointF topLeft, PointF bottomRight, PointF& exit);
    // The mask of r (inclusive content pixels) into the red bytes, and back.
    void SaveAlpha(const Rect& r);
    void RestoreAlpha(const Rect& r);

    // Whether a layer can take a stroke: paintable, with a 32-bit working image and the colours it is
    // redrawn from (a layer whose content failed to load has neither).
    static bool IsPaintTarget(Layer& layer);

    ImageReference paintStamp;
    ImageReference eraseStamp;
    PointF stampSize;                 // the paint stamp's width and height; both stamps are placed by it
    float brushScale = DefaultBrushScale;
    Layer* target = nullptr;          // not owned; null: every paintable layer (Magic Erase)

    static constexpr float DefaultBrushScale = 0.25f;
};

// In place: left and top to the floor of the point's coordinates if lower, right and bottom to the
// ceiling if higher.
void GrowRectByPoint(Rect& r, PointF p);
