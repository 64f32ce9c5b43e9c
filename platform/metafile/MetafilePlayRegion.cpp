#include "platform/metafile/MetafilePlayer.h"

namespace platform {

void MetafilePlayer::RunRegion(const MetafileRecord& record)
{
    (void)record;
}

} // namespace platform
