#pragma once

#include <QByteArray>
#include <QRect>
#include <optional>
#include <vector>

// Walks an enhanced metafile record by record with libUEMF's safety check on each one.
struct MetafileCheck {
    QRect bounds;  // the header's bounds as written: left, top, right, bottom
    std::vector<uint32_t> types;
    uint32_t headerBytes = 0;
    uint32_t headerRecords = 0;
    uint16_t headerHandles = 0;

    // Nothing when a record is unsafe, the sizes do not add up or the file does not end with EOF.
    static std::optional<MetafileCheck> Read(const QByteArray& bytes);
};
