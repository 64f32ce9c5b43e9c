#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

struct MetafileFont;

// A graphics object of a metafile's object table as the records describe it: a pen, a brush, a font,
// or something the player keeps only so that selecting it is harmless (a palette, a colour space).
// Style values are the file format's own bits.
struct MetafileObject {
    enum class Kind : uint8_t { Pen, Brush, Font, Other };

    Kind kind = Kind::Other;
    uint32_t style = 0;          // pen: line style, end cap, join and type bits; brush: brush style
    uint32_t width = 0;          // pen width in logical units; 0 is one device pixel
    QRgb colour = 0xFF000000;    // opaque
    uint32_t penBrushStyle = 0;  // extended pens: the style of the brush the line is painted with
    uint32_t hatch = 0;          // hatch pattern of hatched brushes and pens
    bool extended = false;       // made by EXTCREATEPEN: end caps and joins come from style
    std::vector<uint32_t> dashes; // extended pens with a user style: dash, gap, dash, ...
    std::shared_ptr<const QImage> pattern;     // pattern brushes: the tile, decoded
    std::shared_ptr<const MetafileFont> font;  // fonts
};

} // namespace platform
