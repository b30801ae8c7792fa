#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace testsupport {

// Names a hang: calls `onStall` (which ends the program) when `progress` reads the same at two
// looks `period` apart, for as long as the scope lives.
class StallWatch {
public:
    StallWatch(std::chrono::seconds period, std::function<long()> progress,
               std::function<void()> onStall)
        : thread_([this, period, progress = std::move(progress), onStall = std::move(onStall)] {
              std::unique_lock lock(mutex_);
              long last = progress();
              while (!cv_.wait_for(lock, period, [this] { return done_; })) {
                  const long now = progress();
                  if (now == last) {
                      onStall();
                  }
                  last = now;
              }
          }) {}
    ~StallWatch() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace testsupport
