#pragma once

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <vector>

namespace platform::metafile_text {

// Characters and what each UTF-16 unit advances (logical units; empty: the font's own advances).
struct DecodedChars {
    QString chars;
    std::vector<QPointF> advances;
};

// 8-bit characters in the code page of a font's character set (Windows-1252 for the ANSI and default
// sets and wherever no decoder is at hand, the bytes as they are for the symbol set). A character of
// several bytes advances by the sum of its bytes' advances.
DecodedChars DecodeNarrow(const QByteArray& bytes, uint8_t charset, const std::vector<QPointF>& byteAdvances);

} // namespace platform::metafile_text
