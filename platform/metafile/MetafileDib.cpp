#include "platform/metafile/MetafileDib.h"

#include <uemf.h>

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <bit>
#include <cstring>

namespace platform {
namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kMasksSize = 3 * sizeof(uint32_t); // red, green, blue after a 40-byte header
constexpr uint32_t kAlphaMaskEnd = kInfoHeaderSize + 4 * sizeof(uint32_t); // V4 and V5 hold an alpha mask
constexpr uint32_t kBytesPerArgb = 4;

// Run-length escapes: a zero count followed by one of these.
constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfBitmap = 1;
constexpr uint8_t kDelta = 2;

uint16_t Read16(const char* at)
{
    uint16_t value = 0;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

uint32_t Read32(const char* at)
{
    uint32_t value = 0;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

// True when size bytes at offset lie inside a record of recordSize bytes.
bool Inside(uint64_t offset, uint64_t size, uint64_t recordSize)
{
    return offset <= recordSize && size <= recordSize - offset;
}

// One channel of a bit-field pixel, scaled to 0..255.
uint32_t Channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const uint64_t top = mask >> shift;
    return uint32_t(uint64_t((pixel & mask) >> shift) * 255 / top);
}

// A premultiplied pixel whose colour channels do not exceed its alpha, as Qt requires.
QRgb Premultiplied(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha)
{
    return qRgba(int(std::min(red, alpha)), int(std::min(green, alpha)), int(std::min(blue, alpha)), int(alpha));
}

} // namespace

MetafileDib::MetafileDib(const MetafileDibSpan& span)
    : m_span(span)
{
    m_valid = span.record && Inside(span.infoOffset, span.infoSize, span.recordSize)
        && Inside(span.bitsOffset, span.bitsSize, span.recordSize) && ReadHeader();
}

bool MetafileDib::ReadHeader()
{
    if (m_span.infoSize < sizeof(uint32_t))
        return false;
    const char* info = m_span.record + m_span.infoOffset;
    const uint32_t headerSize = Read32(info);
    if (headerSize > m_span.infoSize)
        return false;
    int64_t width = 0;
    int64_t height = 0;
    uint64_t tableOffset = m_span.infoOffset + headerSize;
    if (headerSize == kCoreHeaderSize) {
        width = Read16(info + 4);
        height = Read16(info + 6);
        m_bitCount = Read16(info + 10);
        m_compression = U_BI_RGB;
    } else if (headerSize >= kInfoHeaderSize) {
        U_BITMAPINFOHEADER header;
        std::memcpy(&header, info, sizeof(header));
        width = header.biWidth;
        height = header.biHeight;
        m_bitCount = header.biBitCount;
        m_compression = header.biCompression;
        if (m_compression == U_BI_BITFIELDS) {
            if (m_span.infoSize < kInfoHeaderSize + kMasksSize)
                return false;
            for (int i = 0; i < 3; ++i)
                m_masks[i] = Read32(info + kInfoHeaderSize + i * sizeof(uint32_t));
            if (headerSize >= kAlphaMaskEnd)
                m_masks[3] = Read32(info + kInfoHeaderSize + kMasksSize);
            if (headerSize == kInfoHeaderSize)
                tableOffset += kMasksSize;
        }
    } else {
        return false;
    }
    m_bottomUp = height > 0;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0 || uint64_t(width) * uint64_t(height) > kMaxPixels || width > INT32_MAX / 4)
        return false;
    m_width = int(width);
    m_height = int(height);

    switch (m_compression) {
    case U_BI_RGB:
        if (m_bitCount == 16) {
            m_masks[0] = 0x7C00, m_masks[1] = 0x03E0, m_masks[2] = 0x001F;
        } else if (m_bitCount == 32) {
            m_masks[0] = 0xFF0000, m_masks[1] = 0xFF00, m_masks[2] = 0xFF, m_masks[3] = 0xFF000000;
        }
        break;
    case U_BI_BITFIELDS:
        if (m_bitCount != 16 && m_bitCount != 32)
            return false;
        break;
    // Run-length bitmaps are always bottom-up.
    case U_BI_RLE8: if (m_bitCount != 8 || !m_bottomUp) return false; break;
    case U_BI_RLE4: if (m_bitCount != 4 || !m_bottomUp) return false; break;
    case U_BI_JPEG: case U_BI_PNG: return true;
    default: return false;
    }
    if (m_bitCount != 1 && m_bitCount != 4 && m_bitCount != 8 && m_bitCount != 16 && m_bitCount != 24
        && m_bitCount != 32)
        return false;
    m_hasColourTable = m_bitCount <= 8 && ReadColourTable(tableOffset);
    return true;
}

// Entries: the header's count, or 2^bits when it gives none; entries past 2^bits are never used.
bool MetafileDib::ReadColourTable(uint64_t tableOffset)
{
    if (m_span.usage != U_DIB_RGB_COLORS)
        return false; // indices into a logical palette the player does not keep
    const bool core = Read32(m_span.record + m_span.infoOffset) == kCoreHeaderSize;
    const uint64_t entrySize = core ? 3 : 4;
    uint64_t count = uint64_t(1) << m_bitCount;
    if (!core) {
        const uint32_t used = Read32(m_span.record + m_span.infoOffset + offsetof(U_BITMAPINFOHEADER, biClrUsed));
        if (used != 0)
            count = std::min<uint64_t>(used, count);
    }
    if (!Inside(tableOffset, count * entrySize, m_span.recordSize))
        return false;
    const auto* table = reinterpret_cast<const uint8_t*>(m_span.record + tableOffset);
    m_palette.resize(qsizetype(count));
    for (uint64_t i = 0; i < count; ++i) {
        const uint8_t* entry = table + i * entrySize; // blue, green, red
        m_palette[qsizetype(i)] = qRgb(entry[2], entry[1], entry[0]);
    }
    return true;
}

QRgb MetafileDib::Colour(uint32_t index) const
{
    return index < uint32_t(m_palette.size()) ? m_palette[qsizetype(index)] : qRgb(0, 0, 0);
}

QRgb MetafileDib::FromMasks(uint32_t pixel, Alpha alpha) const
{
    const uint32_t a = alpha == Alpha::Premultiplied && m_masks[3] != 0 ? Channel(pixel, m_masks[3]) : 255;
    return Premultiplied(Channel(pixel, m_masks[0]), Channel(pixel, m_masks[1]), Channel(pixel, m_masks[2]), a);
}

QImage MetafileDib::Decode(Alpha alpha, int rows) const
{
    if (!m_valid || (m_bitCount <= 8 && m_compression != U_BI_JPEG && m_compression != U_BI_PNG && !m_hasColourTable))
        return QImage();
    switch (m_compression) {
    case U_BI_RLE8: case U_BI_RLE4: return DecodeRunLength(m_height);
    case U_BI_JPEG: case U_BI_PNG: return DecodeEmbedded();
    default: return DecodeUncompressed(alpha, rows < 0 ? m_height : std::min(rows, m_height));
    }
}

QImage MetafileDib::DecodeUncompressed(Alpha alpha, int rows) const
{
    const uint64_t stride = (uint64_t(m_width) * m_bitCount + 31) / 32 * 4;
    if (rows <= 0 || stride * uint64_t(rows) > m_span.bitsSize)
        return QImage();
    QImage image(m_width, rows, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    const auto* bits = reinterpret_cast<const uint8_t*>(m_span.record + m_span.bitsOffset);
    for (int y = 0; y < rows; ++y) {
        const uint8_t* row = bits + stride * uint64_t(m_bottomUp ? rows - 1 - y : y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        switch (m_bitCount) {
        case 1: case 4: case 8: {
            const uint32_t perByte = 8 / m_bitCount;
            const uint32_t mask = (1u << m_bitCount) - 1;
            for (int x = 0; x < m_width; ++x) {
                const uint32_t shift = (perByte - 1 - uint32_t(x) % perByte) * m_bitCount;
                out[x] = Colour((row[uint32_t(x) / perByte] >> shift) & mask);
            }
            break;
        }
        case 16:
            for (int x = 0; x < m_width; ++x)
                out[x] = FromMasks(Read16(reinterpret_cast<const char*>(row) + 2 * x), alpha);
            break;
        case 24:
            for (int x = 0; x < m_width; ++x)
                out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
            break;
        default: // 32
            if (m_compression == U_BI_RGB && alpha == Alpha::Opaque) {
                for (int x = 0; x < m_width; ++x)
                    out[x] = Read32(reinterpret_cast<const char*>(row) + 4 * x) | 0xFF000000;
            } else if (m_compression == U_BI_RGB) {
                for (int x = 0; x < m_width; ++x) {
                    const uint32_t p = Read32(reinterpret_cast<const char*>(row) + 4 * x);
                    out[x] = Premultiplied(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF, p >> 24);
                }
            } else {
                for (int x = 0; x < m_width; ++x)
                    out[x] = FromMasks(Read32(reinterpret_cast<const char*>(row) + 4 * x), alpha);
            }
            break;
        }
    }
    return image;
}

// Runs and absolute stretches are cut at the bitmap's right edge; the bitmap ends at its top row,
// at an end-of-bitmap escape or where the bits run out.
QImage MetafileDib::DecodeRunLength(int rows) const
{
    QImage image(m_width, rows, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    const bool eight = m_compression == U_BI_RLE8;
    const auto* in = reinterpret_cast<const uint8_t*>(m_span.record + m_span.bitsOffset);
    const uint8_t* end = in + m_span.bitsSize;
    int64_t x = 0;
    int64_t y = 0; // from the bottom
    auto* first = reinterpret_cast<QRgb*>(image.bits());
    const int64_t pixelsPerLine = image.bytesPerLine() / int64_t(sizeof(QRgb));
    auto put = [&](uint32_t index) { first[(rows - 1 - y) * pixelsPerLine + x++] = Colour(index); };
    while (end - in >= 2 && y < rows) {
        const uint8_t count = in[0];
        const uint8_t value = in[1];
        in += 2;
        if (count > 0) {
            for (uint32_t i = 0; i < count && x < m_width; ++i)
                put(eight ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F));
        } else if (value == kEndOfLine) {
            x = 0;
            ++y;
        } else if (value == kEndOfBitmap) {
            break;
        } else if (value == kDelta) {
            if (end - in < 2)
                break;
            x += in[0];
            y += in[1];
            in += 2;
        } else {
            const int64_t bytes = eight ? value : (value + 1) / 2;
            if (end - in < bytes)
                break;
            for (uint32_t i = 0; i < value && x < m_width; ++i)
                put(eight ? in[i] : (i % 2 == 0 ? in[i / 2] >> 4 : in[i / 2] & 0x0F));
            in += std::min<int64_t>(bytes + bytes % 2, end - in); // absolute runs end on a word
        }
    }
    return image;
}

// The embedded file must decode to the header's size.
QImage MetafileDib::DecodeEmbedded() const
{
    QByteArray bytes = QByteArray::fromRawData(m_span.record + m_span.bitsOffset, qsizetype(m_span.bitsSize));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, m_compression == U_BI_JPEG ? "jpeg" : "png");
    reader.setAllocationLimit(int(kMaxPixels * kBytesPerArgb / (1024 * 1024)) + 1);
    if (reader.size() != QSize(m_width, m_height))
        return QImage();
    QImage image = reader.read();
    if (image.size() != QSize(m_width, m_height))
        return QImage();
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage MetafileDib::DecodeBits() const
{
    const uint64_t stride = (uint64_t(m_width) + 31) / 32 * 4;
    if (!m_valid || m_bitCount != 1 || m_compression != U_BI_RGB || stride * uint64_t(m_height) > m_span.bitsSize)
        return QImage();
    QImage image(m_width, m_height, QImage::Format_Mono);
    if (image.isNull())
        return image;
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const char* bits = m_span.record + m_span.bitsOffset;
    const auto rowBytes = size_t((m_width + 7) / 8);
    for (int y = 0; y < m_height; ++y)
        std::memcpy(image.scanLine(y), bits + stride * uint64_t(m_bottomUp ? m_height - 1 - y : y), rowBytes);
    return image;
}

} // namespace platform
