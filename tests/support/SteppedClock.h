#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "GClass/SerrikThread.h"
#include "platform/system/Clock.h"
#include "platform/system/Thread.h"
#include "platform/window/Video.h"

namespace testsupport {

// Virtual time in lock-step with a driver on the user-interface thread: a worker's sleep
// parks until the driver grants it (time then advances by its length) or a stop cancels it
// (time stays). The user-interface thread's own sleeps (the polls of WaitForIdle) return
// almost at once and leave time alone, so the timeline depends on the driver's choices only.
//
// Every run of a worker is a thread of its own that sleeps before it can end, so counting the
// threads that sleep counts the runs, and two of them alive at once are two runs at once.
// Where threads are fibers on one thread (the cooperative build) the waits hand the thread to
// the other fibers, and runs are not counted: a fiber has no end of its own to observe.
class SteppedClock final : public sys::Clock {
public:
    static constexpr std::int64_t kEpoch = 1'700'000'000;

    explicit SteppedClock(std::int64_t epochSeconds = kEpoch) : epoch_(epochSeconds) {}
    SteppedClock(const SteppedClock&) = delete;
    SteppedClock& operator=(const SteppedClock&) = delete;

    void Sleep(int ms) override {
        static const std::atomic<int> never{0};
        SleepUnless(ms, never);
    }
    std::int64_t Time() override { return epoch_ + nowMs_.load() / 1000; }

    void SleepUnless(int ms, const std::atomic<int>& cancel) override {
        if (ui::IsUiThread()) {
            sys::SleepFor(std::chrono::microseconds(50));
            return;
        }
        std::unique_lock lock(mutex_);
        if (RunMark& mark = Mark(); kCountsRuns && mark.clock == nullptr) {
            mark.clock = this;
            ++runs_;
            if (++alive_ > 1) {
                overlapped_ = true;
            }
        }
        if (ms <= 0 || cancel.load() != 0) {
            return;
        }
        parkedMs_ = ms;
        cancel_ = &cancel;
        cv_.notify_all();
        // A stop is a plain atomic store that notifies nobody, hence the short polls.
        while (!granted_ && cancel.load() == 0) {
            Wait(lock, std::chrono::milliseconds(1));
        }
        if (granted_) {
            nowMs_.fetch_add(ms);
        }
        granted_ = false;
        parkedMs_ = 0;
        cancel_ = nullptr;
        cv_.notify_all();
    }

    // Waits until the worker is parked in a sleep nobody has cancelled or granted (returns its
    // length) or has no run (returns 0). Returns -1 when neither happens within `limit`.
    int Settle(const CSerrikThread& worker, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        std::unique_lock lock(mutex_);
        for (;;) {
            if (parkedMs_ > 0 && !granted_ && cancel_->load() == 0) {
                return parkedMs_;
            }
            if (parkedMs_ == 0 && !worker.IsActive() && worker.IsIdle()) {
                return 0;
            }
            if (std::chrono::steady_clock::now() > end) {
                return -1;
            }
            // A run that ends tells nobody either.
            Wait(lock, std::chrono::microseconds(100));
        }
    }

    // Lets the parked sleep end; the worker runs on to its next sleep (see Settle).
    void Grant() {
        std::lock_guard lock(mutex_);
        if (parkedMs_ > 0) {
            granted_ = true;
            cv_.notify_all();
        }
    }

    std::int64_t NowMs() const { return nowMs_.load(); }
    int Runs() const {
        std::lock_guard lock(mutex_);
        return runs_;
    }
    bool Overlapped() const {
        std::lock_guard lock(mutex_);
        return overlapped_;
    }

private:
#if TOLVANE_COOPERATIVE
    static constexpr bool kCountsRuns = false;
#else
    static constexpr bool kCountsRuns = true;
#endif

    // Waits for a notification, or for `span`, with the lock released meanwhile.
    void Wait(std::unique_lock<std::mutex>& lock, std::chrono::microseconds span) {
#if TOLVANE_COOPERATIVE
        // The notifier is another fiber of this thread: it runs only while this one sleeps.
        lock.unlock();
        sys::SleepFor(span);
        lock.lock();
#else
        cv_.wait_for(lock, span);
#endif
    }

    // Ends with its thread: the run is over.
    struct RunMark {
        SteppedClock* clock = nullptr;
        ~RunMark() {
            if (clock != nullptr) {
                std::lock_guard lock(clock->mutex_);
                --clock->alive_;
            }
        }
    };
    static RunMark& Mark() {
        thread_local RunMark mark;
        return mark;
    }

    const std::int64_t epoch_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::atomic<std::int64_t> nowMs_{0};
    int parkedMs_ = 0;
    const std::atomic<int>* cancel_ = nullptr;
    bool granted_ = false;
    int runs_ = 0;
    int alive_ = 0;
    bool overlapped_ = false;
};

}  // namespace testsupport
