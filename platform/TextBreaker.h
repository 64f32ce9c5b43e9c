#pragma once

#include <QStringView>
#include <functional>
#include <vector>

namespace platform {

struct TextLine {
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const TextLine&, const TextLine&) = default;
};

// The lines in which a device context shows a text. "\r\n", "\r" and "\n" each end a line; a break at the
// very end adds no empty line, and an empty text has none. With wordBreak, a line wider than width ends
// after the last word that still fits (the spaces at the break are dropped), and a word wider than the
// whole width is broken between characters (at least one character a line). measure gives the width of
// a piece of text in the same units as width.
std::vector<TextLine> BreakTextLines(QStringView text, int width, bool wordBreak,
                                     const std::function<int(QStringView)>& measure);

} // namespace platform
