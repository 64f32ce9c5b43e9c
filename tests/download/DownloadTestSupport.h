#pragma once

#include "library/download/DownloadThread.h"
#include "library/download/RequestManager.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QString>
#include <chrono>
#include <functional>
#include <string>

namespace downloadtest {

// Short limits for the tests of the watchdog: a stalled download is given up within a second or two.
// Every other test keeps the program's own limits, so a slow machine never times out a healthy download.
inline DownloadTimings TimeoutTimings()
{
    DownloadTimings timings;
    timings.idleTimeout = std::chrono::milliseconds(300);
    timings.watchdogPeriod = std::chrono::milliseconds(50);
    return timings;
}

inline bool IsFinal(int32_t state)
{
    return state == DownloadStateDone || state == DownloadStateFailed || state == DownloadStateRequeue ||
           state == DownloadStateAborted;
}

// Ticks the queue until the condition holds; false when it never does.
inline bool TickUntil(RequestManager& manager, const std::function<bool()>& condition)
{
    return WaitUntil([&] {
        manager.Process();
        return condition();
    });
}

// The workers' threads have started: every worker can take a download on the next tick.
inline bool WaitForIdleWorkers(RequestManager& manager)
{
    return WaitUntil([&] {
        for (int i = 0; i < RequestManager::WorkerCount; ++i) {
            if (manager.Worker(i).State() != DownloadStateIdle)
                return false;
        }
        return true;
    });
}

inline bool Exists(const QString& path)
{
    return QFile::exists(path);
}

inline std::string Local(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace downloadtest
