#include "engine/layers/LayerInfo.h"

#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"

#include <algorithm>
#include <cmath>

namespace {

// A crop edge pair within 0..1 with low < high; a pair that cannot be made so becomes the full range.
void ClampCropAxis(float& low, float& high)
{
    auto clampUnit = [](float v, float fallback) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : fallback; };
    low = clampUnit(low, 0.0f);
    high = clampUnit(high, 1.0f);
    if (!(low < high)) {
        low = 0.0f;
        high = 1.0f;
    }
}

} // namespace

void LayerInfo::Store(platform::ArchiveWriter& archive) const
{
    archive.WriteI32(number);
    archive.WriteI32(kind);
    archive.WriteString(path);
    archive.WriteString(name);
    archive << position << scale << size << centre;
    archive.WriteU16(angle);
    archive << cropTopLeft << cropBottomRight;
    archive.WriteI32(redGamma);
    archive.WriteI32(greenGamma);
    archive.WriteI32(blueGamma);
    archive.WriteI32(brightness);  // brightness before contrast, unlike the fields
    archive.WriteI32(contrast);
}

void LayerInfo::Load(platform::ArchiveReader& archive)
{
    number = archive.ReadI32();
    kind = archive.ReadI32();
    path = archive.ReadString();
    name = archive.ReadString();
    archive >> position >> scale >> size >> centre;
    angle = archive.ReadU16();
    archive >> cropTopLeft >> cropBottomRight;
    redGamma = archive.ReadI32();
    greenGamma = archive.ReadI32();
    blueGamma = archive.ReadI32();
    brightness = archive.ReadI32();
    contrast = archive.ReadI32();
    ClampToValidRanges();
}

void LayerInfo::ClampToValidRanges()
{
    ClampCropAxis(cropTopLeft.x, cropBottomRight.x);
    ClampCropAxis(cropTopLeft.y, cropBottomRight.y);
    brightness = std::clamp(brightness, MinColourLevel, MaxColourLevel);
    contrast = std::clamp(contrast, MinColourLevel, MaxColourLevel);
}
