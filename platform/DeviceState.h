#pragma once

#include "platform/ColourAdjustment.h"
#include "platform/DrawTypes.h"

#include <QColor>
#include <QFont>
#include <QRegion>
#include <QTransform>
#include <optional>

namespace platform {

// Everything a device context's drawing depends on, with the values of a fresh context.
struct DeviceState {
    GraphicsModeKind graphicsMode = GraphicsModeKind::Compatible;
    QTransform worldTransform;  // applied only in advanced mode
    StretchMode stretchMode = StretchMode::BlackOnWhite;
    RasterOp rasterOp = RasterOp::CopyPen;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
    QColor backgroundColour = Qt::white;
    QColor textColour = Qt::black;
    Pen pen;
    std::optional<QColor> brush = QColor(Qt::white);  // nothing: the null brush
    PolygonFillMode polygonFillMode = PolygonFillMode::Alternate;
    QFont font;
    std::optional<QRegion> clipRegion;  // device pixels; nothing: no clipping
    ColourAdjustment colourAdjustment;
};

} // namespace platform
