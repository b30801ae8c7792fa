#include "GameClass/ThreadGame.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/system/OwnerWindow.h"
#include "platform/system/Thread.h"
#include "tests/support/AssertRecorder.h"
#include "tests/support/Wait.h"

namespace {

using namespace std::chrono_literals;

// Remembers the last enable state of each control it has; other ids are no control.
class ControlOwner : public sys::OwnerWindow {
public:
    explicit ControlOwner(std::vector<int> ids) {
        for (int id : ids) {
            enabled[id] = false;
        }
    }
    void Invalidate(bool) override {}
    bool EnableControl(int id, bool enable) override {
        ++calls;
        auto it = enabled.find(id);
        if (it == enabled.end()) {
            return false;
        }
        it->second = enable;
        return true;
    }
    void PumpMessages() override {}
    std::map<int, bool> enabled;
    int calls = 0;
};

class HeldGame : public CThreadGame {
public:
    ~HeldGame() override { StopAndJoin(); }
    void Run() override {
        if (pause) {
            Pause();
        }
        while (!release) {
            sys::SleepFor(1ms);
        }
    }
    std::atomic<bool> pause{false};
    std::atomic<bool> release{false};
};

using testsupport::WaitUntil;

TEST(ThreadGame, EmptyListsChangeNoControl) {
    ControlOwner owner({1000, 1001});
    CThreadGame game;
    game.SetOwner(&owner);
    game.UpdateControls();
    EXPECT_EQ(owner.calls, 0);
}

TEST(ThreadGame, ControlsFollowTheRun) {
    ControlOwner owner({1000, 1001});
    HeldGame game;
    game.SetOwner(&owner);
    game.AddRunControl(1001);
    game.AddRunControl(1001);  // twice: the same result twice
    game.AddIdleControl(1000);
    game.AddIdleControl(4242);  // no such control: skipped
    owner.enabled[1001] = true;

    game.UpdateControls();
    EXPECT_FALSE(owner.enabled[1001]);
    EXPECT_TRUE(owner.enabled[1000]);
    EXPECT_EQ(owner.calls, 4);

    game.Start();
    ASSERT_TRUE(WaitUntil([&] { return game.IsRunning(); }));
    game.UpdateControls();
    EXPECT_TRUE(owner.enabled[1001]);
    EXPECT_FALSE(owner.enabled[1000]);

    game.release = true;
    ASSERT_TRUE(WaitUntil([&] { return game.IsIdle() && !game.IsActive(); }));
    game.UpdateControls();
    EXPECT_FALSE(owner.enabled[1001]);
    EXPECT_TRUE(owner.enabled[1000]);
    EXPECT_EQ(owner.enabled.count(4242), 0u);
}

TEST(ThreadGame, APausedRunDisablesBothLists) {
    ControlOwner owner({1000, 1001});
    HeldGame game;
    game.SetOwner(&owner);
    game.AddRunControl(1001);
    game.AddIdleControl(1000);
    owner.enabled[1000] = true;
    owner.enabled[1001] = true;
    game.pause = true;
    game.Start();
    ASSERT_TRUE(WaitUntil([&] { return game.IsPaused(); }));
    ASSERT_TRUE(WaitUntil([&] { return game.GetState() == CSerrikThread::STATE_PAUSED; }));
    EXPECT_FALSE(game.IsRunning());
    EXPECT_FALSE(game.IsIdle());
    game.UpdateControls();
    EXPECT_FALSE(owner.enabled[1000]);
    EXPECT_FALSE(owner.enabled[1001]);
    game.release = true;
    game.Resume();
    ASSERT_TRUE(WaitUntil([&] { return game.IsIdle() && !game.IsActive(); }));
}

TEST(ThreadGame, ItsOwnRunDoesNothing) {
    CThreadGame game;
    game.Start();
    ASSERT_TRUE(WaitUntil([&] { return game.IsIdle() && !game.IsActive(); }));
}

#ifndef NDEBUG
TEST(ThreadGame, UpdateControlsWithoutAnOwnerAsserts) {
    testsupport::AssertRecorder asserts;
    CThreadGame game;
    game.AddRunControl(1);
    game.UpdateControls();  // and does nothing else
    EXPECT_EQ(asserts.Count(), 1);
}
#endif

}  // namespace
