#include "TestPictures.h"

#include "engine/base/Scramble.h"

#include <QBuffer>
#include <QDir>
#include <gtest/gtest.h>

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
