#pragma once

#include <QString>
#include <cstdint>

// What the step bar shows for a wizard state: the step number the user sees, the line of text and the
// help tip with its follow-up.
struct StepRow {
    int32_t step;     // (state + 1) >> 1: 0 before Start, 1 to 8 after
    QString text;
    int32_t tip;      // 1 to 11, or NoTip
    int32_t nextTip;  // the tip that follows at Continue, or 0 for none

    static constexpr int32_t NoTip = -1;
};

// The row of a state; 16 and every state outside the table give an empty text and no tip.
StepRow StepRowFor(int32_t state);

// The step number of a state: an arithmetic shift, so -1 gives 0 and 16 gives 8.
constexpr int32_t StepNumber(int32_t state)
{
    return (state + 1) >> 1;
}
