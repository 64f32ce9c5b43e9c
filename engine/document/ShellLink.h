#pragma once

#include <QString>
#include <cstdint>

class LayerList;

// What the document and its layers ask of the shell's windows: the main frame's content tabs and
// right-hand column, the step bar, the editing view's brush and the layers panel. The main frame
// installs itself as g_shell while it exists; without it these calls are skipped. An implementation
// skips a call whose pane does not exist (the step bar, the editing view, the layers panel).
class ShellLink {
public:
    // The content tab view: the tab calls are made only while it exists.
    virtual bool HasTabView() const = 0;
    virtual void ShowTab(int32_t index, bool show) = 0;
    virtual void SetActiveTab(int32_t index) = 0;  // -1: none
    virtual void SetFirstTabLabel(const QString& text) = 0;
    // The caption of the tab-0 browser's button that loads a picture from the computer.
    virtual void SetBrowserButtonText(const QString& text) = 0;

    virtual void ShowRightColumn() = 0;
    virtual void HideRightColumn() = 0;
    virtual void SetStepBarStep(int32_t state, bool noTip) = 0;
    virtual void SetViewBrushSize(int32_t size) = 0;
    // The layers panel: refill it from the list, then select the given index (-1: none).
    virtual void FillLayerList(const LayerList& layers, int32_t selectedIndex) = 0;

protected:
    ~ShellLink() = default;
};

extern ShellLink* g_shell;
