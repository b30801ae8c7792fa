#include "platform/window/MessageLoop.h"

#include <algorithm>
#include <vector>

#include "platform/window/Backend.h"
#include "platform/window/Video.h"

namespace ui {

namespace {

// Bottom to top. Touched on the user-interface thread only.
std::vector<Dialog*>& Running() {
    static std::vector<Dialog*> dialogs;
    return dialogs;
}

// A window the manager asked to close while a box was open over it: it is closed once it is
// on top again.
Dialog*& CloseAsked() {
    static Dialog* dialog = nullptr;
    return dialog;
}

}  // namespace

void MessageLoop::Push(Dialog* dialog) {
    Running().push_back(dialog);
}

void MessageLoop::Remove(Dialog* dialog) {
    std::erase(Running(), dialog);
    if (CloseAsked() == dialog) {
        CloseAsked() = nullptr;
    }
}

Dialog* MessageLoop::Top() {
    return Running().empty() ? nullptr : Running().back();
}

Dialog* MessageLoop::Find(std::uint32_t windowId) {
    if (windowId == 0) {
        return nullptr;
    }
    for (Dialog* d : Running()) {
        if (d->WindowId() == windowId) {
            return d;
        }
    }
    return nullptr;
}

bool MessageLoop::IsRunning(Dialog* dialog) {
    return std::find(Running().begin(), Running().end(), dialog) != Running().end() &&
           !dialog->IsEnding();
}

void MessageLoop::RunOnce(Dialog* owner, bool mayWait) {
    if (mayWait && !PaintPending() && !DisplayLost()) {
        backend::WaitForMessages(NextTimerMs());
    }
    Message message;
    while (!DisplayLost() && (owner == nullptr || !owner->IsEnding()) &&
           backend::PollMessage(&message)) {
        Dispatch(message);
    }
    if (DisplayLost()) {
        // No window can show anything any more: every dialog ends as if cancelled.
        CancelAll();
    }
    if (Dialog* top = Top(); top != nullptr && top == CloseAsked() && IsRunning(top)) {
        CloseAsked() = nullptr;
        Message close;
        close.type = Message::Type::Close;
        close.windowId = top->WindowId();
        top->HandleMessage(close);
    }
    // Paint before timers, as the desktop ranks its paint message above the timer message.
    PaintAll();
    FireTimers();
}

void MessageLoop::CancelAll() {
    Message quit;
    quit.type = Message::Type::Quit;
    const std::vector<Dialog*> dialogs = Running();
    for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it) {
        if (IsRunning(*it)) {
            (*it)->HandleMessage(quit);
        }
    }
}

void MessageLoop::Dispatch(const Message& message) {
    using Type = Message::Type;
    switch (message.type) {
        case Type::None:
            return;
        case Type::Wake:
        case Type::Exposed:
        case Type::Restored:
        case Type::FocusLost:
        case Type::MouseLeft:
            // Messages about one window, whether or not it takes input.
            if (Dialog* d = Find(message.windowId)) {
                d->HandleMessage(message);
            }
            return;
        case Type::Close:
            CloseWindow(Find(message.windowId), message);
            return;
        case Type::Quit:
            // An interrupt or a session ending: every running dialog is cancelled.
            CancelAll();
            return;
        case Type::KeyDown:
        case Type::MouseMove:
        case Type::Button:
        case Type::Wheel:
            break;
    }
    Dialog* top = Top();
    if (top == nullptr || top->IsEnding()) {
        return;
    }
    // The keyboard belongs to the topmost dialog whichever of ours has the focus; the mouse
    // only over its own window.
    Dialog* to = Find(message.windowId);
    if (message.type == Type::KeyDown ? to != nullptr : to == top) {
        top->HandleMessage(message);
    }
}

void MessageLoop::CloseWindow(Dialog* d, const Message& close) {
    if (d == nullptr || d->IsEnding()) {
        return;
    }
    if (d == Top()) {
        d->HandleMessage(close);
        return;
    }
    // The manager closes the whole window: the boxes open over it end first, as cancelled,
    // and the window itself is asked once it is on top again.
    CloseAsked() = d;
    Message quit;
    quit.type = Message::Type::Quit;
    const std::vector<Dialog*> dialogs = Running();
    for (auto it = dialogs.rbegin(); it != dialogs.rend() && *it != d; ++it) {
        if (IsRunning(*it)) {
            (*it)->HandleMessage(quit);
        }
    }
}

void MessageLoop::FireTimers() {
    const auto now = Timers::Clock::now();
    const std::vector<Dialog*> dialogs = Running();
    for (Dialog* d : dialogs) {
        if (IsRunning(d)) {
            d->FireTimers(now);
        }
    }
}

void MessageLoop::PaintAll() {
    const std::vector<Dialog*> dialogs = Running();
    for (Dialog* d : dialogs) {
        if (IsRunning(d)) {
            d->PaintAndPresent();
        }
    }
}

bool MessageLoop::PaintPending() {
    for (Dialog* d : Running()) {
        if (!d->IsEnding() && d->NeedsPaint()) {
            return true;
        }
    }
    return false;
}

int MessageLoop::NextTimerMs() {
    const auto now = Timers::Clock::now();
    long long best = -1;
    for (Dialog* d : Running()) {
        if (d->IsEnding()) {
            continue;
        }
        const long long ms = d->MsUntilNextTimer(now);
        if (ms >= 0 && (best < 0 || ms < best)) {
            best = ms;
        }
    }
    return static_cast<int>(best);
}

}  // namespace ui
