#pragma once

#include <QColor>
#include <cstdint>

// The small value types of the device context. The numbers are those the program's stored settings and
// callers know the modes by.
namespace platform {

// In compatible mode the world transform is not applied (and cannot be set).
enum class GraphicsModeKind : int32_t { Compatible = 1, Advanced = 2 };

// Halftone is the only mode that samples smoothly and applies the colour adjustment; the others pick
// the nearest source pixel.
enum class StretchMode : int32_t { BlackOnWhite = 1, WhiteOnBlack = 2, ColourOnColour = 3, Halftone = 4 };

// How pens (lines and polygon outlines) and brushes combine with the pixels beneath.
enum class RasterOp : int32_t { XorPen = 7, CopyPen = 13 };

// How a block transfer combines the source with the pixels beneath.
enum class BlockOp { SourceCopy, SourceInvert };

// Whether the gaps of dotted lines and the boxes behind text lines are filled with the background colour.
enum class BackgroundMode : int32_t { Transparent = 1, Opaque = 2 };

enum class PolygonFillMode : int32_t { Alternate = 1, Winding = 2 };

enum class PenStyle : int32_t { Solid = 0, Dot = 2, Null = 5 };

// Pens are one device pixel wide.
struct Pen {
    PenStyle style = PenStyle::Solid;
    QColor colour = Qt::black;

    friend bool operator==(const Pen&, const Pen&) = default;
};

// Flags of DeviceContext::DrawText.
namespace TextFormat {
inline constexpr uint32_t Centre = 0x1;
inline constexpr uint32_t WordBreak = 0x10;
inline constexpr uint32_t CalcRect = 0x400;     // measure only: the rectangle's bottom becomes the text's
inline constexpr uint32_t EditControl = 0x2000; // a partly visible last line is not drawn
} // namespace TextFormat

} // namespace platform
