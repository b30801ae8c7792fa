#include "platform/system/Clock.h"

#include <chrono>
#include <ctime>
#include <utility>

#include "platform/system/Thread.h"

namespace sys {

void RealClock::Sleep(int ms) {
    if (ms > 0) {
        SleepFor(std::chrono::milliseconds(ms));
    }
}

#if TOLVANE_COOPERATIVE

void RealClock::SleepUnless(int ms, const std::atomic<int>& cancel) {
    if (cancel.load() == 0) {
        coop::SuspendFor(std::chrono::milliseconds(ms), [&cancel] { return cancel.load() != 0; });
    }
}

// A sleeping fiber's flag is looked at whenever the fibers are scheduled.
void RealClock::WakeSleepers() {}

#else

void RealClock::SleepUnless(int ms, const std::atomic<int>& cancel) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [&cancel] { return cancel.load() != 0; });
}

void RealClock::WakeSleepers() {
    // Taking the lock orders this after a sleeper's look at its flag: either it saw the flag
    // set, or it is waiting and the notification reaches it.
    { std::lock_guard lock(mutex_); }
    wake_.notify_all();
}

#endif

std::int64_t RealClock::Time() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

VirtualClock::VirtualClock(std::int64_t epochSeconds) : epoch_(epochSeconds) {}

void VirtualClock::Sleep(int ms) {
    std::function<void(std::int64_t, int)> hook;
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(ms);
        hook = hook_;
    }
    // The hook runs without the clock's lock held, so it may sleep or read the clock itself.
    if (hook) {
        hook(nowMs_.load(), ms);
    }
    if (ms > 0) {
        nowMs_.fetch_add(ms);
    }
#if TOLVANE_COOPERATIVE
    // No time passes, but the other fibers get their turn, as other threads would meanwhile.
    coop::Suspend(coop::Clock::now());
#endif
}

std::int64_t VirtualClock::Time() {
    return epoch_ + nowMs_.load() / 1000;
}

std::vector<int> VirtualClock::Sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
}

void VirtualClock::SetSleepHook(std::function<void(std::int64_t, int)> hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

namespace {

RealClock g_realClock;
std::atomic<Clock*> g_clock{nullptr};

}  // namespace

void SetClock(Clock* clock) {
    g_clock.store(clock);
}

Clock& GetClock() {
    Clock* clock = g_clock.load();
    return clock != nullptr ? *clock : g_realClock;
}

}  // namespace sys
