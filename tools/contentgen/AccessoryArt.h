#pragma once

#include <QImage>

// The accessories: pictures with a transparent surround, drawn here, and a badge cut from a photo
// that has its own alpha.
class AccessoryArt {
public:
    enum class Kind { TopHat, PartyHat, CowboyHat, Crown, RoundGlasses, Sunglasses, Handlebar, Walrus, BowTie };

    static QImage Draw(Kind kind);
    static QImage Badge(const QImage& picture);
};
