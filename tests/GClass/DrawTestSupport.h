#pragma once

#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/system/Assert.h"

namespace drawtest {

#ifdef NDEBUG
constexpr bool kAssertsActive = false;
#else
constexpr bool kAssertsActive = true;
#endif

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
    void FillPattern() {
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (int x = 0; x < bitmap.Width(); ++x) {
                bitmap.SetPixel(
                    x, y, static_cast<gfx::Colour>((x * 37 + y * 101) * 2654435761u) & 0xFFFFFF);
            }
        }
    }

    gfx::Bitmap bitmap;
    gfx::DeviceContext dc;
};

// Counts failed debug assertions instead of aborting, for the lifetime of the scope.
class AssertRecorder {
public:
    AssertRecorder() : previous_(sys::SetAssertHandler(&Record)) { count_ = 0; }
    ~AssertRecorder() { sys::SetAssertHandler(previous_); }
    AssertRecorder(const AssertRecorder&) = delete;
    AssertRecorder& operator=(const AssertRecorder&) = delete;
    int Count() const { return count_; }

private:
    static void Record(const char*, const char*, int) { ++count_; }
    static inline int count_ = 0;
    sys::AssertHandler previous_;
};

}  // namespace drawtest
