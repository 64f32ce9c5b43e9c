#include "platform/Windows1252.h"

#include <array>

namespace platform {

namespace {

// The characters of 0x80 to 0x9F; the unassigned bytes keep their own code points.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

constexpr unsigned char HighFirst = 0x80;
constexpr unsigned char HighLast = 0x9F;

char16_t CharOf(unsigned char byte)
{
    if (byte >= HighFirst && byte <= HighLast)
        return HighControls[byte - HighFirst];
    return byte;
}

char ByteOf(char16_t c)
{
    for (size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == c)
            return static_cast<char>(HighFirst + i);
    }
    // Latin-1 outside 0x80..0x9F; the C1 controls there that the table does not keep have no byte.
    if (c <= 0xFF && (c < HighFirst || c > HighLast))
        return static_cast<char>(c);
    return '?';
}

} // namespace

QString FromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(CharOf(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray ToWindows1252(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = ByteOf(text[i].unicode());
    return bytes;
}

} // namespace platform
