#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <vector>

// Tiny pictures given and read back as their bytes, row after row without the padding.
namespace fixtures {

inline constexpr auto Rgb = QImage::Format_BGR888;
inline constexpr auto Argb = QImage::Format_ARGB32_Premultiplied;

// format is QImage::Format_BGR888 (3 bytes a pixel) or QImage::Format_ARGB32_Premultiplied (4 bytes).
QImage Picture(QImage::Format format, int width, int height, std::initializer_list<uint8_t> bytes);
// Every pixel the same bytes.
QImage Filled(QImage::Format format, int width, int height, std::initializer_list<uint8_t> pixel);
std::vector<uint8_t> Bytes(const QImage& picture);
std::vector<uint8_t> Pixel(const QImage& picture, int x, int y);
// The bytes of a picture of that many pixels, all equal to pixel.
std::vector<uint8_t> Repeat(std::initializer_list<uint8_t> pixel, int count);

} // namespace fixtures
