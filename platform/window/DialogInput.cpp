// A dialog's answers to the message loop's messages: the mouse, the keyboard, its window's
// state, and the system menu they open and choose from.

#include "platform/window/Dialog.h"
#include "platform/window/Presentation.h"

namespace ui {

namespace {

constexpr int kWheelDelta = 120;

}  // namespace

void Dialog::HandleMessage(const Message& message) {
    using Type = Message::Type;
    switch (message.type) {
        case Type::None:
            break;
        case Type::Wake:
            // The invalidation it announces is painted at the end of this pass.
            wakePending_.store(false);
            break;
        case Type::Quit:
            OnCancel();
            break;
        case Type::Exposed:
            needsPresent_ = true;
            break;
        case Type::Restored:
            // Whatever was painted while minimised is not the window's picture.
            Invalidate(true);
            needsPresent_ = true;
            break;
        case Type::Close:
            OnSysCommand(SC_CLOSE);
            break;
        case Type::FocusLost:
            if (menu_.IsOpen()) {
                menu_.Close();
                needsPresent_ = true;
            }
            break;
        case Type::MouseLeft:
            if (hotButton_ != 0) {
                hotButton_ = 0;
                Invalidate(false);
            }
            break;
        case Type::KeyDown:
            HandleKey(message);
            break;
        case Type::MouseMove:
            HandleMouseMove(presentation_->GetGeometry().ToClient(message.at));
            break;
        case Type::Button:
            HandleButton(message.down, message.left,
                         presentation_->GetGeometry().ToClient(message.at));
            break;
        case Type::Wheel:
            if (!menu_.IsOpen()) {
                OnMouseWheel(message.notches * kWheelDelta, mouse_.x, mouse_.y);
            }
            break;
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

const Control* Dialog::ButtonAt(gfx::Point p) const {
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

void Dialog::HandleKey(const Message& key) {
    if (menu_.IsOpen()) {
        if (key.key == Key::F4 && key.alt) {
            // As on a desktop, an open menu takes the keys and closes at this one; the next
            // one closes the window.
            menu_.Close();
            needsPresent_ = true;
            return;
        }
        HandleMenuKey(key);
        return;
    }
    if (key.key == Key::Escape) {
        OnCommand(IDCANCEL);
    } else if (key.key == Key::Enter) {
        // Enter presses the default button, and only a visible, enabled one.
        for (const Control& c : controls_) {
            if (c.kind == sys::ControlKind::DefaultButton && c.visible && c.enabled) {
                OnCommand(c.id);
                break;
            }
        }
    } else if (key.key == Key::F4 && key.alt) {
        OnSysCommand(SC_CLOSE);
    } else if ((key.key == Key::F10 && key.shift) || (key.key == Key::Space && key.alt) ||
               key.key == Key::Application) {
        const bool inside = GetClientRect().Contains(mouse_);
        OpenSystemMenu(inside ? mouse_ : gfx::Point{0, 0});
    }
}

void Dialog::HandleMenuKey(const Message& key) {
    switch (key.key) {
        case Key::Escape:
            menu_.Close();
            break;
        case Key::Up:
            menu_.MoveHot(-1);
            break;
        case Key::Down:
            menu_.MoveHot(+1);
            break;
        case Key::Enter:
            if (menu_.Hot() >= 0) {
                ChooseMenuItem(menu_.Hot());
                return;
            }
            break;
        case Key::Letter:
            if (const int item = menu_.ItemForKey(key.letter); item >= 0) {
                ChooseMenuItem(item);
                return;
            }
            break;
        default:
            break;
    }
    needsPresent_ = true;
}

void Dialog::OpenSystemMenu(gfx::Point at) {
    if (pressedButton_ != 0) {
        pressedButton_ = 0;
        Invalidate(false);
    }
    gfx::Font font(font_.tenths, font_.face);
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
