#include "engine/document/Document.h"

#include "engine/base/AppPaths.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerText.h"
#include "platform/PathJoin.h"

namespace {

const QString SceneName = QStringLiteral("Scene");

// A new layer of the type, not yet loaded; null for a type that names no layer class.
std::unique_ptr<Layer> MakeLayer(int32_t type, int32_t tag, const QString& name, const Rect& rect)
{
    switch (type) {
    case LayerKindOwnFile:
    case LayerKindFace:
        return std::make_unique<LayerImage>(QString(), LayerFlagsFace, tag);
    case LayerKindAccessory:
        return std::make_unique<LayerImage>(name, LayerFlagsAccessory, tag);
    case LayerKindBubble:
        return std::make_unique<LayerText>(rect, tag);
    case LayerKindBackground:
        return std::make_unique<LayerImage>(QString(), LayerFlagsBackground, tag);
    case LayerKindScene: {
        auto photo = std::make_unique<LayerImage>(QString(), LayerFlagsScenePhoto, tag);
        photo->name = SceneName;
        return photo;
    }
    default:
        return nullptr;
    }
}

} // namespace

bool IsLayerType(int32_t type)
{
    return type >= LayerKindOwnFile && type <= LayerKindFace;
}

bool Document::OnNewDocument()
{
    if (!DocumentBase::OnNewDocument())
        return false;
    startPromptShown = false;
    brushSize = DefaultBrushSize;
    NewScene(0, platform::JoinPath(g_paths ? g_paths->resourceFolder : QString(), QStringLiteral("welcome.bki")),
             false);
    RefreshLayerView();
    SetStep(StepStart, false);
    return true;
}

void Document::NewScene(int32_t number, const QString& path, bool scenePhoto)
{
    // Choosing another scene after one has loaded goes back to the scene choice, quietly.
    if (step == StepSceneChosen)
        SetStep(StepChooseScene, true);
    scene.reset();
    // In the first steps the list holds at most the promoted scene photo.
    delete layers.GetAt(0);

    std::unique_ptr<Layer> layer;
    QString contentPath;
    int32_t kind = LayerKindBackground;
    bool fit = true;
    if (number == 0) {
        contentPath = path;
        kind = LayerKindOwnFile;
        if (!path.isEmpty())
            layer = MakeLayer(LayerKindBackground, 0, QString(), Rect{});
    } else if (scenePhoto) {
        contentPath = path;
        kind = LayerKindScene;
        fit = false;
        layer = MakeLayer(LayerKindScene, 0, QString(), Rect{});
    } else {
        layer = MakeLayer(LayerKindBackground, 0, QString(), Rect{});
    }
    if (layer) {
        // The scene is in place before its content loads: a picture already in the cache loads (and a
        // scene photo is promoted) at once.
        Layer* loading = layer.get();
        scene = std::move(layer);
        loading->Init(contentPath, number, kind, fit);
    }
    RefreshLayerView();
}

Layer* Document::InsertLayer(int32_t type, int32_t tag, int32_t index, const QString& path, const QString& name,
                             int32_t number, const Rect& rect)
{
    if (index < 0 || index > layers.GetCount())
        return nullptr;
    std::unique_ptr<Layer> layer = MakeLayer(type, tag, name, rect);
    if (!layer)
        return nullptr;
    layer->Init(path, number, type, true);
    Layer* inserted = layer.release();  // the list holds it from here; the document deletes it
    LinkLayerAt(inserted, index);
    if (selectedIndex >= index)
        ++selectedIndex;
    RefreshLayerView();
    return inserted;
}

void Document::LinkLayerAt(Layer* layer, int32_t index)
{
    Layer* before = index > 0 ? layers.GetAt(index - 1) : nullptr;
    if (before)
        layer->LinkAfter(before);
    else if (index <= 0)
        layer->LinkAfter(&layers);
    else
        layer->LinkBefore(&layers);  // the list is shorter (it may shrink while a layer loads)
}

void Document::PromoteSceneToLayer(Layer* layer)
{
    if (!layer || layer != scene.get() || layer->kind != LayerKindScene)
        return;
    // The photo keeps its flags and its name "Scene", so it can be painted like any layer.
    Layer* photo = scene.release();
    photo->LinkAfter(&layers);
    // The selection stays on its layer, one place further from the back.
    if (selectedIndex >= 0)
        ++selectedIndex;
    scene = MakeLayer(LayerKindBackground, 0, QString(), Rect{});
    scene->Init(QString(), photo->number, LayerKindBackground, true);
    RefreshLayerView();
}
