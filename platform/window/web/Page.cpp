// The page's display: the browser's own events (emscripten/html5.h) on the canvas and the
// window, turned into messages as the desktop's backend turns its window system's, and the
// wait of the page's one thread, which gives the browser its thread back until a message or a
// timer is due.

#include <emscripten/em_js.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>
#include <deque>

#include "platform/system/Cooperative.h"
#include "platform/window/Backend.h"
#include "platform/window/Video.h"
#include "platform/window/web/Canvas.h"

namespace ui {

namespace {

constexpr const char* kCanvas = "#canvas";

// Touched on the user-interface thread only: the browser calls the listeners there, between
// the program's own steps.
struct Page {
    std::deque<Message> queue;
    gfx::Point mouse;         // the last pointer position, canvas pixels
    bool mouseInside = true;  // the canvas has the pointer (a button names no window without)
    unsigned buttons = 0;     // held, one bit per DOM button
    float wheel = 0;          // notches not yet whole
    bool focused = true;      // the page has the keyboard
    bool hidden = false;      // the tab is in the background
};

Page& ThePage() {
    static Page page;
    return page;
}

// clang-format off
// One wait of the page: a promise that a timer or the next queued message resolves.
EM_ASYNC_JS(int, tolvane_page_wait, (int timeoutMs), {
    return await new Promise((resolve) => {
        const timer = timeoutMs >= 0 ? setTimeout(() => Module['tolvaneWake'](0), timeoutMs) : 0;
        Module['tolvaneWake'] = (input) => {
            Module['tolvaneWake'] = null;
            clearTimeout(timer);
            resolve(input);
        };
    });
});
EM_JS(void, tolvane_page_wake, (), {
    if (Module['tolvaneWake']) Module['tolvaneWake'](1);
});
// clang-format on

bool HostWait(int timeoutMs) {
    return tolvane_page_wait(timeoutMs) != 0;
}

bool MessagesWaiting() {
    return !ThePage().queue.empty();
}

void Post(Message m) {
    web::ToLayer(&m);
    ThePage().queue.push_back(m);
    tolvane_page_wake();
}

Message Of(Message::Type type) {
    Message m;
    m.type = type;
    return m;
}

// The pointer to canvas pixel `at`: a move when it moved; leaving the canvas is a move there
// and the window left.
void MoveTo(gfx::Point at) {
    Page& p = ThePage();
    const gfx::Point size = web::CanvasSize();
    const bool inside = at.x >= 0 && at.y >= 0 && at.x < size.x && at.y < size.y;
    if (!inside && !p.mouseInside) {
        return;
    }
    if (at.x != p.mouse.x || at.y != p.mouse.y) {
        p.mouse = at;
        Message m = Of(Message::Type::MouseMove);
        m.at = at;
        Post(m);
    }
    if (!inside) {
        p.mouseInside = false;
        Post(Of(Message::Type::MouseLeft));
    } else {
        p.mouseInside = true;
    }
}

// The event's place on the canvas in canvas pixels: the canvas is shown enlarged (page.html).
gfx::Point CanvasPoint(const EmscriptenMouseEvent& e) {
    double cssW = 0, cssH = 0;
    emscripten_get_element_css_size(kCanvas, &cssW, &cssH);
    const gfx::Point size = web::CanvasSize();
    if (cssW <= 0 || cssH <= 0) {
        return {static_cast<int>(e.targetX), static_cast<int>(e.targetY)};
    }
    return {static_cast<int>(static_cast<double>(e.targetX) * (size.x / cssW)),
            static_cast<int>(static_cast<double>(e.targetY) * (size.y / cssH))};
}

EM_BOOL OnMouseMove(int /*type*/, const EmscriptenMouseEvent* e, void* /*data*/) {
    MoveTo(CanvasPoint(*e));
    return EM_FALSE;
}

EM_BOOL OnMouseFocus(int type, const EmscriptenMouseEvent* e, void* /*data*/) {
    MoveTo(CanvasPoint(*e));
    Page& p = ThePage();
    if (type == EMSCRIPTEN_EVENT_MOUSELEAVE && p.mouseInside) {
        p.mouseInside = false;
        Post(Of(Message::Type::MouseLeft));
    } else if (type == EMSCRIPTEN_EVENT_MOUSEENTER) {
        p.mouseInside = true;
    }
    return EM_TRUE;
}

// A press or release at the last pointer position; the middle button is nobody's. A release
// off the canvas, after the pointer left it, names no window.
EM_BOOL OnButton(int type, const EmscriptenMouseEvent* e, void* /*data*/) {
    if (e->button != 0 && e->button != 2) {
        return EM_FALSE;
    }
    Page& p = ThePage();
    const bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
    const unsigned bit = 1u << e->button;
    if (down == ((p.buttons & bit) != 0)) {
        return EM_FALSE;  // a release whose press the canvas never had
    }
    p.buttons ^= bit;
    const gfx::Point size = web::CanvasSize();
    if (down && p.mouse.x >= 0 && p.mouse.y >= 0 && p.mouse.x < size.x && p.mouse.y < size.y) {
        p.mouseInside = true;
    }
    Message m = Of(Message::Type::Button);
    m.down = down;
    m.left = e->button == 0;
    m.at = p.mouse;
    if (p.mouseInside) {
        Post(m);
    } else {
        p.queue.push_back(m);
        tolvane_page_wake();
    }
    // Off the canvas the browser keeps the event for the rest of the page.
    double cssW = 0, cssH = 0;
    emscripten_get_element_css_size(kCanvas, &cssW, &cssH);
    return e->targetX >= 0 && e->targetY >= 0 && e->targetX < cssW && e->targetY < cssH;
}

// A notch is 100 pixels, 3 lines or 1/80 of a page of the browser's scrolling; the fractions
// add up while the direction stays.
EM_BOOL OnWheel(int /*type*/, const EmscriptenWheelEvent* e, void* /*data*/) {
    Page& p = ThePage();
    p.mouseInside = true;
    double notches = -e->deltaY;
    switch (e->deltaMode) {
        case DOM_DELTA_PIXEL:
            notches /= 100;
            break;
        case DOM_DELTA_LINE:
            notches /= 3;
            break;
        case DOM_DELTA_PAGE:
            notches *= 80;
            break;
        default:
            break;
    }
    const auto y = static_cast<float>(notches);
    if (y != 0) {
        if ((y > 0 && p.wheel < 0) || (y < 0 && p.wheel > 0)) {
            p.wheel = 0;
        }
        p.wheel += y;
        const int whole = static_cast<int>(p.wheel > 0 ? std::floor(p.wheel) : std::ceil(p.wheel));
        p.wheel -= static_cast<float>(whole);
        if (whole != 0) {
            Message m = Of(Message::Type::Wheel);
            m.notches = whole;
            Post(m);
        }
    }
    return EM_TRUE;
}

// DOM key codes; a key on the number pad is its digit, not an arrow.
EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void* /*data*/) {
    if (type != EMSCRIPTEN_EVENT_KEYDOWN) {
        return EM_TRUE;  // the browser's own use of a key is never wanted
    }
    Message m = Of(Message::Type::KeyDown);
    m.alt = e->altKey != 0;
    m.shift = e->shiftKey != 0;
    const bool pad = e->location == DOM_KEY_LOCATION_NUMPAD;
    const unsigned long code = e->keyCode;
    if (code == 27) {
        m.key = Key::Escape;
    } else if (code == 13) {
        m.key = Key::Enter;
    } else if (code == 115) {
        m.key = Key::F4;
    } else if (code == 121) {
        m.key = Key::F10;
    } else if (code == 32) {
        m.key = Key::Space;
    } else if (code == 93) {
        m.key = Key::Application;
    } else if (code == 38 && !pad) {
        m.key = Key::Up;
    } else if (code == 40 && !pad) {
        m.key = Key::Down;
    } else if (code >= 65 && code <= 90) {
        m.key = Key::Letter;
        m.letter = static_cast<char>('a' + (code - 65));
    }
    Post(m);
    return EM_TRUE;
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent* /*e*/, void* /*data*/) {
    Page& p = ThePage();
    const bool focused = type == EMSCRIPTEN_EVENT_FOCUS;
    if (p.focused && !focused) {
        Post(Of(Message::Type::FocusLost));
    }
    p.focused = focused;
    return EM_FALSE;
}

// A tab brought back shows its picture again.
EM_BOOL OnVisibility(int /*type*/, const EmscriptenVisibilityChangeEvent* e, void* /*data*/) {
    Page& p = ThePage();
    if (p.hidden && !e->hidden) {
        Post(Of(Message::Type::Exposed));
    }
    p.hidden = e->hidden != 0;
    return EM_FALSE;
}

void Listen(bool on) {
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    const char* document = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
    emscripten_set_mousemove_callback(kCanvas, nullptr, EM_FALSE, on ? OnMouseMove : nullptr);
    emscripten_set_mousedown_callback(kCanvas, nullptr, EM_FALSE, on ? OnButton : nullptr);
    emscripten_set_mouseup_callback(document, nullptr, EM_FALSE, on ? OnButton : nullptr);
    emscripten_set_mouseenter_callback(kCanvas, nullptr, EM_FALSE, on ? OnMouseFocus : nullptr);
    emscripten_set_mouseleave_callback(kCanvas, nullptr, EM_FALSE, on ? OnMouseFocus : nullptr);
    emscripten_set_wheel_callback(kCanvas, nullptr, EM_FALSE, on ? OnWheel : nullptr);
    emscripten_set_focus_callback(window, nullptr, EM_FALSE, on ? OnFocus : nullptr);
    emscripten_set_blur_callback(window, nullptr, EM_FALSE, on ? OnFocus : nullptr);
    emscripten_set_keydown_callback(window, nullptr, EM_FALSE, on ? OnKey : nullptr);
    emscripten_set_keyup_callback(window, nullptr, EM_FALSE, on ? OnKey : nullptr);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, on ? OnVisibility : nullptr);
}

}  // namespace

bool InitVideo(std::string* /*error*/) {
    if (IsVideoReady()) {
        return true;
    }
    ThePage() = Page{};
    Listen(true);
    sys::coop::SetHostWait(&HostWait);
    backend::EnterUiThread();
    return true;
}

void ShutdownVideo() {
    if (!backend::LeaveUiThread()) {
        return;
    }
    sys::coop::SetHostWait(nullptr);
    Listen(false);
    ThePage().queue.clear();
}

// The canvas never goes away while the page stands.
bool DisplayLost() {
    return false;
}

void ReportFailure(const std::string& line, const std::string& /*sentence*/) {
    std::fprintf(stderr, "tolvane: %s\n", line.c_str());
}

bool backend::PollMessage(Message* message) {
    Page& p = ThePage();
    if (p.queue.empty()) {
        return false;
    }
    *message = p.queue.front();
    p.queue.pop_front();
    return true;
}

bool backend::PostWake(std::uint32_t windowId) {
    Message m = Of(Message::Type::Wake);
    m.windowId = windowId;
    ThePage().queue.push_back(m);
    tolvane_page_wake();
    return true;
}

// The other fibers run while this one waits; a wake-up they post is a message like any.
void backend::WaitForMessages(int timeoutMs) {
    using sys::coop::Clock;
    const Clock::time_point deadline = timeoutMs < 0
                                           ? Clock::time_point::max()
                                           : Clock::now() + std::chrono::milliseconds(timeoutMs);
    sys::coop::Suspend(deadline, &MessagesWaiting, true);
}

}  // namespace ui
