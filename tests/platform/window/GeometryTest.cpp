#include <gtest/gtest.h>

#include "platform/window/Geometry.h"

namespace {

struct ScaleCase {
    int clientW, clientH, usableW, usableH, expected;
};

TEST(IntegerScale, LargestFactorWithinTwoThirdsOfTheDisplay) {
    const ScaleCase cases[] = {
        {467, 359, 1280, 1024, 1},  // 934 > 853: one step up is too wide
        {467, 359, 1920, 1080, 2},  // 934 <= 1280 and 718 <= 720
        {467, 359, 1920, 1076, 1},  // 718 > 717.3: the height decides
        {467, 359, 3840, 2160, 4},  // width allows 5, height only 4
        {467, 359, 800, 600, 1},    // too small for even one: still 1
        {300, 200, 900, 600, 2},    // exactly two thirds at n = 2 counts
        {300, 200, 899, 600, 1},    // one pixel less does not
        {467, 359, 0, 0, 1},        // unknown display
        {0, 359, 1920, 1080, 1},    // degenerate client
        {60, 30, 1024, 768, 11},
    };
    for (const ScaleCase& c : cases) {
        EXPECT_EQ(ui::IntegerScale(c.clientW, c.clientH, c.usableW, c.usableH), c.expected)
            << c.clientW << "x" << c.clientH << " on " << c.usableW << "x" << c.usableH;
    }
}

TEST(PlaceWindow, CentresOverItsOwnerAndStaysOnTheDisplay) {
    struct Case {
        const char* what;
        gfx::Point size;
        gfx::Rect around, usable;
        gfx::Point expected;
    };
    const gfx::Rect screen{0, 0, 1280, 1024};
    const Case cases[] = {
        {"centred on the screen", {467, 359}, screen, screen, {406, 332}},
        {"centred over its owner", {352, 82}, {406, 332, 873, 691}, screen, {463, 470}},
        {"owner near the right edge", {352, 82}, {1100, 10, 1567, 369}, screen, {928, 148}},
        {"owner above the top", {352, 82}, {0, -300, 467, 59}, screen, {57, 0}},
        {"a panel on the left", {467, 359}, {40, 0, 320, 240}, {40, 0, 320, 240}, {40, 0}},
        {"a screen smaller than the window",
         {467, 359},
         {0, 0, 320, 240},
         {0, 0, 320, 240},
         {0, 0}},
        {"a screen just large enough", {467, 359}, {0, 0, 467, 359}, {0, 0, 467, 359}, {0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::PlaceWindow(c.size, c.around, c.usable), c.expected) << c.what;
    }
}

TEST(Geometry, MapsClientToWindowAndBack) {
    const ui::Geometry g(467, 359, 3);
    EXPECT_EQ(g.WindowSize(), (gfx::Point{1401, 1077}));
    EXPECT_EQ(g.ToWindow({10, 20, 30, 40}), (gfx::Rect{30, 60, 90, 120}));
    struct Case {
        gfx::Point window, client;
    };
    const Case cases[] = {
        {{0, 0}, {0, 0}},           {{2, 2}, {0, 0}}, {{3, 5}, {1, 1}},
        {{1400, 1076}, {466, 358}},  // the last window pixel is the last client pixel
        {{-1, -1}, {-1, -1}},        // dragged off the left/top edge: still outside
        {{-3, -4}, {-1, -2}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(g.ToClient(c.window), c.client) << c.window.x << "," << c.window.y;
    }
    // Every client pixel's window block maps back to that pixel.
    for (int x = -2; x < 5; ++x) {
        const gfx::Rect block = g.ToWindow({x, x, x + 1, x + 1});
        EXPECT_EQ(g.ToClient({block.left, block.top}), (gfx::Point{x, x}));
        EXPECT_EQ(g.ToClient({block.right - 1, block.bottom - 1}), (gfx::Point{x, x}));
    }
    EXPECT_EQ(ui::Geometry(10, 10, 0).Scale(), 1);
}

}  // namespace
