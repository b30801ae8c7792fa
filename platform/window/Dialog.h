#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Types.h"
#include "platform/system/OwnerWindow.h"
#include "platform/window/Controls.h"
#include "platform/window/Geometry.h"
#include "platform/window/Message.h"
#include "platform/window/SystemMenu.h"
#include "platform/window/Timers.h"

namespace ui {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

class Presentation;

// A modal dialog built from a dialog template (sys::FindDialog): its client size and its
// controls' rectangles come from the template's dialog units. Hidden controls are layout
// rectangles only; visible ones (static text, icon, push button) are drawn by the default
// OnPaint, and a visible, enabled button is clicked with the mouse (or, as the default
// button, with Enter).
//
// DoModal runs the window's message loop on the user-interface thread (see Video.h); every
// handler below is called there and nowhere else. While a dialog opened on top of this one
// runs, this one keeps painting and its timers keep firing; only its input is held back.
class Dialog : public sys::OwnerWindow {
public:
    // `parent` owns the window (a modal box stays above it). Without one, a dialog opened
    // while another runs is owned by the topmost running dialog.
    explicit Dialog(int templateId, Dialog* parent = nullptr);
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the window, calls OnInitDialog, shows it and dispatches its messages until
    // EndDialog. Returns the EndDialog result, or -1 when the window cannot be created (the
    // reason is in LastError()).
    int DoModal();
    void EndDialog(int result);
    // EndDialog has been called: the loop ends once the message being handled returns.
    bool IsEnding() const { return state_.load() == State::Ending; }
    const std::string& LastError() const { return error_; }

    // A control's rectangle in client pixels; empty for an id the dialog does not have.
    gfx::Rect GetControlRect(int id) const;
    gfx::Rect GetClientRect() const { return {0, 0, client_.Width(), client_.Height()}; }
    bool IsControlEnabled(int id) const;

    // Starts (or restarts) timer `id`: OnTimer(id) about every `ms` milliseconds until the
    // window closes or KillTimer.
    void SetTimer(int id, int ms);
    void KillTimer(int id);
    // Appends a separator and an item to the system menu; choosing it calls OnSysCommand(cmd).
    void AppendSystemMenuItem(int cmd, const std::string& text);
    // Sets the window's icon from a bitmap resource; false when there is no such bitmap.
    bool SetIcon(int bitmapId);
    bool IsIconic() const;

    // OwnerWindow: Invalidate is safe from any thread; the other two belong to the UI thread.
    void Invalidate(bool erase) override;
    bool EnableControl(int id, bool enable) override;
    void PumpMessages() override;

    // The picture the window shows, kept between paints. For tests and screenshots.
    const gfx::Bitmap& ClientSurface() const { return client_; }
    // The id SDL gives this window's events (0 while it is not open). For synthetic input.
    std::uint32_t WindowId() const { return windowId_.load(); }
    bool IsOpen() const { return state_.load() != State::Closed; }
    bool IsSystemMenuOpen() const { return menu_.IsOpen(); }
    // The running dialog that takes input (the topmost modal one), or nullptr. UI thread only.
    static Dialog* GetActive();

    // The message loop's entry points, on the UI thread (MessageLoop.cpp). A message about this
    // window: input (when it takes input), a wake-up, its window's state, or a quit.
    void HandleMessage(const Message& message);
    // Something waits to be painted or shown.
    bool NeedsPaint() const { return invalid_.load() || needsPresent_; }
    // Paints what is invalid and shows the picture when it has changed.
    void PaintAndPresent();
    // Fires the timers due at `now`; milliseconds until the next one (-1: none).
    void FireTimers(Timers::Clock::time_point now);
    long long MsUntilNextTimer(Timers::Clock::time_point now) const {
        return timers_.MsUntilNext(now);
    }

protected:
    virtual bool OnInitDialog() { return true; }
    // Draws into the client surface, which holds the previous picture (or the face colour
    // after an erase). The default draws the visible controls.
    virtual void OnPaint(gfx::DeviceContext& dc);
    virtual void OnLButtonDown(int /*x*/, int /*y*/) {}
    virtual void OnLButtonUp(int /*x*/, int /*y*/) {}
    virtual void OnMouseMove(int /*x*/, int /*y*/) {}
    // `delta` is 120 per wheel notch, positive away from the user.
    virtual void OnMouseWheel(int /*delta*/, int /*x*/, int /*y*/) {}
    virtual void OnTimer(int /*id*/) {}
    // The default closes the dialog on SC_CLOSE (as cancel) and ignores the rest.
    virtual void OnSysCommand(int id);
    // A button's command; the default maps IDOK to OnOK and IDCANCEL to OnCancel.
    virtual void OnCommand(int id);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Called once when the message loop has ended, while the window still exists.
    virtual void OnDestroy() {}

private:
    // Closed -> Running (DoModal) -> Ending (EndDialog) -> Closed (when DoModal returns).
    enum class State { Closed, Running, Ending };
    // Where and how large the window opens.
    struct Placement {
        Geometry geometry;
        std::optional<gfx::Point> at;  // centred without one
    };

    Control* FindControl(int id);
    const Control* FindControl(int id) const;
    const Control* ButtonAt(gfx::Point p) const;

    // DoModal's steps.
    bool CanOpen();
    Dialog* Owner() const;
    // Where a window opens, its frame `frame` large (Presentation::FrameSize) or unknown.
    Placement Place(const Dialog* owner, gfx::Point frame = {0, 0}) const;
    bool Open(const Placement& placement, Dialog* owner);
    void Run();
    void Close(Dialog* owner);

    // Message handling, on the UI thread (DialogInput.cpp).
    void HandleMouseMove(gfx::Point p);
    void HandleButton(bool down, bool left, gfx::Point p);
    void HandleKey(const Message& key);
    void HandleMenuKey(const Message& key);
    void OpenSystemMenu(gfx::Point at);
    void ChooseMenuItem(int index);
    void Paint();
    void Present();

    const int templateId_;
    Dialog* parent_;
    std::string caption_;
    DialogFont font_;
    std::vector<Control> controls_;
    Timers timers_;
    SystemMenu menu_;
    int iconId_ = 0;
    gfx::Bitmap icon_;

    std::unique_ptr<Presentation> presentation_;
    gfx::Bitmap client_;
    gfx::Bitmap frame_;  // the client surface with the open menu drawn over it
    std::string error_;
    int result_ = 0;
    bool needsPresent_ = false;
    bool presentFailing_ = false;
    bool painting_ = false;
    bool keyboardTaken_ = false;  // by the open menu
    gfx::Point mouse_{-1, -1};
    int pressedButton_ = 0;  // id of the button held down with the mouse, 0 for none
    int hotButton_ = 0;      // id of the button under the mouse

    // Shared with other threads through Invalidate.
    std::atomic<State> state_{State::Closed};
    std::atomic<std::uint32_t> windowId_{0};
    std::atomic<bool> invalid_{false};
    std::atomic<bool> erase_{false};
    std::atomic<bool> wakePending_{false};
};

}  // namespace ui
