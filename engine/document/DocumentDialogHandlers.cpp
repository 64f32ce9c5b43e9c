#include "engine/document/Document.h"
#include "engine/document/DocumentDialogLink.h"
#include "engine/layers/Layer.h"

DocumentDialogLink* g_documentDialogs = nullptr;

namespace {

// The selected layer when it has the capability flag, else null.
Layer* SelectedWith(const Document& document, int32_t flag)
{
    Layer* layer = document.GetSelectedLayer();
    return layer && (layer->flags & flag) ? layer : nullptr;
}

} // namespace

void Document::OnEditText()
{
    Layer* layer = SelectedWith(*this, LayerFlagText);
    if (!layer || !g_documentDialogs)
        return;
    const QString text = g_documentDialogs->EditText(*this, layer->GetText());
    // Cancel after no Apply gives the layer's own text back, which the journal does not record.
    journal.AddSetText(text);
}

void Document::OnChangeColor()
{
    Layer* layer = SelectedWith(*this, LayerFlagPaint);
    if (layer && g_documentDialogs)
        g_documentDialogs->AdjustColor(*this, *layer);
}

void Document::OnSend()
{
    if (g_documentDialogs)
        g_documentDialogs->SendPicture(*this);
}
