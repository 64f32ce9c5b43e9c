#include "platform/ArchiveWriter.h"

#include "platform/ArchiveError.h"
#include "platform/Windows1252.h"

#include <QIODevice>
#include <QtEndian>
#include <cstring>

namespace platform {

ArchiveWriter::ArchiveWriter(QIODevice& device) : m_device(device) {}

void ArchiveWriter::WriteBytes(const void* data, int64_t count)
{
    if (count <= 0)
        return;
    if (m_device.write(static_cast<const char*>(data), count) != count)
        throw ArchiveError("archive: write failed");
}

void ArchiveWriter::WriteBytes(const QByteArray& bytes)
{
    WriteBytes(bytes.constData(), bytes.size());
}

void ArchiveWriter::WriteU8(uint8_t value)
{
    WriteBytes(&value, 1);
}

void ArchiveWriter::WriteU16(uint16_t value)
{
    uchar bytes[2];
    qToLittleEndian(value, bytes);
    WriteBytes(bytes, 2);
}

void ArchiveWriter::WriteU32(uint32_t value)
{
    uchar bytes[4];
    qToLittleEndian(value, bytes);
    WriteBytes(bytes, 4);
}

void ArchiveWriter::WriteI32(int32_t value)
{
    WriteU32(static_cast<uint32_t>(value));
}

void ArchiveWriter::WriteFloat(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteU32(bits);
}

void ArchiveWriter::WriteLength(uint64_t length)
{
    if (length < 0xFF) {
        WriteU8(static_cast<uint8_t>(length));
    } else if (length < 0xFFFE) {
        WriteU8(0xFF);
        WriteU16(static_cast<uint16_t>(length));
    } else if (length < 0xFFFFFFFFull) {
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(static_cast<uint32_t>(length));
    } else {
        throw ArchiveError("archive: string too long");
    }
}

void ArchiveWriter::WriteString(const QString& text)
{
    WriteU8(0xFF);
    WriteU16(0xFFFE);
    WriteLength(static_cast<uint64_t>(text.size()));
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian<uint16_t>(text[i].unicode(), bytes.data() + 2 * i);
    WriteBytes(bytes);
}

void ArchiveWriter::WriteNarrowString(const QString& text)
{
    WriteLength(static_cast<uint64_t>(text.size()));
    WriteBytes(ToWindows1252(text));
}

} // namespace platform
