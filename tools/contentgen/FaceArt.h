#pragma once

#include <QImage>
#include <QRect>

// The faces: square pieces of photos, and cartoon faces drawn here. A face fills the middle half of its
// picture, where a new face layer's crop rectangle starts.
class FaceArt {
public:
    enum class Cartoon { Smiley, Robot, Alien, Dog };

    static constexpr int Size = 512;

    static QImage FromPhoto(const QImage& photo, const QRect& square);
    static QImage Draw(Cartoon cartoon);
};
