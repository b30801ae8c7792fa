#pragma once

namespace sys {

// What a worker thread and its binding need of the window that owns them.
class OwnerWindow {
public:
    virtual ~OwnerWindow() = default;
    // Marks the whole client area for repainting, with or without erasing it to the dialog's
    // face colour first. Safe from any thread; does nothing once the window has closed.
    virtual void Invalidate(bool erase) = 0;
    // Enables or disables the control with that id; false when there is no such control.
    virtual bool EnableControl(int id, bool enable) = 0;
    // Dispatches every message waiting for the calling thread, as the modal loop would.
    // Only the window's own thread has messages; on any other thread this does nothing.
    virtual void PumpMessages() = 0;
};

}  // namespace sys
