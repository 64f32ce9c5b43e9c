#pragma once

#include <cstdint>

namespace platform {

// The program's string table: the start-up failure message (101), the document template (128) and, for
// every command with a menu entry or a tool bar button, "prompt\ntooltip" under the command's id (the
// prompt is a short sentence, the tooltip what a button shows under the mouse). Null when the table
// has no string of that id. Menu and dialog texts are not here: they live with the code that builds
// those menus and dialogs.
const char* FindStringResource(int32_t id);

} // namespace platform
