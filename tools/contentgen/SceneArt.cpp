#include "tools/contentgen/SceneArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace {

const QColor Outline(40, 30, 30);

QPen OutlinePen(double width = 4)
{
    return QPen(Outline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath Torso()
{
    QPainterPath path;
    path.moveTo(-42, 38);
    path.quadTo(-120, 44, -150, 80);
    path.lineTo(-168, 560);
    path.lineTo(168, 560);
    path.lineTo(150, 80);
    path.quadTo(120, 44, 42, 38);
    path.closeSubpath();
    return path;
}

// An arm hanging from a shoulder, side -1 (left) or +1 (right).
QPainterPath Arm(int side)
{
    QPainterPath path;
    path.moveTo(side * 140, 78);
    path.quadTo(side * 190, 90, side * 205, 200);
    path.lineTo(side * 215, 470);
    path.lineTo(side * 160, 470);
    path.lineTo(side * 150, 230);
    path.closeSubpath();
    return path;
}

void DrawNeck(QPainter& p, const QColor& skin)
{
    p.setPen(OutlinePen());
    p.setBrush(skin);
    p.drawRoundedRect(QRectF(-30, -10, 60, 70), 12, 12);
}

void DrawHands(QPainter& p, const QColor& skin)
{
    p.setPen(OutlinePen());
    p.setBrush(skin);
    p.drawEllipse(QPointF(-188, 490), 30, 34);
    p.drawEllipse(QPointF(188, 490), 30, 34);
}

void DrawTorsoAndArms(QPainter& p, const QBrush& body, const QBrush& sleeves)
{
    p.setPen(OutlinePen());
    p.setBrush(sleeves);
    p.drawPath(Arm(-1));
    p.drawPath(Arm(1));
    p.setBrush(body);
    p.drawPath(Torso());
}

void SpaceSuit(QPainter& p, const QColor& skin)
{
    const QColor suit(236, 110, 40);
    DrawHands(p, skin);
    DrawTorsoAndArms(p, suit, suit);
    // Seams, a mission patch and a chest pocket.
    p.setPen(OutlinePen(3));
    p.drawLine(QPointF(-150, 300), QPointF(-60, 300));
    p.drawLine(QPointF(150, 300), QPointF(60, 300));
    p.setBrush(QColor(30, 60, 160));
    p.drawEllipse(QPointF(-80, 128), 34, 34);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(-80, 128), 14, 14);
    p.setBrush(QColor(200, 85, 30));
    p.drawRect(QRectF(50, 105, 64, 40));
    DrawNeck(p, skin);
    // The helmet ring, open for a face.
    p.setPen(OutlinePen(5));
    p.setBrush(QColor(150, 150, 160));
    QPainterPath ring;
    ring.addEllipse(QPointF(0, 48), 110, 34);
    ring.addEllipse(QPointF(0, 44), 72, 18);
    ring.setFillRule(Qt::OddEvenFill);
    p.drawPath(ring);
}

void SuitAndTie(QPainter& p, const QColor& skin)
{
    const QColor jacket(45, 55, 75);
    DrawHands(p, skin);
    DrawTorsoAndArms(p, jacket, jacket);
    DrawNeck(p, skin);
    // Shirt, collar and tie.
    QPainterPath shirt;
    shirt.moveTo(-42, 38);
    shirt.lineTo(0, 260);
    shirt.lineTo(42, 38);
    shirt.closeSubpath();
    p.setPen(OutlinePen(3));
    p.setBrush(QColor(250, 250, 250));
    p.drawPath(shirt);
    QPainterPath tie;
    tie.moveTo(-14, 60);
    tie.lineTo(14, 60);
    tie.lineTo(24, 220);
    tie.lineTo(0, 250);
    tie.lineTo(-24, 220);
    tie.closeSubpath();
    p.setBrush(QColor(200, 30, 40));
    p.drawPath(tie);
    p.drawEllipse(QPointF(0, 58), 16, 12);
    // Lapels and buttons.
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(-42, 38), QPointF(-70, 150));
    p.drawLine(QPointF(42, 38), QPointF(70, 150));
    p.setBrush(QColor(20, 20, 20));
    p.drawEllipse(QPointF(20, 320), 7, 7);
    p.drawEllipse(QPointF(20, 390), 7, 7);
}

void TShirt(QPainter& p, const QColor& skin)
{
    const QColor shirt(60, 170, 90);
    DrawHands(p, skin);
    p.setPen(OutlinePen());
    p.setBrush(skin);
    p.drawPath(Arm(-1));
    p.drawPath(Arm(1));
    p.setBrush(shirt);
    p.drawPath(Torso());
    // Short sleeves and a star.
    p.drawRoundedRect(QRectF(-205, 80, 70, 120), 20, 20);
    p.drawRoundedRect(QRectF(135, 80, 70, 120), 20, 20);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double r = (i % 2 == 0) ? 48 : 20;
        const QPointF point(r * std::cos(angle), 140 + r * std::sin(angle));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    p.setBrush(QColor(255, 220, 60));
    p.drawPath(star);
    DrawNeck(p, skin);
}

void StripedSwimsuit(QPainter& p, const QColor& skin)
{
    DrawHands(p, skin);
    p.setPen(OutlinePen());
    p.setBrush(skin);
    p.drawPath(Arm(-1));
    p.drawPath(Arm(1));
    p.drawPath(Torso());
    // A sleeveless striped top, clipped to the torso below the shoulders.
    p.save();
    QPainterPath top = Torso().intersected([] {
        QPainterPath cut;
        cut.addRect(QRectF(-170, 95, 340, 475));
        return cut;
    }());
    p.setClipPath(top);
    p.fillRect(QRectF(-170, 95, 340, 475), QColor(250, 250, 250));
    for (int i = 0; i < 15; ++i)
        p.fillRect(QRectF(-170, 95 + i * 32, 340, 16), QColor(210, 40, 50));
    p.restore();
    p.setPen(OutlinePen());
    p.setBrush(Qt::NoBrush);
    p.drawPath(top);
    DrawNeck(p, skin);
}

void HeroCape(QPainter& p, const QColor& skin)
{
    // The cape first, behind everything.
    QPainterPath cape;
    cape.moveTo(-120, 60);
    cape.quadTo(-300, 300, -280, 580);
    cape.lineTo(280, 580);
    cape.quadTo(300, 300, 120, 60);
    cape.closeSubpath();
    p.setPen(OutlinePen());
    p.setBrush(QColor(200, 30, 40));
    p.drawPath(cape);
    const QColor suit(40, 80, 200);
    DrawHands(p, skin);
    DrawTorsoAndArms(p, suit, suit);
    // Emblem and belt.
    p.setBrush(QColor(255, 215, 40));
    p.drawEllipse(QPointF(0, 128), 52, 42);
    p.setPen(OutlinePen(6));
    p.drawLine(QPointF(-25, 140), QPointF(0, 108));
    p.drawLine(QPointF(0, 108), QPointF(25, 140));
    p.setPen(OutlinePen());
    p.drawRect(QRectF(-160, 400, 320, 34));
    DrawNeck(p, skin);
}

// The head is drawn in units of a hundredth of its height, the face's oval centred on the origin.
constexpr double FaceHalfWidth = 38;
constexpr double FaceHalfHeight = 50;

QPainterPath FaceOval()
{
    // Wider at the cheekbones than at the chin.
    QPainterPath path;
    path.moveTo(0, -FaceHalfHeight);
    path.cubicTo(24, -FaceHalfHeight, FaceHalfWidth, -30, FaceHalfWidth, -4);
    path.cubicTo(FaceHalfWidth, 22, 22, FaceHalfHeight, 0, FaceHalfHeight);
    path.cubicTo(-22, FaceHalfHeight, -FaceHalfWidth, 22, -FaceHalfWidth, -4);
    path.cubicTo(-FaceHalfWidth, -30, -24, -FaceHalfHeight, 0, -FaceHalfHeight);
    path.closeSubpath();
    return path;
}

// Skin lit from the upper left, falling off towards the edges.
QBrush SkinShading(const QColor& skin)
{
    QRadialGradient light(QPointF(-8, -14), 62, QPointF(-12, -20));
    light.setColorAt(0, skin.lighter(110));
    light.setColorAt(0.7, skin);
    light.setColorAt(1, skin.darker(118));
    return light;
}

void HairBehind(QPainter& p, SceneArt::Hair style, const QColor& hair)
{
    if (style != SceneArt::Hair::Long)
        return;
    QPainterPath path;
    path.moveTo(-46, -20);
    path.cubicTo(-50, -70, 50, -70, 46, -20);
    path.cubicTo(52, 20, 56, 50, 50, 78);
    path.lineTo(-50, 78);
    path.cubicTo(-56, 50, -52, 20, -46, -20);
    path.closeSubpath();
    p.setPen(OutlinePen(1.2));
    p.setBrush(hair);
    p.drawPath(path);
}

void HairOnTop(QPainter& p, SceneArt::Hair style, const QColor& hair)
{
    p.setPen(OutlinePen(1.2));
    QLinearGradient sheen(0, -60, 0, -10);
    sheen.setColorAt(0, hair.lighter(135));
    sheen.setColorAt(1, hair);
    p.setBrush(sheen);
    QPainterPath cap;
    switch (style) {
    case SceneArt::Hair::Short:
        cap.moveTo(-FaceHalfWidth - 2, -6);
        cap.cubicTo(-46, -62, 40, -70, FaceHalfWidth + 2, -10);
        cap.cubicTo(30, -30, 10, -34, -6, -36);
        cap.cubicTo(-20, -30, -30, -24, -FaceHalfWidth - 2, -6);
        cap.closeSubpath();
        p.drawPath(cap);
        break;
    case SceneArt::Hair::Long:
        cap.moveTo(-FaceHalfWidth - 4, 10);
        cap.cubicTo(-48, -66, 48, -66, FaceHalfWidth + 4, 10);
        cap.cubicTo(30, -20, 14, -34, 2, -38);
        cap.cubicTo(-12, -30, -32, -20, -FaceHalfWidth - 4, 10);
        cap.closeSubpath();
        p.drawPath(cap);
        break;
    case SceneArt::Hair::Curly:
        // Curls round the crown, on a fixed pattern.
        for (int i = 0; i <= 12; ++i) {
            const double angle = std::numbers::pi * (1.08 + i * 0.07);
            const QPointF curl(44 * std::cos(angle), -14 + 44 * std::sin(angle));
            p.drawEllipse(curl, 12 - (i % 2) * 2, 11 - (i % 3));
        }
        cap.addEllipse(QPointF(0, -36), 36, 18);
        p.setPen(Qt::NoPen);
        p.drawPath(cap);
        break;
    case SceneArt::Hair::Bun:
        p.drawEllipse(QPointF(0, -60), 16, 13);
        cap.moveTo(-FaceHalfWidth - 1, -4);
        cap.cubicTo(-44, -62, 44, -62, FaceHalfWidth + 1, -4);
        cap.cubicTo(28, -34, -28, -34, -FaceHalfWidth - 1, -4);
        cap.closeSubpath();
        p.drawPath(cap);
        break;
    }
}

void Eye(QPainter& p, double x)
{
    QPainterPath almond;
    almond.moveTo(x - 9, -4);
    almond.cubicTo(x - 5, -10, x + 5, -10, x + 9, -4);
    almond.cubicTo(x + 5, 0, x - 5, 0, x - 9, -4);
    p.setPen(QPen(Outline, 0.8));
    p.setBrush(QColor(250, 250, 246));
    p.drawPath(almond);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 60, 40));
    p.drawEllipse(QPointF(x, -4.5), 3.6, 3.6);
    p.setBrush(QColor(20, 15, 15));
    p.drawEllipse(QPointF(x, -4.5), 1.7, 1.7);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(x - 1.2, -5.8), 0.8, 0.8);
}

void Features(QPainter& p, const QColor& skin, const QColor& hair)
{
    Eye(p, -16);
    Eye(p, 16);
    // Brows in the hair's colour, a nose shown by its shadow, and the lips.
    p.setPen(QPen(hair.darker(120), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-27, -17, 20, 10), 30 * 16, 120 * 16);
    p.drawArc(QRectF(7, -17, 20, 10), 30 * 16, 120 * 16);
    p.setPen(QPen(skin.darker(135), 1.2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath nose;
    nose.moveTo(-2, -2);
    nose.cubicTo(-4, 6, -7, 12, -4, 15);
    nose.cubicTo(-1, 17, 2, 17, 5, 14);
    p.drawPath(nose);
    QPainterPath lips;
    lips.moveTo(-12, 27);
    lips.cubicTo(-6, 24, -2, 25, 0, 26);
    lips.cubicTo(2, 25, 6, 24, 12, 27);
    lips.cubicTo(6, 33, -6, 33, -12, 27);
    lips.closeSubpath();
    p.setPen(QPen(skin.darker(160), 0.8));
    p.setBrush(QColor(190, 90, 90).darker(skin.lightness() < 120 ? 140 : 100));
    p.drawPath(lips);
    p.setPen(Qt::NoPen);
    QColor blush(230, 110, 100, 40);
    p.setBrush(blush);
    p.drawEllipse(QPointF(-22, 12), 8, 5);
    p.drawEllipse(QPointF(22, 12), 8, 5);
}

void Ears(QPainter& p, const QColor& skin)
{
    p.setPen(OutlinePen(1.2));
    p.setBrush(skin.darker(106));
    p.drawEllipse(QPointF(-FaceHalfWidth, 0), 6, 11);
    p.drawEllipse(QPointF(FaceHalfWidth, 0), 6, 11);
}

void DrawHead(QPainter& p, const SceneArt::Person& person)
{
    Ears(p, person.skin);
    p.setPen(OutlinePen(1.2));
    p.setBrush(SkinShading(person.skin));
    p.drawPath(FaceOval());
    Features(p, person.skin, person.hair);
    HairOnTop(p, person.hairStyle, person.hair);
}

void DrawBodyAtOrigin(QPainter& p, SceneArt::Body body, const QColor& skin)
{
    switch (body) {
    case SceneArt::Body::SpaceSuit:
        SpaceSuit(p, skin);
        break;
    case SceneArt::Body::SuitAndTie:
        SuitAndTie(p, skin);
        break;
    case SceneArt::Body::TShirt:
        TShirt(p, skin);
        break;
    case SceneArt::Body::StripedSwimsuit:
        StripedSwimsuit(p, skin);
        break;
    case SceneArt::Body::HeroCape:
        HeroCape(p, skin);
        break;
    }
}

} // namespace

QImage SceneArt::Background(const QImage& photo, QSize size, QPointF focus, double zoom)
{
    // The largest piece of the photo with the target's proportions, made smaller by the zoom, as near the
    // focus as it fits.
    const double aspect = static_cast<double>(size.width()) / size.height();
    double w = photo.width(), h = photo.height();
    if (w / h > aspect)
        w = h * aspect;
    else
        h = w / aspect;
    w /= zoom;
    h /= zoom;
    const double x = std::clamp(focus.x() * photo.width() - w / 2, 0.0, photo.width() - w);
    const double y = std::clamp(focus.y() * photo.height() - h / 2, 0.0, photo.height() - h);
    const QImage piece = photo.copy(QRectF(x, y, w, h).toRect()).convertToFormat(QImage::Format_RGB32);
    return piece.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage SceneArt::Beach(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);  // a new image holds whatever memory held; edges that blend must not see it
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width(), h = size.height();
    QLinearGradient sky(0, 0, 0, h * 0.55);
    sky.setColorAt(0, QColor(80, 160, 235));
    sky.setColorAt(1, QColor(190, 225, 250));
    p.fillRect(QRectF(0, 0, w, h * 0.55), sky);
    QLinearGradient sea(0, h * 0.55, 0, h * 0.72);
    sea.setColorAt(0, QColor(20, 110, 170));
    sea.setColorAt(1, QColor(60, 170, 200));
    p.fillRect(QRectF(0, h * 0.55, w, h * 0.17), sea);
    QLinearGradient sand(0, h * 0.72, 0, h);
    sand.setColorAt(0, QColor(240, 215, 150));
    sand.setColorAt(1, QColor(220, 185, 120));
    p.fillRect(QRectF(0, h * 0.72, w, h * 0.28), sand);
    // Sun, waves, clouds and a parasol.
    QRadialGradient sun(QPointF(w * 0.82, h * 0.16), h * 0.1);
    sun.setColorAt(0, QColor(255, 250, 200));
    sun.setColorAt(1, QColor(255, 210, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(w * 0.82, h * 0.16), h * 0.09, h * 0.09);
    p.setBrush(QColor(255, 255, 255, 230));
    for (const QPointF& c : {QPointF(w * 0.18, h * 0.14), QPointF(w * 0.45, h * 0.22)}) {
        p.drawEllipse(c, w * 0.07, h * 0.04);
        p.drawEllipse(c + QPointF(w * 0.05, -h * 0.02), w * 0.06, h * 0.045);
        p.drawEllipse(c + QPointF(w * 0.09, h * 0.005), w * 0.05, h * 0.03);
    }
    p.setPen(QPen(QColor(230, 245, 255), 3));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        const double y = h * (0.58 + i * 0.025);
        QPainterPath wave;
        wave.moveTo(0, y);
        for (double x = 0; x < w; x += 80) {
            wave.quadTo(x + 20, y - 6, x + 40, y);
            wave.quadTo(x + 60, y + 6, x + 80, y);
        }
        p.drawPath(wave);
    }
    p.setPen(OutlinePen(5));
    p.drawLine(QPointF(w * 0.14, h * 0.95), QPointF(w * 0.17, h * 0.5));
    QPainterPath parasol;
    parasol.moveTo(w * 0.02, h * 0.55);
    parasol.quadTo(w * 0.17, h * 0.32, w * 0.32, h * 0.47);
    parasol.closeSubpath();
    p.setBrush(QColor(240, 80, 90));
    p.drawPath(parasol);
    return image;
}

QImage SceneArt::NightCity(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);  // a new image holds whatever memory held; edges that blend must not see it
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width(), h = size.height();
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(10, 15, 45));
    sky.setColorAt(1, QColor(50, 40, 100));
    p.fillRect(image.rect(), sky);
    // Stars on a fixed pattern, the moon, then a skyline with lit windows.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 230));
    for (int i = 0; i < 60; ++i) {
        const double x = std::fmod(i * 167.3, w), y = std::fmod(i * 71.9, h * 0.5);
        p.drawEllipse(QPointF(x, y), 1.5 + (i % 3), 1.5 + (i % 3));
    }
    p.drawEllipse(QPointF(w * 0.78, h * 0.18), h * 0.08, h * 0.08);
    p.setBrush(QColor(10, 15, 45));
    p.drawEllipse(QPointF(w * 0.80, h * 0.16), h * 0.07, h * 0.07);
    static constexpr double heights[] = {0.35, 0.5, 0.28, 0.62, 0.42, 0.55, 0.3, 0.47, 0.38, 0.58};
    const double width = w / std::size(heights);
    for (size_t i = 0; i < std::size(heights); ++i) {
        const QRectF building(i * width, h * (1 - heights[i]), width - 6, h * heights[i]);
        p.setBrush(QColor(25, 25, 40));
        p.drawRect(building);
        p.setBrush(QColor(255, 220, 120));
        for (double y = building.top() + 20; y < h - 20; y += 36) {
            for (double x = building.left() + 12; x < building.right() - 18; x += 26) {
                if (static_cast<int>(x * 3 + y * 7) % 5 != 0)
                    p.drawRect(QRectF(x, y, 10, 16));
            }
        }
    }
    return image;
}

void SceneArt::DrawBody(QPainter& painter, Body body, QPointF neck, double scale)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(neck);
    painter.scale(scale, scale);
    DrawBodyAtOrigin(painter, body, QColor(240, 196, 160));
    painter.restore();
}

QRectF SceneArt::HeadBox(QSize size)
{
    const double height = size.height() * 0.44;
    const double width = height * 2 * FaceHalfWidth / (2 * FaceHalfHeight);
    return QRectF(size.width() / 2.0 - width / 2, size.height() / 2.0 - height / 2, width, height);
}

QRectF SceneArt::FaceBox(QSize size)
{
    // Below the lowest hairline (the curls) and inside the cheeks, in the head's units.
    const QRectF head = HeadBox(size);
    const double unit = head.height() / (2 * FaceHalfHeight);
    const QRectF face(-32, -20, 64, 66);
    return QRectF(head.center() + face.topLeft() * unit, face.size() * unit);
}

void SceneArt::DrawPerson(QPainter& painter, const Person& person, QSize size)
{
    const QRectF box = HeadBox(size);
    const double unit = box.height() / (2 * FaceHalfHeight);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center());
    painter.scale(unit, unit);
    HairBehind(painter, person.hairStyle, person.hair);
    // The body is drawn at its own scale (shoulders 300 wide), its neck's top under the chin.
    painter.save();
    painter.translate(0, 32);
    painter.scale(0.58, 0.58);
    DrawBodyAtOrigin(painter, person.body, person.skin);
    painter.restore();
    DrawHead(painter, person);
    painter.restore();
}
