#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "tests/support/Pattern.h"

namespace testsupport {

// A bitmap of one colour selected into a fresh device context, with the pixel queries the
// drawing tests ask of it.
struct Canvas {
    Canvas(int width, int height, gfx::Colour fill) : bitmap(width, height, fill) {
        dc.SelectObject(&bitmap);
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
    std::vector<gfx::Point> Painted(gfx::Colour fill) const {
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
    gfx::Rect Ink(gfx::Colour fill) const {
        gfx::Rect r{bitmap.Width(), bitmap.Height(), -1, -1};
        for (const gfx::Point& p : Painted(fill)) {
            r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x + 1),
                 std::max(r.bottom, p.y + 1)};
        }
        return r.IsEmpty() ? gfx::Rect{} : r;
    }

    gfx::Bitmap bitmap;
    gfx::DeviceContext dc;
};

}  // namespace testsupport
