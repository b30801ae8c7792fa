// Device context state, single pixels, block transfers, bitmaps and BMP files.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/ScopedSelect.h"
#include "tests/platform/graphics/GraphicsTestSupport.h"

namespace gfx::testing {
namespace {

TEST(DeviceContextTest, NewContextHasTheDesktopDefaults) {
    DeviceContext dc;
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.GetBkColor(), 0xFFFFFFu);
    EXPECT_EQ(dc.GetTextColor(), 0x000000u);
    EXPECT_EQ(dc.GetCurrentPosition(), (Point{0, 0}));

    Pen pen(3, 0x123456);
    const Pen* stockPen = dc.SelectObject(&pen);
    ASSERT_NE(stockPen, nullptr);
    EXPECT_EQ(stockPen->Width(), 1);
    EXPECT_EQ(stockPen->GetColour(), 0x000000u);
    Brush brush(0x123456);
    const Brush* stockBrush = dc.SelectObject(&brush);
    ASSERT_NE(stockBrush, nullptr);
    EXPECT_EQ(stockBrush->GetColour(), 0xFFFFFFu);
    Font font(200, "MS Gothic");
    const Font* stockFont = dc.SelectObject(&font);
    ASSERT_NE(stockFont, nullptr);
    EXPECT_NE(stockFont->Face(), nullptr);
    Bitmap bitmap(4, 4);
    const Bitmap* stockBitmap = dc.SelectObject(&bitmap);
    ASSERT_NE(stockBitmap, nullptr);
    EXPECT_TRUE(stockBitmap->IsNull());
}

TEST(DeviceContextTest, SelectObjectReturnsThePreviousObject) {
    DeviceContext dc;
    Pen a(1, 1), b(2, 2);
    Brush c(3), d(4);
    Font e(100, "MS Gothic"), f(200, "MS Gothic");
    Bitmap g(2, 2), h(3, 3);
    Pen* stockPen = dc.SelectObject(&a);
    EXPECT_EQ(dc.SelectObject(&b), &a);
    EXPECT_EQ(dc.SelectObject(stockPen), &b);
    Brush* stockBrush = dc.SelectObject(&c);
    EXPECT_EQ(dc.SelectObject(&d), &c);
    EXPECT_EQ(dc.SelectObject(stockBrush), &d);
    Font* stockFont = dc.SelectObject(&e);
    EXPECT_EQ(dc.SelectObject(&f), &e);
    EXPECT_EQ(dc.SelectObject(stockFont), &f);
    Bitmap* stockBitmap = dc.SelectObject(&g);
    EXPECT_EQ(dc.SelectObject(&h), &g);
    EXPECT_EQ(dc.GetBitmap(), &h);
    EXPECT_EQ(dc.SelectObject(stockBitmap), &h);
}

TEST(DeviceContextTest, SettersReturnThePreviousValue) {
    DeviceContext dc;
    EXPECT_EQ(dc.SetBkColor(0x000000), 0xFFFFFFu);
    EXPECT_EQ(dc.SetBkColor(0x112233), 0x000000u);
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_EQ(dc.SetBkMode(OPAQUE), TRANSPARENT);
    EXPECT_EQ(dc.SetBkMode(3), 0);  // a mode this context does not have is refused
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.SetTextColor(0x0000FF), 0x000000u);
    EXPECT_EQ(dc.SetTextColor(0x00FF00), 0x0000FFu);
    EXPECT_EQ(dc.SetROP2(R2_XORPEN), R2_COPYPEN);
    EXPECT_EQ(dc.SetROP2(R2_COPYPEN), R2_XORPEN);
    EXPECT_EQ(dc.SetROP2(4), 0);  // a mode this context does not have is refused
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.MoveTo(5, 6), (Point{0, 0}));
    EXPECT_EQ(dc.MoveTo(1, 2), (Point{5, 6}));
}

TEST(DeviceContextTest, CreateCompatibleDCStartsAfresh) {
    Bitmap bitmap(4, 4);
    DeviceContext dc;
    dc.SelectObject(&bitmap);
    dc.SetROP2(R2_XORPEN);
    dc.SetBkMode(TRANSPARENT);
    dc.MoveTo(3, 3);
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_TRUE(dc.GetBitmap()->IsNull());
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.GetCurrentPosition(), (Point{0, 0}));
}

TEST(PixelTest, OutsideTheSurfaceIsInvalid) {
    Canvas canvas(8, 5);
    const Point outside[] = {{-1, 0}, {0, -1}, {8, 0}, {0, 5}, {8, 5}, {-100, 100}};
    for (const Point& p : outside) {
        EXPECT_EQ(canvas.dc.GetPixel(p.x, p.y), kInvalidColour) << p.x << "," << p.y;
        EXPECT_EQ(canvas.dc.SetPixel(p.x, p.y, 0xABCDEF), kInvalidColour) << p.x << "," << p.y;
    }
    EXPECT_TRUE(canvas.Painted().empty());
    EXPECT_EQ(canvas.dc.GetPixel(7, 4), kBackground);

    DeviceContext empty;
    EXPECT_EQ(empty.GetPixel(0, 0), kInvalidColour);
    EXPECT_EQ(empty.SetPixel(0, 0, 1), kInvalidColour);
}

TEST(PixelTest, SetPixelIgnoresTheMixMode) {
    Canvas canvas(4, 4, 0x0F0F0F);
    canvas.dc.SetROP2(R2_XORPEN);
    EXPECT_EQ(canvas.dc.SetPixel(1, 2, 0x00FF00), 0x00FF00u);
    EXPECT_EQ(canvas.dc.GetPixel(1, 2), 0x00FF00u);
    // The top byte is no part of a colour: a pixel never reads back as the invalid colour.
    EXPECT_EQ(canvas.dc.SetPixel(2, 2, 0xFFFFFFFF), 0xFFFFFFu);
    EXPECT_EQ(canvas.dc.GetPixel(2, 2), 0xFFFFFFu);
}

// --- Block transfers -------------------------------------------------------------------

struct BlitCase {
    int x, y, w, h, xSrc, ySrc;
};

void PrintTo(const BlitCase& c, std::ostream* os) {
    *os << "(" << c.x << ", " << c.y << ") " << c.w << "x" << c.h << " from (" << c.xSrc << ", "
        << c.ySrc << ")";
}

class BitBltTest : public ::testing::TestWithParam<BlitCase> {};

TEST_P(BitBltTest, MatchesThePixelByPixelDefinition) {
    const BlitCase c = GetParam();
    const std::uint32_t ops[] = {SRCCOPY, SRCPAINT, SRCAND};
    for (const std::uint32_t rop : ops) {
        Bitmap source = Pattern(23, 17, 1);
        Bitmap target = Pattern(31, 19, 2);
        const Bitmap before = target;
        DeviceContext src, dst;
        src.SelectObject(&source);
        dst.SelectObject(&target);
        ASSERT_TRUE(dst.BitBlt(c.x, c.y, c.w, c.h, &src, c.xSrc, c.ySrc, rop));
        for (int y = 0; y < target.Height(); ++y) {
            for (int x = 0; x < target.Width(); ++x) {
                const Colour old = before.GetPixel(x, y);
                Colour expected = old;
                const int sx = x - c.x + c.xSrc;
                const int sy = y - c.y + c.ySrc;
                const bool inBlock = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
                if (inBlock && sx >= 0 && sy >= 0 && sx < source.Width() && sy < source.Height()) {
                    const Colour s = source.GetPixel(sx, sy);
                    expected = rop == SRCCOPY ? s : rop == SRCPAINT ? (old | s) : (old & s);
                }
                ASSERT_EQ(target.GetPixel(x, y), expected)
                    << "rop " << std::hex << rop << std::dec << " at " << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, BitBltTest,
    ::testing::Values(BlitCase{0, 0, 23, 17, 0, 0},    // whole source
                      BlitCase{5, 3, 10, 8, 2, 4},     // inside both
                      BlitCase{-4, -3, 12, 10, 0, 0},  // negative destination
                      BlitCase{2, 1, 12, 10, -5, -6},  // negative source
                      BlitCase{-7, 2, 40, 40, 3, -2},  // larger than both
                      BlitCase{25, 15, 20, 20, 0, 0},  // past the destination's corner
                      BlitCase{0, 0, 10, 10, 20, 14},  // past the source's corner
                      BlitCase{0, 0, 10, 10, 40, 0},   // source entirely outside
                      BlitCase{40, 0, 10, 10, 0, 0},   // destination entirely outside
                      BlitCase{3, 3, 0, 5, 0, 0},      // empty
                      BlitCase{3, 3, -5, 5, 0, 0}));   // negative size copies nothing

TEST(BitBltTest, MaskTechniqueComposesASprite) {
    // Sky, OR the mask (white on the sprite, black around it), AND the colour frame (white
    // around the sprite): the sky stays around it and the sprite's colours show on it.
    Bitmap sky(4, 1, 0xDEBD89);
    Bitmap mask(4, 1, 0x000000);
    Bitmap frame(4, 1, 0xFFFFFF);
    mask.SetPixel(1, 0, 0xFFFFFF);
    mask.SetPixel(2, 0, 0xFFFFFF);
    frame.SetPixel(1, 0, 0x00CCFF);
    frame.SetPixel(2, 0, 0x000000);
    DeviceContext dst, m, f;
    dst.SelectObject(&sky);
    m.SelectObject(&mask);
    f.SelectObject(&frame);
    ASSERT_TRUE(dst.BitBlt(0, 0, 4, 1, &m, 0, 0, SRCPAINT));
    ASSERT_TRUE(dst.BitBlt(0, 0, 4, 1, &f, 0, 0, SRCAND));
    EXPECT_EQ(sky.GetPixel(0, 0), 0xDEBD89u);
    EXPECT_EQ(sky.GetPixel(1, 0), 0x00CCFFu);
    EXPECT_EQ(sky.GetPixel(2, 0), 0x000000u);
    EXPECT_EQ(sky.GetPixel(3, 0), 0xDEBD89u);
}

TEST(BitBltTest, OverlappingCopyWithinOneSurfaceReadsTheSourceFirst) {
    for (const Point shift : {Point{3, 2}, Point{-3, -2}, Point{4, 0}, Point{0, -5}}) {
        Bitmap surface = Pattern(20, 20, 5);
        const Bitmap before = surface;
        DeviceContext dc;
        dc.SelectObject(&surface);
        ASSERT_TRUE(dc.BitBlt(5 + shift.x, 5 + shift.y, 10, 10, &dc, 5, 5, SRCCOPY));
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                ASSERT_EQ(surface.GetPixel(5 + shift.x + x, 5 + shift.y + y),
                          before.GetPixel(5 + x, 5 + y));
            }
        }
    }
}

TEST(BitBltTest, RefusesUnknownOperationsAndMissingSurfaces) {
    Bitmap a = Pattern(5, 5, 1), b = Pattern(5, 5, 2);
    const Bitmap before = b;
    DeviceContext src, dst, empty;
    src.SelectObject(&a);
    dst.SelectObject(&b);
    EXPECT_FALSE(dst.BitBlt(0, 0, 5, 5, &src, 0, 0, 0x00660046));  // SRCINVERT: not here
    EXPECT_FALSE(dst.BitBlt(0, 0, 5, 5, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(dst.BitBlt(0, 0, 5, 5, &empty, 0, 0, SRCCOPY));
    EXPECT_FALSE(empty.BitBlt(0, 0, 5, 5, &src, 0, 0, SRCCOPY));
    EXPECT_TRUE(SamePixels(b, before));
}

// --- Bitmaps and BMP files ------------------------------------------------------------

TEST(BitmapTest, CompatibleBitmapIsBlackOrEmpty) {
    Bitmap b(3, 3, 0xFFFFFF);
    EXPECT_FALSE(b.CreateCompatibleBitmap(nullptr, 0, 5));
    EXPECT_TRUE(b.IsNull());
    EXPECT_FALSE(b.CreateCompatibleBitmap(nullptr, 5, -1));
    ASSERT_TRUE(b.CreateCompatibleBitmap(nullptr, 4, 2));
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.GetPixel(3, 1), 0x000000u);
    EXPECT_EQ(b.GetPixel(4, 1), kInvalidColour);
    b.DeleteObject();
    EXPECT_TRUE(b.IsNull());
    EXPECT_EQ(b.GetPixel(0, 0), kInvalidColour);
}

// Each scope puts back what it replaced, innermost first, whatever kind of object.
template <typename Object>
void CheckScopesNest(Object& outer, Object& inner) {
    DeviceContext dc;
    Object* before = dc.SelectObject(static_cast<Object*>(nullptr));  // the stock object
    {
        const ScopedSelect<Object> a(dc, &outer);
        {
            const ScopedSelect<Object> b(dc, &inner);
            EXPECT_EQ(dc.SelectObject(&inner), &inner);
        }
        EXPECT_EQ(dc.SelectObject(&outer), &outer);
    }
    EXPECT_EQ(dc.SelectObject(before), before);
}

TEST(ScopedSelectTest, PutsBackWhatItReplacedWhenScopesNest) {
    Pen pens[2] = {Pen(1, 0x01), Pen(2, 0x02)};
    Brush brushes[2] = {Brush(0x01), Brush(0x02)};
    Font fonts[2] = {Font(90, "a"), Font(100, "b")};
    Bitmap bitmaps[2] = {Bitmap(1, 1), Bitmap(2, 2)};
    CheckScopesNest(pens[0], pens[1]);
    CheckScopesNest(brushes[0], brushes[1]);
    CheckScopesNest(fonts[0], fonts[1]);
    CheckScopesNest(bitmaps[0], bitmaps[1]);
}

std::uint32_t Read32(const std::vector<unsigned char>& d, std::size_t at) {
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}

TEST(BmpFileTest, WritesBottomUp24BitRowsPaddedToFourBytes) {
    Bitmap b(3, 2, 0);
    b.SetPixel(0, 0, Rgb(1, 2, 3));     // top left
    b.SetPixel(2, 1, Rgb(10, 20, 30));  // bottom right
    const std::string path = ::testing::TempDir() + "graphics_bmp_test.bmp";
    ASSERT_TRUE(SaveBmp(b, path));
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> d{std::istreambuf_iterator<char>(in), {}};
    std::remove(path.c_str());
    const std::size_t stride = 12;  // 3 pixels x 3 bytes, padded to 12
    ASSERT_EQ(d.size(), 54 + 2 * stride);
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    EXPECT_EQ(Read32(d, 2), d.size());
    EXPECT_EQ(Read32(d, 10), 54u);
    EXPECT_EQ(Read32(d, 18), 3u);
    EXPECT_EQ(Read32(d, 22), 2u);
    EXPECT_EQ(d[28], 24);
    // The bottom row comes first, each pixel as blue, green, red.
    EXPECT_EQ(d[54 + 6], 30);
    EXPECT_EQ(d[54 + 7], 20);
    EXPECT_EQ(d[54 + 8], 10);
    EXPECT_EQ(d[54 + stride + 0], 3);
    EXPECT_EQ(d[54 + stride + 1], 2);
    EXPECT_EQ(d[54 + stride + 2], 1);
}

TEST(BmpFileTest, ReportsWhatItCannotWrite) {
    EXPECT_FALSE(SaveBmp(Bitmap(), ::testing::TempDir() + "graphics_empty.bmp"));
    EXPECT_FALSE(SaveBmp(Bitmap(2, 2), "/nonexistent-directory/picture.bmp"));
}

// Every depth the resources and the sheet use, at an odd width so each row is padded: what
// EncodeBmp writes, DecodeBmp reads back, colours and alpha; a negative height is top-down.
TEST(BmpFileTest, DecodesWhatItEncodesAtEveryDepth) {
    const std::vector<std::uint32_t> palette = {0x000000, 0x102030, 0xFFFFFF, 0x405060,
                                                0x708090, 0xA0B0C0, 0x0A0B0C, 0x010203};
    for (int bpp : {4, 8, 24, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(::testing::Message() << bpp << " bits, top-down " << topDown);
            const auto argb = [&](int x, int y) -> std::uint32_t {
                const std::uint32_t i = static_cast<std::uint32_t>(x * 3 + y) % palette.size();
                return bpp <= 8 ? i : (static_cast<std::uint32_t>(x * 40) << 24) | palette[i];
            };
            std::vector<std::uint8_t> file =
                EncodeBmp(5, 3, bpp, bpp <= 8 ? palette : std::vector<std::uint32_t>{}, argb);
            if (topDown) {  // the same rows, stored top row first
                const std::size_t rowBytes = (file.size() - Read32(file, 10)) / 3;
                const std::size_t first = Read32(file, 10);
                std::swap_ranges(file.begin() + first, file.begin() + first + rowBytes,
                                 file.begin() + first + 2 * rowBytes);
                const std::uint32_t minus3 = 0xFFFFFFFDu;
                for (int i = 0; i < 4; ++i) {
                    file[22 + i] = static_cast<std::uint8_t>(minus3 >> (8 * i));
                }
            }
            DecodedBmp d;
            ASSERT_TRUE(DecodeBmp(file, d));
            ASSERT_EQ(d.colours.Width(), 5);
            ASSERT_EQ(d.colours.Height(), 3);
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < 5; ++x) {
                    const std::uint32_t v = argb(x, y);
                    const std::uint32_t rgb = bpp <= 8 ? palette[v] : v & 0xFFFFFF;
                    EXPECT_EQ(d.colours.GetPixel(x, y), Rgb(rgb >> 16, rgb >> 8, rgb))
                        << x << "," << y;
                    // x = 0 has alpha 0 at 32 bits, but others do not: alpha is used.
                    EXPECT_EQ(d.alpha[y * 5 + x], bpp == 32 ? v >> 24 : 0xFFu) << x << "," << y;
                }
            }
        }
    }
}

// A 32-bit file whose fourth bytes are all zero leaves them unused: it is opaque. Truncated
// files, palette indexes past the palette and compressed files are refused.
TEST(BmpFileTest, ReadsUnusedAlphaAsOpaqueAndRefusesWhatItCannotRead) {
    DecodedBmp d;
    ASSERT_TRUE(DecodeBmp(EncodeBmp(2, 2, 32, {}, [](int, int) { return 0x00123456u; }), d));
    EXPECT_EQ(d.alpha, std::vector<std::uint8_t>(4, 0xFF));
    EXPECT_EQ(d.colours.GetPixel(1, 1), Rgb(0x12, 0x34, 0x56));

    const std::vector<std::uint32_t> two = {0x000000, 0xFFFFFF};
    const std::vector<std::uint8_t> good =
        EncodeBmp(3, 2, 8, two, [](int x, int) { return static_cast<std::uint32_t>(x % 2); });
    ASSERT_TRUE(DecodeBmp(good, d));
    std::vector<std::uint8_t> truncated(good.begin(), good.end() - 1);
    std::vector<std::uint8_t> outside = good;
    outside.back() = 0;               // padding: still fine
    outside[outside.size() - 4] = 2;  // last row, first pixel: index 2 of a 2-entry palette
    std::vector<std::uint8_t> compressed = good;
    compressed[30] = 1;  // RLE8
    for (const auto* bad : {&truncated, &outside, &compressed}) {
        d.colours = Bitmap(1, 1);
        EXPECT_FALSE(DecodeBmp(*bad, d));
        EXPECT_TRUE(d.colours.IsNull());
    }
}

}  // namespace
}  // namespace gfx::testing
