#pragma once

#include <QImage>

// A w x h picture (32-bit ARGB, straight) of smooth colours that differ with seed; when masked, a round
// mask with a soft edge, as a cut-out face has.
QImage SmoothPicture(int w, int h, bool masked, int seed);
