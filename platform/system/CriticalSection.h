#pragma once

#if TOLVANE_COOPERATIVE
#include "platform/system/Assert.h"
#include "platform/system/Cooperative.h"
#else
#include <mutex>
#endif

namespace sys {

// Re-entrant for the thread that holds it.
#if TOLVANE_COOPERATIVE
// On the one thread the fibers share, nothing runs beside the holder until it yields, and it
// never yields holding one (the yield asserts it): the lock only counts, so that the rule is
// checked.
class CriticalSection {
public:
    void Lock() {
        SYS_ASSERT(depth_ == 0 || owner_ == coop::Current());
        owner_ = coop::Current();
        ++depth_;
        coop::CountLock(1);
    }
    void Unlock() {
        SYS_ASSERT(depth_ > 0 && owner_ == coop::Current());
        --depth_;
        coop::CountLock(-1);
    }

private:
    const coop::Fiber* owner_ = nullptr;
    int depth_ = 0;
};
#else
class CriticalSection {
public:
    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};
#endif

// Holds a critical section for the lifetime of the scope.
class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& cs) : cs_(cs) { cs_.Lock(); }
    ~ScopedLock() { cs_.Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& cs_;
};

}  // namespace sys
