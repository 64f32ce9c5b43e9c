#include "engine/base/Angle.h"

#include <array>
#include <bit>
#include <cmath>

namespace {

// One angle unit in radians as the table has always been built: the single-precision value
// 9.587379463482648e-05 (bits 0x38C90FDA, one unit in the last place below 2 pi / 65536), held as a double.
constexpr double SineTableStep = std::bit_cast<float>(0x38C90FDAu);

// Entry i is the double sine of i units taken to single precision, rounded back to single precision.
std::array<float, SineTableSize> MakeSineTable()
{
    std::array<float, SineTableSize> table{};
    for (int i = 0; i < SineTableSize; ++i) {
        const float radians = static_cast<float>(i * SineTableStep);
        table[static_cast<size_t>(i)] = static_cast<float>(std::sin(static_cast<double>(radians)));
    }
    return table;
}

} // namespace

// Made while the program loads, before main: the 16384 sine calls take about 0.15 ms there, against
// some 2 ms once the GUI has started (QGuiApplication's set-up leaves the vector registers' upper halves
// in use, which slows every SSE instruction of the sine until something clears them). Nothing reads the
// table before main.
const std::array<float, SineTableSize> SineTable = MakeSineTable();
float AngleUnitsPerDegree = 0.0f;
float AngleUnitsPerRadian = 0.0f;

void InitTrigTables()
{
    AngleUnitsPerDegree = std::bit_cast<float>(0x43360B61u);
    AngleUnitsPerRadian = std::bit_cast<float>(0x4622F984u);
}

// The mirrored index is 16383 - i, so a lookup never reads past the table's last entry; the mirrored
// entries therefore give the value one unit further on.
float AngleSine(Angle angle)
{
    const int quadrant = angle >> 14;
    const int i = angle & 0x3FFF;
    const int m = 16383 - i;
    switch (quadrant) {
    case 0: return SineTable[i];
    case 1: return SineTable[m];
    case 2: return -SineTable[i];
    default: return -SineTable[m];
    }
}

float AngleCosine(Angle angle)
{
    const int quadrant = angle >> 14;
    const int i = angle & 0x3FFF;
    const int m = 16383 - i;
    switch (quadrant) {
    case 0: return SineTable[m];
    case 1: return -SineTable[i];
    case 2: return -SineTable[m];
    default: return SineTable[i];
    }
}

void RotateVector(float vector[2], Angle angle)
{
    const float s = AngleSine(angle);
    const float c = AngleCosine(angle);
    const float x = vector[0];
    const float y = vector[1];
    vector[0] = x * c - y * s;
    vector[1] = x * s + y * c;
}

namespace {

// A value no 32-bit integer holds (not finite, or out of range) becomes 0x80000000, as the processor's
// truncating conversion gives it in the angles of project files written on Windows; its low 16 bits, the
// angle, are 0.
Angle TruncateToAngle(double units)
{
    if (!std::isfinite(units) || units >= 2147483648.0 || units <= -2147483649.0)
        return 0;
    return static_cast<Angle>(static_cast<uint32_t>(static_cast<int32_t>(units)));
}

} // namespace

Angle AngleFromDegrees(double degrees)
{
    return TruncateToAngle(degrees * static_cast<double>(AngleUnitsPerDegree));
}

Angle AngleFromRadians(double radians)
{
    return TruncateToAngle(radians * static_cast<double>(AngleUnitsPerRadian));
}
