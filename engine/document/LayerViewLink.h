#pragma once

#include <cstdint>

class LayerList;

// What the document asks of the layers panel. The panel sets g_layerView while it exists.
class LayerViewLink {
public:
    // Refills the panel's rows from the list.
    virtual void FillList(const LayerList& layers) = 0;
    // Marks the row of the layer at index as selected; -1: none.
    virtual void SelectLayer(int32_t index) = 0;

protected:
    ~LayerViewLink() = default;
};

// The layers panel, or null while there is none.
extern LayerViewLink* g_layerView;
