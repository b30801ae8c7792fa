#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <atomic>
#include <chrono>
#include <ctime>
#include <utility>
#include <vector>

#include "platform/system/Clock.h"
#include "platform/system/Thread.h"
#include "tests/support/ClockScope.h"

namespace {

using Steady = std::chrono::steady_clock;

std::int64_t ElapsedMs(Steady::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - since).count();
}

using testsupport::ClockScope;

TEST(VirtualClock, RecordsSleepsAndAdvancesAtOnce) {
    sys::VirtualClock clock(1'000);
    const auto start = Steady::now();
    clock.Sleep(2000);
    clock.Sleep(500);
    clock.Sleep(0);
    clock.Sleep(-5);  // recorded, but time never runs backwards
    clock.Sleep(200);
    EXPECT_LT(ElapsedMs(start), 1000);
    EXPECT_EQ(clock.Sleeps(), (std::vector<int>{2000, 500, 0, -5, 200}));
    EXPECT_EQ(clock.NowMs(), 2700);
}

TEST(VirtualClock, CalendarTimeFollowsVirtualTime) {
    sys::VirtualClock clock(1'700'000'000);
    EXPECT_EQ(clock.Time(), 1'700'000'000);
    clock.Sleep(999);
    EXPECT_EQ(clock.Time(), 1'700'000'000);  // whole seconds only
    clock.Sleep(1);
    EXPECT_EQ(clock.Time(), 1'700'000'001);
    clock.Sleep(61'500);
    EXPECT_EQ(clock.Time(), 1'700'000'062);
}

TEST(VirtualClock, HookSeesTimeBeforeTheSleepAdvancesIt) {
    sys::VirtualClock clock;
    std::vector<std::pair<std::int64_t, int>> seen;
    clock.SetSleepHook([&](std::int64_t now, int ms) {
        seen.emplace_back(now, ms);
        EXPECT_EQ(clock.NowMs(), now);  // the hook may read the clock without deadlock
    });
    clock.Sleep(2000);
    clock.Sleep(500);
    clock.SetSleepHook(nullptr);
    clock.Sleep(200);
    EXPECT_EQ(seen, (std::vector<std::pair<std::int64_t, int>>{{0, 2000}, {2000, 500}}));
    EXPECT_EQ(clock.NowMs(), 2700);
}

TEST(VirtualClock, SleepsFromTwoThreadsAllCount) {
    sys::VirtualClock clock;
    constexpr int kSleepsEach = 2000;
    auto sleeper = [&] {
        for (int i = 0; i < kSleepsEach; ++i) {
            clock.Sleep(3);
        }
    };
    sys::Thread a = sys::StartThread(sleeper);
    sys::Thread b = sys::StartThread(sleeper);
    a.join();
    b.join();
    EXPECT_EQ(clock.NowMs(), 2 * kSleepsEach * 3);
    EXPECT_EQ(clock.Sleeps().size(), 2u * kSleepsEach);
}

TEST(Clock, ReplacedClockServesTheFreeFunctionsUntilRestored) {
    sys::VirtualClock clock(42);
    {
        ClockScope scope(&clock);
        EXPECT_EQ(&sys::GetClock(), &clock);
        sys::Sleep(1500);
        EXPECT_EQ(sys::Time(), 43);
    }
    EXPECT_EQ(clock.Sleeps(), std::vector<int>{1500});
    EXPECT_NE(dynamic_cast<sys::RealClock*>(&sys::GetClock()), nullptr);
}

TEST(Clock, RealClockReallySleepsAndReadsTheCalendar) {
    sys::SetClock(nullptr);
    const auto start = Steady::now();
    sys::Sleep(30);
    EXPECT_GE(ElapsedMs(start), 30);
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    EXPECT_LE(std::abs(sys::Time() - now), 1);
}

// A sleep that polled its flag would wake every few milliseconds; this one sleeps through
// unless woken, and a wake without its flag set does not end it.
TEST(Clock, RealSleepWaitsWithoutWakingUntilCancelled) {
#ifdef _WIN32
    GTEST_SKIP() << "counts the sleeping thread's context switches as Linux reports them";
#else
    sys::RealClock clock;
    std::atomic<int> cancel{0};
    std::atomic<long> switches{-1};
    sys::Thread sleeper = sys::StartThread([&] {
        rusage before{}, after{};
        getrusage(RUSAGE_THREAD, &before);
        clock.SleepUnless(300, cancel);
        getrusage(RUSAGE_THREAD, &after);
        switches.store(after.ru_nvcsw - before.ru_nvcsw);
    });
    sys::SleepFor(std::chrono::milliseconds(100));
    clock.WakeSleepers();  // no flag set: the sleep goes on
    sleeper.join();
    EXPECT_LE(switches.load(), 5);

    const auto start = Steady::now();
    sys::Thread canceller = sys::StartThread([&] {
        sys::SleepFor(std::chrono::milliseconds(30));
        cancel.store(1);
        clock.WakeSleepers();
    });
    clock.SleepUnless(10'000, cancel);
    canceller.join();
    EXPECT_LT(ElapsedMs(start), 2000);

    const auto again = Steady::now();
    clock.SleepUnless(10'000, cancel);  // already cancelled: returns at once
    EXPECT_LT(ElapsedMs(again), 2000);
#endif
}

TEST(Clock, VirtualSleepUnlessSkipsCancelledSleeps) {
    sys::VirtualClock clock;
    std::atomic<int> cancel{0};
    clock.SleepUnless(200, cancel);
    cancel.store(1);
    clock.SleepUnless(200, cancel);
    EXPECT_EQ(clock.Sleeps(), std::vector<int>{200});
    EXPECT_EQ(clock.NowMs(), 200);
}

}  // namespace
