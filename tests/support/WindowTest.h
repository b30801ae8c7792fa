#pragma once

// Headless dialogs for the window tests: SDL's offscreen driver, the game's resources plus
// one small template, a dialog whose handlers are test hooks, synthetic input and a watchdog
// that cancels a dialog that would otherwise hang the suite.

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "app/res/TolvaneResources.h"
#include "platform/system/Resources.h"
#include "platform/window/Dialog.h"
#include "platform/window/Video.h"

namespace wt {

// 40 x 20 dialog units (60 x 30 px): small enough that the offscreen display scales it up.
constexpr int kSmallDialog = 7001;
// OK and Cancel side by side, both enabled, at scale 1.
constexpr int kTwoButtonDialog = 7002;

inline const sys::ResourceTable& TestResources() {
    static const std::vector<sys::DialogTemplate> dialogs = [] {
        std::vector<sys::DialogTemplate> all(TolvaneResources().dialogs.begin(),
                                             TolvaneResources().dialogs.end());
        sys::DialogTemplate small;
        small.id = kSmallDialog;
        small.cx = 40;
        small.cy = 20;
        small.caption = "small";
        small.fontFace = "ＭＳ Ｐゴシック";
        small.controls = {{1, sys::ControlKind::DefaultButton, "OK", 2, 2, 10, 8, /*visible=*/true,
                           /*enabled=*/false}};
        all.push_back(small);
        sys::DialogTemplate two = small;
        two.id = kTwoButtonDialog;
        two.cx = 240;
        two.cy = 180;
        two.controls = {
            {ui::IDOK, sys::ControlKind::Button, "OK", 10, 10, 40, 14, true, true},
            {ui::IDCANCEL, sys::ControlKind::Button, "Cancel", 60, 10, 40, 14, true, true}};
        all.push_back(two);
        return all;
    }();
    static const sys::ResourceTable table{TolvaneResources().bitmaps, TolvaneResources().strings,
                                          dialogs};
    return table;
}

class VideoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
#ifdef _WIN32
        _putenv_s("SDL_VIDEODRIVER", "offscreen");
#else
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
#endif
        sys::InstallResources(&TestResources());
        std::string error;
        ASSERT_TRUE(ui::InitVideo(&error)) << error;
    }
    static void TearDownTestSuite() { ui::ShutdownVideo(); }
    void SetUp() override {
        // Nothing a previous test left in the queue reaches this one.
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
};

// A dialog driven by a script: one step per tick of a timer of its own. A step that returns
// bool is repeated until it returns true (at most `kMaxTicks` times, then the dialog ends with
// kScriptStuck); any other step runs once. After the last step the dialog ends with
// kScriptDone.
template <class Self, class Base>
class Scripted : public Base {
public:
    using Base::Base;
    static constexpr int kScriptTimer = 900;
    static constexpr int kScriptDone = 4242;
    static constexpr int kScriptStuck = 4343;
    static constexpr int kMaxTicks = 1000;

    class Step {
    public:
        template <class F>
        Step(F f) {  // NOLINT: steps are written as plain lambdas
            if constexpr (std::is_same_v<std::invoke_result_t<F, Self&>, bool>) {
                fn_ = std::move(f);
            } else {
                fn_ = [f = std::move(f)](Self& self) {
                    f(self);
                    return true;
                };
            }
        }
        bool operator()(Self& self) const { return fn_(self); }

    private:
        std::function<bool(Self&)> fn_;
    };

    void Script(int ms, std::vector<Step> steps) {
        steps_ = std::move(steps);
        next_ = 0;
        ticks_ = 0;
        this->SetTimer(kScriptTimer, ms);
    }

protected:
    void OnTimer(int id) override {
        if (id != kScriptTimer) {
            Base::OnTimer(id);
            return;
        }
        if (inStep_) {
            return;  // a step that pumps messages must not run the next one inside it
        }
        if (next_ >= steps_.size()) {
            this->EndDialog(kScriptDone);
            return;
        }
        if (++ticks_ > kMaxTicks) {
            ADD_FAILURE() << "script step " << next_ << " never finished";
            this->EndDialog(kScriptStuck);
            return;
        }
        inStep_ = true;
        if (steps_[next_](static_cast<Self&>(*this))) {
            ++next_;
            ticks_ = 0;
        }
        inStep_ = false;
    }

private:
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int ticks_ = 0;
    bool inStep_ = false;
};

// A dialog whose handlers record what they get and call the test's hooks.
class Probe : public Scripted<Probe, ui::Dialog> {
public:
    using Scripted::Scripted;

    std::function<void(Probe&)> onInit;
    std::function<void(Probe&, gfx::DeviceContext&)> onPaint;
    std::function<void(Probe&, int)> onTimer;
    std::function<void(Probe&, int)> onSysCommand;

    int paints = 0;
    std::vector<std::string> log;  // "down 3,4", "up 3,4", "move 3,4", "wheel 120", "ok", ...
    std::vector<int> sysCommands;

    using ui::Dialog::OnPaint;
    void SysCommand(int id) { OnSysCommand(id); }

protected:
    bool OnInitDialog() override {
        if (onInit) {
            onInit(*this);
        }
        return true;
    }
    void OnPaint(gfx::DeviceContext& dc) override {
        ++paints;
        ui::Dialog::OnPaint(dc);
        if (onPaint) {
            onPaint(*this, dc);
        }
    }
    void OnLButtonDown(int x, int y) override { Log("down", x, y); }
    void OnLButtonUp(int x, int y) override { Log("up", x, y); }
    void OnMouseMove(int x, int y) override { Log("move", x, y); }
    void OnMouseWheel(int delta, int, int) override {
        log.push_back("wheel " + std::to_string(delta));
    }
    void OnTimer(int id) override {
        if (id == kScriptTimer) {
            Scripted::OnTimer(id);
        } else if (onTimer) {
            onTimer(*this, id);
        }
    }
    void OnSysCommand(int id) override {
        sysCommands.push_back(id);
        if (onSysCommand) {
            onSysCommand(*this, id);
        }
        ui::Dialog::OnSysCommand(id);
    }
    void OnOK() override {
        log.push_back("ok");
        ui::Dialog::OnOK();
    }
    void OnCancel() override {
        log.push_back("cancel");
        ui::Dialog::OnCancel();
    }

private:
    void Log(const char* what, int x, int y) {
        log.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
    }
};

inline void Push(SDL_Event e) {
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

inline void PushKey(Uint32 window, SDL_Keycode key, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = window;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    Push(e);
}

// Window coordinates.
inline void PushButton(Uint32 window, bool down, Uint8 button, int x, int y) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = window;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    Push(e);
}

// Where client point `at` of a probe's window lies in its window, at the scale it opened with.
inline gfx::Point InWindow(const Probe& p, gfx::Point at) {
    int w = 0, h = 0;
    SDL_GetWindowSize(SDL_GetWindowFromID(p.WindowId()), &w, &h);
    const int scale = std::max(1, w / std::max(1, p.GetClientRect().Width()));
    return {at.x * scale, at.y * scale};
}

inline void PushClick(Uint32 window, Uint8 button, int x, int y) {
    PushButton(window, true, button, x, y);
    PushButton(window, false, button, x, y);
}

inline void PushMotion(Uint32 window, int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = window;
    e.motion.x = x;
    e.motion.y = y;
    Push(e);
}

inline void PushWindowEvent(Uint32 window, SDL_WindowEventID what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = window;
    e.window.event = what;
    Push(e);
}

// Cancels every running dialog (through a quit event) if the scope outlives `limit`.
class Watchdog {
public:
    explicit Watchdog(std::chrono::milliseconds limit = std::chrono::seconds(5))
        : thread_([this, limit] {
              std::unique_lock lock(mutex_);
              if (!cv_.wait_for(lock, limit, [this] { return done_; })) {
                  fired_ = true;
                  SDL_Event quit{};
                  quit.type = SDL_QUIT;
                  SDL_PushEvent(&quit);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    bool Fired() {
        std::lock_guard lock(mutex_);
        return fired_;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
    bool fired_ = false;
    std::thread thread_;
};

}  // namespace wt
