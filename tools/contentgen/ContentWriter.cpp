#include "tools/contentgen/ContentWriter.h"

#include "engine/base/Scramble.h"
#include "platform/PathJoin.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace {

// A copy that carries nothing but pixels: a decoded file's text entries and colour space would
// otherwise be written back (as text chunks and colour profiles).
QImage PixelsOnly(const QImage& image, QImage::Format format)
{
    const QImage converted = image.convertToFormat(format);
    QImage bare(converted.constBits(), converted.width(), converted.height(),
                converted.bytesPerLine(), converted.format());
    QImage copy = bare.copy();  // owns its pixels, no text, no colour space
    copy.setColorTable(converted.colorTable());  // a palette picture keeps its palette
    copy.setDotsPerMeterX(ContentWriter::DotsPerMeter);
    copy.setDotsPerMeterY(ContentWriter::DotsPerMeter);
    return copy;
}

QByteArray Encode(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        return {};
    return bytes;
}

} // namespace

ContentWriter::ContentWriter(QString root) : m_root(std::move(root)) {}

bool ContentWriter::Write(const QString& relativePath, const QByteArray& bytes)
{
    if (bytes.isEmpty()) {
        m_error = QStringLiteral("nothing to write for %1").arg(relativePath);
        return false;
    }
    const QString path = platform::JoinPath(m_root, relativePath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        m_error = QStringLiteral("cannot make the folder of %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    m_written << relativePath;
    m_bytes += bytes.size();
    return true;
}

bool ContentWriter::WriteScrambled(const QString& relativePath, const QByteArray& bytes)
{
    return Write(relativePath, Scrambled(bytes));
}

bool ContentWriter::WriteJpeg(const QString& relativePath, const QImage& image)
{
    return Write(relativePath, EncodeJpeg(image));
}

bool ContentWriter::WritePng(const QString& relativePath, const QImage& image)
{
    return Write(relativePath, EncodePng(image));
}

QByteArray ContentWriter::EncodeJpeg(const QImage& image)
{
    return Encode(PixelsOnly(image, QImage::Format_RGB888), "jpeg", JpegQuality);
}

QByteArray ContentWriter::EncodePng(const QImage& image)
{
    if (image.format() == QImage::Format_Indexed8)
        return Encode(PixelsOnly(image, QImage::Format_Indexed8), "png", -1);
    const QImage::Format format = image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB888;
    return Encode(PixelsOnly(image, format), "png", -1);
}

QByteArray ContentWriter::Scrambled(QByteArray bytes)
{
    ScrambleBuffer(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
    return bytes;
}
