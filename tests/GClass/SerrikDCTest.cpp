#include "GClass/SerrikDC.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/AssertRecorder.h"
#include "tests/support/Canvas.h"

namespace {

using testsupport::AssertRecorder;
using testsupport::Canvas;
using testsupport::kAssertsActive;

constexpr gfx::Colour kWhite = 0xFFFFFF;
constexpr gfx::Colour kRed = 0x0000FF;
constexpr gfx::Colour kGreen = 0x00FF00;
constexpr gfx::Colour kBlue = 0xFF0000;

// Every pixel that differs from `before`, as points.
std::vector<gfx::Point> Changed(const Canvas& s, const std::vector<gfx::Colour>& before) {
    std::vector<gfx::Point> changed;
    const auto after = s.Pixels();
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i] != before[i]) {
            const int w = s.bitmap.Width();
            changed.push_back({static_cast<int>(i) % w, static_cast<int>(i) / w});
        }
    }
    return changed;
}

gfx::Rect BoundsOf(const std::vector<gfx::Point>& points) {
    gfx::Rect r{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
    for (const gfx::Point& p : points) {
        r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x + 1),
             std::max(r.bottom, p.y + 1)};
    }
    return r;
}

TEST(SerrikDC, NullContextAsserts) {
    AssertRecorder asserts;
    CSerrikDC dc(nullptr, 0);
    EXPECT_EQ(asserts.Count(), kAssertsActive ? 1 : 0);
}

TEST(SerrikDC, DrawRectOutlinesAndFillsWithoutRightColumnAndBottomRow) {
    Canvas s(30, 25, kWhite);
    CSerrikDC dc(&s.dc, 0);
    dc.DrawRect({10, 10, 20, 15}, kRed, kBlue);
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 30; ++x) {
            gfx::Colour expected = kWhite;
            if (x >= 10 && x < 20 && y >= 10 && y < 15) {
                expected = (x == 10 || x == 19 || y == 10 || y == 14) ? kRed : kBlue;
            }
            ASSERT_EQ(s.At(x, y), expected) << x << ", " << y;
        }
    }
}

struct PanelCase {
    const char* name;
    bool raised;
    gfx::Colour topLeft;
    gfx::Colour bottomRight;
};

class SerrikDCPanel : public testing::TestWithParam<PanelCase> {};

// The panel's expected colour at (x, y) over a background read from `background`.
gfx::Colour PanelPixel(const PanelCase& c, gfx::Rect r, gfx::Colour face, int x, int y,
                       gfx::Colour background) {
    if (x == r.right && y == r.top) {
        return background;  // both edge lines leave out their end point there
    }
    if ((y == r.bottom && x >= r.left && x <= r.right) ||
        (x == r.right && y > r.top && y <= r.bottom)) {
        return c.bottomRight;
    }
    if ((y == r.top && x >= r.left && x < r.right) || (x == r.left && y > r.top && y < r.bottom)) {
        return c.topLeft;
    }
    if (x > r.left && x < r.right && y > r.top && y < r.bottom) {
        return face;
    }
    return background;
}

void DrawPanel(CSerrikDC& dc, const PanelCase& c, gfx::Rect r, gfx::Colour face) {
    if (c.raised) {
        dc.DrawRaisedPanel(r, face);
    } else {
        dc.DrawSunkenPanel(r, face);
    }
}

TEST_P(SerrikDCPanel, EdgesLieOnePixelOutsideTheFace) {
    const PanelCase& c = GetParam();
    const gfx::Rect r{4, 3, 14, 9};
    Canvas s(20, 14, 0x123456);
    CSerrikDC dc(&s.dc, 0);
    DrawPanel(dc, c, r, 0x808080);
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 20; ++x) {
            ASSERT_EQ(s.At(x, y), PanelPixel(c, r, 0x808080, x, y, 0x123456)) << x << ", " << y;
        }
    }
}

TEST_P(SerrikDCPanel, XorFacesCancelButEdgesStaySolid) {
    const PanelCase& c = GetParam();
    const gfx::Rect r{4, 3, 14, 9};
    Canvas s(20, 14, 0);
    s.FillPattern();
    const auto before = s.Pixels();
    CSerrikDC dc(&s.dc, 1);
    DrawPanel(dc, c, r, 0x808080);
    DrawPanel(dc, c, r, 0x808080);
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 20; ++x) {
            const gfx::Colour background = before[static_cast<std::size_t>(y * 20 + x)];
            gfx::Colour expected = PanelPixel(c, r, 0x808080, x, y, background);
            if (expected == 0x808080u) {
                expected = background;  // the face was XOR-drawn twice
            }
            ASSERT_EQ(s.At(x, y), expected) << x << ", " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Panels, SerrikDCPanel,
                         testing::Values(PanelCase{"Raised", true, 0xFAFAFA, 0x262626},
                                         PanelCase{"Sunken", false, 0x262626, 0xFAFAFA}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SerrikDC, CheckerFiveByThreeStartsWithTheFirstColour) {
    Canvas s(110, 70, kWhite);
    CSerrikDC dc(&s.dc, 0);
    dc.DrawChecker({0, 0, 100, 60}, kRed, kGreen, 20);
    for (int y = 0; y < 70; ++y) {
        for (int x = 0; x < 110; ++x) {
            gfx::Colour expected = kWhite;
            if (x < 100 && y < 60) {
                expected = (x / 20 + y / 20) % 2 == 0 ? kRed : kGreen;
            }
            ASSERT_EQ(s.At(x, y), expected) << x << ", " << y;
        }
    }
}

TEST(SerrikDC, CheckerCellsFollowTheGridsSpreadOrigins) {
    // 107 / 20 gives 5 columns 21 wide at 0, 21, 42, 64 and 85: columns 63 and 106 stay bare.
    Canvas s(120, 30, kWhite);
    CSerrikDC dc(&s.dc, 0);
    dc.DrawChecker({3, 2, 110, 22}, kRed, kGreen, 20);
    const int y = 10;
    EXPECT_EQ(s.At(3 + 62, y), kRed);
    EXPECT_EQ(s.At(3 + 63, y), kWhite);
    EXPECT_EQ(s.At(3 + 64, y), kGreen);
    EXPECT_EQ(s.At(3 + 105, y), kRed);
    EXPECT_EQ(s.At(3 + 106, y), kWhite);
    EXPECT_EQ(s.At(3, 2), kRed);
    EXPECT_EQ(s.At(3, 22), kWhite);
}

TEST(SerrikDC, CheckerWithoutWholeCellsDrawsNothing) {
    // Cells larger than the rectangle are legitimate input: no grid, and no assertion.
    for (const int cellSize : {0, -3, 61, 101}) {
        Canvas s(110, 70, kWhite);
        const auto before = s.Pixels();
        CSerrikDC dc(&s.dc, 0);
        AssertRecorder asserts;
        dc.DrawChecker({0, 0, 100, 60}, kRed, kGreen, cellSize);
        EXPECT_EQ(s.Pixels(), before) << cellSize;
        EXPECT_EQ(asserts.Count(), 0) << cellSize;
    }
}

TEST(SerrikDC, LineLeavesOutItsEndPointAndWidthZeroIsOnePixel) {
    Canvas one(12, 8, kWhite);
    Canvas zero(12, 8, kWhite);
    CSerrikDC(&one.dc, 0).DrawLine(2, 3, 8, 3, kRed, 1);
    CSerrikDC(&zero.dc, 0).DrawLine(2, 3, 8, 3, kRed, 0);
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(one.At(x, 3), x >= 2 && x < 8 ? kRed : kWhite) << x;
        EXPECT_EQ(one.At(x, 2), kWhite);
        EXPECT_EQ(one.At(x, 4), kWhite);
    }
    EXPECT_EQ(zero.Pixels(), one.Pixels());

    Canvas wide(12, 8, kWhite);
    CSerrikDC(&wide.dc, 0).DrawLine(2, 3, 8, 3, kRed, 3);
    EXPECT_EQ(wide.At(5, 2), kRed);
    EXPECT_EQ(wide.At(5, 4), kRed);
}

TEST(SerrikDC, FrameClosesAllFourCorners) {
    Canvas s(20, 15, kWhite);
    CSerrikDC(&s.dc, 0).DrawFrame(5, 5, 15, 10, kRed, 1);
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool onEdge = ((y == 5 || y == 10) && x >= 5 && x <= 15) ||
                                ((x == 5 || x == 15) && y >= 5 && y <= 10);
            ASSERT_EQ(s.At(x, y), onEdge ? kRed : kWhite) << x << ", " << y;
        }
    }
}

TEST(SerrikDC, CircleFillsItsBoxWithoutRightColumnAndBottomRow) {
    Canvas s(40, 40, kWhite);
    CSerrikDC dc(&s.dc, 0);
    dc.DrawCircle(20, 20, 10, kRed, kBlue);
    EXPECT_EQ(s.At(20, 20), kBlue);
    EXPECT_EQ(s.At(20, 10), kRed);
    EXPECT_EQ(s.At(10, 20), kRed);
    EXPECT_EQ(s.At(20, 29), kRed);
    EXPECT_EQ(s.At(29, 20), kRed);
    EXPECT_EQ(s.At(20, 30), kWhite);
    EXPECT_EQ(s.At(30, 20), kWhite);
    EXPECT_EQ(s.At(20, 9), kWhite);
    EXPECT_EQ(s.At(11, 11), kWhite);

    Canvas byPoint(40, 40, kWhite);
    CSerrikDC(&byPoint.dc, 0).DrawCircle({20, 20}, 10, kRed, kBlue);
    EXPECT_EQ(byPoint.Pixels(), s.Pixels());
    Canvas byEllipse(40, 40, kWhite);
    CSerrikDC(&byEllipse.dc, 0).DrawEllipse({10, 10, 30, 30}, kRed, kBlue);
    EXPECT_EQ(byEllipse.Pixels(), s.Pixels());
}

TEST(SerrikDC, OutlinesDrawTheWholeRingOnly) {
    Canvas s(40, 40, kWhite);
    const auto before = s.Pixels();
    CSerrikDC(&s.dc, 0).DrawCircleOutline(20, 20, 10, kRed);
    const auto ring = Changed(s, before);
    const gfx::Rect bounds = BoundsOf(ring);
    EXPECT_EQ(bounds.left, 10);
    EXPECT_EQ(bounds.top, 10);
    EXPECT_GE(bounds.right, 30);
    EXPECT_LE(bounds.right, 31);
    EXPECT_GE(bounds.bottom, 30);
    EXPECT_LE(bounds.bottom, 31);
    for (const gfx::Point& p : ring) {
        EXPECT_EQ(s.At(p.x, p.y), kRed);
        const int dx = p.x - 20;
        const int dy = p.y - 20;
        EXPECT_GE(dx * dx + dy * dy, 7 * 7) << p.x << ", " << p.y;  // nothing filled
    }

    Canvas ellipse(40, 40, kWhite);
    CSerrikDC(&ellipse.dc, 0).DrawEllipseOutline({10, 10, 30, 30}, kRed);
    EXPECT_EQ(ellipse.Pixels(), s.Pixels());
}

struct TriangleCase {
    int direction;
    std::vector<gfx::Point> inside;
    std::vector<gfx::Point> outside;
};

TEST(SerrikDC, TrianglesPointUpRightAndLeft) {
    const TriangleCase cases[] = {
        {0, {{20, 30}, {20, 5}, {3, 37}, {36, 37}}, {{3, 3}, {36, 3}, {20, 41}}},
        {1, {{5, 20}, {30, 20}, {3, 3}, {3, 36}}, {{36, 3}, {36, 36}, {41, 20}}},
        {2, {{35, 20}, {10, 20}, {36, 3}, {36, 36}}, {{3, 3}, {3, 36}}},
    };
    for (const TriangleCase& c : cases) {
        Canvas s(50, 50, kWhite);
        CSerrikDC(&s.dc, 0).DrawTriangle({0, 0, 40, 40}, kRed, c.direction);
        for (const gfx::Point& p : c.inside) {
            EXPECT_EQ(s.At(p.x, p.y), kRed) << c.direction << ": " << p.x << ", " << p.y;
        }
        for (const gfx::Point& p : c.outside) {
            EXPECT_EQ(s.At(p.x, p.y), kWhite) << c.direction << ": " << p.x << ", " << p.y;
        }
    }
}

TEST(SerrikDC, TriangleDirectionThreeIsTheLeftTriangleAgain) {
    Canvas left(50, 50, kWhite);
    Canvas three(50, 50, kWhite);
    CSerrikDC(&left.dc, 0).DrawTriangle({0, 0, 40, 40}, kRed, 2);
    CSerrikDC(&three.dc, 0).DrawTriangle({0, 0, 40, 40}, kRed, 3);
    // The same vertices in another order: the slanted edges may round their ties the other
    // way, nothing more.
    const auto differ = Changed(three, left.Pixels());
    EXPECT_LE(differ.size(), 2u * 41u);
    for (const gfx::Point& p : differ) {
        // On a slanted edge, |2y - 40| = x, give or take a pixel.
        EXPECT_LE(std::abs(std::abs(2 * p.y - 40) - p.x), 3) << p.x << ", " << p.y;
    }
    EXPECT_EQ(three.At(36, 3), kRed);
    EXPECT_EQ(three.At(10, 20), kRed);
    EXPECT_EQ(three.At(3, 3), kWhite);
}

TEST(SerrikDC, PolygonVerticesUseTheShortFullTurn) {
    struct Case {
        gfx::Rect rect;
        int n;
        std::vector<gfx::Point> vertices;
    };
    const Case cases[] = {
        {{0, 0, 100, 100}, 4, {{100, 50}, {50, 99}, {0, 50}, {49, 0}}},
        {{0, 0, 100, 100}, 5, {{100, 50}, {65, 97}, {9, 79}, {9, 20}, {65, 2}}},
        {{200, 100, 300, 200}, 5, {{300, 150}, {265, 197}, {209, 179}, {209, 120}, {265, 102}}},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
         4,
         {{2147483646, -1}, {78010, 2147483645}, {-2147483643, 156021}, {-234035, -2147483636}}},
    };
    for (const Case& c : cases) {
        std::vector<gfx::Point> out(static_cast<std::size_t>(c.n));
        CSerrikDC::PolygonVertices(c.rect, c.n, out.data());
        EXPECT_EQ(out, c.vertices) << "n = " << c.n << " at " << c.rect.left;
    }
}

TEST(SerrikDC, PolygonIsFilledUpToItsVertices) {
    for (int n : {4, 5, 7}) {
        Canvas s(110, 110, kWhite);
        CSerrikDC(&s.dc, 0).DrawPolygon({0, 0, 100, 100}, kRed, n);
        std::vector<gfx::Point> vertices(static_cast<std::size_t>(n));
        CSerrikDC::PolygonVertices({0, 0, 100, 100}, n, vertices.data());
        EXPECT_EQ(s.At(50, 50), kRed);
        for (const gfx::Point& v : vertices) {
            // 85 % of the way out from the centre lies inside every vertex's corner.
            const int x = 50 + (v.x - 50) * 85 / 100;
            const int y = 50 + (v.y - 50) * 85 / 100;
            EXPECT_EQ(s.At(x, y), kRed) << n << ": near " << v.x << ", " << v.y;
        }
        EXPECT_EQ(s.At(95, 95), kWhite) << n;
        EXPECT_EQ(s.At(104, 50), kWhite) << n;
        EXPECT_EQ(s.At(3, 3), kWhite) << n;
    }
}

TEST(SerrikDC, PentagonIsTheFiveVertexPolygon) {
    Canvas pentagon(110, 110, kWhite);
    Canvas polygon(110, 110, kWhite);
    CSerrikDC(&pentagon.dc, 0).DrawPentagon({0, 0, 100, 100}, kRed);
    CSerrikDC(&polygon.dc, 0).DrawPolygon({0, 0, 100, 100}, kRed, 5);
    EXPECT_EQ(pentagon.Pixels(), polygon.Pixels());
    EXPECT_EQ(pentagon.At(95, 90), kWhite);
    EXPECT_EQ(pentagon.At(4, 50), kWhite);
}

struct GradientCase {
    const char* name;
    bool horizontal;
    gfx::Colour colour;
    gfx::Colour steps[4];
};

class SerrikDCGradient : public testing::TestWithParam<GradientCase> {};

TEST_P(SerrikDCGradient, StepsRunFromBlackToThreeQuarters) {
    const GradientCase& c = GetParam();
    Canvas s(20, 14, kWhite);
    CSerrikDC dc(&s.dc, 0);
    // Four steps along the gradient, three pixels across it.
    const gfx::Rect r = c.horizontal ? gfx::Rect{10, 5, 14, 8} : gfx::Rect{5, 6, 8, 10};
    if (c.horizontal) {
        dc.DrawGradientH(r, c.colour);
    } else {
        dc.DrawGradientV(r, c.colour);
    }
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 20; ++x) {
            gfx::Colour expected = kWhite;
            if (r.Contains(x, y)) {
                expected = c.steps[c.horizontal ? x - r.left : y - r.top];
            }
            ASSERT_EQ(s.At(x, y), expected) << x << ", " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Gradients, SerrikDCGradient,
    testing::Values(GradientCase{"RedAcross", true, 0x0000FF, {0, 63, 127, 191}},
                    GradientCase{"RedDown", false, 0x0000FF, {0, 63, 127, 191}},
                    GradientCase{"MixedAcross", true, 0xFF8040, {0, 0x3F2010, 0x7F4020, 0xBF6030}},
                    GradientCase{"MixedDown", false, 0xFF8040, {0, 0x3F2010, 0x7F4020, 0xBF6030}}),
    [](const auto& info) { return std::string(info.param.name); });

// Arguments at the ends of the int range: the part on the surface is drawn, no sum overflows
// (the asan preset's UndefinedBehaviorSanitizer watches), and a gradient or a checker far
// larger than the surface costs what the surface costs.
TEST(SerrikDC, ArgumentsAtTheEndsOfTheIntRange) {
    struct Case {
        const char* name;
        std::function<void(CSerrikDC&)> draw;
        gfx::Colour at5x5;
    };
    const Case cases[] = {
        // Halfway along four billion columns (rows) lies the surface: half the colour.
        {"gradient across",
         [](CSerrikDC& dc) {
             dc.DrawGradientH({INT_MIN, 0, INT_MAX, 9}, kRed);
         },
         0x00007F},
        {"gradient down",
         [](CSerrikDC& dc) {
             dc.DrawGradientV({0, INT_MIN, 9, INT_MAX}, kRed);
         },
         0x00007F},
        // Cells of 2 px from INT_MIN: cell 2^30 + 2 of each axis covers 4 and 5, an even sum.
        {"checker",
         [](CSerrikDC& dc) {
             dc.DrawChecker({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kRed, kBlue, 2);
         },
         kRed},
        {"circle", [](CSerrikDC& dc) { dc.DrawCircle(INT_MAX, 5, 9, kRed, kRed); }, kWhite},
        {"circle outline", [](CSerrikDC& dc) { dc.DrawCircleOutline(INT_MIN, 5, 9, kRed); },
         kWhite},
        {"ellipse outline",
         [](CSerrikDC& dc) {
             dc.DrawEllipseOutline({INT_MAX - 20, 0, INT_MAX, 9}, kRed);
         },
         kWhite},
        {"triangle",
         [](CSerrikDC& dc) {
             dc.DrawTriangle({INT_MAX - 40, 0, INT_MAX - 2, 40}, kRed, 0);
         },
         kWhite},
        {"text", [](CSerrikDC& dc) { dc.DrawTextAt(INT_MIN, 5, "Go", 200, kRed); }, kWhite},
    };
    for (const Case& c : cases) {
        Canvas s(12, 12, kWhite);
        CSerrikDC dc(&s.dc, 0);
        c.draw(dc);
        EXPECT_EQ(s.At(5, 5), c.at5x5) << c.name;
    }
}

TEST(SerrikDC, EmptyGradientDrawsNothing) {
    Canvas s(20, 14, kWhite);
    const auto before = s.Pixels();
    CSerrikDC dc(&s.dc, 0);
    dc.DrawGradientH({5, 5, 5, 10}, kRed);
    dc.DrawGradientV({5, 5, 10, 5}, kRed);
    EXPECT_EQ(s.Pixels(), before);
}

const std::string kLongText = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";

TEST(SerrikDC, TextAtIsClippedToItsSizeSquare) {
    Canvas s(400, 400, kWhite);
    const auto before = s.Pixels();
    CSerrikDC(&s.dc, 0).DrawTextAt(100, 100, kLongText, 200, kRed);
    const auto ink = Changed(s, before);
    ASSERT_FALSE(ink.empty());
    const gfx::Rect bounds = BoundsOf(ink);
    EXPECT_GE(bounds.left, 0);
    EXPECT_GE(bounds.top, 0);
    EXPECT_LE(bounds.right, 200);
    EXPECT_LE(bounds.bottom, 200);
    // The text is wider than the square, so it reaches both sides.
    EXPECT_LE(bounds.left, 4);
    EXPECT_GE(bounds.right, 196);
    // One line of a 26-pixel font about the centre.
    EXPECT_NEAR((bounds.top + bounds.bottom) / 2.0, 100.0, 6.0);
    EXPECT_LE(bounds.Height(), 30);
}

TEST(SerrikDC, TextInRectIsCentredAndClipped) {
    Canvas s(200, 120, kWhite);
    const auto before = s.Pixels();
    const gfx::Rect box{50, 40, 150, 80};
    CSerrikDC(&s.dc, 0).DrawTextInRect(box, kLongText, 120, kRed);
    const auto ink = Changed(s, before);
    ASSERT_FALSE(ink.empty());
    const gfx::Rect bounds = BoundsOf(ink);
    EXPECT_EQ(bounds.Intersect(box), bounds);
    EXPECT_LE(bounds.left, 52);
    EXPECT_GE(bounds.right, 148);
    EXPECT_NEAR((bounds.top + bounds.bottom) / 2.0, 60.0, 4.0);
    bool solid = false;
    for (const gfx::Point& p : ink) {
        solid = solid || s.At(p.x, p.y) == kRed;
    }
    EXPECT_TRUE(solid) << "no pixel in the full text colour";

    Canvas one(200, 120, kWhite);
    const auto blank = one.Pixels();
    CSerrikDC(&one.dc, 0).DrawTextInRect(box, "H", 120, kRed);
    const gfx::Rect h = BoundsOf(Changed(one, blank));
    EXPECT_NEAR((h.left + h.right) / 2.0, 100.0, 3.0);
    EXPECT_NEAR((h.top + h.bottom) / 2.0, 60.0, 4.0);
}

TEST(SerrikDC, PixelsBothWays) {
    Canvas s(10, 10, kWhite);
    CSerrikDC dc(&s.dc, 0);
    dc.SetPixelAt(2, 3, kRed);
    dc.SetPixelAt(gfx::Point{7, 8}, kBlue);
    dc.SetPixelAt(-1, 3, kRed);
    dc.SetPixelAt(10, 10, kRed);
    EXPECT_EQ(s.At(2, 3), kRed);
    EXPECT_EQ(s.At(7, 8), kBlue);
    EXPECT_EQ(Changed(s, Canvas(10, 10, kWhite).Pixels()).size(), 2u);
}

TEST(SerrikDC, LinesFromTheAnchorFanOut) {
    Canvas s(40, 40, kWhite);
    CSerrikDC dc(&s.dc, 0);
    dc.DrawLineFromAnchor(5, 0, kGreen, 1);  // from the initial anchor (0, 0)
    dc.SetAnchor(10, 10);
    dc.DrawLineFromAnchor(30, 10, kRed, 1);
    dc.DrawLineFromAnchor(gfx::Point{10, 30}, kBlue, 1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(s.At(i, 0), kGreen) << i;
    }
    EXPECT_EQ(s.At(5, 0), kWhite);
    EXPECT_EQ(s.At(10, 10), kBlue);  // both lines start there; the second overdraws
    for (int i = 11; i < 30; ++i) {
        EXPECT_EQ(s.At(i, 10), kRed) << i;
        EXPECT_EQ(s.At(10, i), kBlue) << i;
    }
    EXPECT_EQ(s.At(30, 10), kWhite);
    EXPECT_EQ(s.At(10, 30), kWhite);

    dc.SetAnchor(gfx::Point{35, 35});
    dc.DrawLineFromAnchor(38, 35, kRed, 1);
    EXPECT_EQ(s.At(35, 35), kRed);
    EXPECT_EQ(s.At(37, 35), kRed);
}

TEST(SerrikDC, FillAreaStaysInsideItsRectangle) {
    // Columns strictly between left and right, rows from top to bottom - 1, nothing outside.
    Canvas s(30, 20, kWhite);
    CSerrikDC(&s.dc, 0).FillArea({5, 5, 25, 10}, 10, 7, kRed);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) {
            const bool inside = x > 5 && x < 25 && y >= 5 && y < 10;
            ASSERT_EQ(s.At(x, y), inside ? kRed : kWhite) << x << ", " << y;
        }
    }
}

TEST(SerrikDC, FillAreaFollowsOneRunPerRow) {
    // A wall at x = 20 below row 5 splits rows 5..9; only the run through the midpoint of the
    // run above (x = 15) is followed, the part right of the wall stays.
    Canvas s(30, 10, kWhite);
    for (int y = 5; y < 10; ++y) {
        s.bitmap.SetPixel(20, y, kBlue);
    }
    CSerrikDC(&s.dc, 0).FillArea({0, 0, 30, 10}, 10, 2, kRed);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 30; ++x) {
            gfx::Colour expected = kWhite;
            if (x == 20 && y >= 5) {
                expected = kBlue;
            } else if (x > 0 && (y < 5 ? x < 30 : x < 20)) {
                expected = kRed;
            }
            ASSERT_EQ(s.At(x, y), expected) << x << ", " << y;
        }
    }
}

TEST(SerrikDC, FillAreaStopsWhereTheMidpointDiffers) {
    // The midpoint of rows 0..9 over (0, 30) is x = 15; a blue pixel there on row 7 ends the
    // downward walk although the rest of row 7 matches.
    Canvas s(30, 10, kWhite);
    s.bitmap.SetPixel(15, 7, kBlue);
    CSerrikDC(&s.dc, 0).FillArea({0, 0, 30, 10}, 4, 3, kRed);
    EXPECT_EQ(s.At(4, 6), kRed);
    EXPECT_EQ(s.At(4, 7), kWhite);
    EXPECT_EQ(s.At(4, 9), kWhite);
    EXPECT_EQ(s.At(4, 0), kRed);
}

// The row step as a recursion, straight over a bitmap: what the loop must reproduce.
void ReferenceRun(gfx::Bitmap& b, int x, int y, const gfx::Rect& rc, int dir, gfx::Colour target,
                  gfx::Colour colour) {
    int l = x;
    while (l > rc.left && b.GetPixel(l, y) == target) {
        b.SetPixel(l--, y, colour);
    }
    int r = x + 1;
    while (r < rc.right && b.GetPixel(r, y) == target) {
        b.SetPixel(r++, y, colour);
    }
    const int mid = (l + r) / 2;
    const int next = dir == 1 ? y + 1 : y - 1;
    if (next >= rc.top && next < rc.bottom && b.GetPixel(mid, next) == target) {
        ReferenceRun(b, mid, next, rc, dir, target, colour);
    }
}

TEST(SerrikDC, FillAreaMatchesTheRecursiveRowStep) {
    const gfx::Rect bounds[] = {{0, 0, 40, 40}, {3, 4, 38, 30}, {-5, -2, 50, 45}, {4, 10, 38, 40}};
    for (int seed = 1; seed <= 40; ++seed) {
        Canvas s(40, 40, kWhite);
        unsigned state = static_cast<unsigned>(seed) * 2654435761u;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                state = state * 1664525u + 1013904223u;
                if ((state >> 24) % 9 == 0) {
                    s.bitmap.SetPixel(x, y, kBlue);
                }
            }
        }
        const gfx::Rect rc = bounds[seed % 4];
        const int sx = 5 + seed % 30;
        const int sy = seed % 40;
        gfx::Bitmap expected = s.bitmap;
        const gfx::Colour target = expected.GetPixel(sx, sy);
        if (rc.Contains(sx, sy)) {
            ReferenceRun(expected, sx, sy, rc, 1, target, kRed);
            ReferenceRun(expected, sx, sy, rc, -1, target, kRed);
        }
        CSerrikDC(&s.dc, 0).FillArea(rc, sx, sy, kRed);
        ASSERT_EQ(s.Pixels(), std::vector<gfx::Colour>(expected.Data(), expected.Data() + 1600))
            << "seed " << seed;
    }
}

TEST(SerrikDC, FillAreaWalksATallSurfaceWithoutRecursion) {
    constexpr int kHeight = 200000;
    Canvas s(4, kHeight, 0);
    CSerrikDC(&s.dc, 0).FillArea({0, 0, 4, kHeight}, 2, kHeight / 2, kRed);
    for (int y : {0, 1, kHeight / 2, kHeight - 1}) {
        EXPECT_EQ(s.At(0, y), 0u) << y;
        EXPECT_EQ(s.At(1, y), kRed) << y;
        EXPECT_EQ(s.At(3, y), kRed) << y;
    }
}

// Inputs that draw nothing: the surface must come out as it went in.
TEST(SerrikDC, UnsettledInputsDrawNothing) {
    const std::pair<const char*, std::function<void(CSerrikDC&)>> cases[] = {
        {"checker cell 0",
         [](CSerrikDC& dc) {
             dc.DrawChecker({0, 0, 40, 40}, kRed, kBlue, 0);
         }},
        {"checker cell -5",
         [](CSerrikDC& dc) {
             dc.DrawChecker({0, 0, 40, 40}, kRed, kBlue, -5);
         }},
        {"polygon n 2",
         [](CSerrikDC& dc) {
             dc.DrawPolygon({0, 0, 40, 40}, kRed, 2);
         }},
        {"polygon n 0",
         [](CSerrikDC& dc) {
             dc.DrawPolygon({0, 0, 40, 40}, kRed, 0);
         }},
        {"polygon n -4",
         [](CSerrikDC& dc) {
             dc.DrawPolygon({0, 0, 40, 40}, kRed, -4);
         }},
        {"triangle -1",
         [](CSerrikDC& dc) {
             dc.DrawTriangle({0, 0, 40, 40}, kRed, -1);
         }},
        {"triangle 4",
         [](CSerrikDC& dc) {
             dc.DrawTriangle({0, 0, 40, 40}, kRed, 4);
         }},
        {"fill seed left",
         [](CSerrikDC& dc) {
             dc.FillArea({-10, 0, 40, 40}, -1, 5, kRed);
         }},
        {"fill seed below",
         [](CSerrikDC& dc) {
             dc.FillArea({0, 0, 40, 40}, 5, 40, kRed);
         }},
        {"fill seed far",
         [](CSerrikDC& dc) {
             dc.FillArea({0, 0, 40, 40}, 1000, -1000, kRed);
         }},
        {"fill seed outside the rectangle",
         [](CSerrikDC& dc) {
             dc.FillArea({10, 10, 30, 30}, 5, 20, kRed);
         }},
    };
    for (const auto& [name, draw] : cases) {
        Canvas s(40, 40, kWhite);
        const auto before = s.Pixels();
        CSerrikDC dc(&s.dc, 0);
        draw(dc);
        EXPECT_EQ(s.Pixels(), before) << name;
    }
}

// XOR-drawn twice, a shape leaves the surface as it was.
TEST(SerrikDC, XorDrawingTwiceRestoresThePixels) {
    const std::pair<const char*, std::function<void(CSerrikDC&)>> cases[] = {
        {"rect",
         [](CSerrikDC& dc) {
             dc.DrawRect({3, 4, 30, 25}, kRed, kBlue);
         }},
        {"ellipse",
         [](CSerrikDC& dc) {
             dc.DrawEllipse({2, 3, 33, 28}, kGreen, kRed);
         }},
        {"circle", [](CSerrikDC& dc) { dc.DrawCircle(16, 16, 9, kGreen, kRed); }},
        {"checker",
         [](CSerrikDC& dc) {
             dc.DrawChecker({1, 2, 34, 31}, kRed, kBlue, 6);
         }},
        {"line", [](CSerrikDC& dc) { dc.DrawLine(1, 2, 30, 27, kRed, 1); }},
        {"wide line", [](CSerrikDC& dc) { dc.DrawLine(1, 30, 30, 5, kBlue, 4); }},
        {"frame", [](CSerrikDC& dc) { dc.DrawFrame(4, 4, 28, 20, kRed, 1); }},
        {"outline", [](CSerrikDC& dc) { dc.DrawCircleOutline(16, 16, 12, kRed); }},
        {"anchor line", [](CSerrikDC& dc) { dc.DrawLineFromAnchor(31, 20, kGreen, 2); }},
    };
    for (const auto& [name, draw] : cases) {
        Canvas s(36, 36, 0);
        s.FillPattern();
        const auto before = s.Pixels();
        CSerrikDC dc(&s.dc, 1);
        draw(dc);
        EXPECT_NE(s.Pixels(), before) << name;
        draw(dc);
        EXPECT_EQ(s.Pixels(), before) << name;
        EXPECT_EQ(s.dc.GetROP2(), gfx::R2_COPYPEN) << name;
    }
}

// What each operation leaves behind in the context, started in XOR mode with a white
// background colour, opaque background mode and the caller's pen, brush, font and text colour.
TEST(SerrikDC, OperationsRestoreTheContextsObjects) {
    struct Case {
        const char* name;
        std::function<void(CSerrikDC&)> draw;
        bool usesTool;
        bool isText;
    };
    const gfx::Rect r{2, 2, 30, 30};
    const Case cases[] = {
        {"rect", [&](CSerrikDC& dc) { dc.DrawRect(r, kRed, kBlue); }, true, false},
        {"raised", [&](CSerrikDC& dc) { dc.DrawRaisedPanel(r, kRed); }, true, false},
        {"sunken", [&](CSerrikDC& dc) { dc.DrawSunkenPanel(r, kRed); }, true, false},
        {"checker", [&](CSerrikDC& dc) { dc.DrawChecker(r, kRed, kBlue, 7); }, true, false},
        {"line", [](CSerrikDC& dc) { dc.DrawLine(1, 1, 20, 9, kRed, 3); }, true, false},
        {"frame", [](CSerrikDC& dc) { dc.DrawFrame(1, 1, 20, 9, kRed, 2); }, true, false},
        {"circle", [](CSerrikDC& dc) { dc.DrawCircle(9, 9, 5, kRed, kBlue); }, true, false},
        {"ellipse", [&](CSerrikDC& dc) { dc.DrawEllipse(r, kRed, kBlue); }, true, false},
        {"circle outline", [](CSerrikDC& dc) { dc.DrawCircleOutline(9, 9, 5, kRed); }, true, false},
        {"ellipse outline", [&](CSerrikDC& dc) { dc.DrawEllipseOutline(r, kRed); }, true, false},
        {"anchor line", [](CSerrikDC& dc) { dc.DrawLineFromAnchor(9, 9, kRed, 1); }, true, false},
        {"triangle", [&](CSerrikDC& dc) { dc.DrawTriangle(r, kRed, 1); }, false, false},
        {"pentagon", [&](CSerrikDC& dc) { dc.DrawPentagon(r, kRed); }, false, false},
        {"polygon", [&](CSerrikDC& dc) { dc.DrawPolygon(r, kRed, 6); }, false, false},
        {"gradient h", [&](CSerrikDC& dc) { dc.DrawGradientH(r, kRed); }, false, false},
        {"gradient v", [&](CSerrikDC& dc) { dc.DrawGradientV(r, kRed); }, false, false},
        {"text at", [](CSerrikDC& dc) { dc.DrawTextAt(16, 16, "Go", 120, kRed); }, false, true},
        {"text in", [&](CSerrikDC& dc) { dc.DrawTextInRect(r, "Go", 120, kRed); }, false, true},
        {"pixel", [](CSerrikDC& dc) { dc.SetPixelAt(3, 3, kRed); }, false, false},
        {"fill", [&](CSerrikDC& dc) { dc.FillArea(r, 5, 5, kRed); }, false, false},
    };
    for (const Case& c : cases) {
        Canvas s(32, 32, kWhite);
        gfx::Pen pen(2, kGreen);
        gfx::Brush brush(kGreen);
        gfx::Font font(90, CSerrikDC::kTextFace);
        s.dc.SelectObject(&pen);
        s.dc.SelectObject(&brush);
        s.dc.SelectObject(&font);
        s.dc.SetTextColor(kBlue);
        s.dc.SetBkColor(kWhite);
        s.dc.SetBkMode(gfx::OPAQUE);
        s.dc.SetROP2(gfx::R2_XORPEN);
        {
            CSerrikDC dc(&s.dc, 0);
            c.draw(dc);
        }
        gfx::Pen probePen;
        gfx::Brush probeBrush;
        gfx::Font probeFont;
        EXPECT_EQ(s.dc.SelectObject(&probePen), &pen) << c.name;
        EXPECT_EQ(s.dc.SelectObject(&probeBrush), &brush) << c.name;
        EXPECT_EQ(s.dc.SelectObject(&probeFont), &font) << c.name;
        EXPECT_EQ(s.dc.GetTextColor(), kBlue) << c.name;
        EXPECT_EQ(s.dc.GetROP2(), c.usesTool ? gfx::R2_COPYPEN : gfx::R2_XORPEN) << c.name;
        EXPECT_EQ(s.dc.GetBkColor(), c.usesTool ? 0x000000u : kWhite) << c.name;
        EXPECT_EQ(s.dc.GetBkMode(), c.isText ? gfx::TRANSPARENT : gfx::OPAQUE) << c.name;
        EXPECT_EQ(s.dc.GetBitmap(), &s.bitmap) << c.name;
    }
}

}  // namespace
