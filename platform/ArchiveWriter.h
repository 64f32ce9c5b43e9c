#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

class QIODevice;

namespace platform {

// Little-endian binary writer in the framework's archive format. A write the device does not take in
// full throws ArchiveError, so a failed save can never be reported as a success.
class ArchiveWriter {
public:
    explicit ArchiveWriter(QIODevice& device);

    void WriteU8(uint8_t value);
    void WriteU16(uint16_t value);
    void WriteU32(uint32_t value);
    void WriteI32(int32_t value);
    void WriteFloat(float value);
    void WriteBytes(const QByteArray& bytes);
    void WriteBytes(const void* data, int64_t count);

    // Always the wide form: 0xFF, 0xFFFE, the length in UTF-16 code units, the UTF-16LE characters.
    void WriteString(const QString& text);
    // The one-byte form (8-bit characters in Windows-1252), as older files hold it. Characters that code
    // page lacks become '?'.
    void WriteNarrowString(const QString& text);

private:
    void WriteLength(uint64_t length);

    QIODevice& m_device;
};

} // namespace platform
