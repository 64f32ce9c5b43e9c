#pragma once

#include <QImage>

// The eight step pictures of the strip at the top of the main window, 48 pixels high: the step's
// number in large figures and a two-line label in capitals, white on orange for the current step and
// white on grey for the others.
class StepArt {
public:
    static constexpr int StepCount = 8;

    // step 1 to 8, width as the resource table gives it.
    static QImage Draw(int step, bool current, int width);
};
