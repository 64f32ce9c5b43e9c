#pragma once

#include "library/browser/TreeView.h"

// The "Text" tab (index "ThumbsB"): a choice adds the speech bubble in front of all layers, its text
// rectangle the one its index gives. Takes input from wizard state 13 on.
class BubbleTree final : public TreeView {
public:
    explicit BubbleTree(Document& document, QWidget* parent = nullptr);

protected:
    void OnItemChosen() override;
    bool TakesInput(int32_t state) const override;
};
