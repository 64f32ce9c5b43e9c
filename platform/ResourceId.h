#pragma once

#include <cstdint>

// The numeric ids of the program's resources: pictures, cursors, the icon and the strings. Each kind
// has its own numbering (the icon and the document template string are both 128). Commands' prompt
// and tooltip strings use the command's own id (platform/StringTable.h).
namespace platform::ResourceId {

// Strings.
inline constexpr int32_t StringOleInitFailed = 101;
inline constexpr int32_t StringDocumentTemplate = 128;

// The program icon, 16, 32 and 48 pixels.
inline constexpr int32_t ProgramIcon = 128;

// Cursors. The resize cursors are double arrows; their order in the shared cursors is 0, 22.5 ... 157.5
// degrees: ResizeCursor0 to ResizeCursor7 below.
inline constexpr int32_t MoveCursor = 130;    // IDC_MOVE_CURSOR
inline constexpr int32_t ResizeCursor0 = 131;
inline constexpr int32_t ResizeCursor1 = 142;
inline constexpr int32_t ResizeCursor2 = 133;
inline constexpr int32_t ResizeCursor3 = 143;
inline constexpr int32_t ResizeCursor4 = 135;
inline constexpr int32_t ResizeCursor5 = 144;
inline constexpr int32_t ResizeCursor6 = 137;
inline constexpr int32_t ResizeCursor7 = 141;
inline constexpr int32_t RotateCursor = 145;  // IDC_ROTATE_CURSOR
inline constexpr int32_t PaintCursor = 146;   // IDC_PAINT_CURSOR, 16, 32 and 48 pixels
inline constexpr int32_t EraseCursor = 147;   // IDC_ERASE_CURSOR, 16, 32 and 48 pixels

// Bitmaps.
inline constexpr int32_t ToolBarNormal = 148;    // 13 pictures of 32 x 32 in a 416 x 32 strip
inline constexpr int32_t ToolBarHot = 149;
inline constexpr int32_t ToolBarDisabled = 150;  // 8 bits a pixel
inline constexpr int32_t FolderClosed = 151;     // IDB_FOLDER_CLOSED
inline constexpr int32_t FolderOpen = 152;       // IDB_FOLDER_OPEN
inline constexpr int32_t StepCurrentFirst = 153; // step i + 1 is 153 + i while it is the current step
inline constexpr int32_t StepOtherFirst = 161;   // and 161 + i otherwise
inline constexpr int32_t ThumbPlaceholder = 180; // IDB_THUMB_PLACEHOLDER
inline constexpr int32_t LayerUp = 182;
inline constexpr int32_t LayerDown = 183;
inline constexpr int32_t LayerDelete = 184;
inline constexpr int32_t LoadPicture = 185;      // IDB_LOAD_PICTURE

// "PNG" resources: help tip t (1 to 11) is TipFirst - 1 + t.
inline constexpr int32_t TipFirst = 169;
inline constexpr int32_t TipLast = 179;

// The tool bar strips' transparent colour, RGB(236, 233, 216).
inline constexpr uint32_t ToolBarKeyColour = 0xFFECE9D8;
inline constexpr int32_t ToolBarPictureSize = 32;
inline constexpr int32_t ToolBarPictureCount = 13;

} // namespace platform::ResourceId
