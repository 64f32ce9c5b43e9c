#pragma once

#include <cstdint>

// Which part of the frame a drag holds (Tracker::tracking of the frame tracker).
enum HandleCode : int32_t {
    HandleNone = 0,
    HandleTopRight = 1,
    HandleBottomRight = 2,
    HandleBottomLeft = 3,
    HandleTopLeft = 4,
    HandleTop = 5,     // edge topLeft - topRight
    HandleRight = 6,   // edge topRight - bottomRight
    HandleBottom = 7,  // edge bottomRight - bottomLeft
    HandleLeft = 8,    // edge bottomLeft - topLeft
    HandleMove = 9,    // inside the crop rectangle; anywhere while the position is forced
    HandleRotate = 10, // inside with the Rotate tool; anywhere while the rotation is forced
    HandleScale = 11,  // anywhere while the size is forced
};

inline constexpr bool IsCornerHandle(int32_t h)
{
    return h >= HandleTopRight && h <= HandleTopLeft;
}

inline constexpr bool IsEdgeHandle(int32_t h)
{
    return h >= HandleTop && h <= HandleLeft;
}
