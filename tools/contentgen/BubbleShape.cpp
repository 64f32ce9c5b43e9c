#include "tools/contentgen/BubbleShape.h"

#include <QPainter>
#include <QPen>
#include <cmath>
#include <numbers>

namespace {

// Control points of a quarter ellipse drawn with one cubic curve.
constexpr double Kappa = 0.5522847498;

QPoint Rounded(double x, double y)
{
    return QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
}

BubbleShape::Segment Line(QPoint end)
{
    return {false, {}, {}, end};
}

BubbleShape::Segment Curve(QPoint c1, QPoint c2, QPoint end)
{
    return {true, c1, c2, end};
}

// A whole ellipse as four curves, clockwise from its top.
BubbleShape::Figure Ellipse(QPointF centre, double rx, double ry)
{
    const double cx = centre.x(), cy = centre.y(), kx = rx * Kappa, ky = ry * Kappa;
    BubbleShape::Figure figure{Rounded(cx, cy - ry), {}};
    figure.segments = {
        Curve(Rounded(cx + kx, cy - ry), Rounded(cx + rx, cy - ky), Rounded(cx + rx, cy)),
        Curve(Rounded(cx + rx, cy + ky), Rounded(cx + kx, cy + ry), Rounded(cx, cy + ry)),
        Curve(Rounded(cx - kx, cy + ry), Rounded(cx - rx, cy + ky), Rounded(cx - rx, cy)),
        Curve(Rounded(cx - rx, cy - ky), Rounded(cx - kx, cy - ry), Rounded(cx, cy - ry)),
    };
    return figure;
}

BubbleShape Oval()
{
    BubbleShape shape;
    shape.size = QSize(400, 300);
    shape.textRect = QRect(70, 55, 260, 150);
    shape.fill = QColor(255, 255, 255);
    shape.outline = QColor(0, 0, 0);
    // An ellipse about (200, 130), 185 by 110, whose lower left curve is broken by a tail.
    BubbleShape::Figure figure{QPoint(200, 20), {}};
    figure.segments = {
        Curve(QPoint(302, 20), QPoint(385, 69), QPoint(385, 130)),
        Curve(QPoint(385, 191), QPoint(302, 240), QPoint(200, 240)),
        Curve(QPoint(178, 240), QPoint(158, 238), QPoint(138, 234)),
        Line(QPoint(62, 288)),
        Line(QPoint(92, 222)),
        Curve(QPoint(42, 202), QPoint(15, 168), QPoint(15, 130)),
        Curve(QPoint(15, 69), QPoint(98, 20), QPoint(200, 20)),
    };
    shape.figures = {figure};
    return shape;
}

BubbleShape Cloud()
{
    BubbleShape shape;
    shape.size = QSize(420, 320);
    shape.textRect = QRect(105, 78, 220, 124);
    shape.fill = QColor(238, 246, 255);
    shape.outline = QColor(26, 58, 106);
    shape.penWidth = 5;
    // Nine lobes round an ellipse, each a curve that bulges outwards.
    constexpr int Lobes = 9;
    const QPointF centre(215, 140);
    constexpr double rx = 150, ry = 90, bulge = 1.38;
    auto onEllipse = [&](double angle, double scale) {
        return Rounded(centre.x() + rx * scale * std::cos(angle), centre.y() + ry * scale * std::sin(angle));
    };
    constexpr double step = 2 * std::numbers::pi / Lobes;
    const double first = -std::numbers::pi / 2;
    BubbleShape::Figure lobes{onEllipse(first, 1), {}};
    for (int i = 0; i < Lobes; ++i) {
        const double a = first + i * step;
        lobes.segments.push_back(Curve(onEllipse(a + step * 0.15, bulge), onEllipse(a + step * 0.85, bulge),
                                       onEllipse(a + step, 1)));
    }
    // The trail of a thought: two small circles towards the lower left.
    shape.figures = {lobes, Ellipse(QPointF(92, 268), 17, 15), Ellipse(QPointF(55, 300), 10, 9)};
    return shape;
}

BubbleShape Shout()
{
    BubbleShape shape;
    shape.size = QSize(400, 320);
    shape.textRect = QRect(115, 105, 170, 110);
    shape.fill = QColor(255, 239, 90);
    shape.outline = QColor(192, 0, 0);
    shape.penWidth = 5;
    // A jagged star: outer and inner points in turn; the outer radii vary so it looks shouted.
    static constexpr double outer[] = {1.00, 0.92, 1.05, 0.88, 1.02, 0.95, 1.06, 0.90, 1.00, 0.93};
    constexpr int Points = 10;
    const QPointF centre(200, 160);
    constexpr double rx = 185, ry = 148, inner = 0.68;
    BubbleShape::Figure star;
    for (int i = 0; i < 2 * Points; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / Points;
        const double r = (i % 2 == 0) ? outer[i / 2] : inner;
        const QPoint p = Rounded(centre.x() + rx * r * std::cos(angle), centre.y() + ry * r * std::sin(angle));
        if (i == 0)
            star.start = p;
        else
            star.segments.push_back(Line(p));
    }
    shape.figures = {star};
    return shape;
}

BubbleShape RectangleWithTail()
{
    BubbleShape shape;
    shape.size = QSize(400, 300);
    shape.textRect = QRect(34, 30, 332, 170);
    shape.fill = QColor(255, 255, 255);
    shape.outline = QColor(0, 0, 0);
    // A box with rounded corners (radius 20) and a tail from its bottom edge.
    constexpr int l = 10, t = 10, r = 390, b = 220, k = 9;  // k: 20 x (1 - Kappa), rounded
    BubbleShape::Figure box{QPoint(l + 20, t), {}};
    box.segments = {
        Line(QPoint(r - 20, t)),
        Curve(QPoint(r - k, t), QPoint(r, t + k), QPoint(r, t + 20)),
        Line(QPoint(r, b - 20)),
        Curve(QPoint(r, b - k), QPoint(r - k, b), QPoint(r - 20, b)),
        Line(QPoint(170, b)),
        Line(QPoint(96, 292)),
        Line(QPoint(118, b)),
        Line(QPoint(l + 20, b)),
        Curve(QPoint(l + k, b), QPoint(l, b - k), QPoint(l, b - 20)),
        Line(QPoint(l, t + 20)),
        Curve(QPoint(l, t + k), QPoint(l + k, t), QPoint(l + 20, t)),
    };
    shape.figures = {box};
    return shape;
}

} // namespace

BubbleShape BubbleShape::Make(Style style)
{
    switch (style) {
    case Style::Oval:
        return Oval();
    case Style::Cloud:
        return Cloud();
    case Style::Shout:
        return Shout();
    case Style::RectangleWithTail:
        return RectangleWithTail();
    }
    return Oval();
}

QPainterPath BubbleShape::Path() const
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const Figure& figure : figures) {
        path.moveTo(figure.start);
        for (const Segment& segment : figure.segments) {
            if (segment.bezier)
                path.cubicTo(segment.control1, segment.control2, segment.end);
            else
                path.lineTo(segment.end);
        }
        path.closeSubpath();
    }
    return path;
}

void BubbleShape::Draw(QPainter& painter) const
{
    painter.setBrush(fill);
    painter.setPen(QPen(outline, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(Path());
}
