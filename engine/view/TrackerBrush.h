#pragma once

#include "engine/view/Tracker.h"

class Layer;

// The brush drag: paints a picture layer's mask back in (Paint), takes it away (Erase, Magic Erase) or
// outlines the face at the wizard's outline step. The view picks the target and journals the edit.
class TrackerBrush final : public Tracker {
public:
    explicit TrackerBrush(DocumentView* view);
    ~TrackerBrush() override;

    bool SetCursor(PointF viewPoint) override;
    void OnEndTrack() override;

    float brushScale = DefaultBrushScale;
    Layer* target = nullptr;  // not owned; null: every paintable layer (Magic Erase)

    static constexpr float DefaultBrushScale = 0.25f;
};
