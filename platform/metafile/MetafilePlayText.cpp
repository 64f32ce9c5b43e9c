#include "platform/metafile/MetafilePlayer.h"

#include "platform/metafile/MetafileClip.h"
#include "platform/metafile/MetafileTextCodec.h"
#include "platform/metafile/MetafileTransforms.h"

#include <uemf.h>

#include <QGlyphRun>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace platform {
namespace {

using Kind = MetafileRecordKind;
using metafile_transform::IsFinite;

// SETTEXTALIGN's bits.
constexpr uint32_t kAlignUpdateCp = U_TA_UPDATECP;
constexpr uint32_t kAlignHorizontal = U_TA_CENTER; // right and centre share a bit
constexpr uint32_t kAlignRight = U_TA_RIGHT;
constexpr uint32_t kAlignBaseline = U_TA_BASEBIT;
constexpr uint32_t kAlignBottom = U_TA_BOTTOM;

// A font with no height takes the system font's cell, in reference-device pixels.
constexpr int32_t kDefaultCellHeight = 16;

// Glyphs larger than faces are found at are drawn as their outlines grown to size and cut to the
// visible area.
constexpr qreal kLargestFacePixels = MetafileTextFonts::kLargestFacePixels;

constexpr qreal kTenthsOfDegreeToRadians = M_PI / 1800.0;

// How long a transform makes a unit along x (false) or y (true).
qreal AxisLength(const QTransform& t, bool y)
{
    return y ? std::hypot(t.m21(), t.m22()) : std::hypot(t.m11(), t.m12());
}

// The text's characters (or glyph indices, one a unit) and each one's advance in logical units (x along the
// baseline, y up), the advances empty when the record gives none.
metafile_text::DecodedChars CharsOf(const MetafileTextString& string, uint8_t charset)
{
    std::vector<QPointF> advances(string.dx.size());
    for (size_t i = 0; i < string.dx.size(); ++i)
        advances[i] = QPointF(string.dx[i], string.dy.empty() ? 0 : string.dy[i]);
    // 8-bit glyph indices are indices, not characters of a code page.
    if (!string.wide && (string.options & U_ETO_GLYPH_INDEX) != 0)
        return {QString::fromLatin1(string.narrowChars), std::move(advances)};
    if (!string.wide)
        return metafile_text::DecodeNarrow(string.narrowChars, charset, advances);
    return {string.wideChars, std::move(advances)};
}

// A string's glyphs, the face each is drawn with (0 the font's, others those Qt falls back on for
// characters the font's face lacks), where each starts in text space, and pen, where the next would.
struct StringGlyphs {
    QList<quint32> glyphs;
    std::vector<QRawFont> faces;
    std::vector<size_t> faceOf;
    QList<QPointF> positions;
    QPointF pen;
};

// Advances given in logical units become text-space ones through perLogical (text units a logical
// unit along the baseline and across it).
StringGlyphs PlaceGlyphs(const metafile_text::DecodedChars& chars, bool glyphIndices,
                         const MetafileTextFonts::Face& face, MetafileTextFonts& fonts, QSizeF perLogical)
{
    StringGlyphs out;
    QList<quint32>& glyphs = out.glyphs;
    std::vector<QRawFont>& faces = out.faces;
    std::vector<size_t>& faceOf = out.faceOf;
    faces.push_back(face.raw);
    std::vector<qsizetype> firstUnits; // the first UTF-16 unit of each glyph's character
    if (glyphIndices) {
        for (qsizetype i = 0; i < chars.chars.size(); ++i) {
            glyphs.push_back(chars.chars[i].unicode());
            firstUnits.push_back(i);
        }
        faceOf.assign(size_t(glyphs.size()), 0);
    } else {
        for (qsizetype i = 0; i < chars.chars.size(); ++i) {
            firstUnits.push_back(i);
            if (chars.chars[i].isHighSurrogate() && i + 1 < chars.chars.size() && chars.chars[i + 1].isLowSurrogate())
                ++i;
        }
        glyphs = face.raw.glyphIndexesForString(chars.chars);
        glyphs.resize(qsizetype(firstUnits.size()));
        faceOf.assign(size_t(glyphs.size()), 0);
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            const qsizetype unit = firstUnits[size_t(i)];
            const char32_t character = chars.chars[unit].isHighSurrogate() && unit + 1 < chars.chars.size()
                ? QChar::surrogateToUcs4(chars.chars[unit], chars.chars[unit + 1])
                : chars.chars[unit].unicode();
            const MetafileTextFonts::Fallback* fallback = glyphs[i] == 0 && !QChar::isSpace(character)
                ? fonts.FindFallback(face, character)
                : nullptr;
            if (!fallback)
                continue;
            const auto known = std::find(faces.begin(), faces.end(), fallback->raw);
            faceOf[size_t(i)] = size_t(known - faces.begin());
            if (known == faces.end())
                faces.push_back(fallback->raw);
            glyphs[i] = fallback->glyph;
        }
    }
    const QList<QPointF> natural = chars.advances.empty()
        ? face.raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics)
        : QList<QPointF>();
    out.positions.resize(glyphs.size());
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        out.positions[i] = out.pen;
        if (chars.advances.empty()) {
            const size_t which = faceOf[size_t(i)];
            out.pen += which == 0
                ? natural.value(i)
                : faces[which].advancesForGlyphIndexes({glyphs[i]}, QRawFont::UseDesignMetrics).value(0);
            continue;
        }
        // The advances of a character's units add up; y is up in the file and down in text space.
        const qsizetype end = size_t(i + 1) < firstUnits.size() ? firstUnits[size_t(i + 1)] : chars.chars.size();
        QPointF logical;
        for (qsizetype unit = firstUnits[size_t(i)]; unit < end; ++unit)
            logical += chars.advances[size_t(unit)];
        out.pen += QPointF(logical.x() * perLogical.width(), -logical.y() * perLogical.height());
    }
    return out;
}

} // namespace

void MetafilePlayer::RunText(const MetafileRecord& record)
{
    switch (record.kind) {
    case Kind::SetTextAlign: m_state.textAlign = record.value; break;
    case Kind::SetTextColor:
        m_state.textColour = qRgb(record.value & 0xFF, (record.value >> 8) & 0xFF, (record.value >> 16) & 0xFF);
        break;
    case Kind::TextOut: {
        // Text follows the whole world transform in the advanced graphics mode; a world transform other
        // than the identity can only have been set in that mode.
        const bool advanced = record.text->graphicsMode == MetafileText::kAdvanced || !m_state.world.isIdentity();
        for (const MetafileTextString& string : record.text->strings) {
            if (m_workLeft <= 0)
                break;
            DrawTextString(string, advanced);
        }
        break;
    }
    default: break;
    }
}

// Lays the string out in text space: x along the baseline, y down the glyphs, in pixels of the face
// found, the reference point at the origin. Text space maps onto the layout space (logical units in the
// advanced mode; reference-device units in the compatible mode, where text stays upright on the
// device and only scales with the mapping), and that onto the painter's device.
void MetafilePlayer::DrawTextString(const MetafileTextString& string, bool advanced)
{
    const MetafileFont& font = m_state.font ? *m_state.font : MetafileTextFonts::DefaultFont();
    const QTransform logicalToDevice = LogicalToDevice();
    const QTransform logicalToLayout = advanced ? QTransform() : logicalToDevice;
    const QTransform layoutToTarget = advanced ? logicalToDevice * m_deviceToTarget : m_deviceToTarget;
    const QTransform logicalToTarget = logicalToDevice * m_deviceToTarget;
    if (!IsFinite(layoutToTarget) || !IsFinite(logicalToTarget) || layoutToTarget.determinant() == 0)
        return;

    // The font's height in layout units: a device font's in reference-device pixels.
    int32_t height = font.height;
    bool deviceUnits = font.deviceUnits;
    if (height == 0) {
        height = kDefaultCellHeight;
        deviceUnits = true;
    }
    const qreal unitX = AxisLength(logicalToLayout, false);
    const qreal unitY = AxisLength(logicalToLayout, true);
    const qreal deviceY = AxisLength(logicalToDevice, true);
    const qreal heightLayout = deviceUnits ? std::abs(qreal(height)) / (advanced ? deviceY : 1)
                                           : std::abs(qreal(height)) * unitY;
    const qreal targetScale = std::sqrt(std::abs(layoutToTarget.determinant()));
    const qreal heightPixels = heightLayout * targetScale;
    if (!std::isfinite(heightPixels) || heightLayout <= 0)
        return;
    const MetafileTextFonts::Face& face = m_fonts.Find(font, heightPixels);
    const qreal pixelSize = face.raw.pixelSize();
    const MetafileTextFonts::Metrics& metrics = face.metrics;
    // A positive height is the cell's: the em is the cell without its internal leading.
    const qreal em = height < 0 ? heightLayout : heightLayout / (metrics.ascent + metrics.descent);
    const qreal stretch = font.width == 0 || deviceUnits
        ? 1
        : std::abs(qreal(font.width)) * unitX / (metrics.averageWidth * em);
    const qreal emPixels = em * targetScale;
    const qreal unitsPerPixelY = em / pixelSize;
    const qreal unitsPerPixelX = unitsPerPixelY * stretch;
    if (!std::isfinite(unitsPerPixelX) || unitsPerPixelX <= 0)
        return;

    const metafile_text::DecodedChars chars = CharsOf(string, font.charset);
    const bool glyphIndices = (string.options & U_ETO_GLYPH_INDEX) != 0;
    const StringGlyphs placed = PlaceGlyphs(chars, glyphIndices, face, m_fonts,
                                            QSizeF(unitX / unitsPerPixelX, unitY / unitsPerPixelY));
    const QList<quint32>& glyphs = placed.glyphs;
    const std::vector<QRawFont>& faces = placed.faces;
    const std::vector<size_t>& faceOf = placed.faceOf;
    const QList<QPointF>& positions = placed.positions;
    const QPointF pen = placed.pen;

    // Alignment moves the text so that the reference point lands on its left, centre or right, and on
    // the cell's top, the baseline or the cell's bottom.
    const qreal ascent = metrics.ascent * pixelSize;
    const qreal descent = metrics.descent * pixelSize;
    const uint32_t align = m_state.textAlign;
    QPointF shift;
    if ((align & kAlignHorizontal) == kAlignHorizontal)
        shift = -pen / 2;
    else if ((align & kAlignHorizontal) == kAlignRight)
        shift = -pen;
    if ((align & kAlignBaseline) == 0)
        shift.ry() += (align & kAlignBottom) != 0 ? -descent : ascent;

    // Escapement turns the baseline counter-clockwise as the logical space shows it (upright on a y-up
    // mapping too); the compatible mode lays out on the y-down device.
    const bool yUp = advanced && PageTransform().m22() < 0;
    const qreal angle = font.escapement * kTenthsOfDegreeToRadians;
    const qreal ySign = yUp ? -1 : 1;
    const bool updateCp = (align & kAlignUpdateCp) != 0;
    const QPointF origin = logicalToLayout.map(updateCp ? m_state.position : QPointF(string.reference));
    const QTransform textToLayout(std::cos(angle) * unitsPerPixelX, -ySign * std::sin(angle) * unitsPerPixelX,
                                  std::sin(angle) * unitsPerPixelY, ySign * std::cos(angle) * unitsPerPixelY,
                                  origin.x(), origin.y());
    if (updateCp && (align & kAlignHorizontal) != kAlignHorizontal) {
        // The current position moves to the far end of the text: right of it, or left of it when the
        // text ends at the position.
        bool invertible = false;
        const QTransform layoutToLogical = logicalToLayout.inverted(&invertible);
        const QPointF along = (align & kAlignRight) != 0 ? -pen : pen;
        const QPointF moved = layoutToLogical.map(textToLayout.map(along));
        if (invertible && std::isfinite(moved.x()) && std::isfinite(moved.y()))
            m_state.position = moved;
    }
    const QTransform textToTarget = QTransform::fromTranslate(shift.x(), shift.y()) * textToLayout * layoutToTarget;
    const QRectF cell(QPointF(std::min<qreal>(0, pen.x()), -ascent), QPointF(std::max<qreal>(0, pen.x()), descent));

    // Glyph indices refer to the face the writer had: a substitute's glyphs would be other letters.
    const bool drawGlyphs = !glyphIndices || MetafileTextFonts::IsNamedFace(face, font);
    if (m_pathOpen) {
        // Inside a path bracket the glyphs' outlines join the path (reference-device units).
        if (!drawGlyphs || !ChargeGlyphs(textToTarget.mapRect(cell), glyphs.size()))
            return;
        const QTransform textToDevice = QTransform::fromTranslate(shift.x(), shift.y()) * textToLayout
            * (advanced ? logicalToDevice : QTransform());
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            m_path.addPath(textToDevice.map(faces[faceOf[size_t(i)]].pathForGlyph(glyphs[i]).translated(positions[i])));
        m_figureOpen = false;
        return;
    }

    const QRectF rectangle = QRectF(QPointF(string.rectangle.left, string.rectangle.top),
                                    QPointF(string.rectangle.right, string.rectangle.bottom)).normalized();
    const QPolygonF rectangleOnTarget = logicalToTarget.map(QPolygonF(rectangle));
    const bool opaqueRectangle = string.hasRectangle && (string.options & U_ETO_OPAQUE) != 0 && !rectangle.isEmpty();
    const bool clipped = string.hasRectangle && (string.options & U_ETO_CLIPPED) != 0;
    const QPolygonF cellOnTarget = textToTarget.map(QPolygonF(cell));
    const bool opaqueCell = m_state.backgroundMode == MetafileDcState::kOpaque && !cell.isEmpty();
    // Underline and strike-out run the text's whole advance, at least a pixel thick.
    const qreal thinnest = pixelSize / emPixels;
    auto bar = [&](bool shown, qreal top, qreal thickness) {
        const QRectF box(QPointF(cell.left(), top), QSizeF(cell.width(), std::max(thickness, thinnest)));
        return shown && !cell.isEmpty() ? CutBox(textToTarget.map(QPolygonF(box))) : QPainterPath();
    };
    const QPainterPath underline = bar(font.underline, metrics.underlinePosition * pixelSize,
                                       metrics.underlineThickness * pixelSize);
    const QPainterPath strikeOut = bar(font.strikeOut, -metrics.strikeOutPosition * pixelSize,
                                       metrics.strikeOutThickness * pixelSize);
    // The rectangles filled are cut close around the visible area and charged as the figures they are,
    // the glyphs as text.
    const QPainterPath rectangleFill = opaqueRectangle ? CutBox(rectangleOnTarget) : QPainterPath();
    const QPainterPath cellFill = opaqueCell ? CutBox(cellOnTarget) : QPainterPath();
    if (!ChargeBox(rectangleFill) || !ChargeBox(cellFill) || !ChargeBox(underline) || !ChargeBox(strikeOut)
        || !ChargeGlyphs(cellOnTarget.boundingRect(), glyphs.size()))
        return;

    m_painter.save();
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // The background box is drawn here; Qt's own (in its opaque mode) lands beside transformed glyphs and
    // takes them along.
    m_painter.setBackgroundMode(Qt::TransparentMode);
    m_painter.setWorldTransform(QTransform());
    m_painter.setPen(Qt::NoPen);
    const QColor background(m_state.backgroundColour);
    m_painter.setBrush(background);
    m_painter.drawPath(rectangleFill);
    if (clipped)
        m_painter.setClipPath(CutBox(rectangleOnTarget), Qt::IntersectClip);
    m_painter.drawPath(cellFill);
    const QColor colour(m_state.textColour);
    // Glyphs that an axis of the transform (a stretched width, a squashed mapping) makes larger than faces
    // are found at are drawn as outlines: Qt would render them into bitmaps of any size.
    const qreal glyphPixels = pixelSize * std::max(AxisLength(textToTarget, false), AxisLength(textToTarget, true));
    const bool asOutlines = !(glyphPixels <= kLargestFacePixels);
    // In the advanced mode each glyph turns on its own by the orientation, counter-clockwise from the
    // baseline the escapement set; the compatible mode turns glyphs with the baseline.
    const qreal ownTurn = advanced ? (qreal(font.orientation) - qreal(font.escapement)) * kTenthsOfDegreeToRadians : 0;
    const QTransform turn = ownTurn == 0 ? QTransform() : QTransform().rotateRadians(-ownTurn);
    for (size_t which = 0; drawGlyphs && which < faces.size(); ++which) {
        QList<quint32> ofFace;
        QList<QPointF> at;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            if (faceOf[size_t(i)] == which) {
                ofFace.push_back(glyphs[i]);
                at.push_back(positions[i]);
            }
        }
        DrawGlyphs(faces[which], ofFace, at, textToTarget, turn, asOutlines, colour);
    }

    m_painter.setWorldTransform(QTransform());
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(colour);
    m_painter.drawPath(underline);
    m_painter.drawPath(strikeOut);
    m_painter.restore();
}

QPainterPath MetafilePlayer::CutBox(const QPolygonF& box) const
{
    QPainterPath path;
    path.addPolygon(box);
    path.closeSubpath();
    return CutNearVisible(path);
}

bool MetafilePlayer::ChargeBox(const QPainterPath& box)
{
    return box.isEmpty() || Charge(box.controlPointRect(), box.elementCount(), metafile_clip::Length(box));
}

// Glyphs that show, in runs Qt draws, or one by one as outlines cut to the visible area when they are
// larger than faces are found at. Each glyph's ink box takes its visible area from what text may still
// fill in this play.
void MetafilePlayer::DrawGlyphs(const QRawFont& raw, const QList<quint32>& glyphs, const QList<QPointF>& positions,
                                const QTransform& textToTarget, const QTransform& turn, bool asOutlines,
                                const QColor& colour)
{
    std::unordered_map<quint32, QRectF> inkBoxes; // a string has few distinct glyphs
    QList<quint32> shownGlyphs;
    QList<QPointF> shownPositions;
    m_painter.setPen(colour);
    m_painter.setBrush(colour);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        auto known = inkBoxes.find(glyphs[i]);
        if (known == inkBoxes.end())
            known = inkBoxes.emplace(glyphs[i], raw.boundingRect(glyphs[i])).first;
        if (known->second.isEmpty())
            continue; // a space
        const QPointF at = positions[i];
        const QTransform glyphToTarget = turn * QTransform::fromTranslate(at.x(), at.y()) * textToTarget;
        const QRectF ink = glyphToTarget.mapRect(known->second).intersected(m_visible);
        if (ink.isEmpty())
            continue;
        m_glyphAreaLeft -= ink.width() * ink.height();
        if (m_glyphAreaLeft < 0)
            break;
        if (!asOutlines && turn.isIdentity()) {
            shownGlyphs.push_back(glyphs[i]);
            shownPositions.push_back(at);
            continue;
        }
        if (!asOutlines) {
            // A glyph turned on its own is a run of its own.
            QGlyphRun run;
            run.setRawFont(raw);
            run.setGlyphIndexes({glyphs[i]});
            run.setPositions({QPointF()});
            m_painter.setWorldTransform(glyphToTarget);
            m_painter.drawGlyphRun(QPointF(), run);
            continue;
        }
        QPainterPath outline = CutNearVisible(glyphToTarget.map(raw.pathForGlyph(glyphs[i])));
        // An outline drawn as a path pays as a figure does: a glyph of many contours stretched over the
        // picture crosses its rows many times over.
        if (!ChargeFigure(outline, m_targetToFrame, {false, qreal(outline.elementCount()), 0, 0}))
            return;
        outline.setFillRule(Qt::WindingFill);
        m_painter.setWorldTransform(QTransform());
        m_painter.setPen(Qt::NoPen);
        m_painter.drawPath(outline);
    }
    if (shownGlyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(shownGlyphs);
    run.setPositions(shownPositions);
    m_painter.setWorldTransform(textToTarget);
    m_painter.drawGlyphRun(QPointF(), run);
}

} // namespace platform
