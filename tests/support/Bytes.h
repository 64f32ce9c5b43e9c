#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <bit>
#include <cstdint>

// Builds expected archive bytes, little-endian, in the order of the calls.
class Bytes {
public:
    Bytes& U8(uint8_t v)
    {
        m_bytes.append(static_cast<char>(v));
        return *this;
    }
    Bytes& U16(uint16_t v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_bytes.append(b, 2);
        return *this;
    }
    Bytes& U32(uint32_t v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_bytes.append(b, 4);
        return *this;
    }
    Bytes& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    Bytes& F32(float v) { return U32(std::bit_cast<uint32_t>(v)); }
    Bytes& Point(float x, float y) { return F32(x).F32(y); }
    // The wide archive string with a one-byte length (up to 254 characters).
    Bytes& Str(const QString& text)
    {
        U8(0xFF).U16(0xFFFE).U8(static_cast<uint8_t>(text.size()));
        for (QChar c : text)
            U16(c.unicode());
        return *this;
    }
    Bytes& Append(const QByteArray& more)
    {
        m_bytes += more;
        return *this;
    }
    const QByteArray& Get() const { return m_bytes; }
    operator QByteArray() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
