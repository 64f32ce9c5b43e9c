#include "engine/layers/LayerGeometry.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerInfo.h"
#include "engine/layers/LayerList.h"
#include "engine/layers/LayerText.h"
#include "platform/ArchiveError.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"

#include <algorithm>
#include <cmath>

namespace {

// Text rectangle edges from a file are kept within the range the layer arithmetic takes without
// overflow (a height of bottom - top + 1 must fit 32 bits).
int32_t ClampEdge(int32_t edge)
{
    return std::clamp(edge, -EmptyRectLow, EmptyRectLow);
}

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

std::unique_ptr<Layer> Layer::CreateFromArchive(platform::ArchiveReader& archive, RecordListEnd& end)
{
    end = RecordListEnd::AtRecord;
    if (archive.AtEnd())
        return nullptr;  // the file ends after the last whole record
    LayerInfo info;
    int32_t storedFlags = 0;
    int32_t storedTag = 0;
    Rect textRect;
    try {
        storedFlags = archive.ReadI32();
        storedTag = archive.ReadI32();
        info.Load(archive);
        if (info.kind == LayerKindBubble) {
            textRect.left = ClampEdge(archive.ReadI32());
            textRect.top = ClampEdge(archive.ReadI32());
            textRect.right = ClampEdge(archive.ReadI32());
            textRect.bottom = ClampEdge(archive.ReadI32());
        }
    } catch (const platform::ArchiveError& error) {
        end = error.Malformed() ? RecordListEnd::Damaged : RecordListEnd::CutShort;
        return nullptr;  // a record cut short or damaged: the list ends here
    }
    // A painted layer's picture block follows its common part; a file that ends before it is cut inside
    // the record like one that ends inside the common part, and keeps the layers before it.
    if (info.kind != LayerKindBubble && (storedFlags & LayerFlagPaint) && archive.AtEnd()) {
        end = RecordListEnd::CutShort;
        return nullptr;
    }

    // Every bubble is a LayerText with the bubble's own flags, whatever the record says.
    std::unique_ptr<Layer> layer;
    if (info.kind == LayerKindBubble)
        layer = std::make_unique<LayerText>(textRect, storedTag);
    else
        layer = std::make_unique<LayerImage>(QString(), storedFlags, storedTag);
    layer->number = info.number;
    layer->kind = info.kind;
    layer->path = info.path;
    layer->name = info.name;
    layer->position = info.position;
    layer->scale = info.scale;
    layer->angle = info.angle;
    layer->cropTopLeft = info.cropTopLeft;
    layer->cropBottomRight = info.cropBottomRight;
    layer->redGamma = info.redGamma;
    layer->greenGamma = info.greenGamma;
    layer->blueGamma = info.blueGamma;
    layer->brightness = info.brightness;
    layer->contrast = info.contrast;

    layer->Load(archive);  // errors in the class part pass to the caller
    // A content that loaded at once has moved the position to its centre; one that is still on its way
    // must not move it either when it arrives.
    layer->position = info.position;
    if (layer->pendingTask)
        layer->m_storedPosition = info.position;
    layer->scale = info.scale;
    layer->angle = info.angle;
    return layer;
}

RecordListEnd LayerList::LoadAll(platform::ArchiveReader& archive)
{
    RecordListEnd end = RecordListEnd::AtRecord;
    while (std::unique_ptr<Layer> layer = Layer::CreateFromArchive(archive, end))
        layer.release()->LinkBefore(this);
    return end;
}
