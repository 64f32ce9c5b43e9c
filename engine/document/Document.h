#pragma once

#include "engine/document/ApplicationLink.h"
#include "platform/DocumentObserver.h"
#include "engine/document/Journal.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/LayerList.h"
#include "engine/layers/PointF.h"
#include "platform/DocumentBase.h"

#include <QString>
#include <cstdint>
#include <memory>

class EditingViewLink;
class ImageReference;
class Layer;
class Settings;
namespace platform {
class Archive;
class CommandUI;
} // namespace platform

// The one document: the scene layer, the layers in front of it, the layers a deletion parked for undo,
// the undo journal and the editing state that the rest of the program reads. Every edit of the
// composition goes through the journal, whose records call the operations here.
class Document : public platform::DocumentBase {
public:
    Document();
    ~Document() override;

    LayerList layers;               // first = back-most
    LayerList parkedLayers;         // taken out by a deletion, kept so that Undo can bring them back
    std::unique_ptr<Layer> scene;   // drawn behind the list; always a picture layer
    Journal journal{this};
    std::unique_ptr<ImageReference> renderBuffer;  // the composed 24-bit picture of the work area
    int32_t selectedIndex = -1;     // index in layers; -1 = none
    int32_t step = StepEmpty;       // wizard state
    int32_t viewMode = ViewModeAllLayers;
    int32_t tool = 0;               // the current tool's command id; negative = parked
    int32_t brushSize = DefaultBrushSize;
    bool lockResizeRatio = true;
    bool startPromptShown = false;

    static constexpr int32_t StepEmpty = -1;
    static constexpr int32_t SmallBrushSize = 16;
    static constexpr int32_t DefaultBrushSize = 32;
    static constexpr int32_t LargeBrushSize = 48;

    // The title with "*" appended goes to the frame while the document is modified; the stored title
    // never keeps the star.
    void SetTitle(const QString& title) override;
    bool IsModified() const override;
    // Marks the journal's position as saved whenever the flag is cleared.
    void SetModifiedFlag(bool modified) override;
    // Empties the document: no layers, no scene, an empty journal, step -1. The brush size, the Lock
    // Resize Ratio switch and the start prompt flag keep their values.
    void DeleteContents() override;
    // A new project: the start-up picture as the scene, step 0.
    bool OnNewDocument() override;

    // Replaces the scene (and, in the first steps, the promoted scene photo at index 0). An own file
    // without a path leaves the document without a scene.
    void NewScene(int32_t number, const QString& path, bool scenePhoto);
    // Makes a layer of the type (a layer kind), starts loading its content and links it in as layer
    // index; the selection stays on its layer. Null, with nothing changed, for an index outside 0 to the
    // list's length or a type that names no layer class.
    Layer* InsertLayer(int32_t type, int32_t tag, int32_t index, const QString& path, const QString& name,
                       int32_t number, const Rect& rect);
    // Links layer into the list as layer index; at the end when the list is shorter.
    void LinkLayerAt(Layer* layer, int32_t index);
    // When layer is the scene and a scene photo that has just loaded: the photo becomes layer 0 and a
    // new scene loads the background of the same content number.
    void PromoteSceneToLayer(Layer* layer);
    void SelectLayer(int32_t index);
    // Whether layer index exists and may be selected at the current wizard step.
    bool CanSelectLayer(int32_t index) const;
    // Takes a selected index read from a project file: -1 unless it names a layer of the list.
    void SetStoredSelection(int32_t index);
    void RefreshLayerView();

    // The settings that Enable Help Tips switches; without them the command is disabled.
    void SetSettings(Settings* settings) { m_settings = settings; }

    // Commands (engine/document/CommandId.h) and their enabling handlers, bound to the command router
    // by the widget layer. A handler does nothing when it finds no selected layer or no editing view,
    // so a direct call is safe too; the router runs none while its enabling handler disables it.
    //
    // Project and edit commands (DocumentCommands.cpp). New Project's work is the application's.
    void OnUpdateNewProject(platform::CommandUI& ui) const;
    void OnSaveProject();
    void OnUpdateSaveProject(platform::CommandUI& ui) const;
    void OnSaveProjectAs();
    void OnUpdateSaveProjectAs(platform::CommandUI& ui) const;
    void OnUpdateSavePicture(platform::CommandUI& ui) const;  // Save Picture and Send
    void OnEditUndo();
    void OnUpdateEditUndo(platform::CommandUI& ui) const;
    void OnEditRedo();
    void OnUpdateEditRedo(platform::CommandUI& ui) const;
    void OnViewMode(int32_t id);
    void OnUpdateViewMode(platform::CommandUI& ui) const;
    // Tools 32832 to 32838 become the tool; 32839 switches Lock Resize Ratio.
    void OnTool(int32_t id);
    // Not const: the tool of a command that becomes disabled is parked (negated) here, and comes back
    // when its command is enabled again.
    void OnUpdateTool(platform::CommandUI& ui);
    void OnEnableHelpTips();
    void OnUpdateEnableHelpTips(platform::CommandUI& ui) const;

    // Layer commands (DocumentLayerCommands.cpp). Delete asks "Delete the layer ..." through the
    // prompts and, on Yes, deletes the selected layer as one journal group that selects a neighbour.
    void OnDeleteLayer();
    // Commands 32900 to 32999 (and a click in the layers panel) select layer id - 32900.
    void OnSelectLayerCommand(int32_t id);
    void OnUpdateSelectLayerCommand(platform::CommandUI& ui) const;
    static constexpr int32_t SelectLayerCommandFirst = 32900;
    // The drags put the mouse on a point of the selected layer and run the editing view's frame
    // tracker with a forced tool; afterwards the tool is Move / Resize (Rotate after a rotation).
    void OnChangeSize();
    void OnChangePosition();
    void OnChangeRotation();
    // Steps of one journal record each: a tenth of the scale, a pixel, RotationStep angle units.
    void OnIncreaseSize();
    void OnDecreaseSize();
    void OnMoveLeft();
    void OnMoveRight();
    void OnMoveUp();
    void OnMoveDown();
    void OnRotateLeft();
    void OnRotateRight();
    // A horizontal mirror: the x scale changes sign.
    void OnFlip();
    // 16, 32 and 48 in turn, shown on the editing view.
    void OnSmallerBrush();
    void OnLargerBrush();
    // Ids 32805 to 32821.
    void OnUpdateLayerActions(platform::CommandUI& ui) const;

    Layer* GetSelectedLayer() const;
    // The scene in the All Layers view, otherwise the selected layer; its size makes the work area.
    Layer* GetActiveLayer() const;
    int32_t GetWorkWidth() const;
    int32_t GetWorkHeight() const;
    // Another view mode, with its default tool.
    void SetViewMode(int32_t mode);
    // 1 + the largest number that follows prefix in a layer name beginning with it; 1 when none.
    int32_t NextLayerNumber(const QString& prefix) const;
    // The editing view among the document's views, or null.
    DocumentView* GetView() const;
    // The editing view's link for the commands, found the same way; null without an editing view.
    EditingViewLink* GetEditingView() const;

    // Wizard (DocumentWizard.cpp). SetStep applies a state to the tabs, the view mode and tool, the
    // brush, the right-hand column and the step bar; going forward, an entry state runs its entry actions
    // and stores the state that follows it.
    void SetStep(int32_t state, bool noTip);
    void OnNextStep();
    void OnUpdateNextStep(platform::CommandUI& ui) const;

    // Rendering and picture export (DocumentRender.cpp). RenderRegion composes rect of the work area
    // into the render buffer; false when there is no active layer or no buffer.
    bool RenderRegion(const Rect& rect);
    // What lies behind the selected layer, in its cropped frame; null when there is nothing to render.
    std::unique_ptr<ImageReference> RenderSelectedLayer();
    // The whole composition at the scene's size, encoded by the name's extension; false when there is
    // no scene or the file could not be written (an existing file is then left as it was).
    bool SavePicture(const QString& path);
    // Save Picture: the picture dialog, then SavePicture with a name ending in ".jpg".
    void OnSavePicture();

    // The commands that open the modal dialogs (DocumentDialogHandlers.cpp), through g_documentDialogs;
    // each does nothing without it or without a selected layer of the right kind.
    // Edit Text (a speech bubble): the dialog with the layer's text, then the dialog's text journaled,
    // whatever the button (an unchanged text records nothing).
    void OnEditText();
    // Change Color (a paintable layer): the Adjust Color dialog for the selected layer.
    void OnChangeColor();
    // Send: the e-mail dialog with this document.
    void OnSend();

    // Project file (DocumentSerialize.cpp).
    void Serialize(platform::Archive& archive) override;
    // A document without a scene (left by a damaged file) is refused with a message.
    bool CanSave() override;

private:
    void DeleteLayers();
    // Tool during a drag command, then the tool after it; nothing without a selected layer or a view.
    void RunForcedDrag(PointF docPoint, int32_t forcedTool, int32_t toolAfter);
    void ShowBrushSize() const;
    // A degree in angle units, truncated: 182.
    static int32_t RotationStep();
    void SetContentTabs(int32_t state);
    // Runs the entry actions of a move to state; answers the state to store and the brush to show.
    int32_t EnterStep(int32_t state, int32_t& brush, bool& hide);

    Settings* m_settings = nullptr;
};

// Whether the document can make a layer of this type (a layer kind).
bool IsLayerType(int32_t type);

// Whether text begins with prefix, character by character with case.
bool StartsWith(const QString& prefix, const QString& text);

// Sends HintRedraw to every view of the document, if there is one.
void RedrawAllViews();
