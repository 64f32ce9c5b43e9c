#pragma once

#include <QImage>
#include <QRect>

// The eleven help tip pictures, 442 x 290: a heading, a short instruction and a small illustration on
// a pale background. The help tip dialog shows a picture centred in a control of 438 x 219 pixels, so
// everything is drawn inside that middle part (SafeArea).
class TipArt {
public:
    static constexpr int TipCount = 11;
    static constexpr int Width = 442;
    static constexpr int Height = 290;
    static constexpr QRect SafeArea{2, 36, 438, 218};

    static QImage Draw(int tip);  // 1 to 11
};
