#include "GClass/SerrikThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/system/Clock.h"
#include "platform/system/OwnerWindow.h"
#include "platform/system/Resources.h"
#include "platform/system/Thread.h"
#include "tests/support/AssertRecorder.h"
#include "tests/support/FailingThreads.h"
#include "tests/support/LockProbe.h"
#include "tests/support/RealThreads.h"
#include "tests/support/Wait.h"

namespace {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

// A stopped run ends within seconds however busy the machine; a real sleep that a stop did
// not cut short would last far longer.
constexpr auto kPromptly = 10s;
constexpr int kLongSleepMs = 30'000;

class CountingOwner : public sys::OwnerWindow {
public:
    void Invalidate(bool) override { ++invalidations; }
    bool EnableControl(int, bool) override { return false; }
    void PumpMessages() override {
        ++pumps;
        if (onPump) {
            onPump();
        }
        if (throwing) {
            throw std::runtime_error("the pump failed");
        }
    }
    std::atomic<int> invalidations{0};
    std::atomic<int> pumps{0};
    std::atomic<bool> throwing{false};
    std::function<void()> onPump;  // set before the run starts
};

// A worker whose task is a test's lambda; it records its stop hook.
class TestWorker : public CSerrikThread {
public:
    ~TestWorker() override { StopAndJoin(); }
    void Run() override {
        ++runs;
        if (body) {
            body(*this);
        }
    }
    void OnStop() override { ++stops; }
    void OnPause() override { ++pauses; }
    void OnResume() override { ++resumes; }
    void OnWait() override { ++waits; }
    void OnRunFailed(const std::string& what) override {
        std::lock_guard lock(mutex);
        failures.push_back(what);
    }
    std::vector<std::string> Failures() {
        std::lock_guard lock(mutex);
        return failures;
    }
    using CSerrikThread::Sleep;

    std::function<void(TestWorker&)> body;
    std::mutex mutex;
    std::vector<std::string> failures;
    std::atomic<int> runs{0};
    std::atomic<int> stops{0};
    std::atomic<int> pauses{0};
    std::atomic<int> resumes{0};
    std::atomic<int> waits{0};
};

using testsupport::WaitForRunEnd;
using testsupport::WaitUntil;

TEST(SerrikThread, FreshWorkerIsIdleWithEmptyTexts) {
    TestWorker w;
    EXPECT_TRUE(w.IsIdle());
    EXPECT_FALSE(w.IsActive());
    EXPECT_FALSE(w.IsPaused());
    EXPECT_FALSE(w.IsWaiting());
    EXPECT_EQ(w.GetText(), "");
    EXPECT_EQ(w.GetPromptText(), "");
    EXPECT_EQ(w.GetOwner(), nullptr);
}

TEST(SerrikThread, ARunGoesRunningThenIdleOnAThreadOfItsOwn) {
    TestWorker w;
    std::atomic<int> stateInRun{-1};
    sys::ThreadId runThread;
    w.body = [&](TestWorker& self) {
        stateInRun = self.GetState();
        runThread = sys::CurrentThreadId();
        self.SetText("working");
    };
    w.Start();
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_EQ(stateInRun, CSerrikThread::STATE_RUNNING);
    EXPECT_NE(runThread, sys::CurrentThreadId());
    EXPECT_EQ(w.GetState(), CSerrikThread::STATE_IDLE);
    EXPECT_EQ(w.GetText(), "working");  // kept until the next Start
    w.Start();
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_EQ(w.runs, 2);
}

TEST(SerrikThread, StopOnAnIdleWorkerDoesNotStopTheNextRun) {
    TestWorker w;
    std::atomic<bool> finished{false};
    w.body = [&](TestWorker& self) {
        self.CheckPoint();
        finished = true;
    };
    w.Stop();
    EXPECT_TRUE(w.IsStopRequested());
    w.Start();
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_TRUE(finished);
    EXPECT_EQ(w.stops, 0);
}

TEST(SerrikThread, AStopIsHonouredAtTheNextCheckPoint) {
    TestWorker w;
    std::atomic<bool> atCheckPoint{false};
    std::atomic<bool> go{false};
    std::atomic<bool> afterCheckPoint{false};
    w.body = [&](TestWorker& self) {
        atCheckPoint = true;
        while (!go) {
            sys::SleepFor(std::chrono::microseconds(0));
        }
        self.CheckPoint();
        afterCheckPoint = true;
    };
    w.Start();
    ASSERT_TRUE(WaitUntil([&] { return atCheckPoint.load(); }));
    w.Stop();
    go = true;
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_FALSE(afterCheckPoint);
    EXPECT_EQ(w.stops, 1);
    EXPECT_FALSE(w.IsStopRequested());
    EXPECT_TRUE(w.IsIdle());
}

// A checkpoint pumps the owner's messages once more before its last stop check, so a Stop
// clicked in that pump ends the run at this checkpoint, not at the next.
TEST(SerrikThread, AStopFromTheCheckPointsLastPumpIsHonouredThere) {
    TestWorker w;
    CountingOwner owner;
    owner.onPump = [&w] { w.Stop(); };
    w.SetOwner(&owner);
    std::atomic<bool> afterCheckPoint{false};
    w.body = [&](TestWorker& self) {
        self.CheckPoint();
        afterCheckPoint = true;
    };
    w.Start();
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_FALSE(afterCheckPoint);
    EXPECT_EQ(w.stops, 1);
}

// Anything but a stop that ends a run, and a thread that cannot be created, is reported once
// before the worker is idle again; a stop is not.
TEST(SerrikThread, AFailedRunIsReportedAndEndsLikeAStop) {
    TestWorker w;
    w.body = [](TestWorker&) { throw std::runtime_error("boom"); };
    w.Start();
    ASSERT_TRUE(WaitForRunEnd(w));
    w.body = [](TestWorker&) { throw 42; };
    w.Start();
    ASSERT_TRUE(WaitForRunEnd(w));
    w.body = [](TestWorker& self) {
        self.Stop();
        self.CheckPoint();
    };
    w.Start();
    ASSERT_TRUE(WaitForRunEnd(w));
    {
        testsupport::FailingThreads noThreads;
        w.Start();
    }
    EXPECT_TRUE(w.IsIdle());
    EXPECT_FALSE(w.IsActive());
    EXPECT_EQ(w.runs, 3);
    EXPECT_EQ(w.stops, 1);
    EXPECT_EQ(w.Failures(), (std::vector<std::string>{
                                "the run failed: boom", "the run threw the int 42",
                                "cannot start a thread: Resource temporarily unavailable"}));
    w.body = nullptr;
    w.Start();  // a thread can be made again
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_EQ(w.runs, 4);
}

TEST(SerrikThread, StartWhileARunIsActiveStartsNothing) {
    TestWorker w;
    std::atomic<bool> release{false};
    w.body = [&](TestWorker&) {
        while (!release) {
            sys::SleepFor(std::chrono::microseconds(0));
        }
    };
    w.Start();
    w.Stop();  // a pending stop that the refused Start must not clear
    w.Start();
    w.Start();
    EXPECT_TRUE(w.IsStopRequested());
    release = true;
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_EQ(w.runs, 1);
    // Once idle, a new Start succeeds at once.
    w.body = nullptr;
    w.Start();
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_EQ(w.runs, 2);
}

TEST(SerrikThread, PauseHoldsTheRunUntilResume) {
    TestWorker w;
    CountingOwner owner;
    w.SetOwner(&owner);
    std::atomic<bool> resumed{false};
    w.body = [&](TestWorker& self) {
        self.Pause();
        resumed = true;
    };
    w.Start();
    ASSERT_TRUE(WaitUntil([&] { return w.GetState() == CSerrikThread::STATE_PAUSED; }));
    EXPECT_TRUE(w.IsPaused());
    const int pumps = owner.pumps;
    ASSERT_TRUE(WaitUntil([&] { return owner.pumps > pumps; }));  // it polls
    EXPECT_FALSE(resumed);
    w.Resume();
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_TRUE(resumed);
    EXPECT_EQ(w.pauses, 1);
    EXPECT_EQ(w.resumes, 1);
    EXPECT_FALSE(w.IsPaused());
}

// The two ways a run is held, as the run itself calls them.
struct Hold {
    const char* name;
    std::function<void(TestWorker&)> hold;
};
const Hold kHolds[] = {
    {"pause", [](TestWorker& self) { self.Pause(); }},
    {"wait", [](TestWorker& self) { self.Wait(std::string("prompt")); }},
};

TEST(SerrikThread, AStopEndsAHeldRunAndLeavesNothingHeld) {
    for (const Hold& h : kHolds) {
        SCOPED_TRACE(h.name);
        TestWorker w;
        std::atomic<bool> released{false};
        w.body = [&](TestWorker& self) {
            h.hold(self);
            released = true;
        };
        w.Start();
        ASSERT_TRUE(WaitUntil([&] { return w.IsPaused() || w.IsWaiting(); }));
        const auto t0 = Steady::now();
        w.Stop();
        EXPECT_TRUE(WaitForRunEnd(w));
        EXPECT_LT(Steady::now() - t0, 1s);
        EXPECT_FALSE(released);
        EXPECT_EQ(w.stops, 1);
        EXPECT_FALSE(w.IsPaused());
        EXPECT_FALSE(w.IsWaiting());
        w.Resume();  // lets a run that ignored the stop end, so the worker can be destroyed
        w.EndWait();
    }
}

// A run that fails while held leaves its flag set; the next Start clears it, or the new run
// would be held at its first checkpoint.
TEST(SerrikThread, StartClearsAHoldThatAFailedRunLeftBehind) {
    for (const Hold& h : kHolds) {
        SCOPED_TRACE(h.name);
        TestWorker w;
        CountingOwner owner;
        w.SetOwner(&owner);
        owner.throwing = true;
        w.body = h.hold;
        w.Start();
        ASSERT_TRUE(WaitForRunEnd(w));
        ASSERT_TRUE(w.IsPaused() || w.IsWaiting());
        owner.throwing = false;
        std::atomic<bool> passed{false};
        w.body = [&](TestWorker& self) {
            self.CheckPoint();
            passed = true;
        };
        w.Start();
        EXPECT_TRUE(WaitUntil([&] { return passed.load(); }));
        w.Resume();
        w.EndWait();
    }
}

// Pause and Resume change the pause flag and the state only under the pause lock, and a held
// Pause returns only once the Resume that released it is complete: a Resume can never come
// between the two changes, so the run never goes on while the state says paused.
TEST(SerrikThread, PauseAndResumeChangeFlagAndStateTogether) {
    TOLVANE_NEEDS_REAL_THREADS();
    struct Worker : TestWorker {
        using CSerrikThread::m_csPause;
    } w;
    w.SetState(CSerrikThread::STATE_RUNNING);  // never started: the test plays run and window
    const auto state = [&w] { return std::make_pair(w.GetState(), w.IsPaused()); };
    const auto running = std::make_pair(int{CSerrikThread::STATE_RUNNING}, false);
    const auto paused = std::make_pair(int{CSerrikThread::STATE_PAUSED}, true);
    std::atomic<int> returned{0};
    const auto pause = [&] {
        w.Pause();
        ++returned;
    };
    std::thread run;
    {
        sys::ScopedLock hold(w.m_csPause);
        run = std::thread(pause);
        sys::SleepFor(testsupport::kLockGrace);
        EXPECT_EQ(state(), running) << "Pause changed something without the lock";
    }
    ASSERT_TRUE(WaitUntil([&] { return state() == paused; }));
    std::thread window;
    {
        sys::ScopedLock hold(w.m_csPause);
        window = std::thread([&] { w.Resume(); });
        sys::SleepFor(testsupport::kLockGrace);
        EXPECT_EQ(state(), paused) << "Resume changed something without the lock";
        EXPECT_EQ(returned, 0);
    }
    window.join();
    run.join();
    EXPECT_EQ(state(), running);

    run = std::thread(pause);
    ASSERT_TRUE(WaitUntil([&] { return state() == paused; }));
    {
        sys::ScopedLock hold(w.m_csPause);
        w.Resume();  // the flag is clear, but this Resume is not over until the lock is let go
        sys::SleepFor(testsupport::kLockGrace);
        EXPECT_EQ(returned, 1) << "Pause returned before its Resume was over";
    }
    run.join();
    EXPECT_EQ(state(), running);
}

TEST(SerrikThread, ResumeOnAnIdleWorkerKeepsItIdle) {
    TestWorker w;
    w.Resume();
    EXPECT_TRUE(w.IsIdle());
    w.WaitForIdle();  // returns at once
    EXPECT_EQ(w.resumes, 1);
}

TEST(SerrikThread, WaitHoldsTheRunWithItsPromptUntilEndWait) {
    static const sys::StringResource strings[] = {{7, "Press a key"}};
    static const sys::ResourceTable table{{}, strings, {}};
    sys::InstallResources(&table);
    TestWorker w;
    std::atomic<bool> done{false};
    w.body = [&](TestWorker& self) {
        self.Wait(7);
        done = true;
    };
    w.Start();
    ASSERT_TRUE(WaitUntil([&] { return w.IsWaiting(); }));
    EXPECT_EQ(w.GetPromptText(), "Press a key");
    EXPECT_EQ(w.GetState(), CSerrikThread::STATE_RUNNING);  // a wait leaves the state alone
    EXPECT_FALSE(done);
    w.EndWait();
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_TRUE(done);
    EXPECT_EQ(w.waits, 1);
    EXPECT_EQ(w.GetPromptText(), "");

    w.SetText(7);
    EXPECT_EQ(w.GetText(), "Press a key");
    w.SetText(8);  // a missing string is the empty text
    EXPECT_EQ(w.GetText(), "");
    sys::InstallResources(nullptr);
}

TEST(SerrikThread, StartResetsFlagsAndTexts) {
    TestWorker w;
    w.SetText("old");
    w.SetPromptText("old prompt");
    std::string seen = "unset";
    w.body = [&](TestWorker& self) { seen = self.GetText() + "|" + self.GetPromptText(); };
    w.Start();
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_EQ(seen, "|");
}

TEST(SerrikThread, TextsAreNeverSeenHalfWritten) {
    TOLVANE_NEEDS_REAL_THREADS();
    TestWorker w;
    const std::string a(200, 'a');
    const std::string b(300, 'b');
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) {
            w.SetText(i % 2 == 0 ? a : b);
        }
        done = true;
    });
    int bad = 0;
    while (!done) {
        const std::string t = w.GetText();
        bad += (t.empty() || t == a || t == b) ? 0 : 1;
    }
    writer.join();
    EXPECT_EQ(bad, 0);
}

TEST(SerrikThread, SleepReturnsAtOnceWhileAStopIsPending) {
    TestWorker w;
    std::atomic<bool> sleeping{false};
    std::atomic<bool> finished{false};
    w.body = [&](TestWorker& self) {
        sleeping = true;
        self.Sleep(kLongSleepMs);  // the real clock
        self.Sleep(kLongSleepMs);
        finished = true;  // the sleeps end early, every step still runs
    };
    w.Start();
    ASSERT_TRUE(WaitUntil([&] { return sleeping.load(); }));
    const auto t0 = Steady::now();
    w.Stop();
    ASSERT_TRUE(WaitForRunEnd(w));
    EXPECT_LT(Steady::now() - t0, kPromptly);
    EXPECT_TRUE(finished);
}

TEST(SerrikThread, ShutdownEndsARunInTheMiddleOfASleep) {
    TestWorker w;
    CountingOwner owner;
    w.SetOwner(&owner);
    std::atomic<bool> sleeping{false};
    w.body = [&](TestWorker& self) {
        for (;;) {
            sleeping = true;
            self.Sleep(kLongSleepMs);
            self.CheckPoint();
        }
    };
    w.Start();
    ASSERT_TRUE(WaitUntil([&] { return sleeping.load(); }));
    const auto t0 = Steady::now();
    w.Shutdown();
    EXPECT_LT(Steady::now() - t0, kPromptly);
    EXPECT_TRUE(w.IsIdle());
    EXPECT_FALSE(w.IsActive());
    EXPECT_EQ(w.stops, 1);
}

TEST(SerrikThread, WaitForIdlePumpsTheOwnersMessages) {
    TestWorker w;
    CountingOwner owner;
    w.SetOwner(&owner);
    std::atomic<bool> release{false};
    w.body = [&](TestWorker&) {
        while (!release) {
            sys::SleepFor(std::chrono::microseconds(0));
        }
    };
    w.Start();
    sys::Thread releaser = sys::StartThread([&] {
        WaitUntil([&] { return owner.pumps >= 3; });
        release = true;
    });
    w.WaitForIdle();
    releaser.join();
    EXPECT_GE(owner.pumps, 3);
    EXPECT_TRUE(w.IsIdle());
}

TEST(SerrikThread, DestroyingAWorkerStopsAndJoinsItsRun) {
    std::atomic<int> passes{0};
    {
        TestWorker w;
        w.body = [&](TestWorker& self) {
            for (;;) {
                ++passes;
                self.Sleep(2000);
                self.CheckPoint();
            }
        };
        w.Start();
        ASSERT_TRUE(WaitUntil([&] { return passes.load() > 0; }));
    }
    // Getting here without a hang or a terminate (a joinable std::thread) is the test; the
    // sanitizers check that the run no longer touches the destroyed worker.
    EXPECT_EQ(passes, 1);
}

#ifndef NDEBUG
TEST(SerrikThread, SetOwnerWithNoWindowAsserts) {
    testsupport::AssertRecorder asserts;
    TestWorker w;
    w.SetOwner(nullptr);
    EXPECT_EQ(asserts.Count(), 1);
}
#endif

}  // namespace
