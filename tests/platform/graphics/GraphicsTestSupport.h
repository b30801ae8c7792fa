#pragma once

// Shared helpers of the graphics tests: the test canvas, patterns and their comparison.

#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "tests/support/Canvas.h"
#include "tests/support/Pattern.h"

namespace gfx::testing {

using testsupport::Canvas;
using testsupport::kBackground;
using testsupport::kBrushColour;
using testsupport::kPenColour;

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
