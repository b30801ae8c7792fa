#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/system/Assert.h"
#include "platform/system/Clock.h"
#include "platform/system/CriticalSection.h"
#include "platform/system/Thread.h"
#include "tests/support/RealThreads.h"

namespace {

void Settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

TEST(CriticalSection, ReentrantForItsOwnerExclusiveForOthers) {
    TOLVANE_NEEDS_REAL_THREADS();
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
    TOLVANE_NEEDS_REAL_THREADS();
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
    TOLVANE_NEEDS_REAL_THREADS();
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

int g_asserts = 0;

// Where threads are fibers on one thread a lock excludes nothing, so no fiber may hold one
// where it yields: every way to yield asserts, from the main fiber and from a worker.
TEST(CriticalSection, EveryYieldAssertsThatItsFiberHoldsNoLock) {
#if !TOLVANE_COOPERATIVE || defined(NDEBUG)
    GTEST_SKIP() << "the rule is checked in the cooperative build's debug configuration";
#endif
    const sys::AssertHandler previous =
        sys::SetAssertHandler([](const char*, const char*, int) { ++g_asserts; });
    const std::atomic<int> cancel{0};
    const struct {
        const char* way;
        std::function<void()> yield;
    } ways[] = {
        {"a sleep", [] { sys::Sleep(1); }},
        {"a sleep until a flag", [&] { sys::GetClock().SleepUnless(1, cancel); }},
        {"a sleep for real time", [] { sys::SleepFor(std::chrono::microseconds(100)); }},
        {"a join", [] { sys::StartThread([] {}).join(); }},
    };
    sys::CriticalSection cs;
    for (const auto& w : ways) {
        for (const bool held : {false, true}) {
            g_asserts = 0;
            if (held) {
                cs.Lock();
            }
            w.yield();
            if (held) {
                cs.Unlock();
            }
            EXPECT_EQ(g_asserts, held ? 1 : 0) << w.way << (held ? ", lock held" : "");
        }
    }
    g_asserts = 0;
    sys::Thread worker = sys::StartThread([&] {
        sys::ScopedLock lock(cs);
        sys::Sleep(1);
    });
    worker.join();
    EXPECT_EQ(g_asserts, 1) << "a worker's sleep";
    sys::SetAssertHandler(previous);
}

}  // namespace
