#include "app/StageThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/BirdEvent.h"
#include "platform/system/Clock.h"
#include "tests/app/WorldTestSupport.h"
#include "tests/support/ClockScope.h"
#include "tests/support/FailingThreads.h"

namespace {

using namespace worldtest;
using Steady = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr auto kText = Event::kText;
constexpr auto kRepaint = Event::kRepaint;
constexpr auto kErase = Event::kRepaintErase;

// How soon a stopped or finished run must leave the worker idle, in real time: seconds, so a
// busy machine never misses it; the virtual clock proves the timeline to the millisecond.
constexpr milliseconds kPromptly{10000};

// A whole game on the worker thread in virtual time: every sleep advances the virtual clock
// at once, and the log stamps each status text and repaint request with it.
class StageGame : public testing::Test {
protected:
    StageGame() : scope_(&clock_), log_(&clock_, &world_), owner_(log_), thread_(log_) {
        thread_.SetOwner(&owner_);
        thread_.SetGameEvent(&world_);
    }
    ~StageGame() override {
        clock_.SetSleepHook(nullptr);
        thread_.Shutdown();
    }

    // Starts a game as the dialog does (playing flag first) and waits for its end.
    void Play() {
        world_.SetPlaying();
        thread_.Start();
        ASSERT_TRUE(WaitForRunEnd(thread_));
    }

    // A field 2 px high: the chick (at rest, on y = 1) falls out at the first tick.
    void UseLosingField() { world_.SetFieldRect(0, 0, 400, 2); }

    // A field so tall that the obstacles' random heights almost never meet the chick, and a
    // sleep hook that flaps whenever the chick has sunk below the centre after a tick: the
    // chick then swings a few pixels around the centre. With the virtual clock's fixed epoch
    // the layouts of all five stages are fixed too, and none of their obstacles passes x = 100
    // within reach of that swing, so this game clears every stage.
    void UseSurvivingFieldAndPilot() {
        world_.SetFieldRect(0, 0, 400, kTallField);
        clock_.SetSleepHook([this](std::int64_t, int ms) {
            if (ms == 200 && world_.m_bird.GetPoint().y > kTallField / 2) {
                world_.Press(0, 0);
            }
            if (ms == 500 && finishing_) {
                beats_.push_back(world_.m_bird.GetFrame());
            }
        });
        thread_.onText = [this](const std::string& text) { finishing_ = text == "Finish!!"; };
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Event& e : log_.Events()) {
            if (e.kind == kText) {
                texts.push_back(e.text);
            }
        }
        return texts;
    }

    // Time of the first text `text`, or -1.
    std::int64_t TimeOf(const std::string& text) const {
        for (const Event& e : log_.Events()) {
            if (e.kind == kText && e.text == text) {
                return e.ms;
            }
        }
        return -1;
    }

    static constexpr int kTallField = 20000;

    sys::VirtualClock clock_;
    ClockScope scope_;
    TestWorld world_;
    EventLog log_;
    RecordingOwner owner_;
    RecordingStage thread_;
    bool finishing_ = false;
    std::vector<int> beats_;
};

// The events of a game lost at the first tick of stage 1, starting at virtual time 0.
std::vector<Event> LostAtFirstTick() {
    return {
        {kText, 0, "Stage1", true},
        {kRepaint, 0, "", true},
        {kText, 2000, "Go!!", true},
        {kRepaint, 2000, "", true},
        {kText, 2500, "", true},
        {kRepaint, 2500, "", true},
        // The deciding tick: no repaint before the end text.
        {kText, 2500, "Game Over!!", true},
        {kRepaint, 2500, "", true},
        {kErase, 4500, "", false},
    };
}

TEST_F(StageGame, AGameLostAtTheFirstTick) {
    UseLosingField();
    const auto t0 = Steady::now();
    Play();
    EXPECT_LT(Steady::now() - t0, milliseconds(3000));  // its real sleeps would take seconds
    EXPECT_EQ(log_.Events(), LostAtFirstTick());
    EXPECT_EQ(clock_.Sleeps(), (std::vector<int>{2000, 500, 2000}));
    EXPECT_TRUE(world_.IsTitle());
    EXPECT_TRUE(thread_.IsIdle());
    EXPECT_EQ(thread_.GetText(), "Game Over!!");  // kept until the next game
    EXPECT_EQ(world_.GetStageText(), "Stage1 / 5");
    EXPECT_EQ(world_.GetObstacleCount(), 10);
    EXPECT_EQ(world_.m_bird.GetTime(), 1);  // exactly one tick
    EXPECT_EQ(thread_.runs, 1);
}

// A hit ends the game at once, also in the tick that leaves no obstacle inside the field.
TEST_F(StageGame, AHitEndsTheGameEvenWhenTheSameTickClearsTheStage) {
    struct Case {
        const char* name;
        gfx::Point bird, obstacle;
    };
    const Case cases[] = {
        {"hit", {100, 150}, {100, 150}},
        // The obstacle's centre lies above the field, its rectangle reaches the chick's centre.
        {"hit and cleared", {100, 1}, {100, -10}},
    };
    world_.SetFieldRect(0, 0, 400, 300);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clock_.SetSleepHook([&](std::int64_t, int ms) {
            if (ms == 500) {  // "Go!!": the stage is set up, the first tick comes next
                world_.m_bird.SetPoint(c.bird.x, c.bird.y);
                world_.OneStillObstacle(c.obstacle.x, c.obstacle.y);
            }
        });
        const std::size_t before = log_.Events().size();
        const std::int64_t t0 = clock_.NowMs();
        Play();
        std::vector<Event> events = log_.Events();
        events.erase(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(before));
        for (Event& e : events) {
            e.ms -= t0;
        }
        EXPECT_EQ(events, LostAtFirstTick());
    }
}

TEST_F(StageGame, EveryGameStartsWithTheChickAtRest) {
    UseLosingField();
    struct AtStart {
        double velocity;
        int ticks;
        int frame;
        bool operator==(const AtStart&) const = default;
    };
    std::vector<AtStart> atStart;
    thread_.onText = [&](const std::string& text) {
        if (text == "Stage1") {
            atStart.push_back(
                {world_.m_bird.GetVelocityY(), world_.m_bird.GetTime(), world_.m_bird.GetFrame()});
        }
    };
    world_.m_bird.MoveUp();
    world_.m_bird.SetFrame(1);  // a button still held when the last game ended
    Play();
    world_.m_bird.SetFrame(1);
    Play();
    EXPECT_EQ(atStart, (std::vector<AtStart>{{0.0, 0, 0}, {0.0, 0, 0}}));
    EXPECT_EQ(world_.m_bird.GetVelocityY(), 2.0);  // the one tick of the second game
    EXPECT_EQ(thread_.runs, 2);
}

TEST_F(StageGame, AGameThatClearsAllFiveStages) {
    UseSurvivingFieldAndPilot();
    struct Stage {
        int count;
        bool stepsByIndex;
        std::string label;
        gfx::Point bird;
        int ticks;  // the chick's, counted across the whole game
    };
    std::vector<Stage> stages;
    const auto pilotText = thread_.onText;
    thread_.onText = [&](const std::string& text) {
        pilotText(text);
        if (text.rfind("Stage", 0) != 0) {
            return;
        }
        Stage s{world_.GetObstacleCount(), true, world_.GetStageText(), world_.m_bird.GetPoint(),
                world_.m_bird.GetTime()};
        for (int i = 0; i < s.count; ++i) {
            const CObstacle* o = world_.Obstacle(i);
            s.stepsByIndex = s.stepsByIndex && o->GetStepX() == (i % 9 == 0 ? -16.0 : -8.0) &&
                             o->GetStepY() == (i % 5 == 0 ? -2.0 : 0.0);
        }
        stages.push_back(s);
    };
    const auto t0 = Steady::now();
    Play();
    EXPECT_LT(Steady::now() - t0, milliseconds(3000));  // its real sleeps would take seconds

    ASSERT_EQ(stages.size(), 5u) << log_.LastText();
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(stages[k].count, 5 * k + 10);
        EXPECT_TRUE(stages[k].stepsByIndex);
        EXPECT_EQ(stages[k].label, "Stage" + std::to_string(k + 1) + " / 5");
        EXPECT_EQ(stages[k].bird, (gfx::Point{100, kTallField / 2}));
        // Only a new game starts the chick from rest, not a new stage.
        if (k > 0) {
            EXPECT_GT(stages[k].ticks, stages[k - 1].ticks);
        }
    }
    std::vector<std::string> expectedTexts;
    for (int n = 1; n <= 5; ++n) {
        expectedTexts.insert(expectedTexts.end(), {"Stage" + std::to_string(n), "Go!!", ""});
    }
    expectedTexts.push_back("Finish!!");
    EXPECT_EQ(Texts(), expectedTexts);

    // The clearing tick requests no repaint: the next one follows the next stage's set-up.
    const std::vector<Event> events = log_.Events();
    for (std::size_t i = 1; i < events.size(); ++i) {
        const Event& e = events[i];
        if (e.kind == kText && e.text.rfind("Stage", 0) == 0 && e.text != "Stage1") {
            const Event& before = events[i - 1];
            ASSERT_EQ(before.kind, kRepaint) << Describe(e);
            EXPECT_EQ(before.ms, e.ms - 200) << Describe(e);
        }
    }

    // The celebration: 30 wing beats from frame 1 to frame 0, 500 ms each, then 2 s more.
    std::vector<int> beats;
    for (int j = 0; j < 30; ++j) {
        beats.push_back(j % 2 == 0 ? 1 : 0);
    }
    EXPECT_EQ(beats_, beats);
    const std::int64_t finish = TimeOf("Finish!!");
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), (Event{kErase, finish + 17000, "", false}));
    std::vector<std::int64_t> beatRepaints;
    for (const Event& e : events) {
        if (e.kind == kRepaint && e.ms > finish) {
            beatRepaints.push_back(e.ms - finish);
        }
    }
    std::vector<std::int64_t> expectedRepaints;
    for (int j = 1; j <= 30; ++j) {
        expectedRepaints.push_back(500 * j);
    }
    expectedRepaints.push_back(15000);  // the final pause's repaint
    EXPECT_EQ(beatRepaints, expectedRepaints);
    EXPECT_EQ(world_.m_bird.GetFrame(), 0);
    EXPECT_TRUE(world_.IsTitle());
    EXPECT_TRUE(thread_.IsIdle());
}

TEST_F(StageGame, AGameLostInStage3NeverReachesStage4) {
    UseSurvivingFieldAndPilot();
    // From stage 3 on the pilot over-flaps, so the chick leaves the field at the top.
    clock_.SetSleepHook([this](std::int64_t, int ms) {
        if (ms != 200) {
            return;
        }
        if (world_.GetStageText() == "Stage3 / 5") {
            world_.Press(0, 0);
            world_.Press(0, 0);
            world_.Press(0, 0);
        } else if (world_.m_bird.GetPoint().y > kTallField / 2) {
            world_.Press(0, 0);
        }
    });
    std::vector<int> counts;
    thread_.onText = [&](const std::string& text) {
        if (text.rfind("Stage", 0) == 0) {
            counts.push_back(world_.GetObstacleCount());
        }
    };
    Play();
    EXPECT_EQ(counts, (std::vector<int>{10, 15, 20}));
    const std::vector<std::string> texts = Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "Game Over!!");
    EXPECT_EQ(world_.GetObstacleCount(), 20);
    EXPECT_LT(world_.m_bird.GetPoint().y, 0);
}

TEST_F(StageGame, StartWhileARunIsActiveStartsNoSecondRun) {
    UseLosingField();
    std::atomic<int> phase{0};
    clock_.SetSleepHook([&](std::int64_t, int) {
        if (phase == 0) {
            phase = 1;
            WaitUntil([&] { return phase == 2; });
        }
    });
    world_.SetPlaying();
    thread_.Start();
    ASSERT_TRUE(WaitUntil([&] { return phase == 1; }));
    thread_.Start();  // refused: the run is in its first announcement
    EXPECT_TRUE(thread_.IsActive());
    phase = 2;
    ASSERT_TRUE(WaitForRunEnd(thread_));
    EXPECT_EQ(thread_.runs, 1);
    EXPECT_EQ(log_.Events(), LostAtFirstTick());
    Play();  // idle again: the next Start is a new game
    EXPECT_EQ(thread_.runs, 2);
}

// A game that cannot start, or from which anything but a stop escapes, says so in one line
// and leaves the world on the title screen: never a game scene with no run behind it.
TEST_F(StageGame, AFailedGameSaysSoAndReturnsToTheTitleScreen) {
    UseLosingField();
    std::optional<testsupport::FailingThreads> noThreads;
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* line;
    };
    const Case cases[] = {
        {"run",
         [&] {
             clock_.SetSleepHook([](std::int64_t, int) { throw std::runtime_error("no memory"); });
         },
         "tolvane: the game ended: the run failed: no memory\n"},
        {"thread", [&] { noThreads.emplace(); },
         "tolvane: the game ended: cannot start a thread: Resource temporarily unavailable\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        world_.SetPlaying();
        testing::internal::CaptureStderr();
        thread_.Start();
        const bool ended = WaitForRunEnd(thread_);
        [[maybe_unused]] const std::string err = testing::internal::GetCapturedStderr();
        noThreads.reset();
        clock_.SetSleepHook(nullptr);
        ASSERT_TRUE(ended);
#ifndef __EMSCRIPTEN__
        // Under node the C library's stderr is no descriptor a test can redirect.
        EXPECT_EQ(err, c.line);
#endif
        EXPECT_TRUE(world_.IsTitle());
        const std::vector<Event> events = log_.Events();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().kind, kErase);
    }
    Play();  // the next game plays
    EXPECT_EQ(log_.LastText(), "Game Over!!");
}

// Stops in virtual time, issued from the sleep hook on the game thread as a Stop click would
// be (the dialog resets the playing flag, then stops the worker).
class StageStop : public StageGame {
protected:
    void StopNow() {
        world_.ResetPlaying();
        thread_.Stop();
        stoppedAt_ = Steady::now();
        stopped_ = true;
    }
    void ExpectIdlePromptly() {
        ASSERT_TRUE(WaitForRunEnd(thread_));
        ASSERT_TRUE(stopped_);
        EXPECT_LT(Steady::now() - stoppedAt_, kPromptly);
    }
    Steady::time_point stoppedAt_;
    std::atomic<bool> stopped_{false};
};

TEST_F(StageStop, DuringTheAnnouncementTheRunUnwindsAfterOneTick) {
    world_.SetFieldRect(0, 0, 400, 300);
    clock_.SetSleepHook([this](std::int64_t, int ms) {
        if (ms == 2000 && !stopped_) {
            StopNow();
        }
    });
    world_.SetPlaying();
    thread_.Start();
    ExpectIdlePromptly();
    const std::vector<Event> expected = {
        {kText, 0, "Stage1", true},  {kRepaint, 0, "", true},  {kText, 2000, "Go!!", false},
        {kRepaint, 2000, "", false}, {kText, 2000, "", false}, {kRepaint, 2000, "", false},
        {kRepaint, 2000, "", false},  // after the one tick
    };
    EXPECT_EQ(log_.Events(), expected);
    EXPECT_EQ(clock_.Sleeps(), (std::vector<int>{2000}));  // the rest were skipped
    EXPECT_EQ(world_.m_bird.GetTime(), 1);
    EXPECT_EQ(world_.GetObstacleCount(), 10);  // the interrupted stage's obstacles stay
    EXPECT_FALSE(thread_.IsStopRequested());   // honoured at the checkpoint
    EXPECT_EQ(thread_.GetText(), "");
    EXPECT_TRUE(world_.IsTitle());
}

TEST_F(StageStop, DuringPlayTheRunUnwindsAtTheEndOfTheFrame) {
    world_.SetFieldRect(0, 0, 400, 300);
    int frames = 0;
    clock_.SetSleepHook([&](std::int64_t, int ms) {
        if (ms == 200 && ++frames == 3) {
            StopNow();
        }
    });
    world_.SetPlaying();
    thread_.Start();
    ExpectIdlePromptly();
    const std::vector<Event> expected = {
        {kText, 0, "Stage1", true}, {kRepaint, 0, "", true},    {kText, 2000, "Go!!", true},
        {kRepaint, 2000, "", true}, {kText, 2500, "", true},    {kRepaint, 2500, "", true},
        {kRepaint, 2500, "", true}, {kRepaint, 2700, "", true}, {kRepaint, 2900, "", true},
    };
    EXPECT_EQ(log_.Events(), expected);
    EXPECT_EQ(clock_.Sleeps(), (std::vector<int>{2000, 500, 200, 200, 200}));
    EXPECT_EQ(world_.m_bird.GetTime(), 3);
    EXPECT_FALSE(thread_.IsStopRequested());
    EXPECT_TRUE(world_.IsTitle());
}

TEST_F(StageStop, DuringTheCelebrationTheRunEndsNormally) {
    UseSurvivingFieldAndPilot();
    clock_.SetSleepHook([this](std::int64_t, int ms) {
        if (ms == 200 && world_.m_bird.GetPoint().y > kTallField / 2) {
            world_.Press(0, 0);
        }
        if (ms == 500 && finishing_ && !stopped_) {
            StopNow();
        }
    });
    world_.SetPlaying();
    thread_.Start();
    ExpectIdlePromptly();
    const std::int64_t finish = TimeOf("Finish!!");
    ASSERT_GE(finish, 0);
    std::vector<Event> tail;
    for (const Event& e : log_.Events()) {
        if (e.ms >= finish) {
            tail.push_back(e);
        }
    }
    // Every beat still runs, without its sleep; then the final pause (skipped) and the end.
    std::vector<Event> expected = {{kText, finish, "Finish!!", true}, {kRepaint, finish, "", true}};
    for (int j = 0; j < 31; ++j) {
        expected.push_back({kRepaint, finish + 500, "", false});
    }
    expected.push_back({kErase, finish + 500, "", false});
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(world_.m_bird.GetFrame(), 0);
    EXPECT_TRUE(thread_.IsStopRequested());  // no checkpoint came to honour it
    EXPECT_EQ(thread_.GetText(), "Finish!!");
}

TEST_F(StageStop, DuringTheFinalPauseTheRunEndsNormally) {
    UseLosingField();
    clock_.SetSleepHook([this](std::int64_t, int ms) {
        if (ms == 2000 && log_.LastText() == "Game Over!!") {
            StopNow();
        }
    });
    world_.SetPlaying();
    thread_.Start();
    ExpectIdlePromptly();
    EXPECT_EQ(log_.Events(), LostAtFirstTick());
    EXPECT_TRUE(world_.IsTitle());
}

// Real sleeps, with the calendar time that seeds the layout held still. The sleeps from the
// LongFrom-th on (counted from 0) last 30 s, so that within the bound only a stop ends them.
class RealSleeps final : public sys::Clock {
public:
    void LongFrom(int n) { longFrom_ = n; }
    void Sleep(int ms) override { real_.Sleep(Stretched(ms)); }
    std::int64_t Time() override { return worldtest::kSteadyLayoutTime; }
    void SleepUnless(int ms, const std::atomic<int>& cancel) override {
        real_.SleepUnless(Stretched(ms), cancel);
    }
    void WakeSleepers() override { real_.WakeSleepers(); }

private:
    int Stretched(int ms) { return sleeps_++ >= longFrom_ ? 30'000 : ms; }

    sys::RealClock real_;
    std::atomic<int> longFrom_{0};
    std::atomic<int> sleeps_{0};
};

// The same stops against the real clock: a stop cuts a real sleep short.
class RealClockStop : public testing::Test {
protected:
    RealClockStop() : log_(nullptr, &world_), owner_(log_), thread_(log_) {
        thread_.SetOwner(&owner_);
        thread_.SetGameEvent(&world_);
    }
    ~RealClockStop() override { thread_.Shutdown(); }

    // Starts a game, waits (in real time) until `ready`, stops it and returns how long the
    // worker took to become idle.
    Steady::duration StopWhen(const std::function<bool()>& ready) {
        world_.SetPlaying();
        thread_.Start();
        EXPECT_TRUE(WaitUntil(ready));
        const auto t0 = Steady::now();
        world_.ResetPlaying();
        thread_.Stop();
        EXPECT_TRUE(WaitForRunEnd(thread_));
        return Steady::now() - t0;
    }

    RealSleeps clock_;
    testsupport::ClockScope useClock_{&clock_};
    TestWorld world_;
    EventLog log_;
    RecordingOwner owner_;
    RecordingStage thread_;
};

TEST_F(RealClockStop, DuringTheAnnouncementsSleep) {
    world_.SetFieldRect(0, 0, 400, 300);
    clock_.LongFrom(0);
    EXPECT_LT(StopWhen([&] { return log_.LastText() == "Stage1"; }), kPromptly);
    EXPECT_EQ(log_.LastText(), "");
    EXPECT_EQ(world_.m_bird.GetTime(), 1);
}

TEST_F(RealClockStop, DuringAFramesSleep) {
    world_.SetFieldRect(0, 0, 400, 300);
    clock_.LongFrom(2);  // after the announcement and "Go!!"
    EXPECT_LT(StopWhen([&] { return world_.m_bird.GetTime() >= 1; }), kPromptly);
    EXPECT_EQ(log_.LastText(), "");
}

TEST_F(RealClockStop, DuringTheFinalPause) {
    world_.SetFieldRect(0, 0, 400, 2);
    clock_.LongFrom(2);  // after the announcement and "Go!!"
    EXPECT_LT(StopWhen([&] { return log_.LastText() == "Game Over!!"; }), kPromptly);
    const std::vector<Event> events = log_.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().kind, kErase);
}

}  // namespace
