#pragma once

// Shared helpers of the graphics tests: a surface with a context drawing into it.

#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "tests/support/Canvas.h"
#include "tests/support/Pattern.h"

namespace gfx::testing {

constexpr Colour kBackground = 0x102030;
constexpr Colour kPenColour = 0x0000FF;
constexpr Colour kBrushColour = 0x00FF00;

// The shared canvas with a pen and a brush of the tests' own selected, and the background
// as the default fill of its queries.
struct Canvas : testsupport::Canvas {
    Pen pen;
    Brush brush;

    Canvas(int w, int h, Colour fill = kBackground, int penWidth = 1, Colour penColour = kPenColour,
           Colour brushColour = kBrushColour)
        : testsupport::Canvas(w, h, fill), pen(penWidth, penColour), brush(brushColour) {
        dc.SelectObject(&pen);
        dc.SelectObject(&brush);
    }

    std::vector<Point> Painted(Colour fill = kBackground) const {
        return testsupport::Canvas::Painted(fill);
    }
    Rect Ink(Colour fill = kBackground) const { return testsupport::Canvas::Ink(fill); }
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
