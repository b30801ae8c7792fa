#pragma once

#include <time.h>

#include <atomic>
#include <string>

#include "tests/fuzz/DrawingFuzz.h"

namespace fuzz {

// Times every call in the CPU time of the calling thread, so that a busy machine does not
// make a call look slow, and remembers the slowest one.
class CallTimer : public Observer {
public:
    static constexpr double kLimitMs = 50.0;

    void Begin(const char* what) override {
        current_ = what;
        start_ = Now();
    }
    void End() override {
        const double ms = Now() - start_;
        lastMs_ = ms;
        if (ms > slowestMs_) {
            slowestMs_ = ms;
            slowest_ = current_.load();
        }
        if (ms > kLimitMs) {
            OnSlowCall(ms);
        }
        current_ = nullptr;
        ended_.fetch_add(1);
    }
    // The call under way (nullptr between calls): what a crash report names.
    const char* Current() const { return current_.load(); }
    // Calls ended so far: a watchdog's way to see one that never ends.
    long Ended() const { return ended_.load(); }
    double LastMs() const { return lastMs_; }
    double SlowestMs() const { return slowestMs_; }
    const std::string& Slowest() const { return slowest_; }

protected:
    virtual void OnSlowCall(double ms) = 0;

private:
    static double Now() {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
    }

    std::atomic<const char*> current_{nullptr};  // also read by a watchdog
    std::atomic<long> ended_{0};
    double start_ = 0;
    double lastMs_ = 0;
    double slowestMs_ = 0;
    std::string slowest_;
};

}  // namespace fuzz
