#pragma once

#include "platform/metafile/MetafileObject.h"

#include <QBrush>
#include <QPen>
#include <optional>

namespace platform::metafile_style {

// The Qt pen that draws a metafile pen; nullopt for a null or hollow pen. pixelsPerUnit is how many
// target pixels one logical unit spans: a cosmetic pen, a zero width and a line narrower than one
// pixel are all drawn one pixel wide, as Windows does. miterLimit is the file's (miter length
// over line width).
std::optional<QPen> PenFor(const MetafileObject& pen, qreal pixelsPerUnit, qreal miterLimit);

// The Qt brush that fills with a metafile brush; nullopt for a null brush and for the bitmap
// brushes this player does not draw.
std::optional<QBrush> BrushFor(const MetafileObject& brush);

} // namespace platform::metafile_style
