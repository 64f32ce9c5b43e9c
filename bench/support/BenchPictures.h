#pragma once

#include <QImage>

// A w x h picture (32-bit ARGB, straight) of smooth colours that differ with seed; when masked, a round
// mask with a soft edge, as a cut-out face has.
QImage SmoothPicture(int w, int h, bool masked, int seed);
// The same, from a photograph (the test data's rocket, stretched to w x h, mirrored for odd seeds) with
// the fine noise of a camera's sensor: it compresses as a real photo does, which smooth colours do not.
QImage PhotoPicture(int w, int h, bool masked, int seed);
