#pragma once

#include "engine/base/Geometry.h"
#include "engine/document/JournalKind.h"

#include <QString>
#include <QtEndian>
#include <bit>
#include <cstdint>
#include <cstring>

// Little-endian fields of a journal record. The writer and the reader work on a record that the
// journal has already bounded; the reader never reads past the end it is given.
namespace journal_bytes {

inline void PutU8(uint8_t* p, uint8_t v) { *p = v; }
inline void PutU16(uint8_t* p, uint16_t v) { qToLittleEndian(v, p); }
inline void PutI16(uint8_t* p, int16_t v) { qToLittleEndian(v, p); }
inline void PutI32(uint8_t* p, int32_t v) { qToLittleEndian(v, p); }
inline void PutF32(uint8_t* p, float v) { qToLittleEndian(std::bit_cast<uint32_t>(v), p); }

inline uint16_t GetU16(const uint8_t* p) { return qFromLittleEndian<uint16_t>(p); }
inline int16_t GetI16(const uint8_t* p) { return qFromLittleEndian<int16_t>(p); }
inline int32_t GetI32(const uint8_t* p) { return qFromLittleEndian<int32_t>(p); }
inline float GetF32(const uint8_t* p) { return std::bit_cast<float>(qFromLittleEndian<uint32_t>(p)); }

// Writes text and its terminator at p; returns the bytes written.
inline int32_t PutString(uint8_t* p, const QString& text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i)
        PutU16(p + 2 * i, text[i].unicode());
    PutU16(p + 2 * n, 0);
    return static_cast<int32_t>(2 * (n + 1));
}

// Reads a terminated string starting at p, not past end; sets p just past its terminator (or to end
// when the terminator is missing).
inline QString GetString(const uint8_t*& p, const uint8_t* end)
{
    const uint8_t* start = p;
    QString text(static_cast<qsizetype>(SkipWideString(p, end)), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(GetU16(start + 2 * i));
    return text;
}

// n rounded up to the record alignment.
inline int64_t Aligned(int64_t n)
{
    return (n + JournalAlignment - 1) / JournalAlignment * JournalAlignment;
}

} // namespace journal_bytes
