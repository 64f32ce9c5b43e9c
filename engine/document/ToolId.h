#pragma once

#include <cstdint>

// The tools are the ids of their commands (Document::tool); 0 is none, a negative value a parked tool.
inline constexpr int32_t ToolNone = 0;
inline constexpr int32_t ToolCrop = 32832;
inline constexpr int32_t ToolMoveResize = 32833;
inline constexpr int32_t ToolRotate = 32834;
inline constexpr int32_t ToolPaint = 32835;
inline constexpr int32_t ToolErase = 32836;
inline constexpr int32_t ToolOutline = 32837;  // the wizard's erase brush for outlining the face
inline constexpr int32_t ToolMagicErase = 32838;

// Forced tools: they stand in Document::tool only while Change Position, Change Size or Change
// Rotation runs its drag, and make the frame tracker answer the matching handle for every point.
// They have no command.
inline constexpr int32_t ToolForceMove = 32841;
inline constexpr int32_t ToolForceResize = 32842;
inline constexpr int32_t ToolForceRotate = 32843;
