#include "engine/base/ProgramTimer.h"

#include "engine/base/TaskList.h"

ProgramTimer::ProgramTimer(int periodMs, std::function<void()> tick) : m_tick(std::move(tick))
{
    m_timer.setInterval(periodMs);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { OnTimeout(); });
}

void ProgramTimer::Start()
{
    m_timer.start();
}

void ProgramTimer::Stop()
{
    m_timer.stop();
}

void ProgramTimer::OnTimeout()
{
    if (TaskListSuspension::Active()) {
        ++m_dropped;
        return;
    }
    m_tick();
}
