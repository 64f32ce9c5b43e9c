#pragma once

#include "platform/Rect.h"

#include <cstdint>

// What a mask edit needs of the undo journal: one record holding the XOR of the old and the new mask
// over a rectangle. The document's journal implements it.
class PixelJournal {
public:
    // rect is inclusive, in content pixels; delta is a whole-image buffer of one byte per pixel with
    // stride bytes a row; layerIndex is the layer's index in the document's list. False when the
    // journal refused the record (nothing was appended).
    virtual bool AddPixels(const Rect& rect, const uint8_t* delta, int32_t stride, int32_t layerIndex) = 0;

protected:
    ~PixelJournal() = default;
};
