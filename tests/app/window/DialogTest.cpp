// The real main dialog, headless through SDL's offscreen driver, played with synthetic mouse
// and keyboard events while the game thread runs ten times faster than real time.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "app/window/AboutDlg.h"
#include "app/window/TolvaneDlg.h"
#include "platform/system/Clock.h"
#include "platform/system/Thread.h"
#include "tests/app/WorldTestSupport.h"
#include "tests/support/FailingThreads.h"
#include "tests/support/WindowTest.h"

namespace {

using namespace std::chrono_literals;

// Sleeps a tenth of every requested time; a pending cancel cuts a sleep short. The calendar
// time that seeds the layout stands still.
class FastClock final : public sys::Clock {
public:
    static constexpr int kSpeed = 10;
    void Sleep(int ms) override {
        if (ms > 0) {
            sys::SleepFor(std::chrono::microseconds(ms * 1000 / kSpeed));
        }
    }
    std::int64_t Time() override { return worldtest::kSteadyLayoutTime; }
    void SleepUnless(int ms, const std::atomic<int>& cancel) override {
        const auto end =
            std::chrono::steady_clock::now() + std::chrono::microseconds(ms * 1000 / kSpeed);
        while ((cancel.load() == 0 && std::chrono::steady_clock::now() < end) || hold.load()) {
            held = hold.load();
            sys::SleepFor(200us);
        }
        held = false;
    }

    // While set, the worker's next sleep lasts, stop or no stop: a run busy between two
    // checkpoints.
    std::atomic<bool> hold{false};
    std::atomic<bool> held{false};

private:
    sys::RealClock real_;
};

// What the world keeps to itself, reached through the test world's public names.
CBird CBirdEvent::*const kBird = &worldtest::TestWorld::m_bird;
std::string CBirdEvent::*const kTitle = &worldtest::TestWorld::m_strTitle;
CSerrikList<CObstacle> CBirdEvent::*const kObstacles = &worldtest::TestWorld::m_listObstacle;

constexpr gfx::Colour kTitleBox = 0xF0F0FF;
constexpr gfx::Colour kButton = 0xFAFAFA;
constexpr gfx::Colour kButtonHover = 0x9875EF;
constexpr gfx::Colour kSky = 0xDEBD89;

class Tolvane : public wt::Scripted<Tolvane, CTolvaneDlg> {
public:
    using CTolvaneDlg::m_bWaitingToStart;
    using CTolvaneDlg::m_gameEvent;
    using CTolvaneDlg::m_hIcon;
    using CTolvaneDlg::m_thread;
    using CTolvaneDlg::OnCommand;
    using CTolvaneDlg::OnSysCommand;

    const CBird& Bird() const { return m_gameEvent.*kBird; }
    std::string Text() const { return m_thread.GetText(); }
    bool Idle() const { return m_thread.IsIdle() && !m_thread.IsActive(); }
    gfx::Colour Pixel(gfx::Point p) const { return ClientSurface().GetPixel(p.x, p.y); }
    gfx::Point Centre(int id) const { return GetControlRect(id).Centre(); }

    void Click(int id) { Click(Centre(id)); }
    void Click(gfx::Point p) { wt::PushClick(WindowId(), SDL_BUTTON_LEFT, p.x, p.y); }
    void Move(gfx::Point p) { wt::PushMotion(WindowId(), p.x, p.y); }

    int ticks = 0;  // of the dialog's own 200 ms timer
    std::vector<std::chrono::steady_clock::time_point> tickTimes;
    int paints = 0;

protected:
    void OnTimer(int id) override {
        if (id == 0) {
            ++ticks;
            tickTimes.push_back(std::chrono::steady_clock::now());
        }
        Scripted::OnTimer(id);
    }
    void OnPaint(gfx::DeviceContext& dc) override {
        ++paints;
        CTolvaneDlg::OnPaint(dc);
    }
};

class TolvaneDialogTest : public wt::VideoTest {
protected:
    static void SetUpTestSuite() {
        VideoTest::SetUpTestSuite();
        InstallTolvaneResources();
    }
    void SetUp() override {
        VideoTest::SetUp();
        sys::SetClock(&clock_);
    }
    void TearDown() override { sys::SetClock(nullptr); }

    FastClock clock_;
    wt::Watchdog watchdog_{20s};
};

// Steps shared by the scenarios.
auto StartGame() {
    return [](Tolvane& d) { d.Click(IDC_BUTTON_START); };
}
auto UntilText(const char* text) {
    return [text](Tolvane& d) { return d.Text() == text; };
}
auto UntilPlay() {
    return [](Tolvane& d) { return d.m_gameEvent.IsPlaying() && d.Text().empty(); };
}

TEST_F(TolvaneDialogTest, OpensOnTheTitleScreenWithItsLayout) {
    Tolvane d;
    d.Script(20, {[](Tolvane& d) {
                 EXPECT_EQ(d.m_hIcon, IDR_MAINFRAME);
                 EXPECT_TRUE(d.m_gameEvent.IsTitle());
                 // The drawn buttons are hit exactly on the controls' rectangles.
                 const CBirdEvent& world = d.m_gameEvent;
                 struct Button {
                     int id;
                     bool (CBirdEvent::*hit)(int, int) const;
                 };
                 for (const Button& b : {Button{IDC_BUTTON_START, &CBirdEvent::HitStart},
                                         Button{IDOK, &CBirdEvent::HitExit},
                                         Button{IDC_BUTTON_STOP, &CBirdEvent::HitStop}}) {
                     const gfx::Rect r = d.GetControlRect(b.id);
                     EXPECT_TRUE((world.*b.hit)(r.left, r.top)) << b.id;
                     EXPECT_TRUE((world.*b.hit)(r.right - 1, r.bottom - 1)) << b.id;
                     EXPECT_FALSE((world.*b.hit)(r.right, r.bottom - 1)) << b.id;
                     EXPECT_FALSE((world.*b.hit)(r.left, r.top - 1)) << b.id;
                 }
                 EXPECT_EQ(d.Pixel({d.GetControlRect(IDC_STATIC_TITLE).left + 3, 60}), kTitleBox);
                 EXPECT_EQ(d.Pixel({d.GetControlRect(IDC_BUTTON_START).left + 3, 155}), kButton);
                 EXPECT_EQ(d.Pixel({d.GetControlRect(IDOK).left + 3, 225}), kButton);
                 EXPECT_EQ(d.Pixel({5, 5}), 0x000000u);  // the title screen's black field
                 // Below the field the window's own face shows: the world leaves Stop out.
                 EXPECT_EQ(d.Pixel(d.Centre(IDC_BUTTON_STOP)), ui::kDialogFace);
                 EXPECT_EQ(d.GetClientRect(), (gfx::Rect{0, 0, 467, 359}));
                 int w = 0, h = 0;
                 SDL_GetWindowSize(SDL_GetWindowFromID(d.WindowId()), &w, &h);
                 EXPECT_EQ(w, 467);  // unscaled on the offscreen display: events use client pixels
             }});
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
}

TEST_F(TolvaneDialogTest, StartClickStartsAGameAndAPressFlapsTheChick) {
    Tolvane d;
    double before = 0;
    const gfx::Point inField{300, 100};
    d.Script(20, {
                     [](Tolvane& d) { d.Move(d.Centre(IDC_BUTTON_START)); },
                     [](Tolvane& d) {
                         // Hovering highlights; a press on the title screen changes nothing.
                         EXPECT_EQ(d.Pixel({d.GetControlRect(IDC_BUTTON_START).left + 3, 155}),
                                   kButtonHover);
                         wt::PushButton(d.WindowId(), true, SDL_BUTTON_LEFT, 300, 100);
                     },
                     [](Tolvane& d) {
                         EXPECT_EQ(d.Bird().GetFrame(), 0);
                         EXPECT_TRUE(d.m_gameEvent.IsTitle());
                         d.Click(IDC_BUTTON_START);
                     },
                     [](Tolvane& d) {
                         EXPECT_TRUE(d.m_gameEvent.IsPlaying());
                         EXPECT_FALSE(d.Idle());
                         EXPECT_EQ(d.Pixel({5, 40}), kSky);
                         EXPECT_EQ(d.Pixel(d.Centre(IDC_BUTTON_STOP)), kButton);
                     },
                     UntilText("Stage1"),
                     [&](Tolvane& d) {
                         // The announcement runs no ticks: the flap alone changes the velocity.
                         before = d.Bird().GetVelocityY();
                         wt::PushButton(d.WindowId(), true, SDL_BUTTON_LEFT, inField.x, inField.y);
                     },
                     [&](Tolvane& d) {
                         EXPECT_EQ(d.Bird().GetFrame(), 1);
                         EXPECT_EQ(d.Bird().GetVelocityY(), before - 5);
                         wt::PushButton(d.WindowId(), false, SDL_BUTTON_LEFT, inField.x, inField.y);
                     },
                     [](Tolvane& d) {
                         EXPECT_EQ(d.Bird().GetFrame(), 0);
                         EXPECT_TRUE(d.m_gameEvent.IsPlaying());
                     },
                 });
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
    EXPECT_TRUE(d.Idle());  // closing stopped and joined the run
}

TEST_F(TolvaneDialogTest, StopClickShowsTheTitleScreenAtOnce) {
    Tolvane d;
    d.Script(20,
             {StartGame(), UntilPlay(), [](Tolvane& d) { d.Click(IDC_BUTTON_STOP); },
              [](Tolvane& d) {
                  EXPECT_TRUE(d.m_gameEvent.IsTitle());
                  EXPECT_EQ(d.Pixel({d.GetControlRect(IDC_STATIC_TITLE).left + 3, 60}), kTitleBox);
                  // Erased: the Stop button is gone with the game.
                  EXPECT_EQ(d.Pixel(d.Centre(IDC_BUTTON_STOP)), ui::kDialogFace);
              },
              [](Tolvane& d) { return d.Idle(); }});
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
}

TEST_F(TolvaneDialogTest, StartClickRightAfterAStopStartsExactlyOneNewRun) {
    Tolvane d;
    d.Script(20, {StartGame(), UntilPlay(),
                  [](Tolvane& d) {
                      // All in one batch: the old run has not reached its checkpoint, and the
                      // second Start release arrives while the first waits for it.
                      d.Click(IDC_BUTTON_STOP);
                      d.Click(IDC_BUTTON_START);
                      d.Click(IDC_BUTTON_START);
                  },
                  // A step that comes due while the Start click waits runs inside the wait.
                  [](Tolvane& d) { return d.m_bWaitingToStart == 0; },
                  [](Tolvane& d) {
                      EXPECT_TRUE(d.m_gameEvent.IsPlaying());
                      EXPECT_FALSE(d.Idle());
                      EXPECT_EQ(d.m_gameEvent.GetStageText(), "Stage1 / 5");
                  },
                  UntilText("Stage1"),
                  // The new run plays on: nothing of the old one ends it.
                  UntilPlay(), [](Tolvane& d) { EXPECT_TRUE(d.m_gameEvent.IsPlaying()); },
                  // Without flaps the game ends; one game for the two releases, none after it.
                  UntilText("Game Over!!"),
                  [](Tolvane& d) {
                      return (d.m_gameEvent.IsTitle() && d.Idle()) || d.Text() != "Game Over!!";
                  },
                  [](Tolvane& d) {
                      EXPECT_TRUE(d.m_gameEvent.IsTitle());
                      EXPECT_TRUE(d.Idle());
                      EXPECT_EQ(d.Text(), "Game Over!!");
                  }});
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
}

// The template's Start command is the drawn button's routine: after a stopped run it starts a
// new game from the first stage. The new run is held in its announcement while it is checked.
TEST_F(TolvaneDialogTest, TheTemplatesStartCommandStartsAGameAsTheDrawnButtonDoes) {
    Tolvane d;
    d.Script(20, {StartGame(), UntilPlay(),
                  [](Tolvane& d) {
                      d.m_gameEvent.ResetPlaying();
                      d.m_thread.Stop();
                      d.m_gameEvent.SetStageText("Stage5 / 5");
                  },
                  [](Tolvane& d) { return d.Idle(); },
                  [&](Tolvane& d) {
                      clock_.hold = true;
                      d.OnCommand(IDC_BUTTON_START);
                      EXPECT_TRUE(d.m_gameEvent.IsPlaying());
                      EXPECT_FALSE(d.Idle());
                  },
                  [&](Tolvane&) { return clock_.held.load(); },
                  [&](Tolvane& d) {
                      EXPECT_EQ(d.Text(), "Stage1");
                      EXPECT_EQ(d.m_gameEvent.GetStageText(), "Stage1 / 5");
                      clock_.hold = false;
                  }});
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
}

// A Start click waits for a stopped run that is still busy; a way out taken meanwhile ends the
// dialog, and no game starts on it when the wait is over.
TEST_F(TolvaneDialogTest, AWayOutTakenWhileAStartClickWaitsStartsNoGame) {
    struct Way {
        const char* name;
        std::function<void(Tolvane&)> take;
        int result;
    };
    const Way ways[] = {
        {"Exit", [](Tolvane& d) { d.Click(IDOK); }, ui::IDOK},
        {"close box", [](Tolvane& d) { wt::PushWindowEvent(d.WindowId(), SDL_WINDOWEVENT_CLOSE); },
         ui::IDCANCEL},
        {"Escape", [](Tolvane& d) { wt::PushKey(d.WindowId(), SDLK_ESCAPE); }, ui::IDCANCEL},
        {"Alt+F4", [](Tolvane& d) { wt::PushKey(d.WindowId(), SDLK_F4, KMOD_LALT); }, ui::IDCANCEL},
    };
    for (const Way& way : ways) {
        Tolvane d;
        d.Script(20, {StartGame(), UntilPlay(), [&](Tolvane&) { clock_.hold = true; },
                      [&](Tolvane&) { return clock_.held.load(); },
                      [](Tolvane& d) {
                          d.Click(IDC_BUTTON_STOP);
                          d.Click(IDC_BUTTON_START);
                      },
                      [&](Tolvane& d) {
                          // This step runs inside the Start click's wait.
                          if (d.m_bWaitingToStart == 0) {
                              return false;
                          }
                          way.take(d);
                          d.PumpMessages();  // handled there, through the real input path
                          EXPECT_TRUE(d.IsEnding()) << way.name;
                          clock_.hold = false;  // the old run may end now
                          return true;
                      },
                      [](Tolvane&) { ADD_FAILURE() << "the dialog did not end"; }});
        EXPECT_EQ(d.DoModal(), way.result) << way.name;
        clock_.hold = false;
        EXPECT_TRUE(d.m_gameEvent.IsTitle()) << way.name;
        EXPECT_TRUE(d.Idle()) << way.name;
    }
}

// A game whose thread cannot be created leaves no game scene behind: the title screen returns.
TEST_F(TolvaneDialogTest, AGameThatCannotStartLeavesTheTitleScreen) {
    Tolvane d;
    std::string err;
    std::optional<testsupport::FailingThreads> noThreads;
    d.Script(20, {[&](Tolvane& d) {
                      noThreads.emplace();
                      testing::internal::CaptureStderr();
                      d.Click(IDC_BUTTON_START);
                  },
                  [&](Tolvane& d) {
                      err = testing::internal::GetCapturedStderr();
                      noThreads.reset();
                      EXPECT_TRUE(d.m_gameEvent.IsTitle());
                      EXPECT_TRUE(d.Idle());
                      EXPECT_EQ(d.Pixel({5, 5}), 0x000000u);  // the title screen's field
                      EXPECT_EQ(d.Pixel(d.Centre(IDC_BUTTON_STOP)), ui::kDialogFace);
                  },
                  StartGame(), UntilText("Stage1")});
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
    EXPECT_EQ(err,
              "tolvane: the game ended: cannot start a thread: Resource temporarily unavailable\n");
}

TEST_F(TolvaneDialogTest, WithoutFlapsTheChickFallsOutAndTheTitleReturns) {
    Tolvane d;
    d.Script(20, {StartGame(), UntilPlay(),
                  [](Tolvane& d) {
                      // Keep obstacles out of the chick's way: only the fall can end this game.
                      (d.m_gameEvent.*kObstacles).DeleteAll();
                      return true;
                  },
                  UntilText("Game Over!!"),
                  [](Tolvane& d) {
                      EXPECT_TRUE(d.m_gameEvent.IsPlaying());  // the two-second pause
                      return true;
                  },
                  [](Tolvane& d) { return d.m_gameEvent.IsTitle(); },
                  [](Tolvane& d) { return d.Idle(); }});
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
}

TEST_F(TolvaneDialogTest, AboutCommandOpensAndClosesTheAboutBox) {
    Tolvane d;
    int ticksBefore = 0;
    d.Script(20, {[](Tolvane& d) {
                      wt::PushKey(d.WindowId(), SDLK_F10, KMOD_LSHIFT);
                      wt::PushKey(d.WindowId(), SDLK_a);
                  },
                  [&](Tolvane& d) {
                      // This step runs inside the About box's loop.
                      EXPECT_NE(dynamic_cast<CAboutDlg*>(ui::Dialog::GetActive()), nullptr);
                      ticksBefore = d.ticks;
                  },
                  [&](Tolvane& d) { return d.ticks >= ticksBefore + 2; },
                  [](Tolvane& d) { wt::PushKey(d.WindowId(), SDLK_ESCAPE); },
                  [](Tolvane& d) { EXPECT_EQ(ui::Dialog::GetActive(), &d); }});
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
}

// Every system command from 16 to 31 is the About item (its low four bits are masked off);
// an About box that opens takes the Escape queued for it and closes.
TEST_F(TolvaneDialogTest, SystemCommands16To31OpenTheAboutBox) {
    Tolvane d;
    d.Script(20, {[](Tolvane& d) {
                 for (int id = 0; id <= 48; ++id) {
                     SDL_FlushEvent(SDL_KEYDOWN);
                     wt::PushKey(d.WindowId(), SDLK_ESCAPE);
                     d.OnSysCommand(id);
                     const bool opened = !SDL_HasEvent(SDL_KEYDOWN);
                     EXPECT_EQ(opened, id >= 16 && id <= 31) << id;
                 }
                 SDL_FlushEvent(SDL_KEYDOWN);
                 EXPECT_EQ(ui::Dialog::GetActive(), &d);
             }});
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
}

TEST_F(TolvaneDialogTest, TheTitleIsKovaloAndTheControlsTimerTicksEvery200Ms) {
    Tolvane d;
    d.Script(20, {[](Tolvane& d) { return d.tickTimes.size() >= 11; }});
    const auto opened = std::chrono::steady_clock::now();
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
    EXPECT_EQ(d.m_gameEvent.*kTitle, "Kovalo");
    ASSERT_GE(d.tickTimes.size(), 11u);
    // The eleventh tick is due eleven periods after the timer was set, and never comes before
    // its deadline; a busy machine can only make it later, so the upper bound is generous.
    const auto eleventh =
        std::chrono::duration_cast<std::chrono::milliseconds>(d.tickTimes[10] - opened);
    EXPECT_GE(eleventh.count(), 2200);
    EXPECT_LE(eleventh.count(), 2200 + 1500);
}

TEST_F(TolvaneDialogTest, ExitClickEndsTheDialogWithOk) {
    Tolvane d;
    d.Script(20, {[](Tolvane& d) { d.Click(IDOK); }, [](Tolvane&) {}});
    EXPECT_EQ(d.DoModal(), ui::IDOK);
}

TEST_F(TolvaneDialogTest, WheelAndMovesRepaintWithoutErasing) {
    Tolvane d;
    int paints = 0;
    d.Script(20, {[&](Tolvane& d) {
                      paints = d.paints;
                      SDL_Event wheel{};
                      wheel.type = SDL_MOUSEWHEEL;
                      wheel.wheel.windowID = d.WindowId();
                      wheel.wheel.y = 1;
                      wt::Push(wheel);
                  },
                  [&](Tolvane& d) {
                      EXPECT_EQ(d.paints, paints + 1);
                      // Not erased: the face below the field came from the first paint only.
                      EXPECT_EQ(d.Pixel(d.Centre(IDC_BUTTON_STOP)), ui::kDialogFace);
                      d.Move({1, 1});
                  },
                  [&](Tolvane& d) { EXPECT_EQ(d.paints, paints + 2); }});
    EXPECT_EQ(d.DoModal(), Tolvane::kScriptDone);
}

// Closing the window ends the run in whatever phase it is, and quickly.
TEST_F(TolvaneDialogTest, ClosingInAnyPhaseStopsAndJoinsTheRunWithinASecond) {
    using Step = Tolvane::Step;
    struct Phase {
        const char* name;
        std::vector<Step> reach;
    };
    // Emptying the field at every announcement clears each stage at its first tick.
    auto clearStages = [](Tolvane& d) {
        const std::string text = d.Text();
        if (text.rfind("Stage", 0) == 0 || text == "Go!!") {
            (d.m_gameEvent.*kObstacles).DeleteAll();
        }
        return text == "Finish!!";
    };
    const Phase phases[] = {
        {"announcement", {StartGame(), UntilText("Stage1")}},
        {"play", {StartGame(), UntilPlay()}},
        {"final pause",
         {StartGame(), UntilPlay(), [](Tolvane& d) { (d.m_gameEvent.*kObstacles).DeleteAll(); },
          UntilText("Game Over!!")}},
        {"celebration", {StartGame(), clearStages}},
        {"after a stop", {StartGame(), UntilPlay(), [](Tolvane& d) { d.Click(IDC_BUTTON_STOP); }}},
    };
    for (const Phase& phase : phases) {
        Tolvane d;
        std::chrono::steady_clock::time_point closed;
        std::vector<Step> steps = phase.reach;
        steps.push_back([&](Tolvane& d) {
            closed = std::chrono::steady_clock::now();
            wt::PushWindowEvent(d.WindowId(), SDL_WINDOWEVENT_CLOSE);
        });
        steps.push_back([](Tolvane&) { ADD_FAILURE() << "the close box did not close"; });
        d.Script(20, std::move(steps));
        EXPECT_EQ(d.DoModal(), ui::IDCANCEL) << phase.name;
        const auto took = std::chrono::steady_clock::now() - closed;
        EXPECT_LT(took, 1s) << phase.name;
        EXPECT_TRUE(d.Idle()) << phase.name;
    }
}

// As the desktop draws an icon: its transparent corners show the face colour, not the sky
// stored under them; its opaque pixels show as stored.
TEST(TolvaneDialog, TheMinimisedIconShowsTheFaceThroughItsTransparency) {
    InstallTolvaneResources();
    gfx::Bitmap client(37, 37, 0x123456);
    gfx::DeviceContext dc;
    dc.SelectObject(&client);
    CTolvaneDlg::PaintIconic(dc, {0, 0, 37, 37}, IDR_MAINFRAME);
    gfx::Bitmap stored;
    ASSERT_TRUE(sys::LoadBitmap(IDR_MAINFRAME, stored));
    const gfx::Point at{3, 3};
    struct Pixel {
        int x, y;
        bool transparent;
    };
    const Pixel pixels[] = {{0, 0, true},   {31, 0, true},   {0, 31, true}, {31, 31, true},
                            {14, 0, false}, {16, 16, false}, {10, 5, false}};
    for (const Pixel& p : pixels) {
        EXPECT_EQ(client.GetPixel(at.x + p.x, at.y + p.y),
                  p.transparent ? ui::kDialogFace : stored.GetPixel(p.x, p.y))
            << p.x << "," << p.y;
    }
    EXPECT_NE(stored.GetPixel(0, 0), ui::kDialogFace);  // else the corners prove nothing
    EXPECT_EQ(client.GetPixel(1, 1), ui::kDialogFace);  // around the icon
    EXPECT_EQ(client.GetPixel(36, 36), ui::kDialogFace);
}

TEST(TolvaneDialog, MinimisedIconIsCentredWithTruncation) {
    struct Case {
        int clientW, clientH;
        gfx::Point at;
    };
    const Case cases[] = {
        {37, 37, {3, 3}}, {20, 20, {-5, -5}}, {32, 32, {0, 0}}, {467, 359, {218, 164}}};
    for (const Case& c : cases) {
        EXPECT_EQ(CTolvaneDlg::IconOrigin({0, 0, c.clientW, c.clientH}, 32, 32), c.at) << c.clientW;
    }
}

}  // namespace
