#pragma once

#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "tests/support/AssertRecorder.h"
#include "tests/support/Pattern.h"

namespace drawtest {

using testsupport::AssertRecorder;
using testsupport::kAssertsActive;

// A bitmap of one colour selected into a fresh device context.
struct Surface {
    Surface(int width, int height, gfx::Colour fill) : bitmap(width, height, fill) {
        dc.SelectObject(&bitmap);
    }
    gfx::Colour At(int x, int y) const { return bitmap.GetPixel(x, y); }
    std::vector<gfx::Colour> Pixels() const {
        return {bitmap.Data(), bitmap.Data() + static_cast<std::size_t>(bitmap.Width()) *
                                                   static_cast<std::size_t>(bitmap.Height())};
    }
    // A pattern in which neighbouring pixels differ, so XOR and overdraw show.
    void FillPattern() { testsupport::FillPattern(bitmap); }

    gfx::Bitmap bitmap;
    gfx::DeviceContext dc;
};

}  // namespace drawtest
