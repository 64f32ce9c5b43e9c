#pragma once

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <initializer_list>

// Small drawing helpers that every picture of the art generator uses.
namespace ArtKit {

// A closed polygon through the points.
QPainterPath Polygon(std::initializer_list<QPointF> points);
// Three quarters of a turn clockwise around the ring, from nine o'clock to six, as a band of the
// width, joined with the arrow's head.
QPainterPath TurnArrow(const QRectF& ring, double width, const QPainterPath& head);
// From top at y = from to bottom at y = to.
QLinearGradient VerticalGradient(const QColor& top, const QColor& bottom, double from, double to);
// Liberation Sans (installed with the program's packages) at a pixel size, so that text is drawn the
// same on every machine.
QFont Font(int pixelSize, bool bold = false);

} // namespace ArtKit
