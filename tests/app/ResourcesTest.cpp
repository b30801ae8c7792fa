// The game's resource table: its dialogs, strings, sprites and icon as the program loads them.

#include <SDL_rwops.h>
#include <SDL_surface.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <thread>
#include <vector>

#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "platform/graphics/BmpFile.h"
#include "platform/system/Resources.h"
#include "tests/support/RealThreads.h"

namespace {

using gfx::Colour;

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;
constexpr Colour kSky = 0xDEBD89;  // the field's colour behind the chick

class Resources : public ::testing::Test {
protected:
    void SetUp() override { InstallTolvaneResources(); }
    void TearDown() override { sys::InstallResources(nullptr); }

    static gfx::Bitmap Load(int id) {
        gfx::Bitmap bitmap;
        EXPECT_TRUE(sys::LoadBitmap(id, bitmap)) << "bitmap " << id;
        return bitmap;
    }
};

int BitsPerPixel(std::span<const std::uint8_t> bmp) {
    return bmp.size() < 30 ? 0 : bmp[28] | (bmp[29] << 8);
}

TEST_F(Resources, MainDialogControlsBecomeTheseRectangles) {
    const sys::DialogTemplate* dialog = sys::FindDialog(IDD_TOLVANE_DIALOG);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(sys::DialogUnitsToPixels(0, 0, dialog->cx, dialog->cy), (gfx::Rect{0, 0, 467, 359}));
    // Worked by hand: x * 1.5 and y * 1.5 per edge, halves rounded up.
    const std::map<int, gfx::Rect> expected = {
        {IDC_STATIC_TITLE, {71, 53, 386, 113}},    // 47,35 +210,40
        {IDC_BUTTON_START, {162, 149, 293, 191}},  // 108,99 +87,28
        {IDOK, {164, 218, 294, 260}},              // 109,145 +87,28
        {IDC_BUTTON_STOP, {360, 327, 467, 359}},   // 240,218 +71,21
        {IDC_STATIC_AREA, {0, 0, 468, 326}},       // 0,0 +312,217
    };
    ASSERT_EQ(dialog->controls.size(), expected.size());
    for (const sys::ControlTemplate& c : dialog->controls) {
        ASSERT_EQ(expected.count(c.id), 1u) << "unexpected control " << c.id;
        EXPECT_EQ(sys::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy), expected.at(c.id))
            << "control " << c.id;
        EXPECT_FALSE(c.visible) << c.id;
        EXPECT_FALSE(c.enabled) << c.id;
    }
}

TEST_F(Resources, DialogTemplatesCarryTheirCaptionsFontsAndControls) {
    const sys::DialogTemplate* main = sys::FindDialog(IDD_TOLVANE_DIALOG);
    const sys::DialogTemplate* about = sys::FindDialog(IDD_ABOUTBOX);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(sys::FindDialog(12345), nullptr);

    EXPECT_EQ(main->caption, "Tolvane");
    EXPECT_EQ(main->fontFace, "ＭＳ Ｐゴシック");
    EXPECT_EQ(main->fontPoints, 9);
    EXPECT_EQ(main->controls[0].kind, sys::ControlKind::Static);
    EXPECT_EQ(main->controls[4].text, "描画エリア");

    EXPECT_EQ(about->cx, 235);
    EXPECT_EQ(about->cy, 55);
    EXPECT_EQ(about->caption, "Tolvaneのﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(about->fontFace, "ＭＳ Ｐゴシック");
    ASSERT_EQ(about->controls.size(), 4u);
    const sys::ControlTemplate& icon = about->controls[0];
    EXPECT_EQ(icon.kind, sys::ControlKind::Icon);
    EXPECT_EQ(icon.icon, IDR_MAINFRAME);
    EXPECT_EQ(about->controls[1].text, "Tolvane Version 1.0");
    const sys::ControlTemplate& ok = about->controls[3];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.kind, sys::ControlKind::DefaultButton);
    EXPECT_EQ(sys::DialogUnitsToPixels(ok.x, ok.y, ok.cx, ok.cy), (gfx::Rect{267, 11, 342, 32}));
    for (const sys::ControlTemplate& c : about->controls) {
        EXPECT_TRUE(c.visible && c.enabled) << c.text;
    }
}

TEST_F(Resources, StringsLoadByIdAndMissingOnesAreEmpty) {
    EXPECT_EQ(sys::LoadString(IDS_ABOUTBOX), "Tolvane のﾊﾞｰｼﾞｮﾝ情報(&A)...");
    EXPECT_EQ(sys::LoadString(999), "");
    sys::InstallResources(nullptr);
    EXPECT_EQ(sys::LoadString(IDS_ABOUTBOX), "");
    EXPECT_EQ(sys::FindDialog(IDD_TOLVANE_DIALOG), nullptr);
    EXPECT_TRUE(sys::FindBitmapData(IDB_BIRD0).empty());
}

TEST_F(Resources, SpritesAreFortyByFortyAtTheirColourDepths) {
    const std::pair<int, int> depths[] = {
        {IDB_BIRD_MASK0, 4}, {IDB_BIRD_MASK1, 4}, {IDB_BIRD0, 8}, {IDB_BIRD1, 8}};
    for (const auto& [id, bpp] : depths) {
        const std::span<const std::uint8_t> data = sys::FindBitmapData(id);
        ASSERT_GT(data.size(), 54u) << id;
        EXPECT_EQ(data[0], 'B');
        EXPECT_EQ(data[1], 'M');
        EXPECT_EQ(BitsPerPixel(data), bpp) << id;
        const gfx::Bitmap bitmap = Load(id);
        EXPECT_EQ(bitmap.Width(), 40) << id;
        EXPECT_EQ(bitmap.Height(), 40) << id;
    }
}

TEST_F(Resources, MaskWhiteIsExactlyTheChickOfItsColourFrame) {
    struct Frame {
        int mask, colour;
        Colour background;
    };
    // Red 255, green 253, blue 251 is 0xFBFDFF in 0x00BBGGRR terms.
    const Frame frames[] = {{IDB_BIRD_MASK0, IDB_BIRD0, 0xFBFDFF},
                            {IDB_BIRD_MASK1, IDB_BIRD1, 0xFBFBFB}};
    for (const Frame& f : frames) {
        const gfx::Bitmap mask = Load(f.mask);
        const gfx::Bitmap colour = Load(f.colour);
        ASSERT_FALSE(mask.IsNull());
        ASSERT_FALSE(colour.IsNull());
        std::map<Colour, int> maskCount;
        std::map<Colour, int> chickColours;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const Colour m = mask.GetPixel(x, y);
                const Colour c = colour.GetPixel(x, y);
                ++maskCount[m];
                const bool chick = c != f.background;
                EXPECT_EQ(m == kWhite, chick) << "frame " << f.colour << " at " << x << "," << y;
                if (m != kWhite && m != kBlack) {
                    // A grey edge pixel lies outside the chick.
                    EXPECT_EQ(c, f.background) << "grey at " << x << "," << y;
                }
                if (chick) {
                    ++chickColours[c];
                }
            }
        }
        EXPECT_EQ(colour.GetPixel(0, 0), f.background);
        // White, black and a few greys along the outline, nothing else.
        EXPECT_GT(maskCount[kWhite], 400) << f.mask;
        EXPECT_GT(maskCount[kBlack], 400) << f.mask;
        int greys = 0;
        for (const auto& [c, n] : maskCount) {
            if (c != kWhite && c != kBlack) {
                EXPECT_TRUE(gfx::RedOf(c) == gfx::GreenOf(c) && gfx::GreenOf(c) == gfx::BlueOf(c))
                    << std::hex << c;
                greys += n;
            }
        }
        EXPECT_GE(greys, 1) << f.mask;
        EXPECT_LE(greys, 40) << f.mask;
        // The chick is mostly yellow: its commonest colour is strong red and green, little blue.
        Colour commonest = 0;
        for (const auto& [c, n] : chickColours) {
            if (n > chickColours[commonest]) {
                commonest = c;
            }
        }
        EXPECT_GT(gfx::RedOf(commonest), 200) << std::hex << commonest;
        EXPECT_GT(gfx::GreenOf(commonest), 160) << std::hex << commonest;
        EXPECT_LT(gfx::BlueOf(commonest), 120) << std::hex << commonest;
    }
}

TEST_F(Resources, TheTwoFramesDifferInTheWing) {
    const gfx::Bitmap frame0 = Load(IDB_BIRD0);
    const gfx::Bitmap frame1 = Load(IDB_BIRD1);
    const gfx::Bitmap mask0 = Load(IDB_BIRD_MASK0);
    const gfx::Bitmap mask1 = Load(IDB_BIRD_MASK1);
    int colourDiffs = 0, maskDiffs = 0, raisedAbove = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool chick0 = frame0.GetPixel(x, y) != 0xFBFDFF;
            const bool chick1 = frame1.GetPixel(x, y) != 0xFBFBFB;
            colourDiffs +=
                chick0 != chick1 || (chick0 && frame0.GetPixel(x, y) != frame1.GetPixel(x, y));
            maskDiffs += mask0.GetPixel(x, y) != mask1.GetPixel(x, y);
            // The raised wing shows above the back, left of the head.
            raisedAbove += y < 16 && x < 18 && chick0 && !chick1;
        }
    }
    EXPECT_GT(colourDiffs, 50);
    EXPECT_GT(maskDiffs, 20);
    EXPECT_GT(raisedAbove, 30);
}

// OR with the mask, then AND with the colour frame: the chick's own colours land on any
// background, and around it the background survives almost unchanged.
TEST_F(Resources, MaskedDrawShowsTheChickOnTheSky) {
    const gfx::Bitmap mask = Load(IDB_BIRD_MASK0);
    const gfx::Bitmap colour = Load(IDB_BIRD0);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const Colour drawn = (kSky | mask.GetPixel(x, y)) & colour.GetPixel(x, y);
            if (mask.GetPixel(x, y) == kWhite) {
                EXPECT_EQ(drawn, colour.GetPixel(x, y));
            } else {
                EXPECT_EQ(drawn, kSky & 0xFBFDFF) << x << "," << y;
            }
        }
    }
}

TEST_F(Resources, IconIsThirtyTwoSquareWithTransparentCorners) {
    const std::span<const std::uint8_t> data = sys::FindBitmapData(IDR_MAINFRAME);
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(BitsPerPixel(data), 32);
    const gfx::Bitmap icon = Load(IDR_MAINFRAME);
    EXPECT_EQ(icon.Width(), 32);
    EXPECT_EQ(icon.Height(), 32);
    EXPECT_NE(icon.GetPixel(16, 16), icon.GetPixel(0, 0));  // something is drawn

    // Read with its alpha, as a window icon is: corners clear, centre opaque.
    SDL_Surface* decoded = SDL_LoadBMP_RW(SDL_RWFromConstMem(data.data(), data.size()), 1);
    ASSERT_NE(decoded, nullptr) << SDL_GetError();
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(decoded);
    ASSERT_NE(rgba, nullptr);
    auto alphaAt = [&](int x, int y) {
        return static_cast<const std::uint8_t*>(rgba->pixels)[y * rgba->pitch + x * 4 + 3];
    };
    EXPECT_EQ(alphaAt(0, 0), 0);
    EXPECT_EQ(alphaAt(31, 31), 0);
    EXPECT_EQ(alphaAt(16, 16), 255);
    SDL_FreeSurface(rgba);
}

// The game's own BMP reader agrees with SDL's on every embedded bitmap (4, 8 and 32 bits),
// colour and alpha, pixel for pixel.
TEST_F(Resources, EveryBitmapDecodesAsSdlReadsIt) {
    for (int id : {IDR_MAINFRAME, IDB_BIRD_MASK0, IDB_BIRD_MASK1, IDB_BIRD0, IDB_BIRD1}) {
        SCOPED_TRACE(id);
        const std::span<const std::uint8_t> data = sys::FindBitmapData(id);
        gfx::DecodedBmp ours;
        ASSERT_TRUE(gfx::DecodeBmp(data, ours));
        SDL_Surface* decoded = SDL_LoadBMP_RW(SDL_RWFromConstMem(data.data(), data.size()), 1);
        ASSERT_NE(decoded, nullptr) << SDL_GetError();
        SDL_Surface* abgr = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ABGR8888, 0);
        SDL_FreeSurface(decoded);
        ASSERT_NE(abgr, nullptr);
        ASSERT_EQ(ours.colours.Width(), abgr->w);
        ASSERT_EQ(ours.colours.Height(), abgr->h);
        int differing = 0;
        for (int y = 0; y < abgr->h; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                static_cast<const std::uint8_t*>(abgr->pixels) + y * abgr->pitch);
            for (int x = 0; x < abgr->w; ++x) {
                differing += ours.colours.GetPixel(x, y) != (row[x] & 0xFFFFFF) ||
                             ours.alpha[y * abgr->w + x] != row[x] >> 24;
            }
        }
        SDL_FreeSurface(abgr);
        EXPECT_EQ(differing, 0);
    }
}

TEST(ResourceLookup, DecodedBitmapsAreSharedPerTableAndCopiedOut) {
    TOLVANE_NEEDS_REAL_THREADS();
    // Bitmap 132 of a table of our own is the game's 134; two threads load it at once from a
    // cache that starts empty, each often, and scribble on their copies.
    InstallTolvaneResources();
    const std::span<const std::uint8_t> mask = sys::FindBitmapData(IDB_BIRD_MASK0);
    gfx::Bitmap expected;
    ASSERT_TRUE(sys::LoadBitmap(IDB_BIRD_MASK0, expected));
    gfx::Bitmap colour;
    ASSERT_TRUE(sys::LoadBitmap(IDB_BIRD0, colour));
    const sys::BitmapResource bitmaps[] = {{IDB_BIRD0, mask}};
    const sys::ResourceTable table{bitmaps, {}, {}};
    sys::InstallResources(&table);

    // Both start together. Not with std::barrier: in MinGW's C++ library (no futex) its wait
    // can miss the wake-up for good.
    std::atomic<int> arrived{0};
    const auto loader = [&](std::vector<bool>& same) {
        arrived.fetch_add(1);
        while (arrived.load() < 2) {
            std::this_thread::yield();
        }
        for (int i = 0; i < 200; ++i) {
            gfx::Bitmap b;
            sys::LoadBitmap(IDB_BIRD0, b);
            same.push_back(
                b.Width() == expected.Width() && b.Height() == expected.Height() &&
                std::equal(b.Data(), b.Data() + b.Width() * b.Height(), expected.Data()));
            b.Fill(0x123456);
        }
    };
    std::vector<bool> a, b;
    std::thread other(loader, std::ref(b));
    loader(a);
    other.join();
    EXPECT_EQ(std::count(a.begin(), a.end(), true), 200);
    EXPECT_EQ(std::count(b.begin(), b.end(), true), 200);

    // The game's table again: its own bitmap 132, not the one decoded for the other table.
    InstallTolvaneResources();
    gfx::Bitmap again;
    ASSERT_TRUE(sys::LoadBitmap(IDB_BIRD0, again));
    EXPECT_TRUE(
        std::equal(again.Data(), again.Data() + again.Width() * again.Height(), colour.Data()));
    sys::InstallResources(nullptr);
}

}  // namespace
