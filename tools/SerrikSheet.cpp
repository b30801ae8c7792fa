#include "tools/SerrikSheet.h"

#include <functional>
#include <string>

#include "GClass/SerrikDC.h"

namespace {

constexpr int kTileWidth = 150;
constexpr int kTileHeight = 130;
constexpr int kLabelHeight = 18;
constexpr int kLabelSize = 90;  // tenths of a point

constexpr gfx::Colour kPaper = 0xFFFFFF;
constexpr gfx::Colour kInk = 0x000000;
constexpr gfx::Colour kRed = 0x0000FF;
constexpr gfx::Colour kGreen = 0x00A000;
constexpr gfx::Colour kBlue = 0xFF0000;
constexpr gfx::Colour kYellow = 0x00D0FF;
constexpr gfx::Colour kGrey = 0xC0C0C0;

struct Tile {
    const char* label;
    // Draws into the picture box below the label.
    std::function<void(CSerrikDC&, gfx::DeviceContext&, gfx::Rect)> draw;
};

// The picture box shrunk by `inset` on every side.
gfx::Rect Inset(gfx::Rect r, int inset) {
    return {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
}

const Tile kTiles[] = {
    {"DrawRect", [](CSerrikDC& s, gfx::DeviceContext&,
                    gfx::Rect b) { s.DrawRect(Inset(b, 12), kRed, kYellow); }},
    {"DrawRaisedPanel",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         s.DrawRect(b, kGrey, kGrey);
         s.DrawRaisedPanel(Inset(b, 14), 0xD8D8D8);
     }},
    {"DrawSunkenPanel",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         s.DrawRect(b, kGrey, kGrey);
         s.DrawSunkenPanel(Inset(b, 14), 0xD8D8D8);
     }},
    {"DrawChecker 12", [](CSerrikDC& s, gfx::DeviceContext&,
                          gfx::Rect b) { s.DrawChecker(Inset(b, 6), kInk, kYellow, 12); }},
    {"DrawLine 1/3/6",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         s.DrawLine(b.left + 8, b.bottom - 8, b.right - 8, b.top + 8, kRed, 1);
         s.DrawLine(b.left + 8, b.top + 20, b.right - 8, b.top + 20, kGreen, 3);
         s.DrawLine(b.left + 20, b.bottom - 30, b.right - 30, b.bottom - 10, kBlue, 6);
     }},
    {"DrawFrame 1/4",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         s.DrawFrame(b.left + 8, b.top + 8, b.right - 8, b.bottom - 8, kBlue, 1);
         s.DrawFrame(b.left + 30, b.top + 30, b.right - 30, b.bottom - 30, kRed, 4);
     }},
    {"DrawCircle x,y / pt",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         const gfx::Point c = b.Centre();
         s.DrawCircle(c.x - 32, c.y, 28, kInk, kRed);
         s.DrawCircle(gfx::Point{c.x + 32, c.y}, 28, kBlue, kGreen);
     }},
    {"DrawEllipse", [](CSerrikDC& s, gfx::DeviceContext&,
                       gfx::Rect b) { s.DrawEllipse(Inset(b, 10), kBlue, kYellow); }},
    {"DrawCircleOutline",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         const gfx::Point c = b.Centre();
         s.DrawCircleOutline(c.x, c.y, 45, kRed);
         s.DrawCircleOutline(c.x, c.y, 20, kBlue);
     }},
    {"DrawEllipseOutline", [](CSerrikDC& s, gfx::DeviceContext&,
                              gfx::Rect b) { s.DrawEllipseOutline(Inset(b, 8), kGreen); }},
    {"DrawTriangle 0-3",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         const int w = b.Width() / 2;
         const int h = b.Height() / 2;
         const gfx::Colour colours[] = {kRed, kGreen, kBlue, kInk};
         for (int d = 0; d < 4; ++d) {
             const int x = b.left + (d % 2) * w;
             const int y = b.top + (d / 2) * h;
             s.DrawTriangle({x + 8, y + 6, x + w - 8, y + h - 6}, colours[d], d);
         }
     }},
    {"DrawPentagon",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) { s.DrawPentagon(Inset(b, 8), kBlue); }},
    {"DrawPolygon 3/6/8",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         const int w = b.Width() / 3;
         const int n[] = {3, 6, 8};
         for (int i = 0; i < 3; ++i) {
             const int x = b.left + i * w;
             s.DrawPolygon({x + 3, b.top + 30, x + w - 3, b.top + 30 + w - 6}, kGreen, n[i]);
         }
     }},
    {"DrawGradientH", [](CSerrikDC& s, gfx::DeviceContext&,
                         gfx::Rect b) { s.DrawGradientH(Inset(b, 8), 0xFF8040); }},
    {"DrawGradientV",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) { s.DrawGradientV(Inset(b, 8), kRed); }},
    {"DrawTextAt 100",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         const gfx::Point c = b.Centre();
         // The clipping square: its side is the size read as pixels.
         s.DrawFrame(c.x - 50, c.y - 50, c.x + 50, c.y + 50, kGrey, 1);
         s.DrawTextAt(c.x, c.y, "Stage1 / 5", 100, kBlue);
     }},
    {"DrawTextInRect",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         const gfx::Rect wide{b.left + 6, b.top + 8, b.right - 6, b.top + 48};
         const gfx::Rect narrow{b.left + 30, b.top + 62, b.right - 30, b.bottom - 8};
         s.DrawRect(wide, kGrey, 0xF0F0F0);
         s.DrawTextInRect(wide, "Go!!", 200, kRed);
         s.DrawRect(narrow, kGrey, 0xF0F0F0);
         s.DrawTextInRect(narrow, "Game Over!!", 200, kInk);
     }},
    {"SetPixelAt x,y / pt",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         for (int y = b.top + 6; y < b.bottom - 6; y += 4) {
             for (int x = b.left + 6; x < b.right - 6; x += 4) {
                 if ((x + y) % 8 == 0) {
                     s.SetPixelAt(x, y, kRed);
                 } else {
                     s.SetPixelAt(gfx::Point{x, y}, kBlue);
                 }
             }
         }
     }},
    {"FillArea, L = cx - 20",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         // A diamond outline filled from its centre: one run per row, never column L.
         const gfx::Point c = b.Centre();
         s.DrawLine(c.x, b.top + 6, b.right - 10, c.y, kInk, 1);
         s.DrawLine(b.right - 10, c.y, c.x, b.bottom - 6, kInk, 1);
         s.DrawLine(c.x, b.bottom - 6, b.left + 10, c.y, kInk, 1);
         s.DrawLine(b.left + 10, c.y, c.x, b.top + 6, kInk, 1);
         s.FillArea({c.x - 20, b.top, c.x + 80, b.bottom}, c.x, c.y, kYellow);
     }},
    {"DrawLineFromAnchor",
     [](CSerrikDC& s, gfx::DeviceContext&, gfx::Rect b) {
         s.SetAnchor(b.left + 10, b.bottom - 10);
         for (int i = 0; i <= 6; ++i) {
             s.DrawLineFromAnchor(b.left + 10 + i * 20, b.top + 10, i % 2 ? kRed : kBlue, 1);
         }
         s.SetAnchor(gfx::Point{b.right - 10, b.bottom - 10});
         s.DrawLineFromAnchor(gfx::Point{b.right - 60, b.top + 40}, kGreen, 3);
     }},
    {"XOR DrawRect+Ellipse",
     [](CSerrikDC&, gfx::DeviceContext& dc, gfx::Rect b) {
         CSerrikDC x(&dc, 1);
         x.DrawRect({b.left + 10, b.top + 10, b.left + 90, b.top + 70}, kRed, kRed);
         x.DrawRect({b.left + 50, b.top + 35, b.right - 10, b.bottom - 10}, kRed, kRed);
         x.DrawEllipse({b.left + 30, b.top + 20, b.left + 110, b.bottom - 4}, kBlue, kBlue);
     }},
};

constexpr int kTileCount = static_cast<int>(sizeof(kTiles) / sizeof(kTiles[0]));

int ColumnsFor(int width) {
    const int columns = width / kTileWidth;
    return columns < 1 ? 1 : columns;
}

}  // namespace

int SerrikSheetHeight(int width) {
    const int columns = ColumnsFor(width);
    return (kTileCount + columns - 1) / columns * kTileHeight;
}

void DrawSerrikSheet(gfx::DeviceContext& dc, gfx::Rect area) {
    const int columns = ColumnsFor(area.Width());
    CSerrikDC s(&dc, 0);
    for (int i = 0; i < kTileCount; ++i) {
        const int left = area.left + (i % columns) * kTileWidth;
        const int top = area.top + (i / columns) * kTileHeight;
        const gfx::Rect tile{left, top, left + kTileWidth, top + kTileHeight};
        s.DrawRect(tile, kGrey, kPaper);
        s.DrawTextInRect({left + 2, top + 1, tile.right - 2, top + kLabelHeight}, kTiles[i].label,
                         kLabelSize, kInk);
        const gfx::Rect picture{left + 1, top + kLabelHeight, tile.right - 1, tile.bottom - 1};
        kTiles[i].draw(s, dc, picture);
    }
}
