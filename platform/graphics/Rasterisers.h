#pragma once

// Internal to platform/graphics: the shape rasterisers that the device context's shape
// methods (Shapes.cpp) compose, one file each. Each keeps its scratch space from call to
// call, so a context that draws the same shapes frame after frame allocates once.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/graphics/Raster.h"
#include "platform/graphics/Types.h"

namespace gfx {

__extension__ using Int128 = __int128;  // products of coordinates never overflow

struct Vec {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// Box edges beyond 2^30 are taken as 2^30 - 1: no surface comes near them, and every width
// and height stays within an int.
inline int Far(std::int64_t v) {
    constexpr std::int64_t kFar = (1 << 30) - 1;
    return static_cast<int>(std::clamp(v, -kFar, kFar));
}

inline Rect Grown(const Rect& r, int by) {
    return {Far(std::int64_t{r.left} - by), Far(std::int64_t{r.top} - by),
            Far(std::int64_t{r.right} + by), Far(std::int64_t{r.bottom} + by)};
}

// --- ThinLine.cpp ----------------------------------------------------------------------------

// The pixels of the 1-pixel line from a to b, b left out, that lie inside a clip.
class ThinLine {
public:
    ThinLine(Point a, Point b, const Rect& clip);

    // Calls f(x, y) for each pixel, from a on. The major coordinate steps by one, the minor
    // one by a quotient and a remainder, all in locals: the pixels' stores cannot reach them.
    template <class F>
    void ForEachPixel(F&& f) const {
        const bool xMajor = xMajor_;
        const int majorStep = majorStep_, minorSign = minorSign_;
        const std::int64_t minorStep = minorStep_, restStep = restStep_, den = den_;
        int major = major_, minor = minor_;
        std::int64_t rest = rest_;
        for (std::int64_t i = 0; i < count_; ++i) {
            f(xMajor ? major : minor, xMajor ? minor : major);
            major += majorStep;
            std::int64_t by = minorStep;
            rest += restStep;
            if (rest >= den) {
                by += 1;
                rest -= den;
            }
            minor += static_cast<int>(minorSign * by);
        }
    }

private:
    bool xMajor_ = true;
    int major_ = 0;
    int minor_ = 0;
    int majorStep_ = 0;
    int minorSign_ = 0;
    std::int64_t count_ = 0;
    std::int64_t minorStep_ = 0;
    std::int64_t rest_ = 0;
    std::int64_t restStep_ = 0;
    std::int64_t den_ = 1;
};

// --- AreaFill.cpp ----------------------------------------------------------------------------

class AreaFill {
public:
    enum class Rule {
        kAlternate,  // an odd sum: a polygon's even-odd fill
        kUnion,      // a sum above zero: the union of convex pieces
    };

    // Starts sums over `box`, all zero.
    void Begin(const Rect& box);
    const Rect& Box() const { return box_; }

    // An edge from p to q adds `weight` at its crossing of every row it spans.
    void AddEdge(Vec p, Vec q, int weight);
    // Pixels x0..x1-1 of row y, with weight 1.
    void AddSpan(int y, std::int64_t x0, std::int64_t x1);

    // Calls f(y, x0, x1) for every run of pixels x0..x1-1 of row y whose sum the rule
    // takes, row by row, left to right.
    template <class F>
    void ForEachRun(Rule rule, F&& f) const {
        // Each rule's test is inlined into a walk of its own.
        if (rule == Rule::kAlternate) {
            Runs([](std::int64_t sum) { return Takes(Rule::kAlternate, sum); }, f);
        } else {
            Runs([](std::int64_t sum) { return Takes(Rule::kUnion, sum); }, f);
        }
    }
    // Whether the rule takes every pixel of the box; stops at the first that it does not.
    bool Everywhere(Rule rule) const;

private:
    static constexpr bool Takes(Rule rule, std::int64_t sum) {
        return rule == Rule::kAlternate ? sum % 2 != 0 : sum > 0;
    }
    void AddLeft(std::int64_t from, std::int64_t to, int weight);
    // A run's ends are where keep(sum) changes along the row: f is called once a run, inline.
    template <class Keep, class F>
    void Runs(Keep keep, F& f) const {
        std::int64_t left = 0;
        for (int y = box_.top; y < box_.bottom; ++y) {
            const std::size_t row = static_cast<std::size_t>(y - box_.top);
            left += left_[row];
            std::int64_t sum = left;
            const std::int32_t* cell = &cells_[row * width_];
            int start = box_.left;
            bool in = false;
            for (std::size_t i = 0; i < width_; ++i) {
                sum += cell[i];
                if (keep(sum) != in) {
                    const int x = box_.left + static_cast<int>(i);
                    if (in) {
                        f(y, start, x);
                    }
                    in = !in;
                    start = x;
                }
            }
            if (in) {
                f(y, start, box_.right);
            }
        }
    }

    Rect box_;
    std::size_t width_ = 0;
    std::vector<std::int32_t> cells_;  // the changes of each row's sum, left to right
    std::vector<std::int32_t> left_;   // the changes of the left column's sum, row to row
};

// --- EllipseOutline.cpp ----------------------------------------------------------------------

class QuadrantWalk;

// A point of an ellipse's outline with the quadrant it was mirrored into (0 upper right, 1
// upper left, 2 lower left, 3 lower right) and that quadrant's own centre pixel.
struct OutlinePoint {
    Point at;
    Point centre;
    int quadrant = 0;
};

// The 1-px outline of the ellipse in a box, counter-clockwise on the screen from its
// rightmost upper point, as loop indices 0..Size()-1. Made by EllipseOutline::Loop.
class EllipseLoop {
public:
    std::size_t Size() const { return size_; }
    OutlinePoint operator[](std::size_t i) const;

    // Calls f(begin, end) with the loop indices of the points inside r, one range for each
    // quadrant that has any.
    void ForEachRangeIn(const Rect& r,
                        const std::function<void(std::size_t begin, std::size_t end)>& f) const;
    // Calls f(i) for every segment i (from point i to the next) whose stroke by a pen
    // reaching `reach` pixels from the outline can mark anything inside r. A segment may
    // come more than once.
    void ForEachSegmentNear(const Rect& r, int reach,
                            const std::function<void(std::size_t i)>& f) const;

    // The leftmost and rightmost outline pixel of row y, inclusive; x0 > x1 when the row has
    // none.
    Span Row(int y) const;
    // Row(y) of every row of the box, from one pass along the walk.
    std::vector<Span> Rows() const;

    // The points of the arc counter-clockwise from the radial through `from` to the radial
    // through `to` (from the box's centre pixel): `count` points from index `first` on,
    // round the loop, more than once round when count > Size().
    struct ArcPoints {
        std::size_t first = 0;
        std::size_t count = 0;
    };
    ArcPoints Arc(Point from, Point to) const;

private:
    friend class EllipseOutline;
    EllipseLoop(const Rect& box, std::int64_t w, std::int64_t h,
                std::shared_ptr<const QuadrantWalk> walk);

    struct Part {
        std::size_t base = 0;   // the loop index of the quadrant's first point listed
        std::size_t begin = 0;  // the quadrant's points listed, as indices of its own
        std::size_t end = 0;
    };
    Point At(int k, std::size_t t) const;
    std::size_t ArcIndex(Vec direction, bool wrapped) const;

    Rect box_;
    std::int64_t w_;
    std::int64_t h_;
    std::shared_ptr<const QuadrantWalk> q_;
    std::int64_t cx2_;  // doubled centre coordinates
    std::int64_t cy2_;
    Point centres_[4];
    Part parts_[4];
    std::size_t size_ = 0;
};

// Ellipse outlines, with the walks of the last few sizes kept.
class EllipseOutline {
public:
    // The one the device contexts of this thread share (EllipseOutline.cpp says why).
    static EllipseOutline& OfThisThread();

    // The outline of the ellipse in `box` (not empty).
    EllipseLoop Loop(const Rect& box);

private:
    std::vector<std::shared_ptr<const QuadrantWalk>> walks_;  // the most recent first
};

// --- WideStroke.cpp --------------------------------------------------------------------------

// How far outside its points a wide pen reaches.
int Reach(int width);

class WideStroke {
public:
    // Starts a stroke by a pen of `width` marked into `coverage` (by Finish).
    void Begin(Coverage& coverage, int width);
    // The pen's dot at c.
    void Dot(Point c);
    // The dots at both ends and the body between them.
    void Segment(Point a, Point b);
    // Whether every pixel of the coverage box is known to be covered.
    bool Whole() const { return whole_; }
    // Marks the union of the pieces; nothing is marked before.
    void Finish();

private:
    Coverage* coverage_ = nullptr;
    int width_ = 0;
    int dotWidth_ = -1;
    std::vector<Span> dot_;  // the rows of the dot of dotWidth_
    AreaFill sums_;
    int segments_ = 0;
    int nextCheck_ = 0;
    bool whole_ = false;
    std::optional<Point> lastDot_;
};

// The scratch spaces of one device context's shapes.
struct Rasterisers {
    AreaFill fill;
    WideStroke stroke;
};

}  // namespace gfx
