#include "platform/DeviceContext.h"

#include "platform/TextBreaker.h"

#include <QFontMetrics>

namespace platform {

int DeviceContext::DrawText(const QString& text, Rect& rect, uint32_t format)
{
    const QFontMetrics metrics(m_state.font);
    const int lineHeight = metrics.height();
    const int width = rect.right - rect.left;
    const std::vector<TextLine> lines = BreakTextLines(text, width, (format & TextFormat::WordBreak) != 0,
                                                       [&](QStringView piece) {
                                                           return metrics.horizontalAdvance(piece.toString());
                                                       });
    const int height = static_cast<int>(lines.size()) * lineHeight;
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
    painter.setFont(m_state.font);
    painter.setPen(m_state.textColour);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int top = rect.top + static_cast<int>(i) * lineHeight;
        if ((format & TextFormat::EditControl) && top + lineHeight > rect.bottom)
            break;
        const QString line = text.sliced(lines[i].start, lines[i].length);
        const int lineWidth = metrics.horizontalAdvance(line);
        const int left = (format & TextFormat::Centre) ? rect.left + (width - lineWidth) / 2 : rect.left;
        if (m_state.backgroundMode == BackgroundMode::Opaque) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.fillRect(QRect(left, top, lineWidth, lineHeight), m_state.backgroundColour);
            painter.setRenderHint(QPainter::Antialiasing, smoothText);
        }
        painter.drawText(QPoint(left, top + metrics.ascent()), line);
    }
    return height;
}

} // namespace platform
