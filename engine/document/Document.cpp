#include "engine/document/Document.h"

#include "engine/document/ShellLink.h"
#include "engine/document/UpdateHint.h"
#include "engine/layers/ImageReference.h"
#include "engine/layers/Layer.h"
#include "engine/layers/LayerImage.h"

#include <algorithm>
#include <limits>

Document* g_document = nullptr;
ShellLink* g_shell = nullptr;

Document::Document() : renderBuffer(std::make_unique<ImageReference>())
{
    g_document = this;
}

Document::~Document()
{
    DeleteContents();
    if (g_document == this)
        g_document = nullptr;
}

void Document::DeleteContents()
{
    selectedIndex = -1;
    step = StepEmpty;
    viewMode = ViewModeAllLayers;
    tool = 0;
    layers.DeleteAll();
    while (!parkedLayers.IsEmpty())
        delete static_cast<Layer*>(parkedLayers.next);
    scene.reset();
}

namespace {

// The decimal number at the start of text, as the layer names carry it: leading blanks skipped, an
// optional sign, 0 when there are no digits; saturated to 32 bits.
int64_t LeadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i].unicode() - u'0'), std::numeric_limits<int32_t>::max());
    return negative ? -value : value;
}

} // namespace

int32_t Document::NextLayerNumber(const QString& prefix) const
{
    int64_t result = 1;
    for (const Node* node = layers.next; node != &layers; node = node->next) {
        const QString& name = static_cast<const Layer*>(node)->name;
        if (name.startsWith(prefix, Qt::CaseSensitive))
            result = std::max(result, LeadingNumber(QStringView(name).mid(prefix.size())) + 1);
    }
    return static_cast<int32_t>(std::min<int64_t>(result, std::numeric_limits<int32_t>::max()));
}

void Document::PromoteSceneToLayer(Layer* layer)
{
    if (!layer || layer != scene.get() || layer->kind != LayerKindScene)
        return;
    // The photo keeps its flags and its name "Scene", so it can be painted like any layer.
    Layer* photo = scene.release();
    scene = std::make_unique<LayerImage>(QString(), LayerFlagsBackground, 0);
    scene->Init(QString(), photo->number, LayerKindBackground, true);
    photo->LinkAfter(&layers);
    RefreshLayerView();
}

Layer* Document::GetSelectedLayer() const
{
    return layers.GetAt(selectedIndex);
}

void Document::RefreshLayerView()
{
    if (g_shell)
        g_shell->FillLayerList(layers, selectedIndex);
}

void Document::SetStep(int32_t state, bool noTip)
{
    const bool hide = state != step && state == 0;
    if (state != step) {
        step = state;
        SetTitle(m_title);
        if (g_shell)
            g_shell->SetViewBrushSize(brushSize);
    }
    if (g_shell) {
        if (hide)
            g_shell->HideRightColumn();
        else
            g_shell->ShowRightColumn();
        if (state != 0)
            g_shell->SetStepBarStep(state, noTip);
    }
}

void Document::SetTitle(const QString& title)
{
    m_title = title;
    m_shownTitle = m_modified ? title + QLatin1Char('*') : title;
}

void Document::SetModifiedFlag(bool modified)
{
    if (modified == m_modified)
        return;
    m_modified = modified;
    SetTitle(m_title);
}

void Document::AddView(DocumentObserver* view)
{
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void Document::RemoveView(DocumentObserver* view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void Document::UpdateAllViews(DocumentObserver* sender, int32_t hint, const Rect* rect)
{
    // A copy: a view may add or remove views while it handles the update.
    const std::vector<DocumentObserver*> views = m_views;
    for (DocumentObserver* view : views) {
        if (view != sender && std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnUpdate(sender, hint, rect);
    }
}

void RedrawAllViews()
{
    if (g_document)
        g_document->UpdateAllViews(nullptr, HintRedraw);
}
