#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <map>
#include <optional>
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
// nobody handles is disabled. The actions' states follow the enabling handlers on an idle pass (a
// zero-delay timer after input, timer and focus events), when a watched menu is about to show and
// before every shortcut is matched.
class CommandRouter : public QObject {
public:
    explicit CommandRouter(QObject* parent = nullptr);
    ~CommandRouter() override;

    // The action of a command, made at the first call: its tooltip and status tip are the command's
    // string (platform/StringTable.h), its text is set by the caller (the menu text) or by the
    // enabling handler. Triggering it runs the command through Run.
    QAction* Action(int32_t id);

    // Keys that run the command (the accelerator table may give several, and other keys than the
    // menu text shows) while the context holds for scope: Qt::WindowShortcut while scope's window is
    // active, Qt::WidgetWithChildrenShortcut while the focus is inside scope. The action is added to
    // scope.
    void SetShortcuts(int32_t id, QWidget& scope, const QList<QKeySequence>& keys,
                      Qt::ShortcutContext context = Qt::WindowShortcut);

    // Refreshes every action when the menu is about to show.
    void WatchMenu(QMenu& menu);

    // A button of a panel that sends a command: a click runs it through Run, and the button is enabled
    // while the command's action is. (A QToolButton can take the action itself: setDefaultAction.)
    void ConnectButton(QAbstractButton& button, int32_t id);

    // Asks the command's enabling handler now.
    CommandState Query(int32_t id) const;
    // Asks the enabling handler, and runs the first handler in the routing order when the command is
    // enabled. True when it ran.
    bool Run(int32_t id);

    // Brings every action's text, enabling and check mark up to date now.
    void UpdateActions();
    // The same on the next idle pass.
    void RequestUpdate();

private:
    friend class CommandReceiver;
    void Attach(CommandReceiver& receiver);
    void Detach(CommandReceiver& receiver);

    void Apply(int32_t id, const CommandState& state);
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::vector<CommandReceiver*> m_receivers;  // in routing order
    std::map<int32_t, QAction*> m_actions;      // children of the router
    QTimer m_idle;
};

} // namespace platform
