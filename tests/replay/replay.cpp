// Recorded games played on the real main dialog, headless on SDL's offscreen driver, in
// virtual time stepped with the game's worker: one line a tick of what the game holds and what
// it painted, compared with the lines the desktop build recorded, so that every build and
// every home is seen to play the same game to the pixel.
//
//   tolvane_replay [GAME...]                  plays the games (all without a name) and compares;
//                                             at the first tick that differs, says what differs
//                                             and writes the frames
//   tolvane_replay [GAME...] --record FOLDER  plays them and writes FOLDER/GAME.ticks
//
// The games and their lines are compiled in (Games.cpp, made from tests/replay/*.replay and
// *.ticks), so a build without files, the page's, plays them too. A game is text: `time SECONDS`,
// the calendar time it starts at, then an input a line, `TICK WHAT [X Y]` ('#' starts a comment):
//   click start|stop        a left press and release at the centre of that drawn button
//   press X Y | release X Y | move X Y    the left button or the mouse, in client pixels
//   about                   the About item of the system menu, opened by a right click
//   close                   Escape to the About box
//   clear                   empties the field (between a stage's set-up and its first frame)
// A tick is one wait of the game's worker (an announcement, a frame, a wing beat, the last
// pause) or, while no game runs, one look at the title screen. Its line is taken when the
// worker waits and the window has painted; its input lands then, before time moves on.

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "app/window/TolvaneDlg.h"
#include "platform/system/Resources.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/Video.h"
#include "tests/replay/Games.h"
#include "tests/support/SteppedClock.h"

namespace {

using namespace std::chrono_literals;

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "tolvane_replay: %s\n", why.c_str());
    std::exit(1);
}

struct Input {
    int tick = 0;
    std::string what;
    std::string button;  // of a click
    gfx::Point at;
};

struct Game {
    std::string name;
    std::int64_t time = 0;
    std::vector<Input> inputs;
};

Game ReadGame(const replay::GameText& text) {
    std::istringstream in(text.replay);
    Game game;
    game.name = text.name;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string first;
        if (!(words >> first)) {
            continue;
        }
        Input input;
        bool ok = true;
        if (first == "time") {
            ok = static_cast<bool>(words >> game.time);
        } else {
            input.tick = std::atoi(first.c_str());
            ok = static_cast<bool>(words >> input.what);
            if (input.what == "press" || input.what == "release" || input.what == "move") {
                ok = ok && static_cast<bool>(words >> input.at.x >> input.at.y);
            } else if (input.what == "click") {
                ok = ok && static_cast<bool>(words >> input.button);
            }
            ok = ok && (game.inputs.empty() || game.inputs.back().tick <= input.tick);
            game.inputs.push_back(input);
        }
        if (!ok) {
            Fail(game.name + ".replay:" + std::to_string(number) + ": cannot read \"" + line +
                 "\"");
        }
    }
    return game;
}

std::uint64_t Fnv(std::uint64_t hash, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        hash = (hash ^ ((value >> (8 * i)) & 0xFF)) * 1099511628211ull;
    }
    return hash;
}
constexpr std::uint64_t kFnvBasis = 14695981039346656037ull;

// The client surface as a binary PPM, for a look at a frame that differs.
void WriteFrame(const gfx::Bitmap& frame, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << frame.Width() << ' ' << frame.Height() << "\n255\n";
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x) {
            const gfx::Colour c = frame.Row(y)[x];  // 0x00BBGGRR
            out.put(static_cast<char>(c & 0xFF)).put(static_cast<char>((c >> 8) & 0xFF));
            out.put(static_cast<char>((c >> 16) & 0xFF));
        }
    }
}

class ReplayDialog;

// Plays one game on the dialog from its driver timer. The About item opens a modal box whose
// loop runs the main window's timers, this one's too: the game then plays on inside that loop
// until `close`, and the first call takes over again once the box has ended.
class Driver {
public:
    // Compares each tick with `expected`'s line, unless it is empty.
    Driver(ReplayDialog& d, testsupport::SteppedClock& clock, Game game,
           std::vector<std::string> expected)
        : d_(d), clock_(clock), game_(std::move(game)), expected_(std::move(expected)) {}

    void OnTimer();
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    // Runs ticks until the game is over (or, inside the About box's loop, until it closes).
    void Play();
    void Record();
    void Compare(const std::string& line, const gfx::Bitmap& frame);
    void Apply(const Input& input);

    ReplayDialog& d_;
    testsupport::SteppedClock& clock_;
    const Game game_;
    const std::vector<std::string> expected_;
    std::size_t next_ = 0;  // the next input
    int tick_ = 0;
    int parked_ = 0;  // the length of the worker's wait at this tick; 0: no game runs
    bool recorded_ = false;
    bool started_ = false;
    bool closing_ = false;  // Escape sent to the About box, whose loop has not ended yet
    std::vector<std::string> lines_;
    gfx::Bitmap lastFrame_;
};

class ReplayDialog final : public CTolvaneDlg {
public:
    using CTolvaneDlg::m_gameEvent;
    using CTolvaneDlg::m_thread;
    static constexpr int kDriverTimer = 77;
    static constexpr int kPlayed = 100;

    Driver* driver = nullptr;

protected:
    bool OnInitDialog() override {
        CTolvaneDlg::OnInitDialog();
        SetTimer(kDriverTimer, 10);
        return true;
    }
    void OnTimer(int id) override {
        if (id == kDriverTimer) {
            driver->OnTimer();
        } else {
            CTolvaneDlg::OnTimer(id);
        }
    }
    void OnOK() override { Fail("the game ended with Exit before its last input"); }
    void OnCancel() override { Fail("the main window was cancelled"); }
};

void Driver::OnTimer() {
    if (!started_) {
        started_ = true;
        Play();
        d_.EndDialog(ReplayDialog::kPlayed);
    } else if (ui::Dialog::GetActive() != &d_ && !closing_) {
        Play();
    }
}

void Driver::Play() {
    constexpr int kMaxTicks = 5000;
    for (; tick_ < kMaxTicks; ++tick_, recorded_ = false) {
        if (!recorded_) {
            parked_ = clock_.Settle(d_.m_thread, 60s);
            if (parked_ < 0) {
                Fail("tick " + std::to_string(tick_) + ": the worker neither waited nor ended");
            }
            Record();
        }
        // The game ends at the first tick that finds no run and no input left.
        if (next_ == game_.inputs.size() && parked_ == 0) {
            if (ui::Dialog::GetActive() != &d_) {
                Fail("the game ends with the About box open");
            }
            return;
        }
        while (next_ < game_.inputs.size() && game_.inputs[next_].tick == tick_) {
            const Input& input = game_.inputs[next_++];
            if (input.what == "close") {
                ui::Dialog* box = ui::Dialog::GetActive();
                if (box == &d_ || box == nullptr) {
                    Fail("tick " + std::to_string(tick_) + ": no About box to close");
                }
                ui::MessageLoop::Dispatch({.type = ui::Message::Type::KeyDown,
                                           .windowId = box->WindowId(),
                                           .key = ui::Key::Escape,
                                           .at = {}});
                closing_ = true;
                return;  // the box ends after this call; the call below it plays on
            }
            Apply(input);
            if (input.what == "about") {
                closing_ = false;  // back from the box, which played the ticks meanwhile
            }
        }
        // A Stop in this tick's input cancels the wait: the run then ends without a grant. A
        // run that Start has just begun waits for the next tick.
        if (parked_ > 0 && clock_.Settle(d_.m_thread, 60s) > 0) {
            clock_.Grant();
        }
    }
    Fail("the game did not end within " + std::to_string(kMaxTicks) + " ticks");
}

void Driver::Record() {
    recorded_ = true;
    d_.PaintAndPresent();
    CBirdEvent& world = d_.m_gameEvent;
    const CBird& chick = world.GetBird();
    std::uint64_t state = Fnv(Fnv(kFnvBasis, world.IsTitle()), world.IsPlaying());
    for (char c : world.GetStageText()) {
        state = Fnv(state, static_cast<unsigned char>(c));
    }
    const int blocks = world.GetObstacleCount();
    for (int i = 0; i < blocks; ++i) {
        const gfx::Rect r = world.GetObstacleRect(i);
        state = Fnv(state, std::uint64_t{static_cast<std::uint32_t>(r.left)} << 32 |
                               static_cast<std::uint32_t>(r.top));
    }
    const gfx::Bitmap& frame = d_.ClientSurface();
    std::uint64_t pixels = Fnv(kFnvBasis, std::uint64_t(frame.Width()) << 32 | frame.Height());
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x) {
            pixels = Fnv(pixels, frame.Row(y)[x]);
        }
    }
    const gfx::Point at = chick.GetPoint();
    char line[160];
    std::snprintf(
        line, sizeof line,
        "%d %" PRId64 " \"%s\" chick %d,%d %g f%d blocks %d world %08" PRIx32 " px %016" PRIx64,
        tick_, clock_.NowMs(), d_.m_thread.GetText().c_str(), at.x, at.y, chick.GetVelocityY(),
        chick.GetFrame(), blocks, static_cast<std::uint32_t>(state ^ (state >> 32)), pixels);
    lines_.emplace_back(line);
    if (!expected_.empty()) {
        Compare(line, frame);
    }
    lastFrame_ = frame;
}

// The first tick that differs ends the replay: what differs, and the frames around it.
void Driver::Compare(const std::string& got, const gfx::Bitmap& frame) {
    const std::size_t i = lines_.size() - 1;
    const std::string want = i < expected_.size() ? expected_[i] : "(the game has ended)";
    if (got == want) {
        return;
    }
    // A line ends with the pixels' digest; what comes before it is the game's state.
    const auto state = [](const std::string& line) { return line.substr(0, line.rfind(" px ")); };
    std::fprintf(stderr, "replay %s: tick %zu differs in its %s\n  expected: %s\n  got:      %s\n",
                 game_.name.c_str(), i, state(got) == state(want) ? "pixels" : "state",
                 want.c_str(), got.c_str());
    const std::string path = game_.name + ".tick" + std::to_string(i);
    WriteFrame(frame, path + ".ppm");
    std::fprintf(stderr, "  this build's frame: %s.ppm\n", path.c_str());
    if (i > 0) {
        WriteFrame(lastFrame_, path + "-before.ppm");
        std::fprintf(stderr, "  the frame before, the last as recorded: %s-before.ppm\n",
                     path.c_str());
    }
    std::fflush(stderr);
    std::_Exit(1);  // the worker still waits in the game; nothing is left to end cleanly
}

void Driver::Apply(const Input& input) {
    using Type = ui::Message::Type;
    const std::uint32_t main = d_.WindowId();
    const std::string& what = input.what;
    const auto send = [](const ui::Message& m) { ui::MessageLoop::Dispatch(m); };
    if (what == "click") {
        const int id = input.button == "start"  ? IDC_BUTTON_START
                       : input.button == "stop" ? IDC_BUTTON_STOP
                                                : 0;
        if (id == 0) {
            Fail("no button \"" + input.button + "\" to click");
        }
        const gfx::Point at = d_.GetControlRect(id).Centre();
        send({.type = Type::Button, .windowId = main, .at = at, .down = true, .left = true});
        send({.type = Type::Button, .windowId = main, .at = at, .down = false, .left = true});
    } else if (what == "press" || what == "release") {
        send({.type = Type::Button,
              .windowId = main,
              .at = input.at,
              .down = what == "press",
              .left = true});
    } else if (what == "move") {
        send({.type = Type::MouseMove, .windowId = main, .at = input.at});
    } else if (what == "about") {
        // A right click opens the system menu; its About item's key opens the box, whose loop
        // runs until its `close`.
        send({.type = Type::Button, .windowId = main, .at = {10, 10}, .down = true});
        send({.type = Type::Button, .windowId = main, .at = {10, 10}, .down = false});
        send({.type = Type::KeyDown,
              .windowId = main,
              .key = ui::Key::Letter,
              .letter = 'a',
              .at = {}});
    } else if (what == "clear") {
        d_.m_gameEvent.CreateObstacles(0);
    } else {
        Fail("unknown input \"" + what + "\" at tick " + std::to_string(input.tick));
    }
}

// Plays one game; with `expected` lines, the first tick that differs ends the program.
std::vector<std::string> Play(const Game& game, std::vector<std::string> expected) {
    testsupport::SteppedClock clock(game.time);
    sys::SetClock(&clock);
    std::vector<std::string> lines;
    {
        ReplayDialog dialog;
        Driver driver(dialog, clock, game, std::move(expected));
        dialog.driver = &driver;
        if (const int result = dialog.DoModal(); result != ReplayDialog::kPlayed) {
            Fail("the main window ended with " + std::to_string(result) + " " + dialog.LastError());
        }
        lines = driver.Lines();
    }
    sys::SetClock(nullptr);
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> names(argv + 1, argv + argc);
    std::string recordIn;
    if (names.size() >= 2 && names[names.size() - 2] == "--record") {
        recordIn = names.back();
        names.resize(names.size() - 2);
    }
    std::vector<const replay::GameText*> games;
    for (const replay::GameText& text : replay::Games()) {
        if (names.empty() || std::find(names.begin(), names.end(), text.name) != names.end()) {
            games.push_back(&text);
        }
    }
    if (games.empty() || (!names.empty() && games.size() != names.size())) {
        std::fprintf(stderr, "usage: tolvane_replay [GAME...] [--record FOLDER]; games:");
        for (const replay::GameText& text : replay::Games()) {
            std::fprintf(stderr, " %s", text.name);
        }
        std::fprintf(stderr, "\n");
        return 2;
    }
    // Headless on the desktop; the page shows the games on its canvas.
#ifdef _WIN32
    _putenv_s("SDL_VIDEODRIVER", "offscreen");
#elif !defined(__EMSCRIPTEN__)
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
#endif
    sys::InstallResources(&TolvaneResources());
    std::string error;
    if (!ui::InitVideo(&error)) {
        Fail(error);
    }
    for (const replay::GameText* text : games) {
        const Game game = ReadGame(*text);
        std::vector<std::string> expected;
        std::istringstream recorded(text->ticks);
        for (std::string line; std::getline(recorded, line);) {
            expected.push_back(line);
        }
        if (!recordIn.empty()) {
            const std::string path = recordIn + "/" + game.name + ".ticks";
            std::ofstream out(path);
            for (const std::string& line : Play(game, {})) {
                out << line << '\n';
            }
            if (!out) {
                Fail("cannot write " + path);
            }
            std::printf("replay %s: recorded in %s\n", game.name.c_str(), path.c_str());
            continue;
        }
        if (expected.empty()) {
            Fail("replay " + game.name + " has no recorded ticks");
        }
        const std::size_t ticks = Play(game, expected).size();
        if (ticks != expected.size()) {
            Fail("replay " + game.name + ": the game ended at tick " + std::to_string(ticks) +
                 ", recorded with " + std::to_string(expected.size()));
        }
        std::printf("replay %s: %zu ticks, every one as recorded\n", game.name.c_str(), ticks);
    }
    ui::ShutdownVideo();
    return 0;
}
