#pragma once

#include "platform/metafile/MetafileHeader.h"
#include "platform/metafile/MetafileRecord.h"

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <vector>

namespace platform {

struct MetafileDibSpan;

// Checks the bytes of an enhanced metafile and decodes the records the player draws. Every record
// passes our own frame checks (size, alignment, inside the file) and libUEMF's U_emf_record_safe
// before any of its fields is read; counts, offsets and object indices are checked again here in
// 64-bit arithmetic, because the library's own checks multiply counts in int and can wrap.
class MetafileParser {
public:
    // False for a malformed or truncated file: no header, a bad signature or reference device, a
    // record that leaves the file or fails a check, no end-of-file record.
    bool Parse(const QByteArray& bytes);

    const MetafileHeader& Header() const { return m_header; }
    std::vector<MetafileRecord> TakeRecords() { return std::move(m_records); }

private:
    bool ParseHeader(const char* record, uint32_t size, uint32_t fileSize);
    // Reads the variable part of a record into out; false when it does not fit the record.
    using Decoder = bool (*)(const char* record, uint32_t size, MetafileRecord& out);

    bool Decode(uint32_t type, const char* record, uint32_t size);
    bool AddDecoded(MetafileRecordKind kind, Decoder decode, const char* record, uint32_t size);
    bool DecodeCreate(uint32_t type, const char* record, uint32_t size);
    // The families decoded in files of their own. Each adds its records and returns true; a record of
    // theirs that cannot be drawn is left out and the file still loads.
    bool DecodeText(uint32_t type, const char* record, uint32_t size);   // MetafileParseText.cpp
    bool DecodeBitmap(uint32_t type, const char* record, uint32_t size); // MetafileParseBitmap.cpp
    bool DecodeRegion(uint32_t type, const char* record, uint32_t size); // MetafileParseRegion.cpp
    // Fill in a created font or pattern brush; one that cannot be read still takes its slot, as an
    // object that draws nothing.
    static void DecodeFont(const char* record, uint32_t size, MetafileRecord& out);                 // MetafileParseText.cpp
    void DecodePatternBrush(uint32_t type, const char* record, uint32_t size, MetafileRecord& out); // MetafileParseBitmap.cpp
    bool IsCreatableIndex(uint32_t index) const;
    bool IsSelectableIndex(uint32_t index) const;
    void Add(MetafileRecord record) { m_records.push_back(std::move(record)); }

    MetafileHeader m_header;
    std::vector<MetafileRecord> m_records;

    // Pictures (MetafileParseBitmap.cpp): every bitmap is decoded once, when the file loads, and one
    // file's bitmaps together decode to at most kMaxDecodedPixels (a few kilobytes of run-length or
    // JPEG bits can claim a 64-megapixel picture); later ones are left out.
    enum class DibDecoding { Opaque, Premultiplied, Bits };
    static constexpr uint64_t kMaxDecodedPixels = uint64_t(64) << 20;
    QImage DecodeDib(const MetafileDibSpan& span, DibDecoding decoding, int rows = -1);
    uint64_t m_decodedPixels = 0;
};

} // namespace platform
