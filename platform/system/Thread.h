#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#if TOLVANE_COOPERATIVE
#include "platform/system/Cooperative.h"
#endif

namespace sys {

// A thread of the program's: a real thread, or in the cooperative build (the page) a fiber on
// the one thread. Used as a std::thread: joined once before it goes, never detached.
class Thread {
public:
    Thread() = default;
#if TOLVANE_COOPERATIVE
    explicit Thread(std::shared_ptr<coop::Fiber> fiber) : fiber_(std::move(fiber)) {}
#else
    explicit Thread(std::thread thread) : thread_(std::move(thread)) {}
#endif
    Thread(Thread&&) noexcept = default;
    Thread& operator=(Thread&& other) noexcept;
    ~Thread();

    bool joinable() const;
    // Waits for the thread's body to end.
    void join();

private:
#if TOLVANE_COOPERATIVE
    std::shared_ptr<coop::Fiber> fiber_;
#else
    std::thread thread_;
#endif
};

// Starts `body` on a new thread. Like std::thread it throws std::system_error when the system
// cannot create one (a process or memory limit reached).
Thread StartThread(std::function<void()> body);

// How StartThread creates its threads; tests replace it to make creation fail. Pass nullptr
// to restore the default. Replace it only while no thread is being started.
using ThreadStarter = Thread (*)(std::function<void()> body);
void SetThreadStarter(ThreadStarter starter);

// Which thread runs the caller (a fiber's own identity in the cooperative build).
#if TOLVANE_COOPERATIVE
using ThreadId = const coop::Fiber*;
#else
using ThreadId = std::thread::id;
#endif
ThreadId CurrentThreadId();

// Blocks the calling thread for `span` of real time while the others run: a wait for another
// thread's progress that no replaced clock shortens.
void SleepFor(std::chrono::microseconds span);

}  // namespace sys
