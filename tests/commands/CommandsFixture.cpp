#include "CommandsFixture.h"

#include "support/TestLayer.h"

#include "engine/document/JournalBytes.h"
#include "engine/document/JournalKind.h"

namespace {

// The size of the record at r, read as the journal lays records out.
int32_t RecordSizeAt(const uint8_t* r)
{
    switch (r[0]) {
    case JournalMark:
        return JournalMarkSize;
    case JournalStep:
        return JournalStepSize;
    case JournalSelectLayer:
        return JournalSelectLayerSize;
    case JournalRotate:
        return JournalRotateSize;
    case JournalMove:
        return JournalMoveSize;
    case JournalScale:
        return JournalScaleSize;
    case JournalCrop:
        return JournalCropSize;
    case JournalReorder:
        return JournalReorderSize;
    case JournalColor:
        return JournalColorSize;
    case JournalPixels:
        return journal_bytes::GetI32(r + PixelsSizeFront);
    default:
        return journal_bytes::GetU16(r + ShortSizeFront);
    }
}

} // namespace

CommandsTest::CommandsTest()
{
    document.SetPrompts(&prompts);
    document.SetSettings(&tips.settings);
}

Layer* CommandsTest::Add(const QString& name, int32_t flags)
{
    auto* layer = new TestLayer(flags, 0);
    layer->name = name;
    layer->LinkBefore(&document.layers);
    return layer;
}

void CommandsTest::At(int32_t state, int32_t selected, int32_t viewMode)
{
    document.step = state;
    document.selectedIndex = selected;
    document.viewMode = viewMode;
}

std::vector<int> CommandsTest::RecordKinds() const
{
    std::vector<int> kinds;
    const uint8_t* data = journal.GetData();
    for (int32_t offset = 0; offset < journal.GetPosition();) {
        kinds.push_back(data[offset]);
        offset += RecordSizeAt(data + offset);
    }
    return kinds;
}
