#pragma once

#include <QImage>
#include <QPointF>
#include <QSize>

class QPainter;

// The scenes' pictures: backgrounds cut from photos or drawn, and the person in a costume that is drawn
// onto a background to make the scene's photo. The user's face goes over the person's head, so the head
// stands where the wizard places a face (the picture's middle) and has a skin of its own, which Auto
// Adjust then matches the face to.
class SceneArt {
public:
    enum class Body { SpaceSuit, SuitAndTie, TShirt, StripedSwimsuit, HeroCape };
    enum class Hair { Short, Long, Curly, Bun };

    struct Person {
        Body body;
        QColor skin;
        QColor hair;
        Hair hairStyle;
    };

    // The photo cut to the size's proportions around a point (fractions of the photo), zoomed in by zoom
    // (1: the largest piece that fits), then scaled.
    static QImage Background(const QImage& photo, QSize size, QPointF focus, double zoom = 1);
    static QImage Beach(QSize size);
    static QImage NightCity(QSize size);

    // The head's box in a picture of the size: centred, as tall as the middle half of the picture's height
    // less a little, where a face fitted to the picture lands.
    static QRectF HeadBox(QSize size);
    // The part of the head's face that no hair covers, in the same picture: where a face photo goes.
    static QRectF FaceBox(QSize size);
    // A body without a head (the help tips put a face on it) whose neck's top centre is at neck; at scale
    // 1 the shoulders are 300 pixels wide.
    static void DrawBody(QPainter& painter, Body body, QPointF neck, double scale);
    // Draws the person, head and shoulders, with the head in HeadBox (size).
    static void DrawPerson(QPainter& painter, const Person& person, QSize size);
};
