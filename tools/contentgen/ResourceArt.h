#pragma once

#include <QImage>
#include <QSize>

class BubbleShape;

// The program folder's own pictures: the welcome picture that a new project shows, and the two brush
// stamps. A stamp is a soft round spot held as premultiplied bytes, as the brush blends them: the paint
// stamp's colour equals its alpha (white, so its red channel raises a mask where it is blended) and the
// erase stamp's colour is 0 (black, it lowers the mask).
class ResourceArt {
public:
    // The brush sizes 16, 32 and 48 draw the stamp at 0.125, 0.25 and 0.375 of this size.
    static constexpr int StampSize = 128;
    // Wide enough that the picture layer does not enlarge it.
    static constexpr QSize WelcomeSize{1024, 768};

    static QImage Welcome(const BubbleShape& bubble);
    static QImage PaintStamp();
    static QImage EraseStamp();
    // The stamps' alpha at a pixel: 255 in the inner part, falling smoothly to 0 at the edge.
    static int StampAlpha(int x, int y);
};
