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
    // What the cartoon faces are drawn on, without a face.
    static QImage Backdrop();
    // The picture thrown out of focus until no face is left in it: its own colours, softly blended.
    static QImage Defocused(const QImage& picture);
};
