#include "DibBuilder.h"

#include <cstdlib>
#include <cstring>

DibBuilder::DibBuilder(int width, int height, int bitCount, uint32_t compression, std::vector<uint32_t> extra)
{
    const U_BITMAPINFOHEADER header = bitmapinfoheader_set(width, height, 1, uint16_t(bitCount), compression, 0, 0, 0,
                                                           uint32_t(extra.size()), 0);
    info.resize(sizeof(header) / sizeof(uint32_t));
    std::memcpy(info.data(), &header, sizeof(header));
    info.insert(info.end(), extra.begin(), extra.end());
}

DibBuilder& DibBuilder::Pixels(const std::vector<std::vector<uint32_t>>& rows)
{
    const int bitCount = Header().biBitCount;
    const bool bottomUp = Header().biHeight > 0;
    const size_t width = rows.front().size();
    const size_t stride = (width * bitCount + 31) / 32 * 4;
    bits.assign(stride * rows.size(), 0);
    for (size_t r = 0; r < rows.size(); ++r) {
        auto* row = reinterpret_cast<uint8_t*>(bits.data()) + stride * (bottomUp ? rows.size() - 1 - r : r);
        for (size_t x = 0; x < width; ++x) {
            const uint32_t value = rows[r][x];
            if (bitCount < 8) {
                const size_t perByte = 8 / bitCount;
                row[x / perByte] |= uint8_t(value << ((perByte - 1 - x % perByte) * bitCount));
            } else {
                std::memcpy(row + x * (bitCount / 8), &value, size_t(bitCount / 8));
            }
        }
    }
    return *this;
}

DibBuilder DibBuilder::Solid(int width, int height, uint32_t bgr)
{
    DibBuilder dib(width, height, 24, U_BI_RGB);
    dib.Pixels(std::vector<std::vector<uint32_t>>(size_t(height), std::vector<uint32_t>(size_t(width), bgr)));
    return dib;
}

char* StretchDibits(DibBuilder& dib, int x, int y, int width, int height, uint32_t rop, uint32_t usage)
{
    const U_BITMAPINFOHEADER& header = dib.Header();
    const int rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    return U_EMRSTRETCHDIBITS_set(U_RECTL{0, 0, 0, 0}, U_POINTL{x, y}, U_POINTL{width, height}, U_POINTL{0, 0},
                                  U_POINTL{header.biWidth, rows}, usage, rop, dib.Info(), dib.BitsSize(),
                                  dib.Bits());
}
