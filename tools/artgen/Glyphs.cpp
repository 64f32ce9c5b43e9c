#include "tools/artgen/Glyphs.h"

#include "tools/artgen/ArtKit.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr double Units = 32.0;

struct Tones {
    QColor light;
    QColor dark;
    QColor outline;
};

const Tones Green{QColor(140, 225, 100), QColor(40, 150, 45), QColor(20, 85, 25)};
const Tones OrangeRed{QColor(255, 200, 60), QColor(225, 50, 20), QColor(130, 20, 10)};
const Tones Blue{QColor(130, 180, 245), QColor(40, 95, 200), QColor(20, 45, 115)};
const Tones Red{QColor(250, 110, 95), QColor(195, 25, 20), QColor(110, 10, 10)};
const QColor Ink(40, 35, 30);

// Draws in the 32 x 32 units of the box for as long as it lives.
class UnitBox {
public:
    UnitBox(QPainter& painter, const QRectF& box) : m_painter(painter)
    {
        m_painter.save();
        m_painter.translate(box.topLeft());
        m_painter.scale(box.width() / Units, box.height() / Units);
    }
    ~UnitBox() { m_painter.restore(); }
    UnitBox(const UnitBox&) = delete;
    UnitBox& operator=(const UnitBox&) = delete;

private:
    QPainter& m_painter;
};

using ArtKit::Polygon;

QLinearGradient Vertical(const Tones& tones, double top, double bottom)
{
    return ArtKit::VerticalGradient(tones.light, tones.dark, top, bottom);
}

void Shape(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& outline, double width = 1.2)
{
    p.setPen(QPen(outline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void PlayButton(QPainter& p, const Tones& tones)
{
    QRadialGradient disc(QPointF(12, 10), 18);
    disc.setColorAt(0, tones.light);
    disc.setColorAt(1, tones.dark);
    QPainterPath circle;
    circle.addEllipse(QPointF(16, 16), 13.2, 13.2);
    Shape(p, circle, disc, tones.outline, 1.4);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(Polygon({{12.5, 9}, {24, 16}, {12.5, 23}}));
}

// Four arrows pointing outwards from the middle.
QPainterPath FourArrows()
{
    return Polygon({{16, 2},  {21.5, 8},  {18, 8},    {18, 14},   {24, 14}, {24, 10.5}, {30, 16}, {24, 21.5},
                    {24, 18}, {18, 18},   {18, 24},   {21.5, 24}, {16, 30}, {10.5, 24}, {14, 24}, {14, 18},
                    {8, 18},  {8, 21.5},  {2, 16},    {8, 10.5},  {8, 14},  {14, 14},   {14, 8},  {10.5, 8}});
}

void MoveResize(QPainter& p)
{
    Shape(p, FourArrows(), Vertical(Blue, 2, 30), Blue.outline);
}

void Crop(QPainter& p)
{
    Glyphs::Smiley(p, {16, 16}, 8);
    const QRectF frame(4.5, 4.5, 23, 23);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2.2));
    p.drawRect(frame);
    QPen dashes(Ink, 1.6, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    dashes.setDashPattern({2.0, 1.4});
    p.setPen(dashes);
    p.drawRect(frame);
}

void Rotate(QPainter& p)
{
    const QPainterPath shape =
        ArtKit::TurnArrow(QRectF(6.5, 6.5, 19, 19), 4.2, Polygon({{18, 20}, {18, 30}, {10.5, 25}}));
    Shape(p, shape, Vertical(Blue, 4, 30), Blue.outline);
}

void Flip(QPainter& p)
{
    QPen axis(Ink, 1.2, Qt::CustomDashLine, Qt::FlatCap);
    axis.setDashPattern({2.0, 1.5});
    p.setPen(axis);
    p.drawLine(QPointF(16, 2.5), QPointF(16, 29.5));
    Shape(p, Polygon({{13.5, 6}, {13.5, 26}, {3, 26}}), Vertical(Blue, 6, 26), Blue.outline);
    const Tones pale{QColor(225, 238, 255), QColor(150, 190, 240), Blue.outline};
    Shape(p, Polygon({{18.5, 6}, {18.5, 26}, {29, 26}}), Vertical(pale, 6, 26), Blue.outline);
}

void ChangeColour(QPainter& p)
{
    QPainterPath square;
    square.addRoundedRect(QRectF(3.5, 3.5, 25, 25), 2.5, 2.5);
    QLinearGradient hues(3.5, 0, 28.5, 0);
    const QColor stops[] = {QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 220, 0), QColor(0, 230, 255),
                            QColor(0, 40, 255), QColor(255, 0, 255), QColor(255, 0, 0)};
    for (int i = 0; i < 7; ++i)
        hues.setColorAt(i / 6.0, stops[i]);
    p.setPen(Qt::NoPen);
    p.setBrush(hues);
    p.drawPath(square);
    QLinearGradient shade(0, 3.5, 0, 28.5);
    shade.setColorAt(0, QColor(255, 255, 255, 230));
    shade.setColorAt(0.45, QColor(255, 255, 255, 0));
    shade.setColorAt(0.55, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(0, 0, 0, 230));
    p.setBrush(shade);
    p.drawPath(square);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Ink, 1.2));
    p.drawPath(square);
}

QPainterPath LetterT(const QRectF& bar, double stemWidth, double bottom)
{
    QPainterPath letter;
    letter.addRect(bar);
    const double middle = bar.center().x();
    letter.addRect(QRectF(middle - stemWidth / 2, bar.bottom() - 0.5, stemWidth, bottom - bar.bottom() + 0.5));
    return letter.simplified();
}

void EditText(QPainter& p)
{
    Shape(p, LetterT(QRectF(3, 4, 17, 5), 5, 27), Ink, Ink, 0.6);
    Shape(p, LetterT(QRectF(16.5, 13.5, 13, 4), 4, 29), Vertical(Blue, 13, 29), Qt::white, 1.2);
}

void Paint(QPainter& p)
{
    // A brush standing upright, turned so that its handle points up and to the right.
    p.save();
    p.translate(16, 16);
    p.rotate(45);
    p.translate(-16, -16);
    QPainterPath handle;
    handle.addRoundedRect(QRectF(13.5, 0.5, 5, 16), 2.5, 2.5);
    QLinearGradient wood(13.5, 0, 18.5, 0);
    wood.setColorAt(0, QColor(205, 140, 70));
    wood.setColorAt(1, QColor(125, 70, 25));
    Shape(p, handle, wood, QColor(70, 40, 15), 1.0);
    QLinearGradient metal(12.5, 0, 19.5, 0);
    metal.setColorAt(0, QColor(235, 235, 240));
    metal.setColorAt(1, QColor(130, 130, 140));
    QPainterPath ferrule;
    ferrule.addRect(QRectF(12.5, 15.5, 7, 5));
    Shape(p, ferrule, metal, QColor(60, 60, 70), 1.0);
    QPainterPath bristles;
    bristles.moveTo(12.5, 20.5);
    bristles.lineTo(19.5, 20.5);
    bristles.cubicTo(20, 25, 18, 28, 16, 31);
    bristles.cubicTo(14, 28, 12, 25, 12.5, 20.5);
    QLinearGradient paint(0, 20.5, 0, 31);
    paint.setColorAt(0, QColor(240, 80, 60));
    paint.setColorAt(1, QColor(180, 20, 20));
    Shape(p, bristles, paint, QColor(100, 10, 10), 1.0);
    p.restore();
}

void MagicErase(QPainter& p)
{
    Glyphs::Eraser(p, QRectF(0, 6, 26, 26));
    Glyphs::Lightning(p, QRectF(15, 1.5, 15, 20));
}

} // namespace

void Glyphs::Arrow(QPainter& p, const QRectF& box, double turnDegrees)
{
    UnitBox units(p, box);
    p.translate(16, 16);
    p.rotate(turnDegrees);
    p.translate(-16, -16);
    const QPainterPath arrow = Polygon({{29.5, 16}, {17.5, 4}, {17.5, 10.5}, {3, 10.5}, {3, 21.5}, {17.5, 21.5},
                                        {17.5, 28}});
    Shape(p, arrow, Vertical(Green, 4, 28), Green.outline, 1.3);
}

void Glyphs::Cross(QPainter& p, const QRectF& box)
{
    UnitBox units(p, box);
    QPainterPath bar;
    bar.addRoundedRect(QRectF(-13, -3.2, 26, 6.4), 1.5, 1.5);
    QTransform one;
    one.translate(16, 16);
    one.rotate(45);
    QTransform other;
    other.translate(16, 16);
    other.rotate(-45);
    const QPainterPath cross = one.map(bar).united(other.map(bar)).simplified();
    Shape(p, cross, Vertical(Red, 4, 28), Red.outline, 1.3);
}

void Glyphs::Smiley(QPainter& p, QPointF centre, double radius)
{
    QRadialGradient skin(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.4);
    skin.setColorAt(0, QColor(255, 240, 120));
    skin.setColorAt(1, QColor(240, 175, 25));
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    Shape(p, disc, skin, QColor(130, 80, 10), radius * 0.12);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawEllipse(centre + QPointF(-radius * 0.36, -radius * 0.25), radius * 0.13, radius * 0.2);
    p.drawEllipse(centre + QPointF(radius * 0.36, -radius * 0.25), radius * 0.13, radius * 0.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Ink, radius * 0.14, Qt::SolidLine, Qt::RoundCap));
    const double r = radius * 0.55;
    p.drawArc(QRectF(centre.x() - r, centre.y() - r * 0.75, 2 * r, 2 * r), 200 * 16, 140 * 16);
}

void Glyphs::Eraser(QPainter& p, const QRectF& box)
{
    UnitBox units(p, box);
    QPen trail(QColor(150, 150, 150), 1.2, Qt::CustomDashLine, Qt::FlatCap);
    trail.setDashPattern({1.5, 1.5});
    p.setPen(trail);
    p.drawLine(QPointF(2, 29), QPointF(15, 29));
    p.save();
    p.translate(16, 16);
    p.rotate(-35);
    QPainterPath body;
    body.addRoundedRect(QRectF(-12, -6, 24, 12), 2.5, 2.5);
    QPainterPath tip;
    tip.addRect(QRectF(-12.5, -6.5, 10, 13));
    const QPainterPath rubber = body.intersected(tip);
    const QPainterPath sleeve = body.subtracted(tip);
    Shape(p, sleeve, Vertical(Blue, -6, 6), Blue.outline, 1.1);
    const Tones pink{QColor(255, 200, 210), QColor(230, 110, 140), QColor(120, 40, 60)};
    Shape(p, rubber, Vertical(pink, -6, 6), pink.outline, 1.1);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.0));
    p.drawLine(QPointF(0, -4), QPointF(10, -4));
    p.restore();
}

void Glyphs::Lightning(QPainter& p, const QRectF& box)
{
    UnitBox units(p, box);
    // Drawn in 32 units across and down the box.
    const QPainterPath flash = Polygon({{19, 1.5}, {4, 17}, {13.5, 17}, {8, 30.5}, {28, 11}, {18, 11}, {25, 1.5}});
    const Tones yellow{QColor(255, 250, 150), QColor(255, 200, 0), QColor(190, 90, 0)};
    Shape(p, flash, Vertical(yellow, 0, 32), yellow.outline, 2.0);
}

void Glyphs::Draw(QPainter& p, Glyph glyph, const QRectF& box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case Glyph::Undo:
        Arrow(p, box, 180);
        break;
    case Glyph::Redo:
        Arrow(p, box, 0);
        break;
    case Glyph::Erase:
        Eraser(p, box);
        break;
    default: {
        UnitBox units(p, box);
        switch (glyph) {
        case Glyph::NextStep:
            PlayButton(p, Green);
            break;
        case Glyph::NextStepHighlight:
            PlayButton(p, OrangeRed);
            break;
        case Glyph::MoveResize:
            MoveResize(p);
            break;
        case Glyph::Crop:
            Crop(p);
            break;
        case Glyph::Rotate:
            Rotate(p);
            break;
        case Glyph::Flip:
            Flip(p);
            break;
        case Glyph::ChangeColour:
            ChangeColour(p);
            break;
        case Glyph::EditText:
            EditText(p);
            break;
        case Glyph::Paint:
            Paint(p);
            break;
        case Glyph::MagicErase:
            MagicErase(p);
            break;
        default:
            break;
        }
    }
    }
    p.restore();
}
