#include "WizardFixture.h"

#include "support/TestLayer.h"

#include "engine/document/LoadFromPcRequest.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/DrawMode.h"

namespace {

// The calls that set the tabs for a row of the table: the one tab shown (-1: none) and the active one.
QStringList Tabs(int shown, int active)
{
    QStringList calls;
    for (int tab = 0; tab < 4; ++tab)
        calls << QStringLiteral("ShowTab %1 %2").arg(tab).arg(tab == shown);
    calls << QStringLiteral("SetActiveTab %1").arg(active);
    return calls;
}

class WizardStepTest : public WizardTest {
protected:
    // A scene 800 x 600 and a face 400 x 400 at index 0, selected.
    void SetUpFace()
    {
        SetScene(std::make_unique<TestLayer>(LayerFlagsBackground, 0));
        document.scene->size = {800, 600};
        face = Add(std::make_unique<TestLayer>(LayerFlagsFace, 0));
        face->name = QStringLiteral("Face 1");
        face->size = {400, 400};
        document.selectedIndex = 0;
    }
    Layer* face = nullptr;
};

TEST_F(WizardStepTest, NextStepFromEveryState)
{
    struct Row {
        int32_t from, to, viewMode, tool, brushShown, tabShown, tabActive;
    };
    const Row rows[] = {
        {0, 1, ViewModeAllLayers, 0, 32, 0, 0},
        {2, 3, ViewModeCropLayer, ToolCrop, 32, 0, 0},
        {4, 6, ViewModeCropLayer, ToolCrop, 32, -1, -1},  // 5 is an entry; the view stays as step 3 made it
        {6, 8, ViewModePaintLayer, ToolOutline, 16, -1, -1},
        {8, 10, ViewModeAllLayers, ToolMoveResize, 32, -1, -1},
        {10, 12, ViewModeAllLayers, ToolMoveResize, 32, 1, 1},
        {12, 14, ViewModeAllLayers, ToolMoveResize, 32, 2, 2},
        {14, 15, ViewModeAllLayers, ToolMoveResize, 32, 3, -1},
    };
    SetUpFace();
    document.step = 0;
    for (const Row& row : rows) {
        ASSERT_EQ(document.step, row.from);
        shell.calls.clear();
        document.OnNextStep();
        EXPECT_EQ(document.step, row.to) << row.from;
        EXPECT_EQ(document.viewMode, row.viewMode) << row.from;
        EXPECT_EQ(document.tool, row.tool) << row.from;
        EXPECT_EQ(shell.calls.mid(shell.calls.indexOf("ShowTab 0 " + QString::number(row.tabShown == 0)), 5),
                  Tabs(row.tabShown, row.tabActive)) << row.from;
        EXPECT_TRUE(shell.calls.contains(QStringLiteral("SetViewBrushSize %1").arg(row.brushShown))) << row.from;
        EXPECT_EQ(shell.calls.last(), QStringLiteral("SetStepBarStep %1 0").arg(row.to)) << row.from;
        EXPECT_EQ(document.brushSize, 32);
        if (row.to == 1)
            document.step = 2;  // set by the scene's loading
        if (row.to == 3) {
            EXPECT_EQ(document.selectedIndex, -1);
            EXPECT_EQ(LoadFromPcRequest, 1);
            LoadFromPcRequest = 0;
            document.selectedIndex = 0;  // the face a browser would add
            document.step = 4;           // set by its loading
        }
        if (row.to == 12)
            EXPECT_EQ(document.selectedIndex, -1);  // leaving the placing step deselects the face
    }
    // Entering step 5 fitted the selected face to the background: half the largest fit, centred.
    EXPECT_EQ(face->position, (PointF{400, 300}));
    EXPECT_EQ(face->scale, (PointF{0.75f, 0.75f}));
}

TEST_F(WizardStepTest, LeavingThePlacingStepIsOneUndoStep)
{
    SetUpFace();
    document.step = StepPlaceFace;
    document.OnNextStep();
    EXPECT_EQ(journal().GetPosition(), 16);  // mark, selection, step, mark
    const uint8_t* data = journal().GetData();
    EXPECT_EQ(std::vector<uint8_t>(data, data + 16),
              (std::vector<uint8_t>{0, 0, 0, 0, 2, 0, 1, 2, 1, 11, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(document.step, StepAccessories);
    EXPECT_EQ(document.selectedIndex, -1);

    journal().Undo();
    EXPECT_EQ(document.step, StepPlaceFace);
    EXPECT_EQ(document.selectedIndex, 0);
    EXPECT_FALSE(journal().CanUndo());
    journal().Redo();
    EXPECT_EQ(document.step, StepAccessories);
    EXPECT_EQ(document.selectedIndex, -1);
}

TEST_F(WizardStepTest, UndoFromOutlineReturnsToCropWithTheCropTool)
{
    SetUpFace();
    document.step = StepSelectFace;
    document.viewMode = ViewModeCropLayer;
    document.tool = ToolCrop;
    document.OnNextStep();
    ASSERT_EQ(document.step, StepOutlineFace);
    ASSERT_EQ(document.viewMode, ViewModePaintLayer);
    shell.calls.clear();
    journal().Undo();
    EXPECT_EQ(document.step, StepSelectFace);
    EXPECT_EQ(document.viewMode, ViewModeCropLayer);
    EXPECT_EQ(document.tool, ToolCrop);
    EXPECT_EQ(shell.calls, (Tabs(-1, -1) + QStringList{"SetViewBrushSize 32", "ShowRightColumn", "SetStepBarStep 6 0"}));

    journal().Redo();
    EXPECT_EQ(document.viewMode, ViewModePaintLayer);
    EXPECT_EQ(document.tool, ToolOutline);

}

TEST_F(WizardStepTest, TheCurrentStateOnlyRefreshesTabsColumnAndStepBar)
{
    SetUpFace();
    document.step = StepOutlineFace;
    document.viewMode = ViewModeCropLayer;  // not what step 8 would choose: it must stay
    document.tool = ToolPaint;
    document.SetTitle("Untitled");
    shell.calls.clear();
    document.SetStep(StepOutlineFace, true);
    EXPECT_EQ(shell.calls, (Tabs(-1, -1) + QStringList{"ShowRightColumn", "SetStepBarStep 8 1"}));
    EXPECT_EQ(document.viewMode, ViewModeCropLayer);
    EXPECT_EQ(document.tool, ToolPaint);

    // At state 0 the column is shown too, and the step bar is not told.
    document.step = StepStart;
    shell.calls.clear();
    document.SetStep(StepStart, false);
    EXPECT_EQ(shell.calls, (Tabs(0, 0) + QStringList{"SetFirstTabLabel Scenes",
                                                      "SetBrowserButtonText Load scene from PC...", "ShowRightColumn"}));
}

TEST_F(WizardStepTest, EnteringTheFaceChoiceBackwardKeepsSelectionAndRequest)
{
    SetUpFace();
    document.step = StepFaceChosen;
    LoadFromPcRequest = 0;
    document.SetStep(StepChooseFace, false);
    EXPECT_EQ(document.step, StepChooseFace);
    EXPECT_EQ(document.selectedIndex, 0);
    EXPECT_EQ(LoadFromPcRequest, 0);
    EXPECT_EQ(document.viewMode, ViewModeAllLayers);
}

TEST_F(WizardStepTest, NextStepTextAndEnabling)
{
    for (int32_t state = -1; state <= 16; ++state) {
        document.step = state;
        RecordedCommand command;
        document.OnUpdateNextStep(command);
        const QString text = state == 0 ? "Start" : state == 15 ? "Done" : "Next";
        const bool enabled = state == 0 || (state != 15 && state >= 0 && state % 2 == 0);
        EXPECT_EQ(command.text, text) << state;
        EXPECT_EQ(command.enabled, enabled) << state;
    }
}

} // namespace
