#include "platform/DeviceContext.h"

#include "platform/GlyphOutlineOrigin.h"
#include "platform/TextLayout.h"

#include <QFontMetrics>

namespace platform {

int DeviceContext::DrawText(const QString& text, Rect& rect, uint32_t format)
{
    const TextLayout layout(text, m_state.font, rect.right - rect.left, format & ~TextFormat::CalcRect);
    return DrawText(layout, rect, format);
}

int DeviceContext::DrawText(const TextLayout& layout, Rect& rect, uint32_t format)
{
    const int lineHeight = layout.LineHeight();
    const int width = rect.right - rect.left;
    const int height = layout.Height();
    if (format & TextFormat::CalcRect) {
        rect.bottom = rect.top + height;
        return height;
    }
    QPainter& painter = PreparePainter(QPainter::CompositionMode_SourceOver);
    // Glyphs too large or too turned for Qt's glyph cache are filled as outlines, and Qt switches
    // antialiasing on around each such fill and off again; each switch rebuilds the whole clip, which
    // made every line of a turned bubble cost milliseconds. Switched on here, before the text's clip,
    // the state is the one those fills would switch to, and no switch happens. Only text is drawn
    // under it: the opaque background below is filled with antialiasing off as before.
    const bool smoothText = painter.testRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::Antialiasing, smoothText);
    painter.setClipRect(QRect(rect.left, rect.top, width, rect.bottom - rect.top), Qt::IntersectClip);
    painter.setFont(layout.Font());
    ResetGlyphOutlineOrigin(layout.Font());
    painter.setPen(m_state.textColour);
    const int ascent = QFontMetrics(layout.Font()).ascent();
    const std::vector<TextLayout::Line>& lines = layout.Lines();
    for (size_t i = 0; i < lines.size(); ++i) {
        const int top = rect.top + static_cast<int>(i) * lineHeight;
        if ((format & TextFormat::EditControl) && top + lineHeight > rect.bottom)
            break;
        const int lineWidth = lines[i].width;
        const int left = (format & TextFormat::Centre) ? rect.left + (width - lineWidth) / 2 : rect.left;
        if (m_state.backgroundMode == BackgroundMode::Opaque) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.fillRect(QRect(left, top, lineWidth, lineHeight), m_state.backgroundColour);
            painter.setRenderHint(QPainter::Antialiasing, smoothText);
        }
        painter.drawText(QPoint(left, top + ascent), lines[i].text);
    }
    return height;
}

} // namespace platform
