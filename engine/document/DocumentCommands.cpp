#include "engine/document/CommandId.h"
#include "engine/document/Document.h"
#include "engine/document/UpdateHint.h"
#include "engine/document/WizardState.h"
#include "engine/base/Settings.h"
#include "engine/layers/Layer.h"
#include "platform/CommandUI.h"

namespace {

// The wizard states from which the commands open up.
constexpr int32_t SaveAsFromStep = 9;
constexpr int32_t FirstOutlineState = StepOutlineFace;      // 8 and 9: no tool command at all
constexpr int32_t LastOutlineState = StepOutlineFace + 1;

// The tools whose commands are sent. A parked tool comes back when its command is asked again; the
// outline tool (set by the wizard) and the unused 32831 and 32840 have no command that could bring it
// back, so asking theirs never parks.
bool ParksWhenDisabled(int32_t id)
{
    return id >= CommandId::Crop && id <= CommandId::MagicErase && id != CommandId::Outline;
}

} // namespace

void Document::OnUpdateNewProject(platform::CommandUI& ui) const
{
    ui.Enable(step > StepStart);
}

void Document::OnSaveProject()
{
    DoFileSave();
}

void Document::OnUpdateSaveProject(platform::CommandUI& ui) const
{
    ui.Enable(IsModified());
}

void Document::OnSaveProjectAs()
{
    DoSave(QString());
}

void Document::OnUpdateSaveProjectAs(platform::CommandUI& ui) const
{
    ui.Enable(step >= SaveAsFromStep);
}

void Document::OnUpdateSavePicture(platform::CommandUI& ui) const
{
    ui.Enable(step >= StepFinish);
}

void Document::OnEditUndo()
{
    journal.Undo();
}

void Document::OnUpdateEditUndo(platform::CommandUI& ui) const
{
    ui.Enable(journal.CanUndo());
}

void Document::OnEditRedo()
{
    journal.Redo();
}

void Document::OnUpdateEditRedo(platform::CommandUI& ui) const
{
    ui.Enable(journal.CanRedo());
}

void Document::OnViewMode(int32_t id)
{
    if (id == viewMode)
        return;
    SetViewMode(id);
    UpdateAllViews(nullptr, HintRedraw);
}

void Document::OnUpdateViewMode(platform::CommandUI& ui) const
{
    bool enabled = false;
    if (const Layer* layer = GetSelectedLayer(); layer && step >= StepPlaceFace) {
        switch (ui.Id()) {
        case CommandId::AllLayers:
            enabled = true;
            break;
        case CommandId::CropLayer:
            enabled = (layer->flags & LayerFlagCrop) != 0;
            break;
        case CommandId::PaintLayer:
            enabled = (layer->flags & LayerFlagPaint) != 0;
            break;
        default:
            break;
        }
    }
    ui.SetCheck(ui.Id() == viewMode);
    ui.Enable(enabled);
}

void Document::OnTool(int32_t id)
{
    if (id == CommandId::LockResizeRatio)
        lockResizeRatio = !lockResizeRatio;
    else if (id >= CommandId::Crop && id <= CommandId::MagicErase)
        tool = id;
}

void Document::OnUpdateTool(platform::CommandUI& ui)
{
    const int32_t id = ui.Id();
    if (id == -tool)
        tool = id;  // its command is asked again: the parked tool comes back
    bool checked = tool == id;
    bool enabled = false;
    if (const Layer* layer = GetSelectedLayer()) {
        const bool movable = (layer->flags & LayerFlagMove) && viewMode == ViewModeAllLayers;
        switch (id) {
        case CommandId::Crop:
            enabled = (layer->flags & LayerFlagCrop) && viewMode != ViewModePaintLayer && step > StepFaceChosen;
            break;
        case CommandId::MoveResize:
        case CommandId::Rotate:
            enabled = movable;
            break;
        case CommandId::Paint:
        case CommandId::Erase:
            enabled = (layer->flags & LayerFlagPaint) && viewMode != ViewModeCropLayer;
            break;
        case CommandId::MagicErase: {
            // Only over the promoted scene photo, the back-most layer; not while accessories or
            // bubbles are placed.
            const Layer* back = layers.GetAt(0);
            enabled = viewMode != ViewModeCropLayer && step != StepAccessories && step != StepBubble && back &&
                      StartsWith(QStringLiteral("Scene"), back->name);
            break;
        }
        case CommandId::LockResizeRatio:
            enabled = movable;
            checked = lockResizeRatio;
            break;
        default:
            break;
        }
    }
    // The current tool's command has become disabled: park the tool until it is enabled again.
    if (checked && !enabled && ParksWhenDisabled(id)) {
        tool = -tool;
        checked = false;
    }
    if (step >= FirstOutlineState && step <= LastOutlineState)
        enabled = false;
    else if (step < FirstOutlineState)
        enabled = enabled && checked;  // the wizard's early steps offer only the tool they set
    ui.SetCheck(checked);
    ui.Enable(enabled);
}

void Document::OnEnableHelpTips()
{
    if (m_settings)
        m_settings->SetTutorialOff(m_settings->IsTutorialOff() == 0 ? 1 : 0);
}

void Document::OnUpdateEnableHelpTips(platform::CommandUI& ui) const
{
    ui.Enable(m_settings != nullptr);
    ui.SetCheck(m_settings && m_settings->KnownTutorialOff() == 0);  // asked at every refresh: no file read
}
