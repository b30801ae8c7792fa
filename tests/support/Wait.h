#pragma once

#include <chrono>
#include <functional>

#include "platform/system/Thread.h"

namespace testsupport {

// Polls `done` with the real clock (never through sys::Sleep, which may be virtual) until it
// holds or `limit` has passed; false on the limit. Other threads (fibers) run meanwhile.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::milliseconds(10000)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        sys::SleepFor(std::chrono::microseconds(200));
    }
    return true;
}

// Until a worker (a CSerrikThread) has ended its run: no longer active, and idle.
template <typename Worker>
bool WaitForRunEnd(const Worker& worker) {
    return WaitUntil([&] { return !worker.IsActive() && worker.IsIdle(); });
}

}  // namespace testsupport
