#include "platform/metafile/MetafileParser.h"

#include "platform/metafile/MetafileBlit.h"
#include "platform/metafile/MetafileParseHelpers.h"

namespace platform {

bool MetafileParser::DecodeBitmap(uint32_t type, const char* record, uint32_t size)
{
    (void)type, (void)record, (void)size;
    return true;
}

// Selecting a pattern brush replaces the current brush, even one that cannot be drawn.
void MetafileParser::DecodePatternBrush(uint32_t type, const char* record, uint32_t size, MetafileRecord& out)
{
    (void)record, (void)size;
    out.kind = MetafileRecordKind::CreateBrush;
    out.object.kind = MetafileObject::Kind::Brush;
    out.object.style = type == U_EMR_CREATEMONOBRUSH ? U_BS_PATTERN : U_BS_DIBPATTERNPT;
}

} // namespace platform
