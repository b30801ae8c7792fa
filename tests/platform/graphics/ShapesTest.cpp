// Shapes drawn by the device context: exact pixels inside and just outside each shape.

#include <gtest/gtest.h>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Rasterisers.h"
#include "tests/platform/graphics/GraphicsTestSupport.h"
#include "tests/support/FillCost.h"

namespace gfx::testing {
namespace {

using testsupport::CostInFills;

// --- Rectangle ---------------------------------------------------------------------------

struct RectCase {
    Rect given;  // as passed, possibly right-to-left
    int penWidth;
};

void PrintTo(const RectCase& c, std::ostream* os) {
    *os << "(" << c.given.left << ", " << c.given.top << ", " << c.given.right << ", "
        << c.given.bottom << ") pen " << c.penWidth;
}

class RectangleTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(RectangleTest, CoversBoxWithPenOnItsEdgeAndBrushWithin) {
    const RectCase c = GetParam();
    Canvas canvas(40, 30, kBackground, c.penWidth);
    canvas.dc.Rectangle(c.given.left, c.given.top, c.given.right, c.given.bottom);
    const Rect box{std::min(c.given.left, c.given.right), std::min(c.given.top, c.given.bottom),
                   std::max(c.given.left, c.given.right), std::max(c.given.top, c.given.bottom)};
    // A 1-px pen strokes the path through the edge pixels; a single pixel is no path at all.
    const bool nothing = box.Width() == 1 && box.Height() == 1;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            Colour expected = kBackground;
            if (box.Contains(x, y) && !nothing) {
                const bool edge =
                    x == box.left || x == box.right - 1 || y == box.top || y == box.bottom - 1;
                expected = edge ? kPenColour : kBrushColour;
            }
            ASSERT_EQ(canvas.At(x, y), expected) << "pixel " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Boxes, RectangleTest,
                         ::testing::Values(RectCase{{10, 10, 20, 15}, 1},
                                           RectCase{{20, 15, 10, 10}, 1},    // swapped corners
                                           RectCase{{10, 10, 20, 15}, 0},    // width 0 is 1 px
                                           RectCase{{3, 3, 4, 4}, 1},        // one pixel: nothing
                                           RectCase{{3, 3, 5, 4}, 1},        // two pixels
                                           RectCase{{-5, -4, 6, 5}, 1},      // clipped top left
                                           RectCase{{30, 20, 45, 35}, 1},    // clipped bottom right
                                           RectCase{{10, 10, 10, 20}, 1}));  // empty

TEST(RectangleTest, WidePenIsCentredOnTheEdgePixels) {
    // Pen 3 strokes the path through (5,5)..(20,16): one pixel beyond the box on every side
    // with the four outer corner pixels left out; the brush is the box without its last row
    // and column, less the pen.
    Canvas canvas(27, 23, kBackground, 3);
    canvas.dc.Rectangle(5, 5, 21, 17);
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 27; ++x) {
            const bool outerCorner = (x == 4 || x == 21) && (y == 4 || y == 17);
            const bool pen = x >= 4 && x <= 21 && y >= 4 && y <= 17 && !outerCorner &&
                             !(x >= 7 && x <= 18 && y >= 7 && y <= 14);
            const bool brush = x >= 7 && x <= 18 && y >= 7 && y <= 14;
            ASSERT_EQ(canvas.At(x, y), pen     ? kPenColour
                                       : brush ? kBrushColour
                                               : kBackground)
                << x << "," << y;
        }
    }
}

TEST(RectangleTest, DrawRectEdgeCase) {
    // The filled rectangle (10, 10, 20, 15): columns 10..19, rows 10..14, border in pen colour.
    Canvas canvas(30, 25);
    canvas.dc.Rectangle({10, 10, 20, 15});
    EXPECT_EQ(canvas.Ink(), (Rect{10, 10, 20, 15}));
    EXPECT_EQ(canvas.At(10, 10), kPenColour);
    EXPECT_EQ(canvas.At(19, 14), kPenColour);
    EXPECT_EQ(canvas.At(11, 11), kBrushColour);
    EXPECT_EQ(canvas.At(18, 13), kBrushColour);
    EXPECT_EQ(canvas.At(20, 12), kBackground);
    EXPECT_EQ(canvas.At(15, 15), kBackground);
    EXPECT_EQ(canvas.At(9, 12), kBackground);
    EXPECT_EQ(canvas.At(15, 9), kBackground);
}

// --- Ellipse and arc ---------------------------------------------------------------------

struct EllipseCase {
    Rect box;
    int penWidth;
};

std::string Name(const ::testing::TestParamInfo<EllipseCase>& info) {
    const EllipseCase& c = info.param;
    return std::to_string(c.box.Width()) + "x" + std::to_string(c.box.Height()) + "_pen" +
           std::to_string(c.penWidth);
}

void PrintTo(const EllipseCase& c, std::ostream* os) {
    *os << "(" << c.box.left << ", " << c.box.top << ", " << c.box.right << ", " << c.box.bottom
        << ") pen " << c.penWidth;
}

class EllipseTest : public ::testing::TestWithParam<EllipseCase> {};

TEST_P(EllipseTest, ReachesHalfThePenBeyondItsBox) {
    // The pen is centred on the outline through the outermost pixels; an even pen leans up
    // and left. A single pixel is drawn as Rectangle draws it: not at all.
    const auto [box, penWidth] = GetParam();
    Canvas canvas(64, 64, kBackground, penWidth);
    canvas.dc.Ellipse(box);
    const int before = penWidth / 2;
    const int after = penWidth - 1 - before;
    const Rect ink{box.left - before, box.top - before, box.right + after, box.bottom + after};
    EXPECT_EQ(canvas.Ink(), box.Width() == 1 && box.Height() == 1 && penWidth == 1
                                ? Rect{}
                                : ink.Intersect({0, 0, 64, 64}));
}

TEST_P(EllipseTest, IsMirrorSymmetric) {
    const auto [box, penWidth] = GetParam();
    if (penWidth > 1) {
        GTEST_SKIP() << "a wide pen rounds its two sides differently";
    }
    Canvas canvas(64, 64, kBackground, penWidth);
    canvas.dc.Ellipse(box);
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            const int mx = box.left + box.right - 1 - x;
            const int my = box.top + box.bottom - 1 - y;
            ASSERT_EQ(canvas.At(x, y), canvas.At(mx, y)) << x << "," << y;
            ASSERT_EQ(canvas.At(x, y), canvas.At(x, my)) << x << "," << y;
        }
    }
}

TEST_P(EllipseTest, OutlineEnclosesTheFill) {
    const auto [box, penWidth] = GetParam();
    Canvas canvas(64, 64, kBackground, penWidth);
    canvas.dc.Ellipse(box);
    int brushPixels = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            if (canvas.At(x, y) != kBrushColour) {
                continue;
            }
            ++brushPixels;
            // No fill pixel lies within the pen's width of the background.
            for (int dy = -penWidth; dy <= penWidth; ++dy) {
                for (int dx = -penWidth; dx <= penWidth; ++dx) {
                    if (std::abs(dx) + std::abs(dy) <= penWidth) {
                        ASSERT_NE(canvas.At(x + dx, y + dy), kBackground) << x << "," << y;
                    }
                }
            }
        }
    }
    if (box.Width() > 2 * penWidth + 2 && box.Height() > 2 * penWidth + 2) {
        EXPECT_GT(brushPixels, 0);
        const Point c = box.Centre();
        EXPECT_EQ(canvas.At(c.x, c.y), kBrushColour);
        EXPECT_EQ(canvas.At(box.left, c.y), kPenColour);
        EXPECT_EQ(canvas.At(c.x, box.bottom - 1), kPenColour);
    }
}

TEST_P(EllipseTest, WholeArcIsTheEllipseOutlineLessOnePixel) {
    const auto [box, penWidth] = GetParam();
    if (penWidth > 1 || box.Width() < 3 || box.Height() < 3) {
        GTEST_SKIP() << "a 1-px outline of a box at least 3 pixels each way";
    }
    Canvas ellipse(64, 64, kBackground, penWidth);
    ellipse.dc.Ellipse(box);
    Canvas arc(64, 64, kBackground, penWidth);
    const int x = box.Centre().x;
    arc.dc.Arc(box.left, box.top, box.right, box.bottom, x, box.top, x, box.top);
    int outline = 0, drawn = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool onOutline = ellipse.At(x, y) == kPenColour;
            outline += onOutline;
            if (arc.At(x, y) != kBackground) {
                ASSERT_TRUE(onOutline) << x << "," << y;
                ++drawn;
            }
        }
    }
    EXPECT_EQ(drawn, outline - 1);
}

TEST_P(EllipseTest, LoopListsEachPixelOnceAndItsQueriesAgree) {
    const Rect box = GetParam().box;
    if (box.Width() < 3 || box.Height() < 3) {
        GTEST_SKIP() << "drawn as a rectangle";
    }
    // The walks kept for boxes one wider and one taller are not taken for this one.
    EllipseOutline outline;
    outline.Loop({box.left, box.top, box.right + 1, box.bottom});
    outline.Loop({box.left, box.top, box.right, box.bottom + 1});
    const EllipseLoop loop = outline.Loop(box), fresh = EllipseOutline().Loop(box);
    ASSERT_EQ(loop.Size(), fresh.Size());
    const std::vector<Span> rows = loop.Rows();
    std::set<std::pair<int, int>> seen;
    std::vector<Span> spans(rows.size(), Span{INT_MAX, INT_MIN});  // of the loop's points
    const Rect r{box.left + 2, box.top + 1, box.Centre().x + 3, box.bottom - 4};
    std::size_t inR = 0;
    for (std::size_t i = 0; i < loop.Size(); ++i) {
        const Point p = loop[i].at;
        ASSERT_EQ(p, fresh[i].at) << i;
        ASSERT_TRUE(seen.insert({p.x, p.y}).second) << p.x << "," << p.y;
        Span& s = spans[static_cast<std::size_t>(p.y - box.top)];
        s = {std::min(s.x0, p.x), std::max(s.x1, p.x)};
        inR += r.Contains(p);
    }
    for (int y = box.top; y < box.bottom; ++y) {
        const Span row = loop.Row(y), s = spans[static_cast<std::size_t>(y - box.top)];
        EXPECT_EQ(std::tie(row.x0, row.x1), std::tie(rows[y - box.top].x0, rows[y - box.top].x1));
        EXPECT_EQ(std::tie(row.x0, row.x1), std::tie(s.x0, s.x1)) << "row " << y;
    }
    std::size_t listed = 0;
    loop.ForEachRangeIn(r, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i, ++listed) {
            EXPECT_TRUE(r.Contains(loop[i].at)) << i;
        }
    });
    EXPECT_EQ(listed, inR);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, EllipseTest,
    ::testing::Values(EllipseCase{{10, 10, 50, 30}, 1}, EllipseCase{{10, 10, 51, 31}, 1},
                      EllipseCase{{3, 4, 20, 45}, 1}, EllipseCase{{0, 0, 64, 64}, 1},
                      EllipseCase{{5, 5, 9, 9}, 1}, EllipseCase{{5, 5, 8, 8}, 1},
                      EllipseCase{{5, 5, 7, 6}, 1}, EllipseCase{{5, 5, 6, 6}, 1},
                      EllipseCase{{10, 10, 50, 30}, 3}, EllipseCase{{2, 7, 33, 60}, 4},
                      EllipseCase{{20, 20, 26, 26}, 5}),
    Name);

TEST(EllipseTest, SwappedCornersDrawTheSameEllipse) {
    Canvas a(40, 40), b(40, 40);
    a.dc.Ellipse(5, 6, 30, 21);
    b.dc.Ellipse(30, 21, 5, 6);
    EXPECT_TRUE(SamePixels(a.bitmap, b.bitmap));
}

TEST(EllipseTest, AMillionPixelsAcrossCostWhatShowsOnTheSurface) {
#if !defined(NDEBUG) || defined(__EMSCRIPTEN__) || defined(_WIN32)
    GTEST_SKIP() << "weighed in the desktop's optimised build only (the sanitizer builds' fuzz "
                    "run weighs them; WebAssembly has no clock of a thread's own, Windows one "
                    "in ticks coarser than a fill)";
#endif
    // Outlines a million pixels long and a few rows (columns) across the surface, each of a
    // size not drawn before.
    Canvas canvas(testsupport::kFillWidth, testsupport::kFillHeight);
    int size = 0;
    const double fills = CostInFills([&] {
        for (int i = 0; i < 4; ++i, ++size) {
            canvas.dc.Ellipse(-600000 + size, 150, 600000, 190 + size);
            canvas.dc.Ellipse(200, -600000 + size, 240 + size, 600000);
            canvas.dc.Arc(-600000 + size, 100, 600000, 140 + size, 0, 0, 0, 0);
            canvas.dc.Arc(100, -600000 + size, 140 + size, 600000, 1, 2, 3, 4);
        }
    });
    // About 35 fills on the development machine.
    EXPECT_LT(fills, 100.0);
    EXPECT_NE(canvas.Ink(), Rect{});
}

TEST(ArcTest, DrawsOnlyTheCounterClockwisePart) {
    const Rect box{8, 8, 48, 40};
    const Point c = box.Centre();  // (28, 24)
    Canvas full(64, 64);
    full.dc.Arc(box.left, box.top, box.right, box.bottom, c.x, 0, c.x, 0);
    // From the radial towards the right to the radial upwards: the upper right quarter.
    Canvas quarter(64, 64);
    quarter.dc.Arc(box.left, box.top, box.right, box.bottom, 60, c.y, c.x, 0);
    // From upwards to the right, counter-clockwise: the other three quarters.
    Canvas rest(64, 64);
    rest.dc.Arc(box.left, box.top, box.right, box.bottom, c.x, 0, 60, c.y);

    ASSERT_FALSE(quarter.Painted().empty());
    for (const Point& p : quarter.Painted()) {
        EXPECT_GE(p.x, c.x) << p.x << "," << p.y;
        EXPECT_LT(p.y, c.y) << p.x << "," << p.y;
    }
    // The quarter starts on its first radial and stops two outline points short of the
    // second: the top pixel of the outline and the one just right of it stay blank.
    EXPECT_EQ(quarter.At(box.right - 1, c.y - 1), kPenColour);
    EXPECT_EQ(quarter.At(c.x, box.top), kBackground);
    EXPECT_EQ(quarter.At(box.left, c.y), kBackground);
    EXPECT_EQ(quarter.At(c.x, box.bottom - 1), kBackground);

    // The two arcs share no pixel. Together they are the whole arc from the top (which leaves
    // out the point just clockwise of the top) less the point just clockwise of the right.
    int unionPixels = 0, fullPixels = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool inQuarter = quarter.At(x, y) == kPenColour;
            const bool inRest = rest.At(x, y) == kPenColour;
            ASSERT_FALSE(inQuarter && inRest) << x << "," << y;
            if (inQuarter || inRest) {
                ASSERT_EQ(full.At(x, y), kPenColour) << x << "," << y;
                ++unionPixels;
            }
            fullPixels += full.At(x, y) == kPenColour;
            if (inRest) {
                ASSERT_TRUE(x <= c.x || y >= c.y) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(unionPixels, fullPixels - 1);
}

// --- Lines -------------------------------------------------------------------------------

struct LineCase {
    Point a, b;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << "(" << c.a.x << ", " << c.a.y << ") to (" << c.b.x << ", " << c.b.y << ")";
}

class ThinLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ThinLineTest, IsConnectedAndLeavesOutItsEndPoint) {
    const auto [a, b] = GetParam();
    Canvas canvas(40, 40);
    canvas.dc.MoveTo(a.x, a.y);
    canvas.dc.LineTo(b.x, b.y);
    EXPECT_EQ(canvas.dc.GetCurrentPosition(), b);
    const std::vector<Point> painted = canvas.Painted();
    const int steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
    ASSERT_EQ(static_cast<int>(painted.size()), steps);
    if (steps == 0) {
        return;
    }
    EXPECT_EQ(canvas.At(a.x, a.y), kPenColour);
    EXPECT_EQ(canvas.At(b.x, b.y), kBackground);
    // One pixel per step along the major axis, each within half a pixel of the true line.
    for (const Point& p : painted) {
        const double t = std::abs(b.x - a.x) >= std::abs(b.y - a.y)
                             ? double(p.x - a.x) / (b.x - a.x)
                             : double(p.y - a.y) / (b.y - a.y);
        EXPECT_NEAR(p.x, a.x + t * (b.x - a.x), 0.5001);
        EXPECT_NEAR(p.y, a.y + t * (b.y - a.y), 0.5001);
    }
}

TEST_P(ThinLineTest, ClipKeepsThePixelsInsideAndTheReverseLinePaintsTheSame) {
    const auto [a, b] = GetParam();
    const Rect all{-100, -100, 100, 100}, clip{8, 6, 25, 21};
    const auto pixels = [](Point from, Point to, const Rect& r) {
        std::vector<Point> walked;
        ThinLine(from, to, r).ForEachPixel([&](int x, int y) { walked.push_back({x, y}); });
        return walked;
    };
    std::vector<Point> whole = pixels(a, b, all), inside;
    std::copy_if(whole.begin(), whole.end(), std::back_inserter(inside),
                 [&](Point p) { return clip.Contains(p); });
    EXPECT_EQ(pixels(a, b, clip), inside);
    // On an exact tie both directions take the smaller coordinate.
    std::vector<Point> reverse = pixels(b, a, all);
    whole.push_back(b);
    reverse.push_back(a);
    const auto order = [](Point p, Point q) { return std::tie(p.x, p.y) < std::tie(q.x, q.y); };
    std::sort(whole.begin(), whole.end(), order);
    std::sort(reverse.begin(), reverse.end(), order);
    EXPECT_EQ(whole, reverse);
}

INSTANTIATE_TEST_SUITE_P(Directions, ThinLineTest,
                         ::testing::Values(LineCase{{5, 5}, {30, 5}}, LineCase{{30, 5}, {5, 5}},
                                           LineCase{{5, 5}, {5, 30}}, LineCase{{5, 30}, {5, 5}},
                                           LineCase{{5, 5}, {30, 30}}, LineCase{{30, 5}, {5, 30}},
                                           LineCase{{2, 3}, {37, 17}}, LineCase{{37, 17}, {2, 3}},
                                           LineCase{{20, 2}, {11, 38}},
                                           LineCase{{4, 4}, {20, 12}},  // a tie every other step
                                           LineCase{{30, 25}, {4, 12}},
                                           LineCase{{10, 10}, {11, 10}},
                                           LineCase{{10, 10}, {10, 10}}));

TEST(ThinLineTest, ConsecutiveLinesShareNoPixel) {
    // Each line leaves out its end, which is where the next one starts.
    Canvas copy(40, 40, 0);
    Canvas xored(40, 40, 0);
    xored.dc.SetROP2(R2_XORPEN);
    for (Canvas* c : {&copy, &xored}) {
        c->dc.MoveTo(5, 5);
        c->dc.LineTo(30, 8);
        c->dc.LineTo(20, 30);
        c->dc.LineTo(5, 5);
    }
    EXPECT_TRUE(SamePixels(copy.bitmap, xored.bitmap));
    EXPECT_EQ(copy.At(30, 8), kPenColour);
    EXPECT_EQ(copy.At(20, 30), kPenColour);
}

TEST(WideLineTest, HasRoundEnds) {
    Canvas canvas(50, 40, kBackground, 5);
    canvas.dc.MoveTo(10, 20);
    canvas.dc.LineTo(30, 20);
    EXPECT_EQ(canvas.dc.GetCurrentPosition(), (Point{30, 20}));
    // Five rows across, centred on the line.
    for (int y = 18; y <= 22; ++y) {
        EXPECT_EQ(canvas.At(20, y), kPenColour) << y;
    }
    EXPECT_EQ(canvas.At(20, 17), kBackground);
    EXPECT_EQ(canvas.At(20, 23), kBackground);
    // Each end is a half disc of radius 2.5 around the end point, both ends included.
    for (const int end : {30, 10}) {
        const int out = end == 30 ? 1 : -1;
        EXPECT_EQ(canvas.At(end + 2 * out, 20), kPenColour) << end;
        EXPECT_EQ(canvas.At(end + 2 * out, 21), kPenColour) << end;
        EXPECT_EQ(canvas.At(end + 2 * out, 22), kBackground) << end;  // the square corner
        EXPECT_EQ(canvas.At(end + 1 * out, 22), kPenColour) << end;
        EXPECT_EQ(canvas.At(end + 3 * out, 20), kBackground) << end;
    }
}

TEST(WideLineTest, IsAsManyPixelsAcrossAsThePenIsWide) {
    for (int width = 2; width <= 7; ++width) {
        Canvas horizontal(60, 60, kBackground, width);
        horizontal.dc.MoveTo(10, 30);
        horizontal.dc.LineTo(50, 30);
        Canvas vertical(60, 60, kBackground, width);
        vertical.dc.MoveTo(30, 10);
        vertical.dc.LineTo(30, 50);
        int rows = 0, columns = 0;
        for (int i = 0; i < 60; ++i) {
            rows += horizontal.At(30, i) == kPenColour;
            columns += vertical.At(i, 30) == kPenColour;
        }
        EXPECT_EQ(rows, width);
        EXPECT_EQ(columns, width);
    }
}

int Marked(const Coverage& coverage) {
    int marked = 0;
    coverage.ForEachRun([&](int, int x0, int x1, std::uint8_t) { marked += x1 - x0; });
    return marked;
}

TEST(WideLineTest, AStrokeStartsAfreshAtEachBegin) {
    WideStroke stroke;
    // The dot of each width, even where the last stroke ended on the same point.
    for (const auto& [width, pixels] : {std::pair{3, 5}, {3, 5}, {5, 21}}) {
        Coverage coverage({0, 0, 10, 10});
        stroke.Begin(coverage, width);
        stroke.Dot({5, 5});
        stroke.Finish();
        EXPECT_EQ(Marked(coverage), pixels) << "pen " << width;
    }
    // A pen that covers its whole box is known to after 16 segments, and only for its stroke.
    Coverage small({0, 0, 8, 8});
    stroke.Begin(small, 50);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FALSE(stroke.Whole()) << i;
        stroke.Segment({4, 4}, {5, 4 + i});
    }
    EXPECT_TRUE(stroke.Whole());
    Coverage large({0, 0, 40, 40});
    stroke.Begin(large, 3);
    EXPECT_FALSE(stroke.Whole());
    stroke.Segment({10, 10}, {20, 10});
    stroke.Finish();
    EXPECT_EQ(Marked(large), 3 * 11 + 2);
}

// --- Polygon -----------------------------------------------------------------------------

TEST(PolygonTest, PentagramCentreIsNotFilled) {
    // Every second vertex of a regular pentagon: the edges cross and enclose the centre twice.
    const Point star[] = {{50, 5}, {76, 86}, {7, 36}, {93, 36}, {24, 86}};
    Canvas canvas(100, 100);
    canvas.dc.Polygon(star, 5);
    EXPECT_EQ(canvas.At(50, 52), kBackground);   // the inner pentagon
    EXPECT_EQ(canvas.At(50, 20), kBrushColour);  // the upper tip
    EXPECT_EQ(canvas.At(20, 38), kBrushColour);  // the left tip
    EXPECT_EQ(canvas.At(50, 5), kPenColour);     // vertices lie on the outline
    EXPECT_EQ(canvas.At(24, 86), kPenColour);
    EXPECT_EQ(canvas.At(50, 2), kBackground);
}

TEST(PolygonTest, RectangleCornersFillWhatRectangleFills) {
    const Point corners[] = {{10, 10}, {20, 10}, {20, 15}, {10, 15}};
    Canvas filled(30, 30, 0, 1, 0xFFFFFF, 0xFFFFFF);
    filled.dc.Polygon(corners, 4);
    Canvas boxed(30, 30, 0, 1, 0xFFFFFF, 0xFFFFFF);
    boxed.dc.Rectangle(10, 10, 20, 15);
    // The brush alone covers exactly the rectangle's pixels (painted under the pen, as XOR
    // shows); the outline runs through the vertices, so it adds the column x = 20 and the
    // row y = 15, as on the desktop.
    Canvas brushOnly(30, 30, 0, 1, 0, 0xFFFFFF);
    brushOnly.dc.SetROP2(R2_XORPEN);  // a black pen under XOR leaves its pixels alone
    brushOnly.dc.Polygon(corners, 4);
    EXPECT_EQ(filled.Ink(0), (Rect{10, 10, 21, 16}));
    EXPECT_EQ(brushOnly.Ink(0), (Rect{10, 10, 20, 15}));
    EXPECT_EQ(boxed.Ink(0), (Rect{10, 10, 20, 15}));
}

TEST(PolygonTest, TriangleIsSolidWithoutGaps) {
    const Point triangle[] = {{30, 3}, {5, 50}, {55, 50}};
    Canvas canvas(60, 60, kBackground, 1, kPenColour, kPenColour);
    canvas.dc.Polygon(triangle, 3);
    // Every row between apex and base is one unbroken run.
    for (int y = 3; y <= 50; ++y) {
        int first = -1, last = -1, count = 0;
        for (int x = 0; x < 60; ++x) {
            if (canvas.At(x, y) == kPenColour) {
                first = first < 0 ? x : first;
                last = x;
                ++count;
            }
        }
        ASSERT_GT(count, 0) << y;
        EXPECT_EQ(count, last - first + 1) << y;
    }
    EXPECT_EQ(canvas.Ink(), (Rect{5, 3, 56, 51}));
}

TEST(PolygonTest, AreaFillTakesThePixelsWhoseCentresAreInside) {
    // An edge owns its upper end and the pixels from its crossing rightwards: the alternate
    // rule counts the edges that cross a pixel's row at or left of it. Boxes cut the shapes.
    const std::vector<std::vector<Point>> shapes = {
        {{20, 2}, {31, 36}, {3, 14}, {37, 14}, {9, 36}},
        {{30, 3}, {5, 50}, {55, 50}},
        {{-900, 7}, {26, -4000}, {25, 31}, {5000, 20}},
    };
    AreaFill fill;
    for (const Rect& box : {Rect{0, 0, 40, 40}, Rect{11, 9, 29, 27}}) {
        for (const std::vector<Point>& shape : shapes) {
            fill.Begin(box);
            for (std::size_t i = 0; i < shape.size(); ++i) {
                const Point p = shape[i], q = shape[(i + 1) % shape.size()];
                fill.AddEdge({p.x, p.y}, {q.x, q.y}, 1);
            }
            std::set<std::pair<int, int>> taken;
            fill.ForEachRun(AreaFill::Rule::kAlternate, [&](int y, int x0, int x1) {
                for (int x = x0; x < x1; ++x) {
                    taken.insert({x, y});
                }
            });
            for (int y = box.top; y < box.bottom; ++y) {
                for (int x = box.left; x < box.right; ++x) {
                    bool inside = false;
                    for (std::size_t i = 0; i < shape.size(); ++i) {
                        Point p = shape[i], q = shape[(i + 1) % shape.size()];
                        if (p.y > q.y) {
                            std::swap(p, q);
                        }
                        inside ^= p.y <= y && y < q.y &&
                                  std::int64_t{x - p.x} * (q.y - p.y) >=
                                      std::int64_t{y - p.y} * (q.x - p.x);
                    }
                    ASSERT_EQ(taken.count({x, y}), inside ? 1u : 0u) << x << "," << y;
                }
            }
        }
    }
}

TEST(PolygonTest, TenThousandPointsCostWhatTheSurfaceCosts) {
#if !defined(NDEBUG) || defined(__EMSCRIPTEN__) || defined(_WIN32)
    GTEST_SKIP() << "weighed in the desktop's optimised build only (the sanitizer builds' fuzz "
                    "run weighs them; WebAssembly has no clock of a thread's own, Windows one "
                    "in ticks coarser than a fill)";
#endif
    // Every edge across the surface: points all over it, or a star of spokes through its
    // centre. A thin pen, and wide pens whose segments' bodies cross every row.
    constexpr int kW = testsupport::kFillWidth, kH = testsupport::kFillHeight;
    for (const bool star : {false, true}) {
        std::vector<Point> points(10000);
        std::minstd_rand random(7);
        for (std::size_t i = 0; i < points.size(); ++i) {
            const double angle = 2 * M_PI * 0.4999 * static_cast<double>(i);
            const double r = i % 2 == 0 ? 2 : 1000;
            points[i] = star ? Point{kW / 2 + static_cast<int>(r * std::cos(angle)),
                                     kH / 2 + static_cast<int>(r * std::sin(angle))}
                             : Point{static_cast<int>(random() % (kW + 3)) - 1,
                                     static_cast<int>(random() % (kH + 3)) - 1};
        }
        for (const int pen : {1, 2, 300}) {
            Canvas canvas(kW, kH, kBackground, pen);
            const double fills = CostInFills(
                [&] { canvas.dc.Polygon(points.data(), static_cast<int>(points.size())); });
            // At most about 210 fills on the development machine (the star with the widest pen).
            EXPECT_LT(fills, 300.0) << (star ? "star" : "scattered") << ", pen " << pen;
        }
    }
}

// --- Every shape: raster mix mode and clipping --------------------------------------------

// Each shape drawn shifted by (dx, dy), so that it can be drawn again elsewhere.
void DrawRectangle(DeviceContext& dc, int dx, int dy) {
    dc.Rectangle(4 + dx, 6 + dy, 35 + dx, 27 + dy);
}
void DrawEllipse(DeviceContext& dc, int dx, int dy) {
    dc.Ellipse(3 + dx, 5 + dy, 38 + dx, 29 + dy);
}
void DrawArc(DeviceContext& dc, int dx, int dy) {
    dc.Arc(3 + dx, 5 + dy, 38 + dx, 29 + dy, 40 + dx, 0 + dy, 0 + dx, 30 + dy);
}
void DrawPentagram(DeviceContext& dc, int dx, int dy) {
    const Point star[] = {{20 + dx, 2 + dy},
                          {31 + dx, 36 + dy},
                          {3 + dx, 14 + dy},
                          {37 + dx, 14 + dy},
                          {9 + dx, 36 + dy}};
    dc.Polygon(star, 5);
}
void DrawLine(DeviceContext& dc, int dx, int dy) {
    dc.MoveTo(4 + dx, 30 + dy);
    dc.LineTo(33 + dx, 7 + dy);
}
void DrawPolyline(DeviceContext& dc, int dx, int dy) {
    dc.MoveTo(2 + dx, 2 + dy);
    dc.LineTo(36 + dx, 10 + dy);
    dc.LineTo(8 + dx, 34 + dy);
    dc.LineTo(30 + dx, 34 + dy);
    dc.LineTo(2 + dx, 2 + dy);
}

struct ShapeCase {
    const char* name;
    int penWidth;
    void (*draw)(DeviceContext&, int dx, int dy);
};

const ShapeCase kShapes[] = {
    {"Rectangle", 1, DrawRectangle},
    {"RectangleWidePen", 4, DrawRectangle},
    {"Ellipse", 1, DrawEllipse},
    {"EllipseWidePen", 3, DrawEllipse},
    {"Arc", 1, DrawArc},
    {"ArcWidePen", 3, DrawArc},
    {"Pentagram", 1, DrawPentagram},
    {"PentagramWidePen", 3, DrawPentagram},
    {"Line", 1, DrawLine},
    {"WideLine", 5, DrawLine},
    {"Polyline", 1, DrawPolyline},
};

void PrintTo(const ShapeCase& c, std::ostream* os) {
    *os << c.name;
}

class EveryShapeTest : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(EveryShapeTest, XorTwiceRestoresEveryPixel) {
    const ShapeCase& shape = GetParam();
    Canvas canvas(40, 40, 0, shape.penWidth);
    canvas.bitmap = Pattern(40, 40, 3);
    const Bitmap before = canvas.bitmap;
    canvas.dc.SetROP2(R2_XORPEN);
    shape.draw(canvas.dc, 0, 0);
    EXPECT_FALSE(SamePixels(canvas.bitmap, before));
    shape.draw(canvas.dc, 0, 0);
    EXPECT_TRUE(SamePixels(canvas.bitmap, before));
}

TEST_P(EveryShapeTest, TouchesEveryPixelOnce) {
    // On black, XOR gives exactly the copied colours only when no pixel is drawn twice.
    // A 1-px ellipse or polygon outline lies over its brush and is painted after it, as on
    // the desktop; the reference images check those in XOR mode.
    const ShapeCase& shape = GetParam();
    if (shape.penWidth == 1 &&
        (std::string(shape.name) == "Ellipse" || std::string(shape.name) == "Pentagram")) {
        GTEST_SKIP() << "pen painted over brush";
    }
    Canvas copied(40, 40, 0, shape.penWidth);
    shape.draw(copied.dc, 0, 0);
    Canvas xored(40, 40, 0, shape.penWidth);
    xored.dc.SetROP2(R2_XORPEN);
    shape.draw(xored.dc, 0, 0);
    EXPECT_FALSE(copied.Painted(0).empty());
    EXPECT_TRUE(SamePixels(copied.bitmap, xored.bitmap));
}

TEST_P(EveryShapeTest, ClippingKeepsTheVisiblePixels) {
    // Drawn 25 pixels up and left into a small surface, the shape shows exactly the part that
    // a large surface shows there.
    const ShapeCase& shape = GetParam();
    Canvas large(80, 80, kBackground, shape.penWidth);
    shape.draw(large.dc, 20, 20);
    Canvas small(30, 30, kBackground, shape.penWidth);
    shape.draw(small.dc, -5, -5);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            ASSERT_EQ(small.At(x, y), large.At(x + 25, y + 25)) << x << "," << y;
        }
    }
}

TEST_P(EveryShapeTest, WithoutABitmapNothingHappens) {
    const ShapeCase& shape = GetParam();
    DeviceContext dc;
    Pen pen(shape.penWidth, kPenColour);
    dc.SelectObject(&pen);
    shape.draw(dc, 0, 0);
    EXPECT_EQ(dc.GetPixel(10, 10), kInvalidColour);
}

INSTANTIATE_TEST_SUITE_P(Shapes, EveryShapeTest, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Coordinates at the ends of the int range ---------------------------------------------

// What shows on the surface is drawn, no sum overflows (the asan preset's
// UndefinedBehaviorSanitizer watches), and a pen far wider than the surface costs what the
// surface costs.
TEST(FarCoordinatesTest, DrawWhatShowsOnTheSurface) {
    struct Case {
        const char* name;
        int penWidth;
        void (*draw)(DeviceContext&);
        Colour at5x5;
    };
    static constexpr Point kFarCorners[] = {{0, 0}, {INT_MAX, 0}, {0, INT_MAX}};
    const Case cases[] = {
        {"rectangle", 1,
         [](DeviceContext& dc) { dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX); }, kBrushColour},
        {"wide rectangle", 7,
         [](DeviceContext& dc) { dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX); }, kBrushColour},
        {"line of a million-pixel pen", 1'000'000,
         [](DeviceContext& dc) {
             dc.MoveTo(INT_MIN, 5);
             dc.LineTo(INT_MAX, 5);
         },
         kPenColour},
        {"polygon", 1, [](DeviceContext& dc) { dc.Polygon(kFarCorners, 3); }, kBrushColour},
        {"wide polygon", 9, [](DeviceContext& dc) { dc.Polygon(kFarCorners, 3); }, kBrushColour},
        {"arc above the surface", 1,
         [](DeviceContext& dc) { dc.Arc(0, INT_MIN, 9, -5000, 0, 0, 9, 0); }, kBackground},
    };
    for (const Case& c : cases) {
        Canvas canvas(12, 12, kBackground, c.penWidth);
        c.draw(canvas.dc);
        EXPECT_EQ(canvas.At(5, 5), c.at5x5) << c.name;
    }
}

TEST(FarCoordinatesTest, TextIsPlacedAsInANarrowerRectangle) {
    Canvas wide(12, 30);
    Canvas narrow(12, 30);
    const unsigned centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    EXPECT_EQ(wide.dc.DrawText("W", {INT_MIN, 0, INT_MAX, 30}, centred),
              narrow.dc.DrawText("W", {-101, 0, 100, 30}, centred));
    EXPECT_TRUE(SamePixels(wide.bitmap, narrow.bitmap));
    EXPECT_EQ(wide.dc.DrawText("W", {INT_MAX - 10, 0, INT_MAX, 30}, centred),
              narrow.dc.DrawText("W", {-101, 0, 100, 30}, centred));
}

}  // namespace
}  // namespace gfx::testing
