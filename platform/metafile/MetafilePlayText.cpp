#include "platform/metafile/MetafilePlayer.h"

namespace platform {

void MetafilePlayer::RunText(const MetafileRecord& record)
{
    (void)record;
}

} // namespace platform
