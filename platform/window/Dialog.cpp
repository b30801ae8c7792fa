#include "platform/window/Dialog.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/system/Resources.h"
#include "platform/window/Backend.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/Presentation.h"
#include "platform/window/Video.h"

namespace ui {

namespace {

// One line on stderr under the program's name, as the program's own messages read.
void ReportError(const std::string& message) {
#ifdef _WIN32
    const char* program = "tolvane";  // the C library keeps no short name there
#else
    const char* program = program_invocation_short_name;
#endif
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
}

}  // namespace

Dialog::Dialog(int templateId, Dialog* parent) : templateId_(templateId), parent_(parent) {
    const sys::DialogTemplate* t = sys::FindDialog(templateId);
    if (t == nullptr) {
        return;
    }
    caption_ = t->caption;
    font_ = {t->fontFace, t->fontPoints * 10};
    const gfx::Rect client = sys::DialogUnitsToPixels(0, 0, t->cx, t->cy);
    client_ = gfx::Bitmap(std::max(client.right, 1), std::max(client.bottom, 1), kDialogFace);
    for (const sys::ControlTemplate& c : t->controls) {
        controls_.push_back({c.id, c.kind, c.text, c.icon,
                             sys::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy), c.visible, c.enabled});
    }
}

Dialog::~Dialog() = default;

// ---- Lifecycle ------------------------------------------------------------------------------

int Dialog::DoModal() {
    error_.clear();
    if (!CanOpen()) {
        return -1;
    }
    Dialog* owner = Owner();
    if (!Open(Place(owner), owner)) {
        return -1;
    }
    Run();
    Close(owner);
    return result_;
}

bool Dialog::CanOpen() {
    if (!IsVideoReady()) {
        error_ = "there is no display connection (InitVideo has not succeeded)";
    } else if (DisplayLost()) {
        error_ = "the connection to the display has been lost";
    } else if (!IsUiThread()) {
        error_ = "a dialog runs on the user-interface thread only";
    } else if (state_.load() != State::Closed) {
        error_ = "the dialog is running already";
    } else if (sys::FindDialog(templateId_) == nullptr) {
        error_ = "there is no dialog template " + std::to_string(templateId_);
    }
    return error_.empty();
}

Dialog* Dialog::Owner() const {
    Dialog* owner = parent_ != nullptr ? parent_ : MessageLoop::Top();
    return owner != nullptr && owner->presentation_ ? owner : nullptr;
}

Dialog::Placement Dialog::Place(const Dialog* owner, gfx::Point frame) const {
    int scale = 1;
    gfx::Rect usable;
    const bool knowsDisplay = UsableDisplayBounds(&usable);
    if (owner != nullptr) {
        // A box opened over a window shares its scale and sits centred over it.
        scale = owner->presentation_->GetGeometry().Scale();
    } else if (knowsDisplay) {
        scale =
            IntegerScale(client_.Width(), client_.Height(), frame, usable.Width(), usable.Height());
    }
    Placement placement{Geometry(client_.Width(), client_.Height(), scale), std::nullopt};
    if (knowsDisplay) {
        const gfx::Rect around = owner != nullptr ? owner->presentation_->GetScreenRect() : usable;
        placement.at = PlaceWindow(placement.geometry.WindowSize(), around, usable);
    }
    return placement;
}

bool Dialog::Open(const Placement& placement, Dialog* owner) {
    auto presentation = std::make_unique<Presentation>();
    if (!presentation->Create(caption_, placement.geometry, placement.at, &error_)) {
        return false;
    }
    // The frame is known once the window exists: a scale that the frame makes too large steps
    // down.
    if (owner == nullptr) {
        const Placement framed = Place(owner, presentation->FrameSize());
        if (framed.geometry.Scale() != placement.geometry.Scale() &&
            !presentation->Create(caption_, framed.geometry, framed.at, &error_)) {
            return false;
        }
    }
    presentation_ = std::move(presentation);
    if (owner != nullptr) {
        presentation_->SetModalFor(*owner->presentation_);
    }
    if (!icon_.IsNull()) {
        presentation_->SetIcon(sys::FindBitmapData(iconId_));
    }
    result_ = IDCANCEL;
    pressedButton_ = hotButton_ = 0;
    keyboardTaken_ = false;
    mouse_ = {-1, -1};
    menu_.Close();
    windowId_.store(presentation_->WindowId());
    // A window opens invalidated with erase: its first paint shows the face colour wherever
    // the dialog draws nothing.
    erase_.store(true);
    invalid_.store(true);
    wakePending_.store(false);
    state_.store(State::Running);
    MessageLoop::Push(this);
    return true;
}

void Dialog::Run() {
    OnInitDialog();
    if (!IsEnding()) {
        presentation_->Show();
    }
    while (!IsEnding()) {
        MessageLoop::RunOnce(this, /*mayWait=*/true);
    }
    OnDestroy();
}

void Dialog::Close(Dialog* owner) {
    state_.store(State::Closed);
    windowId_.store(0);
    MessageLoop::Remove(this);
    timers_.Clear();
    menu_.Close();
    presentation_.reset();
    if (owner != nullptr && owner->presentation_ && !DisplayLost()) {
        // Without a window manager the keyboard focus would stay with the window just
        // destroyed, that is with nobody, until a click.
        owner->presentation_->Activate();
    }
}

Dialog* Dialog::GetActive() {
    return MessageLoop::Top();
}

void Dialog::EndDialog(int result) {
    result_ = result;
    State running = State::Running;
    state_.compare_exchange_strong(running, State::Ending);
}

// ---- Controls, timers, the system menu, the icon --------------------------------------------

Control* Dialog::FindControl(int id) {
    for (Control& c : controls_) {
        if (c.id == id) {
            return &c;
        }
    }
    return nullptr;
}

const Control* Dialog::FindControl(int id) const {
    return const_cast<Dialog*>(this)->FindControl(id);
}

gfx::Rect Dialog::GetControlRect(int id) const {
    const Control* c = FindControl(id);
    return c != nullptr ? c->rect : gfx::Rect{};
}

bool Dialog::IsControlEnabled(int id) const {
    const Control* c = FindControl(id);
    return c != nullptr && c->enabled;
}

bool Dialog::EnableControl(int id, bool enable) {
    Control* c = FindControl(id);
    if (c == nullptr) {
        return false;
    }
    if (c->enabled != enable) {
        c->enabled = enable;
        if (c->visible) {
            Invalidate(false);
        }
    }
    return true;
}

void Dialog::SetTimer(int id, int ms) {
    timers_.Set(id, ms, Timers::Clock::now());
}

void Dialog::KillTimer(int id) {
    timers_.Kill(id);
}

void Dialog::FireTimers(Timers::Clock::time_point now) {
    timers_.Fire(
        now, [this] { return state_.load() == State::Running; }, [this](int id) { OnTimer(id); });
}

void Dialog::AppendSystemMenuItem(int cmd, const std::string& text) {
    menu_.AppendSeparator();
    menu_.Append(cmd, text);
}

bool Dialog::SetIcon(int bitmapId) {
    gfx::Bitmap icon;
    if (!sys::LoadBitmap(bitmapId, icon)) {
        return false;
    }
    iconId_ = bitmapId;
    icon_ = std::move(icon);
    if (presentation_) {
        presentation_->SetIcon(sys::FindBitmapData(iconId_));
    }
    return true;
}

bool Dialog::IsIconic() const {
    return presentation_ && presentation_->IsMinimized();
}

// ---- Invalidation, painting and presentation ------------------------------------------------

void Dialog::Invalidate(bool erase) {
    if (!IsOpen()) {
        return;
    }
    // Erase is set before the mark, so a paint that takes the mark also sees the erase.
    if (erase) {
        erase_.store(true);
    }
    invalid_.store(true);
    // The UI thread paints at the end of the message it is handling; another thread wakes it,
    // once per batch of invalidations.
    if (!IsUiThread() && !wakePending_.exchange(true) && !backend::PostWake(windowId_.load())) {
        wakePending_.store(false);
    }
}

void Dialog::PumpMessages() {
    if (IsUiThread()) {
        MessageLoop::RunOnce(nullptr, /*mayWait=*/false);
    }
}

void Dialog::OnPaint(gfx::DeviceContext& dc) {
    for (const Control& c : controls_) {
        if (c.visible) {
            PaintControl(dc, c, {hotButton_ == c.id, pressedButton_ == c.id}, font_);
        }
    }
}

void Dialog::PaintAndPresent() {
    // An open menu takes the keyboard, as a desktop's menus do, so that the manager's own
    // Alt+F4 reaches the menu and closes only it.
    if (const bool take = menu_.IsOpen(); take != keyboardTaken_ && presentation_) {
        presentation_->TakeKeyboard(take);
        keyboardTaken_ = take;
    }
    Paint();
    if (needsPresent_) {
        Present();
    }
}

void Dialog::Paint() {
    if (painting_ || !invalid_.exchange(false)) {
        return;
    }
    painting_ = true;
    if (erase_.exchange(false)) {
        client_.Fill(kDialogFace);
    }
    {
        gfx::DeviceContext dc;
        dc.SelectObject(&client_);
        OnPaint(dc);
    }
    painting_ = false;
    needsPresent_ = true;
}

void Dialog::Present() {
    needsPresent_ = false;
    if (!presentation_ || DisplayLost()) {
        return;
    }
    const gfx::Bitmap* shown = &client_;
    if (menu_.IsOpen()) {
        // The menu lies over the picture only on the screen; the client surface keeps the
        // dialog's own picture.
        frame_ = client_;
        gfx::DeviceContext dc;
        dc.SelectObject(&frame_);
        gfx::Font font(font_.tenths, font_.face);
        menu_.Draw(dc, font);
        shown = &frame_;
    }
    std::string error;
    if (!presentation_->Present(*shown, &error)) {
        // Said once when the picture stops reaching the screen, not at every frame.
        if (!presentFailing_) {
            ReportError("cannot show the picture of \"" + caption_ + "\": " + error);
        }
        presentFailing_ = true;
        error_ = error;
    } else {
        presentFailing_ = false;
    }
}

}  // namespace ui
