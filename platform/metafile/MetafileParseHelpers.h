#pragma once

#include "platform/Rect.h"

#include <uemf.h>

#include <QColor>
#include <QPoint>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Small readers the record decoders share. Every record has passed the frame checks (inside the file,
// 4-byte aligned) and lies in zero-padded memory, so a fixed part read from a short record comes back
// with its missing fields zero.
namespace platform::metafile_parse {

// A record's fixed part; the record is at least as long as the part libUEMF's check requires, and
// a shorter copy leaves the rest zero.
template <class T>
T Fixed(const char* record, uint32_t size)
{
    static_assert(std::is_trivially_copyable_v<T>);
    T value{};
    std::memcpy(&value, record, std::min<size_t>(sizeof(T), size));
    return value;
}

inline uint32_t Word(const char* record, size_t offset)
{
    uint32_t value = 0;
    std::memcpy(&value, record + offset, sizeof(value));
    return value;
}

inline QPoint ToPoint(const U_POINTL& point) { return QPoint(point.x, point.y); }
inline QPoint ToPoint(const U_POINT16& point) { return QPoint(point.x, point.y); }
inline Rect ToRect(const U_RECTL& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

inline bool ExtentsFit(const U_RECTL& rect)
{
    const int64_t width = int64_t(rect.right) - rect.left;
    const int64_t height = int64_t(rect.bottom) - rect.top;
    return width > INT32_MIN && width < INT32_MAX && height > INT32_MIN && height < INT32_MAX;
}

inline uint32_t ToColourRef(const U_COLORREF& colour)
{
    return uint32_t(colour.Red) | uint32_t(colour.Green) << 8 | uint32_t(colour.Blue) << 16;
}

inline QRgb ToRgb(const U_COLORREF& colour) { return qRgb(colour.Red, colour.Green, colour.Blue); }

} // namespace platform::metafile_parse
