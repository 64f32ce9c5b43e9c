#pragma once

#include "platform/metafile/MetafileObject.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// The object table of one playback: the slots the records create objects in, and the stock objects
// (indices with the high bit set) that every device context has.
class MetafileObjectTable {
public:
    explicit MetafileObjectTable(uint16_t slotCount);

    // Out-of-range slots are ignored (the parser already refuses them).
    void Create(uint32_t index, MetafileObject object);
    void Delete(uint32_t index);

    // A created or stock object; null for an empty slot or an unknown stock index.
    const MetafileObject* Find(uint32_t index) const;

    static const MetafileObject& DefaultPen();
    static const MetafileObject& DefaultBrush();

private:
    std::vector<std::optional<MetafileObject>> m_slots;
};

} // namespace platform
