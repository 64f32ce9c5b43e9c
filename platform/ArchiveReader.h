#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

class QIODevice;

namespace platform {

// Little-endian binary reader in the framework's archive format. Every failure throws ArchiveError;
// every length read from the stream is checked against the bytes left before anything is allocated.
class ArchiveReader {
public:
    explicit ArchiveReader(QIODevice& device);

    uint8_t ReadU8();
    uint16_t ReadU16();
    uint32_t ReadU32();
    int32_t ReadI32();
    float ReadFloat();
    QByteArray ReadBytes(int64_t count);
    // The same bytes, handed over without a copy when the device holds them in memory (a QBuffer): the
    // result then views the buffer's bytes and is valid only while they live unchanged. Use it for bytes
    // that are consumed at once, not kept. From any other device, a copy as ReadBytes makes.
    QByteArray ReadBytesInPlace(int64_t count);

    // A framework string: the wide form (0xFF, 0xFFFE, length, UTF-16LE) or the one-byte form
    // (length, 8-bit characters in Windows-1252, the code page of the files that hold it). Lengths:
    // one byte up to 254, else 0xFF and a u16 up to 65533, else 0xFF, 0xFFFF and a u32.
    QString ReadString();

    // Bytes between the position and the end of the device (for sequential devices, those buffered).
    int64_t BytesLeft() const;
    bool AtEnd() const { return BytesLeft() <= 0; }

private:
    void ReadExactly(void* target, int64_t count);
    void RequireBytes(int64_t count) const;

    QIODevice& m_device;
};

} // namespace platform
