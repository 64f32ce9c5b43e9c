#include "DocumentFixture.h"

#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerImage.h"

namespace {

class DocumentStateTest : public DocumentTest {};

TEST_F(DocumentStateTest, StartsEmptyWithTheInitialEditingState)
{
    EXPECT_EQ(g_document, &document);
    EXPECT_EQ(ApplicationLink::m_document, &document);
    EXPECT_TRUE(document.layers.IsEmpty());
    EXPECT_TRUE(document.parkedLayers.IsEmpty());
    EXPECT_EQ(document.scene, nullptr);
    EXPECT_EQ(document.selectedIndex, -1);
    EXPECT_EQ(document.step, -1);
    EXPECT_EQ(document.viewMode, 32802);
    EXPECT_EQ(document.tool, 0);
    EXPECT_EQ(document.brushSize, 32);
    EXPECT_TRUE(document.lockResizeRatio);
    EXPECT_FALSE(document.startPromptShown);
    EXPECT_FALSE(document.IsModified());
}

TEST_F(DocumentStateTest, DeleteContentsKeepsTheBrushTheRatioLockAndThePromptFlag)
{
    AddLayer(QStringLiteral("Face 1"));
    document.selectedIndex = 0;
    document.step = 12;
    document.viewMode = ViewModePaintLayer;
    document.tool = ToolErase;
    document.brushSize = 48;
    document.lockResizeRatio = false;
    document.startPromptShown = true;
    document.DeleteContents();
    EXPECT_TRUE(document.layers.IsEmpty());
    EXPECT_EQ(document.selectedIndex, -1);
    EXPECT_EQ(document.step, -1);
    EXPECT_EQ(document.viewMode, ViewModeAllLayers);
    EXPECT_EQ(document.tool, 0);
    EXPECT_EQ(document.brushSize, 48);
    EXPECT_FALSE(document.lockResizeRatio);
    EXPECT_TRUE(document.startPromptShown);
}

TEST_F(DocumentStateTest, TheFrameShowsOneStarWhileModified)
{
    document.SetTitle(QStringLiteral("Party.smg"));
    EXPECT_EQ(document.GetShownTitle(), QStringLiteral("Party.smg"));
    document.SetModifiedFlag(true);
    EXPECT_EQ(document.GetShownTitle(), QStringLiteral("Party.smg*"));
    EXPECT_EQ(document.GetTitle(), QStringLiteral("Party.smg"));
    document.SetTitle(document.GetTitle());
    document.SetTitle(document.GetTitle());
    EXPECT_EQ(document.GetShownTitle(), QStringLiteral("Party.smg*"));
    document.SetModifiedFlag(false);
    EXPECT_EQ(document.GetShownTitle(), QStringLiteral("Party.smg"));
}

TEST_F(DocumentStateTest, ClearingTheModifiedFlagMarksTheJournalPositionSaved)
{
    AddLayer(QStringLiteral("Face 1"));
    document.selectedIndex = 0;
    document.journal.AddMove(1, 1);
    EXPECT_EQ(document.journal.GetSavedPosition(), 0);
    document.SetModifiedFlag(false);  // no change of the flag, the position is saved all the same
    EXPECT_EQ(document.journal.GetSavedPosition(), 16);
    document.SetModifiedFlag(true);
    EXPECT_EQ(document.journal.GetSavedPosition(), 16);
}

TEST_F(DocumentStateTest, SelectingTheSelectedIndexChangesNothing)
{
    AddLayer(QStringLiteral("Face 1"));
    document.SelectLayer(0);
    shell.calls.clear();
    document.SelectLayer(0);
    EXPECT_TRUE(shell.calls.isEmpty());
}

TEST_F(DocumentStateTest, SelectingFromStepFiveReturnsToAllLayers)
{
    AddLayer(QStringLiteral("Face 1"));
    AddLayer(QStringLiteral("Face 2"));
    document.step = 4;
    document.viewMode = ViewModeCropLayer;
    document.tool = ToolCrop;
    document.SelectLayer(0);
    EXPECT_EQ(document.viewMode, ViewModeCropLayer);
    EXPECT_EQ(document.tool, ToolCrop);

    document.step = 6;
    document.viewMode = ViewModePaintLayer;
    document.tool = ToolOutline;
    document.SelectLayer(1);
    EXPECT_EQ(document.viewMode, ViewModeAllLayers);
    EXPECT_EQ(document.tool, ToolMoveResize);
    EXPECT_EQ(document.selectedIndex, 1);

    document.SelectLayer(5);  // stored as it is: no layer is selected then
    EXPECT_EQ(document.selectedIndex, 5);
    EXPECT_EQ(document.GetSelectedLayer(), nullptr);
}

TEST_F(DocumentStateTest, CanSelectLayerFollowsTheStep)
{
    AddLayer(QStringLiteral("Scene"), LayerFlagsScenePhoto);
    AddLayer(QStringLiteral("Face 2"));
    AddLayer(QStringLiteral("Text 1"), LayerFlagsBubble);
    AddLayer(QStringLiteral("Hat 1"), LayerFlagsAccessory);
    AddLayer(QStringLiteral("face 3"));  // case counts
    auto selectable = [&] {
        std::vector<bool> out;
        for (int32_t i = -1; i <= 5; ++i)
            out.push_back(document.CanSelectLayer(i));
        return out;
    };
    document.step = 3;
    EXPECT_EQ(selectable(), (std::vector<bool>{false, false, false, false, false, false, false}));
    for (int32_t step : {4, 8, 11}) {
        document.step = step;
        EXPECT_EQ(selectable(), (std::vector<bool>{false, true, true, false, false, false, false})) << step;
    }
    for (int32_t step : {12, 13}) {
        document.step = step;
        EXPECT_EQ(selectable(), (std::vector<bool>{false, false, false, false, true, false, false})) << step;
    }
    document.step = 14;
    EXPECT_EQ(selectable(), (std::vector<bool>{false, false, false, true, false, false, false}));
    for (int32_t step : {15, 16}) {
        document.step = step;
        EXPECT_EQ(selectable(), (std::vector<bool>{false, true, true, true, true, true, false})) << step;
    }
}

TEST_F(DocumentStateTest, RegressionAStoredSelectionIsCheckedAgainstTheList)
{
    AddLayer(QStringLiteral("Face 1"));
    AddLayer(QStringLiteral("Face 2"));
    document.SetStoredSelection(1);
    EXPECT_EQ(document.selectedIndex, 1);
    document.SetStoredSelection(2);
    EXPECT_EQ(document.selectedIndex, -1);
    document.SetStoredSelection(-7);
    EXPECT_EQ(document.selectedIndex, -1);
    document.SetStoredSelection(0);
    EXPECT_EQ(document.selectedIndex, 0);
}

TEST_F(DocumentStateTest, NextLayerNumberReadsTheNumbersAfterThePrefix)
{
    EXPECT_EQ(document.NextLayerNumber(QStringLiteral("Text")), 1);
    AddLayer(QStringLiteral("Text 1"));
    AddLayer(QStringLiteral("Text 7"));
    AddLayer(QStringLiteral("text 20"));
    AddLayer(QStringLiteral("Face 3"));
    EXPECT_EQ(document.NextLayerNumber(QStringLiteral("Text")), 8);
    EXPECT_EQ(document.NextLayerNumber(QStringLiteral("Face")), 4);
    document.layers.DeleteAll();
    AddLayer(QStringLiteral("Text"));
    EXPECT_EQ(document.NextLayerNumber(QStringLiteral("Text")), 1);  // no number counts as 0
    AddLayer(QStringLiteral("Text   12b"));
    EXPECT_EQ(document.NextLayerNumber(QStringLiteral("Text")), 13);
}

TEST_F(DocumentStateTest, StartsWithComparesWithCase)
{
    EXPECT_TRUE(StartsWith(QStringLiteral("Face"), QStringLiteral("Face 1")));
    EXPECT_TRUE(StartsWith(QString(), QStringLiteral("x")));
    EXPECT_FALSE(StartsWith(QStringLiteral("Face"), QStringLiteral("face 1")));
    EXPECT_FALSE(StartsWith(QStringLiteral("Face 12"), QStringLiteral("Face 1")));
}

TEST_F(DocumentStateTest, TheWorkAreaIsTheActiveLayersSize)
{
    EXPECT_EQ(document.GetActiveLayer(), nullptr);
    EXPECT_EQ(document.GetWorkWidth(), 0);
    EXPECT_EQ(document.GetWorkHeight(), 0);

    document.scene = std::make_unique<LayerImage>(QString(), LayerFlagsBackground, 0);
    document.scene->size = {800.9f, 600.5f};
    Layer* face = AddLayer(QStringLiteral("Face 1"));
    face->size = {400, 300};
    face->cropTopLeft = {0.25f, 0.125f};
    face->cropBottomRight = {0.75f, 0.875f};
    document.selectedIndex = 0;

    EXPECT_EQ(document.GetActiveLayer(), document.scene.get());
    EXPECT_EQ(document.GetWorkWidth(), 800);
    EXPECT_EQ(document.GetWorkHeight(), 600);
    document.viewMode = ViewModeCropLayer;
    EXPECT_EQ(document.GetActiveLayer(), face);
    EXPECT_EQ(document.GetWorkWidth(), 400);
    EXPECT_EQ(document.GetWorkHeight(), 300);
    document.viewMode = ViewModePaintLayer;
    EXPECT_EQ(document.GetWorkWidth(), 200);
    EXPECT_EQ(document.GetWorkHeight(), 225);
    document.selectedIndex = -1;
    EXPECT_EQ(document.GetWorkWidth(), 0);
}

TEST_F(DocumentStateTest, AViewModeBringsItsDefaultTool)
{
    document.tool = ToolRotate;
    document.SetViewMode(ViewModeAllLayers);  // unchanged mode: nothing
    EXPECT_EQ(document.tool, ToolRotate);
    document.SetViewMode(ViewModeCropLayer);
    EXPECT_EQ(document.tool, ToolCrop);
    document.SetViewMode(ViewModePaintLayer);
    EXPECT_EQ(document.tool, ToolErase);
    document.SetViewMode(ViewModeAllLayers);
    EXPECT_EQ(document.tool, ToolMoveResize);
    EXPECT_EQ(document.viewMode, ViewModeAllLayers);
}

// A view that answers the run-time class test as the editing view.
class EditingViewStandIn final : public DocumentObserver {
public:
    void OnUpdate(DocumentObserver*, int32_t, const Rect*) override {}
    DocumentView* AsDocumentView() override { return reinterpret_cast<DocumentView*>(&marker); }
    int marker = 0;
};

TEST_F(DocumentStateTest, GetViewFindsTheEditingViewAmongTheViews)
{
    EXPECT_EQ(document.GetView(), nullptr);  // only the hint counter
    EditingViewStandIn view;
    document.AddView(&view);
    EXPECT_EQ(document.GetView(), reinterpret_cast<DocumentView*>(&view.marker));
    document.RemoveView(&view);
    EXPECT_EQ(document.GetView(), nullptr);
}

TEST_F(DocumentStateTest, ViewsRemovedDuringAnUpdateAreNotTold)
{
    HintCounter second(document);
    hints.onUpdate = [&] { document.RemoveView(&second); };
    document.UpdateAllViews(nullptr, HintRedraw);
    EXPECT_EQ(hints.redraws, 1);
    EXPECT_EQ(second.redraws, 0);
    document.UpdateAllViews(&hints, HintRedraw);  // the sender is not told
    EXPECT_EQ(hints.redraws, 1);
}

TEST_F(DocumentStateTest, EntryStatesStoreTheStateAfterThemGoingForward)
{
    for (int32_t entry : {5, 7, 9, 11, 13}) {
        document.step = entry - 1;
        document.SetStep(entry, true);
        EXPECT_EQ(document.step, entry + 1) << entry;
    }
    document.step = 15;
    document.SetStep(14, false);
    EXPECT_EQ(document.step, 14);
    shell.calls.clear();
    document.SetStep(StepStart, false);
    EXPECT_EQ(shell.calls, (QStringList{"ShowTab 0 1", "ShowTab 1 0", "ShowTab 2 0", "ShowTab 3 0", "SetActiveTab 0",
                                        "SetFirstTabLabel Scenes", "SetBrowserButtonText Load scene from PC...",
                                        "SetViewBrushSize 32", "HideRightColumn", "SetStepBarStep 0 1"}));
}

// Undoing Start left the step bar naming step 1 ("Step 1: Choose a Background Scene.", its picture
// highlighted) over the start picture, with the scene browser hidden and the tool bar offering Start.
TEST_F(DocumentStateTest, RegressionUndoingStartShowsTheStartOnTheStepBarWithoutATip)
{
    ASSERT_TRUE(journal.AddStep(StepChooseScene));
    EXPECT_EQ(document.step, StepChooseScene);
    shell.calls.clear();
    journal.Undo();
    EXPECT_EQ(document.step, StepStart);
    EXPECT_TRUE(shell.calls.contains("SetStepBarStep 0 1")) << shell.calls.join(", ").toStdString();
    // A state that stays at the start tells the bar nothing: the new project's start prompt owns it.
    shell.calls.clear();
    document.SetStep(StepStart, false);
    EXPECT_FALSE(shell.calls.contains("SetStepBarStep 0 1"));
}

} // namespace
