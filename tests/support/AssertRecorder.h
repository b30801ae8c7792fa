#pragma once

#include <atomic>

#include "platform/system/Assert.h"

namespace testsupport {

#ifdef NDEBUG
constexpr bool kAssertsActive = false;
#else
constexpr bool kAssertsActive = true;
#endif

// Counts failed debug assertions instead of aborting, for the lifetime of the scope.
class AssertRecorder {
public:
    AssertRecorder() : previous_(sys::SetAssertHandler(&Record)) { count_ = 0; }
    ~AssertRecorder() { sys::SetAssertHandler(previous_); }
    AssertRecorder(const AssertRecorder&) = delete;
    AssertRecorder& operator=(const AssertRecorder&) = delete;
    int Count() const { return count_; }

private:
    static void Record(const char*, const char*, int) { ++count_; }
    static inline std::atomic<int> count_{0};
    sys::AssertHandler previous_;
};

}  // namespace testsupport
