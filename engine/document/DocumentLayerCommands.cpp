#include "engine/document/Document.h"

#include "engine/document/LayerViewLink.h"
#include "engine/layers/Layer.h"
#include "platform/DocumentPrompts.h"

void Document::OnDeleteLayer()
{
    const Layer* selected = GetSelectedLayer();
    if (selectedIndex < 0 || !selected)
        return;
    platform::DocumentPrompts* prompts = GetPrompts();
    if (!prompts)
        return;  // nobody to ask: nothing is deleted unasked
    const QString question = QStringLiteral("Delete the layer \"%1\"?").arg(selected->name);
    if (prompts->AskYesNo(question) != platform::DocumentPrompts::Answer::Yes)
        return;

    // The neighbour in front takes the selection, or the one behind when the front-most goes; it is
    // shifted down to index i by the deletion.
    const int32_t index = selectedIndex;
    const int32_t last = layers.GetCount() - 1;
    int32_t neighbour = index == last ? index - 1 : index + 1;
    if (!CanSelectLayer(neighbour))
        neighbour = -1;
    journal.AddMark();
    journal.AddSelectLayer(neighbour);
    journal.AddDeleteLayer(index);
    journal.AddMark();
    if (g_layerView)
        g_layerView->SelectLayer(selectedIndex);
}

void Document::OnSelectLayerCommand(int32_t id)
{
    const int32_t index = id - SelectLayerCommandFirst;
    if (index != selectedIndex && index < layers.GetCount())
        journal.AddSelectLayer(index);
}
