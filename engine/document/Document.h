#pragma once

#include "engine/document/DocumentObserver.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/LayerList.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class ImageReference;
class Layer;

// The one document: the scene layer, the layers in front of it and the editing state that the rest of
// the program reads. Layers reach it through g_document.
class Document {
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    LayerList layers;               // first = back-most
    ListHead parkedLayers;          // layers a deletion keeps for undo
    std::unique_ptr<Layer> scene;   // drawn behind the list; always a picture layer
    std::unique_ptr<ImageReference> renderBuffer;  // the composed work area, 24 bits
    int32_t selectedIndex = -1;     // index in layers; -1 = none
    int32_t step = StepEmpty;       // wizard state
    int32_t viewMode = ViewModeAllLayers;
    int32_t tool = 0;               // the current tool's command id; negative = parked
    int32_t brushSize = DefaultBrushSize;
    bool lockResizeRatio = true;
    bool startPromptShown = false;

    static constexpr int32_t StepEmpty = -1;
    static constexpr int32_t DefaultBrushSize = 32;

    // Deletes every layer (the list, the parked ones, the scene) and resets the editing state.
    void DeleteContents();
    // When layer is the scene and a scene photo that has just loaded: the photo becomes layer 0 and a
    // new scene loads the background of the same content number.
    void PromoteSceneToLayer(Layer* layer);
    // 1 + the largest number that follows prefix in a layer name beginning with it; 1 when none.
    int32_t NextLayerNumber(const QString& prefix) const;
    Layer* GetSelectedLayer() const;
    void RefreshLayerView();

    // Applies a wizard state: the state itself, the title, the view's brush, the right-hand column and
    // the step bar.
    void SetStep(int32_t state, bool noTip);

    const QString& GetTitle() const { return m_title; }
    // The frame shows the title with "*" appended while the document is modified.
    void SetTitle(const QString& title);
    const QString& GetShownTitle() const { return m_shownTitle; }
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified);

    void AddView(DocumentObserver* view);
    void RemoveView(DocumentObserver* view);
    void UpdateAllViews(DocumentObserver* sender, int32_t hint, const Rect* rect = nullptr);

private:
    QString m_title;
    QString m_shownTitle;
    bool m_modified = false;
    std::vector<DocumentObserver*> m_views;
};

// The one document (the application's), set by its constructor; null while there is none.
extern Document* g_document;

// Sends HintRedraw to every view of the document, if there is one.
void RedrawAllViews();
