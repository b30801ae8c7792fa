#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Types.h"
#include "platform/system/OwnerWindow.h"
#include "platform/window/SystemMenu.h"

namespace ui {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// The colour a dialog's client area is erased to.
constexpr gfx::Colour kDialogFace = 0xF0F0F0;

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
    bool IsEnding() const { return ended_; }
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
    bool IsOpen() const { return open_.load(); }
    bool IsSystemMenuOpen() const { return menu_.IsOpen(); }
    // The running dialog that takes input (the topmost modal one), or nullptr. UI thread only.
    static Dialog* GetActive();

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
    struct Control {
        int id = 0;
        std::string kind;  // "static", "button", "defbutton", "icon"
        std::string text;
        gfx::Rect rect;
        bool visible = false;
        bool enabled = false;
        bool IsButton() const { return kind == "button" || kind == "defbutton"; }
    };
    struct Timer {
        int id = 0;
        int periodMs = 0;
        std::chrono::steady_clock::time_point due;
    };
    friend class MessageLoop;

    Control* FindControl(int id);
    const Control* FindControl(int id) const;
    const Control* ButtonAt(gfx::Point p) const;
    void DrawControl(gfx::DeviceContext& dc, const Control& c) const;

    // Message handling, on the UI thread.
    void HandleMouseMove(gfx::Point p);
    void HandleButton(bool down, bool left, gfx::Point p);
    void HandleKey(int key, int mods);
    void HandleMenuKey(int key);
    void OpenSystemMenu(gfx::Point at);
    void ChooseMenuItem(int index);
    void Paint();
    void Present();

    const int templateId_;
    Dialog* parent_;
    std::string caption_;
    std::string fontFace_;
    int fontTenths_ = 90;
    std::vector<Control> controls_;
    std::vector<Timer> timers_;
    SystemMenu menu_;
    int iconId_ = 0;
    gfx::Bitmap icon_;

    std::unique_ptr<Presentation> presentation_;
    gfx::Bitmap client_;
    gfx::Bitmap frame_;  // the client surface with the open menu drawn over it
    std::string error_;
    int result_ = 0;
    bool ended_ = false;
    bool running_ = false;
    bool needsPresent_ = false;
    bool presentFailing_ = false;
    bool painting_ = false;
    gfx::Point mouse_{-1, -1};
    int pressedButton_ = 0;  // id of the button held down with the mouse, 0 for none
    int hotButton_ = 0;      // id of the button under the mouse

    // Shared with other threads through Invalidate.
    std::atomic<bool> open_{false};
    std::atomic<std::uint32_t> windowId_{0};
    std::atomic<bool> invalid_{false};
    std::atomic<bool> erase_{false};
    std::atomic<bool> wakePending_{false};
};

}  // namespace ui
