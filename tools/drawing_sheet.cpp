// The drawing sheet: every primitive of the software device context drawn into one surface,
// each with a small label, saved as a BMP file (argv[1], default drawing_sheet.bmp).
//
// The sheet is a column of sections, each a title bar and a drawing area of a fixed height.
// A new section is one more entry in Sections() below.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "GClass/SerrikDC.h"
#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "platform/graphics/BmpFile.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/ScopedSelect.h"
#include "platform/system/Resources.h"

namespace {

using gfx::Colour;
using gfx::DeviceContext;
using gfx::Point;
using gfx::Rect;

constexpr int kSheetWidth = 980;
constexpr int kTitleHeight = 24;
constexpr Colour kPaper = 0xF0F0F0;
constexpr Colour kCellPaper = 0xFFFFFF;
constexpr Colour kInk = 0x000000;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x00C000;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kYellow = 0x00E0FF;
constexpr Colour kGrey = 0xA0A0A0;
constexpr Colour kSky = 0xDEBD89;
constexpr const char* kFace = "ＭＳ ゴシック";
constexpr unsigned kCentred = gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE;

struct Section {
    std::string title;
    int height;
    std::function<void(DeviceContext&, const Rect&)> draw;
};

// Draws `text` centred in `box` at `tenths` in the game's face, on a transparent background.
void Label(DeviceContext& dc, const std::string& text, const Rect& box, int tenths = 90,
           Colour colour = kInk) {
    gfx::Font font(tenths, kFace);
    const gfx::ScopedSelect<gfx::Font> withFont(dc, &font);
    const Colour oldColour = dc.SetTextColor(colour);
    const int oldMode = dc.SetBkMode(gfx::TRANSPARENT);
    dc.DrawText(text, box, kCentred);
    dc.SetBkMode(oldMode);
    dc.SetTextColor(oldColour);
}

// Runs `draw` with a pen and a brush selected, then puts the previous ones back.
void WithTools(DeviceContext& dc, int penWidth, Colour pen, Colour brush,
               const std::function<void()>& draw) {
    gfx::Pen p(penWidth, pen);
    gfx::Brush b(brush);
    const gfx::ScopedSelect<gfx::Pen> withPen(dc, &p);
    const gfx::ScopedSelect<gfx::Brush> withBrush(dc, &b);
    draw();
}

void FillRect(DeviceContext& dc, const Rect& r, Colour c) {
    WithTools(dc, 1, c, c, [&] { dc.Rectangle(r); });
}

// A checkerboard behind XOR drawing shows that every pixel is inverted, not painted over.
void Checker(DeviceContext& dc, const Rect& r, int cell) {
    for (int y = r.top; y < r.bottom; y += cell) {
        for (int x = r.left; x < r.right; x += cell) {
            const bool dark = ((x - r.left) / cell + (y - r.top) / cell) % 2 != 0;
            FillRect(dc, {x, y, std::min(x + cell, r.right), std::min(y + cell, r.bottom)},
                     dark ? 0x606060 : 0xE0E0E0);
        }
    }
}

// A grid of cells: a white drawing box each, its label below.
using Cell = std::pair<std::string, std::function<void(DeviceContext&, const Rect&)>>;

void DrawCells(DeviceContext& dc, const Rect& area, const std::vector<Cell>& cells, int columns) {
    constexpr int kGap = 8;
    constexpr int kLabelHeight = 18;
    const int rows = (static_cast<int>(cells.size()) + columns - 1) / columns;
    const int cellWidth = (area.Width() - kGap) / columns;
    const int cellHeight = (area.Height() - kGap) / rows;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int col = static_cast<int>(i) % columns;
        const int row = static_cast<int>(i) / columns;
        const int left = area.left + kGap + col * cellWidth;
        const int top = area.top + kGap + row * cellHeight;
        const Rect box{left, top, left + cellWidth - kGap, top + cellHeight - kGap - kLabelHeight};
        FillRect(dc, box, kCellPaper);
        cells[i].second(dc, box);
        Label(dc, cells[i].first, {box.left, box.bottom, box.right, box.bottom + kLabelHeight});
    }
}

// --- Shapes --------------------------------------------------------------------------------

Rect Inset(const Rect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right - dx, r.bottom - dy};
}

Rect Inset(const Rect& r, int d) {
    return Inset(r, d, d);
}

void DrawShapes(DeviceContext& dc, const Rect& area) {
    const std::vector<Cell> cells = {
        {"Rectangle, 1-px pen",
         [](DeviceContext& dc, const Rect& b) {
             WithTools(dc, 1, kRed, kGreen, [&] { dc.Rectangle(Inset(b, 30, 25)); });
         }},
        {"Rectangle, 5-px pen centred",
         [](DeviceContext& dc, const Rect& b) {
             WithTools(dc, 5, kBlue, kYellow, [&] { dc.Rectangle(Inset(b, 30, 25)); });
         }},
        {"Ellipse, 1-px pen",
         [](DeviceContext& dc, const Rect& b) {
             WithTools(dc, 1, kRed, kGreen, [&] { dc.Ellipse(Inset(b, 20, 20)); });
         }},
        {"Ellipse, 4-px pen",
         [](DeviceContext& dc, const Rect& b) {
             WithTools(dc, 4, kBlue, kYellow, [&] { dc.Ellipse(Inset(b, 20, 20)); });
         }},
        {"Circles 1..8 px",
         [](DeviceContext& dc, const Rect& b) {
             int x = b.left + 8;
             for (int d = 1; d <= 8; ++d) {
                 WithTools(dc, 1, kRed, kGreen,
                           [&] { dc.Ellipse(x, b.top + 20, x + d, b.top + 20 + d); });
                 x += d + 6;
             }
             WithTools(dc, 1, kRed, kGreen,
                       [&] { dc.Ellipse(b.left + 60, b.top + 45, b.left + 120, b.top + 105); });
         }},
        {"Arc CCW right -> top",
         [](DeviceContext& dc, const Rect& b) {
             const Rect r = Inset(b, 30, 20);
             const Point c = r.Centre();
             WithTools(dc, 1, kGrey, kGrey,
                       [&] { dc.Arc(r.left, r.top, r.right, r.bottom, c.x, r.top, c.x, r.top); });
             WithTools(dc, 3, kRed, kRed,
                       [&] { dc.Arc(r.left, r.top, r.right, r.bottom, r.right, c.y, c.x, r.top); });
         }},
        {"Arc CCW top -> right",
         [](DeviceContext& dc, const Rect& b) {
             const Rect r = Inset(b, 30, 20);
             const Point c = r.Centre();
             WithTools(dc, 1, kBlue, kBlue,
                       [&] { dc.Arc(r.left, r.top, r.right, r.bottom, c.x, r.top, r.right, c.y); });
         }},
        {"Arc, start = end: all but 1 px",
         [](DeviceContext& dc, const Rect& b) {
             const Rect r = Inset(b, 40, 15);
             const int x = r.Centre().x;
             WithTools(dc, 1, kInk, kInk,
                       [&] { dc.Arc(r.left, r.top, r.right, r.bottom, x, r.top, x, r.top); });
         }},
        {"Polygon even-odd",
         [](DeviceContext& dc, const Rect& b) {
             const int cx = b.Centre().x, top = b.top + 8;
             const Point star[] = {{cx, top},
                                   {cx + 35, top + 104},
                                   {cx - 55, top + 40},
                                   {cx + 55, top + 40},
                                   {cx - 35, top + 104}};
             WithTools(dc, 1, kRed, kYellow, [&] { dc.Polygon(star, 5); });
         }},
        {"Polygons, 3-px pen",
         [](DeviceContext& dc, const Rect& b) {
             const Point triangle[] = {{b.left + 50, b.top + 10},
                                       {b.left + 10, b.bottom - 12},
                                       {b.left + 90, b.bottom - 12}};
             WithTools(dc, 1, kBlue, kBlue, [&] { dc.Polygon(triangle, 3); });
             const Point diamond[] = {{b.left + 135, b.top + 10},
                                      {b.right - 8, b.Centre().y},
                                      {b.left + 135, b.bottom - 10},
                                      {b.left + 100, b.Centre().y}};
             WithTools(dc, 3, kRed, kGreen, [&] { dc.Polygon(diamond, 4); });
         }},
        {"1-px lines, end left out",
         [](DeviceContext& dc, const Rect& b) {
             const Point c{b.left + 20, b.bottom - 12};
             for (int i = 0; i <= 8; ++i) {
                 WithTools(dc, 1, i % 2 ? kBlue : kRed, kInk, [&] {
                     dc.MoveTo(c.x, c.y);
                     dc.LineTo(c.x + 150 - i * 17, c.y - i * 12);
                 });
             }
         }},
        {"Wide lines 2, 3, 5, 9 px",
         [](DeviceContext& dc, const Rect& b) {
             int y = b.top + 15;
             for (const int w : {2, 3, 5, 9}) {
                 WithTools(dc, w, kBlue, kBlue, [&] {
                     dc.MoveTo(b.left + 20, y);
                     dc.LineTo(b.right - 50, y + 12);
                 });
                 y += 25;
             }
             WithTools(dc, 7, kRed, kRed, [&] {
                 dc.MoveTo(b.right - 25, b.top + 15);
                 dc.LineTo(b.right - 25, b.bottom - 15);
             });
         }},
        {"XOR pen over a checker",
         [](DeviceContext& dc, const Rect& b) {
             Checker(dc, b, 10);
             dc.SetROP2(gfx::R2_XORPEN);
             WithTools(dc, 3, 0xFFFFFF, 0x00FFFF, [&] {
                 dc.Rectangle(b.left + 15, b.top + 15, b.left + 110, b.top + 90);
                 dc.Ellipse(b.left + 70, b.top + 30, b.right - 15, b.bottom - 10);
             });
             dc.SetROP2(gfx::R2_COPYPEN);
         }},
        {"XOR twice: restored",
         [](DeviceContext& dc, const Rect& b) {
             Checker(dc, b, 10);
             dc.SetROP2(gfx::R2_XORPEN);
             for (int pass = 0; pass < 2; ++pass) {
                 WithTools(dc, 3, 0xFFFFFF, 0x00FFFF, [&] {
                     dc.Rectangle(b.left + 15, b.top + 15, b.left + 110, b.top + 90);
                     dc.Ellipse(b.left + 70, b.top + 30, b.right - 15, b.bottom - 10);
                     dc.MoveTo(b.left + 10, b.bottom - 10);
                     dc.LineTo(b.right - 10, b.top + 10);
                 });
             }
             dc.SetROP2(gfx::R2_COPYPEN);
         }},
        {"SetPixel",
         [](DeviceContext& dc, const Rect& b) {
             for (int y = b.top + 10; y < b.bottom - 10; y += 3) {
                 for (int x = b.left + 10; x < b.right - 10; x += 3) {
                     dc.SetPixel(x, y,
                                 gfx::Rgb((x - b.left) * 255 / b.Width(),
                                          (y - b.top) * 255 / b.Height(), 128));
                 }
             }
         }},
    };
    DrawCells(dc, area, cells, 5);
}

// --- Block transfers ---------------------------------------------------------------------

void DrawBlocks(DeviceContext& dc, const Rect& area) {
    // A source of four colour bands over a grey ramp, transferred three ways onto stripes.
    gfx::Bitmap source(120, 90);
    for (int y = 0; y < 90; ++y) {
        for (int x = 0; x < 120; ++x) {
            const Colour bands[] = {kRed, kGreen, kBlue, 0xFFFFFF};
            source.SetPixel(x, y, y < 60 ? bands[x / 30] : gfx::Rgb(x * 2, x * 2, x * 2));
        }
    }
    DeviceContext src;
    src.SelectObject(&source);
    const auto background = [](DeviceContext& dc, const Rect& b) {
        for (int y = b.top; y < b.bottom; y += 12) {
            FillRect(dc, {b.left, y, b.right, std::min(y + 6, b.bottom)}, 0x30A0A0);
        }
    };
    const std::vector<Cell> cells = {
        {"source",
         [&](DeviceContext& dc, const Rect& b) {
             dc.BitBlt(b.left + 30, b.top + 15, 120, 90, &src, 0, 0, gfx::SRCCOPY);
         }},
        {"SRCCOPY",
         [&](DeviceContext& dc, const Rect& b) {
             background(dc, b);
             dc.BitBlt(b.left + 30, b.top + 15, 120, 90, &src, 0, 0, gfx::SRCCOPY);
         }},
        {"SRCPAINT (OR)",
         [&](DeviceContext& dc, const Rect& b) {
             background(dc, b);
             dc.BitBlt(b.left + 30, b.top + 15, 120, 90, &src, 0, 0, gfx::SRCPAINT);
         }},
        {"SRCAND (AND)",
         [&](DeviceContext& dc, const Rect& b) {
             background(dc, b);
             dc.BitBlt(b.left + 30, b.top + 15, 120, 90, &src, 0, 0, gfx::SRCAND);
         }},
        {"negative source offset",
         [&](DeviceContext& dc, const Rect& b) {
             background(dc, b);
             // Only the part that exists in the source is copied, at its own place.
             dc.BitBlt(b.left + 30, b.top + 15, 120, 90, &src, -40, -30, gfx::SRCCOPY);
         }},
    };
    DrawCells(dc, area, cells, 5);
}

// --- Text ----------------------------------------------------------------------------------

void DrawTexts(DeviceContext& dc, const Rect& area) {
    struct Line {
        const char* text;
        int tenths;
        Colour colour;
    };
    const Line lines[] = {{"Stage1", 200, kInk},
                          {"Go!!", 300, kRed},
                          {"Game Over!!", 400, kBlue},
                          {"Kovalo", 400, kInk},
                          {"ゲーム開始 Start", 250, kGreen},
                          {"Stage1 / 5", 200, kRed}};
    const int rowHeight = 64;
    const int columnWidth = (area.Width() - 24) / 2;
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        const int col = static_cast<int>(i % 2);
        const int row = static_cast<int>(i / 2);
        const Rect box{area.left + 8 + col * (columnWidth + 8), area.top + 8 + row * rowHeight,
                       area.left + 8 + col * (columnWidth + 8) + columnWidth - 150,
                       area.top + 8 + row * rowHeight + rowHeight - 8};
        FillRect(dc, box, kCellPaper);
        // The rectangle's outline, one pixel outside it, shows the centring.
        WithTools(dc, 1, kGrey, kGrey, [&] {
            dc.MoveTo(box.left - 1, box.top - 1);
            dc.LineTo(box.right, box.top - 1);
            dc.LineTo(box.right, box.bottom);
            dc.LineTo(box.left - 1, box.bottom);
            dc.LineTo(box.left - 1, box.top - 1);
        });
        Label(dc, lines[i].text, box, lines[i].tenths, lines[i].colour);
        Label(dc,
              std::to_string(lines[i].tenths) + " = " +
                  std::to_string(gfx::Font::PointTenthsToPixels(lines[i].tenths)) + " px",
              {box.right + 4, box.top, box.right + 146, box.bottom});
    }
    // Clipping, an opaque background and text over a picture.
    const int top = area.top + 8 + 3 * rowHeight;
    const Rect clipped{area.left + 8, top, area.left + 128, top + 50};
    FillRect(dc, clipped, kCellPaper);
    Label(dc, "Game Over!!", clipped, 400, kRed);
    Label(dc, "clipped to 120 px", {clipped.right + 4, top, clipped.right + 150, top + 50});

    const Rect opaque{area.left + 290, top, area.left + 520, top + 50};
    FillRect(dc, opaque, 0xC0C0C0);
    {
        gfx::Font font(300, kFace);
        const gfx::ScopedSelect<gfx::Font> withFont(dc, &font);
        dc.SetBkMode(gfx::OPAQUE);
        dc.SetBkColor(kYellow);
        dc.SetTextColor(kBlue);
        dc.DrawText("Opaque", opaque, kCentred);
    }
    Label(dc, "opaque background", {opaque.right + 4, top, opaque.right + 150, top + 50});

    const Rect overPicture{area.left + 680, top, area.right - 8, top + 50};
    Checker(dc, overPicture, 8);
    Label(dc, "Transparent", overPicture, 300, kRed);
}

// --- The chick, composed with its masks -------------------------------------------------------

void DrawChicks(DeviceContext& dc, const Rect& area) {
    InstallTolvaneResources();
    struct Frame {
        int mask;
        int colour;
    };
    const Frame kFrames[] = {{IDB_BIRD_MASK0, IDB_BIRD0}, {IDB_BIRD_MASK1, IDB_BIRD1}};
    int left = area.left + 8;
    for (int frame = 0; frame < 2; ++frame) {
        gfx::Bitmap mask, colour;
        if (!sys::LoadBitmap(kFrames[frame].mask, mask) ||
            !sys::LoadBitmap(kFrames[frame].colour, colour)) {
            Label(dc, "bitmaps missing", {left, area.top, left + 200, area.bottom}, 120, kRed);
            left += 220;
            continue;
        }
        const int w = colour.Width();
        const int h = colour.Height();
        // Sky; OR the mask (white on the chick), AND the colour frame (white around it).
        gfx::Bitmap composed(w, h, kSky);
        DeviceContext out, m, c;
        out.SelectObject(&composed);
        m.SelectObject(&mask);
        c.SelectObject(&colour);
        out.BitBlt(0, 0, w, h, &m, 0, 0, gfx::SRCPAINT);
        out.BitBlt(0, 0, w, h, &c, 0, 0, gfx::SRCAND);

        const int top = area.top + 8;
        FillRect(dc, {left, top, left + 80 + 4 * w, top + 4 * h + 16}, kSky);
        dc.BitBlt(left + 20, top + 20, w, h, &out, 0, 0, gfx::SRCCOPY);
        // Enlarged four times, nearest neighbour.
        for (int y = 0; y < 4 * h; ++y) {
            for (int x = 0; x < 4 * w; ++x) {
                dc.SetPixel(left + 70 + x, top + 8 + y, composed.GetPixel(x / 4, y / 4));
            }
        }
        Label(dc,
              "frame " + std::to_string(frame) + ": mask " + std::to_string(kFrames[frame].mask) +
                  ", colour " + std::to_string(kFrames[frame].colour),
              {left, top + 4 * h + 16, left + 80 + 4 * w, top + 4 * h + 34});
        left += 100 + 4 * w;
    }
}

// --- CSerrikDC ------------------------------------------------------------------------------

// A cell drawn through CSerrikDC, as the game draws.
Cell Serrik(const char* label, std::function<void(CSerrikDC&, DeviceContext&, Rect)> draw) {
    return {label, [draw](DeviceContext& dc, const Rect& box) {
                CSerrikDC s(&dc, 0);
                draw(s, dc, box);
            }};
}

std::vector<Cell> SerrikCells() {
    return {
        Serrik("DrawRect", [](CSerrikDC& s, DeviceContext&,
                              Rect b) { s.DrawRect(Inset(b, 12), kRed, kYellow); }),
        Serrik("DrawRaisedPanel",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   s.DrawRect(b, kGrey, kGrey);
                   s.DrawRaisedPanel(Inset(b, 14), 0xD8D8D8);
               }),
        Serrik("DrawSunkenPanel",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   s.DrawRect(b, kGrey, kGrey);
                   s.DrawSunkenPanel(Inset(b, 14), 0xD8D8D8);
               }),
        Serrik("DrawChecker 12", [](CSerrikDC& s, DeviceContext&,
                                    Rect b) { s.DrawChecker(Inset(b, 6), kInk, kYellow, 12); }),
        Serrik("DrawLine 1/3/6",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   s.DrawLine(b.left + 8, b.bottom - 8, b.right - 8, b.top + 8, kRed, 1);
                   s.DrawLine(b.left + 8, b.top + 20, b.right - 8, b.top + 20, kGreen, 3);
                   s.DrawLine(b.left + 20, b.bottom - 30, b.right - 30, b.bottom - 10, kBlue, 6);
               }),
        Serrik("DrawFrame 1/4",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   s.DrawFrame(b.left + 8, b.top + 8, b.right - 8, b.bottom - 8, kBlue, 1);
                   s.DrawFrame(b.left + 30, b.top + 30, b.right - 30, b.bottom - 30, kRed, 4);
               }),
        Serrik("DrawCircle x,y / pt",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   const gfx::Point c = b.Centre();
                   s.DrawCircle(c.x - 32, c.y, 28, kInk, kRed);
                   s.DrawCircle(gfx::Point{c.x + 32, c.y}, 28, kBlue, kGreen);
               }),
        Serrik("DrawEllipse", [](CSerrikDC& s, DeviceContext&,
                                 Rect b) { s.DrawEllipse(Inset(b, 10), kBlue, kYellow); }),
        Serrik("DrawCircleOutline",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   const gfx::Point c = b.Centre();
                   s.DrawCircleOutline(c.x, c.y, 45, kRed);
                   s.DrawCircleOutline(c.x, c.y, 20, kBlue);
               }),
        Serrik("DrawEllipseOutline", [](CSerrikDC& s, DeviceContext&,
                                        Rect b) { s.DrawEllipseOutline(Inset(b, 8), kGreen); }),
        Serrik("DrawTriangle 0-3",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   const int w = b.Width() / 2;
                   const int h = b.Height() / 2;
                   const gfx::Colour colours[] = {kRed, kGreen, kBlue, kInk};
                   for (int d = 0; d < 4; ++d) {
                       const int x = b.left + (d % 2) * w;
                       const int y = b.top + (d / 2) * h;
                       s.DrawTriangle({x + 8, y + 6, x + w - 8, y + h - 6}, colours[d], d);
                   }
               }),
        Serrik("DrawPentagon",
               [](CSerrikDC& s, DeviceContext&, Rect b) { s.DrawPentagon(Inset(b, 8), kBlue); }),
        Serrik(
            "DrawPolygon 3/6/8",
            [](CSerrikDC& s, DeviceContext&, Rect b) {
                const int w = b.Width() / 3;
                const int n[] = {3, 6, 8};
                for (int i = 0; i < 3; ++i) {
                    const int x = b.left + i * w;
                    s.DrawPolygon({x + 3, b.top + 30, x + w - 3, b.top + 30 + w - 6}, kGreen, n[i]);
                }
            }),
        Serrik("DrawGradientH", [](CSerrikDC& s, DeviceContext&,
                                   Rect b) { s.DrawGradientH(Inset(b, 8), 0xFF8040); }),
        Serrik("DrawGradientV",
               [](CSerrikDC& s, DeviceContext&, Rect b) { s.DrawGradientV(Inset(b, 8), kRed); }),
        Serrik("DrawTextAt 100",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   const gfx::Point c = b.Centre();
                   // The clipping square: its side is the size read as pixels.
                   s.DrawFrame(c.x - 50, c.y - 50, c.x + 50, c.y + 50, kGrey, 1);
                   s.DrawTextAt(c.x, c.y, "Stage1 / 5", 100, kBlue);
               }),
        Serrik("DrawTextInRect",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   const gfx::Rect wide{b.left + 6, b.top + 8, b.right - 6, b.top + 48};
                   const gfx::Rect narrow{b.left + 30, b.top + 62, b.right - 30, b.bottom - 8};
                   s.DrawRect(wide, kGrey, 0xF0F0F0);
                   s.DrawTextInRect(wide, "Go!!", 200, kRed);
                   s.DrawRect(narrow, kGrey, 0xF0F0F0);
                   s.DrawTextInRect(narrow, "Game Over!!", 200, kInk);
               }),
        Serrik("SetPixelAt x,y / pt",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   for (int y = b.top + 6; y < b.bottom - 6; y += 4) {
                       for (int x = b.left + 6; x < b.right - 6; x += 4) {
                           if ((x + y) % 8 == 0) {
                               s.SetPixelAt(x, y, kRed);
                           } else {
                               s.SetPixelAt(gfx::Point{x, y}, kBlue);
                           }
                       }
                   }
               }),
        Serrik("FillArea, L = cx - 20",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   // A diamond outline filled from its centre: one run per row, never column L.
                   const gfx::Point c = b.Centre();
                   s.DrawLine(c.x, b.top + 6, b.right - 10, c.y, kInk, 1);
                   s.DrawLine(b.right - 10, c.y, c.x, b.bottom - 6, kInk, 1);
                   s.DrawLine(c.x, b.bottom - 6, b.left + 10, c.y, kInk, 1);
                   s.DrawLine(b.left + 10, c.y, c.x, b.top + 6, kInk, 1);
                   s.FillArea({c.x - 20, b.top, c.x + 80, b.bottom}, c.x, c.y, kYellow);
               }),
        Serrik("DrawLineFromAnchor",
               [](CSerrikDC& s, DeviceContext&, Rect b) {
                   s.SetAnchor(b.left + 10, b.bottom - 10);
                   for (int i = 0; i <= 6; ++i) {
                       s.DrawLineFromAnchor(b.left + 10 + i * 20, b.top + 10, i % 2 ? kRed : kBlue,
                                            1);
                   }
                   s.SetAnchor(gfx::Point{b.right - 10, b.bottom - 10});
                   s.DrawLineFromAnchor(gfx::Point{b.right - 60, b.top + 40}, kGreen, 3);
               }),
        Serrik(
            "XOR DrawRect+Ellipse",
            [](CSerrikDC&, DeviceContext& dc, Rect b) {
                CSerrikDC x(&dc, 1);
                x.DrawRect({b.left + 10, b.top + 10, b.left + 90, b.top + 70}, kRed, kRed);
                x.DrawRect({b.left + 50, b.top + 35, b.right - 10, b.bottom - 10}, kRed, kRed);
                x.DrawEllipse({b.left + 30, b.top + 20, b.left + 110, b.bottom - 4}, kBlue, kBlue);
            }),
    };
}

constexpr int kSerrikColumns = 6;
constexpr int kSerrikRowHeight = 130;

int SerrikHeight() {
    const int cells = static_cast<int>(SerrikCells().size());
    return (cells + kSerrikColumns - 1) / kSerrikColumns * kSerrikRowHeight + 8;
}

void DrawSerrik(DeviceContext& dc, const Rect& area) {
    DrawCells(dc, area, SerrikCells(), kSerrikColumns);
}

std::vector<Section> Sections() {
    return {
        {"Shapes: pen centred on the outline, brush fill, copy and XOR mix modes", 510, DrawShapes},
        {"Block transfers, clipped to both surfaces", 150, DrawBlocks},
        {"Text in \"ＭＳ ゴシック\", centred in its rectangle (grey frame just outside)", 270,
         DrawTexts},
        {"The chick, 1:1 and x4: sky 0xDEBD89, the mask ORed (SRCPAINT), the frame ANDed (SRCAND)",
         220, DrawChicks},
        {"CSerrikDC: every drawing-context operation", SerrikHeight(), DrawSerrik},
    };
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "drawing_sheet.bmp";
    const std::vector<Section> sections = Sections();
    int height = 0;
    for (const Section& s : sections) {
        height += kTitleHeight + s.height;
    }
    gfx::Bitmap sheet(kSheetWidth, height, kPaper);
    DeviceContext dc;
    dc.SelectObject(&sheet);
    int top = 0;
    for (const Section& s : sections) {
        FillRect(dc, {0, top, kSheetWidth, top + kTitleHeight}, 0x604020);
        Label(dc, s.title, {0, top, kSheetWidth, top + kTitleHeight}, 110, 0xFFFFFF);
        top += kTitleHeight;
        s.draw(dc, {0, top, kSheetWidth, top + s.height});
        top += s.height;
    }
    if (!gfx::SaveBmp(sheet, path)) {
        std::fprintf(stderr, "drawing_sheet: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s: %d x %d\n", path.c_str(), sheet.Width(), sheet.Height());
    return 0;
}
