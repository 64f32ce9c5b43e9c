#include "library/catalog/IndexTags.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr char TagOpen = '<';
constexpr char TagClose = '>';
// Outside a run, the next of these matters: a quote opens a run, ">" closes the tag.
constexpr const char* RunOrClose = "'\">";
constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

bool ReadTag(QString& text, TagCursor& cursor)
{
    // The first "<" at or after the cursor; the one found before still is while the cursor is not past it.
    if (!cursor.open || cursor.open < cursor.position)
        cursor.open = std::strchr(cursor.position, TagOpen);
    if (!cursor.open) {
        text.clear();
        return false;
    }
    char run = 0;
    for (;;) {
        const char* found = run ? std::strchr(cursor.position, run) : std::strpbrk(cursor.position, RunOrClose);
        if (!found) {
            text.clear();
            return false;
        }
        cursor.position = found + 1;
        if (run) {
            run = 0;
        } else if (*found != TagClose) {
            run = *found;
        } else {
            if (found > cursor.open)
                Utf8ToCString(text, cursor.open + 1, found - cursor.open);
            else
                text.clear();  // a stray ">" before the "<"
            return true;
        }
    }
}

void Utf8ToCString(QString& text, const char* bytes, int64_t n)
{
    if (n < 2) {
        text.clear();
        return;
    }
    const QByteArrayView tag(bytes, static_cast<qsizetype>(n - 1));
    if (!tag.startsWith(ByteOrderMark)) {
        text = QString::fromUtf8(tag).trimmed();
        return;
    }
    // The bytes as they stand: QString::fromUtf8 drops a byte-order mark at the start, but here it is a
    // character of the tag, so "<\xEF\xBB\xBFCAT A>" does not read as a category. (The decoder is made
    // only for such a tag: it costs more than the plain conversion.)
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    text = QString(decoder.decode(tag)).trimmed();
}

bool IsItemSeparator(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\v') || c == QLatin1Char('\f');
}

qsizetype FindItemSeparator(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsItemSeparator(text[i]))
            return i;
    }
    return -1;
}

int32_t DecimalValue(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // Digits past the 32-bit range change nothing: the value is clamped as it grows.
    constexpr int64_t Beyond = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t value = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i)
        value = std::min(value * 10 + (text[i].unicode() - '0'), Beyond);
    return static_cast<int32_t>(std::clamp<int64_t>(negative ? -value : value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}
