#include <gtest/gtest.h>

#include <string>

#include "platform/window/SystemMenu.h"

namespace {

TEST(SystemMenu, DisplayTextDropsAccessMarkers) {
    struct Case {
        const char* text;
        const char* shown;
        int underline;
    };
    const Case cases[] = {
        {"Tolvane のﾊﾞｰｼﾞｮﾝ情報(&A)...", "Tolvane のﾊﾞｰｼﾞｮﾝ情報(A)...",
         static_cast<int>(std::string("Tolvane のﾊﾞｰｼﾞｮﾝ情報(").size())},
        {"&Close", "Close", 0},
        {"Fish && Chips", "Fish & Chips", -1},
        {"trailing&", "trailing&", -1},
        {"", "", -1},
    };
    for (const Case& c : cases) {
        int underline = 99;
        EXPECT_EQ(ui::SystemMenu::DisplayText(c.text, &underline), c.shown);
        EXPECT_EQ(underline, c.underline) << c.text;
    }
}

TEST(SystemMenu, LaysOutInsideItsBoundsAndNavigatesItems) {
    ui::SystemMenu menu;
    menu.AppendSeparator();
    menu.Append(16, "About &Tolvane");
    ASSERT_EQ(menu.Items().size(), 3u);
    EXPECT_EQ(menu.Items()[0].command, ui::SC_CLOSE);
    EXPECT_FALSE(menu.IsOpen());
    EXPECT_EQ(menu.ItemAt({0, 0}), -1);

    gfx::Font font(90, "ＭＳ Ｐゴシック");
    const gfx::Rect client{0, 0, 467, 359};
    menu.Open({460, 350}, client, font);  // near the corner: pushed back inside
    ASSERT_TRUE(menu.IsOpen());
    const gfx::Rect b = menu.Bounds();
    EXPECT_EQ(b.right, client.right);
    EXPECT_EQ(b.bottom, client.bottom);
    EXPECT_GE(b.Width(), 120);

    const gfx::Rect close = menu.ItemRect(0);
    const gfx::Rect separator = menu.ItemRect(1);
    const gfx::Rect about = menu.ItemRect(2);
    EXPECT_EQ(menu.ItemAt(close.Centre()), 0);
    EXPECT_EQ(menu.ItemAt(separator.Centre()), -1);  // not selectable
    EXPECT_EQ(menu.ItemAt(about.Centre()), 2);
    EXPECT_EQ(menu.ItemAt({b.left, b.top}), -1);  // the border
    EXPECT_EQ(menu.ItemAt({b.left - 1, about.top}), -1);

    // The highlight skips the separator and wraps.
    menu.MoveHot(+1);
    EXPECT_EQ(menu.Hot(), 0);
    menu.MoveHot(+1);
    EXPECT_EQ(menu.Hot(), 2);
    menu.MoveHot(+1);
    EXPECT_EQ(menu.Hot(), 0);
    menu.MoveHot(-1);
    EXPECT_EQ(menu.Hot(), 2);
    EXPECT_FALSE(menu.SetHot(2));
    EXPECT_TRUE(menu.SetHot(1));  // a separator takes no highlight
    EXPECT_EQ(menu.Hot(), -1);

    EXPECT_EQ(menu.ItemForKey('t'), 2);
    EXPECT_EQ(menu.ItemForKey('T'), 2);
    EXPECT_EQ(menu.ItemForKey('c'), -1);  // "Close" has no access key

    menu.Close();
    EXPECT_FALSE(menu.IsOpen());
    EXPECT_EQ(menu.ItemAt(about.Centre()), -1);
}

TEST(SystemMenu, DrawsOnlyInsideItsBounds) {
    ui::SystemMenu menu;
    menu.AppendSeparator();
    menu.Append(16, "Tolvane のﾊﾞｰｼﾞｮﾝ情報(&A)...");
    gfx::Font font(90, "ＭＳ Ｐゴシック");
    gfx::Bitmap surface(300, 200, 0x123456);
    gfx::DeviceContext dc;
    dc.SelectObject(&surface);
    menu.Open({20, 30}, {0, 0, 300, 200}, font);
    menu.SetHot(2);
    menu.Draw(dc, font);
    const gfx::Rect b = menu.Bounds();
    int changedOutside = 0;
    int textPixels = 0;
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            const gfx::Colour c = surface.GetPixel(x, y);
            if (!b.Contains(x, y)) {
                changedOutside += c != 0x123456;
            } else if (menu.ItemRect(0).Contains(x, y) && c != 0xF0F0F0) {
                ++textPixels;
            }
        }
    }
    EXPECT_EQ(changedOutside, 0);
    EXPECT_GT(textPixels, 0);                                             // "Close" is drawn
    EXPECT_EQ(surface.GetPixel(b.left, b.top), gfx::Rgb(151, 151, 151));  // border
    EXPECT_EQ(surface.GetPixel(menu.ItemRect(2).left + 2, menu.ItemRect(2).top + 1),
              gfx::Rgb(145, 201, 247));  // highlighted item
}

}  // namespace
