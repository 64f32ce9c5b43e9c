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
// Every key of the table works wherever the focus is in the main window (the content browsers, the
// layers list, the tab bar and the tool bar have no keys of their own that could take one), and with
// no focus at all: the window translates them before any pane sees them. A key of a disabled command
// is taken and does nothing. A text field keeps the keys it edits with; modal dialogs keep theirs.
//
// The main window calls this once with its menu bar and itself. The menus refresh their entries'
// enabling, check marks and texts from the enabling handlers as they open; the recent-file entries show
// the files of the list, or one disabled "Recent File" while it is empty.
void InstallMainMenu(QMenuBar& menuBar, platform::CommandRouter& router, QWidget& window);
