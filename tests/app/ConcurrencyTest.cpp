#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/BirdEvent.h"
#include "app/DialogLayout.h"
#include "app/StageThread.h"
#include "app/res/TolvaneResources.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/system/Clock.h"
#include "platform/system/Thread.h"
#include "tests/app/WorldTestSupport.h"
#include "tests/support/LockProbe.h"
#include "tests/support/RealThreads.h"

namespace {

using namespace worldtest;

// Games on the worker thread (in virtual time, slowed a little for real so the threads
// overlap) while this thread does what the user-interface thread does: start and stop
// games, press and release, move the cursor and paint the scene from the world as it is
// changed underneath. The thread sanitizer watches; the checks here are only sanity.
TEST(Concurrency, PaintingAndInputWhileGamesRunOnTheWorker) {
    TOLVANE_NEEDS_REAL_THREADS();
    InstallTolvaneResources();
    sys::VirtualClock clock;
    ClockScope scope(&clock);
    TestWorld world;
    LayOutWorldFromTemplate(world);
    world.SetTitleText("Kovalo");
    EventLog log(&clock, &world);
    RecordingOwner owner(log);
    RecordingStage thread(log);
    thread.SetOwner(&owner);
    thread.SetGameEvent(&world);
    // The worker keeps the chick near the field's centre, as a player would, so that games
    // last a while; every sleep also takes a little real time, so the threads overlap.
    clock.SetSleepHook([&world](std::int64_t, int ms) {
        if (ms == 200 && world.m_bird.GetPoint().y > 163) {
            world.Press(0, 0);
        }
        sys::SleepFor(std::chrono::milliseconds(1));
    });

    gfx::Bitmap client(467, 359, 0xF0F0F0);
    gfx::DeviceContext dc;
    dc.SelectObject(&client);

    // The first game runs to its end; the others are stopped after a few paints.
    constexpr int kGames = 3;
    constexpr int kPaintsBeforeStop = 15;
    int started = 0;
    int paints = 0;
    int paintsThisGame = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (started < kGames || thread.IsActive()) {
        ASSERT_LT(std::chrono::steady_clock::now(), end);
        if (!thread.IsActive() && started < kGames) {
            world.SetPlaying();
            thread.Start();
            ++started;
            paintsThisGame = 0;
        }
        if (started > 1 && paintsThisGame == kPaintsBeforeStop) {
            world.ResetPlaying();  // a Stop click
            thread.Stop();
        }
        if (world.IsPlaying()) {
            world.Press(100, 100);
        }
        world.UpdateHover(paints % 467, 340);
        world.Paint(&dc, thread.GetText());
        for (int i = 0; i < world.GetObstacleCount(); ++i) {
            (void)world.GetObstacleRect(i);
        }
        (void)world.GetStageText();
        if (world.IsPlaying()) {
            world.Release(100, 100);
        }
        ++paints;
        ++paintsThisGame;
    }
    clock.SetSleepHook(nullptr);
    thread.Shutdown();
    EXPECT_EQ(thread.runs, kGames);
    EXPECT_TRUE(thread.IsIdle());
}

// An obstacle that runs a probe the first time a walk touches it, from inside the walk.
class ProbedObstacle : public CObstacle {
public:
    gfx::Rect GetRect() const override {
        Touch();
        return CObstacle::GetRect();
    }
    gfx::Point GetPoint() const override {
        Touch();
        return CObstacle::GetPoint();
    }
    void Move() override {
        Touch();
        CObstacle::Move();
    }
    mutable std::function<void()> probe;

private:
    void Touch() const {
        if (probe) {
            const auto once = std::move(probe);
            probe = nullptr;
            once();
        }
    }
};

// Each walk over the obstacles, on the game thread and in painting, holds the list's lock
// from its start to its end: in the middle of the walk no other thread can take it, so none
// can delete or refill the obstacles under it.
TEST(WorldLocks, EveryObstacleWalkHoldsTheListsLockThroughout) {
    TOLVANE_NEEDS_REAL_THREADS();
    InstallTolvaneResources();
    gfx::Bitmap client(467, 359);
    gfx::DeviceContext dc;
    dc.SelectObject(&client);
    struct Walk {
        const char* name;
        std::function<void(TestWorld&)> walk;
    };
    const Walk walks[] = {
        {"Tick", [](TestWorld& w) { w.Tick(); }},
        {"IsHit", [](TestWorld& w) { (void)w.IsHit(); }},
        {"CountInField", [](TestWorld& w) { (void)w.CountInField(); }},
        {"DrawObstacles", [&](TestWorld& w) { w.DrawObstacles(&dc); }},
        {"Paint", [&](TestWorld& w) { w.Paint(&dc, "Go!!"); }},
    };
    for (const Walk& walk : walks) {
        TestWorld world;
        LayOutWorldFromTemplate(world);
        world.SetPlaying();
        world.m_listObstacle.AddNew()->SetPoint(200, 100);
        auto* probed = new ProbedObstacle;
        probed->SetPoint(300, 200);
        world.m_listObstacle.Add(probed);
        testsupport::LockProbe probe(
            [&world] { CSerrikList<CObstacle>::CWalkLock other(world.m_listObstacle); });
        int free = -1;
        probed->probe = [&] { free = probe.Free() ? 1 : 0; };
        walk.walk(world);
        EXPECT_EQ(free, 0) << walk.name << (free < 0 ? ": the walk never came" : ": unlocked");
    }
}

// A new stage replaces the old one under the list's lock: a walk sees the old blocks or the
// new ones, never the old half deleted or the new half placed. The exchanges run back to back
// while this thread walks, many times over, so walks fall between their steps.
TEST(WorldLocks, AWalkSeesAWholeStageWhileStagesAreExchanged) {
    TOLVANE_NEEDS_REAL_THREADS();
    InstallTolvaneResources();
    TestWorld world;
    LayOutWorldFromTemplate(world);
    constexpr int kBlocks = 30;
    world.CreateObstacles(kBlocks);
    std::atomic<bool> done{false};
    std::thread stages([&] {
        for (int i = 0; i < 3000; ++i) {
            world.CreateObstacles(kBlocks);
        }
        done = true;
    });
    int mixtures = 0;
    while (!done) {
        CSerrikList<CObstacle>::CWalkLock walk(world.m_listObstacle);
        mixtures += world.m_listObstacle.GetCount() != kBlocks ? 1 : 0;
    }
    stages.join();
    EXPECT_EQ(mixtures, 0);
}

// The stage label is written and read only under its lock, also when painting.
TEST(WorldLocks, TheStageLabelIsReadAndWrittenUnderItsLock) {
    TOLVANE_NEEDS_REAL_THREADS();
    InstallTolvaneResources();
    TestWorld world;
    LayOutWorldFromTemplate(world);
    gfx::Bitmap client(467, 359);
    gfx::DeviceContext dc;
    dc.SelectObject(&client);
    const auto hold = [&](const std::function<void()>& inside) {
        sys::ScopedLock lock(world.m_csStage);
        inside();
    };
    const std::vector<testsupport::NamedOp> ops = {
        {"SetStageText", [&] { world.SetStageText("Stage2 / 5"); }},
        {"GetStageText", [&] { (void)world.GetStageText(); }},
        {"DrawStageText", [&] { world.DrawStageText(&dc); }},
    };
    EXPECT_EQ(testsupport::OpsThatIgnoreTheLock(hold, ops), "");
}

}  // namespace
