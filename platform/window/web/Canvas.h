#pragma once

#include "platform/graphics/Types.h"
#include "platform/window/Message.h"

// Shared by the page's backend files only: the canvas's windows (CanvasPresentation.cpp) and
// the browser's events and waits (Page.cpp).
namespace ui::web {

// The canvas's size in client pixels; (0, 0) while no window is open.
gfx::Point CanvasSize();
// Hands a message of the canvas to the window it concerns, as that window's own: a pointer
// message to the topmost layer under `at` (in that layer's coordinates), a request to show the
// picture again to the bottom layer, the rest to the top layer. Unchanged without windows.
void ToLayer(Message* message);

}  // namespace ui::web
