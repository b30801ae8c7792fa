// The midpoint ellipse algorithm (Pitteway's, in the exact integer form of Bresenham's
// circle), choosing among three steps by the smallest residual. It reproduces the desktop
// interface's 1-px ellipse outline through the outermost pixel centres of its box, and its
// arcs: the outline points counter-clockwise from one radial to two points short of the
// other.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/graphics/Rasterisers.h"

namespace gfx {

namespace {

// Larger ellipses than this are clamped: nothing real comes near them, and the exact
// arithmetic stays inside 128 bits.
constexpr int kMaxEllipseSide = 1 << 20;

}  // namespace

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

namespace {

// The indices t in [begin, end) with from <= value(t) < to, for value monotone in t.
template <class V>
std::pair<std::size_t, std::size_t> Within(std::size_t begin, std::size_t end, V&& value,
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

}  // namespace

// Kept for the thread, not for one context: an ellipse far larger than the surface, cut to
// kMaxEllipseSide, takes about 20 ms of CPU to walk under the sanitizers, and the drawing
// fuzz, which starts fresh contexts for each input, took 101 s of CPU with the walks kept
// per context against 43 s with them kept per thread.
EllipseOutline& EllipseOutline::OfThisThread() {
    thread_local EllipseOutline outline;
    return outline;
}

// The walks of the last few sizes of ellipse are kept. A frame draws the same circles again
// and again, and a box larger than kMaxEllipseSide is cut to it, so every ellipse far larger
// than the surface takes one of a few sizes: each is walked once, not once a call.
EllipseLoop EllipseOutline::Loop(const Rect& box) {
    constexpr std::size_t kKept = 16;
    const std::int64_t w = std::min(box.Width(), kMaxEllipseSide);
    const std::int64_t h = std::min(box.Height(), kMaxEllipseSide);
    const auto it = std::find_if(walks_.begin(), walks_.end(),
                                 [&](const auto& walk) { return walk->Walks(w - 1, h - 1); });
    std::shared_ptr<const QuadrantWalk> walk =
        it != walks_.end() ? *it : std::make_shared<const QuadrantWalk>(w - 1, h - 1);
    if (it != walks_.end()) {
        walks_.erase(it);
    } else if (walks_.size() == kKept) {
        walks_.pop_back();
    }
    walks_.insert(walks_.begin(), walk);
    return EllipseLoop(box, w, h, std::move(walk));
}

// The quadrant walk mirrored four times, each pixel once where the quadrants meet. The walk
// is kept, not the loop: a point is mirrored when asked for, and the points inside a
// rectangle are found by bisection (within a quadrant both coordinates run one way), so an
// ellipse far larger than the surface costs its walk and what lies on the surface.
EllipseLoop::EllipseLoop(const Rect& box, std::int64_t w, std::int64_t h,
                         std::shared_ptr<const QuadrantWalk> walk)
    : box_(box),
      w_(w),
      h_(h),
      q_(std::move(walk)),
      // Every X and Y of the walk has the parity of the doubled centre.
      cx2_(2 * std::int64_t{box.left} + w_ - 1),
      cy2_(2 * std::int64_t{box.top} + h_ - 1) {
    const int rightX = static_cast<int>(box.left + w_ / 2);
    const int leftX = static_cast<int>(box.left + (w_ - 1) / 2);
    const int upperY = static_cast<int>(box.top + (h_ - 1) / 2);
    const int lowerY = static_cast<int>(box.top + h_ / 2);
    centres_[0] = {rightX, upperY};
    centres_[1] = {leftX, upperY};
    centres_[2] = {leftX, lowerY};
    centres_[3] = {rightX, lowerY};
    // A quadrant leaves out its first point where it repeats the last one listed, and the
    // loop its last point where that repeats the first.
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

OutlinePoint EllipseLoop::operator[](std::size_t i) const {
    int k = 3;
    while (k > 0 && i < parts_[k].base) {
        --k;
    }
    return {At(k, parts_[k].begin + (i - parts_[k].base)), centres_[k], k};
}

// The t-th point of quadrant k: quadrants 1 and 3 run the walk backwards.
Point EllipseLoop::At(int k, std::size_t t) const {
    const Vec& v = (*q_)[k % 2 == 0 ? t : q_->Size() - 1 - t];
    const std::int64_t x2 = k == 0 || k == 3 ? cx2_ + v.x : cx2_ - v.x;
    const std::int64_t y2 = k < 2 ? cy2_ - v.y : cy2_ + v.y;
    return {static_cast<int>(x2 / 2), static_cast<int>(y2 / 2)};
}

void EllipseLoop::ForEachRangeIn(
    const Rect& r, const std::function<void(std::size_t begin, std::size_t end)>& f) const {
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

// The segments with an end inside r grown by the reach, and the ones where quadrants meet,
// which may be long. Consecutive points are neighbours elsewhere.
void EllipseLoop::ForEachSegmentNear(const Rect& r, int reach,
                                     const std::function<void(std::size_t i)>& f) const {
    const std::size_t n = size_;
    if (n < 2) {
        return;
    }
    ForEachRangeIn(Grown(r, reach), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin + n - 1; i < end + n; ++i) {
            f(i % n);
        }
    });
    for (const Part& part : parts_) {
        f((part.base + n - 1) % n);
    }
}

// The rightmost point of the walk at the row's Y gives both ends.
Span EllipseLoop::Row(int y) const {
    const std::int64_t dy = cy2_ - 2 * std::int64_t{y};
    const std::int64_t Y = dy < 0 ? -dy : dy;
    const std::size_t t = q_->FirstAtOrAbove(Y);
    if (t == q_->Size() || (*q_)[t].y != Y) {
        return {1, 0};
    }
    const std::int64_t X = (*q_)[t].x;
    return {static_cast<int>((cx2_ - X) / 2), static_cast<int>((cx2_ + X) / 2)};
}

std::vector<Span> EllipseLoop::Rows() const {
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
        const std::int64_t dy = cy2_ - 2 * (box_.top + i);
        const std::int64_t X = widest[static_cast<std::size_t>((dy < 0 ? -dy : dy) / 2)];
        if (X >= 0) {
            rows[static_cast<std::size_t>(i)] = {static_cast<int>((cx2_ - X) / 2),
                                                 static_cast<int>((cx2_ + X) / 2)};
        }
    }
    return rows;
}

// An arc runs from the point ArcIndex gives for the start direction up to two points short
// of the one it gives for the end direction (a whole arc, start equal to end, leaves out the
// one point just clockwise of its start). An end direction exactly along the x axis lies at
// 2 pi, after every point; when the outline has a point on that axis, the loop closes with
// it once more, so such an arc ends one point later.
EllipseLoop::ArcPoints EllipseLoop::Arc(Point from, Point to) const {
    const std::size_t n = size_;
    const std::int64_t cx = box_.left + box_.Width() / 2;
    const std::int64_t cy = box_.top + box_.Height() / 2;
    const Vec start{from.x - cx, cy - from.y};
    const Vec end{to.x - cx, cy - to.y};
    const bool endWrapped = end.y == 0 && end.x >= 0;
    const std::size_t first = ArcIndex(start, false) % n;
    std::size_t stop = ArcIndex(end, endWrapped);
    if (endWrapped && box_.Height() % 2 == 1) {
        ++stop;
    }
    return {first, stop > first + 1 ? stop - first - 1 : stop + n - first - 1};
}

// The index of the outline point where an arc towards `direction` (from the box's centre
// pixel) begins or ends: the first point, counter-clockwise from the rightmost upper one,
// at or past the direction, each point's own direction taken from its quadrant's centre.
// In the lower half (past pi) a point exactly on the direction does not count yet. A point
// of the lower right quadrant on the horizontal axis lies at 2 pi. Size() when no point is
// far enough. The points' angles never fall along the loop, so the first one far enough is
// found by bisection.
std::size_t EllipseLoop::ArcIndex(Vec direction, bool wrapped) const {
    const bool strict = wrapped || direction.y < 0;
    const auto farEnough = [&](std::size_t i) {
        const OutlinePoint p = (*this)[i];
        const Vec d{p.at.x - p.centre.x, p.centre.y - p.at.y};
        const bool atTwoPi = p.quadrant == 3 && d.y == 0 && d.x > 0;
        const int c = CompareAngles(d, atTwoPi, direction, wrapped);
        return strict ? c > 0 : c >= 0;
    };
    std::size_t lo = 0, hi = size_;
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

}  // namespace gfx
