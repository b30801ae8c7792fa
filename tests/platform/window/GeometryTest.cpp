#include <gtest/gtest.h>

#include "platform/window/Geometry.h"

namespace {

struct ScaleCase {
    int clientW, clientH;
    gfx::Point frame;
    int usableW, usableH, expected;
};

// Windows 10's frame of a fixed-size window with a caption: 8 px borders, a 31 px caption.
constexpr gfx::Point kFrame{16, 39};

TEST(IntegerScale, LargestWindowWithinNineTenthsOfTheDisplay) {
    const ScaleCase cases[] = {
        {467, 359, kFrame, 1920, 1040, 2},     // 1080 less a task bar: 757 <= 936, 1116 > 936
        {467, 359, kFrame, 1366, 728, 1},      // 768 less a task bar: 757 > 655.2
        {467, 359, {0, 32}, 1920, 1048, 2},    // 1080 less a desktop's top bar
        {467, 359, kFrame, 1280, 1024, 2},     // 950 <= 1152 and 757 <= 921.6
        {467, 359, kFrame, 3840, 2160, 5},     // width allows 7, height only 5
        {467, 359, kFrame, 800, 600, 1},       // too small for even one: still 1
        {300, 200, {0, 0}, 1000, 9999, 3},     // exactly nine tenths at n = 3 counts
        {300, 200, {0, 0}, 999, 9999, 2},      // one pixel less does not
        {300, 200, {10, 0}, 1000, 9999, 2},    // nor does a frame
        {467, 359, {0, 2}, 1920, 800, 2},      // 720 <= 720
        {467, 359, {0, 3}, 1920, 800, 1},      // the frame's third row tips it
        {467, 359, {2000, 0}, 1920, 1080, 1},  // a frame wider than the display
        {467, 359, kFrame, 0, 0, 1},           // unknown display
        {0, 359, kFrame, 1920, 1080, 1},       // degenerate client
        {60, 30, {0, 0}, 1024, 768, 15},
    };
    for (const ScaleCase& c : cases) {
        EXPECT_EQ(ui::IntegerScale(c.clientW, c.clientH, c.frame, c.usableW, c.usableH), c.expected)
            << c.clientW << "x" << c.clientH << " framed " << c.frame.x << "x" << c.frame.y
            << " on " << c.usableW << "x" << c.usableH;
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
