#pragma once

// Tells whether a lock is held at a given moment, from other threads. A thread that the lock
// holds back never gets through while it is held, so a probe never reports a held lock as
// free; one that nothing holds back gets through in far less than the grace period, in every
// build. The tests catch a missing lock on every run, not only when threads happen to meet.

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testsupport {

// How long a thread is given to get past a lock that should hold it back.
inline constexpr std::chrono::milliseconds kLockGrace{50};

namespace detail {

// Starts each task on a thread of its own, waits until all have started and then up to the
// grace period for them to finish. Returns which finished; the threads are left running.
inline std::vector<bool> RunForGrace(const std::vector<std::function<void()>>& tasks,
                                     std::vector<std::thread>& threads) {
    std::atomic<int> started{0};
    auto done = std::make_shared<std::deque<std::atomic<bool>>>(tasks.size());
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        threads.emplace_back([&started, done, task = tasks[i], i] {
            ++started;
            task();
            (*done)[i] = true;
        });
    }
    while (started.load() < static_cast<int>(tasks.size())) {
        std::this_thread::yield();
    }
    const auto end = std::chrono::steady_clock::now() + kLockGrace;
    auto allDone = [&] {
        for (const auto& d : *done) {
            if (!d) {
                return false;
            }
        }
        return true;
    };
    while (!allDone() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::vector<bool> finished;
    for (const auto& d : *done) {
        finished.push_back(d.load());
    }
    return finished;
}

}  // namespace detail

// An operation under test, named for the failure message.
struct NamedOp {
    std::string name;
    std::function<void()> run;
};

// Runs every op at once on threads of their own while `hold` (on this thread) holds the lock
// under test: hold(inside) takes the lock, calls inside() and releases it. Returns the names of
// the ops that finished while the lock was held, that is those that do not take it, separated
// by ", "; empty when every op waited.
inline std::string OpsThatIgnoreTheLock(
    const std::function<void(const std::function<void()>&)>& hold,
    const std::vector<NamedOp>& ops) {
    std::vector<std::function<void()>> tasks;
    for (const NamedOp& op : ops) {
        tasks.push_back(op.run);
    }
    std::vector<std::thread> threads;
    std::vector<bool> finished;
    hold([&] { finished = detail::RunForGrace(tasks, threads); });
    for (std::thread& t : threads) {
        t.join();
    }
    std::string names;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (finished[i]) {
            names += (names.empty() ? "" : ", ") + ops[i].name;
        }
    }
    return names;
}

// Probes a lock from inside code that should hold it: Free() starts `take` (which takes the
// lock and lets it go) on another thread and reports whether it got through within the grace
// period. The thread is joined when the probe goes, so let the probe outlive the holder.
class LockProbe {
public:
    explicit LockProbe(std::function<void()> take) : take_(std::move(take)) {}
    ~LockProbe() {
        for (std::thread& t : threads_) {
            t.join();
        }
    }
    LockProbe(const LockProbe&) = delete;
    LockProbe& operator=(const LockProbe&) = delete;

    bool Free() { return detail::RunForGrace({take_}, threads_)[0]; }

private:
    std::function<void()> take_;
    std::vector<std::thread> threads_;
};

}  // namespace testsupport
