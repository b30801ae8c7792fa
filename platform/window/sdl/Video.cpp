#include "platform/window/Video.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#endif

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/system/Thread.h"
#include "platform/window/Backend.h"
#include "platform/window/sdl/Events.h"
#include "platform/window/sdl/X11.h"

namespace ui {

namespace {

std::atomic<std::uint32_t> g_wakeEvent{0};

// The user-interface thread's own wake-up: a byte in a pipe. On X, SDL's wake-up is an event
// sent to one of the windows, which may be destroyed before the server delivers it; the wait
// here polls the display connection and this pipe instead, so SDL never sends one.
struct WakePipe {
    int fds[2] = {-1, -1};
    WakePipe() {
#if !defined(__EMSCRIPTEN__) && !defined(_WIN32)
        // In a web page and on Windows SDL's own wait sees the pushed event; a pipe in a page
        // is a call to the page's thread for every write.
        if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
            fds[0] = fds[1] = -1;
        }
#endif
    }
    ~WakePipe() {
        for (int fd : fds) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    void Drain() const {
        char buffer[64];
        while (fds[0] >= 0 && read(fds[0], buffer, sizeof buffer) > 0) {
        }
    }
};

WakePipe& Wake() {
    static WakePipe pipe;
    return pipe;
}

// In the page the fibers' scheduler waits for the browser itself; elsewhere the loop's wait is
// the display's.
#if !TOLVANE_COOPERATIVE || !defined(__EMSCRIPTEN__)
#define TOLVANE_DISPLAY_WAIT 1
// Blocks until an event arrives, a wake-up is posted or `timeoutMs` has passed (-1: no limit).
// False when the time ran out.
bool HostWait(int timeoutMs) {
    bool input = true;
    if (x11::HasDisplay()) {
        x11::Wait(Wake().fds[0], timeoutMs);
    } else if (timeoutMs < 0) {
        SDL_WaitEvent(nullptr);
    } else if (timeoutMs > 0) {
        input = SDL_WaitEventTimeout(nullptr, timeoutMs) == 1;
    }
    Wake().Drain();
    return input;
}
#endif

#if TOLVANE_COOPERATIVE
bool EventsWaiting() {
    SDL_PumpEvents();
    return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_TRUE;
}
#endif

bool StartSubsystems(std::string* reason) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0) {
        return true;
    }
    *reason = SDL_GetError();
    return false;
}

#if !defined(__EMSCRIPTEN__) && !defined(_WIN32)
// The displays the environment names, tried in turn (StartVideo).
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Whether a compositor listens on the Wayland socket `name` names, found as libwayland finds
// it. Left to SDL, a missing socket costs a line of libwayland's own on stderr.
bool WaylandAnswers(const std::string& name) {
    if (!Env("WAYLAND_SOCKET").empty()) {
        return true;  // an inherited connection: only libwayland can tell
    }
    std::string path = name;
    if (path.front() != '/') {
        const std::string dir = Env("XDG_RUNTIME_DIR");
        if (dir.empty()) {
            return false;
        }
        path = dir + "/" + name;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool answers =
        connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return answers;
}
#endif

// SDL alone would fall back to its invisible offscreen driver when no display answers; a
// game nobody can see must fail instead. So without an explicit SDL_VIDEODRIVER only the
// displays the environment names are tried, then the console.
bool StartVideo(std::string* reason) {
#if defined(__EMSCRIPTEN__) || defined(_WIN32)
    // The page's canvas, or Windows' desktop, is the one display.
    return StartSubsystems(reason);
#else
    if (!Env("SDL_VIDEODRIVER").empty()) {
        return StartSubsystems(reason);
    }
    struct Candidate {
        const char* driver;
        std::string failure;
        bool worthTrying = true;
    };
    std::vector<Candidate> candidates;
    if (const std::string wayland = Env("WAYLAND_DISPLAY"); !wayland.empty()) {
        candidates.push_back({"wayland", "the Wayland display \"" + wayland + "\" does not answer",
                              WaylandAnswers(wayland)});
    }
    if (const std::string x11 = Env("DISPLAY"); !x11.empty()) {
        candidates.push_back({"x11", "the X display \"" + x11 + "\" does not answer"});
    }
    if (candidates.empty()) {
        candidates.push_back(
            {"kmsdrm", "no display is set (DISPLAY and WAYLAND_DISPLAY are empty)"});
    }
    for (const Candidate& c : candidates) {
        if (!c.worthTrying) {
            continue;
        }
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
#endif
}

}  // namespace

bool InitVideo(std::string* error) {
    if (IsVideoReady()) {
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
    x11::InstallErrorHandlers();
    // A write to a display connection whose server has gone must fail with EPIPE, for the
    // loss to be noticed and reported, rather than end the process with SIGPIPE.
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    Wake();
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
#if TOLVANE_COOPERATIVE && TOLVANE_DISPLAY_WAIT
    sys::coop::SetHostWait(&HostWait);
#endif
    backend::EnterUiThread();
    return true;
}

void ShutdownVideo() {
    if (!backend::LeaveUiThread()) {
        return;
    }
#if TOLVANE_COOPERATIVE && TOLVANE_DISPLAY_WAIT
    sys::coop::SetHostWait(nullptr);
#endif
    if (x11::ConnectionLost()) {
        // Closing SDL's connections would meet the broken one again, and there Xlib exits.
        // The process ends next; the memory stays reachable from SDL's state.
        return;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    SDL_Quit();
    x11::Reset();
}

bool DisplayLost() {
    return x11::ConnectionLost();
}

void ReportFailure(const std::string& line, [[maybe_unused]] const std::string& sentence) {
    std::fprintf(stderr, "tolvane: %s\n", line.c_str());
#ifdef _WIN32
    std::fflush(stderr);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Tolvane", sentence.c_str(), nullptr);
#endif
}

std::uint32_t sdl::WakeEventType() {
    return g_wakeEvent.load();
}

bool backend::PostWake(std::uint32_t windowId) {
    SDL_Event wake{};
    wake.type = g_wakeEvent.load();
    wake.user.windowID = windowId;
    if (SDL_PushEvent(&wake) != 1) {
        return false;
    }
    const char byte = 1;
    // A write refused because the pipe is full changes nothing: a wake-up is waiting already.
    [[maybe_unused]] const ssize_t written =
        Wake().fds[1] >= 0 ? write(Wake().fds[1], &byte, 1) : 0;
    return true;
}

void backend::WaitForMessages(int timeoutMs) {
#if TOLVANE_COOPERATIVE
    // The other fibers run while this one waits; a wake-up they post is an event like any.
    using sys::coop::Clock;
    const Clock::time_point deadline = timeoutMs < 0
                                           ? Clock::time_point::max()
                                           : Clock::now() + std::chrono::milliseconds(timeoutMs);
    sys::coop::Suspend(deadline, &EventsWaiting, true);
#else
    HostWait(timeoutMs);
#endif
}

}  // namespace ui
