#include "ArchiveBytes.h"

#include <QBuffer>

QByteArray WrittenBytes(const std::function<void(platform::ArchiveWriter&)>& write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    platform::ArchiveWriter writer(buffer);
    write(writer);
    return buffer.data();
}

void ReadBytes(const QByteArray& bytes, const std::function<void(platform::ArchiveReader&)>& read)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    platform::ArchiveReader reader(buffer);
    read(reader);
}
