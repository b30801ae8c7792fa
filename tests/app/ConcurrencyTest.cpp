#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/BirdEvent.h"
#include "app/StageThread.h"
#include "app/res/TolvaneResources.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/system/Clock.h"
#include "tests/app/WorldTestSupport.h"

namespace {

using namespace worldtest;

// Games on the worker thread (in virtual time, slowed a little for real so the threads
// overlap) while this thread does what the user-interface thread does: start and stop
// games, press and release, move the cursor and paint the scene from the world as it is
// changed underneath. The thread sanitizer watches; the checks here are only sanity.
TEST(Concurrency, PaintingAndInputWhileGamesRunOnTheWorker) {
    InstallTolvaneResources();
    sys::VirtualClock clock;
    ClockScope scope(&clock);
    TestWorld world;
    world.SetFieldRect(0, 0, 468, 326);
    world.SetStartRect(162, 149, 293, 191);
    world.SetStopRect(360, 327, 467, 359);
    world.SetExitRect(164, 218, 294, 260);
    world.SetTitleRect(71, 53, 386, 113);
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
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
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

}  // namespace
