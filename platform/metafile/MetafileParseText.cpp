#include "platform/metafile/MetafileParser.h"

#include "platform/metafile/MetafileParseHelpers.h"
#include "platform/metafile/MetafileText.h"

namespace platform {

bool MetafileParser::DecodeText(uint32_t type, const char* record, uint32_t size)
{
    (void)type, (void)record, (void)size;
    return true;
}

void MetafileParser::DecodeFont(const char* record, uint32_t size, MetafileRecord& out)
{
    (void)record, (void)size, (void)out;
}

} // namespace platform
