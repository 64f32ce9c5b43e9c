#include "CommandsFixture.h"

#include "engine/document/CommandId.h"
#include "engine/document/ToolId.h"
#include "engine/document/WizardState.h"
#include "engine/layers/LayerKind.h"
#include "platform/IniFile.h"

#include <QAction>

namespace {

QString Ids(std::initializer_list<int32_t> ids)
{
    QStringList list;
    for (int32_t id : ids)
        list << QString::number(id);
    return list.join(u' ');
}

class CommandRulesTest : public CommandsTest {
protected:
    // The ids from first to last whose commands are enabled (checked) now, as "32805 32806 ...".
    QString Enabled(int32_t first, int32_t last)
    {
        return IdsWhere(first, last, [](const platform::CommandState& state) { return state.enabled; });
    }
    QString Checked(int32_t first, int32_t last)
    {
        return IdsWhere(first, last, [](const platform::CommandState& state) { return state.checked.value_or(false); });
    }
    template <class Predicate>
    QString IdsWhere(int32_t first, int32_t last, Predicate predicate)
    {
        QStringList ids;
        for (int32_t id = first; id <= last; ++id) {
            if (predicate(Ask(id)))
                ids << QString::number(id);
        }
        return ids.join(u' ');
    }
};

TEST_F(CommandRulesTest, NoLayerActionOrViewModeBeforeStateTen)
{
    Add("Scene 1", LayerFlagsScenePhoto);
    Add("Face 1", LayerFlagsFace);
    for (int32_t state = Document::StepEmpty; state < StepPlaceFace; ++state) {
        At(state, 1);
        EXPECT_EQ(Enabled(CommandId::AllLayers, CommandId::LayerActionLast), "") << state;
    }
    At(StepPlaceFace, 1);
    EXPECT_NE(Enabled(CommandId::AllLayers, CommandId::LayerActionLast), "");
}

TEST_F(CommandRulesTest, LayerActionsFollowTheSelectedLayersFlags)
{
    struct Row {
        const char* what;
        int32_t state;
        int32_t flags;  // -1: nothing selected
        int32_t viewMode;
        QString enabled;
    };
    using namespace CommandId;
    const QString moves = Ids({ChangeSize, IncreaseSize, DecreaseSize, ChangePosition, MoveLeft, MoveRight, MoveUp,
                               MoveDown, ChangeRotation, RotateLeft, RotateRight});
    const Row rows[] = {
        {"accessory at 12", StepAccessories, LayerFlagsAccessory, ViewModeAllLayers, moves + " " + Ids({Flip, DeleteLayer})},
        {"bubble at 14", StepBubble, LayerFlagsBubble, ViewModeAllLayers, moves + " " + Ids({EditText, DeleteLayer})},
        {"face at 10", StepPlaceFace, LayerFlagsFace, ViewModeAllLayers,
         moves + " " + Ids({SmallerBrush, LargerBrush, ChangeColor, Flip, DeleteLayer})},
        {"scene photo at 15", StepFinish, LayerFlagsScenePhoto, ViewModeAllLayers,
         Ids({SmallerBrush, LargerBrush, ChangeColor, Flip, DeleteLayer})},
        {"face in Crop Layer", StepFinish, LayerFlagsFace, ViewModeCropLayer, ""},
        {"face in Paint Layer", StepFinish, LayerFlagsFace, ViewModePaintLayer, ""},
        {"nothing selected", StepFinish, -1, ViewModeAllLayers, ""},
    };
    for (const Row& row : rows) {
        document.layers.DeleteAll();
        Add("Layer", row.flags < 0 ? 0 : row.flags);
        At(row.state, row.flags < 0 ? -1 : 0, row.viewMode);
        EXPECT_EQ(Enabled(LayerActionFirst, LayerActionLast), row.enabled) << row.what;
    }
}

TEST_F(CommandRulesTest, ViewModesFollowTheFlagsAndShowTheCurrentMode)
{
    struct Row {
        int32_t state;
        int32_t flags;
        int32_t viewMode;
        QString enabled;
        QString checked;
    };
    const Row rows[] = {
        {StepPlaceFace, LayerFlagsFace, ViewModeAllLayers, "32802 32803 32804", "32802"},
        {StepAccessories, LayerFlagsAccessory, ViewModeAllLayers, "32802", "32802"},
        {StepFinish, LayerFlagsScenePhoto, ViewModePaintLayer, "32802 32804", "32804"},
        {StepSelectFace, LayerFlagsFace, ViewModeCropLayer, "", "32803"},  // checked while disabled
    };
    for (const Row& row : rows) {
        document.layers.DeleteAll();
        Add("Layer", row.flags);
        At(row.state, 0, row.viewMode);
        EXPECT_EQ(Enabled(ViewModeAllLayers, ViewModePaintLayer), row.enabled) << row.state;
        EXPECT_EQ(Checked(ViewModeAllLayers, ViewModePaintLayer), row.checked) << row.state;
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
        const char* backLayer;
        QString enabled;  // 32832 to 32839
        QString checked;
        int32_t toolAfter;
    };
    const Row rows[] = {
        {"crop at 6", StepSelectFace, LayerFlagsFace, ViewModeCropLayer, ToolCrop, "Face 1", "32832",
         "32832 32839", ToolCrop},
        {"outline at 8", StepOutlineFace, LayerFlagsFace, ViewModePaintLayer, ToolOutline, "Face 1", "", "32837 32839",
         ToolOutline},
        {"accessory at 12", StepAccessories, LayerFlagsAccessory, ViewModeAllLayers, ToolMoveResize, "Scene 1",
         "32833 32834 32839", "32833 32839", ToolMoveResize},
        {"face at 15", StepFinish, LayerFlagsFace, ViewModeAllLayers, ToolMoveResize, "Scene 1",
         "32832 32833 32834 32835 32836 32838 32839", "32833 32839", ToolMoveResize},
        {"no scene photo", StepFinish, LayerFlagsFace, ViewModeAllLayers, ToolMoveResize, "Face 1",
         "32832 32833 32834 32835 32836 32839", "32833 32839", ToolMoveResize},
        {"bubble at 14", StepBubble, LayerFlagsBubble, ViewModeAllLayers, ToolMoveResize, "Scene 1",
         "32833 32834 32839", "32833 32839", ToolMoveResize},
        {"paint view at 15", StepFinish, LayerFlagsFace, ViewModePaintLayer, ToolErase, "Scene 1",
         "32835 32836 32838", "32836 32839", ToolErase},
        // Without a selection Lock Resize Ratio shows no check, and the tool is parked.
        {"nothing selected", StepFinish, -1, ViewModeAllLayers, ToolMoveResize, "Scene 1", "", "", -ToolMoveResize},
    };
    for (const Row& row : rows) {
        document.layers.DeleteAll();
        Add(row.backLayer, LayerFlagsScenePhoto);
        Add("Layer", row.flags < 0 ? 0 : row.flags);
        At(row.state, row.flags < 0 ? -1 : 1, row.viewMode);
        document.tool = row.tool;
        document.lockResizeRatio = true;
        EXPECT_EQ(Enabled(CommandId::Crop, CommandId::LockResizeRatio), row.enabled) << row.what;
        EXPECT_EQ(Checked(CommandId::Crop, CommandId::LockResizeRatio), row.checked) << row.what;
        EXPECT_EQ(document.tool, row.toolAfter) << row.what;
    }
}

TEST_F(CommandRulesTest, TheToolOfADisabledCommandIsParkedUntilItsCommandComesBack)
{
    Add("Scene 1", LayerFlagsScenePhoto);  // the promoted scene photo
    Add("Face 1", LayerFlagsFace);
    At(StepFinish, 1);
    document.tool = ToolMoveResize;
    QAction* moveResize = router.Action(CommandId::MoveResize);
    router.UpdateActions();
    EXPECT_TRUE(moveResize->isEnabled());
    EXPECT_TRUE(moveResize->isChecked());

    document.selectedIndex = 0;  // the photo cannot move
    router.UpdateActions();
    EXPECT_EQ(document.tool, -ToolMoveResize);
    EXPECT_FALSE(moveResize->isEnabled());
    EXPECT_FALSE(moveResize->isChecked());
    EXPECT_FALSE(router.Run(CommandId::MoveResize));

    document.selectedIndex = 1;
    router.UpdateActions();
    EXPECT_EQ(document.tool, ToolMoveResize);
    EXPECT_TRUE(moveResize->isEnabled());
    EXPECT_TRUE(moveResize->isChecked());
}

TEST_F(CommandRulesTest, RegressionOutlineToolIsNeverParked)
{
    // The outline tool's command is never enabled; asking it (or any id of the tool range) must not
    // take the wizard's tool away while the face is outlined.
    Add("Face 1", LayerFlagsFace);
    At(StepOutlineFace, 0, ViewModePaintLayer);
    document.tool = ToolOutline;
    for (int32_t id = CommandId::ToolFirst; id <= CommandId::ToolLast; ++id)
        EXPECT_FALSE(Ask(id).enabled) << id;
    EXPECT_EQ(document.tool, ToolOutline);
    EXPECT_FALSE(router.Run(CommandId::Outline));
    EXPECT_EQ(document.tool, ToolOutline);
}

TEST_F(CommandRulesTest, ProjectAndEditCommandsByState)
{
    struct Row {
        int32_t state;
        QString enabled;  // of New, Save As, Save Picture, Send
    };
    const Row rows[] = {
        {Document::StepEmpty, ""},
        {StepStart, ""},
        {StepChooseScene, "57600"},
        {StepOutlineFace, "57600"},
        {StepOutlineFace + 1, "57600 57604"},
        {StepBubble, "57600 57604"},
        {StepFinish, "57600 57604 32800 57612"},
    };
    for (const Row& row : rows) {
        At(row.state, -1);
        QStringList enabled;
        for (int32_t id : {CommandId::NewProject, CommandId::SaveProjectAs, CommandId::SavePicture, CommandId::Send}) {
            if (Ask(id).enabled)
                enabled << QString::number(id);
        }
        EXPECT_EQ(enabled.join(u' '), row.enabled) << row.state;
    }

    Add("Face 1", LayerFlagsFace);
    At(StepPlaceFace, 0);
    EXPECT_FALSE(Ask(CommandId::Undo).enabled);
    EXPECT_FALSE(Ask(CommandId::Redo).enabled);
    EXPECT_FALSE(Ask(CommandId::SaveProject).enabled);
    ASSERT_TRUE(router.Run(CommandId::MoveLeft));
    EXPECT_TRUE(Ask(CommandId::Undo).enabled);
    EXPECT_FALSE(Ask(CommandId::Redo).enabled);
    EXPECT_TRUE(Ask(CommandId::SaveProject).enabled);  // modified from state 9 on
    ASSERT_TRUE(router.Run(CommandId::Undo));
    EXPECT_FALSE(Ask(CommandId::Undo).enabled);
    EXPECT_TRUE(Ask(CommandId::Redo).enabled);
    EXPECT_FALSE(Ask(CommandId::SaveProject).enabled);
    ASSERT_TRUE(router.Run(CommandId::Redo));
    EXPECT_EQ(document.layers.GetAt(0)->position.x, -1.0f);
}

TEST_F(CommandRulesTest, EnableHelpTipsWritesBothStores)
{
    const auto stores = [&] {
        const uint32_t file = platform::IniFile(tips.IniPath()).ReadUInt("System", "TutorialOff", 99);
        const int32_t registry = tips.settings.ReadRegistryInt(Settings::ConfigKey, "TutorialOff", -1).value_or(99);
        return QStringLiteral("file %1 registry %2").arg(file).arg(registry);
    };
    EXPECT_TRUE(Ask(CommandId::EnableHelpTips).enabled);
    EXPECT_TRUE(Ask(CommandId::EnableHelpTips).checked.value_or(false));  // tips on: neither store says off

    ASSERT_TRUE(router.Run(CommandId::EnableHelpTips));
    EXPECT_EQ(stores(), "file 1 registry 1");
    EXPECT_FALSE(Ask(CommandId::EnableHelpTips).checked.value_or(true));

    ASSERT_TRUE(router.Run(CommandId::EnableHelpTips));
    EXPECT_EQ(stores(), "file 0 registry 0");
    EXPECT_TRUE(Ask(CommandId::EnableHelpTips).checked.value_or(false));

    // Off in the file alone (a "Don't Show Again" saved elsewhere) reads as off; switching on clears both.
    tips.settings.WriteIniInt("TutorialOff", 1);
    EXPECT_FALSE(Ask(CommandId::EnableHelpTips).checked.value_or(true));
    ASSERT_TRUE(router.Run(CommandId::EnableHelpTips));
    EXPECT_EQ(stores(), "file 0 registry 0");
}

} // namespace
