#pragma once

#include "engine/layers/PixelJournal.h"

class Journal;

// Collects a Magic Erase stroke's mask records into one undo group: the opening mark goes in before the
// first layer whose mask really changed, and Close adds the closing mark only after one. Layers the
// stroke left as they were (a mask delta of zeros) add nothing, so a stroke that changes nothing leaves
// no empty undo step behind and does not mark the project modified.
class MagicEraseJournal final : public PixelJournal {
public:
    explicit MagicEraseJournal(Journal& journal) : m_journal(journal) {}

    bool AddPixels(const Rect& rect, const uint8_t* delta, int32_t stride, int32_t layerIndex) override;
    // True when the group holds a record.
    bool Close();

private:
    Journal& m_journal;
    bool m_opened = false;
    bool m_added = false;
};
