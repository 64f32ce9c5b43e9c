#include "CommandsFixture.h"

#include "engine/document/CommandId.h"
#include "engine/document/JournalKind.h"
#include "platform/IniFile.h"

namespace {

using namespace CommandId;

QString Ids(std::initializer_list<int32_t> ids)
{
    QStringList list;
    for (int32_t id : ids)
        list << QString::number(id);
    return list.join(u' ');
}

using CommandRulesTest = CommandsTest;

TEST_F(CommandRulesTest, LayerActionsAndViewModesFollowStateAndFlags)
{
    struct Row {
        const char* what;
        int32_t state;
        int32_t flags;  // -1: nothing selected
        int32_t viewMode;
        QString enabled;  // 32802 to 32821
    };
    const QString moves = Ids({ChangeSize, IncreaseSize, DecreaseSize, ChangePosition, MoveLeft, MoveRight, MoveUp,
                               MoveDown, ChangeRotation, RotateLeft, RotateRight});
    const Row rows[] = {
        {"face at 9", StepOutlineFace + 1, LayerFlagsFace, ViewModeAllLayers, ""},
        {"face at 10", StepPlaceFace, LayerFlagsFace, ViewModeAllLayers,
         Ids({AllLayers, CropLayer, PaintLayer}) + " " + moves + " " + Ids({SmallerBrush, LargerBrush, ChangeColor, Flip, DeleteLayer})},
        {"accessory at 12", StepAccessories, LayerFlagsAccessory, ViewModeAllLayers,
         Ids({AllLayers}) + " " + moves + " " + Ids({Flip, DeleteLayer})},
        {"bubble at 14", StepBubble, LayerFlagsBubble, ViewModeAllLayers,
         Ids({AllLayers}) + " " + moves + " " + Ids({EditText, DeleteLayer})},
        {"face in Crop Layer", StepFinish, LayerFlagsFace, ViewModeCropLayer, Ids({AllLayers, CropLayer, PaintLayer})},
        {"nothing selected", StepFinish, -1, ViewModeAllLayers, ""},
    };
    for (const Row& row : rows) {
        document.layers.DeleteAll();
        Add("Layer", row.flags < 0 ? 0 : row.flags);
        At(row.state, row.flags < 0 ? -1 : 0, row.viewMode);
        EXPECT_EQ(Enabled(AllLayers, LayerActionLast), row.enabled) << row.what;
        EXPECT_EQ(Checked(AllLayers, PaintLayer), QString::number(row.viewMode)) << row.what;  // also disabled
    }
}

TEST_F(CommandRulesTest, ToolCommandsFollowStateViewModeAndFlags)
{
    struct Row {
        const char* what;
        int32_t state;
        int32_t flags;  // -1: nothing selected
        int32_t viewMode;
        int32_t tool;
        QString enabled;  // 32832 to 32839
        QString checked;
        int32_t toolAfter;
    };
    const Row rows[] = {
        {"crop at 6", StepSelectFace, LayerFlagsFace, ViewModeCropLayer, ToolCrop, "32832", "32832 32839", ToolCrop},
        {"outline at 8", StepOutlineFace, LayerFlagsFace, ViewModePaintLayer, ToolOutline, "", "32837 32839", ToolOutline},
        {"accessory at 12", StepAccessories, LayerFlagsAccessory, ViewModeAllLayers, ToolMoveResize,
         "32833 32834 32839", "32833 32839", ToolMoveResize},
        {"face at 15", StepFinish, LayerFlagsFace, ViewModeAllLayers, ToolMoveResize,
         "32832 32833 32834 32835 32836 32838 32839", "32833 32839", ToolMoveResize},
        {"paint view at 15", StepFinish, LayerFlagsFace, ViewModePaintLayer, ToolErase, "32835 32836 32838",
         "32836 32839", ToolErase},
        // Without a selection Lock Resize Ratio shows no check, and the tool is parked.
        {"nothing selected", StepFinish, -1, ViewModeAllLayers, ToolMoveResize, "", "", -ToolMoveResize},
    };
    for (const Row& row : rows) {
        document.layers.DeleteAll();
        Add("Scene 1", LayerFlagsScenePhoto);  // Magic Erase needs it at the back
        Add("Layer", row.flags < 0 ? 0 : row.flags);
        At(row.state, row.flags < 0 ? -1 : 1, row.viewMode);
        document.tool = row.tool;
        EXPECT_EQ(Enabled(Crop, LockResizeRatio), row.enabled) << row.what;
        EXPECT_EQ(Checked(Crop, LockResizeRatio), row.checked) << row.what;
        EXPECT_EQ(document.tool, row.toolAfter) << row.what;
    }
    document.layers.GetAt(0)->name = "Face 2";  // no scene photo behind: no Magic Erase
    At(StepFinish, 1);
    EXPECT_EQ(Enabled(MagicErase, MagicErase), "");
}

TEST_F(CommandRulesTest, RegressionOutlineToolIsNeverParked)
{
    // The outline tool has no command that could bring it back: asking its id must not park it.
    Add("Face 1", LayerFlagsFace);
    At(StepOutlineFace, 0, ViewModePaintLayer);
    document.tool = ToolOutline;
    EXPECT_EQ(Enabled(ToolFirst, ToolLast), "");
    EXPECT_FALSE(router.Run(Outline));
    EXPECT_EQ(document.tool, ToolOutline);
}

TEST_F(CommandRulesTest, ProjectCommandsByState)
{
    const std::pair<int32_t, QString> rows[] = {
        {Document::StepEmpty, ""},
        {StepStart, ""},
        {StepOutlineFace, "57600"},
        {StepOutlineFace + 1, "57600 57604"},
        {StepFinish, "57600 57604 32800 57612"},
    };
    for (const auto& [state, enabled] : rows) {
        At(state, -1);
        QStringList ids;
        for (int32_t id : {NewProject, SaveProjectAs, SavePicture, Send}) {
            if (router.Query(id).enabled)
                ids << QString::number(id);
        }
        EXPECT_EQ(ids.join(u' '), enabled) << state;
    }
}

TEST_F(CommandRulesTest, StepCommandsAppendOneRecordAPress)
{
    struct Row {
        int32_t id;
        int presses;
        PointF scaleBefore;
        PointF scale;
        Angle angle;
        int32_t recordSize;
    };
    const Row rows[] = {
        {RotateRight, 3, {1, 1}, {1, 1}, 546, JournalRotateSize},
        {RotateLeft, 1, {1, 1}, {1, 1}, 65536 - 182, JournalRotateSize},
        // The keys' test covers one press of Increase, Decrease and Flip on an unmirrored layer.
        {IncreaseSize, 1, {-1, 1}, {-0.9f, 1.1f}, 0, JournalScaleSize},  // a mirrored layer
        {DecreaseSize, 2, {2, 2}, {1.8f, 1.8f}, 0, JournalScaleSize},
        {Flip, 2, {2, 3}, {2, 3}, 0, JournalScaleSize},
    };
    for (const Row& row : rows) {
        journal.Reset();
        Layer* face = SelectedFace();
        face->scale = row.scaleBefore;
        for (int i = 0; i < row.presses; ++i)
            ASSERT_TRUE(router.Run(row.id)) << row.id;
        EXPECT_FLOAT_EQ(face->scale.x, row.scale.x) << row.id;
        EXPECT_FLOAT_EQ(face->scale.y, row.scale.y) << row.id;
        EXPECT_EQ(face->angle, row.angle) << row.id;
        EXPECT_EQ(journal.GetPosition(), row.presses * row.recordSize) << row.id;
        journal.Undo();  // each press is its own undo step
        EXPECT_EQ(journal.GetPosition(), (row.presses - 1) * row.recordSize) << row.id;
    }
}

TEST_F(CommandRulesTest, DeleteSelectsTheNeighbourTheWizardAllows)
{
    struct Row {
        const char* what;
        int32_t state;
        int32_t selected;
        QString after;  // back to front, the selected layer starred
    };
    const Row rows[] = {
        {"front-most at 15", StepFinish, 2, "Hat 1 Face 1*"},
        {"front-most at 12: a face is not selectable", StepAccessories, 2, "Hat 1 Face 1"},
        {"back-most at 15", StepFinish, 0, "Face 1* Hat 2"},
    };
    for (const Row& row : rows) {
        document.layers.DeleteAll();
        journal.Reset();
        prompts.shown.clear();
        Add("Hat 1", LayerFlagsAccessory);
        Add("Face 1", LayerFlagsFace);
        Add("Hat 2", LayerFlagsAccessory);
        At(row.state, row.selected);
        const QString name = document.GetSelectedLayer()->name;
        const auto names = [&] {
            QStringList list;
            for (int32_t i = 0; i < document.layers.GetCount(); ++i)
                list << document.layers.GetAt(i)->name + (i == document.selectedIndex ? "*" : "");
            return list.join(u' ');
        };
        const QString before = names();
        prompts.answer = platform::DocumentPrompts::Answer::No;
        ASSERT_TRUE(router.Run(DeleteLayer));
        EXPECT_EQ(names(), before) << row.what;

        prompts.answer = platform::DocumentPrompts::Answer::Yes;
        ASSERT_TRUE(router.Run(DeleteLayer));
        EXPECT_EQ(names(), row.after) << row.what;
        EXPECT_EQ(prompts.shown, QStringList(2, QStringLiteral("Delete the layer \"%1\"?").arg(name))) << row.what;
        EXPECT_EQ(shell.calls.last(), QStringLiteral("SelectLayer %1").arg(document.selectedIndex)) << row.what;
        journal.Undo();  // one step brings the layer and its selection back
        EXPECT_EQ(names(), before) << row.what;
    }
}

TEST_F(CommandRulesTest, DragAndBrushCommandsReachTheEditingView)
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
        {ChangePosition, 0, {100, 50}, ToolForceMove, ToolMoveResize},
        {ChangeSize, 0, {100, -4}, ToolForceResize, ToolMoveResize},      // the top edge, 3 x 0.6 x 30 up
        {ChangeSize, 16384, {154, 50}, ToolForceResize, ToolMoveResize},  // turned a quarter
        {ChangeRotation, 0, {148, -4}, ToolForceRotate, ToolRotate},     // (-48, 54) turned half
        {ChangeRotation, 16384, {154, 98}, ToolForceRotate, ToolRotate},
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
        ASSERT_TRUE(router.Run(row.id));  // no editing view: nothing happens
        EXPECT_EQ(document.tool, ToolPaint);

        FakeEditingView view(document);
        ASSERT_TRUE(router.Run(row.id));
        ASSERT_EQ(view.drags.size(), 1u);
        EXPECT_NEAR(view.drags[0].point.x, row.point.x, 1e-3) << row.id << " " << row.angle;
        EXPECT_NEAR(view.drags[0].point.y, row.point.y, 1e-3) << row.id << " " << row.angle;
        EXPECT_EQ(view.drags[0].tool, row.toolDuring) << row.id;
        EXPECT_EQ(document.tool, row.toolAfter) << row.id;
    }

    FakeEditingView view(document);
    for (int32_t id : {LargerBrush, LargerBrush, SmallerBrush, SmallerBrush, SmallerBrush, LargerBrush})
        ASSERT_TRUE(router.Run(id));
    EXPECT_EQ(view.brushSizes, (std::vector<int32_t>{48, 48, 32, 16, 16, 32}));
    EXPECT_EQ(journal.GetPosition(), 0);  // the view journals what its drags change
}

TEST_F(CommandRulesTest, EnableHelpTipsWritesBothStores)
{
    const auto stores = [&] {
        const uint32_t file = platform::IniFile(tips.IniPath()).ReadUInt("System", "TutorialOff", 99);
        const int32_t registry = tips.settings.ReadRegistryInt(Settings::ConfigKey, "TutorialOff", -1).value_or(99);
        return QStringLiteral("file %1 registry %2 checked %3")
            .arg(file)
            .arg(registry)
            .arg(router.Query(EnableHelpTips).checked.value_or(false));
    };
    EXPECT_TRUE(router.Query(EnableHelpTips).enabled);
    ASSERT_TRUE(router.Run(EnableHelpTips));
    EXPECT_EQ(stores(), "file 1 registry 1 checked 0");
    ASSERT_TRUE(router.Run(EnableHelpTips));
    EXPECT_EQ(stores(), "file 0 registry 0 checked 1");
}

} // namespace
