#pragma once

#include "platform/graphics/Types.h"

namespace ui {

// The integer presentation scale: the largest n >= 1 at which the window of a client area of
// clientW x clientH drawn n times enlarged, with the width and height its frame adds
// (`frame`: borders and caption), fits within 90 % of the usable display in both directions.
// A display of unknown (non-positive) size gives 1.
int IntegerScale(int clientW, int clientH, gfx::Point frame, int usableW, int usableH);

// The top-left corner for a window of `size` centred over `around` and moved inside `usable`;
// where it is larger than `usable`, its top-left corner stays inside, with the caption and the
// controls nearest to it.
gfx::Point PlaceWindow(gfx::Point size, const gfx::Rect& around, const gfx::Rect& usable);

// The one mapping between the dialog's client pixels and the window's pixels. Drawing maps
// client -> window, the mouse maps window -> client; both go through here so they agree.
class Geometry {
public:
    Geometry() = default;
    Geometry(int clientW, int clientH, int scale);

    int Scale() const { return scale_; }
    gfx::Point ClientSize() const { return {clientW_, clientH_}; }
    gfx::Point WindowSize() const { return {clientW_ * scale_, clientH_ * scale_}; }

    // Where a client rectangle lands in the window.
    gfx::Rect ToWindow(const gfx::Rect& client) const;
    // The client pixel under a window position. Positions left of or above the window (a held
    // button dragged outside) map to negative client pixels, rounding toward minus infinity.
    gfx::Point ToClient(gfx::Point window) const;

private:
    int clientW_ = 0;
    int clientH_ = 0;
    int scale_ = 1;
};

}  // namespace ui
