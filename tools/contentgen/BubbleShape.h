#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QPainter;

// A speech bubble of our own, as closed figures of lines and cubic Bezier curves on whole pixel
// coordinates, filled and outlined. The same outline becomes the metafile and its thumbnail.
class BubbleShape {
public:
    enum class Style { Oval, Cloud, Shout, RectangleWithTail };

    struct Segment {
        bool bezier = false;
        QPoint control1, control2;  // Bezier only
        QPoint end;
    };
    struct Figure {
        QPoint start;
        std::vector<Segment> segments;
    };

    static BubbleShape Make(Style style);

    QPainterPath Path() const;
    // Fills and outlines the figures as the metafile does (non-zero winding, round joins).
    void Draw(QPainter& painter) const;

    QSize size;        // the bubble's pixels run from (0, 0) to size
    QRect textRect;    // where the text goes, in the bubble's pixels
    QColor fill;
    QColor outline;
    int penWidth = 6;
    std::vector<Figure> figures;
};
