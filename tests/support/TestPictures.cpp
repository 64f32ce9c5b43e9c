#include "TestPictures.h"

#include "engine/base/Scramble.h"

#include <QBuffer>
#include <QDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

QByteArray PngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "PNG"));
    return bytes;
}

QByteArray Scrambled(QByteArray bytes)
{
    ScrambleBuffer(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
    return bytes;
}

QImage DecodedPicture(const QByteArray& bytes, const char* format)
{
    QImage image;
    image.loadFromData(bytes, format);
    return image;
}

void SaveForALook(const QImage& image, const QString& name)
{
    const QString folder = qEnvironmentVariable("SMG_TEST_PICTURES");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    EXPECT_TRUE(image.save(QDir(folder).filePath(name + QStringLiteral(".png")))) << name.toStdString();
}

QByteArray IconHoldingPng(int width, int height)
{
    QImage picture(width, height, QImage::Format_Mono);
    picture.fill(1);
    const QByteArray png = PngBytes(picture);
    // The header (reserved, type 1 = icon, one entry), then the entry: width, height, colours, reserved,
    // planes, bits a pixel, the image's byte count and its offset (6 + 16).
    QByteArray icon(22, '\0');
    qToLittleEndian<uint16_t>(1, icon.data() + 2);
    qToLittleEndian<uint16_t>(1, icon.data() + 4);
    icon[6] = 16;
    icon[7] = 16;
    qToLittleEndian<uint16_t>(1, icon.data() + 10);
    qToLittleEndian<uint16_t>(32, icon.data() + 12);
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(png.size()), icon.data() + 14);
    qToLittleEndian<uint32_t>(22, icon.data() + 18);
    return icon + png;
}

QByteArray PngClaiming(int width, int height)
{
    QImage small(1, 1, QImage::Format_RGB32);
    small.fill(Qt::white);
    QByteArray bytes = PngBytes(small);
    // The signature (8 bytes), then IHDR: length (4), "IHDR" (4) at 12, width, height, ..., its CRC after 13 bytes.
    constexpr qsizetype Ihdr = 12;
    qToBigEndian<uint32_t>(static_cast<uint32_t>(width), bytes.data() + Ihdr + 4);
    qToBigEndian<uint32_t>(static_cast<uint32_t>(height), bytes.data() + Ihdr + 8);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.constData() + Ihdr), 4 + 13);  // over type and data
    qToBigEndian<uint32_t>(static_cast<uint32_t>(crc), bytes.data() + Ihdr + 4 + 13);
    return bytes;
}
