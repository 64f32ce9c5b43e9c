#include "engine/document/Journal.h"

#include "engine/document/Document.h"
#include "engine/document/JournalBytes.h"
#include "engine/document/JournalKind.h"
#include "engine/layers/Layer.h"

#include <cstring>
#include <limits>

using namespace journal_bytes;

namespace {

bool FitsByte(int64_t value)
{
    return value >= 0 && value <= std::numeric_limits<uint8_t>::max();
}

bool FitsI16(int64_t value)
{
    return value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max();
}

// A string goes into a record up to its terminator, so it must not hold one itself.
bool Recordable(const QString& text)
{
    return !text.contains(QChar(0));
}

// The size of a record of kinds 9 to 13 around strings of these byte lengths; 0 when it would not fit
// its 16-bit size fields.
int32_t ShortRecordSize(int64_t overhead, int64_t stringBytes)
{
    const int64_t n = Aligned(overhead + stringBytes);
    return n <= MaxShortRecordSize ? static_cast<int32_t>(n) : 0;
}

// Writes the trailer of a record of kinds 9 to 13: its size, the byte before the kind, the kind.
void PutShortTrailer(uint8_t* record, int32_t n, uint8_t second)
{
    PutU16(record + n - ShortSizeBack, static_cast<uint16_t>(n));
    PutU8(record + n - 2, second);
    PutU8(record + n - 1, record[0]);
}

} // namespace

Layer* Journal::SelectedLayer() const
{
    return owner->GetSelectedLayer();
}

bool Journal::AddMark()
{
    const uint8_t record[JournalMarkSize] = {JournalMark, 0, 0, JournalMark};
    return AppendFixed(record, JournalMarkSize);
}

bool Journal::AddStep(int32_t step)
{
    if (!FitsByte(step))
        return false;
    const uint8_t record[JournalStepSize] = {JournalStep, static_cast<uint8_t>(step), 0, JournalStep};
    return AppendFixed(record, JournalStepSize);
}

bool Journal::AddSelectLayer(int32_t index)
{
    // Both indexes are kept plus one in a byte.
    const int64_t newPlusOne = int64_t{index} + 1;
    const int64_t oldPlusOne = int64_t{owner->selectedIndex} + 1;
    if (!FitsByte(newPlusOne) || !FitsByte(oldPlusOne))
        return false;
    const uint8_t record[JournalSelectLayerSize] = {JournalSelectLayer, static_cast<uint8_t>(newPlusOne),
                                                    static_cast<uint8_t>(oldPlusOne), JournalSelectLayer};
    return AppendFixed(record, JournalSelectLayerSize);
}

bool Journal::AddRotate(int32_t delta)
{
    if (!SelectedLayer())
        return false;
    uint8_t record[JournalRotateSize] = {JournalRotate};
    // Angles wrap at a full turn, so the low 16 bits are the whole delta.
    PutI16(record + 2, static_cast<int16_t>(static_cast<uint16_t>(delta)));
    record[JournalRotateSize - 1] = JournalRotate;
    return AppendFixed(record, JournalRotateSize);
}

bool Journal::AddMoveOrScale(uint8_t kind, float dx, float dy)
{
    if (!SelectedLayer())
        return false;
    uint8_t record[JournalMoveSize] = {kind};
    PutF32(record + 4, dx);
    PutF32(record + 8, dy);
    record[JournalMoveSize - 1] = kind;
    return AppendFixed(record, JournalMoveSize);
}

bool Journal::AddMove(float dx, float dy)
{
    return AddMoveOrScale(JournalMove, dx, dy);
}

bool Journal::AddScale(float dx, float dy)
{
    return AddMoveOrScale(JournalScale, dx, dy);
}

bool Journal::AddCrop(float topLeftX, float topLeftY, float bottomRightX, float bottomRightY, float moveX,
                      float moveY)
{
    if (!SelectedLayer())
        return false;
    uint8_t record[JournalCropSize] = {JournalCrop};
    const float fields[] = {topLeftX, topLeftY, bottomRightX, bottomRightY, moveX, moveY};
    for (size_t i = 0; i < std::size(fields); ++i)
        PutF32(record + 4 + 4 * i, fields[i]);
    record[JournalCropSize - 1] = JournalCrop;
    return AppendFixed(record, JournalCropSize);
}

bool Journal::AddReorder(int32_t delta)
{
    const Layer* layer = SelectedLayer();
    if (!layer || delta < std::numeric_limits<int8_t>::min() || delta > std::numeric_limits<int8_t>::max() ||
        !layer->CanMoveBy(delta))
        return false;
    const uint8_t record[JournalReorderSize] = {JournalReorder, static_cast<uint8_t>(static_cast<int8_t>(delta)), 0,
                                                JournalReorder};
    return AppendFixed(record, JournalReorderSize);
}

bool Journal::AddPixels(const Rect& rect, const uint8_t* delta, int32_t stride, int32_t layerIndex)
{
    if (!delta || layerIndex < 0 || rect.left < 0 || rect.top < 0 || rect.right < rect.left ||
        rect.bottom < rect.top || stride <= rect.right)
        return false;
    const int64_t w = int64_t{rect.right} - rect.left + 1;
    const int64_t h = int64_t{rect.bottom} - rect.top + 1;
    const int64_t n = Aligned(PixelsOverhead + w * h);
    if (n > std::numeric_limits<int32_t>::max())
        return false;
    uint8_t* record = Reserve(n);
    if (!record)
        return false;
    const auto size = static_cast<int32_t>(n);
    PutU8(record, JournalPixels);
    PutI32(record + PixelsSizeFront, size);
    PutI32(record + 8, layerIndex);
    PutI32(record + 12, rect.left);
    PutI32(record + 16, rect.top);
    PutI32(record + 20, rect.right);
    PutI32(record + 24, rect.bottom);
    uint8_t* block = record + PixelsBlockOffset;
    for (int64_t r = 0; r < h; ++r)
        std::memcpy(block + r * w, delta + (rect.top + r) * int64_t{stride} + rect.left, static_cast<size_t>(w));
    PutI32(record + size - PixelsSizeBack, size);
    PutU8(record + size - 1, JournalPixels);
    return Commit(JournalPixels, size);
}

bool Journal::AddNewScene(const QString& path, int32_t number)
{
    // A document without a scene (a damaged project file) records the scene before as number 0 and
    // no path.
    const Layer* scene = owner->scene.get();
    const int32_t oldNumber = scene ? scene->number : 0;
    const QString oldPath = scene ? scene->path : QString();
    if (!Recordable(path) || !Recordable(oldPath))
        return false;
    const int32_t n = ShortRecordSize(NewSceneOverhead, WideStringBytes(oldPath) + WideStringBytes(path));
    uint8_t* record = n ? Reserve(n) : nullptr;
    if (!record)
        return false;
    PutU8(record, JournalNewScene);
    PutU16(record + ShortSizeFront, static_cast<uint16_t>(n));
    PutI32(record + 4, oldNumber);
    PutI32(record + 8, number);
    const int32_t a = PutString(record + 12, oldPath);
    PutString(record + 12 + a, path);
    PutShortTrailer(record, n, 0);
    return Commit(JournalNewScene, n);
}

bool Journal::AddInsertLayer(const Rect& rect, const QString& path, const QString& name, int32_t number, int32_t type,
                             int32_t index)
{
    // The index is kept plus one in a byte; the tag is one that no identical layer of the list holds,
    // so that undoing this insertion finds the new layer and no other.
    const int32_t tag = owner->layers.FreeTag(path, number, type);
    if (!IsLayerType(type) || number < 0 || number > MaxRecordedNumber || index < 0 ||
        index > owner->layers.GetCount() || !FitsByte(int64_t{index} + 1) || tag > MaxRecordedTag ||
        !Recordable(path) || !Recordable(name))
        return false;
    const int32_t n = ShortRecordSize(InsertLayerOverhead, WideStringBytes(path) + WideStringBytes(name));
    uint8_t* record = n ? Reserve(n) : nullptr;
    if (!record)
        return false;
    PutU8(record, JournalInsertLayer);
    PutU8(record + 1, static_cast<uint8_t>(type));
    PutU16(record + ShortSizeFront, static_cast<uint16_t>(n));
    PutU16(record + 4, static_cast<uint16_t>(number));
    PutU8(record + 6, static_cast<uint8_t>(tag));
    PutU8(record + 7, static_cast<uint8_t>(index + 1));
    PutI32(record + 8, rect.left);
    PutI32(record + 12, rect.top);
    PutI32(record + 16, rect.right);
    PutI32(record + 20, rect.bottom);
    const int32_t a = PutString(record + 24, path);
    PutString(record + 24 + a, name);
    PutShortTrailer(record, n, static_cast<uint8_t>(type));
    return Commit(JournalInsertLayer, n);
}

bool Journal::AddLayerOut(uint8_t kind, int32_t index)
{
    const Layer* layer = owner->layers.GetAt(index);
    // A removed layer comes back through the document's insertion, which must know its type.
    if (!layer || index > MaxRecordedIndex || !FitsByte(layer->kind) || layer->number < 0 ||
        layer->number > MaxRecordedNumber || !FitsByte(layer->tag) || !Recordable(layer->path) ||
        (kind == JournalRemoveLayer && !IsLayerType(layer->kind)))
        return false;
    const int32_t n = ShortRecordSize(LayerOutOverhead, WideStringBytes(layer->path));
    uint8_t* record = n ? Reserve(n) : nullptr;
    if (!record)
        return false;
    PutU8(record, kind);
    PutU8(record + 1, static_cast<uint8_t>(layer->kind));
    PutU16(record + ShortSizeFront, static_cast<uint16_t>(n));
    PutU16(record + 4, static_cast<uint16_t>(layer->number));
    const bool deletion = kind == JournalDeleteLayer;
    PutU8(record + (deletion ? 6 : 7), static_cast<uint8_t>(layer->tag));
    PutU8(record + (deletion ? 7 : 6), static_cast<uint8_t>(index));
    PutString(record + 8, layer->path);
    PutShortTrailer(record, n, 0);
    return Commit(kind, n);
}

bool Journal::AddDeleteLayer(int32_t index)
{
    return AddLayerOut(JournalDeleteLayer, index);
}

bool Journal::AddRemoveLayer(int32_t index)
{
    return AddLayerOut(JournalRemoveLayer, index);
}

bool Journal::AddSetText(const QString& text)
{
    const Layer* layer = SelectedLayer();
    if (!layer)
        return false;
    const QString old = layer->GetText();
    if (old == text || !Recordable(old) || !Recordable(text))
        return false;
    const int32_t n = ShortRecordSize(SetTextOverhead, WideStringBytes(old) + WideStringBytes(text));
    uint8_t* record = n ? Reserve(n) : nullptr;
    if (!record)
        return false;
    PutU8(record, JournalSetText);
    PutU16(record + ShortSizeFront, static_cast<uint16_t>(n));
    const int32_t a = PutString(record + 4, old);
    PutString(record + 4 + a, text);
    PutShortTrailer(record, n, 0);
    return Commit(JournalSetText, n);
}

bool Journal::AddColor(int32_t red, int32_t green, int32_t blue, int32_t brightness, int32_t contrast)
{
    if (!SelectedLayer() || !FitsI16(brightness) || !FitsI16(contrast))
        return false;
    uint8_t record[JournalColorSize] = {JournalColor};
    PutI16(record + 2, static_cast<int16_t>(brightness));
    PutI32(record + 4, red);
    PutI32(record + 8, green);
    PutI32(record + 12, blue);
    PutI16(record + 16, static_cast<int16_t>(contrast));
    record[JournalColorSize - 1] = JournalColor;
    return AppendFixed(record, JournalColorSize);
}
