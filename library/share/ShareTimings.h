#pragma once

#include <chrono>

// Name resolution and connecting together may take this long.
inline constexpr std::chrono::milliseconds ShareConnectTimeout{30000};
// A send during which no byte has moved, in either direction, for longer than this has failed: a service
// that takes the post and never answers fails after about this time (libcurl looks in about once a
// second).
inline constexpr std::chrono::milliseconds ShareStallTimeout{30000};

// The clock limits of the share post; tests shorten them.
struct ShareTimings {
    std::chrono::milliseconds connectTimeout = ShareConnectTimeout;
    std::chrono::milliseconds stallTimeout = ShareStallTimeout;
};
