#pragma once

#include <QImage>
#include <QList>
#include <cstdint>

namespace platform {

// Where a device-independent bitmap lies in a record: its BITMAPINFO (header, masks, colour table)
// and its bits, as byte offsets and sizes from the record's start. Nothing is trusted: every part
// is checked against the record before it is read.
struct MetafileDibSpan {
    const char* record = nullptr;
    uint32_t recordSize = 0;
    uint64_t infoOffset = 0;
    uint64_t infoSize = 0;
    uint64_t bitsOffset = 0;
    uint64_t bitsSize = 0;
    uint32_t usage = 0; // DIB_RGB_COLORS or DIB_PAL_COLORS
};

// Decodes the device-independent bitmaps of picture records and pattern brushes: headers of 12
// (core), 40, 108 (V4) and 124 (V5) bytes; 1, 4, 8, 16, 24 and 32 bits a pixel; uncompressed, bit
// fields, run-length (RLE4, RLE8) and embedded JPEG and PNG; bottom-up and top-down. A colour table
// of logical-palette indices (DIB_PAL_COLORS) is not drawn: the player keeps no palettes.
class MetafileDib {
public:
    // The largest bitmap decoded: a larger claim is skipped.
    static constexpr uint64_t kMaxPixels = uint64_t(64) << 20;

    // How the fourth byte of 32-bit pixels is read. Windows ignores it for most transfers (Opaque);
    // ALPHABLEND with a per-pixel alpha reads it as premultiplied alpha.
    enum class Alpha { Opaque, Premultiplied };

    // Reads the header; Valid() is false when it does not fit or claims what cannot be decoded (a
    // colour table that does not fit only makes Decode fail: DecodeBits does not need it).
    explicit MetafileDib(const MetafileDibSpan& span);

    bool Valid() const { return m_valid; }
    int Width() const { return m_width; }
    int Height() const { return m_height; } // rows, always positive
    bool BottomUp() const { return m_bottomUp; }
    uint64_t Pixels() const { return uint64_t(m_width) * uint64_t(m_height); }

    // The picture, top row first, in ARGB32 premultiplied; pixels a run-length bitmap skips are
    // transparent. rows, when smaller than Height(), decodes only that many scan lines (the band
    // SETDIBITSTODEVICE carries). A null image when the bits are short or do not decode.
    QImage Decode(Alpha alpha, int rows = -1) const;
    // A one-bit bitmap as Format_Mono, its colour table index 0 and 1 (for monochrome brushes that
    // take their colours from the device context when they fill). Null unless 1 bit a pixel.
    QImage DecodeBits() const;

private:
    bool ReadHeader();
    bool ReadColourTable(uint64_t tableOffset);
    QImage DecodeUncompressed(Alpha alpha, int rows) const;
    QImage DecodeRunLength(int rows) const;
    QImage DecodeEmbedded() const;
    QRgb Colour(uint32_t index) const;
    QRgb FromMasks(uint32_t pixel, Alpha alpha) const;

    MetafileDibSpan m_span;
    bool m_valid = false;
    int m_width = 0;
    int m_height = 0;
    bool m_bottomUp = true;
    uint32_t m_bitCount = 0;
    uint32_t m_compression = 0;
    uint32_t m_masks[4] = {}; // red, green, blue, alpha
    bool m_hasColourTable = false; // read only for 1, 4 and 8 bits
    QList<QRgb> m_palette;
};

} // namespace platform
