#pragma once

#include <cstdint>

// Where the step bar sends the step to highlight in the strip of step pictures at the top of the main
// window: 1 to 8, or 0 for none. The main window sets it (StepBar::SetStepImagesTarget).
class StepImagesTarget {
public:
    virtual void SetStepImages(int32_t step) = 0;

protected:
    ~StepImagesTarget() = default;
};
