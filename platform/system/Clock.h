#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace sys {

// Sleep and calendar time, replaceable so that tests run whole games in virtual time.
class Clock {
public:
    virtual ~Clock() = default;
    // Blocks the calling thread for at least `ms` milliseconds (non-positive: returns).
    virtual void Sleep(int ms) = 0;
    // Calendar time in whole seconds since the epoch.
    virtual std::int64_t Time() = 0;
    // Like Sleep, but returns once `cancel` is non-zero: at once when it already is, else
    // when WakeSleepers follows the store that sets it.
    virtual void SleepUnless(int ms, const std::atomic<int>& cancel) {
        if (cancel.load() == 0) {
            Sleep(ms);
        }
    }
    // Called after a cancel flag has been set: SleepUnless calls waiting on it return.
    virtual void WakeSleepers() {}
};

// The system clock: really sleeps.
class RealClock final : public Clock {
public:
    void Sleep(int ms) override;
    std::int64_t Time() override;
    // Waits on a condition rather than polling the flag, so a long sleep costs no wake-ups.
    void SleepUnless(int ms, const std::atomic<int>& cancel) override;
    void WakeSleepers() override;

private:
    std::mutex mutex_;
    std::condition_variable wake_;
};

// A clock for tests: Sleep advances virtual time at once and records the request.
// Time() is `epochSeconds` plus the virtual milliseconds elapsed, in whole seconds.
// Thread-safe; the hook runs on the sleeping thread before time advances.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(std::int64_t epochSeconds = 1'700'000'000);

    void Sleep(int ms) override;
    std::int64_t Time() override;

    std::int64_t NowMs() const { return nowMs_.load(); }
    std::vector<int> Sleeps() const;  // every Sleep argument, in order
    // Called as hook(nowMs, ms) at every Sleep, before time advances.
    void SetSleepHook(std::function<void(std::int64_t, int)> hook);

private:
    const std::int64_t epoch_;
    std::atomic<std::int64_t> nowMs_{0};
    mutable std::mutex mutex_;
    std::vector<int> sleeps_;
    std::function<void(std::int64_t, int)> hook_;
};

// The clock in use (the real one unless replaced). Pass nullptr to restore the real one.
// Replace it only while no other thread uses it.
void SetClock(Clock* clock);
Clock& GetClock();

inline void Sleep(int ms) {
    GetClock().Sleep(ms);
}
inline std::int64_t Time() {
    return GetClock().Time();
}

}  // namespace sys
