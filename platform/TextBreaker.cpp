#include "platform/TextBreaker.h"

namespace platform {

namespace {

constexpr QChar Space = u' ';
constexpr QChar CarriageReturn = u'\r';
constexpr QChar LineFeed = u'\n';

class ParagraphBreaker {
public:
    ParagraphBreaker(QStringView text, int width, const std::function<int(QStringView)>& measure,
                     std::vector<TextLine>& lines)
        : m_text(text), m_width(width), m_measure(measure), m_lines(lines)
    {
    }

    void Break(qsizetype begin, qsizetype end)
    {
        if (begin == end) {
            m_lines.push_back({begin, 0});
            return;
        }
        qsizetype pos = begin;
        while (pos < end) {
            const qsizetype lineEnd = LastFittingWordEnd(pos, end);
            if (lineEnd == end) {
                m_lines.push_back({pos, end - pos});
                return;
            }
            if (lineEnd > pos) {
                m_lines.push_back({pos, lineEnd - pos});
                pos = lineEnd;
                while (pos < end && m_text[pos] == Space)
                    ++pos;
                continue;
            }
            const qsizetype cut = LongestFittingPrefix(pos, WordEnd(pos, end));
            m_lines.push_back({pos, cut - pos});
            pos = cut;
        }
    }

private:
    bool Fits(qsizetype begin, qsizetype end) const
    {
        return m_measure(m_text.sliced(begin, end - begin)) <= m_width;
    }

    // The end of the word that starts at pos (its leading spaces count as part of it).
    qsizetype WordEnd(qsizetype pos, qsizetype end) const
    {
        while (pos < end && m_text[pos] == Space)
            ++pos;
        while (pos < end && m_text[pos] != Space)
            ++pos;
        return pos;
    }

    // The end of the longest run of whole words from begin that fits; begin when not even one does.
    qsizetype LastFittingWordEnd(qsizetype begin, qsizetype end) const
    {
        qsizetype fitting = begin;
        for (qsizetype wordEnd = WordEnd(begin, end); wordEnd > fitting; wordEnd = WordEnd(wordEnd, end)) {
            if (!Fits(begin, wordEnd))
                break;
            fitting = wordEnd;
        }
        return fitting;
    }

    // The longest prefix of [begin, limit) that fits, at least one character.
    qsizetype LongestFittingPrefix(qsizetype begin, qsizetype limit) const
    {
        qsizetype cut = begin + 1;
        while (cut < limit && Fits(begin, cut + 1))
            ++cut;
        return cut;
    }

    QStringView m_text;
    int m_width;
    const std::function<int(QStringView)>& m_measure;
    std::vector<TextLine>& m_lines;
};

} // namespace

std::vector<TextLine> BreakTextLines(QStringView text, int width, bool wordBreak,
                                     const std::function<int(QStringView)>& measure)
{
    std::vector<TextLine> lines;
    ParagraphBreaker breaker(text, width, measure, lines);
    qsizetype begin = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QChar c = text[pos];
        if (c != CarriageReturn && c != LineFeed) {
            ++pos;
            continue;
        }
        if (wordBreak)
            breaker.Break(begin, pos);
        else
            lines.push_back({begin, pos - begin});
        pos += (c == CarriageReturn && pos + 1 < text.size() && text[pos + 1] == LineFeed) ? 2 : 1;
        begin = pos;
    }
    if (begin < text.size()) {
        if (wordBreak)
            breaker.Break(begin, text.size());
        else
            lines.push_back({begin, text.size() - begin});
    }
    return lines;
}

} // namespace platform
