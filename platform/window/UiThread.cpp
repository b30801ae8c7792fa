// Which thread is the user-interface thread, for every backend: the one whose InitVideo
// opened the display.

#include <atomic>

#include "platform/system/Thread.h"
#include "platform/window/Backend.h"
#include "platform/window/Video.h"

namespace ui {

namespace {

std::atomic<bool> g_ready{false};
std::atomic<sys::ThreadId> g_uiThread{};

}  // namespace

void backend::EnterUiThread() {
    g_uiThread.store(sys::CurrentThreadId());
    g_ready.store(true);
}

bool backend::LeaveUiThread() {
    if (!g_ready.exchange(false)) {
        return false;
    }
    g_uiThread.store(sys::ThreadId{});
    return true;
}

bool IsVideoReady() {
    return g_ready.load();
}

bool IsUiThread() {
    return g_ready.load() && g_uiThread.load() == sys::CurrentThreadId();
}

}  // namespace ui
