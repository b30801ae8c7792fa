// The SDL backend on a window system other than X (the browser's, say): nothing below SDL to
// look after.

#include "platform/window/sdl/X11.h"

namespace ui::x11 {

void InstallErrorHandlers() {}

unsigned long AdoptWindow(SDL_Window*) {
    return 0;
}

bool FrameExtents(unsigned long, int*, int*) {
    return false;
}

void ForgetWindow(unsigned long) {}

bool HasDisplay() {
    return false;
}

bool ConnectionLost() {
    return false;
}

void Wait(int, int) {}

void Reset() {}

}  // namespace ui::x11
