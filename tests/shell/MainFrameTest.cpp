// The program as main starts it (SnapmingleApplication), in this process, against the generated sample
// library on a loopback content server of its own: start-up, the main window's panes and links, the wizard's first
// steps through the real tool bar, browsers and keys, and shut-down.
#include "ShellTestSupport.h"

#include "engine/base/TaskList.h"
#include "engine/document/CommandId.h"
#include "engine/document/DocumentDialogLink.h"
#include "engine/document/PictureDialogLink.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "engine/view/DocumentView.h"
#include "engine/view/SharedCursors.h"
#include "library/browser/AccessoryTree.h"
#include "library/browser/BrowserLayout.h"
#include "library/browser/SceneTree.h"
#include "platform/ui/CommandRouter.h"
#include "shell/LayerView.h"
#include "shell/MainFrame.h"
#include "shell/PaneSplitters.h"
#include "shell/SnapmingleApplication.h"
#include "shell/Splitter.h"
#include "shell/StepBar.h"
#include "shell/StepPictures.h"
#include "shell/TabView.h"
#include "shell/ToolBar.h"
#include "support/ProgramSession.h"

#include <QDesktopServices>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// The compiled-in pictures' registration (rcc --name art).
int qInitResources_art();
int qCleanupResources_art();

namespace {

// Collects the addresses the program asks the desktop to open.
class UrlCatcher final : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "Open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    QStringList opened;
public slots:
    void Open(const QUrl& url) { opened << url.toString(); }
};

// Counts the task-list ticks that reach it.
class CountingTask final : public TaskNode {
public:
    explicit CountingTask(int& runs) : TaskNode(TaskPriorityLayer), m_runs(runs) {}
    bool Run() override { return ++m_runs, true; }

private:
    int& m_runs;
};

class MainFrameTest : public ProgramTest {
protected:
    QString BaseUrl() { return session.Library().BaseUrl(); }
};

TEST_F(MainFrameTest, AnEmptyCacheStartsInThreeProgressDialogsThenTheWindowWithItsPanesLinked)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(progressDialogs, 3);

    // Shown at 800 x 600, a new project at step 0 with the column hidden and the start prompt.
    CMainFrame& frame = Frame();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(frame.size(), QSize(CMainFrame::FrameWidth, CMainFrame::FrameHeight));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Untitled - Snapmingle"));
    EXPECT_EQ(frame.windowIcon().availableSizes().size(), 3);
    EXPECT_EQ(g_document->step, StepStart);
    EXPECT_FALSE(frame.Splitters().IsRightColumnShown());
    EXPECT_FALSE(frame.Tabs()->isVisible());
    EXPECT_EQ(frame.Splitters().Outer().handle(1)->cursor().shape(), Qt::ArrowCursor);  // locked
    EXPECT_EQ(frame.Steps()->Text(), QStringLiteral("Please press Start."));
    EXPECT_EQ(person.shown, (QStringList{"Help Tip: tip 1", "Help Tip: tip 2"}));
    EXPECT_EQ(frame.Pictures()->Highlighted(), 0);
    EXPECT_TRUE(frame.TaskTimer().IsActive());

    // Every link the engine reaches the window by.
    EXPECT_EQ(g_shell, &frame);
    EXPECT_EQ(g_stepBar, frame.Steps());
    EXPECT_EQ(g_layerView, frame.Layers());
    EXPECT_EQ(g_document->GetView(), frame.View());
    EXPECT_EQ(g_document->GetEditingView(), static_cast<EditingViewLink*>(frame.View()));
    EXPECT_NE(g_documentDialogs, nullptr);
    EXPECT_NE(g_pictureDialog, nullptr);
    EXPECT_TRUE(g_cursors && g_cursors->Loaded());
    EXPECT_TRUE(frame.View()->editText);
    EXPECT_EQ(frame.Tabs()->TabLabel(3), QStringLiteral("Export"));
    // The menu: six menus, the frame's own commands among them.
    EXPECT_EQ(frame.MenuBar()->actions().size(), 6);
    EXPECT_TRUE(App()->Commands().Query(CommandId::VisitSite).enabled);
    EXPECT_TRUE(App()->Commands().Query(CommandId::Exit).enabled);
    SaveGrab(frame, "frame-start");
}

TEST_F(MainFrameTest, StartShowsTheColumnAndABrowserClickChoosesTheScene)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    person.shown.clear();

    session.PressNextStep();
    EXPECT_EQ(g_document->step, StepChooseScene);
    EXPECT_EQ(person.shown, QStringList{"Step 1 Help Tip: tip 3"});
    ASSERT_TRUE(Settle([&] { return frame.Splitters().Outer().sizes().value(1) == PaneSplitters::RightColumnWidth; }));
    EXPECT_EQ(frame.Splitters().Inner().sizes().value(0), PaneSplitters::TabViewHeight);
    EXPECT_EQ(frame.Tabs()->ActiveView(), frame.Scenes());
    EXPECT_EQ(frame.Tabs()->TabLabel(0), QStringLiteral("Scenes"));
    EXPECT_EQ(frame.Scenes()->LoadButton()->text(), QStringLiteral("Load scene from PC..."));
    EXPECT_TRUE(frame.Scenes()->isEnabled());  // the initial update and the step decide
    EXPECT_FALSE(frame.Accessories()->isEnabled());

    SaveGrab(frame, "frame-step1");

    // A thumbnail click replaces the scene; the picture arrives through the frame's task timer.
    session.ClickThumbnail(*frame.Scenes(), 0);
    const int32_t chosen = frame.Scenes()->SelectedItem();
    ASSERT_NE(g_document->scene, nullptr);
    EXPECT_EQ(g_document->scene->number, frame.Scenes()->GetCatalog().items[static_cast<size_t>(chosen)].first);
    ASSERT_TRUE(Settle([] { return g_document->step == StepSceneChosen; }));
    EXPECT_EQ(frame.Steps()->Text(), QStringLiteral("Step 1: Choose another Background Scene or Click Next."));
}

TEST_F(MainFrameTest, NextStepBlinksAndTheTaskListTicksUnderAHelpTip)
{
    int runs = 0;
    auto* counter = new CountingTask(runs);  // the list owns it
    const std::unique_ptr<CountingTask, void (*)(CountingTask*)> ending(counter, [](CountingTask* task) {
        TaskNode::Dispose(task);
    });
    person.duringTip = [&](Tutor&) {
        const int before = runs;
        EXPECT_TRUE(Settle([&] { return runs > before + 1; }));
    };
    ASSERT_TRUE(Start());
    EXPECT_FALSE(person.shown.isEmpty());
    person.duringTip = nullptr;

    // The blink timer gives Next Step its highlighted picture and its own one in turn.
    ToolBar& tools = *Frame().Tools();
    const int32_t next = tools.CommandToIndex(CommandId::NextStep);
    ASSERT_TRUE(Settle([&] { return tools.ButtonPicture(next) == ToolBar::NextStepHighlightPicture; }));
    ASSERT_TRUE(Settle([&] { return tools.ButtonPicture(next) == ToolBar::NextStepPicture; }));
}

TEST_F(MainFrameTest, AProjectOnTheCommandLineOpensAtItsStepWithItsTipOverTheWindow)
{
    const QString project = SavedProject("saved.smg");
    ASSERT_TRUE(Start({project}));
    CMainFrame& frame = Frame();
    EXPECT_EQ(g_document->step, StepFinish);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("saved.smg - Snapmingle"));
    EXPECT_TRUE(frame.Splitters().IsRightColumnShown());
    EXPECT_TRUE(frame.Tabs()->IsTabShown(3));
    EXPECT_FALSE(frame.Tabs()->IsTabShown(0));
    // The stored step's tip comes once the window is on the screen, not before it.
    EXPECT_TRUE(person.shown.isEmpty());
    ASSERT_TRUE(Settle([&] { return !person.shown.isEmpty(); }));
    EXPECT_EQ(person.shown, QStringList{"Step 8 Help Tip: tip 10"});
    EXPECT_FALSE(frame.Steps()->HasWaitingTip());
}

TEST_F(MainFrameTest, TheWebPagesAreOursAndAnUnmodifiedProjectClosesWithoutAQuestion)
{
    ASSERT_TRUE(Start());
    person.shown.clear();
    UrlCatcher urls;
    EXPECT_TRUE(App()->Commands().Run(CommandId::OnlineHelp));
    EXPECT_TRUE(App()->Commands().Run(CommandId::VisitSite));
    EXPECT_EQ(urls.opened, (QStringList{BaseUrl() + "help2.html", BaseUrl()}));
    EXPECT_TRUE(Frame().close());
    EXPECT_TRUE(person.shown.isEmpty());
}

TEST_F(MainFrameTest, RegressionAFrameWithoutItsPicturesEndsStartUpSayingWhy)
{
    qCleanupResources_art();
    SnapmingleApplication failing(session.MakeOptions());
    testing::internal::CaptureStderr();
    const int code = failing.Run();
    const std::string error = testing::internal::GetCapturedStderr();
    qInitResources_art();
    EXPECT_EQ(code, Application::StartFailedExitCode);
    EXPECT_EQ(failing.Frame(), nullptr);
    EXPECT_EQ(g_shell, nullptr);
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    EXPECT_NE(error.find("the main window could not be made: the step pictures, the tool bar's pictures"),
              std::string::npos)
        << error;
}

} // namespace

#include "MainFrameTest.moc"
