#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>

// The periods of the program's own timers.
inline constexpr int TaskTimerPeriodMs = 32;      // the main window's task-list tick
inline constexpr int LoadBoxTimerPeriodMs = 100;  // the download progress dialog's tick
inline constexpr int ThumbnailTimerPeriodMs = 100;  // a content browser's thumbnail polling
inline constexpr int BlinkTimerPeriodMs = 512;    // the Next Step button's blinking

// A repeating timer of the program's own (the task tick, thumbnail polling, blinking) on the
// user-interface thread. While the task list is suspended (TaskListSuspension: a drag, a blocking send)
// its ticks are dropped, as a drag loop that dispatches no timer messages would drop them, and they are
// not made up afterwards: the next tick comes at the next period.
class ProgramTimer {
public:
    ProgramTimer(int periodMs, std::function<void()> tick);
    ProgramTimer(const ProgramTimer&) = delete;
    ProgramTimer& operator=(const ProgramTimer&) = delete;

    void Start();  // (re)starts: the first tick comes one period from now
    void Stop();
    bool IsActive() const { return m_timer.isActive(); }
    int PeriodMs() const { return m_timer.interval(); }

    // Ticks that came while the task list was suspended and were dropped.
    int64_t DroppedTicks() const { return m_dropped; }

private:
    void OnTimeout();

    QTimer m_timer;
    std::function<void()> m_tick;
    int64_t m_dropped = 0;
};
