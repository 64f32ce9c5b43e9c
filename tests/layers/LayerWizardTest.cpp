#include "support/RecordingShell.h"
#include "support/TestLayer.h"

#include "support/ScopedAppPaths.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/DrawMode.h"

#include <gtest/gtest.h>

namespace {

class LayerFitTest : public ::testing::Test {
protected:
    void SetScene(float width, float height)
    {
        document.scene = std::make_unique<TestLayer>(LayerFlagsBackground, 0);
        document.scene->size = {width, height};
    }
    Document document;
};

TEST_F(LayerFitTest, MovableLayerShowsItsCropAtHalfTheLargestFit)
{
    SetScene(800, 600);
    TestLayer layer(LayerFlagsFace, 0);
    layer.size = {400, 400};
    layer.scale = {-1, 1};  // mirrored: the fit drops it
    layer.FitToBackground();
    EXPECT_EQ(layer.scale, (PointF{0.75f, 0.75f}));  // 0.5 x min(600 / 400, 800 / 400)
    EXPECT_EQ(layer.position, (PointF{400, 300}));

    layer.cropTopLeft = {0.25f, 0.25f};
    layer.cropBottomRight = {0.75f, 0.75f};
    layer.FitToBackground();
    EXPECT_EQ(layer.scale, (PointF{1.5f, 1.5f}));  // the 200 x 200 crop
}

TEST_F(LayerFitTest, WithoutTheMoveFlagTheLayerIsOnlyCentred)
{
    SetScene(800, 600);
    TestLayer layer(LayerFlagsScenePhoto, 0);
    layer.size = {400, 400};
    layer.scale = {2, 3};
    layer.FitToBackground();
    EXPECT_EQ(layer.scale, (PointF{2, 3}));
    EXPECT_EQ(layer.position, (PointF{400, 300}));
}

TEST_F(LayerFitTest, ABackgroundLayerIsItsOwnReference)
{
    SetScene(800, 600);
    TestLayer layer(LayerFlagMove, 0);
    layer.size = {300, 200};
    layer.name = QStringLiteral("bAcKgRoUnD");
    layer.FitToBackground();
    EXPECT_EQ(layer.position, (PointF{150, 100}));
    EXPECT_EQ(layer.scale, (PointF{0.5f, 0.5f}));
}

TEST_F(LayerFitTest, WithoutASceneTheReferenceIsEmpty)
{
    TestLayer layer(LayerFlagsFace, 0);
    layer.size = {300, 200};
    layer.position = {10, 10};
    layer.FitToBackground();
    EXPECT_EQ(layer.position, (PointF{0, 0}));
    EXPECT_EQ(layer.scale, (PointF{0, 0}));
    // Such a layer is not hit and has no content bounds, rather than dividing by zero.
    EXPECT_FALSE(layer.HitTest({0, 0}, ViewModeAllLayers));
}

class LayerWizardTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_paths.IsValid()); }

    static void Loaded(const QString& path, int32_t flags = LayerFlagsBackground)
    {
        TestLayer layer(flags, 0);
        layer.path = path;
        layer.AdvanceWizard();
    }

    Document document;
    ScopedAppPaths m_paths;
};

TEST_F(LayerWizardTest, TheStartUpPictureNeverMovesTheWizardOn)
{
    RecordingShell shell;
    document.step = StepChooseScene;
    Loaded(g_paths->resourceFolder + "welcome.bki");
    EXPECT_EQ(document.step, StepChooseScene);
    EXPECT_TRUE(shell.calls.isEmpty());
    Loaded(g_paths->resourceFolder + "Welcome.bki");  // case counts
    EXPECT_EQ(document.step, StepSceneChosen);
}

TEST_F(LayerWizardTest, ASceneMovesStepOneToTwo)
{
    RecordingShell shell;
    document.step = StepChooseScene;
    Loaded(g_paths->cacheFolder + "BGs/0001.bki");
    EXPECT_EQ(document.step, StepSceneChosen);
    const QStringList tabs{"ShowTab 0 1", "ShowTab 1 0", "ShowTab 2 0", "ShowTab 3 0", "SetActiveTab 0",
                           "SetFirstTabLabel Scenes", "SetBrowserButtonText Load scene from PC..."};
    EXPECT_EQ(shell.calls, (tabs + QStringList{"SetViewBrushSize 32", "ShowRightColumn", "SetStepBarStep 2 0"}));
}

TEST_F(LayerWizardTest, AFaceMovesStepThreeToFourWithTheFaceTab)
{
    RecordingShell shell;
    document.step = StepChooseFace;
    document.brushSize = 48;
    document.SetTitle("Untitled");
    // A layer that is no face (a scene photo or background arriving late) does not choose one.
    Loaded("Scenes/9.jpg", LayerFlagsScenePhoto);
    Loaded("BGs/0009.bki");
    EXPECT_EQ(document.step, StepChooseFace);
    EXPECT_TRUE(shell.calls.isEmpty());
    Loaded("face.jpg", LayerFlagsFace);
    EXPECT_EQ(document.step, StepFaceChosen);
    const QStringList tabs{"ShowTab 0 1", "ShowTab 1 0", "ShowTab 2 0", "ShowTab 3 0", "SetActiveTab 0",
                           "SetFirstTabLabel Faces", "SetBrowserButtonText Load face from PC..."};
    EXPECT_EQ(shell.calls, (tabs + QStringList{"SetViewBrushSize 48", "ShowRightColumn", "SetStepBarStep 4 0"}));
    EXPECT_EQ(document.GetShownTitle(), QStringLiteral("Untitled"));

    // A second face finds step 4: the tabs, the column and the step bar again, no brush.
    shell.calls.clear();
    Loaded("face2.jpg", LayerFlagsFace);
    EXPECT_EQ(document.step, StepFaceChosen);
    EXPECT_EQ(shell.calls, (tabs + QStringList{"ShowRightColumn", "SetStepBarStep 4 0"}));

    // Any other layer that arrives at step 4 (a late scene background) leaves the interface alone.
    shell.calls.clear();
    Loaded("BGs/0001.bki");
    EXPECT_EQ(document.step, StepFaceChosen);
    EXPECT_TRUE(shell.calls.isEmpty());
}

TEST_F(LayerWizardTest, MissingPanesAreSkipped)
{
    {
        RecordingShell shell(false);
        document.step = StepChooseFace;
        Loaded("face.jpg", LayerFlagsFace);
        EXPECT_EQ(shell.calls, (QStringList{"SetViewBrushSize 32", "ShowRightColumn", "SetStepBarStep 4 0"}));
    }
    document.step = StepChooseFace;
    Loaded("face.jpg", LayerFlagsFace);  // no shell at all
    EXPECT_EQ(document.step, StepFaceChosen);
}

TEST_F(LayerWizardTest, OtherStepsAreLeftAlone)
{
    RecordingShell shell;
    for (const int32_t step : {Document::StepEmpty, StepStart, StepSceneChosen, StepSelectFace, StepFinish}) {
        document.step = step;
        Loaded("x.jpg");
        EXPECT_EQ(document.step, step);
    }
    EXPECT_TRUE(shell.calls.isEmpty());
}

} // namespace
