#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The 8-bit code page of the texts in older project files (Windows-1252): Latin-1 except 0x80 to 0x9F,
// which hold the euro sign, curly quotes, dashes and a few letters. The five bytes that code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for their Latin-1 code points both ways.
QString FromWindows1252(const QByteArray& bytes);
// Characters the code page lacks become '?'.
QByteArray ToWindows1252(const QString& text);

} // namespace platform
