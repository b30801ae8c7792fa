#pragma once

#include <cstdint>

#include "platform/graphics/Types.h"

namespace ui {

// The keys a dialog or its system menu answers to; every other key is Other.
enum class Key { Other, Escape, Enter, F4, F10, Space, Application, Up, Down, Letter };

// One event of the window system, as a window backend hands it to the message loop: the only
// vocabulary the dialogs and the loop share with a backend.
struct Message {
    enum class Type {
        None,       // an event nobody here answers to
        Wake,       // another thread's Invalidate wakes the loop
        Quit,       // an interrupt or the session ending: every dialog is cancelled
        KeyDown,    // `key` (`letter` 'a'..'z' for Key::Letter) with `alt`, `shift`
        MouseMove,  // to `at`
        Button,     // left or right button `down` or up at `at`
        Wheel,      // `notches`, positive away from the user
        Exposed,    // the window needs its picture shown again
        Restored,   // from minimised: what was painted meanwhile is not its picture
        Close,      // the close box
        FocusLost,
        MouseLeft,  // the mouse has left the window
    };
    Type type = Type::None;
    std::uint32_t windowId = 0;
    Key key = Key::Other;
    char letter = 0;
    bool alt = false;
    bool shift = false;
    gfx::Point at;  // window pixels
    bool down = false;
    bool left = false;
    int notches = 0;
};

}  // namespace ui
