#pragma once

#include "platform/metafile/MetafileText.h"

#include <QFont>
#include <QRawFont>
#include <map>
#include <tuple>
#include <memory>
#include <optional>
#include <utility>

namespace platform {

// The faces text records draw with, found once a play: each logical font at each pixel size it is
// drawn at, with the face's own metrics (those Windows lays text out with).
class MetafileTextFonts {
public:
    // A face's metrics as fractions of its em.
    struct Metrics {
        qreal ascent = 0.9;     // the cell above the baseline (the face's Windows ascent)
        qreal descent = 0.25;   // the cell below it
        qreal averageWidth = 0.5;
        qreal underlinePosition = 0.1; // below the baseline
        qreal underlineThickness = 0.05;
        qreal strikeOutPosition = 0.3; // above the baseline
        qreal strikeOutThickness = 0.05;
    };
    struct Face {
        QFont font;
        QRawFont raw;
        Metrics metrics;
    };

    // The face for font drawn with an em of about pixels; found at a power of two from 16 to 256
    // pixels, as Qt draws glyphs at the size they show whatever size the face is found at. The faces of
    // a play are kept until its end; past kMostFaces of them, fonts draw with a face already found.
    const Face& Find(const MetafileFont& font, qreal pixels);
    static constexpr size_t kMostFaces = 32;
    static constexpr int kSmallestFacePixels = 16;
    static constexpr int kLargestFacePixels = 256;

    // A glyph for a character face has none for, from the face Qt falls back on; null when there is
    // none, or when this play has already looked for kMostFallbacks characters.
    struct Fallback {
        QRawFont raw;
        quint32 glyph = 0;
    };
    const Fallback* FindFallback(const Face& face, char32_t character);
    static constexpr size_t kMostFallbacks = 256;

    // The face found is the face the font names, not a substitute: glyph indices written for the named
    // face are this face's too.
    static bool IsNamedFace(const Face& face, const MetafileFont& font);

    // The font a fresh device context has selected: the system font, a sans face 16 reference-device
    // pixels high (its cell).
    static const MetafileFont& DefaultFont();
    // The stock font of a stock object index (with its high bit), or null.
    static std::shared_ptr<const MetafileFont> StockFont(uint32_t index);

private:
    // Face name (folded), weight in hundreds, italic, pitch and family, pixel size.
    using Key = std::tuple<QString, int, bool, uint8_t, int>;
    std::map<Key, Face> m_faces;
    std::map<std::pair<const Face*, char32_t>, std::optional<Fallback>> m_fallbacks;
};

} // namespace platform
