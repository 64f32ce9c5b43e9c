#include "platform/metafile/MetafileTextFonts.h"

#include <uemf.h>

#include <QByteArray>
#include <QGlyphRun>
#include <QTextLayout>
#include <QStringList>
#include <algorithm>
#include <array>

namespace platform {
namespace {

// Faces Windows documents are written with, and the free faces fontconfig has with the same metrics
// (the Liberation faces are installed with the program; Carlito and Caladea when present).
struct FaceSubstitute {
    const char* windowsFace;
    const char* freeFace;
};
constexpr std::array<FaceSubstitute, 8> kSubstitutes = {{
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
    {"Calibri", "Carlito"},
    {"Cambria", "Caladea"},
}};

constexpr int kDefaultWeight = 400;
constexpr int kLargestWeight = 1000;
constexpr uint8_t kFixedPitch = U_FIXED_PITCH;
constexpr uint8_t kFamilyMask = 0xF0;

// Stock font indices without the high bit.
constexpr uint32_t kOemFixedFont = 10;
constexpr uint32_t kAnsiFixedFont = 11;
constexpr uint32_t kAnsiVarFont = 12;
constexpr uint32_t kSystemFont = 13;
constexpr uint32_t kDeviceDefaultFont = 14;
constexpr uint32_t kSystemFixedFont = 16;
constexpr uint32_t kDefaultGuiFont = 17;
// The system font's cell and the dialog font's character height, in reference-device pixels.
constexpr int32_t kSystemFontCell = 16;
constexpr int32_t kGuiFontHeight = -11;

QFont::StyleHint StyleHint(uint8_t pitchAndFamily)
{
    if ((pitchAndFamily & 0x3) == kFixedPitch)
        return QFont::Monospace;
    switch (pitchAndFamily & kFamilyMask) {
    case U_FF_ROMAN: return QFont::Serif;
    case U_FF_SWISS: return QFont::SansSerif;
    case U_FF_MODERN: return QFont::Monospace;
    case U_FF_SCRIPT: return QFont::Cursive;
    case U_FF_DECORATIVE: return QFont::Decorative;
    default: return QFont::AnyStyle;
    }
}

QStringList Families(const QString& face)
{
    QStringList families;
    for (const FaceSubstitute& substitute : kSubstitutes) {
        if (face.compare(QLatin1String(substitute.windowsFace), Qt::CaseInsensitive) == 0)
            families << QString::fromLatin1(substitute.freeFace);
    }
    if (!face.isEmpty())
        families << face;
    return families;
}

QFont QtFont(const MetafileFont& font, int pixelSize)
{
    QFont qtFont;
    const QStringList families = Families(font.faceName);
    if (!families.isEmpty())
        qtFont.setFamilies(families);
    qtFont.setStyleHint(StyleHint(font.pitchAndFamily));
    if (families.isEmpty() && qtFont.styleHint() == QFont::AnyStyle)
        qtFont.setStyleHint(QFont::SansSerif);
    qtFont.setPixelSize(pixelSize);
    qtFont.setWeight(QFont::Weight(font.weight <= 0 ? kDefaultWeight : std::min(font.weight, kLargestWeight)));
    qtFont.setItalic(font.italic);
    // Laid out as Windows lays out: no kerning, advances in design units, grey antialiasing.
    qtFont.setKerning(false);
    qtFont.setHintingPreference(QFont::PreferNoHinting);
    qtFont.setStyleStrategy(QFont::StyleStrategy(QFont::NoSubpixelAntialias | QFont::PreferOutline));
    return qtFont;
}

int BigEndian16(const QByteArray& table, qsizetype offset, bool isSigned)
{
    const auto high = uint8_t(table[offset]);
    const auto low = uint8_t(table[offset + 1]);
    const int value = high << 8 | low;
    return isSigned && value >= 0x8000 ? value - 0x10000 : value;
}

// The cell, width and line metrics from the face's OS/2, hhea and post tables (the values Windows
// uses), where the face has them.
MetafileTextFonts::Metrics ReadMetrics(const QRawFont& raw)
{
    MetafileTextFonts::Metrics metrics;
    const qreal unitsPerEm = raw.unitsPerEm();
    if (unitsPerEm <= 0)
        return metrics;
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray hhea = raw.fontTable("hhea");
    const QByteArray post = raw.fontTable("post");
    constexpr qsizetype kOs2AverageWidth = 2, kOs2StrikeSize = 26, kOs2StrikePosition = 28;
    constexpr qsizetype kOs2WinAscent = 74, kOs2WinDescent = 76;
    constexpr qsizetype kHheaAscender = 4, kHheaDescender = 6;
    constexpr qsizetype kPostUnderlinePosition = 8, kPostUnderlineThickness = 10;
    int ascent = 0;
    int descent = 0;
    if (os2.size() >= kOs2WinDescent + 2) {
        ascent = BigEndian16(os2, kOs2WinAscent, false);
        descent = BigEndian16(os2, kOs2WinDescent, false);
        metrics.averageWidth = BigEndian16(os2, kOs2AverageWidth, true) / unitsPerEm;
        metrics.strikeOutThickness = BigEndian16(os2, kOs2StrikeSize, true) / unitsPerEm;
        metrics.strikeOutPosition = BigEndian16(os2, kOs2StrikePosition, true) / unitsPerEm;
    } else if (hhea.size() >= kHheaDescender + 2) {
        ascent = BigEndian16(hhea, kHheaAscender, true);
        descent = -BigEndian16(hhea, kHheaDescender, true);
    }
    if (ascent + descent > 0) {
        metrics.ascent = ascent / unitsPerEm;
        metrics.descent = descent / unitsPerEm;
    }
    if (post.size() >= kPostUnderlineThickness + 2) {
        metrics.underlinePosition = -BigEndian16(post, kPostUnderlinePosition, true) / unitsPerEm;
        metrics.underlineThickness = BigEndian16(post, kPostUnderlineThickness, true) / unitsPerEm;
    }
    // Faces that leave a value out still draw something sensible.
    const MetafileTextFonts::Metrics defaults;
    if (metrics.averageWidth <= 0)
        metrics.averageWidth = defaults.averageWidth;
    if (metrics.underlineThickness <= 0)
        metrics.underlineThickness = defaults.underlineThickness;
    if (metrics.strikeOutThickness <= 0)
        metrics.strikeOutThickness = defaults.strikeOutThickness;
    if (metrics.strikeOutPosition <= 0)
        metrics.strikeOutPosition = defaults.strikeOutPosition;
    return metrics;
}

std::shared_ptr<const MetafileFont> DeviceFont(int32_t height, uint8_t pitchAndFamily, int32_t weight)
{
    auto font = std::make_shared<MetafileFont>();
    font->height = height;
    font->pitchAndFamily = pitchAndFamily;
    font->weight = weight;
    font->deviceUnits = true;
    return font;
}

} // namespace

const MetafileTextFonts::Face& MetafileTextFonts::Find(const MetafileFont& font, qreal pixels)
{
    int pixelSize = kSmallestFacePixels;
    while (pixelSize < kLargestFacePixels && pixelSize < pixels)
        pixelSize *= 2;
    constexpr int kWeightStep = 100;
    const int weight = font.weight <= 0 ? kDefaultWeight : std::min(font.weight, kLargestWeight);
    const Key key{font.faceName.toCaseFolded(), (weight + kWeightStep / 2) / kWeightStep, font.italic,
                  font.pitchAndFamily, pixelSize};
    auto found = m_faces.find(key);
    if (found != m_faces.end())
        return found->second;
    if (m_faces.size() >= kMostFaces) {
        // Finding a face takes fontconfig tens of microseconds: a file of thousands of fonts draws the
        // rest with one found at the same size (or at all).
        const auto sameSize = std::find_if(m_faces.begin(), m_faces.end(),
                                           [&](const auto& entry) { return std::get<4>(entry.first) == pixelSize; });
        return sameSize != m_faces.end() ? sameSize->second : m_faces.begin()->second;
    }
    Face face;
    face.font = QtFont(font, pixelSize);
    face.raw = QRawFont::fromFont(face.font);
    face.metrics = ReadMetrics(face.raw);
    return m_faces.emplace(key, std::move(face)).first->second;
}

const MetafileTextFonts::Fallback* MetafileTextFonts::FindFallback(const Face& face, char32_t character)
{
    const auto key = std::make_pair(&face, character);
    auto found = m_fallbacks.find(key);
    if (found == m_fallbacks.end()) {
        if (m_fallbacks.size() >= kMostFallbacks)
            return nullptr;
        // Qt's own layout picks the face fontconfig falls back on for the character.
        std::optional<Fallback> fallback;
        QTextLayout layout(QString::fromUcs4(&character, 1), face.font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        if (!runs.isEmpty() && !runs.front().glyphIndexes().isEmpty() && runs.front().glyphIndexes().front() != 0)
            fallback = Fallback{runs.front().rawFont(), runs.front().glyphIndexes().front()};
        found = m_fallbacks.emplace(key, std::move(fallback)).first;
    }
    return found->second ? &*found->second : nullptr;
}

bool MetafileTextFonts::IsNamedFace(const Face& face, const MetafileFont& font)
{
    return !font.faceName.isEmpty() && face.raw.familyName().compare(font.faceName, Qt::CaseInsensitive) == 0;
}

const MetafileFont& MetafileTextFonts::DefaultFont()
{
    static const std::shared_ptr<const MetafileFont> font = StockFont(U_STOCK_OBJECT | kSystemFont);
    return *font;
}

std::shared_ptr<const MetafileFont> MetafileTextFonts::StockFont(uint32_t index)
{
    static const auto sans = DeviceFont(kSystemFontCell, U_VARIABLE_PITCH | U_FF_SWISS, kDefaultWeight);
    static const auto fixed = DeviceFont(kSystemFontCell, U_FIXED_PITCH | U_FF_MODERN, kDefaultWeight);
    static const auto gui = DeviceFont(kGuiFontHeight, U_VARIABLE_PITCH | U_FF_SWISS, kDefaultWeight);
    if ((index & U_STOCK_OBJECT) == 0)
        return nullptr;
    switch (index & ~uint32_t(U_STOCK_OBJECT)) {
    case kOemFixedFont: case kAnsiFixedFont: case kSystemFixedFont: return fixed;
    case kAnsiVarFont: case kSystemFont: case kDeviceDefaultFont: return sans;
    case kDefaultGuiFont: return gui;
    default: return nullptr;
    }
}

} // namespace platform
