// Clipping never changes a pixel: a shape drawn whole on a large surface, and drawn moved
// onto a small surface at many offsets (so that each part of it is cut at each edge), agrees
// on every pixel of the small one. The work skipped off the surface (the outline walk, the
// strokes, the rows and the glyphs no one sees) is exactly what these cases cut.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/platform/graphics/GraphicsTestSupport.h"

namespace gfx::testing {
namespace {

constexpr int kLarge = 360;  // every shape fits inside with its pen
constexpr int kSmallW = 41;
constexpr int kSmallH = 29;

struct ClipCase {
    const char* name;
    int pen;
    int rop2;  // or, for text, the background mode
    // Draws the shape moved by (dx, dy).
    std::function<void(DeviceContext&, int dx, int dy)> draw;
};

std::vector<Point> Moved(std::vector<Point> points, int dx, int dy) {
    for (Point& p : points) {
        p = {p.x + dx, p.y + dy};
    }
    return points;
}

const std::vector<ClipCase>& Cases() {
    static const std::vector<ClipCase> cases = [] {
        std::vector<ClipCase> c;
        for (const int pen : {1, 3, 8, 45}) {
            for (const int rop : {R2_COPYPEN, R2_XORPEN}) {
                c.push_back({"ellipse", pen, rop, [](DeviceContext& dc, int dx, int dy) {
                                 dc.Ellipse(60 + dx, 70 + dy, 301 + dx, 222 + dy);
                             }});
                c.push_back({"tall ellipse", pen, rop, [](DeviceContext& dc, int dx, int dy) {
                                 dc.Ellipse(150 + dx, 40 + dy, 157 + dx, 320 + dy);
                             }});
                c.push_back({"arc", pen, rop, [](DeviceContext& dc, int dx, int dy) {
                                 dc.Arc(70 + dx, 60 + dy, 290 + dx, 300 + dy, 300 + dx, 10 + dy,
                                        100 + dx, 330 + dy);
                             }});
                c.push_back({"whole arc", pen, rop, [](DeviceContext& dc, int dx, int dy) {
                                 dc.Arc(80 + dx, 90 + dy, 281 + dx, 250 + dy, 300 + dx, 170 + dy,
                                        300 + dx, 170 + dy);
                             }});
                c.push_back({"polygon", pen, rop, [](DeviceContext& dc, int dx, int dy) {
                                 const std::vector<Point> star = Moved({{180, 40},
                                                                        {220, 300},
                                                                        {60, 120},
                                                                        {300, 120},
                                                                        {140, 300},
                                                                        {181, 40},
                                                                        {90, 200},
                                                                        {250, 60}},
                                                                       dx, dy);
                                 dc.Polygon(star.data(), static_cast<int>(star.size()));
                             }});
                c.push_back({"lines", pen, rop, [](DeviceContext& dc, int dx, int dy) {
                                 dc.MoveTo(50 + dx, 310 + dy);
                                 dc.LineTo(310 + dx, 47 + dy);
                                 dc.LineTo(120 + dx, 60 + dy);
                                 dc.LineTo(121 + dx, 300 + dy);
                             }});
            }
        }
        // Glyphs small enough to be kept whole, and large ones rasterised only in part.
        for (const int px : {24, 170}) {
            for (const int mode : {OPAQUE, TRANSPARENT}) {
                c.push_back({px == 24 ? "small text" : "large text", 1, mode,
                             [px, mode](DeviceContext& dc, int dx, int dy) {
                                 Font font((px * 720 + 95) / 96, "MS Gothic");
                                 Font* previous = dc.SelectObject(&font);
                                 dc.SetBkMode(mode);
                                 dc.SetTextColor(0x40C0FF);
                                 dc.DrawText("Ag\xE6\xBC\xA2!",
                                             {20 + dx, 40 + dy, 340 + dx, 320 + dy}, 0x25);
                                 dc.SelectObject(previous);
                             }});
            }
        }
        return c;
    }();
    return cases;
}

class ClippingTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ClippingTest, ASmallSurfaceShowsExactlyItsPartOfTheWholeShape) {
    const ClipCase& c = Cases()[GetParam()];
    Canvas whole(kLarge, kLarge, kBackground, c.pen);
    whole.dc.SetROP2(c.rop2);  // text ignores it
    c.draw(whole.dc, 0, 0);
    for (int oy = -kSmallH + 1; oy < kLarge; oy += 23) {
        for (int ox = -kSmallW + 1; ox < kLarge; ox += 37) {
            Canvas part(kSmallW, kSmallH, kBackground, c.pen);
            part.dc.SetROP2(c.rop2);
            c.draw(part.dc, -ox, -oy);
            for (int y = 0; y < kSmallH; ++y) {
                for (int x = 0; x < kSmallW; ++x) {
                    const Colour seen = whole.At(x + ox, y + oy);
                    const Colour expected = seen == kInvalidColour ? kBackground : seen;
                    ASSERT_EQ(part.At(x, y), expected)
                        << c.name << ", pen " << c.pen << ", rop " << c.rop2 << ": pixel ("
                        << x + ox << ", " << y + oy << ") seen through a surface at (" << ox << ", "
                        << oy << ")";
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ClippingTest, ::testing::Range<std::size_t>(0, Cases().size()),
                         [](const auto& info) {
                             const ClipCase& c = Cases()[info.param];
                             std::string name = std::string(c.name) + "_pen" +
                                                std::to_string(c.pen) +
                                                (c.rop2 == R2_XORPEN    ? "_xor"
                                                 : c.rop2 == R2_COPYPEN ? "_copy"
                                                 : c.rop2 == OPAQUE     ? "_opaque"
                                                                        : "_transparent");
                             for (char& ch : name) {
                                 ch = ch == ' ' ? '_' : ch;
                             }
                             return name;
                         });

}  // namespace
}  // namespace gfx::testing
