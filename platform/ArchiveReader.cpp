#include "platform/ArchiveReader.h"

#include "platform/ArchiveError.h"
#include "platform/Windows1252.h"

#include <QBuffer>
#include <QIODevice>
#include <QtEndian>
#include <cstring>

namespace platform {

ArchiveReader::ArchiveReader(QIODevice& device) : m_device(device) {}

int64_t ArchiveReader::BytesLeft() const
{
    if (m_device.isSequential())
        return m_device.bytesAvailable();
    return m_device.size() - m_device.pos();
}

void ArchiveReader::RequireBytes(int64_t count) const
{
    if (count < 0 || count > BytesLeft())
        throw ArchiveError("archive: read past the end");
}

void ArchiveReader::ReadExactly(void* target, int64_t count)
{
    RequireBytes(count);
    if (count == 0)
        return;
    if (m_device.read(static_cast<char*>(target), count) != count)
        throw ArchiveError("archive: short read");
}

uint8_t ArchiveReader::ReadU8()
{
    uint8_t value = 0;
    ReadExactly(&value, 1);
    return value;
}

uint16_t ArchiveReader::ReadU16()
{
    uchar bytes[2];
    ReadExactly(bytes, 2);
    return qFromLittleEndian<uint16_t>(bytes);
}

uint32_t ArchiveReader::ReadU32()
{
    uchar bytes[4];
    ReadExactly(bytes, 4);
    return qFromLittleEndian<uint32_t>(bytes);
}

int32_t ArchiveReader::ReadI32()
{
    return static_cast<int32_t>(ReadU32());
}

float ArchiveReader::ReadFloat()
{
    const uint32_t bits = ReadU32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QByteArray ArchiveReader::ReadBytes(int64_t count)
{
    RequireBytes(count);
    QByteArray bytes(static_cast<qsizetype>(count), Qt::Uninitialized);
    ReadExactly(bytes.data(), count);
    return bytes;
}

QByteArray ArchiveReader::ReadBytesInPlace(int64_t count)
{
    auto* buffer = qobject_cast<QBuffer*>(&m_device);
    if (!buffer)
        return ReadBytes(count);
    RequireBytes(count);
    const qint64 at = buffer->pos();
    const QByteArray view =
        QByteArray::fromRawData(buffer->data().constData() + at, static_cast<qsizetype>(count));
    if (!buffer->seek(at + count))
        throw ArchiveError("archive: short read");
    return view;
}

QString ArchiveReader::ReadString()
{
    bool wide = false;
    uint64_t length = ReadU8();
    if (length == 0xFF) {
        uint16_t word = ReadU16();
        if (word == 0xFFFE) {
            wide = true;
            length = ReadU8();
            if (length == 0xFF)
                word = ReadU16();
        }
        if (length == 0xFF) {
            length = word;
            if (word == 0xFFFF)
                length = ReadU32();
            else if (word == 0xFFFE)
                throw ArchiveError("archive: malformed string length", true);
        }
    }
    const uint64_t byteCount = wide ? length * 2 : length;
    if (byteCount > static_cast<uint64_t>(BytesLeft()))
        throw ArchiveError("archive: string longer than the bytes left");
    const QByteArray bytes = ReadBytes(static_cast<int64_t>(byteCount));
    if (!wide)
        return FromWindows1252(bytes);
    QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(qFromLittleEndian<uint16_t>(bytes.constData() + 2 * i));
    return text;
}

} // namespace platform
