#pragma once

#include "library/browser/TreeView.h"

// The "Scenes" tab, which the wizard calls "Faces" in the face steps: the scene index ("EncList"),
// captions, the note and the load button. Up to wizard state 2 a choice replaces the scene; from state
// 3 on it adds a face, and in states 3 and 4 it replaces the selected face instead. Takes input in
// states 1 to 4 and from 15 on.
//
// When the wizard enters the face choice (LoadFromPcRequest), the next update that finds the journal
// idle clears the request and opens the dialog for a picture of the user's own, after the update has
// reached every view.
class SceneTree final : public TreeView {
public:
    explicit SceneTree(Document& document, QWidget* parent = nullptr);

    void OnUpdate(DocumentObserver* sender, int32_t hint, const Rect* rect) override;
    // Appends the records that put the picture in as a face layer of the type (a layer kind).
    void AddFace(const QString& path, int32_t number, int32_t type);

protected:
    void OnItemChosen() override;
    void OnLoadFromPC() override;
    bool TakesInput(int32_t state) const override;
};
