#pragma once

#include "platform/metafile/MetafileClipArea.h"
#include "platform/metafile/MetafileObject.h"
#include "platform/metafile/MetafileObjectTable.h"

#include <QPoint>
#include <QPointF>
#include <QSizeF>
#include <QTransform>
#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

// The drawing state that the records set and that SAVEDC / RESTOREDC save and restore, with the
// values of a fresh device context. Modes hold the file format's numbers.
struct MetafileDcState {
    static constexpr uint32_t kTextMapMode = 1;
    static constexpr uint32_t kTransparent = 1;
    static constexpr uint32_t kOpaque = 2;
    static constexpr uint32_t kAlternate = 1;
    static constexpr uint32_t kCopyPen = 13;
    static constexpr uint32_t kCounterClockwise = 1;
    static constexpr qreal kDefaultMiterLimit = 10.0;

    MetafileObject pen = MetafileObjectTable::DefaultPen();
    MetafileObject brush = MetafileObjectTable::DefaultBrush();
    QRgb backgroundColour = qRgb(255, 255, 255);
    uint32_t backgroundMode = kOpaque;
    uint32_t fillMode = kAlternate;
    uint32_t rop2 = kCopyPen;
    uint32_t arcDirection = kCounterClockwise;
    qreal miterLimit = kDefaultMiterLimit;  // miter length over line width

    // Logical to device: the world transform, then the page mapping of window onto viewport.
    QTransform world;
    uint32_t mapMode = kTextMapMode;
    QPointF windowOrigin;
    QSizeF windowExtent{1, 1};
    QPointF viewportOrigin;
    QSizeF viewportExtent{1, 1};

    QPointF position; // the current position, logical units

    // Pictures and pattern brushes.
    static constexpr uint32_t kBlackOnWhite = 1; // the stretch mode of a fresh device context
    uint32_t stretchMode = kBlackOnWhite;
    QPoint brushOrigin;                   // device units of the reference device
    // Text: the selected font (none: the device context's default font), the alignment bits (TA_*) and
    // the text colour (a monochrome brush paints its 0 bits with it too).
    std::shared_ptr<const MetafileFont> font;
    uint32_t textAlign = 0;
    QRgb textColour = qRgb(0, 0, 0);
    // Clipping: the clip and the meta region (which every later clip stays inside), in
    // reference-device units; none is no clip at all.
    std::optional<MetafileClipArea> clip;
    std::optional<MetafileClipArea> metaRegion;
};

} // namespace platform
