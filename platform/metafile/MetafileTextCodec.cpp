#include "platform/metafile/MetafileTextCodec.h"

#include <uemf.h>

#include <QStringDecoder>
#include <array>

namespace platform::metafile_text {
namespace {

constexpr uint8_t kVietnameseCharset = 163; // not in libUEMF's list
constexpr uint8_t kFirstWindowsExtra = 0x80;
constexpr uint8_t kLastWindowsExtra = 0x9F;

// Windows-1252's characters at 0x80..0x9F (where it differs from Latin-1); its five unassigned bytes
// stay as they are, as Windows maps them.
constexpr std::array<char16_t, kLastWindowsExtra - kFirstWindowsExtra + 1> kWindows1252Extra = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D,
    0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0x009D, 0x017E, 0x0178,
};

// The code page of the character sets that have one other than Windows-1252, by the name Qt's decoders
// know it by.
const char* CodePage(uint8_t charset)
{
    switch (charset) {
    case U_SHIFTJIS_CHARSET: return "Shift_JIS";
    case U_HANGUL_CHARSET: return "windows-949";
    case U_GB2312_CHARSET: return "GBK";
    case U_CHINESEBIG5_CHARSET: return "Big5";
    case U_GREEK_CHARSET: return "windows-1253";
    case U_TURKISH_CHARSET: return "windows-1254";
    case kVietnameseCharset: return "windows-1258";
    case U_HEBREW_CHARSET: return "windows-1255";
    case U_ARABIC_CHARSET: return "windows-1256";
    case U_BALTIC_CHARSET: return "windows-1257";
    case U_RUSSIAN_CHARSET: return "windows-1251";
    case U_THAI_CHARSET: return "windows-874";
    case U_EASTEUROPE_CHARSET: return "windows-1250";
    case U_MAC_CHARSET: return "macintosh";
    case U_OEM_CHARSET: return "IBM437";
    default: return nullptr;
    }
}

QPointF AdvanceOf(const std::vector<QPointF>& advances, qsizetype index)
{
    return advances.empty() ? QPointF() : advances[size_t(index)];
}

} // namespace

DecodedChars DecodeNarrow(const QByteArray& bytes, uint8_t charset, const std::vector<QPointF>& byteAdvances)
{
    DecodedChars out;
    const char* codePage = CodePage(charset);
    QStringDecoder decoder = codePage ? QStringDecoder(codePage) : QStringDecoder();
    if (!decoder.isValid()) {
        // One character a byte.
        out.chars.resize(bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = uint8_t(bytes[i]);
            const bool extra = charset != U_SYMBOL_CHARSET && byte >= kFirstWindowsExtra && byte <= kLastWindowsExtra;
            out.chars[i] = QChar(extra ? kWindows1252Extra[byte - kFirstWindowsExtra] : char16_t(byte));
        }
        out.advances = byteAdvances;
        return out;
    }
    // Byte by byte, so that the bytes of one character add up to its advance.
    QPointF pending;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        pending += AdvanceOf(byteAdvances, i);
        const QString decoded = decoder.decode(QByteArrayView(bytes.constData() + i, 1));
        for (qsizetype unit = 0; unit < decoded.size(); ++unit) {
            out.chars += decoded[unit];
            if (!byteAdvances.empty()) {
                out.advances.push_back(pending);
                pending = QPointF();
            }
        }
    }
    return out;
}

} // namespace platform::metafile_text
