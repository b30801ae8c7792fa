#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/system/CriticalSection.h"

namespace {

void Settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

TEST(CriticalSection, ReentrantForItsOwnerExclusiveForOthers) {
    sys::CriticalSection cs;
    std::atomic<bool> otherEntered{false};
    cs.Lock();
    cs.Lock();  // would deadlock if the lock were not re-entrant
    std::thread other([&] {
        sys::ScopedLock lock(cs);
        otherEntered = true;
    });
    Settle();
    EXPECT_FALSE(otherEntered.load());
    cs.Unlock();  // still held once
    Settle();
    EXPECT_FALSE(otherEntered.load());
    cs.Unlock();
    other.join();
    EXPECT_TRUE(otherEntered.load());
}

TEST(CriticalSection, ScopedLockReleasesAtScopeEnd) {
    sys::CriticalSection cs;
    std::atomic<bool> otherEntered{false};
    std::thread other;
    {
        sys::ScopedLock lock(cs);
        sys::ScopedLock nested(cs);
        other = std::thread([&] {
            sys::ScopedLock inner(cs);
            otherEntered = true;
        });
        Settle();
        EXPECT_FALSE(otherEntered.load());
    }
    other.join();
    EXPECT_TRUE(otherEntered.load());
}

TEST(CriticalSection, KeepsAPlainCounterExact) {
    sys::CriticalSection cs;
    long counter = 0;  // deliberately not atomic: only the lock protects it
    constexpr int kEach = 20'000;
    auto worker = [&] {
        for (int i = 0; i < kEach; ++i) {
            sys::ScopedLock lock(cs);
            ++counter;
        }
    };
    std::thread a(worker);
    std::thread b(worker);
    a.join();
    b.join();
    EXPECT_EQ(counter, 2L * kEach);
}

}  // namespace
