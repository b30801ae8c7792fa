#include "platform/window/MessageLoop.h"

#include <algorithm>
#include <vector>

#include "platform/window/Presentation.h"
#include "platform/window/Video.h"

namespace ui {

namespace {

// Bottom to top. Touched on the user-interface thread only.
std::vector<Dialog*>& Running() {
    static std::vector<Dialog*> dialogs;
    return dialogs;
}

constexpr int kWheelDelta = 120;

}  // namespace

void MessageLoop::Push(Dialog* dialog) {
    Running().push_back(dialog);
}

void MessageLoop::Remove(Dialog* dialog) {
    std::erase(Running(), dialog);
}

Dialog* MessageLoop::Top() {
    return Running().empty() ? nullptr : Running().back();
}

Dialog* MessageLoop::Find(Uint32 windowId) {
    if (windowId == 0) {
        return nullptr;
    }
    for (Dialog* d : Running()) {
        if (d->windowId_.load() == windowId) {
            return d;
        }
    }
    return nullptr;
}

void MessageLoop::RunOnce(Dialog* owner, bool mayWait) {
    if (mayWait && !PaintPending() && !DisplayLost()) {
        detail::WaitForEvents(NextTimerMs());
    }
    SDL_Event event;
    while (!DisplayLost() && (owner == nullptr || !owner->ended_) && SDL_PollEvent(&event) == 1) {
        Dispatch(event);
    }
    if (DisplayLost()) {
        // No window can show anything any more: every dialog ends as if cancelled.
        CancelAll();
    }
    // Paint before timers, as the desktop ranks its paint message above the timer message.
    PaintAll();
    FireTimers();
}

void MessageLoop::CancelAll() {
    const std::vector<Dialog*> dialogs = Running();
    for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it) {
        if (std::find(Running().begin(), Running().end(), *it) != Running().end() &&
            !(*it)->ended_) {
            (*it)->OnCancel();
        }
    }
}

void MessageLoop::Dispatch(const SDL_Event& event) {
    if (event.type == detail::WakeEventType()) {
        // The invalidation it announces is painted at the end of this pass.
        if (Dialog* d = Find(event.user.windowID)) {
            d->wakePending_.store(false);
        }
        return;
    }
    Dialog* top = Top();
    switch (event.type) {
        case SDL_QUIT:
            // An interrupt or a session ending: every running dialog is cancelled.
            CancelAll();
            return;
        case SDL_WINDOWEVENT:
            DispatchWindowEvent(event.window);
            return;
        default:
            break;
    }
    if (top == nullptr || top->ended_) {
        return;
    }
    switch (event.type) {
        case SDL_KEYDOWN:
            // The keyboard belongs to the topmost dialog whichever of ours has the focus.
            if (Find(event.key.windowID) != nullptr) {
                top->HandleKey(event.key.keysym.sym, event.key.keysym.mod);
            }
            break;
        case SDL_MOUSEMOTION:
            if (Find(event.motion.windowID) == top) {
                const Geometry& g = top->presentation_->GetGeometry();
                top->HandleMouseMove(g.ToClient({event.motion.x, event.motion.y}));
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (Find(event.button.windowID) == top && (event.button.button == SDL_BUTTON_LEFT ||
                                                       event.button.button == SDL_BUTTON_RIGHT)) {
                const Geometry& g = top->presentation_->GetGeometry();
                top->HandleButton(event.type == SDL_MOUSEBUTTONDOWN,
                                  event.button.button == SDL_BUTTON_LEFT,
                                  g.ToClient({event.button.x, event.button.y}));
            }
            break;
        case SDL_MOUSEWHEEL:
            if (Find(event.wheel.windowID) == top && !top->menu_.IsOpen() && event.wheel.y != 0) {
                const int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y
                                                                                    : event.wheel.y;
                top->OnMouseWheel(notches * kWheelDelta, top->mouse_.x, top->mouse_.y);
            }
            break;
        default:
            break;
    }
}

void MessageLoop::DispatchWindowEvent(const SDL_WindowEvent& event) {
    Dialog* d = Find(event.windowID);
    if (d == nullptr) {
        return;
    }
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            d->needsPresent_ = true;
            break;
        case SDL_WINDOWEVENT_RESTORED:
            // Whatever was painted while minimised is not the window's picture.
            d->Invalidate(true);
            d->needsPresent_ = true;
            break;
        case SDL_WINDOWEVENT_CLOSE:
            // A window under a modal box keeps its close box to itself until the box is gone.
            if (d == Top() && !d->ended_) {
                d->OnSysCommand(SC_CLOSE);
            }
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (d->menu_.IsOpen()) {
                d->menu_.Close();
                d->needsPresent_ = true;
            }
            break;
        case SDL_WINDOWEVENT_LEAVE:
            if (d->hotButton_ != 0) {
                d->hotButton_ = 0;
                d->Invalidate(false);
            }
            break;
        default:
            break;
    }
}

void MessageLoop::FireTimers() {
    const auto now = std::chrono::steady_clock::now();
    const std::vector<Dialog*> dialogs = Running();
    for (Dialog* d : dialogs) {
        std::vector<int> due;
        for (const Dialog::Timer& t : d->timers_) {
            if (t.due <= now) {
                due.push_back(t.id);
            }
        }
        for (int id : due) {
            // A handler may have ended the dialog, closed it, or killed or reset the timer.
            if (std::find(Running().begin(), Running().end(), d) == Running().end() || d->ended_) {
                break;
            }
            auto it = std::find_if(d->timers_.begin(), d->timers_.end(),
                                   [id](const Dialog::Timer& t) { return t.id == id; });
            if (it == d->timers_.end() || it->due > now) {
                continue;
            }
            // One tick per pass however late the loop is, as desktop timers coalesce.
            it->due += std::chrono::milliseconds(it->periodMs);
            if (it->due <= now) {
                it->due = now + std::chrono::milliseconds(it->periodMs);
            }
            d->OnTimer(id);
        }
    }
}

void MessageLoop::PaintAll() {
    const std::vector<Dialog*> dialogs = Running();
    for (Dialog* d : dialogs) {
        if (std::find(Running().begin(), Running().end(), d) == Running().end() || d->ended_) {
            continue;
        }
        d->Paint();
        if (d->needsPresent_) {
            d->Present();
        }
    }
}

bool MessageLoop::PaintPending() {
    for (Dialog* d : Running()) {
        if (!d->ended_ && (d->invalid_.load() || d->needsPresent_)) {
            return true;
        }
    }
    return false;
}

int MessageLoop::NextTimerMs() {
    const auto now = std::chrono::steady_clock::now();
    long long best = -1;
    for (Dialog* d : Running()) {
        if (d->ended_) {
            continue;
        }
        for (const Dialog::Timer& t : d->timers_) {
            const long long ms = std::max<long long>(
                0, std::chrono::ceil<std::chrono::milliseconds>(t.due - now).count());
            if (best < 0 || ms < best) {
                best = ms;
            }
        }
    }
    return static_cast<int>(best);
}

}  // namespace ui
