// Fonts and text: sizes, face lookup, centring, clipping, background modes, UTF-8.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/graphics/BmpFile.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/FontEngine.h"
#include "tests/platform/graphics/GraphicsTestSupport.h"
#include "tests/support/RealThreads.h"

namespace gfx::testing {
namespace {

constexpr unsigned kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr const char* kGothic = "ＭＳ ゴシック";
constexpr Colour kWhite = 0xFFFFFF;

// A white surface with black, transparent text in the game's face at `tenths`.
struct TextCanvas : Canvas {
    Font font;
    TextCanvas(int w, int h, int tenths, Colour fill = kWhite)
        : Canvas(w, h, fill), font(tenths, kGothic) {
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(0x000000);
    }
};

TEST(FontTest, PixelHeightIsNinetySixDotsPerInch) {
    const struct {
        int tenths, pixels;
    } cases[] = {{200, 26},
                 {300, 40},
                 {400, 53},
                 {90, 12},
                 {100, 13},
                 {0, 0},
                 {INT_MAX, 286331152},
                 {INT_MIN, -286331153}};
    for (const auto& c : cases) {
        EXPECT_EQ(Font::PointTenthsToPixels(c.tenths), c.pixels) << c.tenths;
        EXPECT_EQ(Font(c.tenths, kGothic).PixelHeight(), c.pixels) << c.tenths;
    }
}

TEST(FontTest, FaceNamesResolveThroughTheAliasTable) {
    const struct {
        const char* requested;
        const char* family;
    } cases[] = {{"ＭＳ ゴシック", "IPAGothic"}, {"MS Gothic", "IPAGothic"},
                 {"ms gothic", "IPAGothic"},     {"ＭＳ Ｐゴシック", "IPAPGothic"},
                 {"MS PGothic", "IPAPGothic"},   {"IPAGothic", "IPAGothic"}};
    for (const auto& c : cases) {
        Font font;
        EXPECT_TRUE(font.CreatePointFont(200, c.requested)) << c.requested;
        EXPECT_EQ(font.FamilyName(), c.family) << c.requested;
    }
}

TEST(FontTest, AnUnknownFaceFallsBackToAnInstalledOne) {
    Font font;
    ASSERT_TRUE(font.CreatePointFont(200, "No Such Face Anywhere"));
    EXPECT_FALSE(font.FamilyName().empty());
    font.DeleteObject();
    EXPECT_EQ(font.Face(), nullptr);
    EXPECT_EQ(font.FamilyName(), "");
}

TEST(TextTest, StaysInsideItsRectangle) {
    for (const int tenths : {200, 300, 400}) {
        TextCanvas canvas(320, 120, tenths);
        const Rect rect{20, 15, 300, 100};
        canvas.dc.DrawText("Game Over!!", rect, kCentred);
        const Rect ink = canvas.Ink(kWhite);
        ASSERT_FALSE(ink.IsEmpty()) << tenths;
        EXPECT_EQ(ink.Intersect(rect), ink) << tenths;
    }
}

TEST(TextTest, IsCentredOnTheLineBoxWithinOnePixel) {
    // With an opaque background the line box itself shows: its margins in the rectangle
    // differ by at most one pixel each way.
    for (const int tenths : {200, 300, 400}) {
        for (const Rect rect : {Rect{10, 10, 300, 110}, Rect{13, 7, 250, 80}}) {
            TextCanvas canvas(320, 120, tenths);
            canvas.dc.SetBkMode(OPAQUE);
            canvas.dc.SetBkColor(0x00FF00);
            canvas.dc.SetTextColor(0x0000FF);
            canvas.dc.DrawText("Stage1", rect, kCentred);
            const Rect box = canvas.Ink(kWhite);
            const Point extent = canvas.dc.GetTextExtent("Stage1");
            EXPECT_EQ(box.Width(), extent.x);
            EXPECT_EQ(box.Height(), extent.y);
            EXPECT_LE(std::abs((box.left - rect.left) - (rect.right - box.right)), 1) << tenths;
            EXPECT_LE(std::abs((box.top - rect.top) - (rect.bottom - box.bottom)), 1) << tenths;
        }
    }
}

TEST(TextTest, SymmetricTextIsCentredHorizontallyWithinOnePixel) {
    for (const char* text : {"H", "O", "HOH"}) {
        for (const int tenths : {200, 300, 400}) {
            TextCanvas canvas(200, 100, tenths);
            const Rect rect{20, 10, 181, 90};
            canvas.dc.DrawText(text, rect, kCentred);
            const Rect ink = canvas.Ink(kWhite);
            ASSERT_FALSE(ink.IsEmpty());
            EXPECT_LE(std::abs((ink.left - rect.left) - (rect.right - ink.right)), 1)
                << text << " at " << tenths;
            // The ink itself sits near the vertical centre: within the gap the line box
            // leaves below the baseline.
            EXPECT_LE(std::abs((ink.top - rect.top) - (rect.bottom - ink.bottom)), 10)
                << text << " at " << tenths;
        }
    }
}

TEST(TextTest, FollowsItsRectangle) {
    TextCanvas a(200, 100, 300), b(200, 100, 300), c(200, 100, 300);
    a.dc.DrawText("Go!!", {20, 10, 150, 70}, kCentred);
    b.dc.DrawText("Go!!", {27, 15, 157, 75}, kCentred);  // moved by (7, 5)
    c.dc.DrawText("Go!!", {19, 9, 151, 71}, kCentred);   // one pixel larger on every side
    const Rect ink = a.Ink(kWhite);
    EXPECT_EQ(b.Ink(kWhite), ink.Offset(7, 5));
    EXPECT_EQ(c.Ink(kWhite), ink);
    for (int y = 0; y < 95; ++y) {
        for (int x = 0; x < 150; ++x) {
            ASSERT_EQ(a.At(x, y), b.At(x + 7, y + 5));
            ASSERT_EQ(a.At(x, y), c.At(x, y));
        }
    }
}

TEST(TextTest, WiderThanItsRectangleIsClippedOnBothSides) {
    TextCanvas canvas(300, 60, 300);
    const Rect rect{100, 5, 160, 55};
    canvas.dc.DrawText("MMMMMMMMMM", rect, kCentred);
    ASSERT_GT(canvas.dc.GetTextExtent("MMMMMMMMMM").x, rect.Width());
    const Rect ink = canvas.Ink(kWhite);
    EXPECT_EQ(ink.Intersect(rect), ink);
    // Centred text overflows both edges, so ink reaches the first and the last column.
    EXPECT_EQ(ink.left, rect.left);
    EXPECT_EQ(ink.right, rect.right);
}

TEST(TextTest, IsClippedToTheSurface) {
    TextCanvas canvas(40, 20, 400);
    canvas.dc.DrawText("Kovalo", {-100, -50, 140, 70}, kCentred);
    EXPECT_FALSE(canvas.Painted(kWhite).empty());
}

TEST(TextTest, TransparentModeChangesOnlyGlyphPixels) {
    // The glyph pixels: text drawn white on black.
    TextCanvas glyphs(200, 60, 300, 0x000000);
    glyphs.dc.SetTextColor(kWhite);
    glyphs.dc.DrawText("Kovalo", {0, 0, 200, 60}, kCentred);
    TextCanvas patterned(200, 60, 300);
    patterned.bitmap = Pattern(200, 60, 9);
    const Bitmap before = patterned.bitmap;
    patterned.dc.SetTextColor(0x123456);
    patterned.dc.DrawText("Kovalo", {0, 0, 200, 60}, kCentred);
    int changed = 0, inked = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool glyph = glyphs.At(x, y) != 0;
            inked += glyph;
            if (patterned.At(x, y) != before.GetPixel(x, y)) {
                ++changed;
                ASSERT_TRUE(glyph) << x << "," << y;
            }
            // Fully covered pixels take the text colour exactly.
            if (glyphs.At(x, y) == kWhite) {
                ASSERT_EQ(patterned.At(x, y), 0x123456u) << x << "," << y;
            }
        }
    }
    EXPECT_GT(changed, 0);
    EXPECT_GT(changed, inked * 9 / 10);
}

TEST(TextTest, AntialiasedEdgesBlendTowardsTheTextColour) {
    TextCanvas canvas(120, 60, 300);
    canvas.dc.SetTextColor(0x0000FF);  // red on white: edges are pink, never another hue
    canvas.dc.DrawText("O", {0, 0, 120, 60}, kCentred);
    int partial = 0;
    for (const Point& p : canvas.Painted(kWhite)) {
        const Colour c = canvas.At(p.x, p.y);
        ASSERT_EQ(RedOf(c), 0xFF);
        ASSERT_EQ(GreenOf(c), BlueOf(c));
        partial += GreenOf(c) != 0;
    }
    EXPECT_GT(partial, 0);
}

// Runs in the game's two faces at its sizes, in its caption colour over a background whose
// channels all differ, against the pixels stored in tests/platform/graphics/glyphs: partly
// covered pixels are blended against the background, each channel rounded, none dropped. With
// TOLVANE_STORE_GLYPHS set, the test stores what it draws instead (after a deliberate change).
TEST(TextTest, GlyphRunsKeepTheirStoredPixels) {
#if defined(__EMSCRIPTEN__) || defined(_WIN32)
    GTEST_SKIP() << "the page and the Windows program draw with subsets of the faces";
#endif
    const struct {
        const char* name;
        const char* face;
        int tenths;
        const char* text;
    } runs[] = {{"title", kGothic, 400, "Kovalo"},
                {"status", kGothic, 300, "Game Over!!"},
                {"stage", kGothic, 200, "Stage3 / 5"},
                {"caption", "ＭＳ Ｐゴシック", 90, "About Tolvane ゲーム"},
                {"proportional", "ＭＳ Ｐゴシック", 200, "Start Exit"}};
    const bool store = std::getenv("TOLVANE_STORE_GLYPHS") != nullptr;
    for (const auto& run : runs) {
        Font font(run.tenths, run.face);
        Canvas canvas(1, 1);
        canvas.dc.SelectObject(&font);
        const Point extent = canvas.dc.GetTextExtent(run.text);
        canvas.bitmap = Bitmap(extent.x + 4, extent.y + 4, 0x3C8CE6);
        canvas.dc.SelectObject(&canvas.bitmap);
        canvas.dc.SetBkMode(TRANSPARENT);
        canvas.dc.SetTextColor(0xCC000C);
        canvas.dc.DrawText(run.text, {0, 0, extent.x + 4, extent.y + 4}, kCentred);
        const std::string path = std::string(TOLVANE_GLYPH_DIR) + "/" + run.name + ".bmp";
        if (store) {
            ASSERT_TRUE(SaveBmp(canvas.bitmap, path)) << path;
            continue;
        }
        std::ifstream file(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        DecodedBmp stored;
        ASSERT_TRUE(DecodeBmp(bytes, stored)) << path;
        EXPECT_TRUE(SamePixels(canvas.bitmap, stored.colours)) << run.name;
    }
}

TEST(TextTest, OpaqueModeFillsTheLineBoxFirst) {
    TextCanvas canvas(200, 60, 200);
    canvas.dc.SetBkMode(OPAQUE);
    canvas.dc.SetBkColor(0x00FF00);
    const Point extent = canvas.dc.GetTextExtent("Go!!");
    canvas.dc.DrawText("Go!!", {0, 0, 200, 60}, kCentred);
    const Rect box = canvas.Ink(kWhite);
    EXPECT_EQ(box.Width(), extent.x);
    EXPECT_EQ(box.Height(), extent.y);
    int background = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            ASSERT_NE(canvas.At(x, y), kWhite);
            background += canvas.At(x, y) == 0x00FF00;
        }
    }
    EXPECT_GT(background, extent.x * extent.y / 2);
}

TEST(TextTest, JapaneseTextIsFullWidth) {
    TextCanvas canvas(200, 60, 200);
    // IPAGothic sets kana and kanji one em wide.
    EXPECT_EQ(canvas.dc.GetTextExtent("ゲーム開始").x, 5 * 26);
    EXPECT_EQ(canvas.dc.GetTextExtent("").x, 0);
    // Control characters take no room on a single line.
    EXPECT_EQ(canvas.dc.GetTextExtent("ゲーム\t開始\n").x, 5 * 26);
    canvas.dc.DrawText("ゲーム開始", {0, 0, 200, 60}, kCentred);
    EXPECT_FALSE(canvas.Painted(kWhite).empty());
}

TEST(TextTest, WithoutAFaceOrSurfaceNothingIsDrawn) {
    TextCanvas canvas(100, 40, 200);
    canvas.font.DeleteObject();
    canvas.dc.DrawText("Stage1", {0, 0, 100, 40}, kCentred);
    EXPECT_TRUE(canvas.Painted(kWhite).empty());
    DeviceContext empty;
    EXPECT_GT(empty.DrawText("Stage1", {0, 0, 100, 40}, kCentred), 0);  // stock font
}

TEST(TextTest, ThreadsDrawTheSamePixels) {
    TOLVANE_NEEDS_REAL_THREADS();
    // The face and glyph caches are shared; each thread draws with fonts of its own.
    const auto draw = [](int tenths) {
        TextCanvas canvas(240, 70, tenths);
        canvas.dc.DrawText("Stage1 ゲーム", {0, 0, 240, 70}, kCentred);
        return canvas.bitmap;
    };
    const int sizes[] = {200, 300, 400, 250};
    std::vector<Bitmap> results(8);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&, i] { results[i] = draw(sizes[i % 4]); });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(SamePixels(results[i], draw(sizes[i % 4]))) << i;
    }
}

TEST(Utf8Test, DecodesAndReplacesBrokenSequences) {
    const struct {
        std::string bytes;
        std::u32string expected;
    } cases[] = {
        {"Go!!", U"Go!!"},
        {"\xEF\xBC\xAD\xEF\xBC\xB3", U"ＭＳ"},
        {"\xF0\x9F\x90\xA4", U"\U0001F424"},
        {"a\xFF"
         "b",
         U"a\uFFFDb"},  // a byte that starts nothing
        {"\xE3\x82"
         "x",
         U"\uFFFDx"},                 // cut short
        {"\xC0\xAF", U"\uFFFD"},      // overlong
        {"\xED\xA0\x80", U"\uFFFD"},  // a surrogate
        {"\xE3\x82", U"\uFFFD"},      // ends inside a sequence
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeUtf8(c.bytes), c.expected);
    }
}

}  // namespace
}  // namespace gfx::testing
