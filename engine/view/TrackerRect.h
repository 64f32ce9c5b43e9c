#pragma once

#include "engine/layers/LayerInfo.h"
#include "engine/view/HandleCode.h"
#include "engine/view/Tracker.h"

#include <QRect>

// The frame around the selected layer and the drag that moves, resizes, rotates, scales or crops it.
// The LayerInfo base is a working copy of the selected layer; the tracker never changes a layer: the
// view journals what ApplyOffset hands back as differences. Corners are view units, from the frame
// last computed (hit tests use the frame as last drawn).
class TrackerRect final : public Tracker, public LayerInfo {
public:
    explicit TrackerRect(DocumentView* view);
    ~TrackerRect() override;

    bool SetCursor(PointF viewPoint) override;
    void OnBeginTrack(platform::DeviceContext& dc) override;
    void OnDraw(platform::DeviceContext& dc, PointF offset) override;

    // The copy := the selected layer's LayerInfo; without one the copy's transform is reset.
    void LoadCurrentLayer();
    void ComputeFrame();
    // The frame as a dotted XOR polyline; drawing it twice leaves the pixels as they were.
    void DrawFrame(platform::DeviceContext& dc, bool reload);
    HandleCode HitTest(PointF viewPoint) const;
    bool PtInLayer(PointF viewPoint) const;
    // Changes the copy by a drag of (dx, dy) view units on handle h. A step whose result would not be
    // finite changes nothing.
    void ApplyDrag(int32_t h, bool keepRatio, float dx, float dy);
    // The whole drag's result: out holds the copy with the fields that belong to h replaced by their
    // differences, dragged minus current; the copy itself is left as it was.
    void ApplyOffset(int32_t h, LayerInfo& out);
    float FlipSign(float x) const;

    PointF topLeft;
    PointF topRight;
    PointF bottomRight;
    PointF bottomLeft;

    static constexpr float CornerRadius = 6.0f;
    static constexpr float EdgeTolerance = 5.0f;

private:
    int32_t Tool() const;
    int32_t ViewMode() const;
    bool LockResizeRatio() const;
    void ApplyEdgeOrMove(int32_t h, bool keepRatio, PointF d);
    void ApplyCrop(int32_t h, PointF d);
    // The view rectangle the frame's pixels lie in, empty when the frame cannot be drawn.
    QRect FrameBounds() const;
};
