// In a web page there is no X server: the window layer's X-specific work has nothing to do,
// and the message loop waits through SDL alone.

#include "platform/window/X11.h"

namespace ui::x11 {

void InstallErrorHandlers() {}

unsigned long AdoptWindow(SDL_Window* /*window*/) {
    return 0;
}

void ForgetWindow(unsigned long /*xid*/) {}

bool HasDisplay() {
    return false;
}

bool ConnectionLost() {
    return false;
}

void Wait(int /*wakeFd*/, int /*timeoutMs*/) {}

void Reset() {}

}  // namespace ui::x11
