#pragma once

#include "engine/base/ProgramTimer.h"
#include "engine/document/ShellLink.h"

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <memory>

class AccessoryTree;
class BubbleTree;
class Document;
class DocumentView;
class LayerView;
class PaneSplitters;
class SceneTree;
class Settings;
class StepBar;
class StepPictures;
class TabView;
class ToolBar;
class QMenuBar;
namespace platform {
class CommandReceiver;
class CommandRouter;
} // namespace platform

// The program's one top-level window: the menu bar over the step pictures at the top, the tool bar docked
// on the left, the step bar at the bottom, and in the client area the editing view beside a right-hand
// column of the content tabs over the layers panel (PaneSplitters). The column is hidden while the
// wizard is at step 0. Its 32 ms task timer is the program's heartbeat: each tick runs the task list
// once, also while a modal dialog is up. It is the document's ShellLink (g_shell) while it lives.
//
//   CMainFrame frame(document, settings, router);
//   if (!frame.Create()) ...  // FailureText() says what is missing
class CMainFrame final : public QMainWindow, public ShellLink {
public:
    CMainFrame(Document& document, Settings& settings, platform::CommandRouter& router);
    ~CMainFrame() override;

    // Makes the bars, the tool bar and its buttons, the panes, the menus and keys, the frame's own
    // commands, and starts the task timer. False when a bar, the tool bar's pictures or a button's
    // picture is missing (every step still runs).
    bool Create();
    // What Create found missing, for the line start-up prints.
    const QString& FailureText() const { return m_failure; }

    // One tick of the task list, whatever the timer.
    void OnTimer();
    // Highlights step n (1 to 8) in the step pictures; 0 highlights none.
    void SetStepImages(int32_t n);
    void OnVisitSite();
    void OnOnlineHelp();
    // Exit: closes the window, which asks to save a modified project first.
    void OnAppExit();

    // ShellLink
    bool HasTabView() const override;
    void ShowTab(int32_t index, bool show) override;
    void SetActiveTab(int32_t index) override;
    void SetFirstTabLabel(const QString& text) override;
    void SetBrowserButtonText(const QString& text) override;
    void ShowRightColumn() override;
    void HideRightColumn() override;
    void SetViewBrushSize(int32_t size) override;
    void UpdateDialogControls() override;

    // The panes and bars.
    DocumentView* View() const { return m_view; }
    TabView* Tabs() const { return m_tabs; }
    SceneTree* Scenes() const { return m_scenes; }
    AccessoryTree* Accessories() const { return m_accessories; }
    BubbleTree* Bubbles() const { return m_bubbles; }
    LayerView* Layers() const { return m_layers; }
    PaneSplitters& Splitters() const { return *m_splitters; }
    ToolBar* Tools() const { return m_toolBar; }
    StepPictures* Pictures() const { return m_pictures; }
    // The band that holds the step pictures under the menu bar.
    QWidget* PicturesBand() const { return m_picturesBand; }
    // The menu bar (the frame's menu widget holds it: QMainWindow::menuBar() would make another one).
    QMenuBar* MenuBar() const { return m_menuBar; }
    StepBar* Steps() const { return m_stepBar; }
    const ProgramTimer& TaskTimer() const { return m_taskTimer; }

    // The address of one of the web site's pages ("" for the home page).
    static QString SitePage(const QString& page);
    static constexpr const char* HelpPage = "help2.html";
    static constexpr int32_t FrameWidth = 800;
    static constexpr int32_t FrameHeight = 600;

protected:
    // Closing asks to save a modified project; Cancel keeps the window open.
    void closeEvent(QCloseEvent* event) override;
    // No menu offering to hide the bars.
    QMenu* createPopupMenu() override { return nullptr; }
    // The step bar's text stays while a menu entry is highlighted or the mouse rests on a tool bar
    // button: their prompts are not shown on the status line (the tool bar's tooltips say the same).
    bool event(QEvent* event) override;

private:
    bool CreateBars();
    void CreateClient();
    void AddCommands();
    void ShowTitle(const QString& documentTitle);

    Document& m_document;
    Settings& m_settings;
    platform::CommandRouter& m_router;
    QString m_failure;

    // Owned by the window (Qt's parents).
    QMenuBar* m_menuBar = nullptr;
    QWidget* m_picturesBand = nullptr;
    StepPictures* m_pictures = nullptr;
    StepBar* m_stepBar = nullptr;
    ToolBar* m_toolBar = nullptr;
    DocumentView* m_view = nullptr;
    TabView* m_tabs = nullptr;
    SceneTree* m_scenes = nullptr;
    AccessoryTree* m_accessories = nullptr;
    BubbleTree* m_bubbles = nullptr;
    LayerView* m_layers = nullptr;
    std::unique_ptr<PaneSplitters> m_splitters;
    std::unique_ptr<platform::CommandReceiver> m_receiver;
    ProgramTimer m_taskTimer;
};
