#include "platform/system/Thread.h"

#include <atomic>
#include <exception>
#include <utility>

namespace sys {

namespace {

std::atomic<ThreadStarter> g_starter{nullptr};

}  // namespace

Thread& Thread::operator=(Thread&& other) noexcept {
    if (joinable()) {
        std::terminate();
    }
#if TOLVANE_COOPERATIVE
    fiber_ = std::move(other.fiber_);
#else
    thread_ = std::move(other.thread_);
#endif
    return *this;
}

#if TOLVANE_COOPERATIVE

Thread::~Thread() {
    if (joinable()) {
        std::terminate();
    }
}

bool Thread::joinable() const {
    return fiber_ != nullptr;
}

void Thread::join() {
    const coop::Fiber& fiber = *fiber_;
    coop::Suspend(coop::Clock::time_point::max(), [&fiber] { return coop::Finished(fiber); });
    fiber_.reset();
}

ThreadId CurrentThreadId() {
    return coop::Current();
}

void SleepFor(std::chrono::microseconds span) {
    coop::SuspendFor(span);
}

Thread StartThread(std::function<void()> body) {
    if (const ThreadStarter starter = g_starter.load()) {
        return starter(std::move(body));
    }
    return Thread(coop::Spawn(std::move(body)));
}

#else

Thread::~Thread() = default;  // std::thread's own: a joinable one ends the program

bool Thread::joinable() const {
    return thread_.joinable();
}

void Thread::join() {
    thread_.join();
}

ThreadId CurrentThreadId() {
    return std::this_thread::get_id();
}

void SleepFor(std::chrono::microseconds span) {
    std::this_thread::sleep_for(span);
}

Thread StartThread(std::function<void()> body) {
    if (const ThreadStarter starter = g_starter.load()) {
        return starter(std::move(body));
    }
    return Thread(std::thread(std::move(body)));
}

#endif

void SetThreadStarter(ThreadStarter starter) {
    g_starter.store(starter);
}

}  // namespace sys
