#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "tests/support/Pattern.h"

namespace testsupport {

constexpr gfx::Colour kBackground = 0x102030;
constexpr gfx::Colour kPenColour = 0x0000FF;
constexpr gfx::Colour kBrushColour = 0x00FF00;

// A bitmap of one colour selected into a fresh device context with a solid pen and a brush of
// the test's own, and the pixel queries the drawing tests ask of it, the background being
// the default fill they compare with.
struct Canvas {
    Canvas(int width, int height, gfx::Colour fill = kBackground, int penWidth = 1,
           gfx::Colour penColour = kPenColour, gfx::Colour brushColour = kBrushColour)
        : bitmap(width, height, fill), pen(penWidth, penColour), brush(brushColour) {
        dc.SelectObject(&bitmap);
        dc.SelectObject(&pen);
        dc.SelectObject(&brush);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    gfx::Colour At(int x, int y) const { return bitmap.GetPixel(x, y); }
    std::vector<gfx::Colour> Pixels() const {
        return {bitmap.Data(), bitmap.Data() + static_cast<std::size_t>(bitmap.Width()) *
                                                   static_cast<std::size_t>(bitmap.Height())};
    }
    // A pattern in which neighbouring pixels differ, so XOR and overdraw show.
    void FillPattern() { testsupport::FillPattern(bitmap); }

    // The pixels that differ from `fill`, row-major.
    std::vector<gfx::Point> Painted(gfx::Colour fill = kBackground) const {
        std::vector<gfx::Point> out;
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (int x = 0; x < bitmap.Width(); ++x) {
                if (bitmap.GetPixel(x, y) != fill) {
                    out.push_back({x, y});
                }
            }
        }
        return out;
    }

    // The smallest rectangle around the pixels that differ from `fill` (empty when none).
    gfx::Rect Ink(gfx::Colour fill = kBackground) const {
        gfx::Rect r{bitmap.Width(), bitmap.Height(), -1, -1};
        for (const gfx::Point& p : Painted(fill)) {
            r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x + 1),
                 std::max(r.bottom, p.y + 1)};
        }
        return r.IsEmpty() ? gfx::Rect{} : r;
    }

    gfx::Bitmap bitmap;
    gfx::Pen pen;
    gfx::Brush brush;
    gfx::DeviceContext dc;
};

}  // namespace testsupport
