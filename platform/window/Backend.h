#pragma once

#include <cstdint>

#include "platform/window/Message.h"

// What a window backend provides to the backend-neutral dialogs and message loop, besides
// the windows themselves (Presentation.h) and the display (Video.h). On SDL2 on the desktop
// and Windows (platform/window/sdl), on the browser's own API in the page (web/).
namespace ui::backend {

// Takes the next waiting event of the window system as a message (of type None for one that
// nobody here answers to). False when none is waiting. User-interface thread only.
bool PollMessage(Message* message);
// Blocks until an event arrives, PostWake is called or `timeoutMs` has passed (-1: no limit).
// Takes no event. User-interface thread only.
void WaitForMessages(int timeoutMs);
// Queues a Wake message for window `windowId` and ends the user-interface thread's wait.
// False when it cannot be queued. Safe from any thread.
bool PostWake(std::uint32_t windowId);

// The backend's InitVideo ends with EnterUiThread once the display is open: the calling thread
// becomes the user-interface thread (UiThread.cpp). Its ShutdownVideo begins with
// LeaveUiThread, which is false when no display was open.
void EnterUiThread();
bool LeaveUiThread();

}  // namespace ui::backend
