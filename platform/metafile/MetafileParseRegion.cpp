#include "platform/metafile/MetafileParser.h"

#include "platform/metafile/MetafileParseHelpers.h"
#include "platform/metafile/MetafileRegion.h"

namespace platform {

bool MetafileParser::DecodeRegion(uint32_t type, const char* record, uint32_t size)
{
    (void)type, (void)record, (void)size;
    return true;
}

} // namespace platform
