#pragma once

// Shared helpers of the graphics tests: a surface with a context drawing into it.

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "tests/support/Pattern.h"

namespace gfx::testing {

constexpr Colour kBackground = 0x102030;
constexpr Colour kPenColour = 0x0000FF;
constexpr Colour kBrushColour = 0x00FF00;

struct Canvas {
    Bitmap bitmap;
    DeviceContext dc;
    Pen pen;
    Brush brush;

    Canvas(int w, int h, Colour fill = kBackground, int penWidth = 1, Colour penColour = kPenColour,
           Colour brushColour = kBrushColour)
        : bitmap(w, h, fill), pen(penWidth, penColour), brush(brushColour) {
        dc.SelectObject(&bitmap);
        dc.SelectObject(&pen);
        dc.SelectObject(&brush);
    }

    Colour At(int x, int y) const { return bitmap.GetPixel(x, y); }

    // The pixels that differ from `fill`, row-major.
    std::vector<Point> Painted(Colour fill = kBackground) const {
        std::vector<Point> out;
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
    Rect Ink(Colour fill = kBackground) const {
        Rect r{bitmap.Width(), bitmap.Height(), -1, -1};
        for (const Point& p : Painted(fill)) {
            r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x + 1),
                 std::max(r.bottom, p.y + 1)};
        }
        return r.IsEmpty() ? Rect{} : r;
    }
};

// A surface where neighbouring pixels all differ, so a misplaced copy or a lost pixel shows.
inline Bitmap Pattern(int w, int h, unsigned seed) {
    Bitmap b(w, h);
    testsupport::FillPattern(b, seed);
    return b;
}

inline bool SamePixels(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) {
        return false;
    }
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if (a.GetPixel(x, y) != b.GetPixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace gfx::testing
