#pragma once

#include <QPainter>
#include <QRect>
#include <cstdint>

namespace platform {

// Paints with a pen and brush mix (a ROP2 code) for as long as it lives, then puts the painter back
// to plain painting. The mixes other than copying, black and white combine the colour's bits with
// the picture's, which Qt's raster operations do on whole pixels: antialiasing is off for them, as
// in Windows, so that an edge pixel is mixed once, not blended. keepAntialiasing leaves it on: Qt
// rasterizes every clip path again when antialiasing is turned on or off, so under a clip path the
// mixes paint every pixel an edge touches (Qt mixes those whole too).
class MetafileRasterOp {
public:
    MetafileRasterOp(QPainter& painter, uint32_t rop2, bool keepAntialiasing);
    MetafileRasterOp(QPainter& painter, QPainter::CompositionMode mode, bool keepAntialiasing);
    ~MetafileRasterOp();
    MetafileRasterOp(const MetafileRasterOp&) = delete;
    MetafileRasterOp& operator=(const MetafileRasterOp&) = delete;

    // Where the painting went, in device pixels: where the picture was not opaque, the raster
    // operations leave colours above their alpha, which no picture may hold. Those pixels become
    // opaque when this ends (a transparent pixel mixes as black).
    void Touch(const QRectF& deviceArea);

    // The Qt mode that mixes like rop2; source-over for copying and for the codes the player paints
    // with a fixed colour (black, white).
    static QPainter::CompositionMode ModeFor(uint32_t rop2);

private:
    void Settle();

    QPainter& m_painter;
    QPainter::CompositionMode m_mode;
    bool m_antialiased;
    bool m_changed = false;
    QRect m_touched;
};

} // namespace platform
