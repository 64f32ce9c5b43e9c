#include "PictureFixtures.h"

#include <cstring>

namespace fixtures {

namespace {

int PixelBytes(const QImage& picture)
{
    return picture.depth() / 8;
}

} // namespace

QImage Picture(QImage::Format format, int width, int height, std::initializer_list<uint8_t> bytes)
{
    QImage picture(width, height, format);
    const int rowBytes = width * PixelBytes(picture);
    const uint8_t* from = bytes.begin();
    for (int y = 0; y < height && from + rowBytes <= bytes.end(); ++y, from += rowBytes)
        std::memcpy(picture.scanLine(y), from, static_cast<size_t>(rowBytes));
    return picture;
}

QImage Filled(QImage::Format format, int width, int height, std::initializer_list<uint8_t> pixel)
{
    QImage picture(width, height, format);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            std::memcpy(picture.scanLine(y) + x * PixelBytes(picture), pixel.begin(), pixel.size());
    }
    return picture;
}

std::vector<uint8_t> Bytes(const QImage& picture)
{
    std::vector<uint8_t> bytes;
    const int rowBytes = picture.width() * PixelBytes(picture);
    for (int y = 0; y < picture.height(); ++y)
        bytes.insert(bytes.end(), picture.constScanLine(y), picture.constScanLine(y) + rowBytes);
    return bytes;
}

std::vector<uint8_t> Pixel(const QImage& picture, int x, int y)
{
    const uint8_t* at = picture.constScanLine(y) + x * PixelBytes(picture);
    return std::vector<uint8_t>(at, at + PixelBytes(picture));
}

std::vector<uint8_t> Repeat(std::initializer_list<uint8_t> pixel, int count)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        bytes.insert(bytes.end(), pixel.begin(), pixel.end());
    return bytes;
}

} // namespace fixtures
