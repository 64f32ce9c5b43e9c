#pragma once

#include "engine/document/ToolId.h"
#include "engine/layers/DrawMode.h"

#include <cstdint>

// The numeric ids of the program's commands, shared by the menu, the accelerators, the tool bar and the
// panel buttons. The view modes and the tools are stored as the ids of their commands, so those names
// are the same numbers as DrawMode.h and ToolId.h. The 576xx ids are the framework's own.
namespace CommandId {

// Project and picture.
inline constexpr int32_t NewProject = 57600;
inline constexpr int32_t OpenProject = 57601;
inline constexpr int32_t SaveProject = 57603;
inline constexpr int32_t SaveProjectAs = 57604;
inline constexpr int32_t Send = 57612;
inline constexpr int32_t RecentFileFirst = 57616;  // four recent projects
inline constexpr int32_t RecentFileLast = 57619;
inline constexpr int32_t Undo = 57643;
inline constexpr int32_t Redo = 57644;
inline constexpr int32_t About = 57664;
inline constexpr int32_t Exit = 57665;
inline constexpr int32_t SavePicture = 32800;
inline constexpr int32_t NextStep = 32801;

// View modes.
inline constexpr int32_t AllLayers = ViewModeAllLayers;    // 32802
inline constexpr int32_t CropLayer = ViewModeCropLayer;    // 32803
inline constexpr int32_t PaintLayer = ViewModePaintLayer;  // 32804

// Layer actions, 32805 to 32821.
inline constexpr int32_t ChangeSize = 32805;
inline constexpr int32_t IncreaseSize = 32806;
inline constexpr int32_t DecreaseSize = 32807;
inline constexpr int32_t ChangePosition = 32808;
inline constexpr int32_t MoveLeft = 32809;
inline constexpr int32_t MoveRight = 32810;
inline constexpr int32_t MoveUp = 32811;
inline constexpr int32_t MoveDown = 32812;
inline constexpr int32_t ChangeRotation = 32813;
inline constexpr int32_t RotateLeft = 32814;
inline constexpr int32_t RotateRight = 32815;
inline constexpr int32_t SmallerBrush = 32816;
inline constexpr int32_t LargerBrush = 32817;
inline constexpr int32_t EditText = 32818;
inline constexpr int32_t ChangeColor = 32819;
inline constexpr int32_t Flip = 32820;
inline constexpr int32_t DeleteLayer = 32821;
inline constexpr int32_t LayerActionFirst = ChangeSize;
inline constexpr int32_t LayerActionLast = DeleteLayer;

// Tools, 32831 to 32840: 32831 and 32840 are never sent, the outline tool only by the wizard.
inline constexpr int32_t ToolFirst = 32831;
inline constexpr int32_t Crop = ToolCrop;               // 32832
inline constexpr int32_t MoveResize = ToolMoveResize;   // 32833
inline constexpr int32_t Rotate = ToolRotate;           // 32834
inline constexpr int32_t Paint = ToolPaint;             // 32835
inline constexpr int32_t Erase = ToolErase;             // 32836
inline constexpr int32_t Outline = ToolOutline;         // 32837
inline constexpr int32_t MagicErase = ToolMagicErase;   // 32838
inline constexpr int32_t LockResizeRatio = 32839;
inline constexpr int32_t ToolLast = 32840;

// Help.
inline constexpr int32_t VisitSite = 32847;
inline constexpr int32_t EnableHelpTips = 32848;
inline constexpr int32_t OnlineHelp = 32849;

// Select layer id - 32900; Ctrl+0 to Ctrl+9 send the first ten.
inline constexpr int32_t SelectLayerFirst = 32900;
inline constexpr int32_t SelectLayerLast = 32999;

} // namespace CommandId
