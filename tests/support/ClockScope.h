#pragma once

#include "platform/system/Clock.h"

namespace testsupport {

// Installs a clock for the lifetime of the scope and restores the real one afterwards.
class ClockScope {
public:
    explicit ClockScope(sys::Clock* clock) { sys::SetClock(clock); }
    ~ClockScope() { sys::SetClock(nullptr); }
    ClockScope(const ClockScope&) = delete;
    ClockScope& operator=(const ClockScope&) = delete;
};

}  // namespace testsupport
