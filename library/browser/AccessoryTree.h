#pragma once

#include "library/browser/TreeView.h"

// The "Accessories" tab (index "ThumbsA"): a choice adds the accessory in front of all layers, named
// after its subcategory, at the rectangle its index gives. Takes input in states 11 and 12 and from 15.
class AccessoryTree final : public TreeView {
public:
    explicit AccessoryTree(Document& document, QWidget* parent = nullptr);

protected:
    void OnItemChosen() override;
    bool TakesInput(int32_t state) const override;
};
