#include "engine/document/Document.h"

#include "engine/document/LoadFromPcRequest.h"
#include "engine/document/ShellLink.h"
#include "engine/document/StepBarLink.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "platform/CommandUI.h"

namespace {

// While the face is outlined the editing view's brush is this small; Document::brushSize keeps its value.
constexpr int32_t OutlineBrushSize = 16;

struct TabRow {
    int32_t shown;   // the one tab shown, or ContentTabNone
    int32_t active;  // ContentTabNone: none
};

TabRow TabsFor(int32_t state)
{
    if (state <= StepFaceChosen)
        return {ContentTabSceneFace, ContentTabSceneFace};
    if (state <= StepPlaceFace)
        return {ContentTabNone, ContentTabNone};
    if (state <= StepAccessories)
        return {ContentTabAccessory, ContentTabAccessory};
    if (state <= StepBubble)
        return {ContentTabBubble, ContentTabBubble};
    return {ContentTabExport, ContentTabNone};
}

} // namespace

void Document::SetContentTabs(int32_t state)
{
    if (!g_shell || !g_shell->HasTabView() || state < StepStart || state > StepLastAccepted)
        return;
    const TabRow row = TabsFor(state);
    for (int32_t tab = 0; tab < ContentTabCount; ++tab)
        g_shell->ShowTab(tab, tab == row.shown);
    g_shell->SetActiveTab(row.active);
    // The shell's SetBrowserButtonText makes tab 0 active for a moment to reach its browser and then
    // puts the active tab back.
    if (state <= StepSceneChosen) {
        g_shell->SetFirstTabLabel(QStringLiteral("Scenes"));
        g_shell->SetBrowserButtonText(QStringLiteral("Load scene from PC..."));
    } else if (state <= StepFaceChosen) {
        g_shell->SetFirstTabLabel(QStringLiteral("Faces"));
        g_shell->SetBrowserButtonText(QStringLiteral("Load face from PC..."));
    }
}

int32_t Document::EnterStep(int32_t state, int32_t& brush, bool& hide)
{
    if (state == StepStart) {
        hide = true;
        return state;
    }
    if (state > step) {
        switch (state) {
        case StepChooseFace:
            SetViewMode(ViewModeCropLayer);
            SelectLayer(-1);
            LoadFromPcRequest = 1;  // the face browser opens its load-from-the-computer dialog
            return state;
        case StepSelectFace - 1:
            return StepSelectFace;
        case StepOutlineFace - 1:
            SetViewMode(ViewModePaintLayer);
            tool = ToolOutline;
            brush = OutlineBrushSize;
            return StepOutlineFace;
        case StepPlaceFace - 1:
            SetViewMode(ViewModeAllLayers);
            // With no face selected nothing is fitted.
            if (Layer* selected = GetSelectedLayer())
                selected->FitToBackground();
            return StepPlaceFace;
        case StepAccessories - 1:
            tool = ToolMoveResize;
            return StepAccessories;
        case StepBubble - 1:
            return StepBubble;
        default:
            return state;
        }
    }
    switch (state) {
    case StepSceneChosen:
        SetViewMode(ViewModeAllLayers);
        break;
    case StepSelectFace:
        SetViewMode(ViewModeCropLayer);
        break;
    case StepOutlineFace:
        SetViewMode(ViewModePaintLayer);
        tool = ToolOutline;
        brush = OutlineBrushSize;
        break;
    default:
        break;
    }
    return state;
}

void Document::SetStep(int32_t state, bool noTip)
{
    SetContentTabs(state);
    bool hide = false;
    const bool backToStart = state == StepStart && step != StepStart;
    if (state != step) {
        int32_t brush = brushSize;
        state = EnterStep(state, brush, hide);
        step = state;
        SetTitle(GetTitle());
        if (g_shell)
            g_shell->SetViewBrushSize(brush);
    }
    if (g_shell) {
        if (hide)
            g_shell->HideRightColumn();
        else
            g_shell->ShowRightColumn();
    }
    if (g_stepBar && state != StepStart)
        g_stepBar->SetStep(state, noTip);
    // Back at the start (the Start step undone, a new project after a walk), the bar would go on naming the
    // step it left while the window waits for Start: it shows the start's text and no step, without a tip
    // (the start's tips belong to a new project's start prompt).
    else if (g_stepBar && backToStart)
        g_stepBar->SetStep(StepStart, true);
}

void Document::OnNextStep()
{
    if (step != StepPlaceFace) {
        journal.AddStep(step + 1);
        return;
    }
    // Leaving the placing step deselects the face in the same undo step.
    journal.AddMark();
    journal.AddSelectLayer(-1);
    journal.AddStep(step + 1);
    journal.AddMark();
}

void Document::OnUpdateNextStep(platform::CommandUI& ui) const
{
    if (step == StepStart) {
        ui.SetText(QStringLiteral("Start"));
        ui.Enable(true);
    } else if (step == StepFinish) {
        ui.SetText(QStringLiteral("Done"));
        ui.Enable(false);
    } else {
        ui.SetText(QStringLiteral("Next"));
        ui.Enable(step % 2 == 0);  // the odd states wait for a scene or a face to load
    }
}
