#include "engine/layers/PointF.h"

#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"

platform::ArchiveWriter& operator<<(platform::ArchiveWriter& archive, const PointF& point)
{
    archive.WriteFloat(point.x);
    archive.WriteFloat(point.y);
    return archive;
}

platform::ArchiveReader& operator>>(platform::ArchiveReader& archive, PointF& point)
{
    point.x = archive.ReadFloat();
    point.y = archive.ReadFloat();
    return archive;
}
