#include "platform/ui/CommandReceiver.h"

#include "platform/ui/CommandRouter.h"

namespace platform {

namespace {

template <class Entries>
const auto* FindIn(const Entries& entries, int32_t id)
{
    for (const auto& entry : entries) {
        if (id >= entry.first && id <= entry.last)
            return &entry.function;
    }
    return static_cast<decltype(&entries.front().function)>(nullptr);
}

} // namespace

CommandReceiver::CommandReceiver(CommandRouter& router, CommandStage stage) : m_router(&router), m_stage(stage)
{
    router.Attach(*this);
}

CommandReceiver::~CommandReceiver()
{
    if (m_router)
        m_router->Detach(*this);
}

void CommandReceiver::On(int32_t id, Handler handler)
{
    m_handlers.push_back({id, id, [handler = std::move(handler)](int32_t) { handler(); }});
}

void CommandReceiver::OnRange(int32_t first, int32_t last, RangeHandler handler)
{
    m_handlers.push_back({first, last, std::move(handler)});
}

void CommandReceiver::OnUpdate(int32_t id, Enabler enabler)
{
    m_enablers.push_back({id, id, std::move(enabler)});
}

void CommandReceiver::OnUpdateRange(int32_t first, int32_t last, Enabler enabler)
{
    m_enablers.push_back({first, last, std::move(enabler)});
}

const CommandReceiver::RangeHandler* CommandReceiver::FindHandler(int32_t id) const
{
    return FindIn(m_handlers, id);
}

const CommandReceiver::Enabler* CommandReceiver::FindEnabler(int32_t id) const
{
    return FindIn(m_enablers, id);
}

} // namespace platform
