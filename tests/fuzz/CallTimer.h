#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fuzz/DrawingFuzz.h"
#include "tests/support/FillCost.h"

namespace fuzz {

// Weighs every call in fills of the game's surface (tests/support/FillCost.h): its CPU time
// over what a fill cost when the timer was made. A call over the limit is weighed again by
// replaying its input against fills measured just before the call, a few times; only a call
// over the limit every time is slow, so no busy moment of the machine makes one look slow.
class CallTimer : public Observer {
public:
    // Under AddressSanitizer, where the test runs, a fill costs about 0.25 ms of CPU on the
    // development machine: the limit is about 50 ms there.
    static constexpr double kLimitFills = 200.0;

    CallTimer() : fillMs_(testsupport::SurfaceFillMs()) {}

    void Begin(const char* what) override {
        current_ = what;
        start_ = testsupport::ThreadCpuMs();
    }
    void End() override {
        const double ms = testsupport::ThreadCpuMs() - start_;
        lastMs_ = ms;
        const double fills = ms / fillMs_;
        if (fills > slowestFills_) {
            slowestFills_ = fills;
            slowest_ = current_.load();
        }
        if (fills > kLimitFills) {
            suspect_ = calls_;
            suspectWhat_ = current_.load();
        }
        ++calls_;
        current_ = nullptr;
        ended_.fetch_add(1);
    }
    // The call under way (nullptr between calls): what a crash report names.
    const char* Current() const { return current_.load(); }
    // Calls ended so far: a watchdog's way to see one that never ends.
    long Ended() const { return ended_.load(); }
    double LastMs() const { return lastMs_; }
    double SlowestFills() const { return slowestFills_; }
    const std::string& Slowest() const { return slowest_; }
    double FillMs() const { return fillMs_; }

    // Plays one input, then weighs again its last call over the limit, if any; reports it
    // through OnSlowCall when it stays over. Returns the number of calls made.
    long Play(const std::uint8_t* data, std::size_t size, const Limits& limits = {}) {
        calls_ = 0;
        suspect_ = -1;
        const long made = PlayDrawing(data, size, *this, limits);
        if (suspect_ >= 0) {
            const double fills = Reweigh(data, size, limits, suspect_);
            if (fills > kLimitFills) {
                OnSlowCall(suspectWhat_.c_str(), fills);
            }
        }
        return made;
    }

protected:
    virtual void OnSlowCall(const char* what, double fills) = 0;

    // Which calls to leave out; the replay leaves out the same ones.
    bool Skip(const char* what) override { return SkipCall(what); }
    virtual bool SkipCall(const char* /*what*/) { return false; }

private:
    // The least weight of call `index` of the input over a few replays, each call weighed
    // against a fill measured just before it.
    double Reweigh(const std::uint8_t* data, std::size_t size, const Limits& limits, long index) {
        class Replay final : public Observer {
        public:
            Replay(CallTimer& timer, long index) : timer_(timer), index_(index) {}
            bool Skip(const char* what) override { return timer_.SkipCall(what); }
            void Begin(const char*) override {
                if (calls_ == index_) {
                    fillMs_ = testsupport::SurfaceFillMs();
                    start_ = testsupport::ThreadCpuMs();
                }
            }
            void End() override {
                if (calls_++ == index_) {
                    fills = (testsupport::ThreadCpuMs() - start_) / fillMs_;
                }
            }
            double fills = 0;

        private:
            CallTimer& timer_;
            long index_;
            long calls_ = 0;
            double fillMs_ = 0;
            double start_ = 0;
        };
        constexpr int kReplays = 3;
        double least = 0;
        for (int i = 0; i < kReplays; ++i) {
            Replay replay(*this, index);
            PlayDrawing(data, size, replay, limits);
            least = i == 0 ? replay.fills : std::min(least, replay.fills);
        }
        return least;
    }

    std::atomic<const char*> current_{nullptr};  // also read by a watchdog
    std::atomic<long> ended_{0};
    double fillMs_;
    double start_ = 0;
    double lastMs_ = 0;
    double slowestFills_ = 0;
    std::string slowest_;
    long calls_ = 0;
    long suspect_ = -1;
    std::string suspectWhat_;
};

}  // namespace fuzz
