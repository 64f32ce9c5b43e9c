#pragma once

#include "platform/Rect.h"

#include <QString>
#include <cstdint>
#include <utility>

// One entry of a catalogue's three arrays; what the fields mean depends on the array.
struct FileItem {
    FileItem() = default;
    FileItem(int32_t first, int32_t second, QString name) : first(first), second(second), name(std::move(name)) {}

    // Category and subcategory: the index in Catalog::items of its first item. Item: its number N,
    // which names its files ("<folder>/N.jpg").
    int32_t first = 0;
    // Category: the index in Catalog::subcategories of its first subcategory. Subcategory: 0.
    // Item: its thumbnail's request: an id of the request queue, or -n for the status n
    // (RequestAlreadyCached -2 reads as done, RequestQueueFull -3 as failed). Once the request has
    // left the queue, the id is replaced by its final status (-2 or -3).
    int32_t second = 0;
    // Category or subcategory title, or the item's display name.
    QString name;
    // Item: (x, y, x + w, y + h) from its tag; all 0 otherwise, and for an item without numbers.
    Rect rect;
};
