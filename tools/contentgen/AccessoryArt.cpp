#include "tools/contentgen/AccessoryArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace {

const QColor Ink(30, 25, 25);

QPen InkPen(double width = 4)
{
    return QPen(Ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QImage Transparent(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void TopHat(QPainter& p)
{
    p.setPen(InkPen());
    p.setBrush(QColor(25, 25, 30));
    p.drawEllipse(QRectF(10, 220, 380, 70));
    p.drawRoundedRect(QRectF(90, 20, 220, 240), 18, 18);
    p.setBrush(QColor(190, 30, 40));
    p.drawRect(QRectF(90, 185, 220, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 50));
    p.drawRoundedRect(QRectF(110, 35, 30, 140), 12, 12);
}

void PartyHat(QPainter& p)
{
    QPainterPath cone;
    cone.moveTo(130, 40);
    cone.lineTo(245, 320);
    cone.quadTo(130, 345, 15, 320);
    cone.closeSubpath();
    p.setPen(InkPen());
    p.setBrush(QColor(70, 140, 230));
    p.drawPath(cone);
    p.save();
    p.setClipPath(cone);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 50));
    for (int i = 0; i < 6; ++i) {
        QPainterPath band;
        band.moveTo(0, 60 + i * 55);
        band.lineTo(260, 20 + i * 55);
        band.lineTo(260, 45 + i * 55);
        band.lineTo(0, 85 + i * 55);
        band.closeSubpath();
        p.drawPath(band);
    }
    p.restore();
    p.setPen(InkPen());
    p.setBrush(Qt::NoBrush);
    p.drawPath(cone);
    p.setBrush(QColor(240, 60, 120));
    p.drawEllipse(QPointF(130, 36), 28, 28);
}

void CowboyHat(QPainter& p)
{
    QPainterPath brim;
    brim.moveTo(10, 120);
    brim.quadTo(60, 200, 220, 205);
    brim.quadTo(380, 200, 430, 120);
    brim.quadTo(400, 175, 220, 172);
    brim.quadTo(40, 175, 10, 120);
    QPainterPath crown;
    crown.moveTo(110, 175);
    crown.cubicTo(100, 60, 130, 20, 175, 30);
    crown.quadTo(220, 55, 265, 30);
    crown.cubicTo(310, 20, 340, 60, 330, 175);
    crown.closeSubpath();
    p.setPen(InkPen());
    p.setBrush(QColor(150, 95, 45));
    p.drawPath(crown);
    p.drawPath(brim);
    p.setBrush(QColor(90, 50, 25));
    p.drawRect(QRectF(112, 140, 216, 24));
}

void Crown(QPainter& p)
{
    QPainterPath crown;
    crown.moveTo(30, 230);
    crown.lineTo(20, 60);
    crown.lineTo(110, 140);
    crown.lineTo(200, 20);
    crown.lineTo(290, 140);
    crown.lineTo(380, 60);
    crown.lineTo(370, 230);
    crown.closeSubpath();
    QLinearGradient gold(0, 20, 0, 230);
    gold.setColorAt(0, QColor(255, 235, 120));
    gold.setColorAt(1, QColor(215, 160, 20));
    p.setPen(InkPen());
    p.setBrush(gold);
    p.drawPath(crown);
    p.drawRect(QRectF(30, 195, 340, 40));
    const QColor jewels[] = {QColor(220, 30, 50), QColor(40, 90, 220), QColor(40, 170, 80)};
    for (int i = 0; i < 5; ++i) {
        p.setBrush(jewels[i % 3]);
        p.drawEllipse(QPointF(70 + i * 65, 215), 13, 11);
    }
    p.setBrush(QColor(250, 250, 250));
    for (const QPointF& tip : {QPointF(20, 60), QPointF(200, 20), QPointF(380, 60)})
        p.drawEllipse(tip, 14, 14);
}

void Glasses(QPainter& p, bool dark)
{
    const QColor frame = dark ? QColor(20, 20, 20) : QColor(120, 60, 30);
    p.setPen(QPen(frame, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(dark ? QColor(25, 30, 40, 235) : QColor(200, 230, 255, 70));
    if (dark) {
        p.drawRoundedRect(QRectF(40, 40, 150, 95), 30, 40);
        p.drawRoundedRect(QRectF(250, 40, 150, 95), 30, 40);
    } else {
        p.drawEllipse(QPointF(120, 85), 70, 65);
        p.drawEllipse(QPointF(320, 85), 70, 65);
    }
    p.setBrush(Qt::NoBrush);
    QPainterPath bridge;
    bridge.moveTo(190, 75);
    bridge.quadTo(220, 50, 250, 75);
    p.drawPath(bridge);
    p.drawLine(QPointF(40, 70), QPointF(8, 60));
    p.drawLine(QPointF(400, 70), QPointF(432, 60));
    if (dark) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 90));
        p.drawEllipse(QPointF(90, 70), 24, 12);
        p.drawEllipse(QPointF(300, 70), 24, 12);
    }
}

void Moustache(QPainter& p, bool handlebar)
{
    QPainterPath half;
    if (handlebar) {
        half.moveTo(200, 50);
        half.cubicTo(150, 20, 90, 40, 70, 80);
        half.cubicTo(55, 105, 30, 100, 25, 70);
        half.cubicTo(15, 110, 60, 135, 100, 110);
        half.cubicTo(140, 90, 170, 85, 200, 95);
    } else {
        half.moveTo(180, 30);
        half.cubicTo(120, 20, 50, 40, 30, 120);
        half.lineTo(60, 110);
        half.lineTo(80, 135);
        half.lineTo(105, 112);
        half.lineTo(130, 140);
        half.lineTo(150, 112);
        half.lineTo(180, 135);
    }
    half.closeSubpath();
    const qreal width = handlebar ? 400 : 360;
    QPainterPath both = half;
    both.addPath(QTransform(-1, 0, 0, 1, width, 0).map(half));
    p.setPen(InkPen(3));
    p.setBrush(handlebar ? QColor(60, 35, 20) : QColor(110, 110, 110));
    p.drawPath(both.simplified());
}

void BowTie(QPainter& p)
{
    QPainterPath wings;
    wings.moveTo(150, 80);
    wings.cubicTo(100, 10, 30, 10, 20, 40);
    wings.lineTo(20, 120);
    wings.cubicTo(30, 150, 100, 150, 150, 80);
    wings.cubicTo(200, 150, 270, 150, 280, 120);
    wings.lineTo(280, 40);
    wings.cubicTo(270, 10, 200, 10, 150, 80);
    wings.closeSubpath();
    p.setPen(InkPen());
    p.setBrush(QColor(180, 20, 60));
    p.drawPath(wings);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    for (const QPointF& dot : {QPointF(60, 55), QPointF(85, 105), QPointF(215, 55), QPointF(240, 105)})
        p.drawEllipse(dot, 9, 9);
    p.setPen(InkPen());
    p.setBrush(QColor(150, 15, 50));
    p.drawRoundedRect(QRectF(128, 55, 44, 50), 10, 10);
}

QSize CanvasSize(AccessoryArt::Kind kind)
{
    using Kind = AccessoryArt::Kind;
    switch (kind) {
    case Kind::TopHat:
        return {400, 300};
    case Kind::PartyHat:
        return {260, 350};
    case Kind::CowboyHat:
        return {440, 220};
    case Kind::Crown:
        return {400, 250};
    case Kind::RoundGlasses:
    case Kind::Sunglasses:
        return {440, 170};
    case Kind::Handlebar:
        return {400, 150};
    case Kind::Walrus:
        return {360, 160};
    case Kind::BowTie:
        return {300, 160};
    }
    return {400, 300};
}

} // namespace

QImage AccessoryArt::Draw(Kind kind)
{
    QImage image = Transparent(CanvasSize(kind));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case Kind::TopHat:
        TopHat(p);
        break;
    case Kind::PartyHat:
        PartyHat(p);
        break;
    case Kind::CowboyHat:
        CowboyHat(p);
        break;
    case Kind::Crown:
        Crown(p);
        break;
    case Kind::RoundGlasses:
        Glasses(p, false);
        break;
    case Kind::Sunglasses:
        Glasses(p, true);
        break;
    case Kind::Handlebar:
        Moustache(p, true);
        break;
    case Kind::Walrus:
        Moustache(p, false);
        break;
    case Kind::BowTie:
        BowTie(p);
        break;
    }
    return image;
}

QImage AccessoryArt::Badge(const QImage& picture)
{
    // The picture's round middle, cut out of its square so that the corners are transparent.
    constexpr int BadgeSize = 256;
    constexpr double Rim = 0.485;  // of the side: just inside the picture's own circle and its white fringe
    QImage image = Transparent(QSize(BadgeSize, BadgeSize));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath disc;
    disc.addEllipse(QPointF(BadgeSize / 2.0, BadgeSize / 2.0), BadgeSize * Rim, BadgeSize * Rim);
    p.setClipPath(disc);
    p.drawImage(image.rect(), picture.scaled(BadgeSize, BadgeSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return image;
}
