#pragma once

#include "engine/layers/PointF.h"
#include "engine/view/TrackMessage.h"

#include <cstdint>

class Document;
class DocumentView;
namespace platform {
class DeviceContext;
}

// A mouse drag on the editing view, run by Track: the view grabs the mouse and the keyboard, and each
// pointer message that moves the point erases what the last one drew and draws again (OnErase, OnDraw
// with the offset from the anchor). The concrete trackers (the frame and the brush) override the
// virtual operations; every one has a body here. All points are view units (client pixels as floats).
class Tracker {
public:
    explicit Tracker(DocumentView* view);
    virtual ~Tracker();
    Tracker(const Tracker&) = delete;
    Tracker& operator=(const Tracker&) = delete;

    // Chooses the cursor for a view point; false when this tracker has none to show there.
    virtual bool SetCursor(PointF viewPoint);
    // Sets tracking to the drag's code; 0 refuses the drag.
    virtual void OnBeginTrack(platform::DeviceContext& dc);
    // Draws the step at offset again, which erases it when it was drawn in XOR mode.
    virtual void OnErase(platform::DeviceContext& dc, PointF offset);
    virtual void OnDraw(platform::DeviceContext& dc, PointF offset);
    virtual void OnEndTrack();
    virtual void AdjustPoint(int32_t message, uint32_t wParam, PointF& point);
    virtual void OnKey(int32_t message, uint32_t wParam, uint16_t repeat, uint16_t keyFlags);

    // Runs the drag from start until the left button is released, Escape is pressed or the drag is
    // taken away, and answers the code tracking had then (the drag so far counts). 0, with no
    // operation called, when another widget holds the mouse grab or OnBeginTrack refused. With
    // clipCursor the points stay inside the view's client area. dc stays the caller's.
    int32_t Track(platform::DeviceContext& dc, PointF start, bool clipCursor);

    // The drag's rules without its loop, in the order Track calls them. BeginTrack answers whether a
    // drag begins; HandleMessage whether it goes on; EndTrack ends it and answers its code.
    bool BeginTrack(platform::DeviceContext& dc, PointF start);
    bool HandleMessage(platform::DeviceContext& dc, const TrackMessage& message);
    int32_t EndTrack();

    DocumentView* const view;   // not owned
    PointF anchor;              // where the drag began
    PointF current;             // the point of the message being handled
    PointF last;                // the previous point that changed
    int32_t tracking = 0;       // 0: no drag; otherwise the concrete tracker's code for it

protected:
    // The view's document, or null.
    Document* GetDocument() const;
    // A view point in document pixels (the view's own mapping).
    PointF ViewToDocPoint(PointF viewPoint) const;
};
