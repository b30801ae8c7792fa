#include "platform/system/Thread.h"

#include <atomic>
#include <utility>

namespace sys {

namespace {

std::atomic<ThreadStarter> g_starter{nullptr};

}  // namespace

std::thread StartThread(std::function<void()> body) {
    if (const ThreadStarter starter = g_starter.load()) {
        return starter(std::move(body));
    }
    return std::thread(std::move(body));
}

void SetThreadStarter(ThreadStarter starter) {
    g_starter.store(starter);
}

}  // namespace sys
