#include "engine/base/Scramble.h"

#include <QFile>
#include <QtEndian>

namespace {

uint8_t SwapTail(uint8_t b)
{
    const uint8_t complement = static_cast<uint8_t>(~b);
    return static_cast<uint8_t>((complement >> 4) | (complement << 4));
}

// Bit i of a block goes to bit (i * stride mod 64) (forward) or comes back from there (inverse).
template <bool Forward>
uint64_t PermuteBits(uint64_t in)
{
    uint64_t out = 0;
    unsigned position = 0;
    for (unsigned i = 0; i < 64; ++i) {
        if constexpr (Forward) {
            if (in >> i & 1u)
                out |= uint64_t{1} << position;
        } else {
            if (in >> position & 1u)
                out |= uint64_t{1} << i;
        }
        position = (position + ScrambleStride) & 63u;
    }
    return out;
}

// The permutation moves single bits, so a block's result is the union of what each of its 8 bytes
// gives on its own: one table look-up a byte instead of 64 bit tests a block.
struct ByteTables {
    uint64_t bits[8][256];
};

template <bool Forward>
const ByteTables& Tables()
{
    static const ByteTables tables = [] {
        ByteTables made{};
        for (unsigned byte = 0; byte < 8; ++byte) {
            for (unsigned value = 0; value < 256; ++value)
                made.bits[byte][value] = PermuteBits<Forward>(uint64_t{value} << (8 * byte));
        }
        return made;
    }();
    return tables;
}

template <bool Forward>
void PermuteBlocks(uint8_t* buffer, int64_t count)
{
    const ByteTables& tables = Tables<Forward>();
    for (int64_t offset = 0; offset + 8 <= count; offset += 8) {
        const uint8_t* block = buffer + offset;  // little-endian: byte k holds bits 8k to 8k + 7
        uint64_t out = 0;
        for (unsigned byte = 0; byte < 8; ++byte)
            out |= tables.bits[byte][block[byte]];
        qToLittleEndian(out, buffer + offset);
    }
    for (int64_t i = count - count % 8; i < count; ++i)
        buffer[i] = SwapTail(buffer[i]);
}

} // namespace

void UnscrambleBuffer(uint8_t* buffer, int64_t count)
{
    if (count > 0)
        PermuteBlocks<true>(buffer, count);
}

void ScrambleBuffer(uint8_t* buffer, int64_t count)
{
    if (count > 0)
        PermuteBlocks<false>(buffer, count);
}

std::optional<QByteArray> ReadScrambledFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (file.size() > INT32_MAX - 1)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        return std::nullopt;
    UnscrambleBuffer(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
    return bytes;  // QByteArray keeps a 0 byte after its data
}
