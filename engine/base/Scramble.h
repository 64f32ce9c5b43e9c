#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// The content library's index files and ".bki" pictures are stored scrambled: a fixed bit permutation
// on each whole 8-byte block, and a complement-and-swap of the nibbles of the last (length mod 8) bytes.
// Bit i of a stored block is bit (i * ScrambleStride mod 64) of the plain block.
inline constexpr int ScrambleStride = 23;  // odd, so the positions visit all 64 bits
static_assert(ScrambleStride % 2 == 1 && ScrambleStride > 0 && ScrambleStride < 64);

void UnscrambleBuffer(uint8_t* buffer, int64_t count);
// The inverse, used by the tools that prepare the content library.
void ScrambleBuffer(uint8_t* buffer, int64_t count);

// The whole file, unscrambled; the array's size is the file's length and a 0 byte follows it (so text
// can be read as a zero-terminated string). Nothing when the file cannot be opened or read, or when it
// is larger than the 32-bit length the format allows.
std::optional<QByteArray> ReadScrambledFile(const QString& path);
