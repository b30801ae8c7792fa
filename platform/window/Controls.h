#pragma once

#include <string>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Types.h"
#include "platform/system/Resources.h"

namespace ui {

// The colour a dialog's client area is erased to.
constexpr gfx::Colour kDialogFace = 0xF0F0F0;

// A dialog's control, its rectangle in client pixels.
struct Control {
    int id = 0;
    sys::ControlKind kind = sys::ControlKind::Static;
    std::string text;
    int icon = 0;  // the bitmap an Icon control shows
    gfx::Rect rect;
    bool visible = false;
    bool enabled = false;

    bool IsButton() const {
        return kind == sys::ControlKind::Button || kind == sys::ControlKind::DefaultButton;
    }
};

// Where the mouse stands to a button: over it (hot), holding it down (pressed), both or neither.
struct ButtonState {
    bool hot = false;
    bool pressed = false;
};

// The font a dialog draws its controls' text with.
struct DialogFont {
    std::string face;
    int tenths = 90;  // tenths of a point
};

// Draws icon `iconId` with its top-left corner at `at` as the desktop draws icons: what lies
// under its transparent pixels shows through.
void DrawIcon(gfx::DeviceContext& dc, gfx::Point at, int iconId);

// The frame a web page draws around a box, where no window manager draws one: a one-pixel
// edge, and below its top edge a caption bar with the window's caption.
constexpr int kFrameEdge = 1;
constexpr int kCaptionBar = 24;

// Where a client area of `clientSize` lies in its framed window, whose size is returned.
gfx::Point FramedSize(gfx::Point clientSize);
gfx::Point FramedClientOrigin();

// Draws the frame of a window `size` large (FramedSize) with `caption` in its bar. The client
// area inside it is left as it is.
void DrawFrame(gfx::DeviceContext& dc, gfx::Point size, const std::string& caption);

// Draws `control` as the desktop draws its controls: static text on the face colour, a push
// button in its state (the default one with a double edge), an icon at its own size
// with its transparency.
void PaintControl(gfx::DeviceContext& dc, const Control& control, ButtonState state,
                  const DialogFont& font);

}  // namespace ui
