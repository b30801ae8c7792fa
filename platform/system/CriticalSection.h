#pragma once

#include <mutex>

namespace sys {

// Re-entrant for the thread that holds it.
class CriticalSection {
public:
    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

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
