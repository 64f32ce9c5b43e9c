#include "platform/TextLayout.h"

#include "platform/DrawTypes.h"
#include "platform/TextBreaker.h"

#include <QFontMetrics>

namespace platform {

TextLayout::TextLayout(const QString& text, const QFont& font, int width, uint32_t format)
    : m_text(text), m_font(font), m_width(width), m_format(format)
{
    const QFontMetrics metrics(font);
    m_lineHeight = metrics.height();
    const std::vector<TextLine> lines =
        BreakTextLines(text, width, (format & TextFormat::WordBreak) != 0,
                       [&](QStringView piece) { return metrics.horizontalAdvance(piece.toString()); });
    m_lines.reserve(lines.size());
    for (const TextLine& line : lines) {
        QString piece = text.sliced(line.start, line.length);
        const int pieceWidth = metrics.horizontalAdvance(piece);
        m_lines.push_back({std::move(piece), pieceWidth});
    }
}

bool TextLayout::IsFor(const QString& text, const QFont& font, int width, uint32_t format) const
{
    return width == m_width && format == m_format && text == m_text && font == m_font;
}

} // namespace platform
