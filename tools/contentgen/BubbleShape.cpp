#include "tools/contentgen/BubbleShape.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <QRawFont>
#include <cmath>
#include <numbers>
#include <numeric>
#include <span>

namespace {

// Control points of a quarter ellipse drawn with one cubic curve.
constexpr double Kappa = 0.5522847498;

QPoint Rounded(double x, double y)
{
    return QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
}

// A bubble of that size with its text's room, its colours and its pen, still without figures.
BubbleShape Colours(QSize size, QRect textRect, QColor fill, QColor outline, int penWidth)
{
    BubbleShape shape;
    shape.size = size;
    shape.textRect = textRect;
    shape.fill = fill;
    shape.outline = outline;
    shape.penWidth = penWidth;
    return shape;
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
    BubbleShape shape = Colours(QSize(400, 300), QRect(70, 55, 260, 150), QColor(255, 255, 255), QColor(0, 0, 0), 6);
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
    BubbleShape shape =
        Colours(QSize(420, 320), QRect(105, 78, 220, 124), QColor(238, 246, 255), QColor(26, 58, 106), 5);
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

// A jagged star about centre: outer and inner points in turn, one outer point for each radius given (as
// a share of rx and ry), starting from the top; the varied radii make it look shouted.
BubbleShape::Figure Star(QPointF centre, double rx, double ry, double inner, std::span<const double> outer)
{
    const int points = static_cast<int>(outer.size());
    BubbleShape::Figure star;
    for (int i = 0; i < 2 * points; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / points;
        const double r = (i % 2 == 0) ? outer[i / 2] : inner;
        const QPoint p = Rounded(centre.x() + rx * r * std::cos(angle), centre.y() + ry * r * std::sin(angle));
        if (i == 0)
            star.start = p;
        else
            star.segments.push_back(Line(p));
    }
    return star;
}

BubbleShape Shout()
{
    BubbleShape shape = Colours(QSize(400, 320), QRect(115, 105, 170, 110), QColor(255, 239, 90), QColor(192, 0, 0), 5);
    static constexpr double outer[] = {1.00, 0.92, 1.05, 0.88, 1.02, 0.95, 1.06, 0.90, 1.00, 0.93};
    shape.figures = {Star(QPointF(200, 160), 185, 148, 0.68, outer)};
    return shape;
}

// A twelve-pointed shout with "POW!" printed over the room for the text.
BubbleShape Pow()
{
    BubbleShape shape = Colours(QSize(440, 360), QRect(150, 164, 140, 86), QColor(255, 210, 63), QColor(32, 32, 32), 5);
    static constexpr double outer[] = {1.00, 0.90, 1.04, 0.86, 0.98, 0.92, 1.03, 0.88, 1.00, 0.94, 1.02, 0.89};
    shape.figures = {Star(QPointF(220, 180), 206, 166, 0.66, outer)};
    shape.lettering = BubbleShape::Lettering{QStringLiteral("POW!"), 56, QColor(208, 16, 16), QPoint(220, 150)};
    return shape;
}

// A box from (10, 10) to (390, 220) with corners of radius 20 and a tail from its bottom edge: the tail
// leaves the edge at x = from, reaches tip and comes back at x = to (from > to: clockwise).
BubbleShape::Figure BoxWithTail(int from, QPoint tip, int to)
{
    constexpr int l = 10, t = 10, r = 390, b = 220, k = 9;  // k: 20 x (1 - Kappa), rounded
    BubbleShape::Figure box{QPoint(l + 20, t), {}};
    box.segments = {
        Line(QPoint(r - 20, t)),
        Curve(QPoint(r - k, t), QPoint(r, t + k), QPoint(r, t + 20)),
        Line(QPoint(r, b - 20)),
        Curve(QPoint(r, b - k), QPoint(r - k, b), QPoint(r - 20, b)),
        Line(QPoint(from, b)),
        Line(tip),
        Line(QPoint(to, b)),
        Line(QPoint(l + 20, b)),
        Curve(QPoint(l + k, b), QPoint(l, b - k), QPoint(l, b - 20)),
        Line(QPoint(l, t + 20)),
        Curve(QPoint(l, t + k), QPoint(l + k, t), QPoint(l + 20, t)),
    };
    return box;
}

BubbleShape RectangleWithTail()
{
    BubbleShape shape = Colours(QSize(400, 300), QRect(34, 30, 332, 170), QColor(255, 255, 255), QColor(0, 0, 0), 6);
    shape.figures = {BoxWithTail(170, QPoint(96, 292), 118)};
    return shape;
}

// The box with its tail on the right and a round photo on the left; the text goes beside the photo.
// Without a photo it is the plain box.
BubbleShape PhotoFrame(const QImage& photo)
{
    BubbleShape shape =
        Colours(QSize(400, 300), QRect(185, 30, 180, 170), QColor(255, 250, 235), QColor(90, 60, 30), 5);
    shape.figures = {BoxWithTail(300, QPoint(335, 292), 255)};
    if (photo.isNull())
        return shape;
    // The photo is stored at its window's size, so that the metafile holds no more pixels than it shows.
    constexpr int radius = 70;
    const QRect where(30, 45, 2 * radius, 2 * radius);
    shape.picture = BubbleShape::Picture{photo.scaled(where.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                                         where, Ellipse(QPointF(100, 115), radius, radius)};
    return shape;
}

void AddFigure(QPainterPath& path, const BubbleShape::Figure& figure)
{
    path.moveTo(figure.start);
    for (const BubbleShape::Segment& segment : figure.segments) {
        if (segment.bezier)
            path.cubicTo(segment.control1, segment.control2, segment.end);
        else
            path.lineTo(segment.end);
    }
    path.closeSubpath();
}

// The face is written as Arial, which Windows has; Liberation Sans has the same advances.
QRawFont LetteringFont(int height)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(height);
    return QRawFont::fromFont(font);
}

int Width(const std::vector<int>& advances)
{
    return std::accumulate(advances.begin(), advances.end(), 0);
}

} // namespace

std::vector<int> BubbleShape::Lettering::Advances() const
{
    const QRawFont font = LetteringFont(height);
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    std::vector<int> rounded;
    for (const QPointF& advance : advances)
        rounded.push_back(static_cast<int>(std::lround(advance.x())));
    return rounded;
}

QRect BubbleShape::Lettering::Box() const
{
    const QRawFont font = LetteringFont(height);
    const double width = Width(Advances());
    return QRectF(baselineCentre.x() - width / 2, baselineCentre.y() - font.ascent(), width,
                  font.ascent() + font.descent())
        .toAlignedRect();
}

BubbleShape BubbleShape::Make(Style style, const QImage& photo)
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
    case Style::Pow:
        return Pow();
    case Style::PhotoFrame:
        return PhotoFrame(photo);
    }
    return Oval();
}

QPainterPath BubbleShape::Path() const
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const Figure& figure : figures)
        AddFigure(path, figure);
    return path;
}

void BubbleShape::Draw(QPainter& painter) const
{
    const QPen pen(outline, penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setBrush(fill);
    painter.setPen(pen);
    painter.drawPath(Path());
    if (picture) {
        QPainterPath window;
        AddFigure(window, picture->window);
        painter.save();
        painter.setClipPath(window, Qt::IntersectClip);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(picture->where), picture->photo);
        painter.restore();
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(window);
    }
    if (lettering) {
        // Character by character at the advances the metafile gives.
        const QRawFont font = LetteringFont(lettering->height);
        const std::vector<int> advances = lettering->Advances();
        QPointF at(lettering->baselineCentre.x() - Width(advances) / 2.0, lettering->baselineCentre.y());
        for (qsizetype i = 0; i < lettering->text.size() && i < static_cast<qsizetype>(advances.size()); ++i) {
            const QList<quint32> glyph = font.glyphIndexesForString(lettering->text.mid(i, 1));
            if (!glyph.isEmpty())
                painter.fillPath(font.pathForGlyph(glyph.first()).translated(at), lettering->colour);
            at.rx() += advances[static_cast<size_t>(i)];
        }
    }
}
