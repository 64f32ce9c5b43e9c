#include "tools/artgen/PanelArt.h"

#include "tools/artgen/ArtKit.h"
#include "tools/artgen/Glyphs.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using ArtKit::Polygon;

namespace {

const QColor FolderEdge(150, 105, 20);
const QColor FolderLight(255, 228, 120);
const QColor FolderDark(235, 180, 50);

QImage Canvas(int width, int height, const QColor& fill)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

} // namespace

void PanelArt::DrawFolder(QPainter& p, bool open)
{
    p.setPen(QPen(FolderEdge, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(ArtKit::VerticalGradient(FolderDark, QColor(210, 150, 30), 1, 14));
    p.drawPath(Polygon({{0.5, 2.5}, {1.5, 1.5}, {5.5, 1.5}, {6.5, 2.5}, {14.5, 2.5}, {14.5, 13.5}, {0.5, 13.5}}));
    p.setBrush(ArtKit::VerticalGradient(FolderLight, FolderDark, 4, 14));
    if (open)
        p.drawPath(Polygon({{3.5, 6.5}, {15.5, 6.5}, {12.5, 13.5}, {0.5, 13.5}}));
    else
        p.drawPath(Polygon({{0.5, 4.5}, {14.5, 4.5}, {14.5, 13.5}, {0.5, 13.5}}));
}

namespace {

// A small landscape: sky, sun and hills, in the colours given.
void Landscape(QPainter& p, const QRectF& area, const QColor& sky, const QColor& sun, const QColor& hill)
{
    p.save();
    p.setClipRect(area);
    p.fillRect(area, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(area.left() + area.width() * 0.72, area.top() + area.height() * 0.3),
                  area.width() * 0.11, area.width() * 0.11);
    p.setBrush(hill);
    const double w = area.width();
    const double h = area.height();
    p.drawPath(Polygon({{area.left(), area.bottom()},
                        {area.left(), area.top() + h * 0.7},
                        {area.left() + w * 0.35, area.top() + h * 0.38},
                        {area.left() + w * 0.6, area.top() + h * 0.65},
                        {area.left() + w * 0.75, area.top() + h * 0.52},
                        {area.right(), area.top() + h * 0.75},
                        {area.right(), area.bottom()}}));
    p.restore();
}

} // namespace

QImage PanelArt::Folder(bool open)
{
    QImage image = Canvas(16, 14, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawFolder(p, open);
    return image;
}

QImage PanelArt::ThumbPlaceholder()
{
    QImage image = Canvas(100, 100, QColor(238, 238, 238));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 200, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 99, 99));
    const QRectF frame(25.5, 30.5, 49, 38);
    Landscape(p, frame, QColor(222, 222, 222), QColor(200, 200, 200), QColor(190, 190, 190));
    p.setPen(QPen(QColor(175, 175, 175), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    return image;
}

QImage PanelArt::LoadPicture()
{
    QImage image = Canvas(24, 24, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A photo coming out of an open folder.
    p.save();
    p.translate(12, 9);
    p.rotate(-8);
    const QRectF photo(-7.5, -7, 15, 12);
    p.fillRect(photo.adjusted(-1, -1, 1, 1), Qt::white);
    Landscape(p, photo, QColor(120, 190, 250), QColor(255, 215, 60), QColor(60, 160, 60));
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(photo.adjusted(-1, -1, 1, 1));
    p.restore();
    p.translate(1, 8);
    p.scale(22.0 / 16.0, 15.0 / 14.0);
    DrawFolder(p, true);
    return image;
}

QImage PanelArt::LayerButtonPicture(LayerButton button)
{
    QImage image = Canvas(26, 28, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF square(0, 1, 26, 26);
    switch (button) {
    case LayerButton::Up:
        Glyphs::Arrow(p, square, -90);
        break;
    case LayerButton::Down:
        Glyphs::Arrow(p, square, 90);
        break;
    case LayerButton::Delete:
        Glyphs::Cross(p, square);
        break;
    }
    return image;
}

QImage PanelArt::ProgramIcon(int size)
{
    QImage image = Canvas(size, size, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    // A photo with rounded corners and a smiling face in a party hat.
    QPainterPath photo;
    photo.addRoundedRect(QRectF(1.5, 1.5, 45, 45), 8, 8);
    p.setPen(QPen(QColor(30, 70, 140), 2.5));
    p.setBrush(ArtKit::VerticalGradient(QColor(110, 185, 255), QColor(40, 110, 220), 1, 47));
    p.drawPath(photo);
    Glyphs::Smiley(p, {24, 29}, 14);
    QLinearGradient stripes(14, 0, 34, 0);
    stripes.setColorAt(0, QColor(255, 80, 120));
    stripes.setColorAt(1, QColor(190, 20, 90));
    p.setPen(QPen(QColor(110, 10, 50), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(stripes);
    p.drawPath(Polygon({{15, 17}, {33, 17}, {25, 2}}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 60));
    p.drawEllipse(QPointF(25, 3), 3, 3);
    return image;
}
