#include "platform/window/Video.h"

#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace ui {

namespace {

std::atomic<bool> g_ready{false};
std::atomic<std::thread::id> g_uiThread{};
std::atomic<std::uint32_t> g_wakeEvent{0};

bool StartSubsystems(std::string* reason) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0) {
        return true;
    }
    *reason = SDL_GetError();
    return false;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// SDL alone would fall back to its invisible offscreen driver when no display answers; a
// game nobody can see must fail instead. So without an explicit SDL_VIDEODRIVER only the
// displays the environment names are tried, then the console.
bool StartVideo(std::string* reason) {
    if (!Env("SDL_VIDEODRIVER").empty()) {
        return StartSubsystems(reason);
    }
    struct Candidate {
        const char* driver;
        std::string failure;
    };
    std::vector<Candidate> candidates;
    if (const std::string wayland = Env("WAYLAND_DISPLAY"); !wayland.empty()) {
        candidates.push_back(
            {"wayland", "the Wayland display \"" + wayland + "\" does not answer"});
    }
    if (const std::string x11 = Env("DISPLAY"); !x11.empty()) {
        candidates.push_back({"x11", "the X display \"" + x11 + "\" does not answer"});
    }
    if (candidates.empty()) {
        candidates.push_back(
            {"kmsdrm", "no display is set (DISPLAY and WAYLAND_DISPLAY are empty)"});
    }
    for (const Candidate& c : candidates) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, c.driver);
        std::string ignored;
        if (StartSubsystems(&ignored)) {
            return true;
        }
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
    *reason = candidates.back().failure;
    for (std::size_t i = candidates.size() - 1; i-- > 0;) {
        *reason = candidates[i].failure + ", and " + *reason;
    }
    return false;
}

}  // namespace

bool InitVideo(std::string* error) {
    if (g_ready.load()) {
        return true;
    }
    // Every window is closed explicitly; a last window closing must not leave a quit request
    // behind for the next dialog.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // A few small pictures a second need no graphics driver: the software renderer works on
    // every display and starts no driver threads. SDL_RENDER_DRIVER in the environment still
    // chooses another.
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_DEFAULT);
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    std::string reason;
    if (!StartVideo(&reason)) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    }
    const Uint32 wake = SDL_RegisterEvents(1);
    if (wake == static_cast<Uint32>(-1)) {
        if (error != nullptr) {
            *error = "no SDL user event is left for waking the message loop";
        }
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    // Dialogs take no text input; an input method left running would only swallow keys.
    SDL_StopTextInput();
    g_wakeEvent.store(wake);
    g_uiThread.store(std::this_thread::get_id());
    g_ready.store(true);
    return true;
}

void ShutdownVideo() {
    if (!g_ready.exchange(false)) {
        return;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    SDL_Quit();
    g_uiThread.store(std::thread::id{});
}

bool IsVideoReady() {
    return g_ready.load();
}

bool IsUiThread() {
    return g_ready.load() && g_uiThread.load() == std::this_thread::get_id();
}

namespace detail {
std::uint32_t WakeEventType() {
    return g_wakeEvent.load();
}
}  // namespace detail

}  // namespace ui
