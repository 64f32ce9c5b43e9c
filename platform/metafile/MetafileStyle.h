#pragma once

#include "platform/metafile/MetafileObject.h"

#include <QBrush>
#include <QPen>
#include <QTransform>
#include <optional>

namespace platform::metafile_style {

// The Qt pen that draws a metafile pen; nullopt for a null or hollow pen. pixelsPerUnit is how many
// target pixels one logical unit spans: a cosmetic pen, a zero width and a line narrower than one
// pixel are all drawn one pixel wide, as Windows does. miterLimit is the file's (miter length
// over line width).
std::optional<QPen> PenFor(const MetafileObject& pen, qreal pixelsPerUnit, qreal miterLimit);

// Dashes in one figure beyond which it is drawn (and widened) as the solid line they make up: Qt
// outlines every dash.
constexpr qreal kMostDashesPerFigure = 10000;

// Makes a dashed pen solid when more than kMostDashesPerFigure dashes would run along length (device
// pixels for a cosmetic pen, the path's units for another); returns how many dashes it draws.
qreal LimitDashes(QPen& pen, qreal length);

// What a brush's pattern needs when it fills: the device context's text and background colours and
// background mode, and the transform from the pattern's pixels (reference-device pixels counted from
// the brush origin) to the painter's coordinates of the fill.
struct BrushContext {
    QRgb textColour = qRgb(0, 0, 0);
    QRgb backgroundColour = qRgb(255, 255, 255);
    bool opaqueBackground = false;
    QTransform patternToPainter;
};

// The Qt brush that fills with a metafile brush; nullopt for a null brush and for a pattern brush
// whose bitmap could not be decoded. Hatches are the 8 x 8 pixel patterns of the reference device,
// their lines in the brush's colour and, in the opaque background mode, the gaps in the background
// colour; pattern brushes repeat their bitmap, a monochrome one painting its 0 bits in the text
// colour and its 1 bits in the background colour. Patterns are scaled with the reference device's
// pixels, so that a bubble drawn larger shows the same pattern larger.
std::optional<QBrush> BrushFor(const MetafileObject& brush, const BrushContext& context = BrushContext());

} // namespace platform::metafile_style
