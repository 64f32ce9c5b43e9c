#include "WizardFixture.h"

#include "support/TestFiles.h"
#include "support/TestLayer.h"
#include "support/TestPictures.h"

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

// States outside 0..16 leave the tabs as they are and have no entry actions; the rest applies.
TEST_F(WizardStepTest, StatesOutsideTheTableOnlyLeaveTheTabsAlone)
{
    SetUpFace();
    face->position = {1, 2};
    for (const int32_t state : {-2, 17}) {
        document.step = StepOutlineFace;
        document.viewMode = ViewModePaintLayer;
        document.tool = ToolOutline;
        LoadFromPcRequest = 0;
        shell.calls.clear();
        document.SetStep(state, false);
        EXPECT_EQ(document.step, state);
        EXPECT_EQ(document.viewMode, ViewModePaintLayer) << state;
        EXPECT_EQ(document.tool, ToolOutline) << state;
        EXPECT_EQ(document.selectedIndex, 0) << state;
        EXPECT_EQ(face->position, (PointF{1, 2})) << state;
        EXPECT_EQ(LoadFromPcRequest, 0) << state;
        EXPECT_EQ(shell.calls, (QStringList{"SetViewBrushSize 32", "ShowRightColumn",
                                            QStringLiteral("SetStepBarStep %1 0").arg(state)}));
    }
}

TEST_F(WizardStepTest, BackwardEntriesToOutlineAndToSceneChosen)
{
    struct Row {
        int32_t from, to, viewModeBefore, toolBefore, viewMode, tool, brushShown;
    };
    const Row rows[] = {
        {StepPlaceFace, StepOutlineFace, ViewModeAllLayers, ToolMoveResize, ViewModePaintLayer, ToolOutline, 16},
        {StepPlaceFace, StepOutlineFace, ViewModePaintLayer, ToolPaint, ViewModePaintLayer, ToolOutline, 16},
        {StepChooseFace, StepSceneChosen, ViewModeCropLayer, ToolCrop, ViewModeAllLayers, ToolMoveResize, 32},
        {StepChooseFace, StepSceneChosen, ViewModeAllLayers, ToolPaint, ViewModeAllLayers, ToolPaint, 32},
    };
    for (const Row& row : rows) {
        document.step = row.from;
        document.viewMode = row.viewModeBefore;
        document.tool = row.toolBefore;
        shell.calls.clear();
        document.SetStep(row.to, false);
        EXPECT_EQ(document.step, row.to);
        EXPECT_EQ(document.viewMode, row.viewMode) << row.to;
        EXPECT_EQ(document.tool, row.tool) << row.to;
        EXPECT_EQ(document.brushSize, 32);  // the view's brush is 16 while outlining; the setting stays
        EXPECT_TRUE(shell.calls.contains(QStringLiteral("SetViewBrushSize %1").arg(row.brushShown))) << row.to;
    }
}

TEST_F(WizardStepTest, EnteringThePlacingStepWithoutASelectionFitsNothing)
{
    SetUpFace();
    document.selectedIndex = -1;
    face->position = {10, 20};
    face->scale = {2, 2};
    document.step = StepOutlineFace;
    document.viewMode = ViewModePaintLayer;
    document.SetStep(StepPlaceFace - 1, false);
    EXPECT_EQ(document.step, StepPlaceFace);
    EXPECT_EQ(document.viewMode, ViewModeAllLayers);
    EXPECT_EQ(document.tool, ToolMoveResize);
    EXPECT_EQ(face->position, (PointF{10, 20}));
    EXPECT_EQ(face->scale, (PointF{2, 2}));
}

// A face file that cannot be used still moves the wizard on, and keeps the placeholder's size: at its
// own 1 x 1 size the "Load Failed." text was cut away and the layer was invisible.
TEST_F(WizardStepTest, RegressionAFaceThatIsNotAPictureShowsLoadFailed)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        bool cached;  // a face of the content library; otherwise the person's own file
    };
    const Case cases[] = {
        {"text renamed .jpg", "not a picture", false},
        {"an empty file", QByteArray(), false},
        {"a decompression bomb", PngClaiming(100000, 100000), false},
        {"a cached face that does not decode", "not a picture", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document.layers.DeleteAll();
        SetScene(std::make_unique<TestLayer>(LayerFlagsBackground, 0));
        document.scene->size = {800, 600};
        const QString file = c.cached ? paths.Get().cacheFolder + "Scenes/7.jpg" : paths.Get().dataFolder + "me.jpg";
        WriteFile(file, c.bytes);
        document.step = StepChooseFace;
        shell.calls.clear();
        Layer* layer = c.cached ? document.InsertLayer(LayerKindFace, 0, 0, QString(), QString(), 7, {})
                                : document.InsertLayer(LayerKindOwnFile, 0, 0, file, QString(), 0, {});
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->pendingTask, nullptr);
        EXPECT_EQ(layer->GetImage(), nullptr);
        EXPECT_EQ(document.step, StepFaceChosen);
        EXPECT_EQ(shell.calls.filter("SetStepBarStep").last(), QStringLiteral("SetStepBarStep 4 0"));
        EXPECT_EQ(layer->size, (PointF{512, 512}));
        EXPECT_EQ(layer->scale, (PointF{1.171875f, 1.171875f}));  // 0.5 x min(600, 800) / (512 x the 0.5 crop)
        EXPECT_EQ(layer->position, (PointF{400, 300}));
        // Its words stand inside its frame on the scene, a tenth of the frame high.
        const QRect words = DarkBounds(DrawnLayer(*layer, 800, 600, ViewModeAllLayers));
        EXPECT_TRUE(DocumentFrame(*layer).contains(words));
        EXPECT_GE(words.height(), 40);
        EXPECT_GT(words.width(), 4 * words.height());
    }
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
