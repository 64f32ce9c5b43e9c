// Decodes every input with the program's own PNG decoder and, wherever it answers, with Qt's reader too:
// no input may crash or reach undefined behaviour, and every picture the decoder gives must be the one
// Qt gives, pixel for pixel.
#include "platform/PngDecoder.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdlib>

namespace {

// Pictures are kept small, so that a claimed size costs little time.
constexpr int64_t MaxPixels = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QImage> decoded = platform::DecodePlainPng(bytes, MaxPixels);
    if (decoded && *decoded != QImage::fromData(bytes, "PNG"))
        std::abort();
    return 0;
}
