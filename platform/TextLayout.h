#pragma once

#include <QFont>
#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

// A text broken into the lines a device context shows it in, for one font, one width and one set of
// TextFormat flags, with each line's width. A caller that draws the same text again (a speech bubble
// at every repaint) keeps one and draws without measuring the text again.
class TextLayout {
public:
    struct Line {
        QString text;
        int width = 0;
    };

    TextLayout(const QString& text, const QFont& font, int width, uint32_t format);

    // Whether this layout shows text in font at width with format.
    bool IsFor(const QString& text, const QFont& font, int width, uint32_t format) const;

    const QFont& Font() const { return m_font; }
    int LineHeight() const { return m_lineHeight; }
    // The height of all lines.
    int Height() const { return static_cast<int>(m_lines.size()) * m_lineHeight; }
    const std::vector<Line>& Lines() const { return m_lines; }

private:
    QString m_text;
    QFont m_font;
    int m_width;
    uint32_t m_format;
    int m_lineHeight = 0;
    std::vector<Line> m_lines;
};

} // namespace platform
