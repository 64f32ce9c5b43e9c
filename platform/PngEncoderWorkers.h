#pragma once

#include <functional>
#include <thread>

namespace platform {

// Starts the thread that compresses one strip of a PNG. The encoder starts its workers through this
// seam so that a test can make starting one fail as the system can (std::system_error when no thread can
// be made, std::bad_alloc when the thread's state cannot be allocated).
using PngWorkerStarter = std::thread (*)(std::function<void()> work);

// Replaces the starter; nullptr restores the one that starts a std::thread. Not for use while a PNG
// is being encoded.
void SetPngWorkerStarter(PngWorkerStarter starter);

} // namespace platform
