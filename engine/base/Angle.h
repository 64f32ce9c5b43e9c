#pragma once

#include <array>
#include <cstdint>

// Rotation is measured in unsigned 16-bit units, 65536 to a full turn; a positive angle turns +x
// towards +y. Sine and cosine are looked up in a quarter-turn table, never computed after start-up.
using Angle = uint16_t;

inline constexpr uint32_t AngleUnitsPerTurn = 65536;
inline constexpr int SineTableSize = 16384;

// The quarter-turn sine table, made while the program loads.
extern const std::array<float, SineTableSize> SineTable;
extern float AngleUnitsPerDegree;  // 182.04445f, bits 0x43360B61
extern float AngleUnitsPerRadian;  // 10430.379f, bits 0x4622F984

// Sets the two constants; the first step of start-up.
void InitTrigTables();

float AngleSine(Angle angle);
float AngleCosine(Angle angle);

// Rotates (x, y) in place: x' = x c - y s, y' = x s + y c.
void RotateVector(float vector[2], Angle angle);

// Degrees (or radians) times the units per degree (radian) in double precision, truncated towards
// zero to 32 bits, low 16 bits kept. A product that is NaN or outside the 32-bit range gives 0.
Angle AngleFromDegrees(double degrees);
Angle AngleFromRadians(double radians);
