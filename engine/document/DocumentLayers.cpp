#include "engine/document/Document.h"

#include "engine/document/LayerViewLink.h"
#include "engine/document/ShellLink.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

// A float truncated towards zero into 32 bits; NaN gives 0 and the ends of the range saturate.
int32_t Truncate(float value)
{
    if (std::isnan(value))
        return 0;
    const float limit = 2147483520.0f;  // the largest float below 2^31
    return static_cast<int32_t>(std::clamp(value, -limit, limit));
}

// One side of the work area: the cropped part in the Paint Layer view, the whole content otherwise.
int32_t WorkExtent(float size, float cropStart, float cropEnd, int32_t viewMode)
{
    return Truncate(viewMode == ViewModePaintLayer ? size * (cropEnd - cropStart) : size);
}

// The selectable layers of each wizard step.
constexpr int32_t FirstFaceStep = 4;
constexpr int32_t LastFaceStep = 11;
constexpr int32_t FirstAccessoryStep = 12;
constexpr int32_t LastAccessoryStep = 13;
constexpr int32_t BubbleStep = 14;

} // namespace

bool StartsWith(const QString& prefix, const QString& text)
{
    return text.startsWith(prefix, Qt::CaseSensitive);
}

int32_t Document::NextLayerNumber(const QString& prefix) const
{
    int64_t result = 1;
    for (const Node* node = layers.next; node != &layers; node = node->next) {
        const QString& name = static_cast<const Layer*>(node)->name;
        if (StartsWith(prefix, name))
            result = std::max(result, LeadingNumber(QStringView(name).mid(prefix.size())) + 1);
    }
    return static_cast<int32_t>(std::min<int64_t>(result, std::numeric_limits<int32_t>::max()));
}

Layer* Document::GetSelectedLayer() const
{
    return layers.GetAt(selectedIndex);
}

Layer* Document::GetActiveLayer() const
{
    return viewMode == ViewModeAllLayers ? scene.get() : GetSelectedLayer();
}

int32_t Document::GetWorkWidth() const
{
    const Layer* layer = GetActiveLayer();
    return layer ? WorkExtent(layer->size.x, layer->cropTopLeft.x, layer->cropBottomRight.x, viewMode) : 0;
}

int32_t Document::GetWorkHeight() const
{
    const Layer* layer = GetActiveLayer();
    return layer ? WorkExtent(layer->size.y, layer->cropTopLeft.y, layer->cropBottomRight.y, viewMode) : 0;
}

void Document::SetViewMode(int32_t mode)
{
    if (mode == viewMode)
        return;
    switch (mode) {
    case ViewModeAllLayers:
        tool = ToolMoveResize;
        break;
    case ViewModeCropLayer:
        tool = ToolCrop;
        break;
    case ViewModePaintLayer:
        tool = ToolErase;
        break;
    default:
        break;
    }
    viewMode = mode;
}

void Document::RefreshLayerView()
{
    if (!g_layerView)
        return;
    g_layerView->FillList(layers);
    g_layerView->SelectLayer(selectedIndex);
}

void Document::SelectLayer(int32_t index)
{
    if (index == selectedIndex)
        return;
    if (step > StepFaceChosen && viewMode != ViewModeAllLayers) {
        viewMode = ViewModeAllLayers;
        tool = ToolMoveResize;
    }
    if (Layer* previous = GetSelectedLayer())
        previous->OnDeselect();
    selectedIndex = index;
    if (Layer* selected = GetSelectedLayer())
        selected->OnSelect();
    if (g_layerView)
        g_layerView->SelectLayer(index);
    if (g_shell)
        g_shell->UpdateDialogControls();
}

bool Document::CanSelectLayer(int32_t index) const
{
    const Layer* layer = layers.GetAt(index);
    if (!layer)
        return false;
    if (step < FirstFaceStep)
        return false;
    if (step <= LastFaceStep)
        return StartsWith(QStringLiteral("Face"), layer->name) || StartsWith(QStringLiteral("Scene"), layer->name);
    if (step <= LastAccessoryStep)
        return (layer->flags & LayerFlagAccessory) != 0;
    if (step == BubbleStep)
        return (layer->flags & LayerFlagText) != 0;
    return true;
}

void Document::SetStoredSelection(int32_t index)
{
    selectedIndex = index >= 0 && index < layers.GetCount() ? index : -1;
}
