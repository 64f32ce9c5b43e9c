#include "engine/document/Journal.h"

#include "engine/document/Document.h"
#include "engine/document/JournalBytes.h"
#include "engine/document/JournalKind.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Image.h"
#include "engine/layers/Layer.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace journal_bytes;

namespace {

constexpr int32_t SmallRecord = 64;

// Adds (forward) or subtracts (backward) a delta.
float Step(float value, float delta, bool forward)
{
    return forward ? value + delta : value - delta;
}

void StepPoint(PointF& point, const uint8_t* deltas, bool forward)
{
    point.x = Step(point.x, GetF32(deltas), forward);
    point.y = Step(point.y, GetF32(deltas + 4), forward);
}

// The fields of a record of kinds 10 to 12: the layer's identity and its place.
struct LayerRecord {
    int32_t type = 0;
    int32_t number = 0;
    int32_t tag = 0;
    int32_t index = 0;
    Rect rect;
    QString path;
    QString name;
};

LayerRecord ReadLayerRecord(const uint8_t* record, int32_t n)
{
    LayerRecord out;
    const uint8_t kind = record[0];
    const uint8_t* end = record + n - ShortSizeBack;
    out.type = record[1];
    out.number = GetU16(record + 4);
    const uint8_t* strings = record + 8;
    if (kind == JournalInsertLayer) {
        out.tag = record[6];
        out.index = record[7] - 1;
        out.rect = {GetI32(record + 8), GetI32(record + 12), GetI32(record + 16), GetI32(record + 20)};
        strings = record + 24;
    } else if (kind == JournalDeleteLayer) {
        out.tag = record[6];
        out.index = record[7];
    } else {
        out.index = record[6];
        out.tag = record[7];
    }
    out.path = GetString(strings, end);
    if (kind == JournalInsertLayer)
        out.name = GetString(strings, end);
    return out;
}

// Kind 10 performed, kind 12 reverted: the document makes the layer again; an insertion record also
// refreshes the panel (the document's insertion has done so already).
void InsertLayer(Document& document, const LayerRecord& r, bool insertion)
{
    document.InsertLayer(r.type, r.tag, r.index, r.path, r.name, r.number, r.rect);
    if (insertion)
        document.RefreshLayerView();
}

// Kind 10 reverted, kind 12 performed: the layer with the record's identity is destroyed and the
// selection stays on its layer. Taking back the face in step 4 returns to the face choice.
void RemoveLayer(Document& document, const LayerRecord& r, bool insertion)
{
    if (Layer* layer = document.layers.Find(r.path, r.number, r.type, r.tag)) {
        const int32_t index = document.layers.IndexOf(layer);
        delete layer;
        if (document.selectedIndex > index)
            --document.selectedIndex;
    }
    if (insertion && document.step == StepFaceChosen)
        document.SetStep(StepChooseFace, false);
    document.RefreshLayerView();
}

// Kind 11 performed: the layer leaves the list for the front of the parked list, undestroyed.
void ParkLayer(Document& document, const LayerRecord& r)
{
    Layer* layer = document.layers.GetAt(r.index);
    if (!layer || layer->number != r.number || layer->kind != r.type || layer->tag != r.tag || layer->path != r.path)
        return;
    layer->LinkAfter(&document.parkedLayers);
    if (document.selectedIndex > r.index)
        --document.selectedIndex;
    document.RefreshLayerView();
}

// Kind 11 reverted: the most recently parked layer of that identity takes its index again.
void UnparkLayer(Document& document, const LayerRecord& r)
{
    Layer* layer = document.parkedLayers.Find(r.path, r.number, r.type, r.tag);
    if (!layer)
        return;
    layer->Unlink();
    if (document.selectedIndex >= r.index)
        ++document.selectedIndex;
    document.LinkLayerAt(layer, r.index);
    document.RefreshLayerView();
}

// Kind 8, both ways: the block XORs the layer's mask over the record's rectangle, clipped to the
// layer's picture (a layer made again may have loaded at another size, or not at all).
void RestorePixels(Document& document, const uint8_t* record, int32_t n)
{
    Layer* layer = document.layers.GetAt(GetI32(record + 8));
    const Image* image = layer ? layer->GetImage() : nullptr;
    if (!image)
        return;
    const Rect rect{GetI32(record + 12), GetI32(record + 16), GetI32(record + 20), GetI32(record + 24)};
    const int64_t w = int64_t{rect.right} - rect.left + 1;
    const int64_t h = int64_t{rect.bottom} - rect.top + 1;
    if (w <= 0 || h <= 0 || Aligned(PixelsOverhead + w * h) != n)
        return;
    const Rect clip{std::max(rect.left, 0), std::max(rect.top, 0),
                    std::min(rect.right, image->width - 1), std::min(rect.bottom, image->height - 1)};
    if (clip.right < clip.left || clip.bottom < clip.top)
        return;
    const uint8_t* block = record + PixelsBlockOffset;
    if (clip == rect) {
        layer->RestorePixels(block, rect);
        return;
    }
    const int64_t cw = int64_t{clip.right} - clip.left + 1;
    std::vector<uint8_t> part(static_cast<size_t>(cw * (int64_t{clip.bottom} - clip.top + 1)));
    for (int32_t y = clip.top; y <= clip.bottom; ++y)
        std::memcpy(part.data() + (y - clip.top) * cw, block + (y - rect.top) * w + (clip.left - rect.left),
                    static_cast<size_t>(cw));
    layer->RestorePixels(part.data(), clip);
}

} // namespace

bool Journal::ApplyForward(int32_t offset)
{
    return Apply(offset, true);
}

bool Journal::ApplyBackward(int32_t offset)
{
    return Apply(offset, false);
}

bool Journal::Apply(int32_t offset, bool forward)
{
    const int32_t n = RecordSizeAt(offset);
    if (n == 0)
        return false;
    // A copy: performing a record can reach code that empties the document (a nested tick), and the
    // record must outlive the buffer then. Small records stay on the stack.
    uint8_t small[SmallRecord];
    std::vector<uint8_t> large;
    uint8_t* record = small;
    if (n > SmallRecord) {
        large.resize(static_cast<size_t>(n));
        record = large.data();
    }
    std::memcpy(record, data.get() + offset, static_cast<size_t>(n));
    Document& document = *owner;
    Layer* selected = document.GetSelectedLayer();

    switch (record[0]) {
    case JournalMark:
        return true;
    case JournalStep:
        document.SetStep(forward ? record[1] : record[1] - 1, false);
        break;
    case JournalSelectLayer:
        document.SelectLayer((forward ? record[1] : record[2]) - 1);
        if (forward)
            document.RefreshLayerView();
        break;
    case JournalRotate:
        if (selected) {
            const auto delta = static_cast<uint16_t>(GetI16(record + 2));
            selected->angle = static_cast<Angle>(forward ? selected->angle + delta : selected->angle - delta);
        }
        break;
    case JournalMove:
        if (selected)
            StepPoint(selected->position, record + 4, forward);
        break;
    case JournalScale:
        if (selected)
            StepPoint(selected->scale, record + 4, forward);
        break;
    case JournalCrop:
        if (selected) {
            StepPoint(selected->cropTopLeft, record + 4, forward);
            StepPoint(selected->cropBottomRight, record + 12, forward);
            StepPoint(selected->position, record + 20, forward);
        }
        break;
    case JournalReorder: {
        const int32_t places = forward ? static_cast<int8_t>(record[1]) : -static_cast<int8_t>(record[1]);
        if (selected && selected->CanMoveBy(places)) {
            selected->MoveBy(places);
            document.selectedIndex += places;
            document.RefreshLayerView();
        }
        break;
    }
    case JournalPixels:
        RestorePixels(document, record, n);
        break;
    case JournalNewScene: {
        const uint8_t* strings = record + 12;
        const uint8_t* end = record + n - ShortSizeBack;
        const QString oldPath = GetString(strings, end);
        const QString newPath = GetString(strings, end);
        if (forward)
            document.NewScene(GetI32(record + 8), newPath, true);
        else
            document.NewScene(GetI32(record + 4), oldPath, true);
        // A scene chosen now waits for its photo as the scene. But the records around one brought back by
        // Undo or Redo were made with its photo at the back of the list, where a photo stands once it has
        // loaded: they name layers by indices that count it. A photo that must be downloaded again takes
        // that place at once, so that those records, the selection and every later edit keep to the
        // layers they were made on while it downloads.
        if (!m_appending && document.scene && document.scene->pendingTask)
            document.PromoteSceneToLayer(document.scene.get());
        document.RefreshLayerView();
        break;
    }
    case JournalInsertLayer:
        if (forward)
            InsertLayer(document, ReadLayerRecord(record, n), true);
        else
            RemoveLayer(document, ReadLayerRecord(record, n), true);
        break;
    case JournalDeleteLayer:
        if (forward)
            ParkLayer(document, ReadLayerRecord(record, n));
        else
            UnparkLayer(document, ReadLayerRecord(record, n));
        break;
    case JournalRemoveLayer:
        if (forward)
            RemoveLayer(document, ReadLayerRecord(record, n), false);
        else
            InsertLayer(document, ReadLayerRecord(record, n), false);
        break;
    case JournalSetText:
        if (selected) {
            const uint8_t* strings = record + 4;
            const uint8_t* end = record + n - ShortSizeBack;
            const QString oldText = GetString(strings, end);
            const QString newText = GetString(strings, end);
            selected->SetText(forward ? newText : oldText);
        }
        break;
    case JournalColor:
        if (selected) {
            const int sign = forward ? 1 : -1;
            selected->brightness += sign * GetI16(record + 2);
            selected->redGamma += sign * GetI32(record + 4);
            selected->greenGamma += sign * GetI32(record + 8);
            selected->blueGamma += sign * GetI32(record + 12);
            selected->contrast += sign * GetI16(record + 16);
            selected->ApplyColor();
        }
        break;
    default:
        break;
    }
    return false;
}
