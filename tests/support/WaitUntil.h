#pragma once

#include <chrono>
#include <functional>

// Long enough for the slowest machine; the conditions waited for come about in milliseconds, so this
// bounds a hang and is no timing.
inline constexpr auto PatienceLimit = std::chrono::seconds(30);

// Polls condition until it holds; false when it never does within PatienceLimit.
bool WaitUntil(const std::function<bool()>& condition);
