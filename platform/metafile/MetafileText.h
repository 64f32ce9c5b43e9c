#pragma once

#include "platform/Rect.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

// One string of a text-drawing record (EXTTEXTOUT has one, POLYTEXTOUT several, SMALLTEXTOUT one),
// decoded. The characters stay as the record holds them: 8-bit strings are decoded when they are drawn,
// with the code page of the font then selected.
struct MetafileTextString {
    QPoint reference;           // logical units
    uint32_t options = 0;       // ETO_* bits
    bool hasRectangle = false;  // the opaque / clip rectangle, logical units
    Rect rectangle;
    bool wide = true;           // UTF-16 code units (or glyph indices); else 8-bit characters
    QString wideChars;          // wide strings and glyph indices, one 16-bit unit each
    QByteArray narrowChars;     // 8-bit strings
    // The advance of each character in logical units along the baseline, and with ETO_PDY across it
    // (y up); empty: the font's own advances.
    std::vector<int32_t> dx;
    std::vector<int32_t> dy;
};

// A text-drawing record, decoded.
struct MetafileText {
    static constexpr uint32_t kCompatible = 1;
    static constexpr uint32_t kAdvanced = 2;

    uint32_t graphicsMode = kCompatible; // GM_COMPATIBLE or GM_ADVANCED as the writer's device had it
    std::vector<MetafileTextString> strings;
};

// A logical font as EXTCREATEFONTINDIRECTW describes it.
struct MetafileFont {
    int32_t height = 0;      // < 0: character (em) height; > 0: cell height; 0: the default size
    int32_t width = 0;       // average character width; 0: the face's own proportions
    int32_t escapement = 0;  // tenths of a degree, counter-clockwise
    int32_t orientation = 0; // tenths of a degree, counter-clockwise
    int32_t weight = 0;      // 0: normal; 1..1000 (400 normal, 700 bold)
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charset = 0;     // the code page of 8-bit strings
    uint8_t pitchAndFamily = 0;
    QString faceName;
    // The stock and default fonts of a device context are sized in reference-device pixels, not in
    // logical units.
    bool deviceUnits = false;
};

} // namespace platform
