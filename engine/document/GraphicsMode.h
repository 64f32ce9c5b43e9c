#pragma once

#include "platform/DrawTypes.h"

#include <QTransform>

namespace platform {
class DeviceContext;
}

// The drawing state that all layer drawing expects, for one scope: advanced graphics mode (so world
// transforms apply) and halftone stretching (smooth sampling with the colour adjustment). The end of
// the scope puts back the transform first (a context can only return to compatible mode under the
// identity), then the stretch mode, the graphics mode and the raster operation.
class GraphicsMode {
public:
    explicit GraphicsMode(platform::DeviceContext& dc);
    ~GraphicsMode();
    GraphicsMode(const GraphicsMode&) = delete;
    GraphicsMode& operator=(const GraphicsMode&) = delete;

private:
    platform::DeviceContext& m_dc;
    platform::GraphicsModeKind m_savedGraphicsMode;
    platform::StretchMode m_savedStretchMode;
    platform::RasterOp m_savedRasterOp;
    QTransform m_savedTransform;
};
