#pragma once

#include <cstdint>

// What the document asks of the step bar: show a wizard state's text and pictures and, unless noTip is
// set (or tips are off, or an undo runs), its help tip. The step bar sets g_stepBar while it exists.
class StepBarLink {
public:
    virtual void SetStep(int32_t state, bool noTip) = 0;

protected:
    ~StepBarLink() = default;
};

// The step bar, or null while there is none.
extern StepBarLink* g_stepBar;
