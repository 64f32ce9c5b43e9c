#pragma once

#include "platform/metafile/MetafileHeader.h"
#include "platform/metafile/MetafileRecord.h"

#include <vector>

namespace platform {

// A loaded metafile: its header and the decoded records, in file order.
struct MetafileContent {
    MetafileHeader header;
    std::vector<MetafileRecord> records;
};

} // namespace platform
