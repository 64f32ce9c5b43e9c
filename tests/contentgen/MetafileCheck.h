#pragma once

#include <QByteArray>
#include <QRect>
#include <cstring>
#include <optional>
#include <vector>

// Walks an enhanced metafile record by record with libUEMF's safety check on each one.
struct MetafileCheck {
    QRect bounds;  // the header's bounds as written: left, top, right, bottom
    std::vector<uint32_t> types;
    std::vector<QByteArray> records;  // each record's bytes, in the same order
    uint32_t headerBytes = 0;
    uint32_t headerRecords = 0;
    uint16_t headerHandles = 0;

    // Nothing when a record is unsafe, the sizes do not add up or the file does not end with EOF.
    static std::optional<MetafileCheck> Read(const QByteArray& bytes);

    // Where the first record of a type is, or -1.
    int IndexOf(uint32_t type) const;
    // The first record of a type read as the libUEMF structure T (zeroes when there is none or it is
    // shorter than T), and its bytes.
    template <typename T>
    T First(uint32_t type, QByteArray* bytes = nullptr) const
    {
        T record{};
        const int index = IndexOf(type);
        if (index >= 0 && records[index].size() >= static_cast<qsizetype>(sizeof(T))) {
            std::memcpy(&record, records[index].constData(), sizeof(T));
            if (bytes)
                *bytes = records[index];
        }
        return record;
    }
};
