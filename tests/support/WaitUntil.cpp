#include "WaitUntil.h"

#include <thread>

namespace {

constexpr auto PollInterval = std::chrono::milliseconds(2);

} // namespace

bool WaitUntil(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + PatienceLimit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(PollInterval);
    }
    return true;
}
