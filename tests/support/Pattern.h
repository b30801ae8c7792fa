#pragma once

#include "platform/graphics/Bitmap.h"

namespace testsupport {

// A colour per pixel in which neighbouring pixels all differ, so a misplaced copy, a lost
// pixel, overdraw or a stray XOR shows.
inline gfx::Colour PatternColour(int x, int y, unsigned seed = 0) {
    return static_cast<gfx::Colour>((x * 37 + y * 101 + seed * 7919) * 2654435761u) & 0xFFFFFF;
}

inline void FillPattern(gfx::Bitmap& b, unsigned seed = 0) {
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            b.SetPixel(x, y, PatternColour(x, y, seed));
        }
    }
}

}  // namespace testsupport
