#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

class QAbstractButton;
class QAction;
class QMenu;
class QWidget;

namespace platform {

class CommandReceiver;

// What a command's enabling handler says now.
struct CommandState {
    bool enabled = false;
    std::optional<bool> checked;  // set when the handler set the check mark
    std::optional<QString> text;  // set when the handler set the text
};

// Routes the program's commands by numeric id. Each id has one QAction, shared by its menu entry,
// shortcuts and tool bar button, so they show the same text, enabling and check mark. Receivers
// (CommandReceiver) bring handlers and enabling handlers, asked in the routing order: the editing view,
// the document, the main window, the application.
//
// A command runs only while its enabling handler enables it: Run asks the handler again right before
// it runs the command, whether the command came from a menu, a shortcut, a tool bar or a panel button.
// Without an enabling handler a command is enabled when some receiver handles it, and a command that
// nobody handles is disabled. Every action's state follows the enabling handlers when a watched menu is
// about to show (UpdateActions); the actions shown outside menus (KeepCurrent: tool bar and panel
// buttons) also on an idle pass, a zero-delay timer after input, timer and focus events. The enabling
// handlers that only a menu shows thus run when their menu opens, not at every tick of the program.
class CommandRouter : public QObject {
public:
    explicit CommandRouter(QObject* parent = nullptr);
    ~CommandRouter() override;

    // The action of a command, made at the first call: its tooltip and status tip are the command's
    // string (platform/StringTable.h), its text is set by the caller (the menu text) or by the
    // enabling handler. Triggering it runs the command through Run.
    QAction* Action(int32_t id);

    // Keys that send the command while window is the active window, whichever of its panes has the
    // focus, and also when none has: they are the window's, as an accelerator table is translated by
    // the window before any pane sees the key. The accelerator table may give several keys, and other
    // keys than the menu text shows. A key runs the command through Run, so a key of a disabled
    // command is taken and does nothing rather than reaching the pane. A pane that edits text keeps
    // the keys it edits with (Qt asks it first), and a modal dialog, a window of its own, keeps its
    // keys.
    void SetAccelerators(int32_t id, QWidget& window, const QList<QKeySequence>& keys);

    // Refreshes every action when the menu is about to show.
    void WatchMenu(QMenu& menu);
    // The command's action is shown outside menus (a tool bar or panel button): its state follows the
    // enabling handler at every idle pass.
    void KeepCurrent(int32_t id);

    // A button of a panel that sends a command: a click runs it through Run, and the button is enabled
    // while the command's action is (kept current). (A QToolButton can take the action itself: setDefaultAction.)
    void ConnectButton(QAbstractButton& button, int32_t id);

    // Asks the command's enabling handler now.
    CommandState Query(int32_t id) const;
    // Asks the enabling handler, and runs the first handler in the routing order when the command is
    // enabled. True when it ran.
    bool Run(int32_t id);

    // Brings every action's text, enabling and check mark up to date now.
    void UpdateActions();
    // Brings the actions kept current up to date on the next idle pass.
    void RequestUpdate();

private:
    friend class CommandReceiver;
    void Attach(CommandReceiver& receiver);
    void Detach(CommandReceiver& receiver);

    void Apply(int32_t id, const CommandState& state);
    void UpdateKeptActions();
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::vector<CommandReceiver*> m_receivers;  // in routing order
    std::map<int32_t, QAction*> m_actions;      // children of the router
    std::set<int32_t> m_kept;                   // the commands shown outside menus
    QTimer m_idle;
};

} // namespace platform
