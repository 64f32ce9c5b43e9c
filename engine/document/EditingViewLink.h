#pragma once

#include "engine/layers/PointF.h"

#include <cstdint>

// What the document's commands ask of the editing view: the three drag commands run its frame tracker
// from a point of the selected layer, and the brush commands set its brush. The view is a widget, which
// the document cannot include: it answers DocumentObserver::AsEditingView with this link, and the
// document finds it among its views (Document::GetEditingView).
class EditingViewLink {
public:
    // Puts the mouse cursor on the document point and runs the frame tracker from there; returns when
    // the drag has ended (the document's tool is forced for that long). True when the drag changed the
    // layer.
    virtual bool TrackFromDocPoint(PointF docPoint) = 0;
    // 16, 32 or 48: the brush scale and the brush cursors; any other size changes nothing.
    virtual void SetBrushSize(int32_t size) = 0;

protected:
    ~EditingViewLink() = default;
};
