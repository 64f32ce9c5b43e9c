#include "platform/metafile/MetafileParser.h"

#include "platform/metafile/MetafileParseHelpers.h"
#include "platform/metafile/MetafileText.h"

#include <cstddef>
#include <memory>

namespace platform {
namespace {

using namespace metafile_parse;

constexpr uint64_t kWideCharBytes = 2;

// Reads count 32-bit values at offset, all inside the record.
bool ReadSpacing(const char* record, uint32_t size, uint64_t offset, uint64_t count, std::vector<int32_t>& out)
{
    if (offset > size || count > (size - offset) / sizeof(int32_t))
        return false;
    out.resize(count);
    for (uint64_t i = 0; i < count; ++i)
        out[i] = int32_t(Word(record, offset + i * sizeof(int32_t)));
    return true;
}

// count characters of charBytes each at offset, all inside the record; 1-byte characters of a wide
// string (SMALLTEXTOUT's ETO_SMALL_CHARS) are the low bytes of UTF-16 units.
bool ReadChars(const char* record, uint32_t size, uint64_t offset, uint64_t count, uint64_t charBytes, bool wide,
               MetafileTextString& out)
{
    if (offset > size || count > (size - offset) / charBytes)
        return false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(record + offset);
    out.wide = wide;
    if (!wide) {
        out.narrowChars = QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(count));
        return true;
    }
    out.wideChars.resize(qsizetype(count));
    for (uint64_t i = 0; i < count; ++i)
        out.wideChars[qsizetype(i)] = QChar(charBytes == 1 ? bytes[i] : char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8));
    return true;
}

// One EMRTEXT entry at offset: its fixed part, the rectangle unless ETO_NO_RECT, the offset of the
// spacing array, then the string and the array wherever their offsets (from the record's start) say.
// end is where the entry's own fields stop. False when any of it leaves the record.
bool ReadTextEntry(const char* record, uint32_t size, uint64_t offset, bool wide, MetafileTextString& out,
                   uint64_t& end)
{
    if (offset > size || size - offset < sizeof(U_EMRTEXT))
        return false;
    U_EMRTEXT entry;
    std::memcpy(&entry, record + offset, sizeof(entry));
    uint64_t next = offset + sizeof(U_EMRTEXT);
    out.reference = ToPoint(entry.ptlReference);
    out.options = entry.fOptions;
    out.hasRectangle = (entry.fOptions & U_ETO_NO_RECT) == 0;
    if (out.hasRectangle) {
        if (size - next < sizeof(U_RECTL))
            return false;
        U_RECTL rect;
        std::memcpy(&rect, record + next, sizeof(rect));
        out.rectangle = ToRect(rect);
        next += sizeof(U_RECTL);
    }
    if (size - next < sizeof(uint32_t))
        return false;
    const uint64_t spacingOffset = Word(record, next);
    end = next + sizeof(uint32_t);
    const uint64_t count = entry.nChars;
    if (!ReadChars(record, size, entry.offString, count, wide ? kWideCharBytes : 1, wide, out))
        return false;
    // No spacing array at all (offset 0): the font's own advances.
    if (spacingOffset == 0)
        return true;
    const bool pairs = (entry.fOptions & U_ETO_PDY) != 0;
    std::vector<int32_t> spacing;
    if (!ReadSpacing(record, size, spacingOffset, pairs ? 2 * count : count, spacing))
        return false;
    if (!pairs) {
        out.dx = std::move(spacing);
        return true;
    }
    out.dx.resize(count);
    out.dy.resize(count);
    for (uint64_t i = 0; i < count; ++i) {
        out.dx[i] = spacing[2 * i];
        out.dy[i] = spacing[2 * i + 1];
    }
    return true;
}

// EXTTEXTOUTA / W and POLYTEXTOUTA / W: the graphics mode, then one or several entries.
std::shared_ptr<MetafileText> DecodeTextOut(uint32_t type, const char* record, uint32_t size)
{
    const bool wide = type == U_EMR_EXTTEXTOUTW || type == U_EMR_POLYTEXTOUTW;
    const bool poly = type == U_EMR_POLYTEXTOUTA || type == U_EMR_POLYTEXTOUTW;
    constexpr size_t modeOffset = offsetof(U_EMREXTTEXTOUTW, iGraphicsMode);
    constexpr size_t countOffset = offsetof(U_EMRPOLYTEXTOUTW, cStrings);
    constexpr size_t singleOffset = offsetof(U_EMREXTTEXTOUTW, emrtext);
    constexpr size_t polyOffset = offsetof(U_EMRPOLYTEXTOUTW, emrtext);
    static_assert(offsetof(U_EMRPOLYTEXTOUTW, iGraphicsMode) == modeOffset);
    if (size < (poly ? polyOffset : singleOffset))
        return nullptr;
    auto text = std::make_shared<MetafileText>();
    text->graphicsMode = Word(record, modeOffset);
    const uint64_t count = poly ? Word(record, countOffset) : 1;
    // Every entry takes at least its fixed part and spacing offset.
    uint64_t offset = poly ? polyOffset : singleOffset;
    if (count > (size - offset) / (sizeof(U_EMRTEXT) + sizeof(uint32_t)))
        return nullptr;
    text->strings.resize(count);
    for (MetafileTextString& string : text->strings) {
        if (!ReadTextEntry(record, size, offset, wide, string, offset))
            return nullptr;
    }
    return text;
}

// SMALLTEXTOUT: no spacing array; the rectangle unless ETO_NO_RECT, then 8- or 16-bit characters.
std::shared_ptr<MetafileText> DecodeSmallTextOut(const char* record, uint32_t size)
{
    if (size < sizeof(U_EMRSMALLTEXTOUT))
        return nullptr;
    const auto fixed = Fixed<U_EMRSMALLTEXTOUT>(record, size);
    auto text = std::make_shared<MetafileText>();
    text->graphicsMode = fixed.iGraphicsMode;
    MetafileTextString& string = text->strings.emplace_back();
    string.reference = ToPoint(fixed.Dest);
    string.options = fixed.fuOptions;
    string.hasRectangle = (fixed.fuOptions & U_ETO_NO_RECT) == 0;
    uint64_t offset = sizeof(U_EMRSMALLTEXTOUT);
    if (string.hasRectangle) {
        if (size - offset < sizeof(U_RECTL))
            return nullptr;
        U_RECTL rect;
        std::memcpy(&rect, record + offset, sizeof(rect));
        string.rectangle = ToRect(rect);
        offset += sizeof(U_RECTL);
    }
    const uint64_t charBytes = (fixed.fuOptions & U_ETO_SMALL_CHARS) != 0 ? 1 : kWideCharBytes;
    if (!ReadChars(record, size, offset, fixed.cChars, charBytes, true, string))
        return nullptr;
    return text;
}

} // namespace

bool MetafileParser::DecodeText(uint32_t type, const char* record, uint32_t size)
{
    MetafileRecord out;
    switch (type) {
    case U_EMR_SETTEXTALIGN:
        out.kind = MetafileRecordKind::SetTextAlign;
        out.value = Fixed<U_EMRSETTEXTALIGN>(record, size).iMode;
        break;
    case U_EMR_SETTEXTCOLOR:
        out.kind = MetafileRecordKind::SetTextColor;
        out.value = ToColourRef(Fixed<U_EMRSETTEXTCOLOR>(record, size).crColor);
        break;
    case U_EMR_SMALLTEXTOUT:
        out.kind = MetafileRecordKind::TextOut;
        out.text = DecodeSmallTextOut(record, size);
        break;
    default:
        out.kind = MetafileRecordKind::TextOut;
        out.text = DecodeTextOut(type, record, size);
        break;
    }
    // A string or spacing array that does not fit its record: the record is left out.
    if (out.kind == MetafileRecordKind::TextOut && !out.text)
        return true;
    Add(std::move(out));
    return true;
}

void MetafileParser::DecodeFont(const char* record, uint32_t size, MetafileRecord& out)
{
    if (size < U_SIZE_EMREXTCREATEFONTINDIRECTW_LOGFONT)
        return;
    const U_LOGFONT logFont = Fixed<U_EMREXTCREATEFONTINDIRECTW>(record, size).elfw.elfLogFont;
    auto font = std::make_shared<MetafileFont>();
    font->height = logFont.lfHeight;
    font->width = logFont.lfWidth;
    font->escapement = logFont.lfEscapement;
    font->orientation = logFont.lfOrientation;
    font->weight = logFont.lfWeight;
    font->italic = logFont.lfItalic != 0;
    font->underline = logFont.lfUnderline != 0;
    font->strikeOut = logFont.lfStrikeOut != 0;
    font->charset = logFont.lfCharSet;
    font->pitchAndFamily = logFont.lfPitchAndFamily;
    // Up to 32 units; shorter names end at a NUL.
    qsizetype length = 0;
    while (length < U_LF_FACESIZE && logFont.lfFaceName[length] != 0)
        ++length;
    font->faceName = QString::fromUtf16(reinterpret_cast<const char16_t*>(logFont.lfFaceName), length);
    out.kind = MetafileRecordKind::CreateOther;
    out.object.kind = MetafileObject::Kind::Font;
    out.object.font = std::move(font);
}

} // namespace platform
