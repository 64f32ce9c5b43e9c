#include "platform/metafile/MetafilePlayer.h"

namespace platform {

void MetafilePlayer::RunBitmap(const MetafileRecord& record)
{
    (void)record;
}

} // namespace platform
