#pragma once

#include <QImage>
#include <QPointF>
#include <QSize>

class QPainter;

// The scenes' pictures: backgrounds cut from photos or drawn, and cartoon bodies without a head that
// are drawn onto a background to make the scene's photo of a body.
class SceneArt {
public:
    enum class Body { SpaceSuit, SuitAndTie, TShirt, StripedSwimsuit, HeroCape };

    // The photo cut to the size's proportions around a point (fractions of the photo), then scaled.
    static QImage Background(const QImage& photo, QSize size, QPointF focus);
    static QImage Beach(QSize size);
    static QImage NightCity(QSize size);

    // A body whose neck's top centre is at neck; at scale 1 the shoulders are 300 pixels wide.
    static void DrawBody(QPainter& painter, Body body, QPointF neck, double scale);
};
