#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class QPainter;

// A speech bubble of our own, as closed figures of lines and cubic Bezier curves on whole pixel
// coordinates, filled and outlined; some also carry printed words or a photo. The same drawing becomes
// the metafile and its thumbnail.
class BubbleShape {
public:
    enum class Style { Oval, Cloud, Shout, RectangleWithTail, Pow, PhotoFrame };

    struct Segment {
        bool bezier = false;
        QPoint control1, control2;  // Bezier only
        QPoint end;
    };
    struct Figure {
        QPoint start;
        std::vector<Segment> segments;
    };

    // Words printed on the bubble in bold Arial (Liberation Sans where Arial is missing: the same
    // advances), centred on a point of their baseline.
    struct Lettering {
        QString text;
        int height = 0;  // the character height in pixels
        QColor colour;
        QPoint baselineCentre;

        // Each character's advance in pixels, rounded, as the metafile's spacing array gives them.
        std::vector<int> Advances() const;
        // Where the characters' cells lie: from the ascent above the baseline to the descent below it.
        QRect Box() const;
    };

    // A photo seen through a closed figure, which is outlined over it.
    struct Picture {
        QImage photo;  // stretched onto where
        QRect where;
        Figure window;
    };

    // photo: what a picture bubble (PhotoFrame) shows; the other styles do not use it.
    static BubbleShape Make(Style style, const QImage& photo = QImage());

    QPainterPath Path() const;
    // Draws what the metafile holds: the figures filled and outlined (non-zero winding, round joins),
    // then the picture in its window and the window's outline, then the lettering.
    void Draw(QPainter& painter) const;

    QSize size;        // the bubble's pixels run from (0, 0) to size
    QRect textRect;    // where the text goes, in the bubble's pixels
    QColor fill;
    QColor outline;
    int penWidth = 6;
    std::vector<Figure> figures;
    std::optional<Picture> picture;
    std::optional<Lettering> lettering;
};
