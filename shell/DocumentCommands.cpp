#include "shell/DocumentCommands.h"

#include "engine/document/CommandId.h"
#include "engine/document/Document.h"

namespace {

using Handler = void (Document::*)();
using ConstEnabler = void (Document::*)(platform::CommandUI&) const;

// The commands whose handler takes no id, each with its enabling handler.
struct CommandEntry {
    int32_t id;
    Handler handler;  // null: handled elsewhere (New Project)
    ConstEnabler enabler;
};

constexpr CommandEntry Commands[] = {
    {CommandId::NewProject, nullptr, &Document::OnUpdateNewProject},
    {CommandId::SaveProject, &Document::OnSaveProject, &Document::OnUpdateSaveProject},
    {CommandId::SaveProjectAs, &Document::OnSaveProjectAs, &Document::OnUpdateSaveProjectAs},
    {CommandId::SavePicture, &Document::OnSavePicture, &Document::OnUpdateSavePicture},
    {CommandId::Send, &Document::OnSend, &Document::OnUpdateSavePicture},
    {CommandId::Undo, &Document::OnEditUndo, &Document::OnUpdateEditUndo},
    {CommandId::Redo, &Document::OnEditRedo, &Document::OnUpdateEditRedo},
    {CommandId::NextStep, &Document::OnNextStep, &Document::OnUpdateNextStep},
    {CommandId::ChangeSize, &Document::OnChangeSize, &Document::OnUpdateLayerActions},
    {CommandId::IncreaseSize, &Document::OnIncreaseSize, &Document::OnUpdateLayerActions},
    {CommandId::DecreaseSize, &Document::OnDecreaseSize, &Document::OnUpdateLayerActions},
    {CommandId::ChangePosition, &Document::OnChangePosition, &Document::OnUpdateLayerActions},
    {CommandId::MoveLeft, &Document::OnMoveLeft, &Document::OnUpdateLayerActions},
    {CommandId::MoveRight, &Document::OnMoveRight, &Document::OnUpdateLayerActions},
    {CommandId::MoveUp, &Document::OnMoveUp, &Document::OnUpdateLayerActions},
    {CommandId::MoveDown, &Document::OnMoveDown, &Document::OnUpdateLayerActions},
    {CommandId::ChangeRotation, &Document::OnChangeRotation, &Document::OnUpdateLayerActions},
    {CommandId::RotateLeft, &Document::OnRotateLeft, &Document::OnUpdateLayerActions},
    {CommandId::RotateRight, &Document::OnRotateRight, &Document::OnUpdateLayerActions},
    {CommandId::SmallerBrush, &Document::OnSmallerBrush, &Document::OnUpdateLayerActions},
    {CommandId::LargerBrush, &Document::OnLargerBrush, &Document::OnUpdateLayerActions},
    {CommandId::EditText, &Document::OnEditText, &Document::OnUpdateLayerActions},
    {CommandId::ChangeColor, &Document::OnChangeColor, &Document::OnUpdateLayerActions},
    {CommandId::Flip, &Document::OnFlip, &Document::OnUpdateLayerActions},
    {CommandId::DeleteLayer, &Document::OnDeleteLayer, &Document::OnUpdateLayerActions},
    {CommandId::EnableHelpTips, &Document::OnEnableHelpTips, &Document::OnUpdateEnableHelpTips},
};

} // namespace

DocumentCommands::DocumentCommands(platform::CommandRouter& router, Document& document)
    : m_receiver(router, platform::CommandStage::Document)
{
    for (const CommandEntry& entry : Commands) {
        if (entry.handler)
            m_receiver.On(entry.id, [&document, handler = entry.handler] { (document.*handler)(); });
        m_receiver.OnUpdate(entry.id, [&document, enabler = entry.enabler](platform::CommandUI& ui) {
            (document.*enabler)(ui);
        });
    }
    // The ranges: the view modes, the tools and the layer selection read the command's id.
    m_receiver.OnRange(CommandId::AllLayers, CommandId::PaintLayer, [&document](int32_t id) { document.OnViewMode(id); });
    m_receiver.OnUpdateRange(CommandId::AllLayers, CommandId::PaintLayer,
                             [&document](platform::CommandUI& ui) { document.OnUpdateViewMode(ui); });
    m_receiver.OnRange(CommandId::ToolFirst, CommandId::ToolLast, [&document](int32_t id) { document.OnTool(id); });
    m_receiver.OnUpdateRange(CommandId::ToolFirst, CommandId::ToolLast,
                             [&document](platform::CommandUI& ui) { document.OnUpdateTool(ui); });
    m_receiver.OnRange(CommandId::SelectLayerFirst, CommandId::SelectLayerLast,
                       [&document](int32_t id) { document.OnSelectLayerCommand(id); });
    m_receiver.OnUpdateRange(CommandId::SelectLayerFirst, CommandId::SelectLayerLast,
                             [&document](platform::CommandUI& ui) { document.OnUpdateSelectLayerCommand(ui); });
}
