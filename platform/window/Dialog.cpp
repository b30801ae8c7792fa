#include "platform/window/Dialog.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/system/Resources.h"
#include "platform/window/MessageLoop.h"
#include "platform/window/Presentation.h"
#include "platform/window/Video.h"

namespace ui {

namespace {

// The desktop's minimum timer period.
constexpr int kMinTimerMs = 10;

struct ButtonLook {
    gfx::Colour face;
    gfx::Colour border;
    gfx::Colour text;
};

constexpr ButtonLook kButtonNormal{gfx::Rgb(225, 225, 225), gfx::Rgb(173, 173, 173), 0};
constexpr ButtonLook kButtonHot{gfx::Rgb(229, 241, 251), gfx::Rgb(0, 120, 215), 0};
constexpr ButtonLook kButtonPressed{gfx::Rgb(204, 228, 247), gfx::Rgb(0, 84, 153), 0};
constexpr ButtonLook kButtonDisabled{gfx::Rgb(204, 204, 204), gfx::Rgb(191, 191, 191),
                                     gfx::Rgb(131, 131, 131)};
constexpr gfx::Colour kDefaultBorder = gfx::Rgb(0, 120, 215);

// One line on stderr under the program's name, as the program's own messages read.
void ReportError(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
}

void Outline(gfx::DeviceContext& dc, const gfx::Rect& r, gfx::Colour colour) {
    gfx::Pen pen(1, colour);
    gfx::Pen* old = dc.SelectObject(&pen);
    dc.MoveTo(r.left, r.top);
    dc.LineTo(r.right - 1, r.top);
    dc.LineTo(r.right - 1, r.bottom - 1);
    dc.LineTo(r.left, r.bottom - 1);
    dc.LineTo(r.left, r.top);
    dc.SelectObject(old);
}

}  // namespace

Dialog::Dialog(int templateId, Dialog* parent) : templateId_(templateId), parent_(parent) {
    const sys::DialogTemplate* t = sys::FindDialog(templateId);
    if (t == nullptr) {
        return;
    }
    caption_ = t->caption;
    fontFace_ = t->fontFace;
    fontTenths_ = t->fontPoints * 10;
    const gfx::Rect client = sys::DialogUnitsToPixels(0, 0, t->cx, t->cy);
    client_ = gfx::Bitmap(std::max(client.right, 1), std::max(client.bottom, 1), kDialogFace);
    for (const sys::ControlTemplate& c : t->controls) {
        Control control;
        control.id = c.id;
        control.kind = c.kind;
        control.text = c.text;
        control.rect = sys::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy);
        control.visible = c.visible;
        control.enabled = c.enabled;
        controls_.push_back(std::move(control));
    }
}

Dialog::~Dialog() = default;

int Dialog::DoModal() {
    error_.clear();
    if (!IsVideoReady()) {
        error_ = "there is no display connection (InitVideo has not succeeded)";
        return -1;
    }
    if (DisplayLost()) {
        error_ = "the connection to the display has been lost";
        return -1;
    }
    if (!IsUiThread()) {
        error_ = "a dialog runs on the user-interface thread only";
        return -1;
    }
    if (running_) {
        error_ = "the dialog is running already";
        return -1;
    }
    if (sys::FindDialog(templateId_) == nullptr) {
        error_ = "there is no dialog template " + std::to_string(templateId_);
        return -1;
    }

    Dialog* owner = parent_ != nullptr ? parent_ : MessageLoop::Top();
    if (owner != nullptr && !owner->presentation_) {
        owner = nullptr;
    }
    int scale = 1;
    gfx::Rect usable;
    const bool knowsDisplay = UsableDisplayBounds(&usable);
    if (owner != nullptr) {
        // A box opened over a window shares its scale and sits centred over it.
        scale = owner->presentation_->GetGeometry().Scale();
    } else if (knowsDisplay) {
        scale = IntegerScale(client_.Width(), client_.Height(), usable.Width(), usable.Height());
    }
    const Geometry geometry(client_.Width(), client_.Height(), scale);
    int x = SDL_WINDOWPOS_CENTERED;
    int y = SDL_WINDOWPOS_CENTERED;
    if (knowsDisplay) {
        gfx::Rect around = usable;
        if (owner != nullptr) {
            around = owner->presentation_->GetScreenRect();
        }
        const gfx::Point at = PlaceWindow(geometry.WindowSize(), around, usable);
        x = at.x;
        y = at.y;
    }
    auto presentation = std::make_unique<Presentation>();
    if (!presentation->Create(caption_, geometry, x, y, &error_)) {
        return -1;
    }
    presentation_ = std::move(presentation);
    if (owner != nullptr) {
        presentation_->SetModalFor(*owner->presentation_);
    }
    if (!icon_.IsNull()) {
        presentation_->SetIcon(sys::FindBitmapData(iconId_));
    }

    result_ = IDCANCEL;
    ended_ = false;
    running_ = true;
    pressedButton_ = hotButton_ = 0;
    mouse_ = {-1, -1};
    menu_.Close();
    windowId_.store(presentation_->WindowId());
    // A window opens invalidated with erase: its first paint shows the face colour wherever
    // the dialog draws nothing.
    erase_.store(true);
    invalid_.store(true);
    wakePending_.store(false);
    open_.store(true);
    MessageLoop::Push(this);

    OnInitDialog();
    if (!ended_) {
        presentation_->Show();
    }
    while (!ended_) {
        MessageLoop::RunOnce(this, /*mayWait=*/true);
    }
    OnDestroy();

    open_.store(false);
    windowId_.store(0);
    MessageLoop::Remove(this);
    timers_.clear();
    menu_.Close();
    presentation_.reset();
    running_ = false;
    if (owner != nullptr && owner->presentation_ && !DisplayLost()) {
        // Without a window manager the keyboard focus would stay with the window just
        // destroyed, that is with nobody, until a click.
        owner->presentation_->Activate();
    }
    return result_;
}

Dialog* Dialog::GetActive() {
    return MessageLoop::Top();
}

void Dialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
}

Dialog::Control* Dialog::FindControl(int id) {
    for (Control& c : controls_) {
        if (c.id == id) {
            return &c;
        }
    }
    return nullptr;
}

const Dialog::Control* Dialog::FindControl(int id) const {
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
    const int period = std::max(ms, kMinTimerMs);
    const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(period);
    for (Timer& t : timers_) {
        if (t.id == id) {
            t.periodMs = period;
            t.due = due;
            return;
        }
    }
    timers_.push_back({id, period, due});
}

void Dialog::KillTimer(int id) {
    std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
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

void Dialog::Invalidate(bool erase) {
    if (!open_.load()) {
        return;
    }
    // Erase is set before the mark, so a paint that takes the mark also sees the erase.
    if (erase) {
        erase_.store(true);
    }
    invalid_.store(true);
    // The UI thread paints at the end of the message it is handling; another thread wakes it,
    // once per batch of invalidations.
    if (!IsUiThread() && !wakePending_.exchange(true)) {
        SDL_Event wake{};
        wake.type = detail::WakeEventType();
        wake.user.windowID = windowId_.load();
        if (SDL_PushEvent(&wake) == 1) {
            detail::WakeUiThread();
        } else {
            wakePending_.store(false);
        }
    }
}

void Dialog::PumpMessages() {
    if (IsUiThread()) {
        MessageLoop::RunOnce(nullptr, /*mayWait=*/false);
    }
}

void Dialog::OnSysCommand(int id) {
    if ((id & 0xFFF0) == SC_CLOSE) {
        OnCancel();
    }
}

void Dialog::OnCommand(int id) {
    if (id == IDOK) {
        OnOK();
    } else if (id == IDCANCEL) {
        OnCancel();
    }
}

// ---- Painting -------------------------------------------------------------------------------

void Dialog::OnPaint(gfx::DeviceContext& dc) {
    for (const Control& c : controls_) {
        if (c.visible) {
            DrawControl(dc, c);
        }
    }
}

void Dialog::DrawControl(gfx::DeviceContext& dc, const Control& c) const {
    if (c.kind == "icon") {
        gfx::Bitmap image;
        if (sys::LoadBitmap(std::atoi(c.text.c_str()), image)) {
            gfx::DeviceContext src;
            src.SelectObject(&image);
            // An icon control takes the size of its icon.
            dc.BitBlt(c.rect.left, c.rect.top, image.Width(), image.Height(), &src, 0, 0,
                      gfx::SRCCOPY);
        }
        return;
    }
    gfx::Font font(fontTenths_, fontFace_);
    gfx::Font* oldFont = dc.SelectObject(&font);
    if (c.IsButton()) {
        ButtonLook look = kButtonNormal;
        if (!c.enabled) {
            look = kButtonDisabled;
        } else if (pressedButton_ == c.id && hotButton_ == c.id) {
            look = kButtonPressed;
        } else if (hotButton_ == c.id || pressedButton_ == c.id) {
            look = kButtonHot;
        } else if (c.kind == "defbutton") {
            look.border = kDefaultBorder;
        }
        gfx::Pen pen(1, look.border);
        gfx::Brush brush(look.face);
        gfx::Pen* oldPen = dc.SelectObject(&pen);
        gfx::Brush* oldBrush = dc.SelectObject(&brush);
        dc.Rectangle(c.rect);
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
        if (c.kind == "defbutton" && c.enabled) {
            // The default button's double edge.
            Outline(dc, {c.rect.left + 1, c.rect.top + 1, c.rect.right - 1, c.rect.bottom - 1},
                    look.border);
        }
        const int oldMode = dc.SetBkMode(gfx::TRANSPARENT);
        const gfx::Colour oldColour = dc.SetTextColor(look.text);
        dc.DrawText(c.text, c.rect, gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
        dc.SetTextColor(oldColour);
        dc.SetBkMode(oldMode);
    } else {
        // Static text paints its own background, so drawing it again changes nothing.
        const int oldMode = dc.SetBkMode(gfx::OPAQUE);
        const gfx::Colour oldBk = dc.SetBkColor(kDialogFace);
        const gfx::Colour oldColour = dc.SetTextColor(c.enabled ? 0x000000 : kButtonDisabled.text);
        dc.DrawText(c.text, c.rect, gfx::DT_SINGLELINE);
        dc.SetTextColor(oldColour);
        dc.SetBkColor(oldBk);
        dc.SetBkMode(oldMode);
    }
    dc.SelectObject(oldFont);
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
        gfx::Font font(fontTenths_, fontFace_);
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

// ---- Input ----------------------------------------------------------------------------------

const Dialog::Control* Dialog::ButtonAt(gfx::Point p) const {
    for (const Control& c : controls_) {
        if (c.visible && c.enabled && c.IsButton() && c.rect.Contains(p)) {
            return &c;
        }
    }
    return nullptr;
}

void Dialog::HandleMouseMove(gfx::Point p) {
    mouse_ = p;
    if (menu_.IsOpen()) {
        if (menu_.SetHot(menu_.ItemAt(p))) {
            needsPresent_ = true;
        }
        return;
    }
    const Control* button = ButtonAt(p);
    const int hot = button != nullptr ? button->id : 0;
    if (hot != hotButton_) {
        hotButton_ = hot;
        Invalidate(false);
    }
    if (pressedButton_ == 0) {
        OnMouseMove(p.x, p.y);
    }
}

void Dialog::HandleButton(bool down, bool left, gfx::Point p) {
    mouse_ = p;
    if (menu_.IsOpen()) {
        if (down) {
            // A press outside the menu only closes it, as a desktop menu does.
            if (!menu_.Bounds().Contains(p)) {
                menu_.Close();
                needsPresent_ = true;
            }
        } else if (const int item = menu_.ItemAt(p); item >= 0) {
            ChooseMenuItem(item);
        }
        return;
    }
    if (!left) {
        if (!down) {
            OpenSystemMenu(p);
        }
        return;
    }
    if (down) {
        if (const Control* button = ButtonAt(p)) {
            pressedButton_ = hotButton_ = button->id;
            Invalidate(false);
            return;
        }
        OnLButtonDown(p.x, p.y);
        return;
    }
    if (pressedButton_ != 0) {
        const int id = pressedButton_;
        pressedButton_ = 0;
        Invalidate(false);
        const Control* button = ButtonAt(p);
        if (button != nullptr && button->id == id) {
            OnCommand(id);
        }
        return;
    }
    OnLButtonUp(p.x, p.y);
}

void Dialog::HandleKey(int key, int mods) {
    const bool alt = (mods & KMOD_ALT) != 0;
    const bool shift = (mods & KMOD_SHIFT) != 0;
    if (menu_.IsOpen()) {
        if (key == SDLK_F4 && alt) {
            // The window's own shortcut: the menu closes first, then the window.
            menu_.Close();
            needsPresent_ = true;
            OnSysCommand(SC_CLOSE);
            return;
        }
        HandleMenuKey(key);
        return;
    }
    if (key == SDLK_ESCAPE) {
        OnCommand(IDCANCEL);
    } else if (key == SDLK_RETURN || key == SDLK_KP_ENTER) {
        // Enter presses the default button, and only a visible, enabled one.
        for (const Control& c : controls_) {
            if (c.kind == "defbutton" && c.visible && c.enabled) {
                OnCommand(c.id);
                break;
            }
        }
    } else if (key == SDLK_F4 && alt) {
        OnSysCommand(SC_CLOSE);
    } else if ((key == SDLK_F10 && shift) || (key == SDLK_SPACE && alt) ||
               key == SDLK_APPLICATION) {
        const bool inside = GetClientRect().Contains(mouse_);
        OpenSystemMenu(inside ? mouse_ : gfx::Point{0, 0});
    }
}

void Dialog::HandleMenuKey(int key) {
    switch (key) {
        case SDLK_ESCAPE:
            menu_.Close();
            break;
        case SDLK_UP:
            menu_.MoveHot(-1);
            break;
        case SDLK_DOWN:
            menu_.MoveHot(+1);
            break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            if (menu_.Hot() >= 0) {
                ChooseMenuItem(menu_.Hot());
                return;
            }
            break;
        default:
            if (key >= SDLK_a && key <= SDLK_z) {
                if (const int item = menu_.ItemForKey(static_cast<char>(key)); item >= 0) {
                    ChooseMenuItem(item);
                    return;
                }
            }
            break;
    }
    needsPresent_ = true;
}

void Dialog::OpenSystemMenu(gfx::Point at) {
    if (pressedButton_ != 0) {
        pressedButton_ = 0;
        Invalidate(false);
    }
    gfx::Font font(fontTenths_, fontFace_);
    menu_.Open(at, GetClientRect(), font);
    needsPresent_ = true;
}

void Dialog::ChooseMenuItem(int index) {
    const int command = menu_.Items()[index].command;
    menu_.Close();
    needsPresent_ = true;
    OnSysCommand(command);
}

}  // namespace ui
