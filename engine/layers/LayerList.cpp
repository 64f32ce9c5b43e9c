#include "engine/layers/LayerList.h"

#include "engine/layers/Layer.h"

#include <vector>

namespace {

bool SameContent(const Layer& layer, const QString& path, int32_t number, int32_t kind)
{
    return layer.number == number && layer.kind == kind && layer.path == path;
}

} // namespace

Layer* LayerList::GetAt(int32_t n) const
{
    if (n < 0)
        return nullptr;
    for (Node* node = next; node != this; node = node->next) {
        if (n-- == 0)
            return static_cast<Layer*>(node);
    }
    return nullptr;
}

int32_t LayerList::GetCount() const
{
    int32_t count = 0;
    for (const Node* node = next; node != this; node = node->next)
        ++count;
    return count;
}

int32_t LayerList::IndexOf(const Layer* layer) const
{
    int32_t index = 0;
    for (const Node* node = next; node != this; node = node->next, ++index) {
        if (static_cast<const Layer*>(node) == layer)
            return index;
    }
    return -1;
}

Layer* LayerList::Find(const QString& path, int32_t number, int32_t kind, int32_t tag) const
{
    for (Node* node = next; node != this; node = node->next) {
        auto* layer = static_cast<Layer*>(node);
        if (layer->tag == tag && SameContent(*layer, path, number, kind))
            return layer;
    }
    return nullptr;
}

uint8_t LayerList::CountSame(const QString& path, int32_t number, int32_t kind) const
{
    uint8_t count = 0;
    for (const Node* node = next; node != this; node = node->next) {
        if (SameContent(*static_cast<const Layer*>(node), path, number, kind))
            ++count;
    }
    return count;
}

int32_t LayerList::FreeTag(const QString& path, int32_t number, int32_t kind) const
{
    // With n layers in the list, one of the tags 0..n is free.
    const auto limit = static_cast<size_t>(GetCount());
    std::vector<bool> taken(limit + 1, false);
    for (const Node* node = next; node != this; node = node->next) {
        const auto* layer = static_cast<const Layer*>(node);
        if (layer->tag < 0 || !SameContent(*layer, path, number, kind))
            continue;
        const auto tag = static_cast<size_t>(layer->tag);
        if (tag <= limit)
            taken[tag] = true;
    }
    int32_t tag = 0;
    while (taken[static_cast<size_t>(tag)])
        ++tag;
    return tag;
}

void LayerList::Remove(const QString& path, int32_t number, int32_t kind, int32_t tag)
{
    delete Find(path, number, kind, tag);
}

void LayerList::DeleteAll()
{
    while (!IsEmpty())
        delete static_cast<Layer*>(next);
}
