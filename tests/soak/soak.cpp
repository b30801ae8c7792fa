// The soak: thousands of games on the real main dialog, headless on SDL's offscreen driver,
// played by a seeded random stream of presses, releases, moves, wheel turns, keys, system
// menus, About boxes and clicks on Start, Stop and the empty field, with Stop (and Start
// after it) landing in every phase of a game.
//
//   tolvane_soak SEED GAMES [--twice]
//
// The worker's time is virtual and moves in lock-step with the driver (SteppedClock), and
// input reaches the dialog only while the worker is parked, so a seed replays the same games:
// a failure prints its seed and game, and running that many games with that seed again meets
// it again. Paints, timers and input that touches no game state do run while the worker takes
// its steps. --twice plays the games twice and compares the two timelines.

#include <gtest/gtest.h>

#include <SDL.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "app/res/resource.h"
#include "app/window/TolvaneDlg.h"
#include "tests/support/SteppedClock.h"
#include "tests/support/LastWords.h"
#include "tests/support/StallWatch.h"
#include "tests/support/WindowTest.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SOAK_SANITIZED 1
#endif

#ifdef __SANITIZE_THREAD__
// A report ends the process at once, while the game it belongs to is still known.
extern "C" const char* __tsan_default_options() {
    return "halt_on_error=1";
}
#endif

namespace {

using namespace std::chrono_literals;

struct Options {
    unsigned long long seed = 1;
    int games = 100;
    bool twice = false;
};
Options g_options;
std::atomic<int> g_game{0};  // the game being played, for the last words below

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr,
                 "soak: FAILED in game %d of seed %llu: %s\nsoak: rerun with: tolvane_soak %llu "
                 "%d\n",
                 g_game.load(), g_options.seed, what.c_str(), g_options.seed, g_game.load());
    std::fflush(stderr);
    std::_Exit(1);
}

void OnDeath() {
    std::fprintf(stderr, "soak: the report above came in game %d of seed %llu\n", g_game.load(),
                 g_options.seed);
}

#ifdef SOAK_SANITIZED
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

struct Memory {
    double resident = 0;  // MiB
    double heap = 0;      // MiB held by live allocations
};

Memory Measure() {
    constexpr double kMiB = 1024.0 * 1024.0;
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    Memory m;
    m.resident = static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / kMiB;
#ifdef SOAK_SANITIZED
    m.heap = static_cast<double>(__sanitizer_get_current_allocated_bytes()) / kMiB;
#else
    m.heap = static_cast<double>(mallinfo2().uordblks) / kMiB;
#endif
    return m;
}

enum class Phase { kTitle, kAnnouncement, kPlay, kCelebration, kGameOver, kFinalPause };
constexpr int kPhases = 6;
constexpr const char* kPhaseNames[kPhases] = {"title",       "announcement", "play",
                                              "celebration", "Game Over",    "final pause"};
constexpr Phase kGamePhases[] = {Phase::kAnnouncement, Phase::kPlay, Phase::kCelebration,
                                 Phase::kGameOver, Phase::kFinalPause};

// The worker's status text and the length of the sleep it is parked in tell the phase.
Phase PhaseOf(const std::string& text, int parkedMs) {
    if (text.empty()) {
        return Phase::kPlay;
    }
    if (text.rfind("Stage", 0) == 0 || text == "Go!!") {
        return Phase::kAnnouncement;
    }
    if (text == "Game Over!!") {
        return Phase::kGameOver;
    }
    if (text == "Finish!!") {
        return parkedMs == 2000 ? Phase::kFinalPause : Phase::kCelebration;
    }
    Fail("unknown status text \"" + text + "\"");
}

class Driver;

class SoakDialog final : public CTolvaneDlg {
public:
    using CTolvaneDlg::m_gameEvent;
    using CTolvaneDlg::m_thread;
    static constexpr int kDriverTimer = 77;

    Driver* driver = nullptr;
    bool exitExpected = false;

protected:
    bool OnInitDialog() override {
        CTolvaneDlg::OnInitDialog();
        SetTimer(kDriverTimer, 10);
        return true;
    }
    void OnTimer(int id) override;
    void OnOK() override {
        if (!exitExpected) {
            Fail("the main window ended with OK (Exit)");
        }
        CTolvaneDlg::OnOK();
    }
    void OnCancel() override { Fail("the main window was cancelled"); }
};

class Driver {
public:
    Driver(SoakDialog& d, testsupport::SteppedClock& clock, const Options& options)
        : d_(d), clock_(clock), rng_(options.seed), games_(options.games) {}

    // The first tick plays every game, pumping the dialog's messages as it goes; a later tick
    // that finds an About box on top (the first one is then below, in that box's loop)
    // plays on inside the box and closes it.
    void OnTimer() {
        if (!started_) {
            started_ = true;
            PlayAll();
        } else if (ui::Dialog::GetActive() != &d_ && !inAbout_) {
            if (closingSent_) {
                // The box ends in its loop's next pass (its timers may still fire in this one).
                if (++ticksSinceClosing_ > 100) {
                    Fail("the About box stayed open for a second after it was told to close");
                }
                return;
            }
            inAbout_ = true;
            AboutEpisode();
            inAbout_ = false;
        }
    }

    std::uint64_t Digest() const { return digest_; }
    void PrintSummary(double seconds) const;
    // The phases of a game in which the driver never clicked Stop, or never Start.
    std::string MissedPhases() const {
        std::string missed;
        for (Phase phase : kGamePhases) {
            const int p = static_cast<int>(phase);
            if (stops_[p] == 0 || startClicks_[p] == 0) {
                missed += std::string(" ") + kPhaseNames[p];
            }
        }
        return missed;
    }

private:
    struct Plan {
        Phase stopIn = Phase::kTitle;  // kTitle: no Stop click
        int stopAfter = 0;             // settles in that phase before it
        bool restart = false;          // Start clicked in the same batch as Stop
        bool clear = false;            // the field emptied at each announcement
        int attention = 0;             // how often the autopilot looks at the chick, in %
        int patience = 0;              // play ticks before the autopilot gives up
    };

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    gfx::Point In(const gfx::Rect& r) {
        return {Int(r.left, r.right - 1), Int(r.top, r.bottom - 1)};
    }
    gfx::Rect Control(int id) const { return d_.GetControlRect(id); }
    bool OnButton(gfx::Point p) const {
        return Control(IDC_BUTTON_START).Contains(p) || Control(IDOK).Contains(p) ||
               Control(IDC_BUTTON_STOP).Contains(p);
    }
    // A point of the field on none of the drawn buttons; `awayFromY` keeps it well above or
    // below an open menu's anchor (a menu is far less than 120 px tall).
    gfx::Point FreePoint(int awayFromY = -1000) {
        for (;;) {
            const gfx::Point p = In(Control(IDC_STATIC_AREA));
            if (!OnButton(p) && std::abs(p.y - awayFromY) > 120) {
                return p;
            }
        }
    }
    gfx::Point AnyPoint() {
        const gfx::Rect c = d_.GetClientRect();
        return Chance(5) ? gfx::Point{Int(-50, c.right + 50), Int(-50, c.bottom + 50)} : In(c);
    }

    // Input to the main window.
    Uint32 Id() const { return d_.WindowId(); }
    void Move(gfx::Point p) {
        wt::PushMotion(Id(), p.x, p.y);
        mouse_ = p;
    }
    void Button(bool down, bool left, gfx::Point p) {
        if (left && menuOpen_) {
            CloseMenu(/*leftPress=*/false);
        }
        wt::PushButton(Id(), down, left ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT, p.x, p.y);
        mouse_ = p;
        if (left && down && d_.m_gameEvent.IsPlaying()) {
            ++flapsSent_;
        }
        if (!left && !down) {
            menuOpen_ = true;  // a right release opens the menu where it happens
            menuAt_ = p;
        }
    }
    void Click(gfx::Point p) {
        Button(true, true, p);
        Button(false, true, p);
    }
    void Wheel(Uint32 window, int notches) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.windowID = window;
        e.wheel.y = notches;
        wt::Push(e);
    }
    void Noise();
    void OpenMenu();
    void CloseMenu(bool leftPress);
    void OpenAbout();
    void AboutEpisode();

    void PlayAll();
    bool PlayGame(bool started);
    Plan NewPlan();
    void Interact(Phase phase);
    bool Pilot(Phase phase, int attention);
    int Speed() const { return speed_ - 5 * flapsSent_; }
    // A press in a game is a flap; the driver's own stop short of sending the chick off upwards
    // for good (its speed carries over to the next stage, and to the next game where the game
    // keeps it).
    bool MayPress() const { return !d_.m_gameEvent.IsPlaying() || Speed() > -10; }
    int ChickY();
    void StopClick(Phase phase, bool restart);
    void EndOfGame(int runsBefore, int expectedRuns);
    void CheckMemory();
    // Settles the worker and checks what must hold whenever it is parked or done.
    Phase Observe();
    void Fold(std::int64_t v) {
        for (int i = 0; i < 8; ++i) {
            digest_ = (digest_ ^ static_cast<std::uint8_t>(v >> (8 * i))) * 1099511628211ull;
        }
    }

    SoakDialog& d_;
    testsupport::SteppedClock& clock_;
    std::mt19937_64 rng_;
    const int games_;
    bool started_ = false;
    bool inAbout_ = false;
    bool closingSent_ = false;
    int ticksSinceClosing_ = 0;

    gfx::Point mouse_{-1, -1};
    bool menuOpen_ = false;
    gfx::Point menuAt_;
    gfx::Bitmap chickView_{121, 326};
    // The autopilot's view: where the chick was at the last look (-1: not in the field), when,
    // and whether "Go!!" showed; its last measured fall speed and the flaps sent since.
    int chickY_ = -1;
    std::int64_t chickMs_ = -1;
    bool chickAtGo_ = false;
    int speed_ = 0;
    int flapsSent_ = 0;
    int playTicks_ = 0;    // of this game
    int clearedRun_ = -1;  // the run and stage whose field the driver emptied
    std::string clearedStage_;

    std::uint64_t digest_ = 14695981039346656037ull;
    std::atomic<long> settles_{0};
    int game_ = 0;
    std::array<int, kPhases> stops_{};
    std::array<int, kPhases> startClicks_{};
    int restarts_ = 0;
    int menus_ = 0;
    int aboutBoxes_ = 0;
    std::array<int, 5> aboutClosings_{};
    Memory memoryAt100_;
    Memory memoryEnd_;
};

void SoakDialog::OnTimer(int id) {
    if (id == kDriverTimer) {
        driver->OnTimer();
    } else {
        CTolvaneDlg::OnTimer(id);
    }
}

void Driver::PlayAll() {
    const testsupport::StallWatch watch(
        120s, [this] { return settles_.load(); }, [] { Fail("no progress for two minutes"); });
    bool started = false;
    for (game_ = 1; game_ <= games_; ++game_) {
        g_game.store(game_);
        started = PlayGame(started);
        if (game_ % 100 == 0) {
            CheckMemory();
        }
        if (games_ >= 10000 && game_ % (games_ / 10) == 0) {
            std::printf("soak: game %d of %d\n", game_, games_);
            std::fflush(stdout);
        }
    }
    g_game.store(games_);
    memoryEnd_ = Measure();
    // Out through the Exit button, as a player leaves (after a last restart's game).
    while (Observe() != Phase::kTitle) {
        clock_.Grant();
        d_.PumpMessages();
    }
    if (menuOpen_) {
        CloseMenu(false);
    }
    d_.exitExpected = true;
    Click(In(Control(IDOK)));
    d_.PumpMessages();
}

// Warm-up (font faces, glyphs, the allocator's pools) is over after 100 games; from then on
// nothing may pile up. Samples are taken at rest, after a game. Under a sanitizer the
// resident size also holds its quarantine and shadow, which grow by design: there the heap's
// live bytes alone decide.
void Driver::CheckMemory() {
    constexpr double kHeapSlackMiB = 1.0;
    const Memory now = Measure();
    if (game_ == 100) {
        memoryAt100_ = now;
        return;
    }
    char what[160];
    std::snprintf(
        what, sizeof what,
        "memory grew from %.2f MiB heap, %.1f MiB resident at game 100 to %.2f MiB, %.1f MiB",
        memoryAt100_.heap, memoryAt100_.resident, now.heap, now.resident);
    bool grew = now.heap > memoryAt100_.heap + kHeapSlackMiB;
#ifndef SOAK_SANITIZED
    constexpr double kResidentSlackMiB = 4.0;
    grew = grew || now.resident > memoryAt100_.resident + kResidentSlackMiB;
#endif
    if (grew) {
        Fail(what);
    }
}

Driver::Plan Driver::NewPlan() {
    Plan plan;
    plan.clear = Chance(20);
    if (Chance(55)) {
        plan.stopIn = kGamePhases[Int(0, 4)];
        plan.stopAfter = plan.stopIn == Phase::kPlay ? Int(0, 10) : Int(0, 1);
        plan.restart = Chance(30);
        // Only a game whose stages are cleared reaches the celebration and its pause.
        plan.clear |= plan.stopIn == Phase::kCelebration || plan.stopIn == Phase::kFinalPause;
    }
    if (Chance(40)) {
        plan.attention = Int(30, 100);
        plan.patience = Int(5, 60);
    }
    return plan;
}

// Returns whether the game ended with a Start clicked along with Stop, so that the next game
// has already begun.
bool Driver::PlayGame(bool started) {
    constexpr int kMaxSteps = 20000;
    const int runsBefore = clock_.Runs() - (started ? 1 : 0);
    if (!started) {
        for (int i = Int(0, 2); i > 0; --i) {
            Observe();
            if (Chance(8)) {
                OpenAbout();
            } else {
                Interact(Phase::kTitle);
                d_.PumpMessages();
            }
        }
        Observe();
        if (Chance(4)) {
            EndOfGame(runsBefore, 0);
            return false;
        }
        const gfx::Point start = In(Control(IDC_BUTTON_START));
        Click(start);
        d_.PumpMessages();
        if (Chance(15)) {
            // A second click is one game all the same: under the game it is a flap. It waits
            // until the run has begun, which puts the chick at rest, so that the two never race.
            Observe();
            Click(start);
            d_.PumpMessages();
        }
    }
    Plan plan = NewPlan();
    playTicks_ = 0;
    for (int step = 0; step < kMaxSteps; ++step) {
        const Phase phase = Observe();
        if (phase == Phase::kTitle) {
            EndOfGame(runsBefore, 1);
            return false;
        }
        if (plan.clear && phase == Phase::kAnnouncement &&
            d_.m_thread.GetText().rfind("Stage", 0) == 0) {
            // Before the stage's first tick: every stage is cleared at once.
            d_.m_gameEvent.CreateObstacles(0);
            clearedRun_ = clock_.Runs();
            clearedStage_ = d_.m_gameEvent.GetStageText();
        }
        if (phase == plan.stopIn && plan.stopAfter-- == 0) {
            StopClick(phase, plan.restart);
            if (plan.restart) {
                Observe();
                if (clock_.Runs() - runsBefore != 2) {
                    Fail("Stop and Start in one batch made " +
                         std::to_string(clock_.Runs() - runsBefore - 1) + " new runs");
                }
                return true;
            }
            continue;
        }
        // What the player does while the worker waits, then one step of the worker, with
        // paints and input that touch no game state running beside it.
        bool input = false;
        if (phase == Phase::kPlay || phase == Phase::kAnnouncement) {
            input = Pilot(phase, playTicks_ < plan.patience ? plan.attention : 0);
        }
        // The phases of one or two settles get more of the player's attention than the long ones.
        const bool brief = phase == Phase::kGameOver || phase == Phase::kFinalPause;
        const int roll = Int(0, 99);
        if (roll < 2 && MayPress()) {
            Click(FreePoint());  // a flap
            input = true;
        } else if (roll < (brief ? 50 : 14)) {
            Interact(phase);
            input = true;
        } else if (roll < (brief ? 51 : 15)) {
            OpenAbout();
            continue;
        }
        if (input) {
            d_.PumpMessages();
            Observe();
        }
        const bool noise = Chance(20);
        if (noise) {
            Noise();
        }
        clock_.Grant();
        if (noise || Chance(25)) {
            d_.PumpMessages();
        }
    }
    Fail("the game did not end within " + std::to_string(kMaxSteps) + " steps");
}

Phase Driver::Observe() {
    const int parked = clock_.Settle(d_.m_thread, 60s);
    if (parked < 0) {
        Fail("the worker neither slept nor ended within a minute");
    }
    ++settles_;
    const std::string text = d_.m_thread.GetText();
    const Phase phase = parked > 0 ? PhaseOf(text, parked) : Phase::kTitle;
    CBirdEvent& world = d_.m_gameEvent;
    if (world.IsTitle() != (phase == Phase::kTitle)) {
        Fail(world.IsTitle() ? "the title shows while the worker runs (" + text + ")"
                             : "a game shows with the worker idle");
    }
    if (clock_.Overlapped()) {
        Fail("two runs at once");
    }
    // The list holds the current stage's blocks and nothing else.
    const std::string stage = world.GetStageText();
    int expected = 0;
    if (!stage.empty() && !(clearedRun_ == clock_.Runs() && clearedStage_ == stage)) {
        expected = 5 * std::atoi(stage.c_str() + 5) + 5;  // "Stage3 / 5": 20 blocks
    }
    const int blocks = world.GetObstacleCount();
    if (blocks != expected) {
        Fail("the list holds " + std::to_string(blocks) + " blocks in \"" + stage + "\"");
    }
    if (ui::Dialog::GetActive() == &d_ && d_.IsSystemMenuOpen() != menuOpen_) {
        Fail(menuOpen_ ? "the system menu did not open" : "the system menu did not close");
    }
    Fold(static_cast<int>(phase));
    Fold(parked);
    Fold(clock_.NowMs());
    Fold(blocks);
    for (int i = 0; i < blocks; ++i) {
        const gfx::Rect r = world.GetObstacleRect(i);
        Fold(std::int64_t{r.left} << 32 | static_cast<std::uint32_t>(r.top));
    }
    return phase;
}

// Where the chick's centre is, from its own picture (the worker is parked); -1 when it is
// not in the field.
int Driver::ChickY() {
    constexpr gfx::Colour kKey = 0x123456;
    chickView_.Fill(kKey);
    gfx::DeviceContext dc;
    dc.SelectObject(&chickView_);
    d_.m_gameEvent.DrawBird(&dc);
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < chickView_.Height(); ++y) {
        const gfx::Colour* row = chickView_.Row(y);
        if (std::any_of(row, row + chickView_.Width(), [](gfx::Colour c) { return c != kKey; })) {
            top = top < 0 ? y : top;
            bottom = y;
        }
    }
    return top < 0 ? -1 : (top + bottom) / 2;
}

// Flies the chick towards the field's middle, as a player would, so that games last: as many
// flaps (5 px/tick each, against gravity's 2) as bring its speed to a calm climb or sink. The
// speed is measured between the last two ticks (or the start point and the first tick).
// Returns whether it sent flaps.
bool Driver::Pilot(Phase phase, int attention) {
    const int y = ChickY();
    const std::int64_t now = clock_.NowMs();
    const int last = std::exchange(chickY_, y);
    const std::int64_t lastMs = std::exchange(chickMs_, now);
    const bool wasGo = std::exchange(chickAtGo_, d_.m_thread.GetText() == "Go!!");
    if (phase != Phase::kPlay) {
        return false;  // at its start point, where its speed is not to be seen
    }
    ++playTicks_;
    if (last >= 0 && y >= 0 && now - lastMs == (wasGo ? 500 : 200)) {
        speed_ = y - last;
        flapsSent_ = 0;
    }
    if (y < 0 || !Chance(attention)) {
        return false;
    }
    const int wanted = std::clamp((Control(IDC_STATIC_AREA).Centre().y - y) / 4, -6, 6);
    int flaps = 0;
    for (int next = Speed() + 2; next > wanted && flaps < 12; next -= 5) {
        ++flaps;
    }
    for (int i = 0; i < flaps; ++i) {
        Click(FreePoint());
    }
    return flaps > 0;
}

void Driver::Interact(Phase phase) {
    for (int n = Int(1, 3); n > 0; --n) {
        switch (Int(0, 5)) {
            case 0:
                if (MayPress()) {
                    Click(FreePoint());  // the empty field: a flap in a game
                }
                break;
            case 1:
                if (phase != Phase::kTitle && MayPress()) {
                    Click(In(Control(IDC_BUTTON_START)));  // under the game, a flap too
                    ++startClicks_[static_cast<int>(phase)];
                }
                break;
            case 2:
                Button(Chance(50) && MayPress(), true, FreePoint());  // a press or a release
                break;
            case 3:
                if (phase == Phase::kTitle) {
                    Click(In(Control(IDC_BUTTON_STOP)));  // no button on the title screen
                }
                break;
            default:
                Noise();
                break;
        }
    }
    if (menuOpen_ && Chance(50)) {
        CloseMenu(/*leftPress=*/true);
    }
}

void Driver::StopClick(Phase phase, bool restart) {
    if (menuOpen_) {
        CloseMenu(false);
    }
    if (Chance(30)) {
        Move(In(Control(IDC_BUTTON_STOP)));  // the button lights up first
    }
    Click(In(Control(IDC_BUTTON_STOP)));
    ++stops_[static_cast<int>(phase)];
    if (restart) {
        // While the stopped run is still on its way out: the click waits for it.
        Click(In(Control(IDC_BUTTON_START)));
        ++restarts_;
    } else if (Chance(30)) {
        Noise();
    }
    d_.PumpMessages();
}

void Driver::EndOfGame(int runsBefore, int expectedRuns) {
    const int runs = clock_.Runs() - runsBefore;
    if (runs != expectedRuns) {
        Fail("the game made " + std::to_string(runs) + " runs, not " +
             std::to_string(expectedRuns));
    }
    if (!d_.m_thread.IsIdle() || d_.m_thread.IsActive()) {
        Fail("the worker is not idle on the title screen");
    }
    d_.PumpMessages();  // the last repaint request
    const gfx::Bitmap& screen = d_.ClientSurface();
    const gfx::Rect title = Control(IDC_STATIC_TITLE);
    const gfx::Point stop = Control(IDC_BUTTON_STOP).Centre();
    if (screen.GetPixel(title.left + 3, title.top + 7) != 0xF0F0FF ||
        screen.GetPixel(5, 5) != 0x000000 || screen.GetPixel(stop.x, stop.y) != ui::kDialogFace) {
        Fail("the title screen is not shown after the game");
    }
}

// Input that changes no game state, so it may run while the worker takes a step.
void Driver::Noise() {
    static constexpr SDL_Keycode kHarmless[] = {SDLK_LEFT, SDLK_UP,     SDLK_SPACE, SDLK_TAB,
                                                SDLK_F1,   SDLK_RETURN, SDLK_x,     SDLK_a};
    static constexpr SDL_WindowEventID kWindowEvents[] = {
        SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_SHOWN, SDL_WINDOWEVENT_ENTER,
        SDL_WINDOWEVENT_LEAVE, SDL_WINDOWEVENT_FOCUS_GAINED};
    if (menuOpen_) {
        switch (Int(0, 3)) {
            case 0:
                Move(AnyPoint());  // over the items: the highlight follows
                break;
            case 1:
                wt::PushKey(Id(), Chance(50) ? SDLK_UP : SDLK_DOWN);
                break;
            default:
                CloseMenu(/*leftPress=*/false);
                break;
        }
        return;
    }
    switch (Int(0, 9)) {
        case 0:
        case 1:
        case 2:
        case 3:
            Move(AnyPoint());
            break;
        case 4:
            Wheel(Id(), Chance(50) ? Int(1, 3) : -Int(1, 3));
            break;
        case 5:
        case 6:
            wt::PushKey(Id(), kHarmless[Int(0, 7)]);
            break;
        case 7:
            wt::PushWindowEvent(Id(), kWindowEvents[Int(0, 4)]);
            break;
        default:
            OpenMenu();
            break;
    }
}

void Driver::OpenMenu() {
    ++menus_;
    switch (Int(0, 3)) {
        case 0:
        case 1:
            Button(true, false, AnyPoint());
            Button(false, false, mouse_);
            return;
        case 2:
            wt::PushKey(Id(), SDLK_F10, KMOD_LSHIFT);
            break;
        default:
            wt::PushKey(Id(), SDLK_SPACE, KMOD_LALT);
            break;
    }
    // A key opens the menu at the cursor, or at the corner when the cursor is elsewhere.
    menuOpen_ = true;
    menuAt_ = d_.GetClientRect().Contains(mouse_) ? mouse_ : gfx::Point{0, 0};
}

// `leftPress`: the press that closes the menu (outside it) may be a left one, whose release
// then lands on the game as any release does.
void Driver::CloseMenu(bool leftPress) {
    menuOpen_ = false;
    switch (Int(0, leftPress ? 4 : 3)) {
        case 0:
        case 1:
            wt::PushKey(Id(), SDLK_ESCAPE);
            break;
        case 2:
            wt::PushWindowEvent(Id(), SDL_WINDOWEVENT_FOCUS_LOST);
            break;
        case 3: {
            // A right press outside closes it; its release opens it again there.
            const gfx::Point p = FreePoint(menuAt_.y);
            wt::PushButton(Id(), true, SDL_BUTTON_RIGHT, p.x, p.y);
            wt::PushButton(Id(), false, SDL_BUTTON_RIGHT, p.x, p.y);
            wt::PushKey(Id(), SDLK_ESCAPE);
            mouse_ = p;
            break;
        }
        default: {
            const gfx::Point p = FreePoint(menuAt_.y);
            wt::PushButton(Id(), true, SDL_BUTTON_LEFT, p.x, p.y);
            wt::PushButton(Id(), false, SDL_BUTTON_LEFT, p.x, p.y);
            mouse_ = p;
            break;
        }
    }
}

// The About item of the system menu; the box runs its own loop until AboutEpisode closes it.
void Driver::OpenAbout() {
    if (!menuOpen_) {
        OpenMenu();
    }
    wt::PushKey(Id(), SDLK_a);
    menuOpen_ = false;
    const int before = aboutBoxes_;
    d_.PumpMessages();
    if (aboutBoxes_ != before + 1 || ui::Dialog::GetActive() != &d_) {
        Fail("the About item did not open and close one About box");
    }
    closingSent_ = false;
}

// Inside the About box's loop: it holds the main window's input back while the game plays
// on beneath it, and one of the desktop's ways closes it.
void Driver::AboutEpisode() {
    ++aboutBoxes_;
    ui::Dialog* about = ui::Dialog::GetActive();
    const Uint32 id = about->WindowId();
    const gfx::Rect ok = about->GetControlRect(IDOK);
    const auto awayFromOk = [&] {
        for (;;) {
            const gfx::Point p = In(about->GetClientRect());
            if (!ok.Contains(p)) {
                return p;
            }
        }
    };
    for (int round = Int(0, 3); round > 0; --round) {
        const Phase phase = Observe();
        for (int n = Int(1, 4); n > 0; --n) {
            const gfx::Point p = awayFromOk();
            switch (Int(0, 5)) {
                case 0:
                    wt::PushMotion(id, p.x, p.y);
                    break;
                case 1:
                    wt::PushClick(id, SDL_BUTTON_LEFT, p.x, p.y);
                    break;
                case 2:
                    // Its own system menu, with Close alone.
                    wt::PushClick(id, SDL_BUTTON_RIGHT, p.x, p.y);
                    wt::PushKey(id, SDLK_ESCAPE);
                    break;
                case 3:
                    Wheel(id, 1);
                    break;
                default: {
                    // The main window's buttons and field: held back while the box is open.
                    const int targets[] = {IDC_BUTTON_STOP, IDC_BUTTON_START, IDC_STATIC_AREA};
                    const gfx::Point q = In(Control(targets[Int(0, 2)]));
                    wt::PushClick(Id(), SDL_BUTTON_LEFT, q.x, q.y);
                    break;
                }
            }
        }
        const bool playing = d_.m_gameEvent.IsPlaying();
        const int runs = clock_.Runs();
        d_.PumpMessages();
        if (Observe() != phase || d_.m_gameEvent.IsPlaying() != playing || clock_.Runs() != runs) {
            Fail("input reached the main window under the About box");
        }
        if (phase != Phase::kTitle) {
            clock_.Grant();
            d_.PumpMessages();
        }
    }
    Observe();
    const int way = Int(0, 4);
    ++aboutClosings_[static_cast<std::size_t>(way)];
    switch (way) {
        case 0:
            wt::PushKey(id, SDLK_ESCAPE);
            break;
        case 1:
            wt::PushKey(id, SDLK_RETURN);  // OK is the default button
            break;
        case 2:
            wt::PushClick(id, SDL_BUTTON_LEFT, ok.Centre().x, ok.Centre().y);
            break;
        case 3:
            wt::PushWindowEvent(id, SDL_WINDOWEVENT_CLOSE);
            break;
        default:
            wt::PushKey(id, SDLK_F4, KMOD_LALT);
            break;
    }
    closingSent_ = true;  // the box's own loop takes it from here
    ticksSinceClosing_ = 0;
}

void Driver::PrintSummary(double seconds) const {
    std::printf(
        "soak: seed %llu, %d games in %.1f s (%.2f ms a game), %d runs, %ld settles, "
        "%.0f s of game time\n",
        g_options.seed, games_, seconds, 1000.0 * seconds / games_, clock_.Runs(), settles_.load(),
        static_cast<double>(clock_.NowMs()) / 1000.0);
    std::printf("soak: Stop clicks by phase:");
    for (Phase phase : kGamePhases) {
        std::printf(" %s %d,", kPhaseNames[static_cast<int>(phase)],
                    stops_[static_cast<int>(phase)]);
    }
    std::printf(" then Start at once %d\nsoak: Start clicks during a game:", restarts_);
    for (Phase phase : kGamePhases) {
        std::printf(" %s %d,", kPhaseNames[static_cast<int>(phase)],
                    startClicks_[static_cast<int>(phase)]);
    }
    std::printf(
        "\nsoak: %d system menus, %d About boxes (closed by Escape %d, Enter %d, OK %d, "
        "close box %d, Alt+F4 %d)\n",
        menus_, aboutBoxes_, aboutClosings_[0], aboutClosings_[1], aboutClosings_[2],
        aboutClosings_[3], aboutClosings_[4]);
    if (games_ >= 100) {
        std::printf(
            "soak: memory at game 100: heap %.2f MiB, resident %.1f MiB; at the end: heap "
            "%.2f MiB, resident %.1f MiB\n",
            memoryAt100_.heap, memoryAt100_.resident, memoryEnd_.heap, memoryEnd_.resident);
    }
    std::printf("soak: timeline digest %016llx\n", static_cast<unsigned long long>(digest_));
}

class Soak : public wt::VideoTest {};

std::uint64_t PlayOnce() {
    testsupport::SteppedClock clock;
    sys::SetClock(&clock);
    const auto began = std::chrono::steady_clock::now();
    std::uint64_t digest = 0;
    {
        SoakDialog dialog;
        Driver driver(dialog, clock, g_options);
        dialog.driver = &driver;
        const int result = dialog.DoModal();
        EXPECT_EQ(result, ui::IDOK) << dialog.LastError();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;
        driver.PrintSummary(took.count());
        if (g_options.games >= 500) {
            EXPECT_EQ(driver.MissedPhases(), "") << "the driver's stream misses these phases";
        }
        digest = driver.Digest();
    }
    sys::SetClock(nullptr);
    return digest;
}

TEST_F(Soak, GamesOnTheMainDialog) {
    testsupport::InstallLastWords(&OnDeath);
    const std::uint64_t first = PlayOnce();
    if (g_options.twice) {
        EXPECT_EQ(PlayOnce(), first) << "the same seed played different games";
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--twice") {
            g_options.twice = true;
        } else if (positional == 0) {
            g_options.seed = std::strtoull(argv[i], nullptr, 10);
            ++positional;
        } else if (positional == 1) {
            g_options.games = std::atoi(argv[i]);
            ++positional;
        } else {
            std::fprintf(stderr, "usage: tolvane_soak SEED GAMES [--twice]\n");
            return 2;
        }
    }
    if (g_options.games < 1) {
        std::fprintf(stderr, "tolvane_soak: GAMES must be at least 1\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
