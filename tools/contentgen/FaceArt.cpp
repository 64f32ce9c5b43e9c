#include "tools/contentgen/FaceArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor Ink(35, 30, 30);

QPen InkPen(double width)
{
    return QPen(Ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Eyes(QPainter& p, double y, double apart, double radius, const QColor& white)
{
    p.setPen(InkPen(5));
    p.setBrush(white);
    p.drawEllipse(QPointF(256 - apart, y), radius, radius * 1.15);
    p.drawEllipse(QPointF(256 + apart, y), radius, radius * 1.15);
    p.setBrush(Ink);
    p.drawEllipse(QPointF(256 - apart + radius * 0.25, y + radius * 0.1), radius * 0.45, radius * 0.5);
    p.drawEllipse(QPointF(256 + apart + radius * 0.25, y + radius * 0.1), radius * 0.45, radius * 0.5);
}

void Smile(QPainter& p, const QRectF& box, int fromDegrees, int spanDegrees)
{
    p.setPen(InkPen(8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(box, fromDegrees * 16, spanDegrees * 16);
}

void Smiley(QPainter& p)
{
    QRadialGradient face(QPointF(230, 220), 150);
    face.setColorAt(0, QColor(255, 240, 120));
    face.setColorAt(1, QColor(250, 200, 40));
    p.setPen(InkPen(6));
    p.setBrush(face);
    p.drawEllipse(QPointF(256, 256), 132, 140);
    Eyes(p, 222, 48, 20, QColor(255, 255, 255));
    Smile(p, QRectF(176, 200, 160, 120), 200, 140);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 130, 110, 150));
    p.drawEllipse(QPointF(172, 282), 22, 14);
    p.drawEllipse(QPointF(340, 282), 22, 14);
}

void Robot(QPainter& p)
{
    p.setPen(InkPen(6));
    p.setBrush(QColor(160, 170, 185));
    p.drawRoundedRect(QRectF(136, 130, 240, 256), 30, 30);
    p.drawLine(QPointF(256, 130), QPointF(256, 90));
    p.setBrush(QColor(230, 50, 50));
    p.drawEllipse(QPointF(256, 84), 14, 14);
    p.setBrush(QColor(120, 130, 145));
    p.drawRect(QRectF(114, 220, 22, 70));
    p.drawRect(QRectF(376, 220, 22, 70));
    // Screen eyes and a grille mouth.
    p.setBrush(QColor(80, 220, 255));
    p.drawRoundedRect(QRectF(172, 190, 64, 48), 10, 10);
    p.drawRoundedRect(QRectF(276, 190, 64, 48), 10, 10);
    p.setBrush(QColor(60, 60, 70));
    p.drawRoundedRect(QRectF(186, 290, 140, 50), 10, 10);
    p.setPen(InkPen(4));
    for (int x = 210; x < 326; x += 24)
        p.drawLine(QPointF(x, 292), QPointF(x, 338));
}

void Alien(QPainter& p)
{
    QPainterPath head;
    head.moveTo(256, 110);
    head.cubicTo(380, 110, 400, 230, 360, 300);
    head.cubicTo(330, 360, 290, 400, 256, 400);
    head.cubicTo(222, 400, 182, 360, 152, 300);
    head.cubicTo(112, 230, 132, 110, 256, 110);
    p.setPen(InkPen(6));
    p.setBrush(QColor(120, 210, 110));
    p.drawPath(head);
    p.setBrush(Ink);
    p.save();
    p.translate(200, 235);
    p.rotate(25);
    p.drawEllipse(QPointF(0, 0), 44, 24);
    p.restore();
    p.save();
    p.translate(312, 235);
    p.rotate(-25);
    p.drawEllipse(QPointF(0, 0), 44, 24);
    p.restore();
    Smile(p, QRectF(226, 300, 60, 40), 210, 120);
}

void Dog(QPainter& p)
{
    p.setPen(InkPen(6));
    p.setBrush(QColor(120, 75, 40));
    p.drawEllipse(QPointF(140, 250), 50, 100);  // ears
    p.drawEllipse(QPointF(372, 250), 50, 100);
    p.setBrush(QColor(200, 150, 95));
    p.drawEllipse(QPointF(256, 256), 120, 130);
    p.setBrush(QColor(245, 225, 195));
    p.drawEllipse(QPointF(256, 310), 70, 55);
    Eyes(p, 225, 45, 18, QColor(255, 255, 255));
    p.setBrush(Ink);
    p.drawEllipse(QPointF(256, 285), 24, 16);
    Smile(p, QRectF(226, 290, 60, 50), 200, 140);
    p.setBrush(QColor(235, 90, 110));
    p.drawEllipse(QPointF(256, 346), 14, 18);
}

} // namespace

QImage FaceArt::FromPhoto(const QImage& photo, const QRect& square)
{
    return photo.copy(square)
        .convertToFormat(QImage::Format_RGB32)
        .scaled(Size, Size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage FaceArt::Backdrop()
{
    QImage image(Size, Size, QImage::Format_RGB32);
    image.fill(Qt::white);  // a new image holds whatever memory held; edges that blend must not see it
    QPainter p(&image);
    QRadialGradient backdrop(QPointF(256, 256), 360);
    backdrop.setColorAt(0, QColor(235, 240, 250));
    backdrop.setColorAt(1, QColor(170, 190, 220));
    p.fillRect(image.rect(), backdrop);
    return image;
}

QImage FaceArt::Defocused(const QImage& picture)
{
    // The picture's border, shrunk to a few cells, smoothly enlarged again: the middle (the face) takes
    // the colours around it.
    constexpr int Cells = 4;
    const QImage small = picture.convertToFormat(QImage::Format_RGB32)
                             .scaled(Cells, Cells, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage border = small;
    for (int y = 1; y < Cells - 1; ++y) {
        for (int x = 1; x < Cells - 1; ++x) {
            // Each inner cell takes the mean of the border cells in its row and column.
            const QRgb a = small.pixel(0, y), b = small.pixel(Cells - 1, y), c = small.pixel(x, 0);
            border.setPixel(x, y, qRgb((qRed(a) + qRed(b) + qRed(c)) / 3, (qGreen(a) + qGreen(b) + qGreen(c)) / 3,
                                       (qBlue(a) + qBlue(b) + qBlue(c)) / 3));
        }
    }
    return border.scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage FaceArt::Draw(Cartoon cartoon)
{
    QImage image = Backdrop();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (cartoon) {
    case Cartoon::Smiley:
        Smiley(p);
        break;
    case Cartoon::Robot:
        Robot(p);
        break;
    case Cartoon::Alien:
        Alien(p);
        break;
    case Cartoon::Dog:
        Dog(p);
        break;
    }
    return image;
}
