#pragma once

#include "platform/window/Dialog.h"
#include "platform/window/Message.h"

namespace ui {

// The user-interface thread's message loop over every running dialog. Input goes to the
// topmost dialog only (a modal box holds its owner's input back); paints, presentation and
// timers serve all of them. Everything here runs on the user-interface thread.
class MessageLoop {
public:
    static void Push(Dialog* dialog);
    static void Remove(Dialog* dialog);
    // The running dialog that takes input, or nullptr.
    static Dialog* Top();

    // One pass: optionally wait for an event or the next timer, dispatch every waiting event
    // (stopping early once `owner` has ended), paint and present, fire due timers.
    static void RunOnce(Dialog* owner, bool mayWait);
    // Hands one message to the dialog it is for, as a pass does: input to the topmost dialog
    // only. For a driver that plays input without a window system's queue.
    static void Dispatch(const Message& message);

private:
    static Dialog* Find(std::uint32_t windowId);
    static bool IsRunning(Dialog* dialog);
    // The close box of `dialog`'s window (null: not ours).
    static void CloseWindow(Dialog* dialog, const Message& close);
    static void CancelAll();
    static void FireTimers();
    static void PaintAll();
    static bool PaintPending();
    // Milliseconds until the next timer is due (0 when one is due), -1 without timers.
    static int NextTimerMs();
};

}  // namespace ui
