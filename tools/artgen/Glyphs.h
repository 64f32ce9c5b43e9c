#pragma once

#include <QRectF>

class QPainter;

// The tool bar's pictures as vector drawings in a box of 32 x 32 units, drawn into any rectangle: at
// their real size in the tool bar strips, larger in the help tips.
class Glyphs {
public:
    enum class Glyph {
        NextStep,           // a green round play button
        Undo,               // a green arrow to the left
        Redo,               // a green arrow to the right
        MoveResize,         // four arrows pointing outwards
        Crop,               // a dashed frame around a face
        Rotate,             // a curved arrow
        Flip,               // a shape and its mirror image about a dashed axis
        ChangeColour,       // a square of colour gradients
        EditText,           // two letters T
        Paint,              // a paint brush
        Erase,              // an eraser
        MagicErase,         // an eraser with a lightning flash
        NextStepHighlight,  // the play button in orange and red
    };

    static void Draw(QPainter& painter, Glyph glyph, const QRectF& box);

    // Pieces that other pictures share.
    static void Arrow(QPainter& painter, const QRectF& box, double turnDegrees);  // green, pointing right at 0
    static void Cross(QPainter& painter, const QRectF& box);                      // red
    static void Smiley(QPainter& painter, QPointF centre, double radius);
    static void Eraser(QPainter& painter, const QRectF& box);
    static void Lightning(QPainter& painter, const QRectF& box);
};
