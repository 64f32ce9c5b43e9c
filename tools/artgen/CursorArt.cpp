#include "tools/artgen/CursorArt.h"

#include "platform/ResourceId.h"
#include "tools/artgen/ArtKit.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>

namespace {

namespace id = platform::ResourceId;

constexpr double Rim = 2.0;  // the white rim's width around the black shape

// Black with a white rim.
void RimmedShape(QPainter& p, const QPainterPath& shape)
{
    p.setPen(QPen(Qt::white, Rim, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(shape);
}

// A double arrow through the centre, pointing up and down before it is turned.
QPainterPath DoubleArrow()
{
    QPolygonF arrow{{{0, -13}, {6, -7}, {2, -7}, {2, 7}, {6, 7}, {0, 13}, {-6, 7}, {-2, 7}, {-2, -7}, {-6, -7}}};
    QPainterPath path;
    path.addPolygon(arrow);
    path.closeSubpath();
    return path;
}

// Four arrows pointing outwards from the centre.
QPainterPath FourArrows()
{
    QPolygonF arrows{{{0, -13}, {5, -8},  {1.5, -8},  {1.5, -1.5}, {8, -1.5}, {8, -5},     {13, 0},   {8, 5},
                      {8, 1.5}, {1.5, 1.5}, {1.5, 8},  {5, 8},      {0, 13},   {-5, 8},     {-1.5, 8}, {-1.5, 1.5},
                      {-8, 1.5}, {-8, 5},   {-13, 0},  {-8, -5},    {-8, -1.5}, {-1.5, -1.5}, {-1.5, -8}, {-5, -8}}};
    QPainterPath path;
    path.addPolygon(arrows);
    path.closeSubpath();
    return path;
}

// Three quarters of a turn clockwise with its head.
QPainterPath TurnArrow()
{
    return ArtKit::TurnArrow(QRectF(-8.5, -8.5, 17, 17), 3, ArtKit::Polygon({{1.5, 3.5}, {1.5, 13}, {-5.5, 8.5}}));
}

// A ring as big as the brush with a dot in the middle; the erase brush's ring is dashed.
void Brush(QPainter& p, int32_t size, bool dashed)
{
    const double radius = size / 2.0 - 1.5;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 3));
    p.drawEllipse(QPointF(0, 0), radius, radius);
    QPen ring(Qt::black, 1);
    if (dashed)
        ring.setDashPattern({3.0, 2.0});
    p.setPen(ring);
    p.drawEllipse(QPointF(0, 0), radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), 2, 2);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(0, 0), 1, 1);
}

// The resize cursor's turn: 0, 22.5 ... 157.5 degrees clockwise from upright, by the cursor's place.
double ResizeTurn(int32_t cursorId)
{
    constexpr std::array<int32_t, 8> order{id::ResizeCursor0, id::ResizeCursor1, id::ResizeCursor2,
                                           id::ResizeCursor3, id::ResizeCursor4, id::ResizeCursor5,
                                           id::ResizeCursor6, id::ResizeCursor7};
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i] == cursorId)
            return 22.5 * static_cast<double>(i);
    }
    return -1;
}

} // namespace

QImage CursorArt::Draw(int32_t cursorId, int32_t size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(size / 2.0, size / 2.0);
    if (cursorId == id::PaintCursor || cursorId == id::EraseCursor) {
        Brush(p, size, cursorId == id::EraseCursor);
    } else if (cursorId == id::MoveCursor) {
        RimmedShape(p, FourArrows());
    } else if (cursorId == id::RotateCursor) {
        RimmedShape(p, TurnArrow());
    } else if (const double turn = ResizeTurn(cursorId); turn >= 0) {
        QTransform rotation;
        rotation.rotate(turn);
        RimmedShape(p, rotation.map(DoubleArrow()));
    }
    return image;
}
