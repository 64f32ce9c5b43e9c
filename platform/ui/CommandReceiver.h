#pragma once

#include "platform/CommandUI.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

class CommandRouter;

// Where a receiver stands in the routing order; the router asks receivers in this order, and within a
// stage in the order they joined. The first receiver with a handler for an id takes the command.
enum class CommandStage {
    View,         // the editing view
    Document,
    Frame,        // the main window and its panes
    Application,
};

// The command map of one receiver (the document, the main window...): a handler and an enabling
// handler per command id or id range. It joins the router when made and leaves it when destroyed.
//
//   platform::CommandReceiver commands(router, platform::CommandStage::Document);
//   commands.On(32801, [&] { document.OnNextStep(); });
//   commands.OnUpdate(32801, [&](platform::CommandUI& ui) { document.OnUpdateNextStep(ui); });
//   commands.OnRange(32832, 32840, [&](int32_t id) { document.OnTool(id); });
//
// Entries are searched in the order they were added; the first that covers an id answers for it.
class CommandReceiver {
public:
    using Handler = std::function<void()>;
    using RangeHandler = std::function<void(int32_t id)>;
    using Enabler = std::function<void(CommandUI& ui)>;  // range enablers read ui.Id()

    CommandReceiver(CommandRouter& router, CommandStage stage);
    ~CommandReceiver();
    CommandReceiver(const CommandReceiver&) = delete;
    CommandReceiver& operator=(const CommandReceiver&) = delete;

    void On(int32_t id, Handler handler);
    void OnRange(int32_t first, int32_t last, RangeHandler handler);
    void OnUpdate(int32_t id, Enabler enabler);
    void OnUpdateRange(int32_t first, int32_t last, Enabler enabler);

    CommandStage Stage() const { return m_stage; }
    // The handler or enabling handler that covers id; null when none does.
    const RangeHandler* FindHandler(int32_t id) const;
    const Enabler* FindEnabler(int32_t id) const;

private:
    friend class CommandRouter;

    template <class F>
    struct Entry {
        int32_t first;
        int32_t last;
        F function;
    };

    CommandRouter* m_router;  // null once the router is gone
    CommandStage m_stage;
    std::vector<Entry<RangeHandler>> m_handlers;
    std::vector<Entry<Enabler>> m_enablers;
};

} // namespace platform
