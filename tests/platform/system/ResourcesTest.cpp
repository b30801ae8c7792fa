// Resource lookup and dialog units, on tables of the tests' own.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "platform/system/Resources.h"

namespace {

// MulDiv rounds half away from zero with a 64-bit product; a zero denominator or an
// overflowing result gives -1.
TEST(MulDiv, RoundsHalfAwayFromZero) {
    struct Case {
        int number, numerator, denominator, expected;
    };
    const Case cases[] = {
        {3, 1, 2, 2},
        {-3, 1, 2, -2},
        {3, -1, 2, -2},
        {-3, -1, 2, 2},
        {3, 1, -2, -2},
        {-3, 1, -2, 2},
        {1, 1, 2, 1},
        {-1, 1, 2, -1},
        {5, 1, 4, 1},
        {7, 1, 4, 2},
        {-5, 1, 4, -1},
        {-7, 1, 4, -2},
        {1, 1, 3, 0},
        {2, 1, 3, 1},
        {-2, 1, 3, -1},
        {0, 7, 3, 0},
        {311, 6, 4, 467},
        {239, 12, 8, 359},
        {217, 12, 8, 326},
        {1, 1, 0, -1},
        {0, 5, 0, -1},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {INT_MIN, 1, 1, INT_MIN},
        {1 << 30, 4, 2, -1},  // 2^31 does not fit
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sys::MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << " * " << c.numerator << " / " << c.denominator;
    }
}

TEST(ResourceLookup, BrokenOrMissingBitmapsLoadAsNothing) {
    static const std::uint8_t kNotABmp[] = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8};
    static const sys::BitmapResource kBitmaps[] = {{7, kNotABmp}};
    static const sys::ResourceTable kTable{kBitmaps, {}, {}};
    sys::InstallResources(&kTable);
    gfx::Bitmap bitmap(3, 3, 0x123456);
    EXPECT_FALSE(sys::LoadBitmap(7, bitmap));
    EXPECT_TRUE(bitmap.IsNull());
    EXPECT_FALSE(sys::LoadBitmap(8, bitmap));
    EXPECT_TRUE(bitmap.IsNull());
    sys::InstallResources(nullptr);
}

}  // namespace
