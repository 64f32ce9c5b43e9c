#pragma once

#include <QString>
#include <cstdint>

// The main window's content tabs, by their index in the tab view.
inline constexpr int32_t ContentTabSceneFace = 0;  // the scene browser, which also lists the faces
inline constexpr int32_t ContentTabAccessory = 1;
inline constexpr int32_t ContentTabBubble = 2;
inline constexpr int32_t ContentTabExport = 3;
inline constexpr int32_t ContentTabCount = 4;
inline constexpr int32_t ContentTabNone = -1;

// What the document and its layers ask of the main window: its content tabs, its right-hand column,
// the editing view's brush and the enabling of its controls. The main frame installs itself as g_shell
// while it exists; without it these calls are skipped. An implementation skips a call whose pane does
// not exist (the editing view). The layers panel and the step bar have links of their own.
class ShellLink {
public:
    // The content tab view: the tab calls are made only while it exists.
    virtual bool HasTabView() const = 0;
    virtual void ShowTab(int32_t index, bool show) = 0;
    virtual void SetActiveTab(int32_t index) = 0;  // ContentTabNone: none
    virtual void SetFirstTabLabel(const QString& text) = 0;
    // The caption of the tab-0 browser's button that loads a picture from the computer.
    virtual void SetBrowserButtonText(const QString& text) = 0;

    virtual void ShowRightColumn() = 0;
    virtual void HideRightColumn() = 0;
    virtual void SetViewBrushSize(int32_t size) = 0;
    // Updates the enabling of the main window's child controls through the document's enabling
    // handlers, leaving controls without a handler enabled.
    virtual void UpdateDialogControls() = 0;

protected:
    ~ShellLink() = default;
};

extern ShellLink* g_shell;
