#include "CommandsFixture.h"

#include "engine/document/CommandId.h"
#include "engine/document/JournalKind.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerKind.h"

namespace {

class EditCommandsTest : public CommandsTest {
protected:
    // A face selected at state 15 in the All Layers view, the scene photo behind it.
    Layer* SelectedFace()
    {
        Add("Scene 1", LayerFlagsScenePhoto);
        Layer* face = Add("Face 1", LayerFlagsFace);
        At(StepFinish, 1);
        return face;
    }
    // The names of the layers, back to front, with the selected one marked "*".
    QString Names() const
    {
        QStringList names;
        for (int32_t i = 0; i < document.layers.GetCount(); ++i)
            names << document.layers.GetAt(i)->name + (i == document.selectedIndex ? "*" : "");
        return names.join(u' ');
    }
};

TEST_F(EditCommandsTest, StepCommandsAppendOneRecordEachTime)
{
    struct Row {
        int32_t id;
        int times;
        PointF scaleBefore;
        PointF position;  // after
        PointF scale;
        Angle angle;
        uint8_t kind;
    };
    const Row rows[] = {
        {CommandId::MoveLeft, 1, {1, 1}, {-1, 0}, {1, 1}, 0, JournalMove},
        {CommandId::MoveRight, 2, {1, 1}, {2, 0}, {1, 1}, 0, JournalMove},
        {CommandId::MoveUp, 1, {1, 1}, {0, -1}, {1, 1}, 0, JournalMove},
        {CommandId::MoveDown, 3, {1, 1}, {0, 3}, {1, 1}, 0, JournalMove},
        {CommandId::RotateRight, 3, {1, 1}, {0, 0}, {1, 1}, 546, JournalRotate},
        {CommandId::RotateLeft, 1, {1, 1}, {0, 0}, {1, 1}, 65536 - 182, JournalRotate},
        {CommandId::IncreaseSize, 1, {1, 1}, {0, 0}, {1.1f, 1.1f}, 0, JournalScale},
        {CommandId::IncreaseSize, 1, {-1, 1}, {0, 0}, {-0.9f, 1.1f}, 0, JournalScale},  // mirrored
        {CommandId::DecreaseSize, 2, {1, 1}, {0, 0}, {0.8f, 0.8f}, 0, JournalScale},
        {CommandId::Flip, 1, {2, 3}, {0, 0}, {-2, 3}, 0, JournalScale},
        {CommandId::Flip, 2, {2, 3}, {0, 0}, {2, 3}, 0, JournalScale},  // and back
    };
    for (const Row& row : rows) {
        document.layers.DeleteAll();
        journal.Reset();
        Layer* face = SelectedFace();
        face->scale = row.scaleBefore;
        for (int i = 0; i < row.times; ++i)
            ASSERT_TRUE(router.Run(row.id)) << row.id;
        EXPECT_EQ(face->position, row.position) << row.id;
        EXPECT_FLOAT_EQ(face->scale.x, row.scale.x) << row.id;
        EXPECT_FLOAT_EQ(face->scale.y, row.scale.y) << row.id;
        EXPECT_EQ(face->angle, row.angle) << row.id;
        EXPECT_EQ(RecordKinds(), std::vector<int>(row.times, row.kind)) << row.id;
        // Each press is its own undo step.
        journal.Undo();
        EXPECT_EQ(RecordKinds().size(), static_cast<size_t>(row.times - 1)) << row.id;
    }
}

TEST_F(EditCommandsTest, RotationStepIsJustUnderADegree)
{
    EXPECT_EQ(Document::RotationStep(), 182);
}

TEST_F(EditCommandsTest, DeleteSelectsTheNeighbourTheWizardAllows)
{
    struct Row {
        const char* what;
        int32_t state;
        int32_t middleFlags;
        int32_t selected;
        QString after;  // names back to front, the selected one starred
    };
    const Row rows[] = {
        {"front-most at 15", StepFinish, LayerFlagsFace, 2, "Hat 1 Face 1*"},
        {"front-most, middle not selectable", StepAccessories, LayerFlagsFace, 2, "Hat 1 Face 1"},
        {"back-most at 15", StepFinish, LayerFlagsFace, 0, "Face 1* Hat 2"},
        {"back-most, next not selectable", StepAccessories, LayerFlagsFace, 0, "Face 1 Hat 2"},
        {"middle at 12", StepAccessories, LayerFlagsAccessory, 1, "Hat 1 Hat 2*"},
    };
    for (const Row& row : rows) {
        document.layers.DeleteAll();
        document.parkedLayers.DeleteAll();
        journal.Reset();
        shell.calls.clear();
        prompts.shown.clear();
        Add("Hat 1", LayerFlagsAccessory);
        Add("Face 1", row.middleFlags);
        Add("Hat 2", LayerFlagsAccessory);
        At(row.state, row.selected);
        const QString before = Names();
        const QString selectedName = document.GetSelectedLayer()->name;
        prompts.answer = platform::DocumentPrompts::Answer::No;
        ASSERT_TRUE(router.Run(CommandId::DeleteLayer)) << row.what;
        EXPECT_EQ(Names(), before) << row.what;
        EXPECT_TRUE(RecordKinds().empty()) << row.what;

        prompts.answer = platform::DocumentPrompts::Answer::Yes;
        ASSERT_TRUE(router.Run(CommandId::DeleteLayer)) << row.what;
        EXPECT_EQ(Names(), row.after) << row.what;
        EXPECT_EQ(RecordKinds(), (std::vector<int>{JournalMark, JournalSelectLayer, JournalDeleteLayer, JournalMark}))
            << row.what;
        EXPECT_EQ(prompts.shown.value(0),
                  QStringLiteral("Delete the layer \"%1\"?").arg(selectedName))
            << row.what;
        EXPECT_EQ(shell.calls.filter("SelectLayer").last(), QStringLiteral("SelectLayer %1").arg(document.selectedIndex))
            << row.what;
        journal.Undo();  // one step brings the layer and its selection back
        EXPECT_EQ(Names(), before) << row.what;
    }
}

TEST_F(EditCommandsTest, SelectLayerCommandsNeedALayerAtTheirIndex)
{
    struct Row {
        int layers;
        int32_t state;
        bool enabled;
        int32_t selectedAfter;
    };
    const Row rows[] = {
        {4, StepFinish, true, 1},   // enabled, but there is no layer 5
        {6, StepFinish, true, 5},
        {6, StepBubble, false, 1},  // only from the finish on
    };
    for (const Row& row : rows) {
        document.layers.DeleteAll();
        journal.Reset();
        for (int i = 0; i < row.layers; ++i)
            Add(QStringLiteral("Face %1").arg(i + 1), LayerFlagsFace);
        At(row.state, 1);
        const platform::CommandState state = Ask(CommandId::SelectLayerFirst + 5);
        EXPECT_EQ(state.enabled, row.enabled) << row.layers;
        EXPECT_FALSE(state.checked.value_or(true)) << row.layers;
        EXPECT_TRUE(Ask(CommandId::SelectLayerFirst + 1).checked.value_or(false)) << row.layers;
        EXPECT_EQ(router.Run(CommandId::SelectLayerFirst + 5), row.enabled) << row.layers;
        EXPECT_EQ(document.selectedIndex, row.selectedAfter) << row.layers;
        EXPECT_EQ(RecordKinds().size(), row.selectedAfter == 5 ? 1u : 0u) << row.layers;
    }
}

TEST_F(EditCommandsTest, BrushSizesStepBetweenSixteenAndFortyEight)
{
    SelectedFace();
    FakeEditingView view(document);
    const int32_t steps[] = {CommandId::LargerBrush, CommandId::LargerBrush, CommandId::SmallerBrush,
                             CommandId::SmallerBrush, CommandId::SmallerBrush, CommandId::LargerBrush};
    for (int32_t id : steps)
        ASSERT_TRUE(router.Run(id));
    EXPECT_EQ(view.brushSizes, (std::vector<int32_t>{48, 48, 32, 16, 16, 32}));
    EXPECT_EQ(document.brushSize, 32);
    EXPECT_TRUE(RecordKinds().empty());
}

TEST_F(EditCommandsTest, DragCommandsRunTheTrackerWithAForcedTool)
{
    struct Row {
        int32_t id;
        Angle angle;
        PointF point;
        int32_t toolDuring;
        int32_t toolAfter;
    };
    // Position (100, 50), scale (2, 3), centre (40, 30), crop (0.1, 0.2) - (0.9, 0.8).
    const Row rows[] = {
        {CommandId::ChangePosition, 0, {100, 50}, ToolForceMove, ToolMoveResize},
        {CommandId::ChangeSize, 0, {100, -4}, ToolForceResize, ToolMoveResize},      // top edge, 3 x 0.6 x 30 up
        {CommandId::ChangeSize, 16384, {154, 50}, ToolForceResize, ToolMoveResize},  // turned a quarter
        {CommandId::ChangeRotation, 0, {148, -4}, ToolForceRotate, ToolRotate},     // (-48, 54) turned half
        {CommandId::ChangeRotation, 16384, {154, 98}, ToolForceRotate, ToolRotate},
    };
    Layer* face = SelectedFace();
    face->position = {100, 50};
    face->scale = {2, 3};
    face->centre = {40, 30};
    face->cropTopLeft = {0.1f, 0.2f};
    face->cropBottomRight = {0.9f, 0.8f};
    for (const Row& row : rows) {
        document.tool = ToolPaint;
        face->angle = row.angle;
        ASSERT_TRUE(router.Run(row.id)) << row.id;  // no view: nothing happens
        EXPECT_EQ(document.tool, ToolPaint) << row.id;

        FakeEditingView view(document);
        ASSERT_TRUE(router.Run(row.id)) << row.id;
        ASSERT_EQ(view.drags.size(), 1u) << row.id;
        EXPECT_NEAR(view.drags[0].point.x, row.point.x, 1e-3) << row.id << " " << row.angle;
        EXPECT_NEAR(view.drags[0].point.y, row.point.y, 1e-3) << row.id << " " << row.angle;
        EXPECT_EQ(view.drags[0].tool, row.toolDuring) << row.id;
        EXPECT_EQ(document.tool, row.toolAfter) << row.id;
    }
    EXPECT_TRUE(RecordKinds().empty());  // the view journals what the drag changes
}

TEST_F(EditCommandsTest, ViewModeCommandSetsTheModeAndItsToolAndRedraws)
{
    SelectedFace();
    int redraws = 0;
    HintCounter hints(document);
    document.tool = ToolRotate;
    ASSERT_TRUE(router.Run(CommandId::AllLayers));  // already the mode: nothing changes
    EXPECT_EQ(document.tool, ToolRotate);
    EXPECT_EQ(hints.redraws, redraws);
    ASSERT_TRUE(router.Run(CommandId::CropLayer));
    EXPECT_EQ(document.viewMode, ViewModeCropLayer);
    EXPECT_EQ(document.tool, ToolCrop);
    EXPECT_EQ(hints.redraws, redraws + 1);
    ASSERT_TRUE(router.Run(CommandId::PaintLayer));  // from one layer's view to the other
    EXPECT_EQ(document.tool, ToolErase);
    EXPECT_EQ(hints.redraws, redraws + 2);
    document.GetSelectedLayer()->flags = LayerFlagsAccessory;  // nothing to crop or paint
    EXPECT_FALSE(router.Run(CommandId::CropLayer));
    EXPECT_EQ(document.viewMode, ViewModePaintLayer);
}

TEST_F(EditCommandsTest, ToolCommandsSetTheToolAndLockResizeRatioToggles)
{
    SelectedFace();
    document.tool = ToolMoveResize;
    for (int32_t id : {CommandId::Crop, CommandId::Rotate, CommandId::Paint, CommandId::Erase, CommandId::MagicErase,
                       CommandId::MoveResize}) {
        ASSERT_TRUE(router.Run(id)) << id;
        EXPECT_EQ(document.tool, id);
    }
    const bool locked = document.lockResizeRatio;
    ASSERT_TRUE(router.Run(CommandId::LockResizeRatio));
    EXPECT_EQ(document.lockResizeRatio, !locked);
    EXPECT_EQ(document.tool, ToolMoveResize);
    EXPECT_EQ(Ask(CommandId::LockResizeRatio).checked, !locked);
}

} // namespace
