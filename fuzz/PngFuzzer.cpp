// Decodes every input with the program's own PNG decoder and, wherever it answers, with Qt's reader too:
// no input may crash or reach undefined behaviour, and every picture the decoder gives must be the one
// Qt gives, pixel for pixel. The chunks' CRCs are made right first (for both readers), so that mutations
// reach the image data instead of stopping at a wrong CRC.
#include "platform/PngDecoder.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>
#include <zlib.h>
#include <cstdint>
#include <cstdlib>

namespace {

// Pictures are kept small, so that a claimed size costs little time.
constexpr int64_t MaxPixels = 1 << 20;

// The bytes with every whole chunk's CRC made right.
QByteArray WithRightCrcs(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    constexpr qsizetype SignatureBytes = 8;
    for (qsizetype at = SignatureBytes; at + 12 <= bytes.size();) {
        const qsizetype length = qFromBigEndian<uint32_t>(bytes.constData() + at);
        if (length > bytes.size() - at - 12)
            break;
        const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(bytes.constData() + at + 4), uInt(4 + length));
        qToBigEndian<uint32_t>(static_cast<uint32_t>(crc), bytes.data() + at + 8 + length);
        at += 12 + length;
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = WithRightCrcs(data, size);
    const std::optional<QImage> decoded = platform::DecodePlainPng(bytes, MaxPixels);
    if (decoded && *decoded != QImage::fromData(bytes, "PNG"))
        std::abort();
    return 0;
}
