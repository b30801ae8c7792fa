#pragma once

#include <functional>
#include <system_error>

#include "platform/system/Thread.h"

namespace testsupport {

// For the lifetime of the scope no thread can be started: every sys::StartThread fails as
// a real thread does when a process limit is reached.
class FailingThreads {
public:
    FailingThreads() { sys::SetThreadStarter(&Fail); }
    ~FailingThreads() { sys::SetThreadStarter(nullptr); }
    FailingThreads(const FailingThreads&) = delete;
    FailingThreads& operator=(const FailingThreads&) = delete;

private:
    static sys::Thread Fail(std::function<void()>) {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
};

}  // namespace testsupport
