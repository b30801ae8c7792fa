// Rectangles, ellipses, arcs, polygons and lines of the device context. Every rule here was
// read off reference images of the desktop interface (tests/platform/graphics/references).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Raster.h"

namespace gfx {

namespace {

__extension__ using Int128 = __int128;  // products of coordinates never overflow

// Wider pens and larger ellipses than these are clamped: nothing real comes near them, and
// the exact arithmetic below stays inside 128 bits.
constexpr int kMaxPenWidth = 1 << 15;
constexpr int kMaxEllipseSide = 1 << 20;

struct Vec {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// Box edges beyond 2^30 are taken as 2^30 - 1: no surface comes near them, and every width
// and height stays within an int.
int Far(std::int64_t v) {
    constexpr std::int64_t kFar = (1 << 30) - 1;
    return static_cast<int>(std::clamp(v, -kFar, kFar));
}

// The desktop interface accepts boxes given right to left or bottom to top.
Rect Normalised(int left, int top, int right, int bottom) {
    return {Far(std::min(left, right)), Far(std::min(top, bottom)), Far(std::max(left, right)),
            Far(std::max(top, bottom))};
}

Rect Grown(const Rect& r, int by) {
    return {Far(std::int64_t{r.left} - by), Far(std::int64_t{r.top} - by),
            Far(std::int64_t{r.right} + by), Far(std::int64_t{r.bottom} + by)};
}

// The bounding box of some points, right column and bottom row included.
Rect BoundsOf(const Point* points, int count) {
    int left = points[0].x, top = points[0].y, right = points[0].x, bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        left = std::min(left, points[i].x);
        top = std::min(top, points[i].y);
        right = std::max(right, points[i].x);
        bottom = std::max(bottom, points[i].y);
    }
    return {Far(left), Far(top), Far(std::int64_t{right} + 1), Far(std::int64_t{bottom} + 1)};
}

// --- 1-px lines ----------------------------------------------------------------------------

// Calls f(x, y) for every pixel of the 1-pixel line from a to b, leaving b out, that lies
// inside `clip`. Only the steps whose major and minor coordinates both fall inside the clip
// are walked (the minor one never falls back along the line, so they are one run, found by
// division), and each step carries its minor coordinate as a quotient and remainder.
template <class F>
void ForEachLinePixel(Point a, Point b, const Rect& clip, F&& f) {
    const std::int64_t dx = std::int64_t{b.x} - a.x;
    const std::int64_t dy = std::int64_t{b.y} - a.y;
    const std::int64_t n = std::max(std::abs(dx), std::abs(dy));
    if (n == 0 || clip.IsEmpty()) {
        return;
    }
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const std::int64_t minorDelta = xMajor ? std::abs(dy) : std::abs(dx);
    const std::int64_t origin = xMajor ? a.x : a.y;
    const int step = xMajor ? sx : sy;
    const std::int64_t lo = xMajor ? clip.left : clip.top;
    const std::int64_t hi = (xMajor ? clip.right : clip.bottom) - 1;
    std::int64_t first = step > 0 ? lo - origin : origin - hi;
    std::int64_t last = step > 0 ? hi - origin : origin - lo;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, n - 1);
    // The nearest minor coordinate at step i is floor((2 i minorDelta + c) / 2n); an exact
    // tie takes the smaller coordinate whichever way the line runs, so a line and its
    // reverse paint the same pixels.
    const int minorSign = xMajor ? sy : sx;
    const std::int64_t c = minorSign > 0 ? n - 1 : n;
    const std::int64_t den = 2 * n;
    const std::int64_t minorOrigin = xMajor ? a.y : a.x;
    const std::int64_t minorLo = xMajor ? clip.top : clip.left;
    const std::int64_t minorHi = (xMajor ? clip.bottom : clip.right) - 1;
    const std::int64_t least = minorSign > 0 ? minorLo - minorOrigin : minorOrigin - minorHi;
    const std::int64_t most = minorSign > 0 ? minorHi - minorOrigin : minorOrigin - minorLo;
    if (minorDelta == 0) {
        if (least > 0 || most < 0) {
            return;
        }
    } else {
        // minor(i) >= least from i = ceil((least den - c) / 2 minorDelta) on, and
        // minor(i) <= most up to ceil(((most + 1) den - c) / 2 minorDelta) - 1.
        const auto ceilDiv = [](Int128 p, Int128 q) {
            return p >= 0 ? (p + q - 1) / q : -(-p / q);
        };
        const Int128 twice = Int128{2} * minorDelta;
        const Int128 from = std::max<Int128>(first, ceilDiv(Int128{least} * den - c, twice));
        const Int128 to = std::min<Int128>(last, ceilDiv((Int128{most} + 1) * den - c, twice) - 1);
        if (from > to) {
            return;
        }
        first = static_cast<std::int64_t>(from);
        last = static_cast<std::int64_t>(to);
    }
    const Int128 start = Int128{2} * first * minorDelta + c;
    std::int64_t minor = static_cast<std::int64_t>(start / den);
    std::int64_t rest = static_cast<std::int64_t>(start % den);
    const std::int64_t minorStep = 2 * minorDelta / den;
    const std::int64_t restStep = 2 * minorDelta % den;
    // Both coordinates of every step from first to last lie inside the clip.
    const int majorStep = xMajor ? sx : sy;
    int major = static_cast<int>((xMajor ? a.x : a.y) + majorStep * first);
    int at = static_cast<int>(minorOrigin + minorSign * minor);
    for (std::int64_t i = first; i <= last; ++i) {
        if (xMajor) {
            f(major, at);
        } else {
            f(at, major);
        }
        major += majorStep;
        std::int64_t by = minorStep;
        rest += restStep;
        if (rest >= den) {
            by += 1;
            rest -= den;
        }
        at += static_cast<int>(minorSign * by);
    }
}

// --- Filled areas --------------------------------------------------------------------------

// Sums over the pixels of a box, each row added up from the left: an edge adds its weight at
// its crossing of every row, a span adds 1 where it starts and takes it back where it ends.
// A polygon's alternate (even-odd) fill is where the sum of its edges (weight 1) is odd; a
// wide pen's stroke, the union of convex pieces, is where the sum of their outlines (weight
// +1 on a piece's left side, -1 on its right) is above zero. Each edge and span costs the
// rows it crosses inside the box, however many there are and however they overlap.
//
// A pixel is inside an edge's row run when its centre is: an edge owns its upper end and not
// its lower one, and a crossing at x counts from column ceil(x), so the left and top edges of
// a shape are inside it and the right and bottom ones are not. Crossings left of the box all
// count from its left column and those right of it not at all, which leaves every sum the
// same inside the box.
class RowSums {
public:
    explicit RowSums(const Rect& box)
        : box_(box.IsEmpty() ? Rect{} : box),
          width_(static_cast<std::size_t>(box_.Width())),
          cells_(std::move(Spare())) {
        cells_.assign(width_ * static_cast<std::size_t>(box_.Height()), 0);
        left_.assign(static_cast<std::size_t>(box_.Height()) + 1, 0);
    }
    RowSums(const RowSums&) = delete;
    RowSums& operator=(const RowSums&) = delete;
    // The cells are kept for the next sums on this thread: a frame of shapes allocates once.
    ~RowSums() { Spare() = std::move(cells_); }

    const Rect& Box() const { return box_; }

    void AddEdge(Vec p, Vec q, int weight) {
        if (p.y == q.y) {
            return;
        }
        if (p.y > q.y) {
            std::swap(p, q);
        }
        const std::int64_t first = std::max<std::int64_t>(p.y, box_.top);
        const std::int64_t end = std::min<std::int64_t>(q.y, box_.bottom);
        if (first >= end) {
            return;
        }
        const std::int64_t den = q.y - p.y;
        const std::int64_t dx = q.x - p.x;
        // The crossing moves one way along the edge, so its rows fall into a run left of the
        // box (added once, to the left column's running sum), a run inside it (stepped row by
        // row) and a run right of it (left out). Each boundary is computed from the line to
        // within a row (where the crossing passes column x, for x the box's left edge or its
        // last column), then settled exactly.
        const auto crossingAt = [&](std::int64_t y) {
            const Int128 num = Int128{y - p.y} * dx;
            return p.x + (num >= 0 ? (num + den - 1) / den : -((-num) / den));
        };
        const auto firstWhere = [&](auto&& holds, std::int64_t atX) {
            if (dx == 0) {
                return holds(first) ? first : end;
            }
            const Int128 estimate = p.y + Int128{atX - p.x} * den / dx;
            std::int64_t y = static_cast<std::int64_t>(std::clamp<Int128>(estimate, first, end));
            while (y > first && holds(y - 1)) {
                --y;
            }
            while (y < end && !holds(y)) {
                ++y;
            }
            return y;
        };
        std::int64_t insideFrom = first;
        std::int64_t insideTo = end;
        if (dx >= 0) {
            insideFrom =
                firstWhere([&](std::int64_t y) { return crossingAt(y) > box_.left; }, box_.left);
            insideTo = std::max(
                insideFrom, firstWhere([&](std::int64_t y) { return crossingAt(y) >= box_.right; },
                                       box_.right - 1));
            AddLeft(first, insideFrom, weight);
        } else {
            insideFrom = firstWhere([&](std::int64_t y) { return crossingAt(y) < box_.right; },
                                    box_.right - 1);
            insideTo = std::max(
                insideFrom,
                firstWhere([&](std::int64_t y) { return crossingAt(y) <= box_.left; }, box_.left));
            AddLeft(insideTo, end, weight);
        }
        if (insideFrom >= insideTo) {
            return;
        }
        // The crossing, ceil(num / den), as a quotient and a remainder stepped row by row.
        const Int128 num = Int128{insideFrom - p.y} * dx;
        const Int128 ceil = num >= 0 ? (num + den - 1) / den : -((-num) / den);
        std::int64_t x = p.x + static_cast<std::int64_t>(ceil) - box_.left;
        std::int64_t rest = static_cast<std::int64_t>(ceil * den - num);
        const std::int64_t step = FloorDiv(dx, den);
        const std::int64_t stepRest = dx - step * den;
        std::int32_t* cell = &cells_[static_cast<std::size_t>(insideFrom - box_.top) * width_];
        for (std::int64_t y = insideFrom; y < insideTo; ++y) {
            cell[x] += weight;
            cell += width_;
            x += step;
            rest -= stepRest;
            if (rest < 0) {
                x += 1;
                rest += den;
            }
        }
    }

    // x0..x1-1 of row y.
    void AddSpan(int y, std::int64_t x0, std::int64_t x1) {
        if (y < box_.top || y >= box_.bottom || x0 >= x1 || x1 <= box_.left || x0 >= box_.right) {
            return;
        }
        const std::size_t row = static_cast<std::size_t>(y - box_.top);
        if (x0 <= box_.left) {
            AddLeft(y, std::int64_t{y} + 1, 1);
        } else {
            cells_[row * width_ + static_cast<std::size_t>(x0 - box_.left)] += 1;
        }
        if (x1 < box_.right) {
            cells_[row * width_ + static_cast<std::size_t>(x1 - box_.left)] -= 1;
        }
    }

    // Calls f(y, x0, x1) for every run of pixels whose sum keep(sum) holds, row by row.
    template <class Keep, class F>
    void ForEachRun(Keep&& keep, F&& f) const {
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

    // Whether keep(sum) holds for every pixel of the box; stops at the first that fails.
    template <class Keep>
    bool Everywhere(Keep&& keep) const {
        std::int64_t left = 0;
        for (std::size_t row = 0; row < left_.size() - 1; ++row) {
            left += left_[row];
            std::int64_t sum = left;
            const std::int32_t* cell = &cells_[row * width_];
            for (std::size_t i = 0; i < width_; ++i) {
                sum += cell[i];
                if (!keep(sum)) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    // Rows from..to-1 of the left column.
    void AddLeft(std::int64_t from, std::int64_t to, int weight) {
        if (from < to) {
            left_[static_cast<std::size_t>(from - box_.top)] += weight;
            left_[static_cast<std::size_t>(to - box_.top)] -= weight;
        }
    }

    static std::vector<std::int32_t>& Spare() {
        thread_local std::vector<std::int32_t> spare;
        return spare;
    }

    Rect box_;
    std::size_t width_;
    std::vector<std::int32_t> cells_;  // the changes of each row's sum, left to right
    std::vector<std::int32_t> left_;   // the changes of the left column's sum, row to row
};

// Marks the polygon's alternate fill as brush.
void MarkFill(const Vec* points, int count, Coverage& coverage) {
    RowSums sums(coverage.Box());
    for (int i = 0; i < count; ++i) {
        sums.AddEdge(points[i], points[(i + 1) % count], 1);
    }
    sums.ForEachRun([](std::int64_t sum) { return sum % 2 != 0; },
                    [&](int y, int x0, int x1) { coverage.MarkBrush(y, x0, x1); });
}

// --- Ellipse outline -----------------------------------------------------------------------

// One quadrant of the outline of an ellipse whose outermost pixel centres lie a apart
// across and b apart up and down, in doubled coordinates about its centre (X grows right, Y
// up), from the rightmost point (a, b % 2) to the topmost (a % 2, b). Each step goes up,
// diagonally up and in, or in, to whichever of the three points lies nearest the curve
// b^2 X^2 + a^2 Y^2 = a^2 b^2 (the smallest |F|; ties in that order). The walk ends on the
// vertical axis, or when it would leave the top: a box much taller than wide leaves its top
// and bottom rows empty. F is carried from step to step, so a step costs a few additions.
//
// The walk is taken once and only every kBlock-th point kept; a point is found again by
// walking on from the one kept before it (the walk depends only on where it stands), and
// the last block walked is kept, so points asked for in order cost a step each.
class QuadrantWalk {
public:
    QuadrantWalk(std::int64_t a, std::int64_t b)
        : a_(a), b_(b), aa_(Int128{a} * a), bb_(Int128{b} * b) {
        // A run of steps up (or in) goes on while one condition holds, and that condition
        // holds up to some row (column) and not after it: the run's end is found by bisection
        // and its points counted without being walked, so a box far taller or wider than the
        // surface costs its turns, not its length.
        State s = At(a, b % 2);
        Keep(s.x, s.y);
        Move move = Decide(s);
        Move last = move;
        std::int64_t streak = 0;  // steps in a row like the last
        while (s.x != a_ % 2) {
            streak = move == last ? streak + 1 : 1;
            last = move;
            if (streak > kWalked && move != Move::kDiagonal) {
                if (!Skip(s, move)) {
                    break;
                }
                streak = 0;
                continue;
            }
            Advance(s, move);
            if (s.y > b_) {
                break;
            }
            Keep(s.x, s.y);
            move = Decide(s);
        }
    }

    std::size_t Size() const { return size_; }
    bool Walks(std::int64_t a, std::int64_t b) const { return a == a_ && b == b_; }

    const Vec& operator[](std::size_t t) const {
        const std::size_t block = t / kBlock;
        if (block != block_) {
            block_ = block;
            points_.clear();
            State s = At(kept_[block].x, kept_[block].y);
            const std::size_t n = std::min(kBlock, size_ - block * kBlock);
            for (std::size_t i = 0; i < n; ++i) {
                points_.push_back({s.x, s.y});
                Step(s);
            }
        }
        return points_[t % kBlock];
    }

    // The first point whose Y is at least y (Size() when none): Y never falls along the walk.
    std::size_t FirstAtOrAbove(std::int64_t y) const {
        const auto after =
            std::partition_point(kept_.begin(), kept_.end(), [&](const Vec& v) { return v.y < y; });
        std::size_t t = after == kept_.begin()
                            ? 0
                            : static_cast<std::size_t>(after - kept_.begin() - 1) * kBlock;
        while (t < size_ && (*this)[t].y < y) {
            ++t;
        }
        return t;
    }

private:
    static constexpr std::size_t kBlock = 64;
    static constexpr std::int64_t kWalked = 16;  // longer runs are measured

    struct State {
        std::int64_t x = 0;
        std::int64_t y = 0;
        Int128 f = 0;
        Int128 upBy = 0;  // F(x, y + 2) - F(x, y)
        Int128 inBy = 0;  // F(x - 2, y) - F(x, y)
    };

    State At(std::int64_t x, std::int64_t y) const {
        return {x, y, bb_ * x * x + aa_ * y * y - aa_ * bb_, aa_ * (4 * y + 4), bb_ * (4 - 4 * x)};
    }

    enum class Move { kUp, kDiagonal, kIn };

    // The step from s (not on the vertical axis).
    static Move Decide(const State& s) {
        const auto magnitude = [](Int128 v) { return v < 0 ? -v : v; };
        const Int128 up = magnitude(s.f + s.upBy);
        const Int128 diagonal = magnitude(s.f + s.upBy + s.inBy);
        const Int128 in = magnitude(s.f + s.inBy);
        if (up <= diagonal && up <= in) {
            return Move::kUp;
        }
        return diagonal <= in ? Move::kDiagonal : Move::kIn;
    }

    // Takes the rest of a run from s, whose step is `move`, leaving s where the run ends and
    // `move` the step from there; false where the walk ends in the run. A run up ends the walk
    // where it would leave the top; a run in, on the vertical axis. From (x, y), for x >= 2,
    // the walk goes up exactly when F(x, y + 2) <= 2 b^2 (x - 1), which holds up to some row
    // as y grows, and in exactly when F(x, y + 2) > 2 b^2 (x - 1) and F(x - 2, y + 2) >
    // 2 a^2 (y + 1), which hold down to some column as x falls: the run's end is bisected.
    bool Skip(State& s, Move& move) {
        const bool up = move == Move::kUp;
        const std::int64_t most = up ? (b_ - s.y) / 2 + 1 : (s.x - a_ % 2) / 2;
        const State from = s;
        const auto at = [&](std::int64_t j) {
            return up ? At(from.x, from.y + 2 * j) : At(from.x - 2 * j, from.y);
        };
        const auto holds = [&](std::int64_t j) { return Decide(at(j)) == move; };
        // The run holds at every j below lo, and fails at hi or hi is `most`.
        std::int64_t lo = 1;
        std::int64_t hi = 1;
        while (hi < most && holds(hi)) {
            lo = hi + 1;
            hi = std::min(most, 2 * hi);
        }
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (holds(mid)) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        const std::int64_t steps = up ? std::min(lo, most - 1) : lo;
        // The points kept are those whose index is a multiple of kBlock.
        for (std::size_t t = (size_ + kBlock - 1) / kBlock * kBlock;
             t < size_ + static_cast<std::size_t>(steps); t += kBlock) {
            const auto j = static_cast<std::int64_t>(t - size_) + 1;
            kept_.push_back(up ? Vec{from.x, from.y + 2 * j} : Vec{from.x - 2 * j, from.y});
        }
        size_ += static_cast<std::size_t>(steps);
        if (steps < lo) {
            return false;
        }
        s = at(lo);
        move = Decide(s);
        return true;
    }

    void Keep(std::int64_t x, std::int64_t y) {
        if (size_ % kBlock == 0) {
            kept_.push_back({x, y});
        }
        ++size_;
    }

    void Advance(State& s, Move move) const {
        if (move == Move::kUp) {
            s.f += s.upBy;
            s.y += 2;
            s.upBy += 8 * aa_;
        } else if (move == Move::kDiagonal) {
            s.f += s.upBy + s.inBy;
            s.x -= 2;
            s.y += 2;
            s.upBy += 8 * aa_;
            s.inBy += 8 * bb_;
        } else {
            s.f += s.inBy;
            s.x -= 2;
            s.inBy += 8 * bb_;
        }
    }

    // One step on; false where the walk ends.
    bool Step(State& s) const {
        if (s.x == a_ % 2) {
            return false;
        }
        Advance(s, Decide(s));
        return s.y <= b_;
    }

    std::int64_t a_;
    std::int64_t b_;
    Int128 aa_;
    Int128 bb_;
    std::size_t size_ = 0;
    std::vector<Vec> kept_;  // points 0, kBlock, 2 kBlock, ...
    mutable std::size_t block_ = SIZE_MAX;
    mutable std::vector<Vec> points_;  // those of block_
};

// The walks of the last few sizes of ellipse on this thread. A frame draws the same circles
// again and again, and a box larger than kMaxEllipseSide is cut to it, so every ellipse far
// larger than the surface takes one of a few sizes: each is walked once, not once a call.
std::shared_ptr<const QuadrantWalk> WalkOf(std::int64_t a, std::int64_t b) {
    constexpr std::size_t kKept = 16;
    thread_local std::vector<std::shared_ptr<const QuadrantWalk>> kept;
    auto it = std::find_if(kept.begin(), kept.end(), [&](const auto& w) { return w->Walks(a, b); });
    std::shared_ptr<const QuadrantWalk> walk =
        it != kept.end() ? *it : std::make_shared<const QuadrantWalk>(a, b);
    if (it != kept.end()) {
        kept.erase(it);
    } else if (kept.size() == kKept) {
        kept.pop_back();
    }
    kept.insert(kept.begin(), walk);  // the most recent first
    return walk;
}

// A point of an ellipse's outline with the quadrant it was mirrored into (0 upper right, 1
// upper left, 2 lower left, 3 lower right) and that quadrant's own centre pixel.
struct OutlinePoint {
    Point at;
    Point centre;
    int quadrant = 0;
};

// The 1-px outline of the ellipse in `box`, counter-clockwise on the screen from its
// rightmost upper point: the quadrant walk mirrored four times, each pixel once where the
// quadrants meet. The walk is kept, not the loop: a point is mirrored when asked for, and
// the points inside a rectangle are found by bisection (within a quadrant both coordinates
// run one way), so an ellipse far larger than the surface costs its walk and what lies on
// the surface.
class EllipseLoop {
public:
    explicit EllipseLoop(const Rect& box)
        : w_(std::min(box.Width(), kMaxEllipseSide)),
          h_(std::min(box.Height(), kMaxEllipseSide)),
          q_(WalkOf(w_ - 1, h_ - 1)),
          // Doubled centre coordinates; every X and Y of the walk has their parity.
          cx2_(2 * std::int64_t{box.left} + w_ - 1),
          cy2_(2 * std::int64_t{box.top} + h_ - 1),
          top_(box.top) {
        const int rightX = static_cast<int>(box.left + w_ / 2);
        const int leftX = static_cast<int>(box.left + (w_ - 1) / 2);
        const int upperY = static_cast<int>(box.top + (h_ - 1) / 2);
        const int lowerY = static_cast<int>(box.top + h_ / 2);
        centres_[0] = {rightX, upperY};
        centres_[1] = {leftX, upperY};
        centres_[2] = {leftX, lowerY};
        centres_[3] = {rightX, lowerY};
        // A quadrant leaves out its first point where it repeats the last one listed, and
        // the loop its last point where that repeats the first.
        const std::size_t m = q_->Size();
        std::size_t base = 0;
        bool any = false;
        Point last{};
        for (int k = 0; k < 4; ++k) {
            Part& part = parts_[k];
            part.base = base;
            part.begin = any && At(k, 0) == last ? 1 : 0;
            part.end = m;
            if (part.end > part.begin) {
                last = At(k, m - 1);
                any = true;
            }
            base += part.end - part.begin;
        }
        size_ = base;
        if (size_ > 1 && (*this)[0].at == (*this)[size_ - 1].at) {
            for (int k = 3; k >= 0; --k) {
                if (parts_[k].end > parts_[k].begin) {
                    --parts_[k].end;
                    break;
                }
            }
            --size_;
        }
    }

    std::size_t Size() const { return size_; }

    // The loop index of quadrant k's first point (of the next one when k lists none).
    std::size_t QuadrantStart(int k) const { return parts_[k].base; }

    OutlinePoint operator[](std::size_t i) const {
        int k = 3;
        while (k > 0 && i < parts_[k].base) {
            --k;
        }
        return {At(k, parts_[k].begin + (i - parts_[k].base)), centres_[k], k};
    }

    // Calls f(begin, end) with the loop indices of the points inside r, one range for each
    // quadrant that has any.
    template <class F>
    void ForEachRangeIn(const Rect& r, F&& f) const {
        for (int k = 0; k < 4; ++k) {
            const Part& part = parts_[k];
            auto [begin, end] = Within(
                part.begin, part.end, [&](std::size_t t) { return At(k, t).y; }, r.top, r.bottom);
            std::tie(begin, end) = Within(
                begin, end, [&](std::size_t t) { return At(k, t).x; }, r.left, r.right);
            if (begin < end) {
                f(part.base + (begin - part.begin), part.base + (end - part.begin));
            }
        }
    }

    // The leftmost and rightmost outline pixel of row y, inclusive; x0 > x1 when the row has
    // none. The rightmost point of the walk at the row's Y gives both.
    Span Row(int y) const {
        const std::int64_t dy = cy2_ - 2 * std::int64_t{y};
        const std::int64_t Y = dy < 0 ? -dy : dy;
        const std::size_t t = q_->FirstAtOrAbove(Y);
        if (t == q_->Size() || (*q_)[t].y != Y) {
            return {1, 0};
        }
        const std::int64_t X = (*q_)[t].x;
        return {static_cast<int>((cx2_ - X) / 2), static_cast<int>((cx2_ + X) / 2)};
    }

    // Row(y) of every row of the box, from one pass along the walk.
    std::vector<Span> Rows() const {
        std::vector<std::int64_t> widest(static_cast<std::size_t>(h_ / 2 + 1), -1);  // by Y / 2
        for (std::size_t t = 0; t < q_->Size(); ++t) {
            const Vec& v = (*q_)[t];
            std::int64_t& x = widest[static_cast<std::size_t>(v.y / 2)];
            if (x < 0) {
                x = v.x;
            }
        }
        std::vector<Span> rows(static_cast<std::size_t>(h_), Span{1, 0});
        for (std::int64_t i = 0; i < h_; ++i) {
            const std::int64_t dy = cy2_ - 2 * (top_ + i);
            const std::int64_t X = widest[static_cast<std::size_t>((dy < 0 ? -dy : dy) / 2)];
            if (X >= 0) {
                rows[static_cast<std::size_t>(i)] = {static_cast<int>((cx2_ - X) / 2),
                                                     static_cast<int>((cx2_ + X) / 2)};
            }
        }
        return rows;
    }

private:
    struct Part {
        std::size_t base = 0;   // the loop index of the quadrant's first point listed
        std::size_t begin = 0;  // the quadrant's points listed, as indices of its own
        std::size_t end = 0;
    };

    // The t-th point of quadrant k: quadrants 1 and 3 run the walk backwards.
    Point At(int k, std::size_t t) const {
        const Vec& v = (*q_)[k % 2 == 0 ? t : q_->Size() - 1 - t];
        const std::int64_t x2 = k == 0 || k == 3 ? cx2_ + v.x : cx2_ - v.x;
        const std::int64_t y2 = k < 2 ? cy2_ - v.y : cy2_ + v.y;
        return {static_cast<int>(x2 / 2), static_cast<int>(y2 / 2)};
    }

    // The indices t in [begin, end) with from <= value(t) < to, for value monotone in t.
    template <class V>
    static std::pair<std::size_t, std::size_t> Within(std::size_t begin, std::size_t end, V&& value,
                                                      std::int64_t from, std::int64_t to) {
        if (begin >= end) {
            return {begin, begin};
        }
        const bool rising = value(begin) <= value(end - 1);
        const auto first = [&](auto&& past) {  // the first t past the boundary
            std::size_t lo = begin, hi = end;
            while (lo < hi) {
                const std::size_t mid = lo + (hi - lo) / 2;
                if (past(std::int64_t{value(mid)})) {
                    hi = mid;
                } else {
                    lo = mid + 1;
                }
            }
            return lo;
        };
        const std::size_t b = rising ? first([&](std::int64_t v) { return v >= from; })
                                     : first([&](std::int64_t v) { return v < to; });
        const std::size_t e = rising ? first([&](std::int64_t v) { return v >= to; })
                                     : first([&](std::int64_t v) { return v < from; });
        return {b, std::max(b, e)};
    }

    std::int64_t w_;
    std::int64_t h_;
    std::shared_ptr<const QuadrantWalk> q_;
    std::int64_t cx2_;
    std::int64_t cy2_;
    std::int64_t top_;
    Point centres_[4];
    Part parts_[4];
    std::size_t size_ = 0;
};

// Calls f(i) for every segment i of the loop (from point i to the next) whose stroke by a
// pen reaching `reach` pixels from the outline can mark anything inside r: those with an
// end inside r grown by the reach, and the ones where quadrants meet, which may be long.
// Consecutive points are neighbours elsewhere. A segment may come more than once.
template <class F>
void ForEachSegmentNear(const EllipseLoop& loop, const Rect& r, int reach, F&& f) {
    const std::size_t n = loop.Size();
    if (n < 2) {
        return;
    }
    loop.ForEachRangeIn(Grown(r, reach), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin + n - 1; i < end + n; ++i) {
            f(i % n);
        }
    });
    for (int k = 0; k < 4; ++k) {
        f((loop.QuadrantStart(k) + n - 1) % n);
    }
}

// --- Directions ----------------------------------------------------------------------------

// Compares the counter-clockwise angles, in [0, 2 pi), of two directions with y pointing
// up. A "wrapped" direction lies at 2 pi itself, after every other.
int CompareAngles(Vec u, bool uWrapped, Vec v, bool vWrapped) {
    const auto region = [](Vec d, bool wrapped) {
        if (wrapped) {
            return 4;
        }
        if (d.x > 0 && d.y >= 0) {
            return 0;
        }
        if (d.x <= 0 && d.y > 0) {
            return 1;
        }
        if (d.x < 0 && d.y <= 0) {
            return 2;
        }
        return d.y < 0 ? 3 : 0;  // the zero vector reads as angle 0
    };
    const int ru = region(u, uWrapped);
    const int rv = region(v, vWrapped);
    if (ru != rv) {
        return ru < rv ? -1 : 1;
    }
    if (ru == 4) {
        return 0;
    }
    const Int128 cross = Int128{u.x} * v.y - Int128{u.y} * v.x;
    return cross > 0 ? -1 : cross < 0 ? 1 : 0;
}

// The index of the outline point where an arc towards `direction` (from the box's centre
// pixel) begins or ends: the first point, counter-clockwise from the rightmost upper one,
// at or past the direction, each point's own direction taken from its quadrant's centre.
// In the lower half (past pi) a point exactly on the direction does not count yet. A
// point of the lower right quadrant on the horizontal axis lies at 2 pi. loop.Size() when
// no point is far enough. The points' angles never fall along the loop, so the first one
// far enough is found by bisection.
std::size_t ArcIndex(const EllipseLoop& loop, Vec direction, bool wrapped) {
    const bool strict = wrapped || direction.y < 0;
    const auto farEnough = [&](std::size_t i) {
        const OutlinePoint p = loop[i];
        const Vec d{p.at.x - p.centre.x, p.centre.y - p.at.y};
        const bool atTwoPi = p.quadrant == 3 && d.y == 0 && d.x > 0;
        const int c = CompareAngles(d, atTwoPi, direction, wrapped);
        return strict ? c > 0 : c >= 0;
    };
    std::size_t lo = 0, hi = loop.Size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (farEnough(mid)) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

// --- Wide pens -----------------------------------------------------------------------------

// The rows of a wide pen's dot: the filled w x w ellipse with its top-left at (-w/2, -w/2)
// (w = 3 is a plus, even widths lean up and left; below 3 a square). Spans are inclusive.
std::vector<Span> DotRows(int w) {
    if (w < 3) {
        return std::vector<Span>(static_cast<std::size_t>(w), Span{0, w - 1});
    }
    return EllipseLoop(Rect{0, 0, w, w}).Rows();
}

// DotRows of the last width asked for on this thread: a wide pen's dot takes a walk of its
// whole outline, which the strokes of one pen (a frame's four lines) need only once.
const std::vector<Span>& LastDotRows(int w) {
    thread_local int width = -1;
    thread_local std::vector<Span> rows;
    if (w != width) {
        rows = DotRows(w);
        width = w;
    }
    return rows;
}

// Smallest k >= 0 with (2k + offset) sqrt(s) >= num, for num >= 0: ceilings of
// num / (2 sqrt(s)) shifted by half a step, exactly.
std::int64_t CeilHalfSteps(Int128 num, Int128 s, int offset) {
    const long double estimate =
        (static_cast<long double>(num) / std::sqrt(static_cast<long double>(s)) - offset) / 2;
    std::int64_t k = std::max<std::int64_t>(0, static_cast<std::int64_t>(estimate) - 2);
    const auto reaches = [&](std::int64_t k) {
        const Int128 m = 2 * Int128{k} + offset;
        return m >= 0 && m * m * s >= num * num;
    };
    while (!reaches(k)) {
        ++k;
    }
    while (k > 0 && reaches(k - 1)) {
        --k;
    }
    return k;
}

// How far outside its points a wide pen reaches.
int Reach(int width) {
    return std::min(width, kMaxPenWidth) / 2 + 2;
}

// Marks a wide pen's stroke from a to b: the dots at both ends and the body between them, a
// quadrilateral whose long sides lie half the width from the centre line. The exact offset
// (w/2) n, for the unit normal n on the side where x (for a horizontal line y) grows, is
// rounded away from the line on that side and to the nearest (halves up) on the other, so
// a horizontal or vertical line is w pixels across from y - w/2 (x - w/2) and a 45-degree
// line of width 3 is 6 pixels wide in each row.
//
// The pieces are added up in one RowSums, where each row of a piece costs a step or two, and
// the union marked when the stroke is finished, so each pixel is marked once however many
// dots and bodies cover it. Once every pixel of the coverage box is covered (looked at after
// 16 segments, then after twice as many each time), further pieces are not even laid out. A
// pen far wider than the surface, or a path of thousands of points, costs what the surface
// costs.
class Stroke {
public:
    Stroke(Coverage& coverage, int width)
        : coverage_(coverage),
          width_(std::min(width, kMaxPenWidth)),
          dot_(LastDotRows(width_)),
          sums_(coverage.Box()) {}

    // Marks the union of the pieces; nothing is marked before.
    void Finish() {
        sums_.ForEachRun([](std::int64_t sum) { return sum > 0; },
                         [&](int y, int x0, int x1) { coverage_.MarkStroke(y, x0, x1); });
    }

    // Whether every pixel of the coverage box is known to be covered.
    bool Whole() const { return whole_; }

    // Only the dot's rows inside the coverage box are taken; a path's segments share their
    // ends, so a dot just taken is not taken again.
    void Dot(Point c) {
        if (lastDot_ && *lastDot_ == c) {
            return;
        }
        lastDot_ = c;
        const std::int64_t left = std::int64_t{c.x} - width_ / 2;
        const std::int64_t top = std::int64_t{c.y} - width_ / 2;
        const Rect& box = coverage_.Box();
        const auto first = static_cast<std::size_t>(
            std::clamp<std::int64_t>(box.top - top, 0, static_cast<std::int64_t>(dot_.size())));
        const auto end = static_cast<std::size_t>(
            std::clamp<std::int64_t>(box.bottom - top, 0, static_cast<std::int64_t>(dot_.size())));
        for (std::size_t i = first; i < end; ++i) {
            sums_.AddSpan(static_cast<int>(top + static_cast<std::int64_t>(i)), left + dot_[i].x0,
                          left + dot_[i].x1 + 1);
        }
    }

    void Segment(Point a, Point b) {
        // Nothing of a segment reaches further than the pen's reach from its ends.
        const Rect& box = coverage_.Box();
        const std::int64_t reach = Reach(width_);
        if (Whole() || std::max(a.x, b.x) + reach < box.left ||
            std::min<std::int64_t>(a.x, b.x) - reach >= box.right ||
            std::max(a.y, b.y) + reach < box.top ||
            std::min<std::int64_t>(a.y, b.y) - reach >= box.bottom) {
            return;
        }
        Dot(a);
        Dot(b);
        const std::int64_t dx = std::int64_t{b.x} - a.x;
        const std::int64_t dy = std::int64_t{b.y} - a.y;
        if (dx == 0 && dy == 0) {
            return;
        }
        Vec normal{-dy, dx};
        if (normal.x < 0 || (normal.x == 0 && normal.y < 0)) {
            normal = {-normal.x, -normal.y};
        }
        const Int128 lengthSquared = Int128{dx} * dx + Int128{dy} * dy;
        // For a normal component u the exact offset is w u / (2 L).
        const auto away = [&](std::int64_t u) {
            const std::int64_t k = CeilHalfSteps(Int128{width_} * std::abs(u), lengthSquared, 0);
            return u < 0 ? -k : k;
        };
        const auto nearest = [&](std::int64_t u) {  // of the negated offset, halves up
            if (u > 0) {
                return -CeilHalfSteps(Int128{width_} * u, lengthSquared, 1);
            }
            // floor(v + 1/2) for v = w |u| / (2 L): one below the first k with (2k - 1) L > w |u|.
            const Int128 num = Int128{width_} * -u;
            std::int64_t k = CeilHalfSteps(num, lengthSquared, -1);
            const Int128 m = 2 * Int128{k} - 1;
            return m * m * lengthSquared > num * num ? k - 1 : k;
        };
        const Vec near{away(normal.x), away(normal.y)};
        const Vec far{nearest(normal.x), nearest(normal.y)};
        const Vec body[] = {{a.x + near.x, a.y + near.y},
                            {b.x + near.x, b.y + near.y},
                            {b.x + far.x, b.y + far.y},
                            {a.x + far.x, a.y + far.y}};
        // A parallelogram, convex: its side going down and its side going up are its right
        // and left sides, which way round its turning says (none when it has no area).
        Int128 area2 = 0;
        for (int i = 0; i < 4; ++i) {
            const Vec& p = body[i];
            const Vec& q = body[(i + 1) % 4];
            area2 += Int128{p.x} * q.y - Int128{q.x} * p.y;
        }
        if (area2 != 0) {
            for (int i = 0; i < 4; ++i) {
                const Vec& p = body[i];
                const Vec& q = body[(i + 1) % 4];
                sums_.AddEdge(p, q, (q.y > p.y) == (area2 > 0) ? -1 : 1);
            }
        }
        if (++segments_ == nextCheck_) {
            nextCheck_ *= 2;
            whole_ = sums_.Everywhere([](std::int64_t sum) { return sum > 0; });
        }
    }

private:
    Coverage& coverage_;
    int width_;
    const std::vector<Span>& dot_;  // LastDotRows of the width
    RowSums sums_;
    int segments_ = 0;
    int nextCheck_ = 16;
    bool whole_ = false;
    std::optional<Point> lastDot_;
};

}  // namespace

// A Rectangle's pen strokes the closed path through its outermost pixel centres, so a 1-px
// pen covers the box's edge pixels (a 1 x 1 box paints nothing) and a wider pen reaches
// (w - 1) / 2 outside the box with round corners. The brush covers the box without its
// last row and column, less the pen.
void DeviceContext::Rectangle(int left, int top, int right, int bottom) {
    const Rect box = Normalised(left, top, right, bottom);
    const int width = pen_->Width();
    if (box.IsEmpty() || (width <= 1 && box.Width() == 1 && box.Height() == 1)) {
        return;
    }
    if (width <= 1) {
        // The ring of edge pixels and the brush inside it never overlap, so each is one block
        // fill (the whole box when both have one colour).
        const Colour pen = pen_->GetColour();
        const Colour brush = brush_->GetColour();
        const Rect inner{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
        if (inner.IsEmpty() || (pen == brush && rop2_ != R2_XORPEN)) {
            FillBlock(box, pen);
            return;
        }
        FillBlock({box.left, box.top, box.right, inner.top}, pen);
        FillBlock({box.left, inner.top, inner.left, inner.bottom}, pen);
        FillBlock(inner, brush);
        FillBlock({inner.right, inner.top, box.right, inner.bottom}, pen);
        FillBlock({box.left, inner.bottom, box.right, box.bottom}, pen);
        return;
    }
    Coverage coverage(Grown(box, Reach(width)).Intersect(SurfaceRect()));
    if (coverage.Box().IsEmpty()) {
        return;
    }
    Stroke stroke(coverage, width);
    const Point corners[] = {{box.left, box.top},
                             {box.right - 1, box.top},
                             {box.right - 1, box.bottom - 1},
                             {box.left, box.bottom - 1}};
    for (int i = 0; i < 4; ++i) {
        stroke.Segment(corners[i], corners[(i + 1) % 4]);
    }
    stroke.Finish();
    // Only the rows inside the coverage box: a box far taller than the surface costs what the
    // surface costs.
    const int lastRow = std::min(box.bottom - 1, coverage.Box().bottom);
    for (int y = std::max(box.top, coverage.Box().top); y < lastRow; ++y) {
        coverage.MarkBrush(y, box.left, box.right - 1);
    }
    Paint(coverage);
}

// An Ellipse is the 1-px outline of EllipseLoop, stroked by a wider pen as a closed path
// as a Rectangle is; its brush fills each row between the row's outermost outline pixels
// (under a 1-px outline, as XOR shows; less a wider pen). A box less than 3 pixels wide or
// high is drawn as a Rectangle.
void DeviceContext::Ellipse(int left, int top, int right, int bottom) {
    const Rect box = Normalised(left, top, right, bottom);
    if (box.Width() < 3 || box.Height() < 3) {
        Rectangle(box);
        return;
    }
    const int width = pen_->Width();
    Coverage coverage(Grown(box, width <= 1 ? 0 : Reach(width)).Intersect(SurfaceRect()));
    if (coverage.Box().IsEmpty()) {
        return;
    }
    const Rect& clip = coverage.Box();
    const EllipseLoop loop(box);
    if (width <= 1) {
        for (int y = clip.top; y < clip.bottom; ++y) {
            const Span row = loop.Row(y);
            coverage.MarkBrush(y, row.x0, std::int64_t{row.x1} + 1);
        }
        loop.ForEachRangeIn(clip, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                const Point p = loop[i].at;
                coverage.MarkLine(p.x, p.y);
            }
        });
    } else {
        Stroke stroke(coverage, width);
        const std::size_t n = loop.Size();
        ForEachSegmentNear(loop, clip, Reach(width), [&](std::size_t i) {
            stroke.Segment(loop[i].at, loop[(i + 1) % n].at);
        });
        stroke.Finish();
        for (int y = clip.top; y < clip.bottom; ++y) {
            const Span row = loop.Row(y);
            coverage.MarkBrush(y, std::int64_t{row.x0} + 1, row.x1);
        }
    }
    Paint(coverage);
}

// An Arc runs over Ellipse's outline points, counter-clockwise from the point ArcIndex
// gives for the start direction up to two points short of the one it gives for the end
// direction (a whole arc, start equal to end, leaves out the one point just clockwise of
// its start). Directions are taken from the box's centre pixel (left + w/2, top + h/2). An
// end direction exactly along the x axis lies at 2 pi, after every point; when the outline
// has a point on that axis, the loop closes with it once more, so such an arc ends one
// point later. The points form a polyline: a 1-px pen leaves its last point out, a wider
// pen strokes all of them.
void DeviceContext::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    const Rect box = Normalised(left, top, right, bottom);
    const int width = pen_->Width();
    // Clipped before the outline is walked: an arc off the surface costs nothing.
    const Rect clip = Grown(box, width <= 1 ? 0 : Reach(width)).Intersect(SurfaceRect());
    if (box.IsEmpty() || clip.IsEmpty()) {
        return;
    }
    const EllipseLoop loop(box);
    const std::size_t n = loop.Size();
    const std::int64_t cx = box.left + box.Width() / 2;
    const std::int64_t cy = box.top + box.Height() / 2;
    const Vec start{x1 - cx, cy - y1};
    const Vec end{x2 - cx, cy - y2};
    const bool endWrapped = end.y == 0 && end.x >= 0;
    const std::size_t first = ArcIndex(loop, start, false) % n;
    std::size_t stop = ArcIndex(loop, end, endWrapped);
    if (endWrapped && box.Height() % 2 == 1) {
        ++stop;
    }
    const std::size_t count = stop > first + 1 ? stop - first - 1 : stop + n - first - 1;
    // How far along the arc point i lies: only the points on the surface are looked at.
    const auto along = [&](std::size_t i) { return (i + n - first) % n; };
    if (width <= 1) {
        // A point the arc passes twice (it runs more than once round) is painted twice.
        const std::size_t laps = count / n;
        const std::size_t rest = count % n;
        const Colour pen = pen_->GetColour();
        loop.ForEachRangeIn(clip, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                const std::size_t times = laps + (along(i) < rest ? 1 : 0);
                for (std::size_t t = 0; t < times; ++t) {
                    const Point p = loop[i].at;
                    PaintPixel(p.x, p.y, pen);
                }
            }
        });
        return;
    }
    Coverage coverage(clip);
    Stroke stroke(coverage, width);
    stroke.Dot(loop[first].at);
    const std::size_t segments = std::min(count, n - 1);
    ForEachSegmentNear(loop, clip, Reach(width), [&](std::size_t i) {
        if (along(i) < segments) {
            stroke.Segment(loop[i].at, loop[(i + 1) % n].at);
        }
    });
    stroke.Finish();
    Paint(coverage);
}

// A Polygon's brush fills by the alternate rule (MarkFill); its outline is the closed
// path through the points, as 1-px lines (a pixel two edges pass is inverted twice in XOR
// mode) or stroked by a wider pen.
void DeviceContext::Polygon(const Point* points, int count) {
    if (!points || count < 2) {
        return;
    }
    const int width = pen_->Width();
    Coverage coverage(
        Grown(BoundsOf(points, count), width <= 1 ? 0 : Reach(width)).Intersect(SurfaceRect()));
    const Rect& box = coverage.Box();
    if (box.IsEmpty()) {
        return;
    }
    std::vector<Vec> vertices(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        vertices[static_cast<std::size_t>(i)] = {points[i].x, points[i].y};
    }
    if (width > 1) {
        Stroke stroke(coverage, width);
        for (int i = 0; i < count && !stroke.Whole(); ++i) {
            stroke.Segment(points[i], points[(i + 1) % count]);
        }
        stroke.Finish();
    }
    MarkFill(vertices.data(), count, coverage);
    if (width <= 1) {
        for (int i = 0; i < count; ++i) {
            ForEachLinePixel(points[i], points[(i + 1) % count], box,
                             [&](int x, int y) { coverage.MarkLine(x, y); });
        }
    }
    Paint(coverage);
}

// A 1-px line leaves out its end point; a wider one is a Stroke segment, both ends included.
void DeviceContext::LineTo(int x, int y) {
    const Point from = std::exchange(pos_, Point{x, y});
    const Rect surface = SurfaceRect();
    if (surface.IsEmpty()) {
        return;
    }
    const int width = pen_->Width();
    if (width <= 1) {
        const Colour pen = pen_->GetColour();
        ForEachLinePixel(from, pos_, surface, [&](int px, int py) { PaintPixel(px, py, pen); });
        return;
    }
    const Point ends[] = {from, pos_};
    Coverage coverage(Grown(BoundsOf(ends, 2), Reach(width)).Intersect(surface));
    if (coverage.Box().IsEmpty()) {
        return;
    }
    Stroke stroke(coverage, width);
    stroke.Segment(from, pos_);
    stroke.Finish();
    Paint(coverage);
}

}  // namespace gfx
