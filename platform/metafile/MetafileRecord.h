#pragma once

#include "platform/metafile/MetafileObject.h"
#include "platform/Rect.h"

#include <QPoint>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// The records the player draws. The 16-bit point forms decode to the same kinds as the 32-bit ones.
enum class MetafileRecordKind : uint8_t {
    PolyBezier, Polygon, Polyline, PolyBezierTo, PolylineTo, PolyPolyline, PolyPolygon, PolyDraw,
    SetWindowExt, SetWindowOrg, SetViewportExt, SetViewportOrg, ScaleWindowExt, ScaleViewportExt,
    SetMapMode, SetBkMode, SetPolyFillMode, SetRop2, SetBkColor, SetArcDirection, SetMiterLimit,
    MoveTo, LineTo, SaveDc, RestoreDc, SetWorldTransform, ModifyWorldTransform,
    CreatePen, CreateBrush, CreateOther, SelectObject, DeleteObject,
    AngleArc, Ellipse, Rectangle, RoundRect, Arc, Chord, Pie, ArcTo,
    BeginPath, EndPath, CloseFigure, FillPath, StrokeAndFillPath, StrokePath, AbortPath,
    // Text (decoded in MetafileParseText.cpp, drawn in MetafilePlayText.cpp).
    TextOut, SetTextAlign, SetTextColor,
    // Pictures (MetafileParseBitmap.cpp, MetafilePlayBitmap.cpp).
    Blit, SetStretchBltMode, SetBrushOrg,
    // Clipping, regions, path conversions, gradients and single pixels (MetafileParseRegion.cpp,
    // MetafilePlayRegion.cpp).
    IntersectClipRect, ExcludeClipRect, SelectClipRegion, SelectClipPath, OffsetClipRegion, SetMetaRegion,
    FillRegion, FrameRegion, InvertRegion, PaintRegion, WidenPath, FlattenPath, GradientFill, SetPixel,
};

// The payloads of the record families decoded in files of their own; each family's header defines its
// own.
struct MetafileText;
struct MetafileBlit;
struct MetafileRegion;
struct MetafileGradient;

// One decoded record. Only the fields its kind names are set:
// - box: the bounding box of Ellipse, Rectangle, RoundRect, Arc, Chord, Pie, ArcTo;
// - point: MoveTo and LineTo's point, an origin or extent, RoundRect's corner size, the start radial
//   of the arcs, AngleArc's centre; the numerators of the Scale kinds;
// - endPoint: the end radial of the arcs; the denominators of the Scale kinds;
// - value: a mode, an object index, RestoreDc's saved-state number, the miter limit, a colour
//   (0x00BBGGRR), AngleArc's radius;
// - angles: AngleArc's start and sweep in degrees;
// - transform: eM11, eM12, eM21, eM22, eDx, eDy of the world-transform kinds (value holds the mode);
// - points and counts: the poly kinds' points, the point count of each PolyPoly figure, PolyDraw's
//   point types;
// - object: what a Create kind puts at index value;
// - text, blit, region, gradient: the payload of the text, picture and region families.
struct MetafileRecord {
    MetafileRecordKind kind = MetafileRecordKind::AbortPath;
    Rect box;
    QPoint point;
    QPoint endPoint;
    uint32_t value = 0;
    std::array<float, 2> angles{};
    std::array<float, 6> transform{};
    std::vector<QPoint> points;
    std::vector<uint32_t> counts;
    MetafileObject object;
    std::shared_ptr<const MetafileText> text;
    std::shared_ptr<const MetafileBlit> blit;
    std::shared_ptr<const MetafileRegion> region;
    std::shared_ptr<const MetafileGradient> gradient;
};

} // namespace platform
