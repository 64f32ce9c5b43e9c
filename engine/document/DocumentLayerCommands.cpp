#include "engine/document/Document.h"

#include "engine/base/Angle.h"
#include "engine/document/CommandId.h"
#include "engine/document/EditingViewLink.h"
#include "engine/document/LayerViewLink.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "platform/CommandUI.h"
#include "platform/DocumentPrompts.h"

namespace {

// Increase Size and Decrease Size add this to both scale factors.
constexpr float SizeStep = 0.1f;

} // namespace

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

void Document::OnUpdateSelectLayerCommand(platform::CommandUI& ui) const
{
    ui.Enable(GetSelectedLayer() && step >= StepFinish && viewMode == ViewModeAllLayers);
    ui.SetCheck(ui.Id() - SelectLayerCommandFirst == selectedIndex);
}

int32_t Document::RotationStep()
{
    return static_cast<int16_t>(AngleUnitsPerDegree);  // just under a degree
}

void Document::RunForcedDrag(PointF docPoint, int32_t forcedTool, int32_t toolAfter)
{
    EditingViewLink* view = GetEditingView();
    if (!GetSelectedLayer() || !view)
        return;
    // The frame tracker answers the forced tool's handle wherever the drag starts.
    tool = forcedTool;
    view->TrackFromDocPoint(docPoint);
    tool = toolAfter;
}

void Document::OnChangeSize()
{
    const Layer* layer = GetSelectedLayer();
    if (!layer)
        return;
    // The middle of the top edge of the cropped frame.
    float offset[2] = {0.0f, layer->scale.y * (layer->cropTopLeft.y - layer->cropBottomRight.y) * layer->centre.y};
    RotateVector(offset, layer->angle);
    RunForcedDrag({layer->position.x + offset[0], layer->position.y + offset[1]}, ToolForceResize, ToolMoveResize);
}

void Document::OnChangePosition()
{
    const Layer* layer = GetSelectedLayer();
    if (!layer)
        return;
    RunForcedDrag(layer->position, ToolForceMove, ToolMoveResize);
}

void Document::OnChangeRotation()
{
    const Layer* layer = GetSelectedLayer();
    if (!layer)
        return;
    // Three quarters of the way out along the frame's diagonal, turned half a turn: a point beside the
    // layer where the rotation handle takes hold. Both halves use the horizontal crop width.
    const float width = layer->cropBottomRight.x - layer->cropTopLeft.x;
    float offset[2] = {0.75f * -width * layer->centre.x * layer->scale.x,
                       0.75f * width * layer->centre.y * layer->scale.y};
    const int32_t halfTurn = static_cast<int32_t>(AngleUnitsPerDegree * -180.0f);  // -32768
    RotateVector(offset, static_cast<Angle>(layer->angle - halfTurn));
    RunForcedDrag({layer->position.x + offset[0], layer->position.y + offset[1]}, ToolForceRotate, ToolRotate);
}

void Document::OnIncreaseSize()
{
    journal.AddScale(SizeStep, SizeStep);
}

void Document::OnDecreaseSize()
{
    journal.AddScale(-SizeStep, -SizeStep);
}

void Document::OnMoveLeft()
{
    journal.AddMove(-1.0f, 0.0f);
}

void Document::OnMoveRight()
{
    journal.AddMove(1.0f, 0.0f);
}

void Document::OnMoveUp()
{
    journal.AddMove(0.0f, -1.0f);
}

void Document::OnMoveDown()
{
    journal.AddMove(0.0f, 1.0f);
}

void Document::OnRotateLeft()
{
    journal.AddRotate(-RotationStep());
}

void Document::OnRotateRight()
{
    journal.AddRotate(RotationStep());
}

void Document::OnFlip()
{
    if (const Layer* layer = GetSelectedLayer())
        journal.AddScale(-2.0f * layer->scale.x, 0.0f);
}

void Document::ShowBrushSize() const
{
    if (EditingViewLink* view = GetEditingView())
        view->SetBrushSize(brushSize);
}

void Document::OnSmallerBrush()
{
    if (brushSize == LargeBrushSize)
        brushSize = DefaultBrushSize;
    else if (brushSize == DefaultBrushSize)
        brushSize = SmallBrushSize;
    ShowBrushSize();
}

void Document::OnLargerBrush()
{
    if (brushSize == SmallBrushSize)
        brushSize = DefaultBrushSize;
    else if (brushSize == DefaultBrushSize)
        brushSize = LargeBrushSize;
    ShowBrushSize();
}

void Document::OnUpdateLayerActions(platform::CommandUI& ui) const
{
    const Layer* layer = GetSelectedLayer();
    if (!layer || step < StepPlaceFace || viewMode != ViewModeAllLayers) {
        ui.Enable(false);
        return;
    }
    switch (ui.Id()) {
    case CommandId::SmallerBrush:
    case CommandId::LargerBrush:
    case CommandId::ChangeColor:
        ui.Enable((layer->flags & LayerFlagPaint) != 0);
        break;
    case CommandId::EditText:
        ui.Enable((layer->flags & LayerFlagText) != 0);
        break;
    case CommandId::Flip:
        ui.Enable((layer->flags & LayerFlagText) == 0);  // a bubble's text would read backwards
        break;
    case CommandId::DeleteLayer:
        ui.Enable(true);
        break;
    default:
        ui.Enable((layer->flags & LayerFlagMove) != 0);
        break;
    }
}
