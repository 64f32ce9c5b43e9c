#pragma once

#include <QImage>

// The tool bar's three strips of 13 pictures of 32 x 32 on the transparent key colour RGB(236, 233,
// 216): pictures 0 to 11 for the buttons in order, 12 the highlighted Next Step. The hot strip holds
// the same pictures a little lighter, the disabled strip (8 bits a pixel) holds them in light grey.
class ToolBarArt {
public:
    enum class Strip { Normal, Hot, Disabled };

    static QImage Draw(Strip strip);
};
