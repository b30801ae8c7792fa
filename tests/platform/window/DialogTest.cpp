#include <algorithm>
#include <atomic>
#include <thread>

#include "app/res/resource.h"
#include "platform/graphics/ScopedSelect.h"
#include "platform/system/Thread.h"
#include "platform/window/Presentation.h"
#include "platform/window/Timers.h"
#include "tests/support/WindowTest.h"

namespace {

using namespace std::chrono_literals;
using wt::Probe;

class DialogTest : public wt::VideoTest {};

constexpr gfx::Colour kRed = 0x0000FF;

TEST_F(DialogTest, ControlRectsComeFromDialogUnits) {
    Probe d(IDD_TOLVANE_DIALOG);
    EXPECT_EQ(d.GetClientRect(), (gfx::Rect{0, 0, 467, 359}));
    struct Case {
        int id;
        gfx::Rect px;
    };
    const Case cases[] = {
        {IDC_STATIC_TITLE, {71, 53, 386, 113}},  // 47, 35, 210, 40 units
        {IDC_BUTTON_START, {162, 149, 293, 191}},
        {IDOK, {164, 218, 294, 260}},
        {IDC_BUTTON_STOP, {360, 327, 467, 359}},
        {IDC_STATIC_AREA, {0, 0, 468, 326}},  // one unit wider than the client
        {12345, {}},                          // no such control
    };
    for (const Case& c : cases) {
        EXPECT_EQ(d.GetControlRect(c.id), c.px) << c.id;
    }
    // Layout controls are disabled; enabling one is remembered, an unknown id is refused.
    EXPECT_FALSE(d.IsControlEnabled(IDC_BUTTON_START));
    EXPECT_TRUE(d.EnableControl(IDC_BUTTON_START, true));
    EXPECT_TRUE(d.IsControlEnabled(IDC_BUTTON_START));
    EXPECT_FALSE(d.EnableControl(12345, true));
}

// The first paint draws a red square over (10, 10) .. (19, 19); later paints draw nothing.
void RedSquareAtFirstPaint(Probe& p, gfx::DeviceContext& dc) {
    if (p.paints == 1) {
        gfx::Brush red(kRed);
        gfx::Pen pen(1, kRed);
        const gfx::ScopedSelect<gfx::Brush> withRed(dc, &red);
        const gfx::ScopedSelect<gfx::Pen> withPen(dc, &pen);
        dc.Rectangle(10, 10, 20, 20);
    }
}

TEST_F(DialogTest, PaintsAreCoalescedEraseWinsAndThePictureStays) {
    wt::Watchdog watchdog;
    Probe d(IDD_TOLVANE_DIALOG);
    d.onPaint = RedSquareAtFirstPaint;
    d.Script(10, {
                     [](Probe& p) {
                         // The window opened erased: face colour where nothing was drawn.
                         EXPECT_EQ(p.paints, 1);
                         EXPECT_EQ(p.ClientSurface().GetPixel(0, 0), ui::kDialogFace);
                         EXPECT_EQ(p.ClientSurface().GetPixel(15, 15), kRed);
                         for (int i = 0; i < 100; ++i) {
                             p.Invalidate(false);
                         }
                         p.PumpMessages();
                         EXPECT_EQ(p.paints, 2);  // a hundred invalidations, one paint
                         EXPECT_EQ(p.ClientSurface().GetPixel(15, 15), kRed);  // kept
                         p.PumpMessages();
                         EXPECT_EQ(p.paints, 2);  // nothing left to paint
                         p.Invalidate(false);
                         p.Invalidate(true);
                         p.Invalidate(false);
                     },
                     [](Probe& p) {
                         EXPECT_EQ(p.paints, 3);
                         EXPECT_EQ(p.ClientSurface().GetPixel(15, 15), ui::kDialogFace);
                     },
                 });
    EXPECT_EQ(d.DoModal(), Probe::kScriptDone) << d.LastError();
    EXPECT_FALSE(watchdog.Fired());
}

// Restoring a minimised window repaints it whole, erased first; the mouse leaving the window
// takes the highlight off the button it was over.
TEST_F(DialogTest, RestoringRepaintsWithEraseAndLeavingDropsTheHighlight) {
    wt::Watchdog watchdog;
    Probe d(IDD_ABOUTBOX);
    d.onPaint = RedSquareAtFirstPaint;
    const gfx::Rect ok = d.GetControlRect(ui::IDOK);
    const auto face = [&](Probe& p) { return p.ClientSurface().GetPixel(ok.left + 3, ok.top + 3); };
    gfx::Colour plain = 0;
    d.Script(10, {[&](Probe& p) {
                      EXPECT_EQ(p.ClientSurface().GetPixel(15, 15), kRed);
                      plain = face(p);
                      int width = 0, height = 0;
                      SDL_GetWindowSize(SDL_GetWindowFromID(p.WindowId()), &width, &height);
                      const int scale = width / p.GetClientRect().Width();
                      wt::PushWindowEvent(p.WindowId(), SDL_WINDOWEVENT_RESTORED);
                      wt::PushMotion(p.WindowId(), ok.Centre().x * scale, ok.Centre().y * scale);
                  },
                  [&](Probe& p) {
                      EXPECT_EQ(p.ClientSurface().GetPixel(15, 15), ui::kDialogFace);
                      EXPECT_NE(face(p), plain);
                      wt::PushWindowEvent(p.WindowId(), SDL_WINDOWEVENT_LEAVE);
                  },
                  [&](Probe& p) { EXPECT_EQ(face(p), plain); }});
    EXPECT_EQ(d.DoModal(), Probe::kScriptDone);
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(DialogTest, InvalidateFromAnotherThreadWakesTheLoop) {
    wt::Watchdog watchdog;
    Probe d(IDD_TOLVANE_DIALOG);
    sys::Thread worker;
    // No timer runs: only the worker's invalidations can bring the second paint.
    d.onInit = [&](Probe& p) {
        worker = sys::StartThread([&p] {
            sys::SleepFor(50ms);
            for (int i = 0; i < 20; ++i) {
                p.Invalidate(false);
            }
        });
    };
    d.onPaint = [](Probe& p, gfx::DeviceContext&) {
        if (p.paints == 2) {
            p.EndDialog(ui::IDOK);
        }
    };
    const int result = d.DoModal();
    worker.join();
    EXPECT_EQ(result, ui::IDOK);
    EXPECT_EQ(d.paints, 2);
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(DialogTest, InvalidateAfterCloseDoesNothing) {
    Probe d(IDD_TOLVANE_DIALOG);
    d.onInit = [](Probe& p) { p.EndDialog(7); };
    EXPECT_EQ(d.DoModal(), 7);
    EXPECT_FALSE(d.IsOpen());
    EXPECT_EQ(d.WindowId(), 0u);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    sys::Thread other = sys::StartThread([&d] { d.Invalidate(true); });
    other.join();
    d.Invalidate(false);
    d.PumpMessages();
    SDL_PumpEvents();
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_USEREVENT, SDL_LASTEVENT), 0);
    EXPECT_EQ(d.paints, 0);  // ended in its initialisation: never painted
}

TEST_F(DialogTest, PumpMessagesOnAnotherThreadDispatchesNothing) {
    wt::Watchdog watchdog;
    Probe d(IDD_TOLVANE_DIALOG);
    d.Script(10, {[](Probe& p) {
                 const int before = p.paints;
                 p.Invalidate(false);
                 sys::Thread other = sys::StartThread([&p] { p.PumpMessages(); });
                 other.join();
                 EXPECT_EQ(p.paints, before);
                 p.PumpMessages();
                 EXPECT_EQ(p.paints, before + 1);
             }});
    EXPECT_EQ(d.DoModal(), Probe::kScriptDone);
}

TEST_F(DialogTest, TimersFireInTheLoopAtTheirPeriods) {
    wt::Watchdog watchdog;
    Probe d(IDD_TOLVANE_DIALOG);
    std::vector<int> ticks;
    const auto start = std::chrono::steady_clock::now();
    sys::ThreadId tickThread;
    d.onInit = [](Probe& p) {
        p.SetTimer(1, 20);
        p.SetTimer(2, 50);
        p.SetTimer(3, 30);
        p.KillTimer(3);
        p.SetTimer(4, 0);  // ticks at the minimum period, not at every pass of the loop
    };
    d.onTimer = [&](Probe& p, int id) {
        ticks.push_back(id);
        tickThread = sys::CurrentThreadId();
        if (std::count(ticks.begin(), ticks.end(), 1) == 10) {
            p.EndDialog(ui::IDOK);
        }
    };
    ASSERT_EQ(d.DoModal(), ui::IDOK);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(tickThread, sys::CurrentThreadId());
    EXPECT_GE(elapsed, 200ms);
    EXPECT_LT(elapsed, 2s);
    const auto twos = std::count(ticks.begin(), ticks.end(), 2);
    EXPECT_GE(twos, 2);
    EXPECT_LE(twos, 5);
    EXPECT_EQ(std::count(ticks.begin(), ticks.end(), 3), 0);
    // Between two ticks of timer 1 (20 ms) the 10-ms minimum allows timer 4 three at most,
    // however late the loop; a loop that spun would tick it thousands of times.
    const auto fours = std::count(ticks.begin(), ticks.end(), 4);
    EXPECT_GE(fours, 1);
    EXPECT_LE(fours, 3 * 10 + 3);
}

// The message loop's use of its timers, over one second of a clock that only the loop moves:
// every pass waits for the next deadline and fires what is due. A period below the desktop's
// minimum ticks at the minimum, and no pass goes by without a wait.
TEST(Timers, APeriodBelowTheMinimumTicksAtTheMinimumAndEveryPassWaits) {
    using Clock = ui::Timers::Clock;
    const Clock::time_point start{};
    int ticks = 0;
    // One pass of the loop at `now`, counting ticks.
    const auto fire = [&ticks](ui::Timers& timers, Clock::time_point now) {
        timers.Fire(
            now, [] { return true; }, [&ticks](int) { ++ticks; });
    };
    const struct {
        int askedMs, ticks;
    } cases[] = {{0, 100}, {-5, 100}, {1, 100}, {9, 100}, {10, 100}, {25, 40}};
    for (const auto& c : cases) {
        ui::Timers timers;
        Clock::time_point now = start;
        timers.Set(7, c.askedMs, now);
        ticks = 0;
        int passes = 0;
        for (; now - start < 1s && passes <= 1000; ++passes) {
            now += std::chrono::milliseconds(timers.MsUntilNext(now));
            fire(timers, now);
        }
        EXPECT_EQ(ticks, c.ticks) << c.askedMs;
        EXPECT_EQ(passes, c.ticks) << c.askedMs;
    }
    // However late a pass, a timer ticks once in it and is next due a whole period later;
    // setting it again restarts it with the new period.
    ui::Timers timers;
    timers.Set(7, 20, start);
    ticks = 0;
    fire(timers, start + 95ms);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(timers.MsUntilNext(start + 95ms), 20);
    timers.Set(7, 50, start + 100ms);
    EXPECT_EQ(timers.MsUntilNext(start + 100ms), 50);
    fire(timers, start + 150ms);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(timers.MsUntilNext(start + 150ms), 50);
}

// Each way of closing the main dialog ends it with cancel; Enter does nothing there.
TEST_F(DialogTest, EscapeCloseBoxAltF4AndMenuCloseCancel) {
    struct Case {
        const char* name;
        std::function<void(Uint32)> input;
    };
    const Case cases[] = {
        {"escape", [](Uint32 w) { wt::PushKey(w, SDLK_ESCAPE); }},
        {"close box", [](Uint32 w) { wt::PushWindowEvent(w, SDL_WINDOWEVENT_CLOSE); }},
        {"alt+f4", [](Uint32 w) { wt::PushKey(w, SDLK_F4, KMOD_LALT); }},
        {"an interrupt or the session ending", [](Uint32) { wt::Push({.type = SDL_QUIT}); }},
        {"menu close",
         [](Uint32 w) {
             wt::PushClick(w, SDL_BUTTON_RIGHT, 100, 100);
             wt::PushKey(w, SDLK_DOWN);  // highlights "Close"
             wt::PushKey(w, SDLK_RETURN);
         }},
        {"alt+f4 twice with the menu open",
         [](Uint32 w) {
             wt::PushKey(w, SDLK_F10, KMOD_LSHIFT);
             wt::PushKey(w, SDLK_F4, KMOD_LALT);
             wt::PushKey(w, SDLK_F4, KMOD_LALT);
         }},
    };
    for (const Case& c : cases) {
        wt::Watchdog watchdog;
        Probe d(IDD_TOLVANE_DIALOG);
        d.Script(10, {[&](Probe& p) { c.input(p.WindowId()); }, [](Probe&) {}});
        EXPECT_EQ(d.DoModal(), ui::IDCANCEL) << c.name;
        EXPECT_EQ(d.log, std::vector<std::string>{"cancel"}) << c.name;
        EXPECT_FALSE(d.IsSystemMenuOpen()) << c.name;
    }
}

// The low four bits of a system command are the system's own: the close command with any of
// them set still closes.
TEST_F(DialogTest, TheCloseCommandIsReadWithItsLowFourBitsMasked) {
    for (const int low : {1, 0xF}) {
        wt::Watchdog watchdog;
        Probe d(wt::kSmallDialog);
        d.Script(10, {[low](Probe& p) { p.SysCommand(ui::SC_CLOSE | low); }, [](Probe&) {}});
        EXPECT_EQ(d.DoModal(), ui::IDCANCEL) << low;
    }
}

// A release belongs to the button pressed: over another button it fires neither.
TEST_F(DialogTest, APressReleasedOverAnotherButtonFiresNeither) {
    wt::Watchdog watchdog;
    Probe d(wt::kTwoButtonDialog);
    d.Script(10, {[](Probe& p) {
                      const gfx::Point ok = wt::InWindow(p, p.GetControlRect(ui::IDOK).Centre());
                      const gfx::Point cancel =
                          wt::InWindow(p, p.GetControlRect(ui::IDCANCEL).Centre());
                      wt::PushButton(p.WindowId(), true, SDL_BUTTON_LEFT, ok.x, ok.y);
                      wt::PushMotion(p.WindowId(), cancel.x, cancel.y);
                      wt::PushButton(p.WindowId(), false, SDL_BUTTON_LEFT, cancel.x, cancel.y);
                  },
                  [](Probe&) {}});
    EXPECT_EQ(d.DoModal(), Probe::kScriptDone);
    EXPECT_EQ(d.log, std::vector<std::string>{});
}

TEST_F(DialogTest, EnterNeedsAVisibleEnabledDefaultButton) {
    // The main dialog's default button is a hidden layout rectangle; the small test dialog's
    // is visible but disabled. Neither reacts to Enter.
    for (int id : {IDD_TOLVANE_DIALOG, wt::kSmallDialog}) {
        wt::Watchdog watchdog;
        Probe d(id);
        d.Script(10, {[](Probe& p) {
                          wt::PushKey(p.WindowId(), SDLK_RETURN);
                          wt::PushKey(p.WindowId(), SDLK_KP_ENTER);
                      },
                      [](Probe&) {}});
        EXPECT_EQ(d.DoModal(), Probe::kScriptDone) << id;
        EXPECT_TRUE(d.log.empty()) << id;
    }
}

TEST_F(DialogTest, AboutBoxEndsWithOkFromEnterOrItsButtonAndCancelFromEscape) {
    struct Case {
        const char* name;
        std::function<void(Probe&)> input;
        int result;
    };
    const Case cases[] = {
        {"enter", [](Probe& p) { wt::PushKey(p.WindowId(), SDLK_RETURN); }, ui::IDOK},
        {"click OK",
         [](Probe& p) {
             const gfx::Point c = wt::InWindow(p, p.GetControlRect(ui::IDOK).Centre());
             wt::PushClick(p.WindowId(), SDL_BUTTON_LEFT, c.x, c.y);
         },
         ui::IDOK},
        {"press OK, release outside",
         [](Probe& p) {
             const gfx::Point c = wt::InWindow(p, p.GetControlRect(ui::IDOK).Centre());
             wt::PushButton(p.WindowId(), true, SDL_BUTTON_LEFT, c.x, c.y);
             wt::PushButton(p.WindowId(), false, SDL_BUTTON_LEFT, 5, 5);
         },
         Probe::kScriptDone},
        {"escape", [](Probe& p) { wt::PushKey(p.WindowId(), SDLK_ESCAPE); }, ui::IDCANCEL},
    };
    for (const Case& c : cases) {
        wt::Watchdog watchdog;
        Probe about(IDD_ABOUTBOX);
        about.Script(10, {c.input, [](Probe&) {}});
        EXPECT_EQ(about.DoModal(), c.result) << c.name;
        // Clicks on the button are the button's, not the dialog's.
        for (const std::string& entry : about.log) {
            EXPECT_TRUE(entry == "ok" || entry == "cancel") << c.name << ": " << entry;
        }
    }
}

TEST_F(DialogTest, AboutBoxDrawsItsControls) {
    wt::Watchdog watchdog;
    Probe about(IDD_ABOUTBOX);
    about.Script(10, {[](Probe&) {}});
    ASSERT_EQ(about.DoModal(), Probe::kScriptDone);
    const gfx::Bitmap& s = about.ClientSurface();
    auto countNotFace = [&s](const gfx::Rect& r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                n += s.GetPixel(x, y) != ui::kDialogFace;
            }
        }
        return n;
    };
    EXPECT_GT(countNotFace(sys::DialogUnitsToPixels(40, 10, 119, 8)), 20);  // version text
    const gfx::Rect icon = sys::DialogUnitsToPixels(11, 17, 20, 20);
    EXPECT_GT(countNotFace(icon), 200);
    EXPECT_EQ(s.GetPixel(icon.left, icon.top), ui::kDialogFace);  // its transparent corner
    const gfx::Rect ok = about.GetControlRect(ui::IDOK);
    EXPECT_EQ(s.GetPixel(ok.left, ok.top), gfx::Rgb(0, 120, 215));  // default button edge
    EXPECT_EQ(s.GetPixel(ok.left + 3, ok.top + 3), gfx::Rgb(225, 225, 225));
    EXPECT_EQ(countNotFace({0, 0, s.Width(), 10}), 0);  // nothing above the controls
}

TEST_F(DialogTest, MouseReachesTheDialogInClientPixels) {
    wt::Watchdog watchdog;
    Probe d(wt::kSmallDialog);  // 60 x 30 px: scaled up on the offscreen display
    int scale = 0;
    d.Script(10, {[&](Probe& p) {
                      gfx::Rect usable;
                      ASSERT_TRUE(ui::UsableDisplayBounds(&usable));
                      scale = ui::IntegerScale(60, 30, {0, 0}, usable.Width(), usable.Height());
                      int ww = 0, wh = 0;
                      SDL_GetWindowSize(SDL_GetWindowFromID(p.WindowId()), &ww, &wh);
                      EXPECT_EQ(ww, 60 * scale);
                      EXPECT_EQ(wh, 30 * scale);
                      const Uint32 w_ = p.WindowId();
                      wt::PushMotion(w_, 10 * scale + scale - 1, 5 * scale);
                      wt::PushButton(w_, true, SDL_BUTTON_LEFT, 59 * scale, 29 * scale);
                      wt::PushButton(w_, false, SDL_BUTTON_LEFT, -1, 0);
                      SDL_Event wheel{};
                      wheel.type = SDL_MOUSEWHEEL;
                      wheel.wheel.windowID = w_;
                      wheel.wheel.y = -2;
                      wt::Push(wheel);
                      // The disabled button is no button: the dialog gets the click.
                      wt::PushClick(w_, SDL_BUTTON_LEFT, 4 * scale, 4 * scale);
                  },
                  [](Probe&) {}});
    ASSERT_EQ(d.DoModal(), Probe::kScriptDone);
    EXPECT_GT(scale, 1);
    EXPECT_EQ(d.log, (std::vector<std::string>{"move 10,5", "down 59,29", "up -1,0", "wheel -240",
                                               "down 4,4", "up 4,4"}));
}

TEST_F(DialogTest, SystemMenuOpensOnRightClickAndSendsItsCommand) {
    wt::Watchdog watchdog;
    Probe d(IDD_TOLVANE_DIALOG);
    d.onInit = [](Probe& p) { p.AppendSystemMenuItem(IDM_ABOUTBOX, sys::LoadString(101)); };
    d.onPaint = [](Probe&, gfx::DeviceContext& dc) {
        gfx::Brush red(kRed);
        gfx::Pen pen(1, kRed);
        dc.SelectObject(&red);
        dc.SelectObject(&pen);
        dc.Rectangle(0, 0, 467, 359);
    };
    // The same menu, laid out the same way, tells where the item lands.
    ui::SystemMenu model;
    model.AppendSeparator();
    model.Append(IDM_ABOUTBOX, sys::LoadString(101));
    gfx::Font font(90, "ＭＳ Ｐゴシック");
    model.Open({100, 80}, {0, 0, 467, 359}, font);
    const gfx::Point item = model.ItemRect(2).Centre();
    // A step that finds the menu open or closed, then acts on the window.
    const auto menu = [](bool open, std::function<void(Uint32)> act) {
        return [open, act](Probe& p) {
            EXPECT_EQ(p.IsSystemMenuOpen(), open);
            act(p.WindowId());
        };
    };
    d.Script(10,
             {
                 [](Probe& p) { wt::PushClick(p.WindowId(), SDL_BUTTON_RIGHT, 100, 80); },
                 [&](Probe& p) {
                     EXPECT_TRUE(p.IsSystemMenuOpen());
                     // The menu is drawn over the picture, not into it.
                     EXPECT_EQ(p.ClientSurface().GetPixel(item.x, item.y), kRed);
                     // Escape closes the menu only.
                     wt::PushKey(p.WindowId(), SDLK_ESCAPE);
                 },
                 menu(false, [](Uint32 w) { wt::PushKey(w, SDLK_F10, KMOD_LSHIFT); }),
                 // A press elsewhere closes it and reaches no handler.
                 menu(true, [](Uint32 w) { wt::PushClick(w, SDL_BUTTON_LEFT, 400, 300); }),
                 menu(false, [](Uint32 w) { wt::PushKey(w, SDLK_APPLICATION); }),
                 // The window losing the focus closes it.
                 menu(true, [](Uint32 w) { wt::PushWindowEvent(w, SDL_WINDOWEVENT_FOCUS_LOST); }),
                 menu(false, [](Uint32 w) { wt::PushKey(w, SDLK_SPACE, KMOD_LALT); }),
                 // Up from no highlight: the last item, then past the separator to the
                 // first, then round to the last again, which Enter chooses.
                 menu(true,
                      [](Uint32 w) {
                          for (const SDL_Keycode k : {SDLK_UP, SDLK_UP, SDLK_UP, SDLK_RETURN}) {
                              wt::PushKey(w, k);
                          }
                      }),
                 [&](Probe& p) {
                     EXPECT_FALSE(p.IsSystemMenuOpen());
                     wt::PushClick(p.WindowId(), SDL_BUTTON_RIGHT, 100, 80);
                     wt::PushMotion(p.WindowId(), item.x, item.y);
                     wt::PushClick(p.WindowId(), SDL_BUTTON_LEFT, item.x, item.y);
                 },
                 [](Probe& p) { EXPECT_FALSE(p.IsSystemMenuOpen()); },
             });
    ASSERT_EQ(d.DoModal(), Probe::kScriptDone);
    EXPECT_EQ(d.sysCommands, (std::vector<int>{IDM_ABOUTBOX, IDM_ABOUTBOX}));
    EXPECT_EQ(d.log, std::vector<std::string>{"up 400,300"});
    EXPECT_FALSE(watchdog.Fired());
}

// An open menu takes Escape and Alt+F4 as a desktop's menus do: either closes the menu only.
TEST_F(DialogTest, EscapeOrAltF4WithTheMenuOpenClosesOnlyTheMenu) {
    for (const SDL_Keymod mod : {KMOD_NONE, KMOD_LALT}) {
        const SDL_Keycode key = mod == KMOD_NONE ? SDLK_ESCAPE : SDLK_F4;
        wt::Watchdog watchdog;
        Probe d(IDD_TOLVANE_DIALOG);
        d.Script(10, {[](Probe& p) { wt::PushKey(p.WindowId(), SDLK_F10, KMOD_LSHIFT); },
                      [&](Probe& p) {
                          ASSERT_TRUE(p.IsSystemMenuOpen());
                          wt::PushKey(p.WindowId(), key, mod);
                      },
                      [](Probe& p) { EXPECT_FALSE(p.IsSystemMenuOpen()); }});
        EXPECT_EQ(d.DoModal(), Probe::kScriptDone) << SDL_GetKeyName(key);
        EXPECT_EQ(d.log, std::vector<std::string>{}) << SDL_GetKeyName(key);
    }
}

// The manager's close of a window with a box open over it ends the box, then the window.
TEST_F(DialogTest, TheManagersCloseUnderAModalBoxEndsTheBoxThenTheWindow) {
    wt::Watchdog watchdog;
    Probe main(IDD_TOLVANE_DIALOG);
    int aboutResult = 0;
    main.onSysCommand = [&](Probe& p, int id) {
        if (id != IDM_ABOUTBOX) {
            return;
        }
        Probe about(IDD_ABOUTBOX);
        const Uint32 mainWindow = p.WindowId();
        about.Script(
            10, {[mainWindow](Probe&) { wt::PushWindowEvent(mainWindow, SDL_WINDOWEVENT_CLOSE); },
                 [](Probe&) {}, [](Probe&) {}});
        aboutResult = about.DoModal();
    };
    main.onInit = [](Probe& p) {
        p.AppendSystemMenuItem(IDM_ABOUTBOX, "&About");
        wt::PushKey(p.WindowId(), SDLK_F10, KMOD_LSHIFT);
        wt::PushKey(p.WindowId(), SDLK_a);
    };
    EXPECT_EQ(main.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(aboutResult, ui::IDCANCEL);
    EXPECT_EQ(main.log, std::vector<std::string>{"cancel"});
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(DialogTest, ModalBoxKeepsItsOwnerPaintingAndTickingButHoldsItsInput) {
    wt::Watchdog watchdog;
    Probe main(IDD_TOLVANE_DIALOG);
    int ticksWhileAbout = 0;
    int paintsWhileAbout = 0;
    int aboutResult = 0;
    bool aboutOpen = false;
    main.onTimer = [&](Probe& p, int) {
        p.Invalidate(false);
        ticksWhileAbout += aboutOpen;
    };
    main.onPaint = [&](Probe&, gfx::DeviceContext&) { paintsWhileAbout += aboutOpen; };
    main.onSysCommand = [&](Probe& p, int id) {
        if (id != IDM_ABOUTBOX) {
            return;
        }
        Probe about(IDD_ABOUTBOX);  // no parent: owned by the running dialog
        const Uint32 mainWindow = p.WindowId();
        about.Script(
            30, {[mainWindow](Probe&) { wt::PushClick(mainWindow, SDL_BUTTON_LEFT, 200, 200); },
                 [](Probe&) {}, [](Probe&) {}, [](Probe&) {},
                 // Pressed while the owner has the focus, still the box's key.
                 [mainWindow](Probe&) { wt::PushKey(mainWindow, SDLK_ESCAPE); }, [](Probe&) {}});
        aboutOpen = true;
        aboutResult = about.DoModal();
        aboutOpen = false;
        p.EndDialog(ui::IDOK);
    };
    main.onInit = [](Probe& p) {
        p.SetTimer(0, 20);
        p.AppendSystemMenuItem(IDM_ABOUTBOX, "&About");
        wt::PushKey(p.WindowId(), SDLK_F10, KMOD_LSHIFT);
        wt::PushKey(p.WindowId(), SDLK_a);
    };
    ASSERT_EQ(main.DoModal(), ui::IDOK);
    EXPECT_EQ(aboutResult, ui::IDCANCEL);
    EXPECT_GE(ticksWhileAbout, 3);
    EXPECT_GE(paintsWhileAbout, 3);
    EXPECT_EQ(main.log, std::vector<std::string>{});  // the click on the owner was held back
    EXPECT_FALSE(watchdog.Fired());
}

// A picture that cannot reach the screen is reported on stderr once, not at every frame, and
// again only after pictures have reached it in between.
TEST_F(DialogTest, APresentationFailureIsReportedOnceUntilPicturesArriveAgain) {
    wt::Watchdog watchdog;
    Probe d(wt::kSmallDialog);
    gfx::Point size;
    // Wider than any surface SDL makes: no picture can be drawn into the window.
    const auto resize = [](Probe& p, gfx::Point to) {
        SDL_SetWindowSize(SDL_GetWindowFromID(p.WindowId()), to.x, to.y);
        p.Invalidate(false);
    };
    const auto repaint = [](Probe& p) { p.Invalidate(false); };
    testing::internal::CaptureStderr();
    d.Script(10, {[&](Probe& p) {
                      SDL_GetWindowSize(SDL_GetWindowFromID(p.WindowId()), &size.x, &size.y);
                      resize(p, {1 << 30, 1});
                  },
                  repaint, repaint, [&](Probe& p) { resize(p, size); }, repaint,
                  [&](Probe& p) {
                      resize(p, {1 << 30, 1});
                  },
                  repaint});
    EXPECT_EQ(d.DoModal(), Probe::kScriptDone);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_NE(said.find(": cannot show the picture of \"small\": "), std::string::npos) << said;
    EXPECT_FALSE(d.LastError().empty());
}

TEST_F(DialogTest, DoModalReportsWhatKeepsAWindowFromOpening) {
    Probe missing(9999);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_NE(missing.LastError().find("9999"), std::string::npos) << missing.LastError();

    int result = 0;
    std::string error;
    sys::Thread other = sys::StartThread([&] {
        Probe d(IDD_TOLVANE_DIALOG);
        result = d.DoModal();
        error = d.LastError();
    });
    other.join();
    EXPECT_EQ(result, -1);
    EXPECT_NE(error.find("user-interface thread"), std::string::npos) << error;

    Probe running(IDD_TOLVANE_DIALOG);
    running.onInit = [&](Probe& p) {
        result = p.DoModal();  // a second run of a running dialog opens nothing
        p.EndDialog(ui::IDOK);
    };
    EXPECT_EQ(running.DoModal(), ui::IDOK);
    EXPECT_EQ(result, -1);
    EXPECT_NE(running.LastError().find("running already"), std::string::npos);

    ui::ShutdownVideo();
    Probe noVideo(IDD_TOLVANE_DIALOG);
    EXPECT_EQ(noVideo.DoModal(), -1);
    EXPECT_NE(noVideo.LastError().find("display"), std::string::npos) << noVideo.LastError();
    ASSERT_TRUE(ui::InitVideo(&error)) << error;
}

#ifndef _WIN32
// X's and Wayland's variables: Windows has its one desktop.
TEST_F(DialogTest, InitVideoWithoutADisplayFailsWithAReason) {
    ui::ShutdownVideo();
    const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    std::vector<std::pair<std::string, std::string>> saved;
    for (const char* name : names) {
        if (const char* value = std::getenv(name)) {
            saved.emplace_back(name, value);
        }
        unsetenv(name);
    }
    struct Case {
        const char* display;
        const char* mentions;
    };
    // SDL alone would fall back to its invisible offscreen driver here.
    const Case cases[] = {{nullptr, "DISPLAY"}, {":4242", "\":4242\" does not answer"}};
    for (const Case& c : cases) {
        if (c.display != nullptr) {
            setenv("DISPLAY", c.display, 1);
        }
        std::string error;
        EXPECT_FALSE(ui::InitVideo(&error));
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
        EXPECT_FALSE(ui::IsVideoReady());
        EXPECT_FALSE(ui::IsUiThread());
        ui::ShutdownVideo();  // harmless when nothing started
    }
    unsetenv("DISPLAY");
    for (const auto& [name, value] : saved) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::string error;
    ASSERT_TRUE(ui::InitVideo(&error)) << error;
}
#endif

}  // namespace
