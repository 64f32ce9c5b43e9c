#include "platform/metafile/MetafileStyle.h"

#include <uemf.h>

#include <algorithm>
#include <numeric>

namespace platform::metafile_style {
namespace {

// Qt measures a miter from the join point, the file from the inner corner to the outer one.
constexpr qreal kQtMiterPerFileMiter = 0.5;
constexpr qreal kCosmeticWidth = 1.0;

Qt::BrushStyle HatchPattern(uint32_t hatch)
{
    switch (hatch) {
    case U_HS_HORIZONTAL: return Qt::HorPattern;
    case U_HS_VERTICAL: return Qt::VerPattern;
    case U_HS_FDIAGONAL: return Qt::FDiagPattern;
    case U_HS_BDIAGONAL: return Qt::BDiagPattern;
    case U_HS_CROSS: return Qt::CrossPattern;
    case U_HS_DIAGCROSS: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

// The hatches as Windows draws them: eight rows of eight pixels, the leftmost pixel the top bit.
constexpr int kHatchSize = 8;
constexpr uint8_t kHatchRows[][kHatchSize] = {
    {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}, // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal, down from left to right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal, up from left to right
    {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08}, // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
};

QImage HatchTile(uint32_t hatch, QRgb colour, const BrushContext& context)
{
    QImage tile(kHatchSize, kHatchSize, QImage::Format_ARGB32_Premultiplied);
    tile.fill(context.opaqueBackground ? QColor(context.backgroundColour) : QColor(Qt::transparent));
    for (int y = 0; y < kHatchSize; ++y) {
        for (int x = 0; x < kHatchSize; ++x) {
            if (kHatchRows[hatch][y] & (0x80 >> x))
                tile.setPixel(x, y, colour | 0xFF000000);
        }
    }
    return tile;
}

QBrush Tiled(const QImage& tile, const BrushContext& context)
{
    QBrush brush(tile);
    brush.setTransform(context.patternToPainter);
    return brush;
}

Qt::PenCapStyle CapFor(uint32_t style)
{
    switch (style & U_PS_ENDCAP_MASK) {
    case U_PS_ENDCAP_SQUARE: return Qt::SquareCap;
    case U_PS_ENDCAP_FLAT: return Qt::FlatCap;
    default: return Qt::RoundCap;
    }
}

Qt::PenJoinStyle JoinFor(uint32_t style)
{
    switch (style & U_PS_JOIN_MASK) {
    case U_PS_JOIN_BEVEL: return Qt::BevelJoin;
    case U_PS_JOIN_MITER: return Qt::MiterJoin;
    default: return Qt::RoundJoin;
    }
}

// A user style's dash and gap lengths in units of the Qt pen's width. Lengths are in logical units
// for geometric pens and in pixels for cosmetic ones; a pattern shorter than a pixel is drawn solid.
std::optional<QList<qreal>> UserDashes(const MetafileObject& pen, qreal pixelsPerPatternUnit, qreal qtWidthPixels)
{
    QList<qreal> pattern;
    for (uint32_t entry : pen.dashes)
        pattern.append(entry * pixelsPerPatternUnit / qtWidthPixels);
    if (pattern.size() % 2 != 0)
        pattern.append(pattern); // an odd list repeats with dashes and gaps swapped
    const qreal total = std::accumulate(pattern.begin(), pattern.end(), 0.0) * qtWidthPixels;
    if (pattern.isEmpty() || total < 1.0)
        return std::nullopt;
    return pattern;
}

} // namespace

std::optional<QPen> PenFor(const MetafileObject& pen, qreal pixelsPerUnit, qreal miterLimit)
{
    const uint32_t line = pen.style & U_PS_STYLE_MASK;
    if (line == U_PS_NULL || (pen.extended && pen.penBrushStyle == U_BS_NULL))
        return std::nullopt;
    const bool hatched = pen.extended && pen.penBrushStyle == U_BS_HATCHED;
    QPen result(hatched ? QBrush(QColor(pen.colour), HatchPattern(pen.hatch)) : QBrush(QColor(pen.colour)), 0);

    // Plain pens are as wide as their width in logical units; extended ones only when geometric.
    const bool geometric = !pen.extended || (pen.style & U_PS_TYPE_MASK) == U_PS_GEOMETRIC;
    const qreal width = geometric ? pen.width : 0;
    const bool onePixel = width <= 0 || width * pixelsPerUnit < kCosmeticWidth;
    result.setCosmetic(onePixel);
    result.setWidthF(onePixel ? kCosmeticWidth : width);
    const bool shaped = pen.extended && geometric;
    result.setCapStyle(shaped ? CapFor(pen.style) : Qt::RoundCap);
    result.setJoinStyle(shaped ? JoinFor(pen.style) : Qt::RoundJoin);
    result.setMiterLimit(miterLimit * kQtMiterPerFileMiter);

    switch (line) {
    case U_PS_DASH: result.setStyle(Qt::DashLine); break;
    case U_PS_DOT: case U_PS_ALTERNATE: result.setStyle(Qt::DotLine); break;
    case U_PS_DASHDOT: result.setStyle(Qt::DashDotLine); break;
    case U_PS_DASHDOTDOT: result.setStyle(Qt::DashDotDotLine); break;
    case U_PS_USERSTYLE: {
        const qreal patternUnit = geometric ? pixelsPerUnit : 1.0;
        const qreal qtWidthPixels = onePixel ? kCosmeticWidth : width * pixelsPerUnit;
        if (const auto dashes = UserDashes(pen, patternUnit, qtWidthPixels))
            result.setDashPattern(*dashes);
        break;
    }
    default: break; // solid, inside-frame
    }
    return result;
}

std::optional<QBrush> BrushFor(const MetafileObject& brush, const BrushContext& context)
{
    switch (brush.style) {
    case U_BS_SOLID: return QBrush(QColor(brush.colour));
    case U_BS_HATCHED:
        // An unknown hatch fills solid, as Windows does.
        if (brush.hatch > U_HS_DIAGCROSS)
            return QBrush(QColor(brush.colour));
        return Tiled(HatchTile(brush.hatch, brush.colour, context), context);
    case U_BS_PATTERN: {
        if (!brush.pattern)
            return std::nullopt;
        QImage tile = *brush.pattern;
        tile.setColorTable({context.textColour | 0xFF000000, context.backgroundColour | 0xFF000000});
        return Tiled(tile.convertToFormat(QImage::Format_ARGB32_Premultiplied), context);
    }
    case U_BS_DIBPATTERNPT:
        if (!brush.pattern)
            return std::nullopt;
        return Tiled(*brush.pattern, context);
    default: return std::nullopt;
    }
}

qreal LimitDashes(QPen& pen, qreal length)
{
    if (pen.style() == Qt::SolidLine || pen.style() == Qt::NoPen)
        return 0;
    const QList<qreal> pattern = pen.dashPattern();
    const qreal unit = pen.isCosmetic() ? 1 : pen.widthF();
    const qreal patternLength = std::accumulate(pattern.begin(), pattern.end(), 0.0) * unit;
    const qreal dashes = patternLength > 0 ? length / patternLength * qreal(pattern.size() / 2) : qInf();
    if (dashes <= kMostDashesPerFigure)
        return dashes;
    pen.setStyle(Qt::SolidLine);
    return 0;
}

} // namespace platform::metafile_style
