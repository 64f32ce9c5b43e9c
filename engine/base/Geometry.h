#pragma once

#include "platform/Rect.h"

#include <QString>
#include <cstddef>
#include <cstdint>

// Clamps each edge of rect into bounds (left and right into [bounds.left, bounds.right], top and
// bottom into [bounds.top, bounds.bottom]); with inverted bounds the upper bound wins. Returns rect.
Rect& ClampRect(Rect& rect, const Rect& bounds);

// Bytes of a zero-terminated UTF-16 string with its terminator; null counts as empty (2 bytes).
size_t WideStringBytes(const char16_t* text);
size_t WideStringBytes(const QString& text);
// Moves a byte cursor past the zero-terminated UTF-16LE string that starts there, never past end:
// without a terminator before end the cursor stops at end. Returns the characters before the terminator.
size_t SkipWideString(const uint8_t*& cursor, const uint8_t* end);
