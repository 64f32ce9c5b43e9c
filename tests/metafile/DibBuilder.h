#pragma once

#include <QColor>
#include <cstdint>
#include <uemf.h>
#include <vector>

// A device-independent bitmap for libUEMF's record writers: its BITMAPINFO (the header followed by
// the colour table or the bit-field masks) and its bits.
struct DibBuilder {
    std::vector<uint32_t> info; // 4-byte words: header, then table entries or masks
    std::vector<char> bits;

    // A header of 40 bytes; extra are the words after it (colour table entries 0x00RRGGBB or masks),
    // counted in biClrUsed so that the writers copy them.
    DibBuilder(int width, int height, int bitCount, uint32_t compression, std::vector<uint32_t> extra = {});

    PU_BITMAPINFO Info() { return reinterpret_cast<PU_BITMAPINFO>(info.data()); }
    uint32_t BitsSize() const { return uint32_t(bits.size()); }
    char* Bits() { return bits.data(); }
    U_BITMAPINFOHEADER& Header() { return *reinterpret_cast<U_BITMAPINFOHEADER*>(info.data()); }

    // Rows of pixel values, top row first, packed at bitCount bits each in 4-byte-aligned rows in the
    // header's row order.
    DibBuilder& Pixels(const std::vector<std::vector<uint32_t>>& rows);

    // A 24-bit bitmap of width x height pixels, every one 0x00RRGGBB bgr.
    static DibBuilder Solid(int width, int height, uint32_t bgr);
};

// A stretch of the whole bitmap onto width x height at (x, y), with raster operation rop.
char* StretchDibits(DibBuilder& dib, int x, int y, int width, int height, uint32_t rop = U_SRCCOPY,
                    uint32_t usage = U_DIB_RGB_COLORS);
