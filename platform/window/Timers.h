#pragma once

#include <chrono>
#include <functional>
#include <vector>

namespace ui {

// A window's timers: deadlines the message loop checks, not threads. Set, killed and fired
// here only.
class Timers {
public:
    using Clock = std::chrono::steady_clock;

    // Starts (or restarts) timer `id`, due every `ms` milliseconds (at least the desktop's
    // minimum period) from `now`.
    void Set(int id, int ms, Clock::time_point now);
    void Kill(int id);
    void Clear() { timers_.clear(); }

    // Milliseconds until the next one is due (0 when one is due), -1 without timers.
    long long MsUntilNext(Clock::time_point now) const;
    // Calls `fire(id)` once for each timer due at `now`, however late, and schedules its next
    // tick. A handler may kill or reset timers; firing stops once `stillRunning()` is false.
    void Fire(Clock::time_point now, const std::function<bool()>& stillRunning,
              const std::function<void(int id)>& fire);

private:
    struct Timer {
        int id = 0;
        int periodMs = 0;
        Clock::time_point due;
    };
    std::vector<Timer> timers_;
};

}  // namespace ui
