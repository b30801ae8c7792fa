#include "platform/window/sdl/X11.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace ui::x11 {

namespace {

using ErrorHandler = int (*)(Display*, XErrorEvent*);

std::atomic<ErrorHandler> g_previousHandler{nullptr};
std::atomic<Display*> g_display{nullptr};
std::atomic<bool> g_lost{false};

// The last windows destroyed. An error about one of them arrives at most a round trip later,
// long before this many more windows have come and gone.
constexpr std::size_t kForgotten = 64;
std::array<std::atomic<unsigned long>, kForgotten> g_forgotten{};
std::atomic<std::size_t> g_nextForgotten{0};

bool IsForgotten(unsigned long xid) {
    for (const std::atomic<unsigned long>& f : g_forgotten) {
        if (xid != 0 && f.load() == xid) {
            return true;
        }
    }
    return false;
}

// Runs on whichever thread reads the error, with the connection locked: no Xlib calls here.
int OnError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && IsForgotten(error->resourceid)) {
        return 0;
    }
    const ErrorHandler previous = g_previousHandler.load();
    return previous != nullptr ? previous(display, error) : 0;
}

// Xlib's own handler prints its message and exits; the program reports the loss itself
// once its dialogs have closed and its threads have ended.
int OnIoError(Display*) {
    g_lost.store(true);
    return 0;
}

void OnIoErrorExit(Display*, void*) {
    g_lost.store(true);
}

}  // namespace

void InstallErrorHandlers() {
    const ErrorHandler previous = XSetErrorHandler(&OnError);
    // Installing twice (a second InitVideo) must not make the handler call itself.
    if (previous != &OnError) {
        g_previousHandler.store(previous);
    }
    XSetIOErrorHandler(&OnIoError);
}

unsigned long AdoptWindow(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11) {
        return 0;
    }
    Display* display = info.info.x11.display;
    if (g_display.exchange(display) != display) {
        XSetIOErrorExitHandler(display, &OnIoErrorExit, nullptr);
    }
    return info.info.x11.window;
}

namespace {

// A property of 32-bit values, or an empty one.
std::vector<long> Property(Display* display, Window window, Atom name, Atom type) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, name, 0, 1024, False, type, &actual, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        if (format == 32) {
            const long* v = reinterpret_cast<const long*>(data);
            values.assign(v, v + count);
        }
        XFree(data);
    }
    return values;
}

}  // namespace

bool FrameExtents(unsigned long xid, int* width, int* height) {
    Display* display = g_display.load();
    if (display == nullptr || xid == 0 || g_lost.load()) {
        return false;
    }
    const Atom request = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    const Window root = DefaultRootWindow(display);
    const std::vector<long> supported =
        Property(display, root, XInternAtom(display, "_NET_SUPPORTED", False), XA_ATOM);
    if (std::find(supported.begin(), supported.end(), static_cast<long>(request)) ==
        supported.end()) {
        return false;  // no manager, or one that would not answer
    }
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = xid;
    e.xclient.message_type = request;
    e.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    // The manager answers within a round trip of its own; a busy one is given a second.
    for (int i = 0; i < 100 && !g_lost.load(); ++i) {
        const std::vector<long> v = Property(display, xid, extents, XA_CARDINAL);
        if (v.size() == 4) {
            *width = static_cast<int>(v[0] + v[1]);
            *height = static_cast<int>(v[2] + v[3]);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void ForgetWindow(unsigned long xid) {
    if (xid != 0) {
        g_forgotten[g_nextForgotten.fetch_add(1) % kForgotten].store(xid);
    }
}

bool HasDisplay() {
    return g_display.load() != nullptr;
}

bool ConnectionLost() {
    return g_lost.load();
}

void Wait(int wakeFd, int timeoutMs) {
    Display* display = g_display.load();
    if (display == nullptr || g_lost.load()) {
        return;
    }
    // Sends what is buffered and reads what has arrived; events read earlier (by a reply's
    // wait, say) sit in Xlib's queue where polling the socket would not see them.
    if (XEventsQueued(display, QueuedAfterFlush) > 0 || g_lost.load()) {
        return;
    }
    std::array<pollfd, 2> fds{{{ConnectionNumber(display), POLLIN, 0}, {wakeFd, POLLIN, 0}}};
    // A signal ends the wait early too: the caller then pumps, which turns SIGINT into a quit.
    if (poll(fds.data(), wakeFd >= 0 ? 2 : 1, timeoutMs) > 0 &&
        (fds[0].revents & (POLLHUP | POLLERR)) != 0) {
        // The server has gone. Known here, before an Xlib call meets it, no call goes through
        // Xlib's recovery from an I/O error (which in libX11 1.8.4 unlocks the connection
        // twice).
        g_lost.store(true);
    }
}

void Reset() {
    g_display.store(nullptr);
    g_lost.store(false);
}

}  // namespace ui::x11
