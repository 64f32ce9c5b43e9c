#pragma once

#include <chrono>

// A download on which no data has arrived for longer than this is aborted.
inline constexpr std::chrono::milliseconds DownloadIdleTimeout{60000};
// How often the watchdog looks at a running download.
inline constexpr std::chrono::milliseconds DownloadWatchdogPeriod{3000};
// Name resolution and connecting together may take this long.
inline constexpr std::chrono::milliseconds DownloadConnectTimeout{30000};

// The clock limits of the download workers; tests shorten them.
struct DownloadTimings {
    std::chrono::milliseconds idleTimeout = DownloadIdleTimeout;
    std::chrono::milliseconds watchdogPeriod = DownloadWatchdogPeriod;
    std::chrono::milliseconds connectTimeout = DownloadConnectTimeout;
};

// The watchdog's rule: exactly the idle limit does not abort; anything more does.
inline bool IdleLimitExceeded(std::chrono::steady_clock::duration idle, std::chrono::milliseconds limit)
{
    return idle > limit;
}
