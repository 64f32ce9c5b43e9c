#include "platform/metafile/MetafileRasterOp.h"

#include <uemf.h>

#include <QImage>
#include <QPaintDevice>

namespace platform {

MetafileRasterOp::MetafileRasterOp(QPainter& painter, uint32_t rop2, bool keepAntialiasing)
    : MetafileRasterOp(painter, ModeFor(rop2), keepAntialiasing)
{
}

MetafileRasterOp::MetafileRasterOp(QPainter& painter, QPainter::CompositionMode mode, bool keepAntialiasing)
    : m_painter(painter)
    , m_mode(painter.compositionMode())
    , m_antialiased(painter.testRenderHint(QPainter::Antialiasing))
{
    if (mode == m_mode)
        return;
    m_changed = true;
    m_painter.setCompositionMode(mode);
    if (mode >= QPainter::RasterOp_SourceOrDestination && !keepAntialiasing)
        m_painter.setRenderHint(QPainter::Antialiasing, false);
}

MetafileRasterOp::~MetafileRasterOp()
{
    if (!m_changed)
        return;
    if (m_painter.compositionMode() >= QPainter::RasterOp_SourceOrDestination)
        Settle();
    m_painter.setCompositionMode(m_mode);
    m_painter.setRenderHint(QPainter::Antialiasing, m_antialiased);
}

void MetafileRasterOp::Touch(const QRectF& deviceArea)
{
    if (m_changed && deviceArea.isValid())
        m_touched |= deviceArea.toAlignedRect();
}

void MetafileRasterOp::Settle()
{
    QPaintDevice* device = m_painter.device();
    if (!device || device->devType() != QInternal::Image)
        return;
    auto* image = static_cast<QImage*>(device);
    const QRect area = m_touched.intersected(image->rect());
    if (image->format() != QImage::Format_ARGB32_Premultiplied || area.isEmpty())
        return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        // The painter draws into this very memory: no copy may be made of it.
        auto* line = reinterpret_cast<QRgb*>(const_cast<uchar*>(image->constScanLine(y)));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = line[x];
            const int alpha = qAlpha(pixel);
            if (alpha != 255 && (qRed(pixel) > alpha || qGreen(pixel) > alpha || qBlue(pixel) > alpha))
                line[x] = pixel | 0xFF000000;
        }
    }
}

// The codes name the result with P the pen or brush and D the picture.
QPainter::CompositionMode MetafileRasterOp::ModeFor(uint32_t rop2)
{
    using M = QPainter::CompositionMode;
    switch (rop2) {
    case U_R2_NOTMERGEPEN: return M::RasterOp_NotSourceAndNotDestination; // ~(P | D)
    case U_R2_MASKNOTPEN: return M::RasterOp_NotSourceAndDestination;     // ~P & D
    case U_R2_NOTCOPYPEN: return M::RasterOp_NotSource;                   // ~P
    case U_R2_MASKPENNOT: return M::RasterOp_SourceAndNotDestination;     // P & ~D
    case U_R2_NOT: return M::RasterOp_NotDestination;                     // ~D
    case U_R2_XORPEN: return M::RasterOp_SourceXorDestination;            // P ^ D
    case U_R2_NOTMASKPEN: return M::RasterOp_NotSourceOrNotDestination;   // ~(P & D)
    case U_R2_MASKPEN: return M::RasterOp_SourceAndDestination;           // P & D
    case U_R2_NOTXORPEN: return M::RasterOp_NotSourceXorDestination;      // ~(P ^ D)
    case U_R2_MERGENOTPEN: return M::RasterOp_NotSourceOrDestination;     // ~P | D
    case U_R2_MERGEPENNOT: return M::RasterOp_SourceOrNotDestination;     // P | ~D
    case U_R2_MERGEPEN: return M::RasterOp_SourceOrDestination;           // P | D
    default: return M::CompositionMode_SourceOver; // copy, black, white (no-op draws nothing)
    }
}

} // namespace platform
