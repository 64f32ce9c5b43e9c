#include "engine/document/Document.h"

#include "engine/document/LayerViewLink.h"
#include "engine/document/ShellLink.h"
#include "engine/document/StepBarLink.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/Layer.h"
#include "platform/HeapRelease.h"

ShellLink* g_shell = nullptr;
LayerViewLink* g_layerView = nullptr;
StepBarLink* g_stepBar = nullptr;
uint8_t LoadFromPcRequest = 0;

Document::Document() : renderBuffer(std::make_unique<ImageReference>())
{
    g_document = this;
}

Document::~Document()
{
    DeleteLayers();
    if (g_document == this)
        g_document = nullptr;
}

void Document::DeleteLayers()
{
    layers.DeleteAll();
    parkedLayers.DeleteAll();
    scene.reset();
}

void Document::DeleteContents()
{
    selectedIndex = -1;
    step = StepEmpty;
    viewMode = ViewModeAllLayers;
    tool = 0;
    journal.Reset();
    DeleteLayers();
    RefreshLayerView();  // the panel shows no rows, and no buttons, for layers that are gone
    // The pictures just freed go back to the system once the program pauses, so that project after
    // project it stays the size of the one open; the next document first reuses them.
    platform::ReleaseFreedHeapWhenIdle();
}

void Document::SetTitle(const QString& title)
{
    if (!IsModified()) {
        DocumentBase::SetTitle(title);
        return;
    }
    // The frame shows the starred title; the stored one stays plain, so stars never pile up. A copy:
    // title may be the stored title itself.
    const QString plain = title;
    DocumentBase::SetTitle(plain + QLatin1Char('*'));
    StoreTitle(plain);
}

bool Document::IsModified() const
{
    return DocumentBase::IsModified();
}

void Document::SetModifiedFlag(bool modified)
{
    if (modified != DocumentBase::IsModified()) {
        DocumentBase::SetModifiedFlag(modified);
        SetTitle(GetTitle());
    }
    if (!modified)
        journal.MarkSaved();
}

DocumentView* Document::GetView() const
{
    for (DocumentObserver* view : GetViews()) {
        if (DocumentView* editingView = view->AsDocumentView())
            return editingView;
    }
    return nullptr;
}

EditingViewLink* Document::GetEditingView() const
{
    for (DocumentObserver* view : GetViews()) {
        if (EditingViewLink* editingView = view->AsEditingView())
            return editingView;
    }
    return nullptr;
}

void RedrawAllViews()
{
    if (g_document)
        g_document->UpdateAllViews(nullptr, HintRedraw);
}
