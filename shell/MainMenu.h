#pragma once

class QMenuBar;
class QWidget;
namespace platform {
class CommandRouter;
} // namespace platform

// Menu 128 and accelerator table 128, built on the router's actions: File, Edit, View, Layer, Tools and
// Help with the program's menu texts, and the keys of the accelerator table, which are not always the
// keys after a menu text's tab (the arrow keys and Delete work without Ctrl, Undo also answers
// Alt+Backspace, Increase and Decrease Size also the numeric pad's plus and minus).
//
// The project and undo keys (Ctrl+N, O, S, Z, Y, Alt+Backspace) work anywhere in the editing view's
// window; the layer, tool and layer-selection keys only while the focus is in the editing view or one
// of its children, so that the arrow keys, Delete, Ctrl+C and Ctrl+A keep their usual meaning in the
// other panes and their text fields.
//
// The main window calls this once with its menu bar and its editing view. The menus refresh their
// entries' enabling, check marks and texts from the enabling handlers as they open; the recent-file
// entries show the files of the list, or one disabled "Recent File" while it is empty.
void InstallMainMenu(QMenuBar& menuBar, platform::CommandRouter& router, QWidget& editingView);
