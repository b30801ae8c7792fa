#include "platform/window/Timers.h"

#include <algorithm>

namespace ui {

namespace {

// The desktop's minimum timer period.
constexpr int kMinTimerMs = 10;

}  // namespace

void Timers::Set(int id, int ms, Clock::time_point now) {
    const int period = std::max(ms, kMinTimerMs);
    const auto due = now + std::chrono::milliseconds(period);
    for (Timer& t : timers_) {
        if (t.id == id) {
            t.periodMs = period;
            t.due = due;
            return;
        }
    }
    timers_.push_back({id, period, due});
}

void Timers::Kill(int id) {
    std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
}

long long Timers::MsUntilNext(Clock::time_point now) const {
    long long best = -1;
    for (const Timer& t : timers_) {
        const long long ms = std::max<long long>(
            0, std::chrono::ceil<std::chrono::milliseconds>(t.due - now).count());
        if (best < 0 || ms < best) {
            best = ms;
        }
    }
    return best;
}

void Timers::Fire(Clock::time_point now, const std::function<bool()>& stillRunning,
                  const std::function<void(int id)>& fire) {
    std::vector<int> due;
    for (const Timer& t : timers_) {
        if (t.due <= now) {
            due.push_back(t.id);
        }
    }
    for (int id : due) {
        // A handler may have ended the window, or killed or reset the timer.
        if (!stillRunning()) {
            break;
        }
        auto it = std::find_if(timers_.begin(), timers_.end(),
                               [id](const Timer& t) { return t.id == id; });
        if (it == timers_.end() || it->due > now) {
            continue;
        }
        // One tick per pass however late the loop is, as desktop timers coalesce.
        it->due += std::chrono::milliseconds(it->periodMs);
        if (it->due <= now) {
            it->due = now + std::chrono::milliseconds(it->periodMs);
        }
        fire(id);
    }
}

}  // namespace ui
