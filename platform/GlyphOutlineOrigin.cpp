#include "platform/GlyphOutlineOrigin.h"

#include <QFont>
#include <QRawFont>

namespace platform {

void ResetGlyphOutlineOrigin(const QFont& font)
{
    QRawFont face = QRawFont::fromFont(font);
    if (!face.isValid())
        return;
    // A new size gives a new engine, whose glyph cache is empty: the glyph below is loaded, not looked up.
    face.setPixelSize(face.unitsPerEm());
    const QList<quint32> glyphs = face.glyphIndexesForString(QStringLiteral("H"));
    face.advancesForGlyphIndexes(glyphs);
}

} // namespace platform
