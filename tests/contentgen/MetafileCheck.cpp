#include "MetafileCheck.h"

#include <uemf.h>
#include <uemf_safe.h>

#include <cstring>

std::optional<MetafileCheck> MetafileCheck::Read(const QByteArray& bytes)
{
    if (bytes.size() < static_cast<qsizetype>(sizeof(U_EMRHEADER)))
        return std::nullopt;
    U_EMRHEADER header;
    std::memcpy(&header, bytes.constData(), sizeof header);
    if (header.emr.iType != U_EMR_HEADER || header.dSignature != U_ENHMETA_SIGNATURE
        || header.nBytes != static_cast<uint32_t>(bytes.size()))
        return std::nullopt;
    MetafileCheck check;
    check.bounds = QRect(QPoint(header.rclBounds.left, header.rclBounds.top),
                         QPoint(header.rclBounds.right, header.rclBounds.bottom));
    check.headerBytes = header.nBytes;
    check.headerRecords = header.nRecords;
    check.headerHandles = header.nHandles;
    // libUEMF's check reads a record in place and trusts its size field only after checking it, so
    // each record is copied into an aligned buffer of its own length first.
    qsizetype offset = 0;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < static_cast<qsizetype>(sizeof(U_EMR)))
            return std::nullopt;
        U_EMR emr;
        std::memcpy(&emr, bytes.constData() + offset, sizeof emr);
        if (emr.nSize < sizeof(U_EMR) || emr.nSize % 4 != 0 || emr.nSize > bytes.size() - offset)
            return std::nullopt;
        std::vector<uint32_t> record(emr.nSize / 4);
        std::memcpy(record.data(), bytes.constData() + offset, emr.nSize);
        if (!U_emf_record_safe(reinterpret_cast<const char*>(record.data())))
            return std::nullopt;
        check.types.push_back(emr.iType);
        check.records.push_back(bytes.mid(offset, emr.nSize));
        offset += emr.nSize;
    }
    if (check.types.empty() || check.types.back() != U_EMR_EOF || check.types.size() != header.nRecords)
        return std::nullopt;
    return check;
}

int MetafileCheck::IndexOf(uint32_t type) const
{
    for (size_t i = 0; i < types.size(); ++i) {
        if (types[i] == type)
            return static_cast<int>(i);
    }
    return -1;
}
