#pragma once

#include "engine/base/Node.h"
#include "engine/layers/RecordListEnd.h"

#include <QString>
#include <cstdint>

class Layer;
namespace platform {
class ArchiveReader;
}

// The document's layers from the back-most (first) to the front-most (last). The list links them; the
// document owns them and deletes them when it empties the list.
class LayerList : public ListHead {
public:
    // The n-th layer from the back, or null when n is outside the list.
    Layer* GetAt(int32_t n) const;
    int32_t GetCount() const;
    // The index of layer in the list, or -1.
    int32_t IndexOf(const Layer* layer) const;

    // Identity lookups: number, kind (and tag) equal, path equal with case.
    Layer* Find(const QString& path, int32_t number, int32_t kind, int32_t tag) const;
    uint8_t CountSame(const QString& path, int32_t number, int32_t kind) const;
    // The tag for a new layer of that identity: the smallest one that no identical layer of the list
    // holds. Counting the identical layers would repeat a tag that is still in use after a deletion.
    int32_t FreeTag(const QString& path, int32_t number, int32_t kind) const;
    // Deletes the layer that Find gives, if any.
    void Remove(const QString& path, int32_t number, int32_t kind, int32_t tag);

    // Reads layer records to the end of the list and appends each at the front end; answers how the
    // list ended (Layer::CreateFromArchive).
    RecordListEnd LoadAll(platform::ArchiveReader& archive);
    void DeleteAll();
};
