#include "platform/ui/CommandRouter.h"

#include "platform/CommandUI.h"
#include "platform/Resources.h"
#include "platform/ui/CommandReceiver.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QShortcut>
#include <QWidget>
#include <algorithm>

namespace platform {

namespace {

// The user-interface object handed to enabling handlers: it writes down what they set.
class StateUI final : public CommandUI {
public:
    StateUI(int32_t id, bool enabled) : CommandUI(id) { state.enabled = enabled; }
    void Enable(bool enabled) override { state.enabled = enabled; }
    void SetCheck(bool checked) override { state.checked = checked; }
    void SetText(const QString& text) override { state.text = text; }

    CommandState state;
};

// Events after which the actions' states may have changed: the user's input, focus and window
// changes, and timers (the task tick finishes downloads and loads layers).
bool WakesIdlePass(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Timer:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

CommandRouter::CommandRouter(QObject* parent) : QObject(parent)
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, [this] { UpdateKeptActions(); });
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

CommandRouter::~CommandRouter()
{
    for (CommandReceiver* receiver : m_receivers)
        receiver->m_router = nullptr;
}

QAction* CommandRouter::Action(int32_t id)
{
    if (const auto found = m_actions.find(id); found != m_actions.end())
        return found->second;
    auto* action = new QAction(this);
    action->setToolTip(Resources::CommandTooltip(id));
    action->setStatusTip(Resources::CommandPrompt(id));
    connect(action, &QAction::triggered, this, [this, id] {
        Run(id);
        Apply(id, Query(id));  // a checkable action has just toggled itself; the handler decides
    });
    m_actions.emplace(id, action);
    Apply(id, Query(id));
    return action;
}

void CommandRouter::SetAccelerators(int32_t id, QWidget& window, const QList<QKeySequence>& keys)
{
    // Shortcuts of their own, always enabled, rather than the action's: a disabled action would let its
    // key through to the pane with the focus (a list would move its row on an arrow key).
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, &window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, id] { Run(id); });
    }
}

void CommandRouter::WatchMenu(QMenu& menu)
{
    connect(&menu, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
}

void CommandRouter::KeepCurrent(int32_t id)
{
    Action(id);
    m_kept.insert(id);
}

void CommandRouter::ConnectButton(QAbstractButton& button, int32_t id)
{
    KeepCurrent(id);
    QAction* action = Action(id);
    button.setEnabled(action->isEnabled());
    connect(action, &QAction::changed, &button, [&button, action] { button.setEnabled(action->isEnabled()); });
    connect(&button, &QAbstractButton::clicked, this, [this, id] { Run(id); });
}

CommandState CommandRouter::Query(int32_t id) const
{
    const bool handled = std::any_of(m_receivers.begin(), m_receivers.end(),
                                     [id](const CommandReceiver* r) { return r->FindHandler(id) != nullptr; });
    StateUI ui(id, handled);
    for (const CommandReceiver* receiver : m_receivers) {
        if (const CommandReceiver::Enabler* enabler = receiver->FindEnabler(id)) {
            const CommandReceiver::Enabler ask = *enabler;  // the handler may change the receivers
            ask(ui);
            break;
        }
    }
    return ui.state;
}

bool CommandRouter::Run(int32_t id)
{
    const CommandState state = Query(id);
    Apply(id, state);
    if (!state.enabled)
        return false;
    for (const CommandReceiver* receiver : m_receivers) {
        if (const CommandReceiver::RangeHandler* handler = receiver->FindHandler(id)) {
            const CommandReceiver::RangeHandler run = *handler;  // the command may remove its receiver
            run(id);
            RequestUpdate();
            return true;
        }
    }
    return false;
}

void CommandRouter::UpdateActions()
{
    for (const auto& [id, action] : m_actions)
        Apply(id, Query(id));
}

void CommandRouter::UpdateKeptActions()
{
    for (const int32_t id : m_kept)
        Apply(id, Query(id));
}

void CommandRouter::RequestUpdate()
{
    if (!m_idle.isActive())
        m_idle.start();
}

void CommandRouter::Attach(CommandReceiver& receiver)
{
    const auto later = std::find_if(m_receivers.begin(), m_receivers.end(), [&](const CommandReceiver* r) {
        return static_cast<int>(r->Stage()) > static_cast<int>(receiver.Stage());
    });
    m_receivers.insert(later, &receiver);
    RequestUpdate();
}

void CommandRouter::Detach(CommandReceiver& receiver)
{
    std::erase(m_receivers, &receiver);
    RequestUpdate();
}

void CommandRouter::Apply(int32_t id, const CommandState& state)
{
    const auto found = m_actions.find(id);
    if (found == m_actions.end())
        return;
    QAction* action = found->second;
    action->setEnabled(state.enabled);
    if (state.checked) {
        action->setCheckable(true);
        action->setChecked(*state.checked);
    }
    if (state.text)
        action->setText(*state.text);
}

bool CommandRouter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_idle && WakesIdlePass(event->type()))
        RequestUpdate();
    return QObject::eventFilter(watched, event);
}

} // namespace platform
