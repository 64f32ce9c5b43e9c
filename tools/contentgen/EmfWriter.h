#pragma once

#include <QByteArray>

class BubbleShape;

// Writes a bubble as an enhanced metafile through libUEMF: a header whose bounds are the bubble's
// pixels (0, 0, width, height) on a 96-dots-per-inch reference device, then one path of all figures
// (move, line and Bezier records) filled and outlined with a solid brush and a round-joined pen; then
// the shape's photo, a bitmap clipped to a path and outlined, and its lettering, a text record.
class EmfWriter {
public:
    // Reference device: 1024 x 768 pixels on 271 x 203 millimetres, about 96 dots per inch.
    static constexpr int DeviceWidth = 1024;
    static constexpr int DeviceHeight = 768;
    static constexpr int DeviceWidthMm = 271;
    static constexpr int DeviceHeightMm = 203;

    // The metafile's bytes, or an empty array when libUEMF could not build a record.
    static QByteArray Encode(const BubbleShape& shape);
};
